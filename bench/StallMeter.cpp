#include "bench/StallMeter.h"

#include <algorithm>

StallMeter::StallMeter(int intervalMs, QObject *parent) : QObject(parent)
{
    m_timer.setInterval(intervalMs);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &StallMeter::tick);
}

qint64 StallMeter::measure(const std::function<void()> &work)
{
    m_longestGapMs = 0;
    m_ticks = 0;
    m_sinceLastTick.start();
    m_timer.start();
    work();
    m_timer.stop();
    tick(); // the stretch after the last tick counts too
    return m_longestGapMs;
}

void StallMeter::tick()
{
    m_longestGapMs = std::max(m_longestGapMs, m_sinceLastTick.restart());
    ++m_ticks;
}
