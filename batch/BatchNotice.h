#pragma once

#include <QString>

// Something a batch has to tell the user; the front end decides how.
struct BatchNotice
{
    enum class Kind {
        OutputFolderUnusable, // the batch stopped: no file could be written there
        ConversionFailed,     // one row failed; the batch went on
    };
    Kind kind = Kind::ConversionFailed;
    QString inputFile; // for a failed row
    QString reason;    // what happened, then the encoder's own line where there is one
};
