#pragma once

#include <QString>
#include <QStringList>

// Temporary output files that conversions of this process are writing, recorded in the
// program's state folder so that files left by a copy of the program that died can be
// removed at the next start.
class InFlightOutputs
{
public:
    static void add(const QString &path);
    static void remove(const QString &path);
    // Removes the files recorded by copies of the program that are no longer running, and
    // their records; returns the files removed.
    static QStringList removeStale();
    // $XDG_STATE_HOME/reelforge, or ~/.local/state/reelforge.
    static QString folder();

private:
    static QString recordOf(qint64 pid, const QString &startTime);
    static QString startTimeOf(qint64 pid);
    static void write(const QStringList &paths);
};
