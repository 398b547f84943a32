#include "format/FormatSummary.h"

QString FormatSummary::presets(const QString &category, const QString &label,
                               const QString &extension)
{
    return QStringLiteral("Category:%1, Codec:\"%2\", Container:\"%3\"")
        .arg(category, label, extension);
}

QString FormatSummary::custom(const QString &container, const QString &videoCodec,
                              const QString &audioCodec)
{
    return QStringLiteral("Container:%1, Video Codec:\"%2\", Audio Codec:\"%3\"")
        .arg(container, videoCodec, audioCodec);
}
