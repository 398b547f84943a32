#pragma once

#include <QEventLoop>
#include <QObject>
#include <QTimer>

// Runs a local event loop until sender emits signal; false when the time ran out first.
template <typename Sender, typename Signal>
bool waitForSignal(const Sender *sender, Signal signal, int timeoutMs = 300000)
{
    QEventLoop loop;
    bool emitted = false;
    QObject::connect(sender, signal, &loop, [&] {
        emitted = true;
        loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    return emitted;
}
