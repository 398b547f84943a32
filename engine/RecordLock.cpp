#include "engine/RecordLock.h"

#include <QFile>
#include <QSysInfo>

#include <fcntl.h>
#include <unistd.h>

QString RecordLock::hostTag()
{
    QString tag = QSysInfo::machineHostName();
    for (QChar &c : tag) {
        if (!c.isLetterOrNumber() && c != QLatin1Char('.') && c != QLatin1Char('-'))
            c = QLatin1Char('_');
    }
    return tag.isEmpty() ? QStringLiteral("host") : tag;
}

namespace {
// Takes the lock of the open file without waiting, closing it when another open file holds it.
int locked(int fd)
{
    struct flock whole = {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    if (fd >= 0 && ::fcntl(fd, F_OFD_SETLK, &whole) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}
} // namespace

int RecordLock::create(const QString &lockFile)
{
    const QByteArray name = QFile::encodeName(lockFile);
    const int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return -1;
    const int held = locked(fd);
    if (held < 0)
        ::unlink(name.constData()); // made here, so ours to remove
    return held;
}

int RecordLock::claim(const QString &lockFile)
{
    return locked(::open(QFile::encodeName(lockFile).constData(), O_RDWR | O_CLOEXEC | O_NOFOLLOW));
}
