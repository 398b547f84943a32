#pragma once

#include "tests/standins/MessageRecorder.h"
#include "tests/standins/RecordingInhibitor.h"
#include "tests/standins/RecordingNotifier.h"
#include "tests/standins/RecordingShell.h"
#include "tests/standins/RecordingShutdown.h"
#include "tests/standins/ScriptedDialogs.h"
#include "ui/WindowServices.h"

// Every desktop service the main window works through, as stand-ins that record what they are
// asked: no dialog, document or notification opens, no sleep lock is taken, nothing powers off,
// and messages are recorded for as long as it lives. Tests, benchmarks and the screenshot use it.
class StandInDesktop
{
public:
    // The window's services over these stand-ins; an empty journalFolder journals nothing.
    WindowServices services(const QString &settingsFile, const QString &journalFolder = {});

    ScriptedDialogs dialogs;
    RecordingShell shell;
    RecordingShutdown shutdown;
    RecordingNotifier notifier;
    RecordingInhibitor sleepInhibitor;
    MessageRecorder messages;
};
