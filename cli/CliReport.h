#pragma once

#include "batch/RowEnding.h"

#include <QString>
#include <QStringList>
#include <QVector>

class BatchProgress;

// A file being converted, as the reports show it.
struct RunningFile
{
    QString file;
    int percent = -1; // -1 while its length is unknown
};

// How a command-line batch ended.
struct CliSummary
{
    int converted = 0;
    int failed = 0;              // ended with an error
    int cancelled = 0;           // stopped before it was done
    int notAdded = 0;            // refused, unreadable or missing
    bool stopped = false;        // by a signal
    bool outputUnusable = false; // the batch stopped early
    qint64 elapsedMs = 0;
};

// Tells the user what a command-line batch does: on a terminal, as plain lines or as JSON.
class CliReport
{
public:
    virtual ~CliReport() = default;

    virtual void notAdded(const QString &file, const QString &reason) = 0;
    // streams: what happens to each of the file's streams, one line each.
    virtual void started(const QString &file, const QStringList &streams) = 0;
    // A few times a second: the files being converted, in the order they started.
    virtual void progress(const QVector<RunningFile> &running, const BatchProgress &overall) = 0;
    virtual void finished(const RowEnding &ending) = 0;
    // The batch stopped because no file can be written where the results go.
    virtual void outputUnusable(const QString &reason) = 0;
    virtual void summary(const CliSummary &summary) = 0;

    // "Complete", "Error" or "Cancelled".
    static QString endingName(RowStatus::State state);
    // Told on standard error: neither converted nor cancelled.
    static bool isFailure(RowStatus::State state);
};
