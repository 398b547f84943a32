#pragma once

#include <QString>
#include <QStringList>

// Lists the files that lie directly in a folder.
class FolderListing
{
public:
    // Names of every entry that is not a folder, hidden ones included, in the order the
    // file system returns them; empty when there are none or the folder cannot be read.
    // Names are kept as a list so that any character a name may hold survives.
    static QStringList ListFolderFiles(const QString &folder);
};
