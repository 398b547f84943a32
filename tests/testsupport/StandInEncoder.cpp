#include "StandInEncoder.h"

#include <QFile>

namespace {
bool writeFile(const QString &path, const QString &text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) >= 0;
}
} // namespace

QString StandInEncoder::write(const QString &folder, const QStringList &encoders,
                              const QStringList &muxers)
{
    QString encoderList = QStringLiteral("Encoders:\n V..... = Video\n ------\n");
    for (const QString &name : encoders)
        encoderList += QStringLiteral(" V....D %1 some codec\n").arg(name, -20);
    QString muxerList = QStringLiteral("File formats:\n D. = Demuxing supported\n --\n");
    for (const QString &name : muxers)
        muxerList += QStringLiteral("  E %1 some format\n").arg(name, -15);
    const QString script = folder + QStringLiteral("/ffmpeg");
    if (!writeFile(folder + QStringLiteral("/encoders.txt"), encoderList) ||
        !writeFile(folder + QStringLiteral("/muxers.txt"), muxerList) ||
        !writeFile(script, QStringLiteral("#!/bin/sh\ncat \"%1/${2#-}.txt\"\n").arg(folder)))
        return QString();
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return script;
}
