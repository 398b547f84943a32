// Converts 24 clips of 2 s to H.264/AAC through the batch queue one at a time and two at
// once, then runs the same encoder argument lists with `xargs -P 2` without the program, and
// prints the times and their ratios.

#include "batch/ConversionQueue.h"
#include "bench/BenchClips.h"
#include "bench/BenchFolder.h"
#include "bench/SignalWait.h"
#include "engine/EncoderCommand.h"
#include "engine/EncoderPath.h"
#include "filelist/FileListModel.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTextStream>

namespace {
const QString kOptions = QStringLiteral("-c:v libx264 -preset veryfast -crf 23 -pix_fmt yuv420p "
                                        "-c:a aac -b:a 128k -y");

// Milliseconds for the queue to convert every clip into folder; -1 when a row failed.
qint64 throughQueue(const QStringList &clips, const QString &folder, int simultaneous)
{
    FileListModel list;
    for (const QString &clip : clips) {
        FileListRecord record;
        record.FilePath = clip;
        record.durationMs = 2000;
        list.append(record, nullptr);
    }
    ConversionQueue queue(list);
    QElapsedTimer timer;
    timer.start();
    // The queue appends the overwrite switch itself.
    queue.start({kOptions.chopped(3), QStringLiteral("mp4"), false, folder, QString()}, false,
                simultaneous);
    if (queue.IsConverting())
        waitForSignal(&queue, &ConversionQueue::batchFinished, 600000);
    const qint64 elapsed = timer.elapsed();
    for (const FileListRecord &row : list.records()) {
        if (row.status.state() != RowStatus::State::Complete)
            return -1;
    }
    return elapsed;
}

// The same argument lists, NUL-separated, run two at a time by xargs.
qint64 throughXargs(const QStringList &clips, const QString &folder)
{
    QByteArray input;
    for (const QString &clip : clips) {
        const QString output =
            folder + QLatin1Char('/') + QFileInfo(clip).completeBaseName() + QStringLiteral(".mp4");
        for (const QString &word : EncoderCommand::conversion(clip, kOptions, output).mid(1))
            input += word.toUtf8() + '\0';
    }
    QElapsedTimer timer;
    timer.start();
    QProcess xargs;
    xargs.setProcessChannelMode(QProcess::MergedChannels);
    const int words =
        int(EncoderCommand::conversion(clips.first(), kOptions, QString()).size()) - 1;
    xargs.start(QStringLiteral("xargs"),
                {QStringLiteral("-0"), QStringLiteral("-P"), QStringLiteral("2"),
                 QStringLiteral("-n"), QString::number(words), EncoderPath::program()});
    xargs.write(input);
    xargs.closeWriteChannel();
    xargs.waitForFinished(600000);
    xargs.readAll();
    return xargs.exitCode() == 0 ? timer.elapsed() : -1;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    BenchFolder dir;
    const QStringList clips = makeClips(dir.path(), 24, 2.0);
    if (clips.isEmpty()) {
        out << "could not make the test clips\n";
        return 1;
    }
    for (const char *folder : {"n1", "n2", "bare"})
        QDir(dir.path()).mkdir(QString::fromLatin1(folder));
    const qint64 one = throughQueue(clips, dir.filePath(QStringLiteral("n1")), 1);
    const qint64 two = throughQueue(clips, dir.filePath(QStringLiteral("n2")), 2);
    const qint64 bare = throughXargs(clips, dir.filePath(QStringLiteral("bare")));
    if (one <= 0 || two <= 0 || bare <= 0) {
        out << "a conversion failed\n";
        return 1;
    }
    out << "clips=" << clips.size() << " n1_ms=" << one << " n2_ms=" << two
        << " xargs_p2_ms=" << bare << '\n';
    out << "ratio_n2_n1=" << QString::number(double(two) / double(one), 'f', 3)
        << " ratio_vs_bare=" << QString::number(double(two) / double(bare), 'f', 3) << '\n';
    return 0;
}
