#pragma once

#include <QTemporaryDir>

// A benchmark's scratch folder. Conversions record their temporary files in a state folder:
// this run's own, inside it, never the user's.
class BenchFolder : public QTemporaryDir
{
public:
    BenchFolder() { qputenv("XDG_STATE_HOME", filePath(QStringLiteral("state")).toLocal8Bit()); }
};
