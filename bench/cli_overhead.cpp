// Converts 20 clips of 2 s with reelforge-cli (one at a time, a preset by its lists), then
// runs the same encoder argument lists one after another from a plain loop, and prints both
// times and their ratio. Six rounds each, alternating; the fastest of each counts, since a
// shared machine only ever slows a round down.
//
// A round's encoder time moves by several per cent on a shared machine, more than the program
// adds. So both sides run the encoder through a clock that stands first on PATH as "ffmpeg" and
// logs each run: the time a side spends outside the encoder is its overhead, and net_ratio is
// the fastest loop with the median overhead of the program in place of the loop's.

#include "bench/BenchClips.h"
#include "bench/BenchFolder.h"
#include "engine/EncoderCommand.h"
#include "format/PresetsFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTextStream>

#include <algorithm>

namespace {
const QString kCategory = QStringLiteral("MP4 Video");
const QString kPreset = QStringLiteral("H.264 / AAC, 360p");

// Milliseconds for reelforge-cli to convert the folder's clips into out; -1 on failure.
qint64 throughCli(const QString &clips, const QString &out)
{
    QProcess cli;
    cli.setProcessChannelMode(QProcess::MergedChannels);
    QElapsedTimer timer;
    timer.start();
    cli.start(QCoreApplication::applicationDirPath() + QStringLiteral("/reelforge-cli"),
              {QStringLiteral("--category"), kCategory, QStringLiteral("--preset"), kPreset,
               QStringLiteral("--output"), out, clips});
    cli.waitForFinished(900000);
    cli.readAll();
    return cli.exitStatus() == QProcess::NormalExit && cli.exitCode() == 0 ? timer.elapsed() : -1;
}

// The encoder run on the same argument lists, one after another.
qint64 throughLoop(const QStringList &clips, const QString &parameters, const QString &out)
{
    QElapsedTimer timer;
    timer.start();
    for (const QString &clip : clips) {
        const QString output =
            out + QLatin1Char('/') + QFileInfo(clip).completeBaseName() + QStringLiteral(".mp4");
        const QStringList command =
            EncoderCommand::conversion(clip, parameters + QStringLiteral(" -y"), output);
        QProcess encoder;
        encoder.setProcessChannelMode(QProcess::MergedChannels);
        encoder.start(command.first(), command.mid(1));
        encoder.waitForFinished(120000);
        encoder.readAll();
        if (encoder.exitCode() != 0)
            return -1;
    }
    return timer.elapsed();
}

// Milliseconds the clock logged for the encoder runs since the log was last taken, and how many
// runs; the log starts empty again.
qint64 takeEncoderTime(const QString &log, int *runs)
{
    QFile file(log);
    qint64 total = 0;
    *runs = 0;
    if (file.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : file.readAll().split('\n')) {
            const QList<QByteArray> ends = line.split(' ');
            if (ends.size() == 2) {
                total += ends.at(1).toLongLong() - ends.at(0).toLongLong();
                ++*runs;
            }
        }
    }
    file.remove();
    return total / 1000;
}

qint64 median(QList<qint64> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    BenchFolder dir;
    const QString clipFolder = dir.filePath(QStringLiteral("clips"));
    QDir().mkpath(clipFolder);
    const QStringList clips = makeClips(clipFolder, 20, 2.0);
    const PresetTable presets = PresetsFile::load(PresetsFile::defaultPath()).table;
    const QString parameters =
        presets.params(kCategory, kPreset, presets.extensions(kCategory, kPreset).value(0));
    // From here on "ffmpeg" is the clock, which runs the real one.
    const QString encoder = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    const QString clockFolder = dir.filePath(QStringLiteral("clock"));
    const QString log = dir.filePath(QStringLiteral("clock.log"));
    if (clips.isEmpty() || parameters.isEmpty() || encoder.isEmpty() ||
        !QDir().mkpath(clockFolder) ||
        !QFile::link(QCoreApplication::applicationDirPath() + QStringLiteral("/encoder_clock"),
                     clockFolder + QStringLiteral("/ffmpeg"))) {
        out << "cannot make the clips, find the preset or set up the encoder clock" << Qt::endl;
        return 1;
    }
    qputenv("REELFORGE_CLOCK_ENCODER", encoder.toLocal8Bit());
    qputenv("REELFORGE_CLOCK_LOG", log.toLocal8Bit());
    qputenv("PATH", clockFolder.toLocal8Bit() + ':' + qgetenv("PATH"));

    qint64 cli = -1;
    qint64 loop = -1;
    QList<qint64> cliOutside;
    QList<qint64> loopOutside;
    for (int round = 0; round < 6; ++round) {
        const QString cliOut = dir.filePath(QStringLiteral("cli%1").arg(round));
        const QString loopOut = dir.filePath(QStringLiteral("loop%1").arg(round));
        QDir().mkpath(loopOut);
        int loopRuns = 0;
        int cliRuns = 0;
        const qint64 loopMs = throughLoop(clips, parameters, loopOut);
        const qint64 loopEncoding = takeEncoderTime(log, &loopRuns);
        const qint64 cliMs = throughCli(clipFolder, cliOut);
        const qint64 cliEncoding = takeEncoderTime(log, &cliRuns);
        if (loopMs < 0 || cliMs < 0 || QDir(cliOut).count() != uint(clips.size()) + 2 ||
            loopRuns != clips.size() || cliRuns != clips.size()) {
            out << "a conversion failed" << Qt::endl;
            return 1;
        }
        loopOutside << loopMs - loopEncoding;
        cliOutside << cliMs - cliEncoding;
        out << QStringLiteral("round %1: loop %2 ms (%3 outside the encoder), reelforge-cli %4 "
                              "ms (%5 outside)")
                   .arg(round + 1)
                   .arg(loopMs)
                   .arg(loopOutside.last())
                   .arg(cliMs)
                   .arg(cliOutside.last())
            << Qt::endl;
        cli = cli < 0 ? cliMs : std::min(cli, cliMs);
        loop = loop < 0 ? loopMs : std::min(loop, loopMs);
    }
    const qint64 added = median(cliOutside) - median(loopOutside);
    out << QStringLiteral("loop_s=%1 cli_s=%2 ratio=%3 loop_outside_ms=%4 cli_outside_ms=%5 "
                          "net_ratio=%6")
               .arg(loop / 1000.0, 0, 'f', 2)
               .arg(cli / 1000.0, 0, 'f', 2)
               .arg(double(cli) / double(loop), 0, 'f', 3)
               .arg(median(loopOutside))
               .arg(median(cliOutside))
               .arg(double(loop + added) / double(loop), 0, 'f', 3)
        << Qt::endl;
    return 0;
}
