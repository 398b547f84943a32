#pragma once

#include "filelist/FileAdder.h"
#include "tests/standins/StandInDesktop.h"
#include "ui/MainWindow.h"

#include <QEventLoop>

#include <memory>

// A real main window for benchmarks over the shared desktop stand-ins: its dialogs answer with
// the files and folder set in dialogs, and nothing it does reaches the desktop.
class BenchWindow : public StandInDesktop
{
public:
    // journalFolder: where the window journals its list; empty: it does not.
    explicit BenchWindow(const QString &settingsFile, const QString &journalFolder = QString())
        : window(std::make_unique<MainWindow>(services(settingsFile, journalFolder)))
    {
    }

    // Runs the event loop until the window's add has settled every file.
    void waitUntilAdded()
    {
        FileAdder *adder = window->adder();
        QEventLoop untilAdded;
        QObject::connect(adder, &FileAdder::addingChanged, &untilAdded, [&](bool adding) {
            if (!adding)
                untilAdded.quit();
        });
        if (adder->isAdding())
            untilAdded.exec();
    }

    std::unique_ptr<MainWindow> window;
};
