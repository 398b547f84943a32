#pragma once

#include "services/DesktopNotifier.h"

#include <QDBusConnection>

// Sends notifications to org.freedesktop.Notifications on the given bus (the session bus
// in the program) without waiting for the answer.
class FreedesktopNotifier : public DesktopNotifier
{
public:
    explicit FreedesktopNotifier(const QDBusConnection &bus);
    void notify(const QString &summary, const QString &body) override;

private:
    QDBusConnection m_bus;
};
