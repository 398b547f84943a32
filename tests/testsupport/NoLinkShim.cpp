// Loaded with LD_PRELOAD into a program under test, it gives every filesystem the limits of
// FAT, exFAT and many FUSE and network mounts: no no-replace rename and no hard links.
#include <cerrno>

extern "C" {
int renameat(int oldFolder, const char *oldPath, int newFolder, const char *newPath);

int renameat2(int oldFolder, const char *oldPath, int newFolder, const char *newPath,
              unsigned int flags)
{
    if (flags != 0) {
        errno = EINVAL;
        return -1;
    }
    return renameat(oldFolder, oldPath, newFolder, newPath);
}

int link(const char *, const char *)
{
    errno = EPERM;
    return -1;
}

int linkat(int, const char *, int, const char *, int)
{
    errno = EPERM;
    return -1;
}
}
