#pragma once

#include <QDebug>
#include <QProcess>
#include <QString>

#include <unistd.h>

// Living children of this test program (an encoder that outlived its run); each is named in
// the test's output, so a failure says which.
inline int liveChildProcesses()
{
    QProcess pgrep;
    pgrep.start("pgrep", {"-a", "-P", QString::number(::getpid()), "-r", "R,S,D,T"});
    pgrep.waitForFinished();
    const QByteArray found = pgrep.readAllStandardOutput();
    if (!found.isEmpty())
        qWarning().noquote() << "living children:" << QString::fromLocal8Bit(found).trimmed();
    return int(found.count('\n'));
}
