#include "filelist/FolderListing.h"

#include <QCollator>
#include <QFile>
#include <QLocale>

#include <algorithm>
#include <dirent.h>
#include <numeric>
#include <sys/stat.h>

namespace {
bool isFolder(const QByteArray &path, unsigned char type)
{
    if (type != DT_LNK && type != DT_UNKNOWN)
        return type == DT_DIR;
    // A link to a folder counts as a folder; a broken link is listed like any other entry.
    struct stat info;
    return ::stat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode);
}
} // namespace

QStringList FolderListing::ListFolderFiles(const QString &folder, QStringList *unreadable)
{
    // Read by hand: Qt's own listing passes over names it cannot decode without a word.
    const QByteArray base = QFile::encodeName(folder) + '/';
    DIR *entries = ::opendir(base.constData());
    if (!entries)
        return {};
    QStringList names;
    while (const dirent *entry = ::readdir(entries)) {
        const QByteArray name(entry->d_name);
        if (name == "." || name == ".." || isFolder(base + name, entry->d_type))
            continue;
        const QString decoded = QFile::decodeName(name);
        if (QFile::encodeName(decoded) == name)
            names << decoded;
        else if (unreadable)
            *unreadable << decoded;
    }
    ::closedir(entries);
    sortNaturally(names);
    if (unreadable)
        sortNaturally(*unreadable);
    return names;
}

FolderListing::Files FolderListing::filesOf(const QString &folder)
{
    Files files;
    const QStringList names = ListFolderFiles(folder, &files.unreadable);
    // The root folder already ends in a slash; a second one would read as a network path.
    const QString base = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    for (const QString &name : names)
        files.paths << base + name;
    for (QString &name : files.unreadable)
        name.prepend(base);
    return files;
}

void FolderListing::sortNaturally(QStringList &names)
{
    // The C locale collates by code point and ignores the numeric mode; English counts.
    const QLocale system = QLocale::system();
    QCollator collator(system.language() == QLocale::C ? QLocale(QLocale::English) : system);
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    // Keys once per name rather than a collation per comparison; equal keys (a.avi, A.avi,
    // clip2, clip02) fall back to the exact text so the order never depends on the listing.
    std::vector<QCollatorSortKey> keys;
    keys.reserve(names.size());
    for (const QString &name : names)
        keys.push_back(collator.sortKey(name));
    std::vector<int> order(names.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        const int byKey = keys[a].compare(keys[b]);
        return byKey != 0 ? byKey < 0 : names.at(a) < names.at(b);
    });
    QStringList sorted;
    sorted.reserve(names.size());
    for (int index : order)
        sorted << names.at(index);
    names = sorted;
}
