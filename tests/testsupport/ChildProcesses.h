#pragma once

#include <QProcess>
#include <QString>

#include <unistd.h>

// Living children of this test program (an encoder that outlived its run).
inline int liveChildProcesses()
{
    QProcess pgrep;
    pgrep.start("pgrep", {"-P", QString::number(::getpid()), "-r", "R,S,D,T"});
    pgrep.waitForFinished();
    return int(pgrep.readAllStandardOutput().count('\n'));
}
