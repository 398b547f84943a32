// Converts 20 short clips with Convert All in the real window, then runs the same encoder
// argument lists back to back without the program, and prints both times and their ratio.

#include "BenchWindow.h"
#include "ConversionQueue.h"
#include "FileListModel.h"
#include "FormatPanel.h"
#include "MediaProbe.h"
#include "SignalWait.h"
#include "StepsFrame.h"
#include "TestMedia.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTextStream>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;
    // Conversions record their temporary files in a state folder: this run's own.
    qputenv("XDG_STATE_HOME", dir.filePath(QStringLiteral("state")).toLocal8Bit());
    const QStringList clips = TestMedia::makeClips(dir.path(), 20, 2.0);
    if (clips.isEmpty()) {
        out << "could not make the test clips\n";
        return 1;
    }
    QDir(dir.path()).mkdir(QStringLiteral("program"));
    QDir(dir.path()).mkdir(QStringLiteral("direct"));

    BenchWindow bench(dir.filePath(QStringLiteral("settings.ini")));
    MainWindow *window = bench.window.get();
    window->show();
    bench.files = clips;
    window->steps()->cmdAddVideoFile->click();
    bench.waitUntilAdded();
    window->formats()->optFormat(1)->setChecked(true); // MPEG-4 and MP3 in AVI
    window->steps()->optOtherFolder->setChecked(true);
    window->steps()->txtOutPath->setText(dir.filePath(QStringLiteral("program")));
    const QString parameters = window->formats()->GetParamaters() + QStringLiteral(" -y");
    const QString extension = window->formats()->outputExtension();

    QElapsedTimer timer;
    timer.start();
    window->steps()->cmdConvert->click();
    waitForSignal(window->queue(), &ConversionQueue::batchFinished);
    const qint64 programMs = timer.elapsed();
    int complete = 0;
    for (int row = 0; row < window->fileList()->rowCount(); ++row)
        complete += window->fileList()->record(row).status == RowStatus::State::Complete;

    timer.restart();
    for (const QString &clip : clips) {
        QStringList arguments = {QStringLiteral("-i"), clip};
        arguments << QProcess::splitCommand(parameters)
                  << dir.filePath(QStringLiteral("direct/") + QFileInfo(clip).completeBaseName() +
                                  QLatin1Char('.') + extension);
        QProcess encoder;
        encoder.setProcessChannelMode(QProcess::MergedChannels);
        encoder.setStandardInputFile(QProcess::nullDevice());
        encoder.start(TestMedia::encoder(), arguments);
        encoder.waitForFinished(120000);
        encoder.readAll();
    }
    const qint64 directMs = timer.elapsed();

    // What checking one output costs; the batch above does it off the window thread.
    const QStringList outputs =
        QDir(dir.filePath(QStringLiteral("program"))).entryList(QDir::Files);
    timer.restart();
    for (const QString &output : outputs)
        MediaProbe::inspect(dir.filePath(QStringLiteral("program/") + output));
    const double verifyMs = outputs.isEmpty() ? 0 : double(timer.elapsed()) / outputs.size();

    out << "clips=" << clips.size() << " complete=" << complete << '\n';
    out << "program_ms=" << programMs << " direct_ms=" << directMs
        << " ratio=" << QString::number(double(programMs) / double(directMs), 'f', 3)
        << " verify_ms_per_file=" << QString::number(verifyMs, 'f', 1) << '\n';
    return complete == clips.size() ? 0 : 1;
}
