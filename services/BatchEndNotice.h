#pragma once

#include <QString>

class DesktopNotifier;

// The notification that says how a batch ended, for a user whose window is in the background.
class BatchEndNotice
{
public:
    static QString summary();
    // "3 files converted, 1 failed", in singular where a count is one.
    static QString body(int converted, int failed);
    static void send(DesktopNotifier &notifier, int converted, int failed);
};
