#pragma once

#include "filelist/FileListRecord.h"

#include <QByteArray>
#include <QObject>
#include <QThreadPool>
#include <QTimer>
#include <QVector>

class FileListModel;

// Keeps the file list on disk as it changes, so that a start after the program was killed or
// the machine lost power can offer the list back. Each running copy journals into a file of its
// own and holds a lock on it for as long as it runs; a journal on this host whose lock is free
// was left by a copy that never closed normally, and only one later start can claim it. Each
// row's part of the journal is encoded as the row changes, on the window thread; the parts
// are joined and written on a thread of their own, the file replaced whole and synced. A burst
// of changes makes one write, and progress alone none.
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
    void encodeAll();
    void rowsChanged(const QModelIndex &first, const QModelIndex &last);
    void rowsInserted(const QModelIndex &parent, int first, int last);
    void rowsRemoved(const QModelIndex &parent, int first, int last);
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
    QVector<QByteArray> m_encoded; // each row's part of the journal, in list order
    QTimer m_delay;
    QThreadPool m_writer;
    bool m_busy = false;
    bool m_again = false;
    bool m_closed = false;
};
