#include "settings/OutputFolders.h"

#include <QDir>

QString OutputFolders::defaultFolder()
{
    return QDir::homePath() + QStringLiteral("/Converted Files");
}
