// Converts 20 short clips with Convert All in the real window, its list journaled, and runs the
// same encoder argument lists back to back without the program, five rounds each, alternating;
// prints the median times, their ratio, and what checking one output costs.

#include "batch/ConversionQueue.h"
#include "bench/BenchClips.h"
#include "bench/BenchFolder.h"
#include "bench/BenchWindow.h"
#include "bench/SignalWait.h"
#include "filelist/FileListModel.h"
#include "filelist/MediaProbe.h"
#include "tests/testsupport/TestMedia.h"
#include "ui/FormatPanel.h"
#include "ui/StepsFrame.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTextStream>

#include <algorithm>

namespace {
constexpr int kRounds = 5;
} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);
    BenchFolder dir;
    const QStringList clips = makeClips(dir.path(), 20, 2.0);
    if (clips.isEmpty()) {
        out << "could not make the test clips\n";
        return 1;
    }
    BenchWindow bench(dir.filePath(QStringLiteral("settings.ini")),
                      dir.filePath(QStringLiteral("journal")));
    MainWindow *window = bench.window.get();
    window->show();
    bench.dialogs.chosenFiles = clips;
    window->steps()->cmdAddVideoFile->click();
    bench.waitUntilAdded();
    window->formats()->optFormat(1)->setChecked(true); // MPEG-4 and MP3 in AVI
    window->steps()->optOtherFolder->setChecked(true);
    const QString parameters = window->formats()->GetParamaters() + QStringLiteral(" -y");
    const QString extension = window->formats()->outputExtension();
    FileListModel *list = window->fileList();

    // Rounds alternate between the program and the bare runs, so that a change in the
    // machine's load meets both; each side's median counts.
    QList<qint64> programRuns, directRuns;
    int complete = 0;
    QElapsedTimer timer;
    for (int round = 0; round < kRounds; ++round) {
        const QString programFolder = dir.filePath(QStringLiteral("program%1").arg(round));
        const QString directFolder = dir.filePath(QStringLiteral("direct%1").arg(round));
        QDir().mkpath(directFolder);
        for (int row = 0; row < list->rowCount(); ++row)
            list->setStatus(row, RowStatus::State::WaitingConversion);
        window->steps()->txtOutPath->setText(programFolder);
        timer.start();
        window->steps()->cmdConvert->click();
        waitForSignal(window->queue(), &ConversionQueue::batchFinished);
        programRuns << timer.elapsed();
        complete = 0;
        for (int row = 0; row < list->rowCount(); ++row)
            complete += list->record(row).status == RowStatus::State::Complete;

        timer.restart();
        for (const QString &clip : clips) {
            QStringList arguments = {QStringLiteral("-i"), clip};
            arguments << QProcess::splitCommand(parameters)
                      << directFolder + QLatin1Char('/') + QFileInfo(clip).completeBaseName() +
                             QLatin1Char('.') + extension;
            QProcess encoder;
            encoder.setProcessChannelMode(QProcess::MergedChannels);
            encoder.setStandardInputFile(QProcess::nullDevice());
            encoder.start(TestMedia::encoder(), arguments);
            encoder.waitForFinished(120000);
            encoder.readAll();
        }
        directRuns << timer.elapsed();
    }
    std::sort(programRuns.begin(), programRuns.end());
    std::sort(directRuns.begin(), directRuns.end());
    const qint64 programMs = programRuns.at(kRounds / 2);
    const qint64 directMs = directRuns.at(kRounds / 2);

    // What checking one output costs; the batch above does it off the window thread.
    const QDir checked(dir.filePath(QStringLiteral("program0")));
    const QStringList outputs = checked.entryList(QDir::Files);
    timer.restart();
    for (const QString &output : outputs)
        MediaProbe::inspect(checked.filePath(output));
    const double verifyMs = outputs.isEmpty() ? 0 : double(timer.elapsed()) / outputs.size();

    out << "clips=" << clips.size() << " complete=" << complete << '\n';
    out << "program_ms=" << programMs << " direct_ms=" << directMs
        << " ratio=" << QString::number(double(programMs) / double(directMs), 'f', 3)
        << " verify_ms_per_file=" << QString::number(verifyMs, 'f', 1) << '\n';
    return complete == clips.size() ? 0 : 1;
}
