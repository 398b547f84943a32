#include "engine/TemporaryOutput.h"

#include "engine/InFlightOutputs.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr int kAttempts = 100;
constexpr int kNameMax = 255; // bytes in one file name on every filesystem we write to
const QLatin1String kFolderPrefix(".reelforge-");

QByteArray encoded(const QString &path)
{
    return QFile::encodeName(path);
}

// Errors that say the destination folder takes no file at all, not only this name.
bool isFolderWide(int error)
{
    return error == ENOSPC || error == EDQUOT || error == EROFS;
}

// Gives `to` the file at `from` unless `to` exists: 0, EEXIST when the name is taken, or the
// reason it could not be done, the file staying at `from`.
int moveNoReplace(const QByteArray &from, const QByteArray &to)
{
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return errno;
    // No atomic no-replace rename here: a hard link refuses an existing name just as well.
    if (::link(from.constData(), to.constData()) == 0) {
        ::unlink(from.constData());
        return 0;
    }
    if (errno == EEXIST)
        return EEXIST;
    // No links either (FAT, exFAT, many FUSE and network mounts): claim the name with a
    // placeholder that only we can have made, then rename over our own placeholder.
    const int fd = ::open(to.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return errno;
    struct stat claimed = {};
    ::fstat(fd, &claimed);
    ::close(fd);
    if (::rename(from.constData(), to.constData()) == 0)
        return 0;
    const int error = errno;
    struct stat now = {};
    if (::lstat(to.constData(), &now) == 0 && now.st_dev == claimed.st_dev &&
        now.st_ino == claimed.st_ino && now.st_size == 0)
        ::unlink(to.constData());
    return error;
}

// base + tail as one file name of at most kNameMax bytes, base shortened by whole characters.
QString fittedName(QString base, const QString &tail)
{
    while (!base.isEmpty() && encoded(base + tail).size() > kNameMax)
        base.chop(base.size() > 1 && base.at(base.size() - 1).isLowSurrogate() ? 2 : 1);
    return base + tail;
}
} // namespace

TemporaryOutput::~TemporaryOutput()
{
    discard();
}

bool TemporaryOutput::isPrivateFolderName(const QString &name)
{
    static const QRegularExpression pattern(QStringLiteral("^\\.reelforge-[A-Za-z0-9]{6}$"));
    return pattern.match(name).hasMatch();
}

TemporaryOutput::Failure TemporaryOutput::create(const QString &finalPath, int *errorNumber)
{
    discard();
    const QFileInfo final(finalPath);
    QByteArray folder = encoded(final.path() + QLatin1Char('/') + kFolderPrefix + "XXXXXX");
    if (!::mkdtemp(folder.data())) {
        *errorNumber = errno;
        return Failure::Folder;
    }
    m_folder = QFile::decodeName(folder);
    // Recorded before anything is written in it, so that no crash leaves it unrecorded.
    InFlightOutputs::add(m_folder);
    const QString file = m_folder + QLatin1Char('/') + final.fileName();
    const int fd = ::open(encoded(file).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        *errorNumber = errno;
        release();
        return isFolderWide(*errorNumber) ? Failure::Folder : Failure::Name;
    }
    ::close(fd);
    // The name is taken; the folder is ours alone, so the encoder makes the file itself.
    // Written over an empty file instead, a filesystem such as ext4 flushes all of it to disk
    // once it is closed, and the next call on it waits for that.
    ::unlink(encoded(file).constData());
    m_path = file;
    return Failure::None;
}

QString TemporaryOutput::commit(const QString &finalPath, const std::function<QString()> &nextFree,
                                int *errorNumber)
{
    QString target = finalPath;
    for (int attempt = 0; attempt < kAttempts && !target.isEmpty(); ++attempt) {
        const int error = moveNoReplace(encoded(m_path), encoded(target));
        if (error == 0) {
            m_path.clear();
            release();
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

QString TemporaryOutput::keep(const QString &finalPath, const QString &label)
{
    const QFileInfo final(finalPath);
    const QString suffix = final.suffix().isEmpty() ? QString() : QLatin1Char('.') + final.suffix();
    QString kept = m_path;
    for (int n = 0; n < kAttempts; ++n) {
        const QString tail =
            QLatin1Char('.') + label + (n == 0 ? QString() : QStringLiteral("_%1").arg(n)) + suffix;
        const QString candidate =
            final.path() + QLatin1Char('/') + fittedName(final.completeBaseName(), tail);
        const int error = moveNoReplace(encoded(m_path), encoded(candidate));
        if (error == 0)
            kept = candidate;
        if (error != EEXIST)
            break;
    }
    // Kept where it is, or moved out: either way it is the user's now, never removed.
    m_path.clear();
    release();
    return kept;
}

void TemporaryOutput::discard()
{
    if (m_folder.isEmpty())
        return;
    removePrivateFolder(m_folder);
    m_path.clear();
    release();
}

void TemporaryOutput::release()
{
    ::rmdir(encoded(m_folder).constData()); // fails, harmlessly, while a kept file is inside
    InFlightOutputs::remove(m_folder);
    m_folder.clear();
}

QStringList TemporaryOutput::removePrivateFolder(const QString &folder)
{
    QStringList removed;
    const QFileInfo info(folder);
    if (!info.isAbsolute() || !isPrivateFolderName(info.fileName()))
        return removed;
    const QByteArray name = encoded(folder);
    const int fd = ::open(name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct stat status = {};
    if (fd < 0 || ::fstat(fd, &status) != 0 || status.st_uid != ::geteuid()) {
        if (fd >= 0)
            ::close(fd);
        return removed;
    }
    DIR *entries = ::fdopendir(fd); // takes the descriptor over
    if (!entries) {
        ::close(fd);
        return removed;
    }
    // Only what lies directly inside, through the folder's own descriptor: a link that
    // replaced the folder meanwhile leads nowhere else.
    while (const dirent *entry = ::readdir(entries)) {
        const QByteArray entryName(entry->d_name);
        if (entryName == "." || entryName == "..")
            continue;
        struct stat entryStatus = {};
        if (::fstatat(fd, entry->d_name, &entryStatus, AT_SYMLINK_NOFOLLOW) == 0 &&
            !S_ISDIR(entryStatus.st_mode) && ::unlinkat(fd, entry->d_name, 0) == 0)
            removed << folder + QLatin1Char('/') + QFile::decodeName(entryName);
    }
    ::closedir(entries);
    ::rmdir(name.constData());
    return removed;
}
