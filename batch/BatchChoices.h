#pragma once

#include <QString>

// The conversion choices a batch runs with, taken when it starts: later changes to the
// window's controls do not reach a running batch.
struct BatchChoices
{
    QString parameters; // the format's encoder options
    QString extension;  // output extension, without its dot; "auto": each file's own fit
    bool sameFolder = true;
    QString outputFolder; // used when sameFolder is false
    // Why the options could not be made; the first row then fails and nothing is converted.
    QString optionsProblem;
    bool copyWhenPossible = false; // copy a stream that already is what the format makes
    bool skipExisting = false;     // an input whose result exists is not converted again
    bool keepDate = true;          // a result takes its input's modification time

    // The encoder options of every conversion: the format's, and the input's tags kept.
    QString encoderOptions() const;
};
