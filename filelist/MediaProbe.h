#pragma once

#include "filelist/MediaStream.h"

#include <QString>
#include <QtGlobal>

// The Duration and FileSize texts of a file's row. Both are stateless and safe to call
// from any thread.
class MediaProbe
{
public:
    // What the media library finds in a file.
    struct Facts
    {
        bool opened = false;
        qint64 durationMs = -1; // -1 when unknown, or beyond any real length
        int videoStreams = 0;
        int audioStreams = 0;
        QString duration; // the Duration text, as GetMediaDuration gives it
        MediaStreams streams;
    };
    static Facts inspect(const QString &path);

    // Playing time as hh:mm:ss (each part at least two digits); "Error" when the media
    // library opens the file but knows no length it can have; empty when it cannot open it. The
    // length in milliseconds goes to milliseconds when given, -1 when unknown.
    static QString GetMediaDuration(const QString &path, qint64 *milliseconds = nullptr);
    // The same text from a duration in milliseconds; "Error" for one that is negative, not a
    // number, or beyond any real length (about 31 years).
    static QString durationText(double milliseconds);
    // n Bytes, KB, MB or GB (powers of 1024), two decimals at most, locale separator.
    static QString FormatFileSize(qint64 bytes);
};
