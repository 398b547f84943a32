#pragma once

#include "FileListRecord.h"

#include <QByteArray>
#include <QObject>
#include <QThreadPool>
#include <QTimer>
#include <QVector>

class FileListModel;

// Keeps the file list on disk as it changes, so that a start after the program was killed or
// the machine lost power can offer the list back. Each running copy journals into a file of its
// own and holds a lock on it for as long as it runs; a journal on this host whose lock is free
// was left by a copy that never closed normally, and only one later start can claim it. The
// rows are written on a thread of their own from a shared copy of the list, replaced whole
// and synced; a burst of changes makes one write.
class ListJournal : public QObject
{
    Q_OBJECT
public:
    // The journals' folder in the program's state folder.
    static QString defaultFolder();

    // Claims what copies that ended abnormally left in folder, then journals list; the write
    // follows the first change of a burst by delayMs.
    ListJournal(FileListModel &list, const QString &folder, int delayMs = 250,
                QObject *parent = nullptr);
    // Waits for a write under way; the journal stays for a later start.
    ~ListJournal() override;

    // The rows the claimed journals hold, oldest journal first, as a restore brings them back.
    const QVector<FileListRecord> &leftOver() const { return m_leftOver; }
    // Once the rows are restored or refused: journals the list at once, then removes the
    // claimed journals.
    void dropLeftOver();
    // A normal end: nothing more is written and the journal is removed.
    void close();

private:
    struct Claim
    {
        QString stem;
        int lock;
    };

    void claimLeftOver();
    bool openOwn();
    void changed();
    void flush();
    void written();
    void save(const QByteArray &bytes);

    FileListModel &m_list;
    QString m_folder;
    QString m_own; // this copy's journal; empty when it could not be made
    int m_ownLock = -1;
    QVector<Claim> m_claims;
    QVector<FileListRecord> m_leftOver;
    QTimer m_delay;
    QThreadPool m_writer;
    QByteArray m_lastDigest; // of the bytes last written; only the writer touches it
    bool m_busy = false;
    bool m_again = false;
    bool m_closed = false;
};
