#include "services/FreedesktopNotifier.h"

#include <QDBusMessage>
#include <QVariantMap>

namespace {
const QString kAppId = QStringLiteral("org.tarnwick.Reelforge");
} // namespace

FreedesktopNotifier::FreedesktopNotifier(const QDBusConnection &bus) : m_bus(bus) {}

void FreedesktopNotifier::notify(const QString &summary, const QString &body)
{
    if (!m_bus.isConnected())
        return;
    const QString service = QStringLiteral("org.freedesktop.Notifications");
    QDBusMessage call =
        QDBusMessage::createMethodCall(service, QStringLiteral("/org/freedesktop/Notifications"),
                                       service, QStringLiteral("Notify"));
    // The desktop entry lets the notification server show the program's name and icon.
    const QVariantMap hints{{QStringLiteral("desktop-entry"), kAppId}};
    call << QStringLiteral("Reelforge") << uint(0) << kAppId << summary << body << QStringList()
         << hints << int(-1);
    m_bus.send(call); // the answer is not examined
}
