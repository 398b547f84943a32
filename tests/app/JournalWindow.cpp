// The window as the program runs it, journaling its list, over scripted desktop services, for
// tests that kill it mid-batch and start it again:
//   journal_window yes|no [OUTPUT-FOLDER FILE...]
// Answers a restore question as told and prints "asked" when one came, then each row as
// "row STATUS PATH OUTPUT" (the texts percent-encoded). With files, adds them and converts
// them all into the folder, printing "running PATH" and "ended STATUS PATH" as rows go; without,
// closes the window the ordinary way and ends.
#include "batch/ConversionQueue.h"
#include "filelist/FileAdder.h"
#include "filelist/FileListModel.h"
#include "filelist/ListJournal.h"
#include "tests/standins/StandInDesktop.h"
#include "ui/MainWindow.h"
#include "ui/StepsFrame.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QTextStream>

namespace {
QString shown(const QString &text)
{
    return QString::fromLatin1(text.toUtf8().toPercentEncoding());
}
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments().mid(1);
    QTextStream out(stdout);
    StandInDesktop desktop;
    ScriptedDialogs &dialogs = desktop.dialogs;
    dialogs.answer = arguments.value(0) == QLatin1String("yes");
    MainWindow window(desktop.services(QString(), ListJournal::defaultFolder()));
    window.show();
    window.offerRestore();
    if (!dialogs.questions.isEmpty())
        out << "asked" << Qt::endl;
    const FileListModel &list = *window.fileList();
    for (const FileListRecord &row : list.records())
        out << "row " << shown(row.Status()) << ' ' << shown(row.FilePath) << ' '
            << shown(row.output) << Qt::endl;
    if (arguments.size() < 3) {
        window.close();
        return 0;
    }

    QSet<quint64> running;
    QObject::connect(&list, &QAbstractItemModel::dataChanged, &list, [&](const QModelIndex &cell) {
        const FileListRecord &row = list.record(cell.row());
        if (row.status.isRunning() && !running.contains(row.key)) {
            running.insert(row.key);
            out << "running " << shown(row.FilePath) << Qt::endl;
        }
    });
    QObject::connect(window.queue(), &ConversionQueue::rowEnded, &window,
                     [&](quint64, const RowEnding &ending) {
                         out << "ended " << shown(RowStatus(ending.state()).text()) << ' '
                             << shown(ending.input) << Qt::endl;
                     });
    QObject::connect(window.adder(), &FileAdder::addingChanged, &window, [&](bool adding) {
        if (adding)
            return;
        window.steps()->optOtherFolder->setChecked(true);
        window.steps()->txtOutPath->setText(arguments.at(1));
        window.steps()->cmdConvert->click();
    });
    dialogs.chosenFiles = arguments.mid(2);
    window.steps()->cmdAddVideoFile->click();
    return app.exec();
}
