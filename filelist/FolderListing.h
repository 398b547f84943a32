#pragma once

#include <QString>
#include <QStringList>

// Lists the files that lie directly in a folder.
class FolderListing
{
public:
    // A folder's files as an add takes them, as full paths.
    struct Files
    {
        QStringList paths;      // in natural order
        QStringList unreadable; // names that are not valid UTF-8, damaged as described below
    };
    static Files filesOf(const QString &folder);

    // Names of every entry that is not a folder, hidden ones included, in natural order
    // (clip2 before clip10, case ignored); empty when there are none or the folder cannot be
    // read. Names that are not valid UTF-8 cannot be opened through a text path: they go to
    // unreadable instead, with their bad bytes shown as replacement characters.
    static QStringList ListFolderFiles(const QString &folder, QStringList *unreadable = nullptr);
    // Sorts names as people count: digits by their value, letters without regard to case.
    static void sortNaturally(QStringList &names);
};
