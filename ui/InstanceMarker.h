#pragma once

#include <QLockFile>

#include <memory>

// A named marker that exists while the program runs. Nothing reads it, and a second copy of
// the program starts and runs all the same.
class InstanceMarker
{
public:
    InstanceMarker();

private:
    std::unique_ptr<QLockFile> m_lock;
};
