#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

// Answers for org.freedesktop.Notifications on a connection of its own and records each call.
class StandInNotifications : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Call
    {
        QString appName, icon, summary, body;
        QVariantMap hints;
    };

    explicit StandInNotifications(const QDBusConnection &bus) : m_bus(bus)
    {
        m_bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), this,
                             QDBusConnection::ExportScriptableSlots);
        m_registered = m_bus.registerService(QStringLiteral("org.freedesktop.Notifications"));
    }
    bool registered() const { return m_registered; }

    QList<Call> calls;

public slots:
    Q_SCRIPTABLE uint Notify(const QString &appName, uint, const QString &icon,
                             const QString &summary, const QString &body, const QStringList &,
                             const QVariantMap &hints, int)
    {
        calls.append({appName, icon, summary, body, hints});
        return uint(calls.size());
    }

private:
    QDBusConnection m_bus;
    bool m_registered = false;
};
