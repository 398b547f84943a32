#pragma once

#include <QString>

// Finds the data files the program ships (presets.xml, codecs.xml, Help.html): beside the
// program in a build folder, else in share/reelforge below the program's install prefix, else
// in reelforge/ of a folder in XDG_DATA_DIRS.
class DataFiles
{
public:
    // The file's full path; beside the program when it is found nowhere, so that a message
    // about a missing file names a sensible place.
    static QString path(const QString &name);
    // The same search starting from the given program folder.
    static QString locate(const QString &name, const QString &programFolder);
};
