#pragma once

#include "format/CodecTable.h"
#include "format/CustomFormat.h"

// Builds the encoder options of the custom format, piece by piece:
// "-ar 22050 -ab 64000 -acodec libmp3lame -ac 2 -vcodec mpeg4 -b 320000 -s vga -r 25".
class CustomOptions
{
public:
    struct Result
    {
        QString options; // empty after a failure
        QString error;   // why the options could not be built; empty on success

        bool ok() const { return error.isEmpty(); }
        // The message to show after a failure.
        QString message() const;
    };

    static Result build(const CustomFormat &format, const CodecTable &codecs);
};
