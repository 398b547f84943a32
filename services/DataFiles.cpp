#include "services/DataFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString DataFiles::path(const QString &name)
{
    return locate(name, QCoreApplication::applicationDirPath());
}

QString DataFiles::locate(const QString &name, const QString &programFolder)
{
    const QDir folder(programFolder);
    const QString beside = folder.filePath(name);
    if (QFileInfo(beside).isFile())
        return beside;
    const QString installed =
        QDir::cleanPath(folder.filePath(QStringLiteral("../share/reelforge/") + name));
    if (QFileInfo(installed).isFile())
        return installed;
    // The user's own data folder holds their presets file, never the shipped ones.
    QStringList shared = QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
    shared.removeAll(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    for (const QString &dataFolder : shared) {
        const QString path = QDir(dataFolder).filePath(QStringLiteral("reelforge/") + name);
        if (QFileInfo(path).isFile())
            return path;
    }
    return beside;
}
