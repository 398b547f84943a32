#pragma once

#include "services/ShellOpener.h"

// Opens files and addresses through the desktop (xdg-open).
class DesktopShellOpener : public ShellOpener
{
public:
    void open(const QString &target) override;
};
