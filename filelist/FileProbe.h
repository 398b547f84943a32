#pragma once

#include "filelist/FileListError.h"
#include "filelist/MediaStream.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <atomic>

// What a row needs to know about a few files, learnt off the window thread: whether the encoder
// reads each one, its playing time and its size. One encoder run opens several files in turn
// and stops at the first it cannot open; the files after it go to a fresh run. Each file is
// judged on its own part of the output, as a run of `encoder -i path` alone would judge it.
class FileProbe
{
public:
    enum class Verdict { Reads, UnknownFormat, NotRun, NotAsked };
    struct Result
    {
        Verdict verdict = Verdict::NotRun;
        QString duration;
        qint64 durationMs = -1; // -1 when unknown
        QString fileSize;
        MediaStreams streams;
        bool failed = false; // the size could not be read; error says why
        FileListError error;
    };

    // Probes every path; empty when cancelled meanwhile (a running encoder is killed). Without
    // askEncoder only the media library and the file system are asked (verdicts NotAsked).
    static QVector<Result> run(const QString &encoder, const QStringList &paths,
                               const std::atomic_bool &cancelled, bool askEncoder = true);

private:
    // The encoder's verdicts on paths, in order; NotRun for all when it cannot be started.
    static QVector<Verdict> askEncoder(const QString &encoder, const QStringList &paths,
                                       const std::atomic_bool &cancelled);
    // Verdicts for the leading paths that one run's output settles: each file that was opened,
    // and the one the run stopped at; fewer where the output cannot be told apart by file.
    static QVector<Verdict> readVerdicts(const QString &output, const QStringList &paths);
};
