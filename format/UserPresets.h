#pragma once

#include "format/PresetsFile.h"

// The user's own presets file, in the format of the shipped presets.xml: read after the
// shipped one, and where "Save as preset" adds the custom format.
class UserPresets
{
public:
    // $XDG_DATA_HOME/reelforge/presets.xml.
    static QString defaultPath();
    // The category the window saves presets in.
    static QString category();

    // Adds the presets of the file at path after those already in presets. Returns the message
    // about a damaged or unreadable file, which then adds nothing; empty when all is well. A
    // missing file adds nothing and is told only when required; the shipped file itself (an
    // install into ~/.local) is not read twice.
    static QString addTo(PresetsFile::Result &presets, const QString &shippedPath,
                         const QString &path, bool required);

    // Adds preset to the file at path, creating it and its folder, or replacing it whole and
    // atomically. Returns why nothing was written; empty once saved.
    static QString save(const QString &path, const PresetRecord &preset);
};
