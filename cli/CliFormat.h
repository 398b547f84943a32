#pragma once

#include "batch/BatchChoices.h"
#include "cli/CliChoices.h"

class PresetTable;

// Turns the format and folder options into the choices a batch runs with: a preset found by
// category, label and extension, the options given, or the first-start preset.
class CliFormat
{
public:
    struct Result
    {
        BatchChoices batch;
        QString error; // a usage error: no such category, preset or extension

        bool ok() const { return error.isEmpty(); }
    };

    static Result resolve(const CliChoices &choices, const PresetTable &presets);
};
