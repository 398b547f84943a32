#include "OutputCheck.h"

#include <QProcess>
#include <QStringList>

#include <algorithm>
#include <cstdlib>

QString OutputCheck::problem(const MediaProbe::Facts &facts, qint64 inputMs, bool soundOnly)
{
    if (!facts.opened)
        return QStringLiteral("The output cannot be read.");
    if (!soundOnly && facts.videoStreams == 0)
        return QStringLiteral("The output has no picture.");
    if (soundOnly && facts.audioStreams == 0)
        return QStringLiteral("The output has no sound.");
    if (inputMs < 0)
        return QString();
    if (facts.durationMs < 0)
        return QStringLiteral("The output's length cannot be read.");
    const qint64 allowed = std::max<qint64>(1000, inputMs / 50);
    if (std::llabs(facts.durationMs - inputMs) > allowed)
        return QStringLiteral("The output lasts %1 s instead of %2 s.")
            .arg(facts.durationMs / 1000.0, 0, 'f', 1)
            .arg(inputMs / 1000.0, 0, 'f', 1);
    return QString();
}

bool OutputCheck::isSoundOnly(const QString &extension, const QString &options)
{
    static const QStringList kSoundContainers = {
        QStringLiteral("mp3"),  QStringLiteral("aac"), QStringLiteral("m4a"),
        QStringLiteral("ogg"),  QStringLiteral("oga"), QStringLiteral("opus"),
        QStringLiteral("flac"), QStringLiteral("wav"), QStringLiteral("wma"),
        QStringLiteral("ac3"),  QStringLiteral("mka"), QStringLiteral("mp2")};
    return kSoundContainers.contains(extension.toLower()) ||
           QProcess::splitCommand(options).contains(QStringLiteral("-vn"));
}
