#pragma once

#include <QString>
#include <QtGlobal>

// The Duration and FileSize texts of a file's row. Both are stateless and safe to call
// from any thread.
class MediaProbe
{
public:
    // Playing time as hh:mm:ss (each part at least two digits); "Error" when the media
    // library opens the file but knows no duration; empty when it cannot open it. The length
    // in milliseconds goes to milliseconds when given, -1 when unknown.
    static QString GetMediaDuration(const QString &path, qint64 *milliseconds = nullptr);
    // The same text from a duration in milliseconds.
    static QString durationText(double milliseconds);
    // n Bytes, KB, MB or GB (powers of 1024), two decimals at most, locale separator.
    static QString FormatFileSize(qint64 bytes);
};
