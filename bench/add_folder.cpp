// Adds a folder of 200 short clips through Add Folder and reports how long it takes, how
// long the window's event loop went without running, and, for comparison, the time of
// running the encoder and the media-information tool on each file one after the other.
// The figures depend on the machine's load: run it on a quiet machine.
#include "bench/StallMeter.h"
#include "filelist/FileAdder.h"
#include "filelist/FileListModel.h"
#include "tests/standins/MessageRecorder.h"
#include "tests/standins/ScriptedDialogs.h"
#include "tests/testsupport/TestMedia.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>

namespace {
constexpr int kClipCount = 200;

void runQuietly(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    process.waitForFinished(-1);
    process.readAll();
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    QStringList clips;
    for (int i = 0; i < kClipCount; ++i) {
        clips << dir.filePath(QStringLiteral("clip%1.mp4").arg(i, 3, 10, QLatin1Char('0')));
        if (!TestMedia::makeClip(clips.last(), 0.5, true, "32x24", 10)) {
            std::fprintf(stderr, "could not generate %s\n", qPrintable(clips.last()));
            return 1;
        }
    }

    FileListModel model;
    ScriptedDialogs dialogs;
    dialogs.chosenFolder = dir.path();
    MessageRecorder messages;
    FileAdder adder(model, dialogs);

    // A window-thread timer; its longest gap shows how long the window would stand still.
    QElapsedTimer addTime;
    StallMeter meter(5);
    const qint64 longestGap = meter.measure([&] {
        QEventLoop untilAdded;
        QObject::connect(&adder, &FileAdder::addingChanged, &untilAdded, [&](bool adding) {
            if (!adding)
                untilAdded.quit();
        });
        addTime.start();
        adder.AddFolder();
        if (adder.isAdding())
            untilAdded.exec();
    });
    const qint64 addMs = addTime.elapsed();
    for (const QString &message : messages.texts())
        std::fprintf(stderr, "message: %s\n", qPrintable(message));

    QElapsedTimer loopTime;
    loopTime.start();
    const QString mediainfo = QStandardPaths::findExecutable(QStringLiteral("mediainfo"));
    for (const QString &clip : clips) {
        runQuietly(TestMedia::encoder(),
                   {QStringLiteral("-hide_banner"), QStringLiteral("-i"), clip});
        runQuietly(mediainfo, {clip});
    }
    const qint64 loopMs = loopTime.elapsed();

    std::printf("added %d of %d files, %d messages\n", model.rowCount(), kClipCount,
                messages.count());
    std::printf("files=%d add_ms=%lld longest_gap_ms=%lld cli_loop_ms=%lld ratio=%.2f\n",
                model.rowCount(), addMs, longestGap, loopMs, double(addMs) / double(loopMs));
    return model.rowCount() == kClipCount ? 0 : 1;
}
