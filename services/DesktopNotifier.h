#pragma once

#include <QString>

// Shows a short message outside the window, in the desktop's notification area. Only main()
// creates the real one; tests record.
class DesktopNotifier
{
public:
    virtual ~DesktopNotifier() = default;
    // Failures stay silent: a desktop without a notification service shows nothing.
    virtual void notify(const QString &summary, const QString &body) = 0;
};
