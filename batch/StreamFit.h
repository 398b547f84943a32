#pragma once

#include "batch/FormatOptions.h"
#include "filelist/MediaStream.h"

#include <QString>

// Whether a stream already is what a format would make of it, so that copying it loses
// nothing the format asks for: the codec it names, and every size, rate, channel count, aspect,
// picture format and profile it sets, with no bitrate below the stream's.
class StreamFit
{
public:
    // Why the stream does not fit the format; empty when it does.
    static QString mismatch(const MediaStream &stream, const FormatOptions &options);
};
