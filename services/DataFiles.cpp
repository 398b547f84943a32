#include "DataFiles.h"

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
    const QString shared = QStandardPaths::locate(QStandardPaths::GenericDataLocation,
                                                  QStringLiteral("reelforge/") + name);
    return shared.isEmpty() ? beside : shared;
}
