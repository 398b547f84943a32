#include "MainWindow.h"
#include "MessageBox.h"
#include "WidgetMessagePresenter.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Reelforge"));
    QApplication::setOrganizationName(QStringLiteral("Tarnwick"));

    MainWindow window;
    WidgetMessagePresenter presenter(&window);
    MessageBox::setPresenter(&presenter);
    window.show();
    const int result = app.exec();
    MessageBox::setPresenter(nullptr);
    return result;
}
