#include "engine/ShutDownWindows.h"

void EnableShutdownPrivilege(ShutdownBackend &backend)
{
    backend.enablePrivilege();
}

void ShutDownWindows(ShutdownBackend &backend, qint32 mode)
{
    EnableShutdownPrivilege(backend);
    // Compared unsigned, so a negative mode counts as a large one and requests nothing.
    switch (quint32(mode)) {
    case 0:
        backend.request(ShutdownAction::EndSession);
        break;
    case 1:
    case 8:
        backend.request(ShutdownAction::PowerOff);
        break;
    case 2:
        backend.request(ShutdownAction::Reboot);
        break;
    default:
        break;
    }
}
