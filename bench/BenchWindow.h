#pragma once

#include "filelist/FileAdder.h"
#include "services/DesktopNotifier.h"
#include "services/DialogService.h"
#include "services/ShellOpener.h"
#include "services/ShutdownBackend.h"
#include "services/SleepInhibitor.h"
#include "ui/MainWindow.h"

#include <QEventLoop>
#include <QStringList>

#include <memory>

// A real main window for benchmarks: its dialogs answer with prepared files, and nothing it
// does can open a document, notify, hold a sleep lock or power the machine off.
class BenchWindow : public DialogService,
                    public ShellOpener,
                    public ShutdownBackend,
                    public DesktopNotifier,
                    public SleepInhibitor
{
public:
    // journalFolder: where the window journals its list; empty: it does not.
    explicit BenchWindow(const QString &settingsFile, const QString &journalFolder = QString())
    {
        WindowServices services;
        services.dialogs = this;
        services.shell = this;
        services.shutdown = this;
        services.notifier = this;
        services.sleepInhibitor = this;
        services.settingsFile = settingsFile;
        services.journalFolder = journalFolder;
        window = std::make_unique<MainWindow>(services);
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

    QStringList openFiles(const QString &, const QVector<FileFilter> &, bool) override
    {
        return files;
    }
    QString chooseFolder(const QString &, bool) override { return folder; }
    std::optional<QString> askText(const QString &, const QString &) override { return {}; }
    bool ask(const QString &, const QString &) override { return false; }
    void open(const QString &) override {}
    void enablePrivilege() override {}
    void request(ShutdownAction) override {}
    void notify(const QString &, const QString &) override {}
    void hold() override {}
    void release() override {}

    QStringList files;
    QString folder;
    std::unique_ptr<MainWindow> window;
};
