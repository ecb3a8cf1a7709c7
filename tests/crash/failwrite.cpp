// An LD_PRELOAD shim for the failure-injection and crash tests. It counts the file-system calls
// on files under KVISTBO_FAIL_DIR (compared by resolved path, so a folder reached through a
// symbolic link still matches) of the kinds in KVISTBO_FAIL_CALLS (a comma list of open, read,
// write, rename, fsync, close, mkdir, or "all"), and makes call number KVISTBO_FAIL_AT fail
// with errno KVISTBO_FAIL_ERRNO, or raise SIGKILL when that is "kill". When it fires it appends
// "N kind path" to KVISTBO_FAIL_REPORT. At exit it writes the number of calls counted to
// KVISTBO_FAIL_COUNT, so a test knows how many there are to fail.
//
// Folders are not counted: their syncs are best effort, their renames happen once a pair is in
// place. Nor is a close of a file opened only for reading, whose failure loses nothing.
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <dlfcn.h>
#include <fcntl.h>
#include <libgen.h>
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

ssize_t realWrite(int fd, const void *buf, size_t count)
{
    static auto f = next<ssize_t (*)(int, const void *, size_t)>("write");
    return f(fd, buf, count);
}

int realOpen(const char *path, int flags, mode_t mode)
{
    static auto f = next<int (*)(const char *, int, ...)>("open");
    return f(path, flags, mode);
}

const std::string &folder()
{
    static const std::string resolved = [] {
        const char *dir = std::getenv("KVISTBO_FAIL_DIR");
        char buffer[PATH_MAX];
        if (!dir || !realpath(dir, buffer))
            return std::string();
        return std::string(buffer);
    }();
    return resolved;
}

bool inFolder(const std::string &path)
{
    const std::string &dir = folder();
    return !dir.empty() && path.compare(0, dir.size(), dir) == 0 &&
           (path.size() == dir.size() || path[dir.size()] == '/');
}

// The resolved path of a file that may not exist yet: its folder resolved, then its name.
bool underFolder(const char *path)
{
    if (folder().empty())
        return false;
    char buffer[PATH_MAX];
    if (realpath(path, buffer))
        return inFolder(buffer);
    std::string copy(path);
    const std::string name = basename(copy.data());
    copy = path;
    if (!realpath(dirname(copy.data()), buffer))
        return false;
    return inFolder(std::string(buffer) + "/" + name);
}

bool isFolder(const char *path)
{
    struct stat st;
    return lstat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

bool fdUnderFolder(int fd, std::string *pathOut = nullptr)
{
    if (folder().empty())
        return false;
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
    // A file removed meanwhile reads "path (deleted)"; it is still the same file.
    std::string path(target);
    const std::string deleted = " (deleted)";
    if (path.size() > deleted.size() &&
        path.compare(path.size() - deleted.size(), deleted.size(), deleted) == 0)
        path.resize(path.size() - deleted.size());
    if (pathOut)
        *pathOut = path;
    return inFolder(path);
}

bool counts(const char *kind)
{
    const char *calls = std::getenv("KVISTBO_FAIL_CALLS");
    if (!calls || std::strcmp(calls, "all") == 0)
        return true;
    const std::string list = std::string(",") + calls + ",";
    return list.find(std::string(",") + kind + ",") != std::string::npos;
}

// True when this call is the one to fail (errno is then set); a kill does not return.
bool fires(const char *kind, const char *path)
{
    if (!counts(kind))
        return false;
    ++g_count;
    const char *at = std::getenv("KVISTBO_FAIL_AT");
    if (!at || g_count != std::atol(at))
        return false;
    if (const char *report = std::getenv("KVISTBO_FAIL_REPORT")) {
        const int fd = realOpen(report, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        if (fd >= 0) {
            char line[PATH_MAX + 64];
            const int len =
                std::snprintf(line, sizeof line, "%ld %s %s\n", g_count, kind, path ? path : "");
            realWrite(fd, line, size_t(len));
            next<int (*)(int)>("close")(fd);
        }
    }
    const char *error = std::getenv("KVISTBO_FAIL_ERRNO");
    if (error && std::strcmp(error, "kill") == 0)
        std::raise(SIGKILL);
    errno = error ? std::atoi(error) : EIO;
    return true;
}

bool firesOnFd(const char *kind, int fd)
{
    std::string path;
    return counts(kind) && fdUnderFolder(fd, &path) && fires(kind, path.c_str());
}

bool opensFile(const char *path, int flags)
{
    return path && counts("open") && !(flags & O_DIRECTORY) && underFolder(path) && !isFolder(path);
}

struct CountOnExit
{
    ~CountOnExit()
    {
        const char *path = std::getenv("KVISTBO_FAIL_COUNT");
        if (!path)
            return;
        const int fd = realOpen(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0)
            return;
        char line[32];
        const int len = std::snprintf(line, sizeof line, "%ld\n", g_count);
        realWrite(fd, line, size_t(len));
        next<int (*)(int)>("close")(fd);
    }
} g_countOnExit;

mode_t modeOf(int flags, va_list args)
{
    return (flags & (O_CREAT | O_TMPFILE)) ? mode_t(va_arg(args, int)) : 0;
}

} // namespace

extern "C" {

int open(const char *path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = modeOf(flags, args);
    va_end(args);
    if (opensFile(path, flags) && fires("open", path))
        return -1;
    return next<int (*)(const char *, int, ...)>("open")(path, flags, mode);
}

int open64(const char *path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = modeOf(flags, args);
    va_end(args);
    if (opensFile(path, flags) && fires("open", path))
        return -1;
    return next<int (*)(const char *, int, ...)>("open64")(path, flags, mode);
}

int openat(int dirfd, const char *path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = modeOf(flags, args);
    va_end(args);
    if ((dirfd == AT_FDCWD || path[0] == '/') && opensFile(path, flags) && fires("open", path))
        return -1;
    return next<int (*)(int, const char *, int, ...)>("openat")(dirfd, path, flags, mode);
}

int openat64(int dirfd, const char *path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = modeOf(flags, args);
    va_end(args);
    if ((dirfd == AT_FDCWD || path[0] == '/') && opensFile(path, flags) && fires("open", path))
        return -1;
    return next<int (*)(int, const char *, int, ...)>("openat64")(dirfd, path, flags, mode);
}

ssize_t read(int fd, void *buf, size_t count)
{
    if (firesOnFd("read", fd))
        return -1;
    return next<ssize_t (*)(int, void *, size_t)>("read")(fd, buf, count);
}

ssize_t pread64(int fd, void *buf, size_t count, off64_t offset)
{
    if (firesOnFd("read", fd))
        return -1;
    return next<ssize_t (*)(int, void *, size_t, off64_t)>("pread64")(fd, buf, count, offset);
}

ssize_t write(int fd, const void *buf, size_t count)
{
    if (firesOnFd("write", fd))
        return -1;
    return realWrite(fd, buf, count);
}

ssize_t pwrite64(int fd, const void *buf, size_t count, off64_t offset)
{
    if (firesOnFd("write", fd))
        return -1;
    return next<ssize_t (*)(int, const void *, size_t, off64_t)>("pwrite64")(fd, buf, count,
                                                                             offset);
}

ssize_t writev(int fd, const struct iovec *iov, int count)
{
    if (firesOnFd("write", fd))
        return -1;
    return next<ssize_t (*)(int, const struct iovec *, int)>("writev")(fd, iov, count);
}

int fsync(int fd)
{
    if (firesOnFd("fsync", fd))
        return -1;
    return next<int (*)(int)>("fsync")(fd);
}

int fdatasync(int fd)
{
    if (firesOnFd("fsync", fd))
        return -1;
    return next<int (*)(int)>("fdatasync")(fd);
}

int close(int fd)
{
    const auto real = next<int (*)(int)>("close");
    const int flags = counts("close") ? fcntl(fd, F_GETFL) : -1;
    if (flags != -1 && (flags & O_ACCMODE) != O_RDONLY && firesOnFd("close", fd)) {
        // As on a network file system: the descriptor is gone, the error is reported.
        const int error = errno;
        real(fd);
        errno = error;
        return -1;
    }
    return real(fd);
}

int rename(const char *from, const char *to)
{
    if (counts("rename") && to && underFolder(to) && !isFolder(from) && fires("rename", to))
        return -1;
    return next<int (*)(const char *, const char *)>("rename")(from, to);
}

int mkdir(const char *path, mode_t mode)
{
    if (counts("mkdir") && underFolder(path) && fires("mkdir", path))
        return -1;
    return next<int (*)(const char *, mode_t)>("mkdir")(path, mode);
}

} // extern "C"
