#pragma once

#include <QSignalSpy>

// Runs a local event loop until sender emits signal; false when the time ran out first.
template <typename Sender, typename Signal>
bool waitForSignal(const Sender *sender, Signal signal, int timeoutMs = 300000)
{
    QSignalSpy spy(sender, signal);
    return spy.wait(timeoutMs);
}
