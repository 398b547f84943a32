#include "engine/RecordLock.h"

#include <QSysInfo>

#include <fcntl.h>

QString RecordLock::hostTag()
{
    QString tag = QSysInfo::machineHostName();
    for (QChar &c : tag) {
        if (!c.isLetterOrNumber() && c != QLatin1Char('.') && c != QLatin1Char('-'))
            c = QLatin1Char('_');
    }
    return tag.isEmpty() ? QStringLiteral("host") : tag;
}

bool RecordLock::tryLock(int fd)
{
    struct flock whole = {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    return ::fcntl(fd, F_OFD_SETLK, &whole) == 0;
}
