#pragma once

#include "services/ShellOpener.h"

#include <QStringList>

// Remembers what would have been opened by the desktop.
class RecordingShell : public ShellOpener
{
public:
    void open(const QString &target) override { opened << target; }
    QStringList opened;
};
