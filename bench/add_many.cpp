// Adds a folder of 1000 tiny clips through Add Folder in the real window and reports the time
// per file, the longest pause of the window thread and the program's peak memory.
#include "bench/BenchWindow.h"
#include "bench/StallMeter.h"
#include "filelist/FileListModel.h"
#include "tests/testsupport/TestMedia.h"
#include "ui/StepsFrame.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>

#include <cstdio>
#include <sys/resource.h>

namespace {
constexpr int kClipCount = 1000;
} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString clips = dir.filePath(QStringLiteral("clips"));
    const QString original = dir.filePath(QStringLiteral("original.mp4"));
    if (!QDir().mkpath(clips) || !TestMedia::makeClip(original, 0.2, true, "32x24", 10)) {
        std::fprintf(stderr, "could not make the test clip\n");
        return 1;
    }
    // Copies of one clip: each is opened and probed like any other file.
    for (int i = 0; i < kClipCount; ++i) {
        if (!QFile::copy(original, clips + QStringLiteral("/clip%1.mp4").arg(i))) {
            std::fprintf(stderr, "could not copy the test clip\n");
            return 1;
        }
    }

    BenchWindow bench(dir.filePath(QStringLiteral("settings.ini")));
    MainWindow *window = bench.window.get();
    window->show();
    bench.dialogs.chosenFolder = clips;

    QElapsedTimer addTime;
    StallMeter meter(5);
    const qint64 longestGap = meter.measure([&] {
        addTime.start();
        window->steps()->cmdAddFolder->click();
        bench.waitUntilAdded();
    });
    const qint64 addMs = addTime.elapsed();
    for (const QString &message : bench.messages.texts())
        std::fprintf(stderr, "message: %s\n", qPrintable(message));

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const int rows = window->fileList()->rowCount();
    std::printf("added %d of %d files, %d messages\n", rows, kClipCount, bench.messages.count());
    std::printf("files=%d add_ms=%lld ms_per_file=%.1f longest_gap_ms=%lld peak_rss_mb=%.1f\n",
                rows, addMs, double(addMs) / kClipCount, longestGap,
                double(usage.ru_maxrss) / 1024.0);
    return rows == kClipCount ? 0 : 1;
}
