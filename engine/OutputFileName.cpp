#include "OutputFileName.h"

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

QString GetOutputFileName(const QString &inputPath, const QString &extension, bool sameFolder,
                          const QString &outPath, const QSet<QString> &reserved,
                          OutputNameFailure *failure, bool makeFolder)
{
    report(failure, OutputNameFailure::None);
    const auto taken = [&reserved](const QString &path) {
        return reserved.contains(path) || fileExists(path);
    };
    QString folder = sameFolder ? parentFolder(inputPath) : outPath;
    if (makeFolder && !isFolder(folder) && !folder.isEmpty())
        QDir().mkdir(folder); // only the last folder; missing parents stay missing
    const bool missing = !makeFolder && !folder.isEmpty() && !QFileInfo::exists(folder);
    if (!isFolder(folder) && !missing) {
        report(failure, OutputNameFailure::FolderUnavailable);
        return QString();
    }

    QString base = baseName(inputPath);
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    const QString dotExtension = QLatin1Char('.') + extension;

    QString candidate = folder + base + dotExtension;
    if (!taken(candidate))
        return candidate;
    if (!base.endsWith(kSuffix, Qt::CaseSensitive)) {
        base += kSuffix;
        candidate = folder + base + dotExtension;
        if (!taken(candidate))
            return candidate;
    }
    for (int n = 0; n <= kLastNumber; ++n) {
        candidate = folder + base + QLatin1Char('_') + QString::number(n) + dotExtension;
        if (!taken(candidate))
            return candidate;
    }
    report(failure, OutputNameFailure::AllNamesTaken);
    return QString();
}
