#pragma once

#include "services/ShutdownBackend.h"

// Asks systemd-logind on the system bus to end the session, power off or reboot. The
// requests are non-interactive and sent without waiting for an answer, so a machine without
// a system bus, or a refusal, changes nothing and blocks nothing. Only main() creates one.
class LogindShutdownBackend : public ShutdownBackend
{
public:
    void enablePrivilege() override;
    void request(ShutdownAction action) override;
};
