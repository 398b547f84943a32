#include "batch/EarlierResult.h"

#include "batch/OutputCheck.h"
#include "engine/OutputFileName.h"

#include <QFileInfo>

namespace {
bool isInput(const QString &candidate, const QString &input)
{
    const QString canonical = QFileInfo(candidate).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(input).canonicalFilePath();
}
} // namespace

EarlierResult::Found EarlierResult::find(const QString &input, const BatchChoices &choices,
                                         qint64 lengthMs, const QSet<QString> &taken)
{
    Found found;
    const QString folder = OutputFolder(input, choices.sameFolder, choices.outputFolder);
    if (folder.isEmpty())
        return found;
    VisitOutputNames(input, choices.extension, folder, [&](const QString &candidate) {
        const QFileInfo info(candidate);
        if (!info.exists() || info.isDir())
            return false;
        if (taken.contains(candidate) || isInput(candidate, input))
            return true;
        const OutputCheck::Verdict verdict = OutputCheck::checkEarlier(candidate, lengthMs);
        if (!verdict.problem.isEmpty()) {
            found.log +=
                QStringLiteral("%1 is no whole result: %2\n").arg(candidate, verdict.problem);
            return true;
        }
        found.path = candidate;
        found.log +=
            QStringLiteral("%1 holds this file's result: not converted again.\n").arg(candidate);
        return false;
    });
    return found;
}

QString EarlierResult::plainName(const QString &input, const BatchChoices &choices,
                                 const QSet<QString> &taken)
{
    QString name;
    VisitOutputNames(input, choices.extension,
                     OutputFolder(input, choices.sameFolder, choices.outputFolder),
                     [&](const QString &candidate) {
                         if (taken.contains(candidate) || isInput(candidate, input))
                             return true;
                         name = candidate;
                         return false;
                     });
    return name;
}
