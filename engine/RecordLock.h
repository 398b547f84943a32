#pragma once

#include <QString>

// How several running copies share a folder of records: each record's name carries its host,
// and its owner holds an open-file lock on it for as long as it runs.
class RecordLock
{
public:
    // This machine's name, made safe for a file name: records of other hosts are never touched.
    static QString hostTag();
    // Makes a new lock file (never one that exists) and holds its lock; the open file, or -1.
    static int create(const QString &lockFile);
    // Holds the lock of an existing lock file whose owner has gone; the open file, or -1 when
    // the file is missing or its owner still runs.
    static int claim(const QString &lockFile);
};
