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

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Reelforge"));
    QApplication::setOrganizationName(QStringLiteral("Tarnwick"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tarnwick.Reelforge"));

    // Files for a copy that already runs go to its list; a start without files, or with
    // nobody to take them, opens a window of its own.
    const QStringList paths =
        FileHandoff::absolutePaths(QApplication::arguments().mid(1), QDir::currentPath());
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
