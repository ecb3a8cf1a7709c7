// An LD_PRELOAD shim for the failure-injection test: the Nth write-like call (write, sync,
// rename, mkdir) that touches a file under KVISTBO_FAIL_DIR fails with ENOSPC (EIO for a sync).
// When it fires it appends a line to KVISTBO_FAIL_REPORT. Renames and syncs of folders happen
// only after a pair is in place, and a failed hard link is replaced by a copy, so those are not
// counted.
#include <cerrno>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/uio.h>
#include <unistd.h>

namespace {

long g_count = 0;

template <typename F> F next(const char *name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

bool underFolder(const char *path)
{
    const char *folder = std::getenv("KVISTBO_FAIL_DIR");
    if (!folder || !path)
        return false;
    const size_t n = std::strlen(folder);
    return std::strncmp(path, folder, n) == 0 && (path[n] == '/' || path[n] == '\0');
}

bool fdUnderFolder(int fd)
{
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    char link[64];
    char target[PATH_MAX];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t n = readlink(link, target, sizeof target - 1);
    if (n <= 0)
        return false;
    target[n] = '\0';
    return underFolder(target);
}

bool isFolder(const char *path)
{
    struct stat st;
    return lstat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

// True when this call is the one to fail.
bool fires(const char *what)
{
    const char *at = std::getenv("KVISTBO_FAIL_AT");
    if (!at)
        return false;
    if (++g_count != std::atol(at))
        return false;
    if (const char *report = std::getenv("KVISTBO_FAIL_REPORT")) {
        const int fd = open(report, O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (fd >= 0) {
            char line[128];
            const int len = std::snprintf(line, sizeof line, "%ld %s\n", g_count, what);
            next<ssize_t (*)(int, const void *, size_t)>("write")(fd, line, size_t(len));
            close(fd);
        }
    }
    return true;
}

} // namespace

extern "C" {

ssize_t write(int fd, const void *buf, size_t count)
{
    if (fdUnderFolder(fd) && fires("write")) {
        errno = ENOSPC;
        return -1;
    }
    return next<ssize_t (*)(int, const void *, size_t)>("write")(fd, buf, count);
}

ssize_t pwrite64(int fd, const void *buf, size_t count, off64_t offset)
{
    if (fdUnderFolder(fd) && fires("pwrite")) {
        errno = ENOSPC;
        return -1;
    }
    return next<ssize_t (*)(int, const void *, size_t, off64_t)>("pwrite64")(fd, buf, count,
                                                                             offset);
}

ssize_t writev(int fd, const struct iovec *iov, int count)
{
    if (fdUnderFolder(fd) && fires("writev")) {
        errno = ENOSPC;
        return -1;
    }
    return next<ssize_t (*)(int, const struct iovec *, int)>("writev")(fd, iov, count);
}

int fsync(int fd)
{
    if (fdUnderFolder(fd) && fires("fsync")) {
        errno = EIO;
        return -1;
    }
    return next<int (*)(int)>("fsync")(fd);
}

int fdatasync(int fd)
{
    if (fdUnderFolder(fd) && fires("fdatasync")) {
        errno = EIO;
        return -1;
    }
    return next<int (*)(int)>("fdatasync")(fd);
}

int rename(const char *from, const char *to)
{
    if (underFolder(to) && !isFolder(from) && fires("rename")) {
        errno = ENOSPC;
        return -1;
    }
    return next<int (*)(const char *, const char *)>("rename")(from, to);
}

int mkdir(const char *path, mode_t mode)
{
    if (underFolder(path) && fires("mkdir")) {
        errno = ENOSPC;
        return -1;
    }
    return next<int (*)(const char *, mode_t)>("mkdir")(path, mode);
}

} // extern "C"
