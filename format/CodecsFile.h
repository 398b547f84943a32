#pragma once

#include "format/CodecTable.h"

// Reads codecs.xml: five lines per entry (entry line, name, description and type field lines
// in any order, one line unread). Root lines are recognised even when indented.
class CodecsFile
{
public:
    struct Result
    {
        CodecTable table;
        bool listsFilled = false; // the two codec lists are to be replaced by the items below
        QStringList videoItems;
        QStringList audioItems;
        bool videoSelected = false; // whether the first item of each list is selected
        bool audioSelected = false;
        QString error; // what went wrong and where; empty on success

        bool ok() const { return error.isEmpty(); }
        // The message to show after a failure.
        QString message() const;
    };

    // The shipped codecs.xml, wherever DataFiles finds it.
    static QString defaultPath();
    static Result load(const QString &path);
    static Result read(const QString &content);
};
