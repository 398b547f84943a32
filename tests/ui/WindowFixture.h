#pragma once

#include "MainWindow.h"
#include "MessageRecorder.h"
#include "RecordingShell.h"
#include "RecordingShutdown.h"
#include "ScriptedDialogs.h"

#include <QTemporaryDir>
#include <QTest>

#include <memory>

// A real main window over recorded desktop services and a settings file of its own.
struct WindowFixture
{
    QTemporaryDir folder;
    ScriptedDialogs dialogs;
    RecordingShell shell;
    RecordingShutdown shutdown;
    MessageRecorder messages;
    std::unique_ptr<MainWindow> window;
    QString dataFolder; // empty: the shipped data files

    QString settingsFile() const { return folder.filePath(QStringLiteral("settings.ini")); }

    MainWindow *open()
    {
        WindowServices services;
        services.dialogs = &dialogs;
        services.shell = &shell;
        services.shutdown = &shutdown;
        services.settingsFile = settingsFile();
        services.dataFolder = dataFolder;
        window = std::make_unique<MainWindow>(services);
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get()))
            return nullptr;
        return window.get();
    }

    // Closes the window the ordinary way and lets it go.
    void close()
    {
        window->close();
        window.reset();
    }

    template <typename Control>
    Control *find(const char *name) const
    {
        return window->findChild<Control *>(QString::fromLatin1(name));
    }
};
