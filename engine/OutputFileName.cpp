#include "engine/OutputFileName.h"

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

void report(OutputNameFailure *failure, OutputNameFailure reason)
{
    if (failure)
        *failure = reason;
}
} // namespace

QString OutputFolder(const QString &inputPath, bool sameFolder, const QString &outPath)
{
    return sameFolder ? parentFolder(inputPath) : outPath;
}

void VisitOutputNames(const QString &inputPath, const QString &extension, const QString &folder,
                      const std::function<bool(const QString &)> &visit)
{
    QString base = baseName(inputPath);
    const QString prefix = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    const QString dotExtension = QLatin1Char('.') + extension;
    if (!visit(prefix + base + dotExtension))
        return;
    if (!base.endsWith(kSuffix, Qt::CaseSensitive)) {
        base += kSuffix;
        if (!visit(prefix + base + dotExtension))
            return;
    }
    for (int n = 0; n <= kLastNumber; ++n) {
        if (!visit(prefix + base + QLatin1Char('_') + QString::number(n) + dotExtension))
            return;
    }
}

QString GetOutputFileName(const QString &inputPath, const QString &extension, bool sameFolder,
                          const QString &outPath, const QSet<QString> &reserved,
                          OutputNameFailure *failure, bool makeFolder)
{
    report(failure, OutputNameFailure::None);
    const QString folder = OutputFolder(inputPath, sameFolder, outPath);
    if (makeFolder && !isFolder(folder) && !folder.isEmpty())
        QDir().mkdir(folder); // only the last folder; missing parents stay missing
    const bool missing = !makeFolder && !folder.isEmpty() && !QFileInfo::exists(folder);
    if (!isFolder(folder) && !missing) {
        report(failure, OutputNameFailure::FolderUnavailable);
        return QString();
    }
    QString free;
    VisitOutputNames(inputPath, extension, folder, [&](const QString &candidate) {
        if (reserved.contains(candidate) || fileExists(candidate))
            return true;
        free = candidate;
        return false;
    });
    if (free.isEmpty())
        report(failure, OutputNameFailure::AllNamesTaken);
    return free;
}
