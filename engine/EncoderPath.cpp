#include "engine/EncoderPath.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
QString &overridePath()
{
    static QString path;
    return path;
}
} // namespace

QString EncoderPath::program()
{
    if (!overridePath().isEmpty())
        return overridePath();
    const QFileInfo beside(QCoreApplication::applicationDirPath() + QStringLiteral("/ffmpeg"));
    if (beside.isFile() && beside.isExecutable())
        return beside.absoluteFilePath();
    const QString onPath = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    // A bare name still fails to start with a clear message when nothing is found.
    return onPath.isEmpty() ? QStringLiteral("ffmpeg") : onPath;
}

void EncoderPath::setOverride(const QString &program)
{
    overridePath() = program;
}
