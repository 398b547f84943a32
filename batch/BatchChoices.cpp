#include "batch/BatchChoices.h"

#include <QRegularExpression>

QString BatchChoices::encoderOptions() const
{
    // Without an explicit mapping the encoder drops the global creation_time; per-stream tags
    // and chapters come along by default. Options that map tags themselves are left alone.
    static const QRegularExpression ownMapping(QStringLiteral("(^|\\s)-map_metadata\\b"));
    if (ownMapping.match(parameters).hasMatch())
        return parameters;
    return parameters + QStringLiteral(" -map_metadata 0");
}
