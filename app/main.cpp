#include "app/WindowArguments.h"
#include "cli/PlainReport.h"
#include "engine/InFlightOutputs.h"
#include "engine/LogindShutdownBackend.h"
#include "filelist/ListJournal.h"
#include "services/FileHandoff.h"
#include "services/FreedesktopNotifier.h"
#include "services/LogindSleepInhibitor.h"
#include "services/MessageBox.h"
#include "services/TerminationSignals.h"
#include "ui/DesktopShellOpener.h"
#include "ui/MainWindow.h"
#include "ui/WidgetDialogService.h"
#include "ui/WidgetMessagePresenter.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDir>
#include <QTimer>

#include <cstdio>

namespace {
int print(std::FILE *stream, const QString &text, int status)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    return status;
}
} // namespace

int main(int argc, char *argv[])
{
    // --help and --version are answered before QApplication, which reaches the display.
    QStringList rawArguments;
    for (int i = 1; i < argc; ++i)
        rawArguments << QString::fromLocal8Bit(argv[i]);
    const WindowArguments::Action asked = WindowArguments::parse(rawArguments).action;
    if (asked == WindowArguments::Action::Help)
        return print(stdout, WindowArguments::helpText(), 0);
    if (asked == WindowArguments::Action::Version)
        return print(stdout, WindowArguments::versionText(), 0);

    QApplication app(argc, argv);
    // Qt has taken its own options (-style NAME, say) out of the arguments by now.
    const WindowArguments arguments = WindowArguments::parse(QApplication::arguments().mid(1));
    if (arguments.action == WindowArguments::Action::Unknown)
        return print(stderr,
                     QStringLiteral("reelforge: unknown option '%1'\nTry 'reelforge --help'.\n")
                         .arg(PlainReport::shown(arguments.unknownOption)),
                     2);
    QApplication::setApplicationName(QStringLiteral("Reelforge"));
    QApplication::setOrganizationName(QStringLiteral("Tarnwick"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tarnwick.Reelforge"));

    // Files for a copy that already runs go to its list; a start without files, or with
    // nobody to take them, opens a window of its own.
    const QStringList paths = FileHandoff::absolutePaths(arguments.files, QDir::currentPath());
    FileHandoff handoff(QDBusConnection::sessionBus());
    if (!paths.isEmpty() && handoff.handOver(paths))
        return 0;
    handoff.listen();

    // Half-written files of a copy of the program that died go first.
    InFlightOutputs::removeStale();

    // The only place the real desktop services are made.
    WidgetMessagePresenter presenter;
    MessageBox::setPresenter(&presenter);
    WidgetDialogService dialogs;
    DesktopShellOpener shell;
    LogindShutdownBackend shutdown;
    FreedesktopNotifier notifier(QDBusConnection::sessionBus());
    LogindSleepInhibitor sleepInhibitor(QDBusConnection::systemBus());
    WindowServices services;
    services.dialogs = &dialogs;
    services.shell = &shell;
    services.shutdown = &shutdown;
    services.notifier = &notifier;
    services.sleepInhibitor = &sleepInhibitor;
    services.journalFolder = ListJournal::defaultFolder();

    MainWindow window(services);
    presenter.setOwner(&window);
    dialogs.setOwner(&window);
    // A closing window shows no more messages: they go to standard error.
    QObject::connect(&window, &MainWindow::closing, &window,
                     [] { MessageBox::setPresenter(nullptr); });
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &window,
                     &QWidget::close);
    // The caller waits for the bus answer, so the files are added later, from the event loop.
    QObject::connect(&handoff, &FileHandoff::filesReceived, &window, &MainWindow::openPaths,
                     Qt::QueuedConnection);
    window.show();
    window.offerRestore();
    if (!paths.isEmpty())
        QTimer::singleShot(0, &window, [&window, &paths] { window.openPaths(paths); });
    const int result = app.exec();
    MessageBox::setPresenter(nullptr);
    return result;
}
