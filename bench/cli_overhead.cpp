// Converts 20 clips of 2 s with reelforge-cli (one at a time, a preset by its lists), then
// runs the same encoder argument lists one after another from a plain loop, and prints both
// times and their ratio. Six rounds each, alternating; the fastest of each counts, since a
// shared machine only ever slows a round down. The processor time of each side (encoders
// included) is compared too: it tells the work the program adds, which the machine's load
// hardly moves, while a round's wall time may move by several per cent.

#include "bench/BenchClips.h"
#include "bench/BenchFolder.h"
#include "engine/EncoderCommand.h"
#include "format/PresetsFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTextStream>

#include <algorithm>

#include <sys/resource.h>

namespace {
// Processor seconds of every child process ended so far, and of their children.
double childSeconds()
{
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

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
    if (clips.isEmpty() || parameters.isEmpty()) {
        out << "cannot make the clips or find the preset" << Qt::endl;
        return 1;
    }
    qint64 cli = -1;
    qint64 loop = -1;
    double cliCpu = 0;
    double loopCpu = 0;
    for (int round = 0; round < 6; ++round) {
        const QString cliOut = dir.filePath(QStringLiteral("cli%1").arg(round));
        const QString loopOut = dir.filePath(QStringLiteral("loop%1").arg(round));
        QDir().mkpath(loopOut);
        const double before = childSeconds();
        const qint64 loopMs = throughLoop(clips, parameters, loopOut);
        const double between = childSeconds();
        const qint64 cliMs = throughCli(clipFolder, cliOut);
        loopCpu += between - before;
        cliCpu += childSeconds() - between;
        if (loopMs < 0 || cliMs < 0 || QDir(cliOut).count() != uint(clips.size()) + 2) {
            out << "a conversion failed" << Qt::endl;
            return 1;
        }
        out << QStringLiteral("round %1: loop %2 ms, reelforge-cli %3 ms")
                   .arg(round + 1)
                   .arg(loopMs)
                   .arg(cliMs)
            << Qt::endl;
        cli = cli < 0 ? cliMs : std::min(cli, cliMs);
        loop = loop < 0 ? loopMs : std::min(loop, loopMs);
    }
    out << QStringLiteral("loop_s=%1 cli_s=%2 ratio=%3 cpu_ratio=%4")
               .arg(loop / 1000.0, 0, 'f', 2)
               .arg(cli / 1000.0, 0, 'f', 2)
               .arg(double(cli) / double(loop), 0, 'f', 3)
               .arg(cliCpu / loopCpu, 0, 'f', 3)
        << Qt::endl;
    return 0;
}
