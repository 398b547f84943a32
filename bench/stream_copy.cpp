// Changes a two-hour 1080p MKV (H.264, AAC, SubRip) to MP4 with the options "-c copy" through
// the conversion queue, against the bare encoder copying the same streams into the same
// folder; rounds alternate and the best of each side counts. Also times the queue's output
// check on its own, and estimates encoding the whole file with the 1080p H.264 preset from
// its first minute.

#include "batch/ConversionQueue.h"
#include "batch/OutputCheck.h"
#include "batch/StreamPlan.h"
#include "bench/BenchFolder.h"
#include "bench/LongSource.h"
#include "bench/ProbeSummary.h"
#include "bench/SignalWait.h"
#include "engine/EncoderCommand.h"
#include "engine/EncoderPath.h"
#include "filelist/FileListModel.h"
#include "filelist/FileProbe.h"
#include "format/PresetsFile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTextStream>

#include <algorithm>
#include <atomic>

namespace {
constexpr int kRounds = 3;
constexpr int kEncodeSeconds = 60;
constexpr int kTimeoutMs = 1800000;
const QString kCopyOptions = QStringLiteral("-c copy");
const QString kCategory = QStringLiteral("MP4 Video");
const QString kPreset = QStringLiteral("H.264 / AAC, 1080p");

// The streams an MP4 copy holds: picture and sound as they were, the subtitles converted.
// The preset's encode takes the first two only.
const QStringList kCopied = {QStringLiteral("video h264"), QStringLiteral("audio aac"),
                             QStringLiteral("subtitle mov_text")};

// The file's row as adding it makes one, from the same probe; false when it does not read.
bool rowFor(const QString &path, FileListRecord *record)
{
    const std::atomic_bool cancelled{false};
    const QVector<FileProbe::Result> probed =
        FileProbe::run(EncoderPath::program(), {path}, cancelled);
    if (probed.size() != 1 || probed.first().verdict != FileProbe::Verdict::Reads)
        return false;
    record->FilePath = path;
    record->Duration = probed.first().duration;
    record->durationMs = probed.first().durationMs;
    record->streams = probed.first().streams;
    record->FileSize = probed.first().fileSize;
    return true;
}

// Seconds from the queue's start to its batch's end, output check included; -1 when the
// row did not end complete.
double throughQueue(const FileListRecord &record, const QString &folder)
{
    FileListModel list;
    list.append(record, nullptr);
    ConversionQueue queue(list);
    QElapsedTimer timer;
    timer.start();
    queue.start({kCopyOptions, QStringLiteral("mp4"), false, folder, QString()}, false, 1);
    if (queue.IsConverting())
        waitForSignal(&queue, &ConversionQueue::batchFinished, kTimeoutMs);
    const double seconds = timer.elapsed() / 1000.0;
    return list.record(0).status.state() == RowStatus::State::Complete ? seconds : -1;
}

// Seconds the encoder takes over arguments; -1 when it fails.
double throughEncoder(const QStringList &arguments)
{
    QProcess encoder;
    encoder.setProcessChannelMode(QProcess::MergedChannels);
    encoder.setStandardInputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    encoder.start(EncoderPath::program(), arguments);
    encoder.waitForFinished(kTimeoutMs);
    const double seconds = timer.elapsed() / 1000.0;
    encoder.readAll();
    return encoder.exitStatus() == QProcess::NormalExit && encoder.exitCode() == 0 ? seconds : -1;
}

// Whether output reads back whole with the copied streams; removed either way.
bool checkedAndRemoved(const QString &output, double seconds, const QStringList &streams)
{
    const bool good = ProbeSummary::of(output).matches(seconds, streams);
    QFile::remove(output);
    return good;
}

QString fixed(double value, int decimals = 2)
{
    return QString::number(value, 'f', decimals);
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    BenchFolder dir;
    QString error;
    const QString source = LongSource::ensure(QStringLiteral(REELFORGE_BENCH_CACHE), &error);
    FileListRecord record;
    if (source.isEmpty() || !rowFor(source, &record)) {
        out << (error.isEmpty() ? QStringLiteral("the source does not read") : error) << Qt::endl;
        return 1;
    }
    const PresetTable presets = PresetsFile::load(PresetsFile::defaultPath()).table;
    const QString encodeOptions =
        presets.params(kCategory, kPreset, presets.extensions(kCategory, kPreset).value(0));
    if (encodeOptions.isEmpty()) {
        out << "cannot find the preset " << kPreset << Qt::endl;
        return 1;
    }
    const double sourceSeconds = ProbeSummary::of(source).seconds;
    const double sourceMb = QFileInfo(source).size() / 1e6;
    QFile load(QStringLiteral("/proc/loadavg"));
    load.open(QIODevice::ReadOnly);
    out << "source: " << source << ", " << fixed(sourceMb, 0) << " MB, " << fixed(sourceSeconds)
        << " s; load " << load.readAll().trimmed() << Qt::endl;
    const StreamPlan plan =
        StreamPlan::make(record.streams, kCopyOptions, QStringLiteral("mp4"), false);
    out << "plan: " << plan.options() << "\n  " << plan.lines().join(QStringLiteral("\n  "))
        << Qt::endl;

    const QString queueOutput =
        dir.filePath(QFileInfo(source).completeBaseName() + QStringLiteral(".mp4"));
    const QString bareOutput = dir.filePath(QStringLiteral("bare.mp4"));
    const QStringList bare =
        QStringList{QStringLiteral("-i"), source} +
        QProcess::splitCommand(QStringLiteral("-map 0 -c copy -c:s mov_text")) +
        QStringList{bareOutput};
    QList<double> queueRuns, bareRuns;
    double checkSeconds = -1;
    const auto queueSide = [&] {
        queueRuns << throughQueue(record, dir.path());
        if (queueRuns.last() > 0 && checkSeconds < 0) {
            // The queue's own check of its output, timed alone.
            QElapsedTimer timer;
            timer.start();
            OutputCheck::check(queueOutput, {true, true, qint64(sourceSeconds * 1000), "mp4"});
            checkSeconds = timer.elapsed() / 1000.0;
        }
        return queueRuns.last() > 0 && checkedAndRemoved(queueOutput, sourceSeconds, kCopied);
    };
    const auto bareSide = [&] {
        bareRuns << throughEncoder(bare);
        return bareRuns.last() > 0 && checkedAndRemoved(bareOutput, sourceSeconds, kCopied);
    };
    for (int round = 0; round < kRounds; ++round) {
        // Each side goes first in turn, so that neither always meets a warmer cache.
        const bool done = round % 2 == 0 ? queueSide() && bareSide() : bareSide() && queueSide();
        if (!done) {
            out << "a copy failed or does not read back whole (queue " << queueRuns.size()
                << " runs, bare " << bareRuns.size() << " runs, the last one failing)" << Qt::endl;
            return 1;
        }
        out << "round " << round + 1 << ": queue " << fixed(queueRuns.last()) << " s, bare "
            << fixed(bareRuns.last()) << " s" << Qt::endl;
    }

    const QString encodeOutput = dir.filePath(QStringLiteral("encoded.mp4"));
    const double encodeSeconds = throughEncoder(
        EncoderCommand::conversion(
            source, encodeOptions + QStringLiteral(" -t %1").arg(kEncodeSeconds), encodeOutput)
            .mid(1));
    if (encodeSeconds < 0 ||
        !ProbeSummary::of(encodeOutput).matches(kEncodeSeconds, kCopied.mid(0, 2))) {
        out << "the encode of the first minute failed or does not read back whole" << Qt::endl;
        return 1;
    }
    QFile::remove(encodeOutput);

    const double queueSeconds = *std::min_element(queueRuns.begin(), queueRuns.end());
    const double bareSeconds = *std::min_element(bareRuns.begin(), bareRuns.end());
    const double encodeEstimate = encodeSeconds * sourceSeconds / kEncodeSeconds;
    out << "encode: " << fixed(encodeSeconds) << " s for " << kEncodeSeconds << " s, about "
        << fixed(encodeEstimate, 0) << " s for the whole file" << Qt::endl;
    out << "ratio_vs_bare_copy=" << fixed(queueSeconds / bareSeconds, 3)
        << " speedup_vs_encode=" << fixed(encodeEstimate / queueSeconds, 1)
        << " copy_mb_per_s=" << fixed(sourceMb / queueSeconds, 1)
        << " queue_s=" << fixed(queueSeconds) << " bare_s=" << fixed(bareSeconds)
        << " check_s=" << fixed(checkSeconds) << " encode_estimate_s=" << fixed(encodeEstimate, 0)
        << Qt::endl;
    return 0;
}
