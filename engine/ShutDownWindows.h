#pragma once

#include "services/ShutdownBackend.h"

#include <QtGlobal>

// Prepares the process for ending the session; failures stay silent.
void EnableShutdownPrivilege(ShutdownBackend &backend);

// Ends the session (mode 0), powers off (1 and 8) or reboots (2) after preparing the
// process; any other mode requests nothing. Failures stay silent.
void ShutDownWindows(ShutdownBackend &backend, qint32 mode);
