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
        QString script = QStringLiteral("#!/bin/sh\nif [ \"$2\" = -encoders ]; then cat <<'E'\n"
                                        "Encoders:\n V..... = Video\n ------\n");
        for (const QString &name : encoders)
            script += QStringLiteral(" V....D %1 some codec\n").arg(name, -20);
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
