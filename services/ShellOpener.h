#pragma once

#include <QString>

// Opens a document or a web address with the program the desktop associates with it.
// The answer is never examined, so there is nothing to return.
class ShellOpener
{
public:
    virtual ~ShellOpener() = default;
    virtual void open(const QString &target) = 0;
};
