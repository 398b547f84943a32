#pragma once

#include <QString>

// How several running copies share a folder of records: each record's name carries its host,
// and its owner holds an open-file lock on it for as long as it runs.
class RecordLock
{
public:
    // This machine's name, made safe for a file name: records of other hosts are never touched.
    static QString hostTag();
    // Takes the lock of the open file without waiting; false while another open file holds it.
    static bool tryLock(int fd);
};
