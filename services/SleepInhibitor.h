#pragma once

// Keeps the machine awake while a batch runs. Only main() creates the real one; tests record.
class SleepInhibitor
{
public:
    virtual ~SleepInhibitor() = default;
    // Both may be called any number of times; a second hold keeps the one lock.
    virtual void hold() = 0;
    virtual void release() = 0;
};
