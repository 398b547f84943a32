#include "engine/LogindShutdownBackend.h"

#include <QDBusConnection>
#include <QDBusMessage>

namespace {
const QString kService = QStringLiteral("org.freedesktop.login1");

QDBusMessage requestFor(ShutdownAction action)
{
    const QString manager = QStringLiteral("/org/freedesktop/login1");
    const QString managerInterface = QStringLiteral("org.freedesktop.login1.Manager");
    switch (action) {
    case ShutdownAction::PowerOff: {
        QDBusMessage message = QDBusMessage::createMethodCall(kService, manager, managerInterface,
                                                              QStringLiteral("PowerOff"));
        message << false; // not interactive
        return message;
    }
    case ShutdownAction::Reboot: {
        QDBusMessage message = QDBusMessage::createMethodCall(kService, manager, managerInterface,
                                                              QStringLiteral("Reboot"));
        message << false;
        return message;
    }
    case ShutdownAction::EndSession:
        break;
    }
    // "auto" names the session the calling process belongs to.
    return QDBusMessage::createMethodCall(
        kService, QStringLiteral("/org/freedesktop/login1/session/auto"),
        QStringLiteral("org.freedesktop.login1.Session"), QStringLiteral("Terminate"));
}
} // namespace

void LogindShutdownBackend::enablePrivilege()
{
    // logind decides through its own policy when the request arrives; there is nothing to
    // switch on in the process beforehand.
}

void LogindShutdownBackend::request(ShutdownAction action)
{
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return;
    QDBusMessage message = requestFor(action);
    message.setInteractiveAuthorizationAllowed(false);
    bus.send(message); // the answer is not examined
}
