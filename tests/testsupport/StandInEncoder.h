#pragma once

#include <QString>
#include <QStringList>

// A stand-in for the encoder that only lists what it offers: the given encoders for
// "-encoders" and the given containers for "-muxers", in the encoder's own layout.
class StandInEncoder
{
public:
    // Writes the stand-in into folder and returns its path.
    static QString write(const QString &folder, const QStringList &encoders,
                         const QStringList &muxers);
};
