#pragma once

#include <QString>
#include <QtGlobal>

// One row of the input file list. The text fields have fixed widths; the list refuses a
// value that does not fit.
struct FileListRecord
{
    static constexpr int FilePathWidth = 4096; // the longest path Linux takes
    static constexpr int StatusWidth = 30;
    static constexpr int DurationWidth = 30;
    static constexpr int FileSizeWidth = 15;

    qint32 ID = 0;
    qint32 CheckBox = 0; // any non-zero value means ticked
    QString FilePath;
    QString Status;
    QString Duration;
    QString FileSize;

    bool isTicked() const { return CheckBox != 0; }
};
