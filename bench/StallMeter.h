#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>

// Measures how long the window thread goes without handling its events: a short timer
// ticks on that thread while some work runs, and the longest gap between ticks is kept.
class StallMeter : public QObject
{
    Q_OBJECT
public:
    explicit StallMeter(int intervalMs = 5, QObject *parent = nullptr);

    // Runs the work with the timer ticking and returns the longest gap in milliseconds.
    qint64 measure(const std::function<void()> &work);
    int ticks() const { return m_ticks; }

private:
    void tick();

    QTimer m_timer;
    QElapsedTimer m_sinceLastTick;
    qint64 m_longestGapMs = 0;
    int m_ticks = 0;
};
