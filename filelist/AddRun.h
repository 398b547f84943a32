#pragma once

#include "filelist/FileListError.h"
#include "filelist/FileProbe.h"

#include <QHash>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <QVector>

#include <atomic>
#include <functional>

class FileListModel;
class QElapsedTimer;
class QThreadPool;

// One add of a list of paths, with the outcome of adding them one after the other. The checks
// that need no probe (duplicate, field width, row limit, file kind, extension) run on the
// window thread in short slices, so a refused file costs no encoder run; the probes run in
// batches on the pool; finished files are appended strictly in the order of the list.
class AddRun : public QObject
{
    Q_OBJECT
public:
    // Appends the row of a probed file; false with the reason when the list refuses it.
    using Append = std::function<bool(const QString &path, const FileProbe::Result &probe,
                                      FileListError *error)>;

    AddRun(FileListModel &model, QThreadPool &pool, const QStringList &paths, Append append,
           QObject *parent = nullptr);
    ~AddRun() override;

    // Whether the encoder is asked to read each file (the default); without it only the media
    // library is, and an unreadable file shows when it is converted.
    void setAskEncoder(bool ask) { m_askEncoder = ask; }
    // Works from the event loop; finished() follows unless cancelled.
    void start();
    // Works on the calling thread until every path is settled.
    void runHere();
    // Ends the run at once: queued probes are dropped, running ones killed, no row follows.
    void cancel();

    int total() const { return int(m_items.size()); }
    int added() const { return m_added; }
    bool anyRefused() const { return m_anyRefused; }
    bool encoderMissing() const { return m_encoderMissing; }
    // Paths whose names are not valid UTF-8: they reach us damaged and cannot be opened.
    const QStringList &unreadableNames() const { return m_unreadable; }

signals:
    void progress(int done, int total);
    void failed(const FileListError &error); // in the order of the list
    void finished();

private:
    enum class State {
        Unchecked,
        Probing,
        Probed,
        Refused,
        Failed,
        Unreadable,
        LikeEarlier,
        Added
    };
    struct Item
    {
        QString path;
        State state = State::Unchecked;
        int earlier = -1; // LikeEarlier: the first item with the same path
        FileListError error;
        FileProbe::Result probe;
    };

    void work();
    bool scan(const QElapsedTimer *slice);
    bool waitsForRoom() const;
    void check(int index);
    void dispatch();
    void probed(const QVector<int> &indices, const QVector<FileProbe::Result> &results);
    bool commit(const QElapsedTimer *slice);
    void settle(Item &item);

    FileListModel &m_model;
    QThreadPool &m_pool;
    Append m_append;
    const QString m_encoder;
    QVector<Item> m_items;
    QHash<QString, int> m_firstOfPath;
    QVector<int> m_toProbe;
    int m_scanned = 0;
    int m_committed = 0;
    int m_inFlight = 0; // checked, not yet settled, and may become a row
    int m_added = 0;
    bool m_here = false;
    bool m_committing = false;
    bool m_anyRefused = false;
    bool m_encoderMissing = false;
    bool m_askEncoder = true;
    QStringList m_unreadable;
    std::atomic_bool m_stop{false};
    QTimer m_tick;
};
