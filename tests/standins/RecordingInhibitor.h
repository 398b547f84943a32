#pragma once

#include "services/SleepInhibitor.h"

// Tracks whether the machine would be kept awake, and how often a lock was taken.
class RecordingInhibitor : public SleepInhibitor
{
public:
    void hold() override
    {
        if (!held)
            ++holds;
        held = true;
    }
    void release() override { held = false; }

    bool held = false;
    int holds = 0;
};
