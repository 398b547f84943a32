#pragma once

#include <QString>

class DesktopNotifier;
class DialogService;
class ShellOpener;
class ShutdownBackend;
class SleepInhibitor;

// The desktop services the main window works through; main() passes the real ones,
// tests pass recorders.
struct WindowServices
{
    DialogService *dialogs = nullptr;
    ShellOpener *shell = nullptr;
    ShutdownBackend *shutdown = nullptr;
    QString settingsFile; // empty: the user's own settings file
    DesktopNotifier *notifier = nullptr;
    SleepInhibitor *sleepInhibitor = nullptr; // held while a batch runs
    QString journalFolder; // where the list is journaled for a restore; empty: it is not
};
