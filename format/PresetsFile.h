#pragma once

#include "format/PresetTable.h"

// Reads presets.xml: six lines per entry (entry line, label, params, extension and category
// field lines in any order, one line unread). Root lines are recognised only unindented.
class PresetsFile
{
public:
    struct Result
    {
        PresetTable table;
        QStringList categories; // the items of the category list; empty after a failure
        QString error;          // what went wrong and where; empty on success

        bool ok() const { return error.isEmpty(); }
        // The message to show after a failure.
        QString message() const;
    };

    // The shipped presets.xml, wherever DataFiles finds it.
    static QString defaultPath();
    static Result load(const QString &path);
    static Result read(const QString &content);
};
