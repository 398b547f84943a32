#pragma once

#include <QString>

// What the encoder's codec and encoder names stand for.
class CodecNames
{
public:
    // The codec an encoder writes: libx264 writes h264. Empty when not known.
    static QString written(const QString &encoder);
    // A short name for people: "H.264", "AAC"; the name itself when none is known.
    static QString shown(const QString &codecOrEncoder);
    static bool isTextSubtitle(const QString &codec);
};
