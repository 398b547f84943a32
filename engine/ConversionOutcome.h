#pragma once

#include <QString>

// How one conversion ended. A failure carries the reason: the encoder's own error text, or
// why the encoder could not be run.
struct ConversionOutcome
{
    enum class Kind { Succeeded, Failed, Cancelled };
    Kind kind = Kind::Failed;
    QString reason;
};
