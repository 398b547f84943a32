#pragma once

#include "services/DesktopNotifier.h"

#include <QStringList>

// Remembers the notifications instead of showing them, as "summary: body".
class RecordingNotifier : public DesktopNotifier
{
public:
    void notify(const QString &summary, const QString &body) override
    {
        shown << summary + QStringLiteral(": ") + body;
    }
    QStringList shown;
};
