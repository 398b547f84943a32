#pragma once

#include "services/SleepInhibitor.h"

#include <QDBusConnection>
#include <QObject>

class QDBusPendingCallWatcher;

// Holds a systemd-logind inhibitor lock (sleep and idle, mode block) on the given bus (the
// system bus in the program). logind answers the request with a file descriptor; the lock
// lasts while it is open. The request never blocks the caller, and failures stay silent.
class LogindSleepInhibitor : public QObject, public SleepInhibitor
{
    Q_OBJECT
public:
    explicit LogindSleepInhibitor(const QDBusConnection &bus, QObject *parent = nullptr);
    ~LogindSleepInhibitor() override;

    void hold() override;
    void release() override;
    bool isHeld() const { return m_fd >= 0; }

private:
    void inhibitAnswered(QDBusPendingCallWatcher *watcher);

    QDBusConnection m_bus;
    QDBusPendingCallWatcher *m_pending = nullptr;
    bool m_wanted = false;
    int m_fd = -1;
};
