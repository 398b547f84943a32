#pragma once

#include "filelist/JournalFile.h"

#include <QDir>
#include <QFile>

// The rows the readable journals in folder hold, journal after journal by name; with a process
// id, only that copy's journal (named HOST_PID_RANDOM.list).
inline QVector<FileListRecord> journalRows(const QString &folder, qint64 pid = 0)
{
    QVector<FileListRecord> found;
    const QDir dir(folder);
    const QString pattern = pid ? QStringLiteral("*_%1_*.list").arg(pid) : QStringLiteral("*.list");
    for (const QString &name : dir.entryList({pattern}, QDir::Files, QDir::Name)) {
        QFile file(dir.filePath(name));
        QVector<FileListRecord> rows;
        if (file.open(QIODevice::ReadOnly) && JournalFile::decode(file.readAll(), &rows))
            found += rows;
    }
    return found;
}
