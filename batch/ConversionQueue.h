#pragma once

#include "batch/BatchChoices.h"
#include "batch/BatchNotice.h"
#include "batch/BatchProgress.h"
#include "batch/RowEnding.h"
#include "engine/ConversionOutcome.h"
#include "engine/JobState.h"
#include "filelist/RowStatus.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QTimer>

#include <map>
#include <memory>

class CVideoConv;
class FileListModel;
class TemporaryOutput;
template <typename T> class QFutureWatcher;

// A batch over the file list: visits the rows in list order and converts those waiting (or
// stopped before), up to a given number at once, each row's job writing its progress into
// that row. Rows are addressed by their keys, so changes to the list during a batch cannot
// misdirect a status; rows appended during a batch are reached if the batch has not passed
// them. Each output is written under a hidden temporary name, checked, and only then moved
// to its final name without replacing anything. Told to skip existing results, a row whose
// result an earlier run left ends "Complete" without an encoder. Everything runs on the caller's
// thread without blocking it; nothing here shows a message.
//
// Front ends follow the rows by the typed signals below; each names its row by key, the
// row's stable identity in the list (FileListModel::rowOfKey gives where it is now).
class ConversionQueue : public QObject
{
    Q_OBJECT
public:
    explicit ConversionQueue(FileListModel &list, QObject *parent = nullptr);
    ~ConversionQueue() override; // kills the encoders still running, removes their files

    // Starts a batch, also when nothing is to be converted: batchFinished() follows in every
    // case. Ignored while a batch runs.
    void start(const BatchChoices &choices, bool selectedOnly, int simultaneous);
    // Stops every running encoder and starts no further row; batchFinished() follows once
    // the running rows have ended.
    void requestStop();

    // A batch runs; rows may be written by job events only meanwhile.
    bool IsConverting() const { return m_converting; }
    const BatchProgress &progress() const { return m_progress; }

signals:
    // The row's encoder is being started; a row ended without one (skipped, or refused before
    // it) never starts.
    void rowStarted(quint64 key);
    // The media converted so far; percent is -1 while the row's length is unknown.
    void rowProgress(quint64 key, qint64 mediaMs, int percent);
    // Every row the batch took, once it has ended: converted, skipped, failed or stopped.
    void rowEnded(quint64 key, const RowEnding &ending);
    // The batch stops: no file can be written where the results go.
    void batchNotice(const BatchNotice &notice);
    // A few times a second while a batch runs, and once at its end.
    void progressChanged();
    // converted: at least one row was handed to a job.
    void batchFinished(bool converted);

private:
    struct Row;

    bool isEligible(int row) const;
    int nextRow();
    int runningEncoders() const;
    void fillSlots();
    bool startRow(int row);
    void searchEarlierResult(int row);
    void searched(quint64 key);
    void jobState(quint64 key, const JobState &state);
    void jobEnded(quint64 key, const ConversionOutcome &outcome);
    void checked(quint64 key);
    // log by value: it may be the ending row's own, which goes before it is stored.
    void endRow(quint64 key, RowEnding::Kind kind, QString log, const QString &problem);
    void folderUnusable(const QString &reason);
    QString nextFreeName(const Row &row) const;
    void rowsAppended(int first, int last);
    void finishBatch();

    FileListModel &m_list;
    BatchChoices m_choices;
    bool m_selectedOnly = false;
    int m_simultaneous = 1;
    bool m_converting = false;
    bool m_stopRequested = false;
    bool m_converted = false;
    bool m_folderReported = false;
    quint64 m_lastKey = 0; // the row visited last
    int m_nextRow = 0;     // where the walk goes on should that row be gone
    std::map<quint64, std::unique_ptr<Row>> m_rows;
    QSet<QString> m_reservedOutputs;
    QHash<quint64, QString>
        m_searched;               // rows whose earlier result was looked for -> what was found
    QSet<QString> m_batchOutputs; // written by this batch: no earlier result of another row
    BatchProgress m_progress;
    QTimer m_tick;
};
