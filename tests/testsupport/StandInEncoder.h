#pragma once

#include <QFile>
#include <QMap>
#include <QStringList>

// A stand-in for the encoder that only lists what it offers, in the encoder's own layout: for
// "-codecs" each given encoder as a codec of its own name, then each given codec with the
// encoders it lists (none: a codec it can only decode); for "-muxers" the given containers.
class StandInEncoder
{
public:
    // Writes the stand-in into folder and returns its path.
    static QString write(const QString &folder, const QStringList &encoders,
                         const QStringList &muxers, const QMap<QString, QStringList> &codecs = {})
    {
        QString script = QStringLiteral("#!/bin/sh\nif [ \"$2\" = -codecs ]; then cat <<'E'\n"
                                        "Codecs:\n .E.... = Encoding supported\n -------\n");
        for (const QString &name : encoders)
            script += QStringLiteral(" DEV.L. %1 some codec\n").arg(name, -20);
        for (auto codec = codecs.begin(); codec != codecs.end(); ++codec) {
            const QString listed = QStringLiteral(" (encoders: %1 )").arg(codec->join(' '));
            script += QStringLiteral(" D%1V.L. %2 some codec%3\n")
                          .arg(codec->isEmpty() ? "." : "E", codec.key().leftJustified(20),
                               codec->isEmpty() ? QString() : listed);
        }
        script +=
            QStringLiteral("E\nelse cat <<'E'\nFile formats:\n D. = Demuxing supported\n --\n");
        for (const QString &name : muxers)
            script += QStringLiteral("  E %1 some format\n").arg(name, -15);
        QFile file(folder + QStringLiteral("/ffmpeg"));
        if (!file.open(QIODevice::WriteOnly) || file.write((script + "E\nfi\n").toUtf8()) < 0)
            return QString();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return file.fileName();
    }
};
