// Renders the main window with a few sample rows to a PNG, for the README.
#include "filelist/FileListModel.h"
#include "tests/standins/StandInDesktop.h"
#include "ui/MainWindow.h"
#include "ui/StepsFrame.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTextStream>

namespace {
FileListRecord row(const QString &path, const RowStatus &status, const QString &duration,
                   const QString &size)
{
    FileListRecord record;
    record.FilePath = path;
    record.status = status;
    record.Duration = duration;
    record.FileSize = size;
    return record;
}
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 3) {
        QTextStream(stderr) << "usage: reelforge-screenshot SETTINGS.ini OUTPUT.png\n";
        return 2;
    }
    // Nothing in a screenshot may open a dialog, a file or power anything off.
    StandInDesktop desktop;
    MainWindow window(desktop.services(QString::fromLocal8Bit(argv[1])));
    FileListModel *list = window.fileList();
    list->append(row("/home/ana/Videos/holiday.mp4", RowStatus::State::WaitingConversion,
                     "00:03:12", "48.2 MB"),
                 nullptr);
    list->append(
        row("/home/ana/Videos/birthday party.mkv", RowStatus::percent(40), "00:12:47", "212.75 MB"),
        nullptr);
    list->append(
        row("/home/ana/Videos/interview.mov", RowStatus::State::Complete, "00:25:03", "1.12 GB"),
        nullptr);
    list->append(
        row("/home/ana/Downloads/broken.avi", RowStatus::State::UnknownWhenAdded, "Error", "12 KB"),
        nullptr);
    window.steps()->txtOutPath->setText("/home/ana/Videos/Converted");
    // The overall line as it reads while the second row converts.
    window.steps()->lblOverall->setText(QString::fromUtf8(
        "1 of 3 files \u00b7 41 % \u00b7 about 6 min left \u00b7 2.3\u00d7 real time"));
    list->setTone(2, RowTone::Complete);
    list->setTone(3, RowTone::UnknownWhenAdded);
    window.show();
    app.processEvents();
    const bool saved = window.grab().save(QString::fromLocal8Bit(argv[2]));
    for (const QString &message : desktop.messages.texts())
        QTextStream(stderr) << "message: " << message << '\n';
    return saved ? 0 : 1;
}
