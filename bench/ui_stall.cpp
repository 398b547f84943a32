// Converts a clip through the conversion job while a 5 ms timer ticks on the same thread,
// and prints the longest gap between ticks: how long the window would have gone unpainted.

#include "CVideoConv.h"
#include "StallMeter.h"
#include "TestMedia.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;
    const QString clip = dir.filePath(QStringLiteral("clip.mp4"));
    if (!TestMedia::makeClip(clip, 8.0, true, QStringLiteral("320x240"))) {
        out << "could not make the test clip\n";
        return 1;
    }

    bool converted = false;
    StallMeter meter(5);
    const qint64 longestGap = meter.measure([&] {
        CVideoConv job;
        job.setInputFile(clip);
        job.setOutputFile(dir.filePath(QStringLiteral("clip.avi")));
        job.setParametrs(QStringLiteral("-vcodec mpeg4 -acodec mp2 -y"));
        job.setFileTimeLength(8.0f);
        job.StartConversion();
        converted = job.succeeded();
    });

    out << "converted=" << (converted ? "yes" : "no") << " ticks=" << meter.ticks() << '\n';
    out << "longest_gap_ms=" << longestGap << '\n';
    return converted ? 0 : 1;
}
