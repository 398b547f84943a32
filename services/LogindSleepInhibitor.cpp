#include "services/LogindSleepInhibitor.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusUnixFileDescriptor>

#include <fcntl.h>
#include <unistd.h>

LogindSleepInhibitor::LogindSleepInhibitor(const QDBusConnection &bus, QObject *parent)
    : QObject(parent), m_bus(bus)
{
}

LogindSleepInhibitor::~LogindSleepInhibitor()
{
    release();
}

void LogindSleepInhibitor::hold()
{
    m_wanted = true;
    if (isHeld() || m_pending || !m_bus.isConnected())
        return;
    const QString service = QStringLiteral("org.freedesktop.login1");
    QDBusMessage call = QDBusMessage::createMethodCall(
        service, QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("Inhibit"));
    call << QStringLiteral("sleep:idle") << QStringLiteral("Reelforge")
         << QStringLiteral("Converting video files") << QStringLiteral("block");
    call.setInteractiveAuthorizationAllowed(false);
    m_pending = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(m_pending, &QDBusPendingCallWatcher::finished, this,
            &LogindSleepInhibitor::inhibitAnswered);
}

void LogindSleepInhibitor::release()
{
    m_wanted = false;
    if (!isHeld())
        return;
    ::close(m_fd);
    m_fd = -1;
}

void LogindSleepInhibitor::inhibitAnswered(QDBusPendingCallWatcher *watcher)
{
    m_pending = nullptr;
    watcher->deleteLater();
    const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *watcher;
    // A lock that arrives after its batch ended is dropped with the reply.
    if (reply.isError() || !m_wanted || !reply.value().isValid())
        return;
    // Our own copy, closed on exec so that no encoder started later keeps the lock alive.
    m_fd = ::fcntl(reply.value().fileDescriptor(), F_DUPFD_CLOEXEC, 0);
}
