#pragma once

#include <QString>

// Where the encoder lives: beside the program when an executable ffmpeg is there,
// otherwise the one found on PATH. Tests may point it at a fake encoder.
class EncoderPath
{
public:
    static QString program();
    static void setOverride(const QString &program); // empty restores the normal search
};
