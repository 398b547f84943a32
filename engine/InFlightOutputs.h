#pragma once

#include <QString>
#include <QStringList>

// The crash journal: the private temporary folders that conversions of this process are
// writing in, recorded in the program's state folder so that a later start can remove what a
// copy of the program that died left behind. Each process keeps its own record, named after
// its host and boot, and holds a lock on it for as long as it runs: a record is only ever
// reaped on its own host once its lock is free, so a live copy in another PID namespace, a
// container or on another host sharing the home folder is never touched. Paths are kept
// NUL-separated, so any byte a name may hold survives; a record can only ever cause the
// removal of the entries of one of the program's own private folders.
class InFlightOutputs
{
public:
    static void add(const QString &privateFolder);
    static void remove(const QString &privateFolder);
    // Removes what the records of copies that no longer run name, and their records; returns
    // the files removed.
    static QStringList removeStale();
    // $XDG_STATE_HOME/reelforge, or ~/.local/state/reelforge.
    static QString folder();
    // Where the records lie: a folder of their own in folder().
    static QString recordsFolder();
};
