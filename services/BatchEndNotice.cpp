#include "services/BatchEndNotice.h"

#include "services/DesktopNotifier.h"

QString BatchEndNotice::summary()
{
    return QStringLiteral("Conversion finished");
}

QString BatchEndNotice::body(int converted, int failed)
{
    const QString files = converted == 1 ? QStringLiteral("1 file converted")
                                         : QStringLiteral("%1 files converted").arg(converted);
    return failed == 0 ? files : QStringLiteral("%1, %2 failed").arg(files).arg(failed);
}

void BatchEndNotice::send(DesktopNotifier &notifier, int converted, int failed)
{
    notifier.notify(summary(), body(converted, failed));
}
