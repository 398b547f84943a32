#include "InFlightOutputs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>

namespace {
const QLatin1String kPrefix("in-flight-");

QStringList &ownPaths()
{
    static QStringList paths;
    return paths;
}
} // namespace

QString InFlightOutputs::folder()
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty())
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/reelforge");
}

QString InFlightOutputs::startTimeOf(qint64 pid)
{
    // Field 22 of the process's stat line; it tells a reused process id from the owner.
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return QString();
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    return fields.size() > 19 ? QString::fromLatin1(fields.at(19)) : QString();
}

QString InFlightOutputs::recordOf(qint64 pid, const QString &startTime)
{
    return folder() + QLatin1Char('/') + kPrefix + QString::number(pid) + QLatin1Char('-') +
           startTime;
}

void InFlightOutputs::write(const QStringList &paths)
{
    const qint64 pid = QCoreApplication::applicationPid();
    static const QString ownStartTime = startTimeOf(pid); // read once, not at every row
    const QString record = recordOf(pid, ownStartTime);
    if (paths.isEmpty()) {
        QFile::remove(record);
        return;
    }
    QDir().mkpath(folder());
    // Replaced whole by a rename, so a reader never sees half of it. No sync to disk: the
    // record is for a program that died, not a machine, and a sync would hold up the window.
    QFile file(record + QStringLiteral(".new"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return; // without a record the next start merely cannot tidy up
    for (const QString &path : paths)
        file.write(QFile::encodeName(path) + '\n');
    file.close();
    ::rename(QFile::encodeName(file.fileName()).constData(), QFile::encodeName(record).constData());
}

void InFlightOutputs::add(const QString &path)
{
    ownPaths().append(path);
    write(ownPaths());
}

void InFlightOutputs::remove(const QString &path)
{
    if (ownPaths().removeAll(path) > 0)
        write(ownPaths());
}

QStringList InFlightOutputs::removeStale()
{
    QStringList removed;
    const QDir records(folder());
    for (const QString &name : records.entryList({kPrefix + QLatin1Char('*')}, QDir::Files)) {
        const QStringList parts = name.mid(kPrefix.size()).split(QLatin1Char('-'));
        if (parts.size() != 2 || name.endsWith(QLatin1String(".new")))
            continue; // a record being replaced
        const qint64 pid = parts.at(0).toLongLong();
        if (startTimeOf(pid) == parts.at(1))
            continue; // its owner still runs
        QFile record(records.filePath(name));
        if (record.open(QIODevice::ReadOnly)) {
            for (const QByteArray &line : record.readAll().split('\n')) {
                const QString path = QFile::decodeName(line);
                if (!line.isEmpty() && QFile::remove(path))
                    removed << path;
            }
        }
        record.remove();
    }
    return removed;
}
