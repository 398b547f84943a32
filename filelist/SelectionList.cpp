#include "filelist/SelectionList.h"

const QChar SelectionList::Separator = QChar(0);

namespace {
QString parentFolder(const QString &path)
{
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    return slash <= 0 ? QStringLiteral("/") : path.left(slash);
}

QString withSlash(const QString &folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}
} // namespace

QString SelectionList::fromPaths(const QStringList &paths)
{
    if (paths.size() <= 1)
        return paths.value(0);
    // A dialog returns files of one folder; should they differ, their common folder serves.
    QString folder = parentFolder(paths.first());
    const auto allInside = [&paths](const QString &candidate) {
        for (const QString &path : paths) {
            if (!path.startsWith(withSlash(candidate)))
                return false;
        }
        return true;
    };
    while (folder != QLatin1String("/") && !allInside(folder))
        folder = parentFolder(folder);
    QStringList names;
    for (const QString &path : paths)
        names << path.mid(withSlash(folder).size());
    return fromFolder(folder, names);
}

QString SelectionList::fromFolder(const QString &folder, const QStringList &names)
{
    return folder + Separator + names.join(Separator);
}

QStringList SelectionList::toPaths(const QString &selection)
{
    const QStringList parts = selection.split(Separator);
    if (parts.size() == 1)
        return parts;
    // The root folder already ends in a slash; a second one would read as a network path.
    const QString folder = withSlash(parts.first());
    QStringList paths;
    for (int i = 1; i < parts.size(); ++i)
        paths << folder + parts.at(i);
    return paths;
}
