#pragma once

#include <QFile>
#include <QStringList>

// A stand-in for the encoder that only lists what it offers: the given encoders for
// "-encoders" and the given containers for "-muxers", in the encoder's own layout.
class StandInEncoder
{
public:
    // Writes the stand-in into folder and returns its path.
    static QString write(const QString &folder, const QStringList &encoders,
                         const QStringList &muxers)
    {
        QString encoderList = QStringLiteral("Encoders:\n V..... = Video\n ------\n");
        for (const QString &name : encoders)
            encoderList += QStringLiteral(" V....D %1 some codec\n").arg(name, -20);
        QString muxerList = QStringLiteral("File formats:\n D. = Demuxing supported\n --\n");
        for (const QString &name : muxers)
            muxerList += QStringLiteral("  E %1 some format\n").arg(name, -15);
        const auto save = [&folder](const QString &name, const QString &text) {
            QFile file(folder + QLatin1Char('/') + name);
            return file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) >= 0;
        };
        if (!save("encoders.txt", encoderList) || !save("muxers.txt", muxerList) ||
            !save("ffmpeg", QStringLiteral("#!/bin/sh\ncat \"%1/${2#-}.txt\"\n").arg(folder)))
            return QString();
        const QString script = folder + QStringLiteral("/ffmpeg");
        QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return script;
    }
};
