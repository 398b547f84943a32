#include "DesktopShellOpener.h"
#include "InFlightOutputs.h"
#include "LogindShutdownBackend.h"
#include "MainWindow.h"
#include "MessageBox.h"
#include "TerminationSignals.h"
#include "WidgetDialogService.h"
#include "WidgetMessagePresenter.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Reelforge"));
    QApplication::setOrganizationName(QStringLiteral("Tarnwick"));

    // Half-written files of a copy of the program that died go first.
    InFlightOutputs::removeStale();

    // The only place the real desktop services are made.
    WidgetMessagePresenter presenter;
    MessageBox::setPresenter(&presenter);
    WidgetDialogService dialogs;
    DesktopShellOpener shell;
    LogindShutdownBackend shutdown;
    WindowServices services;
    services.dialogs = &dialogs;
    services.shell = &shell;
    services.shutdown = &shutdown;

    MainWindow window(services);
    presenter.setOwner(&window);
    dialogs.setOwner(&window);
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &window,
                     &QWidget::close);
    window.show();
    const int result = app.exec();
    MessageBox::setPresenter(nullptr);
    return result;
}
