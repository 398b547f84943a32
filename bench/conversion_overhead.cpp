// Converts the same clips once through the conversion job and once by starting the same
// encoder argument lists directly, alternating the order over several rounds, and prints
// both times and their ratio. Each clip's fastest run per way is used, to damp the noise
// of a shared machine.

#include "bench/SignalWait.h"
#include "engine/CVideoConv.h"
#include "engine/EncoderPath.h"
#include "tests/testsupport/TestMedia.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <limits>
#include <vector>

namespace {
constexpr int kClips = 8;
constexpr int kRounds = 5;
const QString kOptions = QStringLiteral("-vcodec mpeg4 -acodec mp2 -y");

struct Clip
{
    QString input;
    QString output;
};

double throughJob(const Clip &clip, bool &ok)
{
    QElapsedTimer timer;
    timer.start();
    CVideoConv job;
    job.setInputFile(clip.input);
    job.setOutputFile(clip.output);
    job.setParametrs(kOptions);
    job.setFileTimeLength(2.0f);
    bool succeeded = false;
    QObject::connect(&job, &CVideoConv::finished, &job, [&](const ConversionOutcome &outcome) {
        succeeded = outcome.kind == ConversionOutcome::Kind::Succeeded;
    });
    job.start();
    waitForSignal(&job, &CVideoConv::finished);
    ok = ok && succeeded;
    return timer.nsecsElapsed() / 1e6;
}

double direct(const Clip &clip, bool &ok)
{
    QElapsedTimer timer;
    timer.start();
    CVideoConv job; // only to build the identical argument list
    job.setInputFile(clip.input);
    job.setOutputFile(clip.output);
    job.setParametrs(kOptions);
    const QStringList words = job.commandArguments();
    QProcess encoder;
    encoder.setProcessChannelMode(QProcess::MergedChannels);
    encoder.setStandardInputFile(QProcess::nullDevice());
    encoder.start(words.first(), words.mid(1));
    encoder.waitForFinished(-1);
    encoder.readAll();
    ok = ok && encoder.exitStatus() == QProcess::NormalExit && encoder.exitCode() == 0;
    return timer.nsecsElapsed() / 1e6;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;
    std::vector<Clip> clips;
    for (int i = 0; i < kClips; ++i) {
        const QString input = dir.filePath(QStringLiteral("clip%1.mp4").arg(i));
        if (!TestMedia::makeClip(input, 2.0)) {
            out << "could not make the test clips\n";
            return 1;
        }
        clips.push_back({input, dir.filePath(QStringLiteral("clip%1.avi").arg(i))});
    }

    const double none = std::numeric_limits<double>::max();
    std::vector<double> bestJob(kClips, none), bestDirect(kClips, none);
    double totalJob = 0, totalDirect = 0;
    bool ok = true;
    for (int round = 0; round < kRounds; ++round) {
        for (int i = 0; i < kClips; ++i) {
            const bool jobFirst = (round + i) % 2 == 0;
            double jobMs = 0, directMs = 0;
            if (jobFirst) {
                jobMs = throughJob(clips[i], ok);
                directMs = direct(clips[i], ok);
            } else {
                directMs = direct(clips[i], ok);
                jobMs = throughJob(clips[i], ok);
            }
            bestJob[i] = std::min(bestJob[i], jobMs);
            bestDirect[i] = std::min(bestDirect[i], directMs);
            totalJob += jobMs;
            totalDirect += directMs;
        }
    }
    if (!ok) {
        out << "a conversion failed\n";
        return 1;
    }
    double jobMs = 0, directMs = 0;
    for (int i = 0; i < kClips; ++i) {
        jobMs += bestJob[i];
        directMs += bestDirect[i];
    }
    out << "encoder=" << EncoderPath::program() << " clips=" << kClips << " rounds=" << kRounds
        << Qt::fixed << qSetRealNumberPrecision(1) << " all_job_ms=" << totalJob
        << " all_direct_ms=" << totalDirect << '\n';
    out << Qt::fixed << qSetRealNumberPrecision(1) << "job_ms=" << jobMs
        << " direct_ms=" << directMs << qSetRealNumberPrecision(3) << " ratio=" << jobMs / directMs
        << '\n';
    return 0;
}
