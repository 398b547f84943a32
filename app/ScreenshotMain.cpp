// Renders the main window with a few sample rows to a PNG, for the README.
#include "filelist/FileListModel.h"
#include "services/MessageBox.h"
#include "ui/FormatPanel.h"
#include "ui/FramePanel.h"
#include "ui/MainWindow.h"
#include "ui/PanelAnimator.h"
#include "ui/StepsFrame.h"

#include "services/DialogService.h"
#include "services/ShellOpener.h"
#include "services/ShutdownBackend.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTextStream>

namespace {
// Nothing in a screenshot may open a dialog, a file or power anything off.
class NoDialogs : public DialogService
{
public:
    QStringList openFiles(const QString &, const QVector<FileFilter> &, bool) override
    {
        return {};
    }
    QString chooseFolder(const QString &, bool) override { return {}; }
    std::optional<QString> askText(const QString &, const QString &) override { return {}; }
    bool ask(const QString &, const QString &) override { return false; }
};
class NoShell : public ShellOpener
{
public:
    void open(const QString &) override {}
};
class NoShutdown : public ShutdownBackend
{
public:
    void enablePrivilege() override {}
    void request(ShutdownAction) override {}
};

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
        QTextStream(stderr)
            << "usage: reelforge-screenshot SETTINGS.ini OUTPUT.png [formats|custom|about]\n";
        return 2;
    }
    NoDialogs dialogs;
    NoShell shell;
    NoShutdown shutdown;
    WindowServices services;
    services.dialogs = &dialogs;
    services.shell = &shell;
    services.shutdown = &shutdown;
    services.settingsFile = QString::fromLocal8Bit(argv[1]);

    MainWindow window(services);
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
    // Optionally show a panel at its resting place, as after its slide.
    const QByteArray panel = argc > 3 ? QByteArray(argv[3]) : QByteArray();
    if (panel == "custom")
        window.formats()->optFormat(1)->setChecked(true);
    if (panel == "formats" || panel == "custom" || panel == "about") {
        QWidget *frame = panel == "about" ? static_cast<QWidget *>(window.frAbout())
                                          : static_cast<QWidget *>(window.frFormats());
        window.animator()->setTopOf(frame, PanelAnimator::kRestingTop);
        window.frMain()->setEnabled(false);
    }
    window.show();
    app.processEvents();
    const bool saved = window.grab().save(QString::fromLocal8Bit(argv[2]));
    MessageBox::setPresenter(nullptr);
    return saved ? 0 : 1;
}
