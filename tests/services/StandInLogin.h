#pragma once

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QObject>
#include <QStringList>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

// Answers Inhibit for org.freedesktop.login1 on a connection of its own. Each lock handed out
// is the write end of a pipe; the stand-in keeps the read end and sees the lock released when
// every copy of the write end is closed.
class StandInLogin : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")
public:
    explicit StandInLogin(const QDBusConnection &bus) : m_bus(bus)
    {
        m_bus.registerObject(QStringLiteral("/org/freedesktop/login1"), this,
                             QDBusConnection::ExportScriptableSlots);
        m_registered = m_bus.registerService(QStringLiteral("org.freedesktop.login1"));
    }
    ~StandInLogin() override
    {
        for (int fd : m_readEnds)
            ::close(fd);
    }
    bool registered() const { return m_registered; }

    // Whether the last lock handed out has been released by everyone holding it.
    bool lastReleased() const
    {
        pollfd poller{m_readEnds.last(), POLLIN, 0};
        char byte;
        return ::poll(&poller, 1, 0) == 1 && ::read(m_readEnds.last(), &byte, 1) == 0;
    }

    QList<QStringList> calls; // what, who, why, mode

public slots:
    Q_SCRIPTABLE QDBusUnixFileDescriptor Inhibit(const QString &what, const QString &who,
                                                 const QString &why, const QString &mode)
    {
        calls.append({what, who, why, mode});
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0)
            return {};
        m_readEnds.append(ends[0]);
        const QDBusUnixFileDescriptor lock(ends[1]); // holds a copy of its own
        ::close(ends[1]);
        return lock;
    }

private:
    QDBusConnection m_bus;
    bool m_registered = false;
    QList<int> m_readEnds;
};
