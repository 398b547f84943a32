#pragma once

#include <QString>
#include <QStringList>

// What the command line asked for, before the format is looked up.
struct CliChoices
{
    enum class Action { Convert, PrintCommands, ListPresets, Help, Version };
    Action action = Action::Convert;
    QString category; // with preset: a preset by its lists
    QString preset;
    QString extension; // empty: the preset's own
    QString options;   // with customOptions: the encoder options as given
    bool customOptions = false;
    bool sameFolder = false;
    QString outputFolder; // empty: the default output folder
    bool copyWhenPossible = false;
    int jobs = 1;
    bool skipExisting = false;
    bool keepDate = true;
    bool json = false;
    QStringList paths;
    QString presetsFile; // the user's own presets file; empty: the default one
};
