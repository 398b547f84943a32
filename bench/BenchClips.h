#pragma once

#include "tests/testsupport/TestMedia.h"

#include <QStringList>

// Makes count numbered mp4 clips in folder; empty when any could not be made.
inline QStringList makeClips(const QString &folder, int count, double seconds,
                             const QString &size = QStringLiteral("320x240"))
{
    QStringList clips;
    for (int i = 0; i < count; ++i) {
        clips << QStringLiteral("%1/clip%2.mp4").arg(folder).arg(i, 2, 10, QLatin1Char('0'));
        if (!TestMedia::makeClip(clips.last(), seconds, true, size))
            return {};
    }
    return clips;
}
