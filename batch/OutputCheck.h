#pragma once

#include "MediaProbe.h"

#include <QString>

// Whether a finished output is a usable result: readable, with a picture unless the format
// is sound-only, and as long as its input within max(1 s, 2 %).
class OutputCheck
{
public:
    // Why the output is not usable; empty when it is. inputMs < 0: the input's length is
    // unknown and not compared.
    static QString problem(const MediaProbe::Facts &facts, qint64 inputMs, bool soundOnly);
    static bool isSoundOnly(const QString &extension, const QString &options);
};
