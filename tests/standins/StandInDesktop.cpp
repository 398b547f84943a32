#include "tests/standins/StandInDesktop.h"

WindowServices StandInDesktop::services(const QString &settingsFile, const QString &journalFolder)
{
    return {&dialogs,  &shell,    &shutdown,       settingsFile,
            QString(), &notifier, &sleepInhibitor, journalFolder};
}
