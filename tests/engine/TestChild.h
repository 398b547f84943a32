#pragma once

#include <QString>

// Small children for the runner and job tests: executable shell scripts in a test's
// temporary folder, and a look at whether a process is still there.
class TestChild
{
public:
    // Writes "#!/bin/sh" and the body into folder/name, makes it executable, returns its path.
    static QString writeScript(const QString &folder, const QString &name, const QString &body);
    // The process id a script wrote into a file, or 0 when the file is missing or empty.
    static qint64 readPid(const QString &file);
    // True when no process with that id runs any more (gone, or a zombie awaiting its reaper).
    static bool isGone(qint64 pid);
};
