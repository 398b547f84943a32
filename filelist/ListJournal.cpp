#include "filelist/ListJournal.h"

#include "engine/InFlightOutputs.h"
#include "engine/RecordLock.h"
#include "filelist/FileListModel.h"
#include "filelist/JournalFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSaveFile>

#include <unistd.h>

namespace {
const QLatin1String kLockSuffix(".lock");
const QLatin1String kListSuffix(".list");

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
    connect(&m_list, &QAbstractItemModel::dataChanged, this, &ListJournal::rowsChanged);
    connect(&m_list, &QAbstractItemModel::rowsInserted, this, &ListJournal::rowsInserted);
    connect(&m_list, &QAbstractItemModel::rowsRemoved, this, &ListJournal::rowsRemoved);
    connect(&m_list, &QAbstractItemModel::modelReset, this, &ListJournal::encodeAll);
    encodeAll();
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
        folder.entryList({RecordLock::hostTag() + QStringLiteral("_*") + kLockSuffix},
                         QDir::Files | QDir::Hidden, QDir::Time | QDir::Reversed);
    for (const QString &name : locks) {
        const QString stem = folder.filePath(name.chopped(kLockSuffix.size()));
        const int fd = RecordLock::claim(stem + kLockSuffix);
        if (fd < 0)
            continue; // gone, or its copy still runs
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
                             .arg(m_folder, RecordLock::hostTag())
                             .arg(QCoreApplication::applicationPid())
                             .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
    const int fd = RecordLock::create(stem + kLockSuffix);
    if (fd < 0)
        return false;
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
        save(JournalFile::assemble(m_encoded));
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

void ListJournal::encodeAll()
{
    m_encoded.clear();
    m_encoded.reserve(m_list.rowCount());
    for (const FileListRecord &row : m_list.records())
        m_encoded.append(JournalFile::encodeRow(row));
    changed();
}

void ListJournal::rowsChanged(const QModelIndex &first, const QModelIndex &last)
{
    bool different = false;
    for (int row = first.row(); row <= last.row(); ++row) {
        QByteArray encoded = JournalFile::encodeRow(m_list.record(row));
        if (encoded != m_encoded.at(row)) {
            m_encoded[row] = std::move(encoded);
            different = true;
        }
    }
    if (different)
        changed();
}

void ListJournal::rowsInserted(const QModelIndex &, int first, int last)
{
    for (int row = first; row <= last; ++row)
        m_encoded.insert(row, JournalFile::encodeRow(m_list.record(row)));
    changed();
}

void ListJournal::rowsRemoved(const QModelIndex &, int first, int last)
{
    m_encoded.remove(first, last - first + 1);
    changed();
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
    // The copy shares the parts; they are copied only if a row changes while they are joined.
    m_writer.start([this, rows = m_encoded]() mutable {
        const QByteArray bytes = JournalFile::assemble(rows);
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
    QSaveFile file(m_own + kListSuffix);
    file.setDirectWriteFallback(false);
    // A write that fails leaves the last journal in place.
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size())
        file.commit();
}
