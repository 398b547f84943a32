#pragma once

#include <QString>
#include <QtGlobal>

// What a running conversion job reports before it ends (its ending is a ConversionOutcome).
struct JobState
{
    enum class Kind {
        Starting,        // the encoder is being started
        InputUnreadable, // the encoder said it cannot read the input
        Converting,      // the media converted so far
    };
    Kind kind = Kind::Starting;
    qint64 mediaMs = 0; // Converting: of the input
    int percent = -1;   // Converting: of the known length; -1 when the length is unknown
    QString seconds;    // Converting: mediaMs in seconds, to the encoder's precision ("62.50")
};
