#include "FolderListing.h"

#include <QDirIterator>

QStringList FolderListing::ListFolderFiles(const QString &folder)
{
    // System brings FIFOs, sockets and devices too; the adding rules refuse them later.
    QDirIterator entries(folder, QDir::Files | QDir::Hidden | QDir::System);
    QStringList names;
    while (entries.hasNext()) {
        entries.next();
        names << entries.fileName();
    }
    return names;
}
