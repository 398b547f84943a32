#include "engine/EncoderPath.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStandardPaths>

QString EncoderPath::program()
{
    const QFileInfo beside(QCoreApplication::applicationDirPath() + QStringLiteral("/ffmpeg"));
    if (beside.isFile() && beside.isExecutable())
        return beside.absoluteFilePath();
    const QString onPath = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    // A bare name still fails to start with a clear message when nothing is found.
    return onPath.isEmpty() ? QStringLiteral("ffmpeg") : onPath;
}
