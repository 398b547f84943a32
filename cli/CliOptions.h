#pragma once

#include "cli/CliChoices.h"

#include <QString>
#include <QStringList>

// Reads reelforge-cli's command line. Anything it cannot take is a usage error, told in
// one line.
class CliOptions
{
public:
    struct Result
    {
        CliChoices choices;
        QString error; // empty when the command line is usable

        bool ok() const { return error.isEmpty(); }
    };

    // arguments include the program name; cores bounds --jobs.
    static Result parse(const QStringList &arguments, int cores);
    static QString helpText();
};
