#pragma once

#include "batch/BatchChoices.h"
#include "batch/ConversionQueue.h"
#include "batch/StreamPlan.h"
#include "cli/CliReport.h"
#include "filelist/FileListModel.h"

#include <QElapsedTimer>
#include <QHash>
#include <QThreadPool>

#include <memory>
#include <utility>

class AddRun;
class QIODevice;

// One run of reelforge-cli over files and folders: adds them as Add Folder would (same rules,
// same probes) and converts them with the window's queue, or prints the encoder commands
// that would convert them. Files are added in growing chunks (1, 2, 4, ...) and the queue
// starts with the first row, so probing the later files overlaps converting the first ones.
// Ends with finished() and the exit status.
class CliRun : public QObject
{
    Q_OBJECT
public:
    static constexpr int StatusFailed = 1;
    static constexpr int StatusStopped = 130;

    CliRun(const BatchChoices &choices, int jobs, CliReport &report, QObject *parent = nullptr);
    ~CliRun() override;

    // Converts the paths; or, given commands, writes one command line per file there instead.
    void start(const QStringList &paths, QIODevice *commands = nullptr);
    // Stops adding or converting; finished() follows with StatusStopped.
    void stop();
    // The queue converting the files, whose signals the reports follow.
    const ConversionQueue &queue() const { return m_queue; }

    // Each file given, and the files directly in each folder given, in natural order; the
    // files whose names cannot be read, and the folders without files, apart.
    static QStringList gather(const QStringList &paths, QStringList *unreadable,
                              QStringList *emptyFolders);
    // The line that converts one file where it is run, safe to run again: done at once when
    // the output exists; else the encoder from that machine's PATH, with no questions on
    // stdin, writes into a private folder beside the output, and only a result the encoder
    // finished is moved to the output's name, never over a file. makeFolder: the output's
    // folder is made first.
    static QString commandLine(const QString &input, const QString &options,
                               const BatchChoices &choices, const QString &output, bool makeFolder);

signals:
    void finished(int status);

private:
    void addNext();
    void chunkAdded();
    void feedQueue();
    void printCommands();
    // What the batch does with the record's streams: the queue decides alike.
    StreamPlan planFor(const FileListRecord &record) const;
    void rowStarted(quint64 key);
    void tick();
    void rowEnded(quint64 key, const RowEnding &ending);
    void batchFinished();
    void end();

    BatchChoices m_choices;
    int m_jobs;
    CliReport &m_report;
    QIODevice *m_commands = nullptr;
    FileListModel m_list;
    QThreadPool m_pool;
    ConversionQueue m_queue;
    std::unique_ptr<AddRun> m_adding;
    QStringList m_pending; // gathered, not yet handed to an adding run
    QStringList m_chunk;   // the paths of the adding run
    int m_chunkSize = 1;
    QHash<QString, QString> m_addFailures;            // path -> why it could not be added
    QList<std::pair<quint64, RunningFile>> m_running; // by row key, in the order they started
    CliSummary m_summary;
    QElapsedTimer m_clock;
    bool m_ended = false;
};
