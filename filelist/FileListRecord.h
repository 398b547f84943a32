#pragma once

#include "filelist/MediaStream.h"
#include "filelist/RowStatus.h"

#include <QString>
#include <QtGlobal>

// One row of the input file list. The text fields have fixed widths; the list refuses a
// value that does not fit. The row's state is typed; its Status text is made from it.
struct FileListRecord
{
    static constexpr int FilePathWidth = 4096; // the longest path Linux takes
    static constexpr int StatusWidth = 30;
    static constexpr int DurationWidth = 30;
    static constexpr int FileSizeWidth = 15;

    qint32 ID = 0;
    qint32 CheckBox = 0; // any non-zero value means ticked
    QString FilePath;
    RowStatus status;
    QString Duration;
    QString FileSize;
    qint64 durationMs = -1; // playing time; negative when unknown
    MediaStreams streams;   // what the media library found when the file was added
    quint64 key = 0;        // stable identity, given by the list; 0 before the row is added
    QString output;         // the file the row's last conversion wrote; empty when none

    bool isTicked() const { return CheckBox != 0; }
    QString Status() const { return status.text(); }
};
