// Converts a clip through the conversion job, then a whole batch through the real window,
// while a 5 ms timer ticks on the window thread, and prints the longest gap between ticks:
// how long the window would have gone unpainted.

#include "batch/ConversionQueue.h"
#include "bench/BenchClips.h"
#include "bench/BenchFolder.h"
#include "bench/BenchWindow.h"
#include "bench/SignalWait.h"
#include "bench/StallMeter.h"
#include "engine/CVideoConv.h"
#include "filelist/FileListModel.h"
#include "ui/FormatPanel.h"
#include "ui/StepsFrame.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTextStream>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);
    BenchFolder dir;
    const QStringList clips = makeClips(dir.path(), 4, 8.0);
    if (clips.isEmpty()) {
        out << "could not make the test clips\n";
        return 1;
    }

    bool converted = false;
    StallMeter jobMeter(5);
    const qint64 jobGap = jobMeter.measure([&] {
        CVideoConv job;
        job.setInputFile(clips.first());
        job.setOutputFile(dir.filePath(QStringLiteral("clip.avi")));
        job.setParametrs(QStringLiteral("-vcodec mpeg4 -acodec mp2 -y"));
        job.setFileTimeLength(8.0f);
        QObject::connect(&job, &CVideoConv::finished, &job, [&](const ConversionOutcome &outcome) {
            converted = outcome.kind == ConversionOutcome::Kind::Succeeded;
        });
        job.start();
        waitForSignal(&job, &CVideoConv::finished);
    });

    // The whole batch through the window, with the grid drawing every progress step; adding
    // the files (probes in the background) is measured on its own.
    BenchWindow bench(dir.filePath(QStringLiteral("settings.ini")));
    MainWindow *window = bench.window.get();
    window->show();
    bench.dialogs.chosenFiles = clips;
    window->formats()->optFormat(1)->setChecked(true);
    window->steps()->optSameFolder->setChecked(true);
    window->steps()->spnSimultaneous->setValue(2); // two encoders at once
    StallMeter addMeter(5);
    const qint64 addGap = addMeter.measure([&] {
        window->steps()->cmdAddVideoFile->click();
        bench.waitUntilAdded();
    });
    StallMeter batchMeter(5);
    int complete = 0;
    const qint64 batchGap = batchMeter.measure([&] {
        window->steps()->cmdConvert->click();
        waitForSignal(window->queue(), &ConversionQueue::batchFinished);
        for (int row = 0; row < window->fileList()->rowCount(); ++row)
            complete += window->fileList()->record(row).status == RowStatus::State::Complete;
    });

    out << "job_converted=" << (converted ? "yes" : "no") << " job_ticks=" << jobMeter.ticks()
        << " batch_rows_complete=" << complete << " batch_ticks=" << batchMeter.ticks() << '\n';
    out << "longest_gap_ms=" << jobGap << " batch_longest_gap_ms=" << batchGap
        << " add_longest_gap_ms=" << addGap << '\n';
    return converted && complete == clips.size() ? 0 : 1;
}
