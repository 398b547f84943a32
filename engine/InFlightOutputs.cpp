#include "engine/InFlightOutputs.h"

#include "engine/RecordLock.h"
#include "engine/TemporaryOutput.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <unistd.h>

namespace {
const QLatin1String kLockSuffix(".lock");
const QLatin1String kListSuffix(".list");
const QLatin1String kNewSuffix(".new"); // a list being written

QString fromFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()).trimmed()
                                          : QString();
}

// This process's record: its lock held open until the process ends.
class OwnRecord
{
public:
    ~OwnRecord()
    {
        if (m_lock < 0)
            return;
        QFile::remove(m_stem + kListSuffix);
        QFile::remove(m_stem + kListSuffix + kNewSuffix);
        QFile::remove(m_stem + kLockSuffix);
        ::close(m_lock);
    }

    void write(const QStringList &folders)
    {
        if (m_lock < 0 && !open())
            return; // without a record the next start merely cannot tidy up
        // Replaced whole, so a reader never sees half of it. Not synced: the record is for a
        // program that died, not a machine, and a sync would hold up the window behind every
        // byte a finished conversion left in the cache.
        const QString target = m_stem + kListSuffix;
        QFile list(target + kNewSuffix);
        if (!list.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return;
        for (const QString &folder : folders)
            list.write(QFile::encodeName(folder) + '\0');
        if (!list.flush()) {
            list.remove();
            return;
        }
        list.close();
        ::rename(QFile::encodeName(list.fileName()).constData(),
                 QFile::encodeName(target).constData());
    }

private:
    bool open()
    {
        const QString records = InFlightOutputs::recordsFolder();
        QDir().mkpath(records);
        const QString boot = fromFile(QStringLiteral("/proc/sys/kernel/random/boot_id"));
        m_stem =
            QStringLiteral("%1/%2_%3_%4_%5")
                .arg(records, RecordLock::hostTag(), boot.isEmpty() ? QStringLiteral("boot") : boot)
                .arg(QCoreApplication::applicationPid())
                .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        m_lock = RecordLock::create(m_stem + kLockSuffix);
        return m_lock >= 0;
    }

    QString m_stem;
    int m_lock = -1;
};

QStringList &ownFolders()
{
    static QStringList folders;
    return folders;
}

OwnRecord &ownRecord()
{
    static OwnRecord record;
    return record;
}
} // namespace

QString InFlightOutputs::folder()
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty())
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/reelforge");
}

QString InFlightOutputs::recordsFolder()
{
    return folder() + QStringLiteral("/in-flight");
}

void InFlightOutputs::add(const QString &privateFolder)
{
    ownFolders().append(privateFolder);
    ownRecord().write(ownFolders());
}

void InFlightOutputs::remove(const QString &privateFolder)
{
    if (ownFolders().removeAll(privateFolder) > 0)
        ownRecord().write(ownFolders());
}

QStringList InFlightOutputs::removeStale()
{
    QStringList removed;
    const QDir records(recordsFolder());
    const QString host = RecordLock::hostTag() + QLatin1Char('_');
    for (const QString &name :
         records.entryList({host + QLatin1Char('*') + kLockSuffix}, QDir::Files | QDir::Hidden)) {
        const QString stem = records.filePath(name.chopped(kLockSuffix.size()));
        const int fd = RecordLock::claim(stem + kLockSuffix);
        if (fd < 0)
            continue; // gone, or its owner still runs
        QFile list(stem + kListSuffix);
        if (list.open(QIODevice::ReadOnly)) {
            // Only whole entries: each ends with a NUL.
            QList<QByteArray> entries = list.readAll().split('\0');
            entries.removeLast();
            for (const QByteArray &entry : std::as_const(entries))
                removed += TemporaryOutput::removePrivateFolder(QFile::decodeName(entry));
            list.close();
        }
        QFile::remove(stem + kListSuffix);
        QFile::remove(stem + kListSuffix + kNewSuffix);
        QFile::remove(stem + kLockSuffix);
        ::close(fd);
    }
    return removed;
}
