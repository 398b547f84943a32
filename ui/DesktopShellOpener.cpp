#include "ui/DesktopShellOpener.h"

#include <QDesktopServices>
#include <QUrl>

void DesktopShellOpener::open(const QString &target)
{
    // A web address keeps its scheme; anything else is a local path, blanks and all.
    const QUrl url =
        target.contains(QStringLiteral("://")) ? QUrl(target) : QUrl::fromLocalFile(target);
    QDesktopServices::openUrl(url);
}
