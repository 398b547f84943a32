#pragma once

#include "filelist/MediaStream.h"

class MediaLibrary;

// Reads the picture, sound and subtitle streams of the file open in the media library, in the
// order the encoder numbers them within each kind.
class MediaStreamReader
{
public:
    static MediaStreams read(const MediaLibrary &info);
};
