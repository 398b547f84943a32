#include "OutputFileName.h"

#include "MessageBox.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {
const QLatin1String kSuffix("_Converted");
constexpr int kLastNumber = 10000;

// The input's folder without a trailing separator; the root keeps its slash.
QString parentFolder(const QString &inputPath)
{
    const qsizetype slash = inputPath.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return QString();
    return slash == 0 ? QStringLiteral("/") : inputPath.left(slash);
}

QString baseName(const QString &inputPath)
{
    const QString name = inputPath.mid(inputPath.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

bool isFolder(const QString &path)
{
    // An empty path would otherwise stand for the current folder.
    return !path.isEmpty() && QFileInfo(path).isDir();
}

bool fileExists(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}
} // namespace

QString GetOutputFileName(const QString &inputPath, const QString &extension, bool sameFolder,
                          const QString &outPath)
{
    QString folder = sameFolder ? parentFolder(inputPath) : outPath;
    if (!isFolder(folder) && !folder.isEmpty())
        QDir().mkdir(folder); // only the last folder; missing parents stay missing
    if (!isFolder(folder)) {
        MessageBox::show(QStringLiteral("Output Folder is not exist and can not be created."),
                         MessageIcon::Critical);
        return QString();
    }

    QString base = baseName(inputPath);
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    const QString dotExtension = QLatin1Char('.') + extension;

    QString candidate = folder + base + dotExtension;
    if (!fileExists(candidate))
        return candidate;
    if (!base.endsWith(kSuffix, Qt::CaseSensitive)) {
        base += kSuffix;
        candidate = folder + base + dotExtension;
        if (!fileExists(candidate))
            return candidate;
    }
    for (int n = 0; n <= kLastNumber; ++n) {
        candidate = folder + base + QLatin1Char('_') + QString::number(n) + dotExtension;
        if (!fileExists(candidate)) {
            // Lets a Stop click be taken between rows of a batch.
            QCoreApplication::processEvents();
            QCoreApplication::processEvents();
            return candidate;
        }
    }
    return QString();
}
