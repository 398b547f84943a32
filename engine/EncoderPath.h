#pragma once

#include <QString>

// Where the encoder lives: beside the program when an executable ffmpeg is there,
// otherwise the one found on PATH.
class EncoderPath
{
public:
    static QString program();
};
