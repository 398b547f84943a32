#pragma once

#include <QString>
#include <QStringList>

// The text that names the files of one add: either a single full path, or a folder
// followed by file names, separated by NUL characters.
class SelectionList
{
public:
    static const QChar Separator;

    // From the full paths a dialog returns: one path as it is, several as folder and names.
    static QString fromPaths(const QStringList &paths);
    static QString fromFolder(const QString &folder, const QStringList &names);
    // The full paths the text names, in order.
    static QStringList toPaths(const QString &selection);
};
