#pragma once

// What a power-off request may ask of the machine.
enum class ShutdownAction { EndSession, PowerOff, Reboot };

// Carries out end-of-session requests. Only main() creates the real one; tests record.
class ShutdownBackend
{
public:
    virtual ~ShutdownBackend() = default;
    // Prepares the process for the request; failures stay silent.
    virtual void enablePrivilege() = 0;
    // Asks for the action; the answer is not examined and failures stay silent.
    virtual void request(ShutdownAction action) = 0;
};
