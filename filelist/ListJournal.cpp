#include "ListJournal.h"

#include "FileListModel.h"
#include "InFlightOutputs.h"
#include "JournalFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QSysInfo>

#include <fcntl.h>
#include <unistd.h>

namespace {
const QLatin1String kLockSuffix(".lock");
const QLatin1String kListSuffix(".list");

// This machine's name, made safe for a file name: journals of other hosts are never claimed.
QString hostTag()
{
    QString tag = QSysInfo::machineHostName();
    for (QChar &c : tag) {
        if (!c.isLetterOrNumber() && c != QLatin1Char('.') && c != QLatin1Char('-'))
            c = QLatin1Char('_');
    }
    return tag.isEmpty() ? QStringLiteral("host") : tag;
}

// Takes the lock without waiting; false while another open file holds it.
bool lock(int fd)
{
    struct flock whole = {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    return ::fcntl(fd, F_OFD_SETLK, &whole) == 0;
}

void removeJournal(const QString &stem, int lockFd)
{
    QFile::remove(stem + kListSuffix);
    QFile::remove(stem + kLockSuffix);
    ::close(lockFd);
}
} // namespace

QString ListJournal::defaultFolder()
{
    return InFlightOutputs::folder() + QStringLiteral("/list-journal");
}

ListJournal::ListJournal(FileListModel &list, const QString &folder, int delayMs, QObject *parent)
    : QObject(parent), m_list(list), m_folder(folder)
{
    QDir().mkpath(m_folder);
    claimLeftOver();
    if (!openOwn())
        return; // without a journal the list merely cannot come back after a crash
    m_writer.setMaxThreadCount(1);
    m_delay.setSingleShot(true);
    m_delay.setInterval(delayMs);
    connect(&m_delay, &QTimer::timeout, this, &ListJournal::flush);
    connect(&m_list, &QAbstractItemModel::dataChanged, this, &ListJournal::changed);
    connect(&m_list, &QAbstractItemModel::rowsInserted, this, &ListJournal::changed);
    connect(&m_list, &QAbstractItemModel::rowsRemoved, this, &ListJournal::changed);
    connect(&m_list, &QAbstractItemModel::modelReset, this, &ListJournal::changed);
    if (m_list.rowCount() > 0)
        changed();
}

ListJournal::~ListJournal()
{
    m_delay.stop();
    m_writer.waitForDone();
    for (const Claim &claim : std::as_const(m_claims))
        ::close(claim.lock);
    if (m_ownLock >= 0)
        ::close(m_ownLock);
}

void ListJournal::claimLeftOver()
{
    const QDir folder(m_folder);
    const QStringList locks =
        folder.entryList({hostTag() + QStringLiteral("_*") + kLockSuffix},
                         QDir::Files | QDir::Hidden, QDir::Time | QDir::Reversed);
    for (const QString &name : locks) {
        const QString stem = folder.filePath(name.chopped(kLockSuffix.size()));
        const int fd = ::open(QFile::encodeName(stem + kLockSuffix).constData(),
                              O_RDWR | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0)
            continue;
        if (!lock(fd)) {
            ::close(fd); // its copy still runs
            continue;
        }
        QFile journal(stem + kListSuffix);
        QVector<FileListRecord> rows;
        // A damaged journal is refused alone: the others still come back.
        if (!journal.open(QIODevice::ReadOnly) || !JournalFile::decode(journal.readAll(), &rows) ||
            rows.isEmpty()) {
            removeJournal(stem, fd);
            continue;
        }
        m_leftOver += rows;
        m_claims.append({stem, fd});
    }
}

bool ListJournal::openOwn()
{
    const QString stem = QStringLiteral("%1/%2_%3_%4")
                             .arg(m_folder, hostTag())
                             .arg(QCoreApplication::applicationPid())
                             .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
    const int fd = ::open(QFile::encodeName(stem + kLockSuffix).constData(),
                          O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    if (!lock(fd)) {
        QFile::remove(stem + kLockSuffix);
        ::close(fd);
        return false;
    }
    m_own = stem;
    m_ownLock = fd;
    return true;
}

void ListJournal::dropLeftOver()
{
    if (!m_own.isEmpty() && !m_closed) {
        // The restored rows are on disk again before the journals they came from go.
        m_delay.stop();
        m_writer.waitForDone();
        save(JournalFile::encode(m_list.records()));
    }
    for (const Claim &claim : std::as_const(m_claims))
        removeJournal(claim.stem, claim.lock);
    m_claims.clear();
    m_leftOver.clear();
}

void ListJournal::close()
{
    m_closed = true;
    m_delay.stop();
    m_writer.waitForDone();
    if (m_ownLock >= 0)
        removeJournal(m_own, m_ownLock);
    m_ownLock = -1;
}

void ListJournal::changed()
{
    if (!m_closed && !m_delay.isActive())
        m_delay.start();
}

void ListJournal::flush()
{
    if (m_closed)
        return;
    if (m_busy) {
        m_again = true;
        return;
    }
    m_busy = true;
    // The copy shares the rows; the list copies them only if it changes while they are written.
    m_writer.start([this, rows = m_list.records()]() mutable {
        const QByteArray bytes = JournalFile::encode(rows);
        rows = {};
        save(bytes);
        QMetaObject::invokeMethod(this, &ListJournal::written, Qt::QueuedConnection);
    });
}

void ListJournal::written()
{
    m_busy = false;
    if (m_again) {
        m_again = false;
        changed();
    }
}

void ListJournal::save(const QByteArray &bytes)
{
    const QByteArray digest = bytes.right(JournalFile::DigestSize);
    if (digest == m_lastDigest)
        return;
    QSaveFile file(m_own + kListSuffix);
    file.setDirectWriteFallback(false);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        m_lastDigest = digest;
}
