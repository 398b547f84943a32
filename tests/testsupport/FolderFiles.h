#pragma once

#include <QDir>
#include <QStringList>

// Every file in folder, hidden ones too (a temporary output starts with a dot), by name.
inline QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}
