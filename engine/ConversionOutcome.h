#pragma once

#include <QString>

// How one conversion ended. A failure carries its reason: a line saying what happened, then
// the encoder's own error line. diskFull marks a failure no later file could escape either.
struct ConversionOutcome
{
    enum class Kind { Succeeded, Failed, Cancelled };
    Kind kind = Kind::Failed;
    QString reason;
    bool diskFull = false;
    QString log; // the encoder's output, its middle left out when very long
};
