#pragma once

#include <QString>

// The one-line description of the chosen output format shown on the main window.
class FormatSummary
{
public:
    static QString presets(const QString &category, const QString &label, const QString &extension);
    static QString custom(const QString &container, const QString &videoCodec,
                          const QString &audioCodec);
};
