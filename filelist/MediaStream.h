#pragma once

#include <QString>
#include <QVector>
#include <QtGlobal>

// One picture, sound or subtitle stream of a file, as the media library describes it. Numbers
// are zero where the library tells none.
struct MediaStream
{
    enum class Kind { Video, Audio, Subtitle };

    Kind kind = Kind::Video;
    int position = 0; // among the file's streams of the same kind, in the encoder's order
    QString codec;    // the encoder's name for it (h264, aac, subrip); empty when unknown
    QString format;   // the library's own name, for display
    QString profile;  // "High", "Main"; empty when none
    QString language;
    int width = 0;
    int height = 0;
    double frameRate = 0; // frames per second; 0 when unknown or variable
    double displayAspect = 0;
    QString chroma; // "4:2:0"
    int bitDepth = 0;
    int sampleRate = 0;
    int channels = 0;
    qint64 bitRate = 0; // bits per second
};

using MediaStreams = QVector<MediaStream>;
