#include "TemporaryOutput.h"

#include "InFlightOutputs.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {
constexpr int kAttempts = 100;

// Moves from to to unless to exists; filesystems without an atomic no-replace rename get a
// hard link and an unlink, which refuses an existing name just as well.
int renameNoReplace(const QByteArray &from, const QByteArray &to)
{
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return errno;
    if (::link(from.constData(), to.constData()) != 0)
        return errno;
    ::unlink(from.constData());
    return 0;
}
} // namespace

TemporaryOutput::~TemporaryOutput()
{
    discard();
}

bool TemporaryOutput::create(const QString &finalPath, int *errorNumber)
{
    discard();
    const QFileInfo final(finalPath);
    const QString suffix = final.suffix().isEmpty() ? QString() : QLatin1Char('.') + final.suffix();
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const QString candidate =
            final.path() + QStringLiteral("/.") + final.completeBaseName() +
            QStringLiteral(".part-%1")
                .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')) +
            suffix;
        const int fd = ::open(QFile::encodeName(candidate).constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            m_path = candidate;
            InFlightOutputs::add(m_path);
            return true;
        }
        if (errno != EEXIST) {
            *errorNumber = errno;
            return false;
        }
    }
    *errorNumber = EEXIST;
    return false;
}

QString TemporaryOutput::commit(const QString &finalPath, const std::function<QString()> &nextFree,
                                int *errorNumber)
{
    QString target = finalPath;
    for (int attempt = 0; attempt < kAttempts && !target.isEmpty(); ++attempt) {
        const int error = renameNoReplace(QFile::encodeName(m_path), QFile::encodeName(target));
        if (error == 0) {
            InFlightOutputs::remove(m_path);
            m_path.clear();
            return target;
        }
        if (error != EEXIST) {
            *errorNumber = error;
            return QString();
        }
        target = nextFree();
    }
    *errorNumber = EEXIST;
    return QString();
}

void TemporaryOutput::discard()
{
    if (m_path.isEmpty())
        return;
    QFile::remove(m_path);
    InFlightOutputs::remove(m_path);
    m_path.clear();
}
