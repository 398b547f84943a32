#pragma once

#include <QString>

// Something a batch has to tell the user about one row; the front end decides how.
struct BatchNotice
{
    enum class Kind { OutputFolderUnavailable, ConversionFailed };
    Kind kind = Kind::ConversionFailed;
    QString inputFile;
    QString reason; // the encoder's error text, for a failed conversion
};
