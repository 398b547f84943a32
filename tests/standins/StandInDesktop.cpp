#include "tests/standins/StandInDesktop.h"

WindowServices StandInDesktop::services(const QString &settingsFile, const QString &journalFolder)
{
    return {&dialogs, &shell, &shutdown, settingsFile, &notifier, &sleepInhibitor, journalFolder};
}
