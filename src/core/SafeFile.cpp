#include "core/SafeFile.h"

#include "core/AppError.h"
#include "core/Responsive.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace SafeFile {

namespace {

QByteArray encoded(const QString &path)
{
    return QFile::encodeName(path);
}

QString systemText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

[[noreturn]] void fail(const QString &path, int error)
{
    throw FileError(error, writeFailure(path, error));
}

[[noreturn]] void failToCreateIn(const QString &folder, int error)
{
    QString text;
    switch (error) {
    case EACCES:
    case EPERM:
        text = QStringLiteral("Mappen %1 är inte skrivbar: ingen fil kan skapas där.").arg(folder);
        break;
    case EROFS:
        text = QStringLiteral("Mappen %1 ligger på ett skrivskyddat filsystem.").arg(folder);
        break;
    case ENOENT:
    case ENOTDIR:
        text = QStringLiteral("Mappen %1 finns inte.").arg(folder);
        break;
    default:
        fail(folder, error);
    }
    throw FileError(error, text);
}

// Permissions for a new file: those of the file it replaces, or what the umask gives.
mode_t finalMode(const QString &target)
{
    struct stat st;
    if (::stat(encoded(target).constData(), &st) == 0)
        return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool isAlive(qint64 pid)
{
    if (pid <= 0)
        return true; // not ours to judge
    if (pid == ::getpid())
        return true;
    return ::kill(pid_t(pid), 0) == 0 || errno != ESRCH;
}

bool move(const QString &from, const QString &to)
{
    return ::rename(encoded(from).constData(), encoded(to).constData()) == 0;
}

bool exists(const QString &path)
{
    struct stat st;
    return ::lstat(encoded(path).constData(), &st) == 0;
}

void removeTree(const QString &folder)
{
    QDir(folder).removeRecursively();
}

// The old file is kept by a second name for the same bytes; a copy where links are not possible.
void keep(const QString &file, const QString &backup)
{
    if (::link(encoded(file).constData(), encoded(backup).constData()) == 0)
        return;
    Output copy(backup);
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        fail(file, EIO);
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(1 << 20);
        if (chunk.isEmpty() && in.error() != QFileDevice::NoError)
            fail(file, EIO);
        copy.write(chunk);
    }
    copy.finish();
    copy.commit();
}

void markAbsent(const QString &backup)
{
    const int fd = ::open(encoded(backup + QStringLiteral(".absent")).constData(),
                          O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        fail(backup, errno);
    ::close(fd);
}

QString doneFolderFor(const QString &first)
{
    return backupFolderFor(first) + QStringLiteral("-done");
}

// The run that made a backup holds a lock on its "owner" file until the pair is complete; a
// backup whose lock can be taken belongs to a run that is gone. (The file also says which
// process and machine made it, for whoever looks.)
class BackupOwner
{
public:
    // Takes the lock of an existing owner file, or creates it; false when a live run holds it.
    bool take(const QString &backup, bool create)
    {
        const QByteArray path = encoded(backup + QStringLiteral("/owner"));
        m_fd = ::open(path.constData(), O_RDWR | O_CLOEXEC | (create ? O_CREAT : 0), 0600);
        if (m_fd < 0)
            return !create && errno == ENOENT; // a backup from before owners were recorded
        if (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(m_fd);
            m_fd = -1;
            return false;
        }
        if (create) {
            const QByteArray who = QByteArray::number(qint64(::getpid())) + ' ' +
                                   QSysInfo::machineHostName().toUtf8() + '\n';
            // A disk that cannot take these few bytes will not take the pair either.
            const ssize_t written = ::write(m_fd, who.constData(), size_t(who.size()));
            if (written != who.size()) {
                if (written >= 0)
                    errno = ENOSPC;
                return false;
            }
        }
        return true;
    }
    ~BackupOwner()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }

private:
    int m_fd = -1;
};

// Writes all bytes, at `offset`, or where the file is when it is negative; throws on failure.
void writeFully(int fd, const QString &target, const char *data, qsizetype size, qint64 offset)
{
    while (size > 0) {
        const ssize_t n = offset < 0 ? ::write(fd, data, size_t(size))
                                     : ::pwrite(fd, data, size_t(size), off_t(offset));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail(target, errno);
        }
        if (n == 0)
            fail(target, ENOSPC);
        data += n;
        size -= n;
        if (offset >= 0)
            offset += n;
    }
}

} // namespace

// ------------------------------------------------------------------------------------- Output

Output::Output(const QString &target) : m_target(target)
{
    const QString resolved = resolvedTarget(target);
    QByteArray name = encoded(temporaryTemplate(resolved));
    m_fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (m_fd < 0)
        failToCreateIn(QFileInfo(resolved).absolutePath(), errno);
    m_tempPath = QFile::decodeName(name);
}

Output::~Output()
{
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_released && !m_tempPath.isEmpty())
        ::unlink(encoded(m_tempPath).constData());
}

void Output::write(const char *data, qsizetype size)
{
    writeFully(m_fd, m_target, data, size, -1);
    startWriteback(size);
}

void Output::writeAt(qint64 offset, const char *data, qsizetype size)
{
    writeFully(m_fd, m_target, data, size, offset);
    startWriteback(size);
}

// Every few megabytes the disk is given what was written so far, so the sync at the end has
// little left to wait for.
void Output::startWriteback(qsizetype written)
{
    constexpr qint64 kWritebackBytes = 8 * 1024 * 1024;
    if (m_unsent.fetch_add(written, std::memory_order_relaxed) + written < kWritebackBytes)
        return;
    m_unsent.store(0, std::memory_order_relaxed);
    SafeFile::startWriteback(m_fd);
}

qint64 Output::position() const
{
    const off_t at = ::lseek(m_fd, 0, SEEK_CUR);
    if (at < 0)
        fail(m_target, errno);
    return qint64(at);
}

void Output::seek(qint64 offset)
{
    if (::lseek(m_fd, off_t(offset), SEEK_SET) < 0)
        fail(m_target, errno);
}

void Output::rewind()
{
    if (::ftruncate(m_fd, 0) != 0 || ::lseek(m_fd, 0, SEEK_SET) != 0)
        fail(m_target, errno);
}

void Output::finish(const std::function<void()> &pulse)
{
    ::fchmod(m_fd, finalMode(resolvedTarget(m_target)));
    const int syncError = syncFile(m_fd, pulse);
    if (syncError != 0)
        fail(m_target, syncError);
    const int fd = m_fd;
    m_fd = -1;
    // Some file systems report a failed write only when the file is closed.
    if (::close(fd) != 0 && errno != EINTR)
        fail(m_target, errno);
}

void Output::commit()
{
    const QString resolved = resolvedTarget(m_target);
    if (::rename(encoded(m_tempPath).constData(), encoded(resolved).constData()) != 0)
        fail(m_target, errno);
    m_released = true;
    syncFolder(QFileInfo(resolved).absolutePath());
}

// ---------------------------------------------------------------------------------- functions

QString resolvedTarget(const QString &path)
{
    QFileInfo info(path);
    if (!info.isSymLink())
        return info.absoluteFilePath();
    const QString canonical = info.canonicalFilePath();
    // A link to a file that does not exist yet: the file is created where it points.
    return canonical.isEmpty() ? info.symLinkTarget() : canonical;
}

QString temporaryPrefix(const QString &target)
{
    const QFileInfo info(target);
    return info.absolutePath() + QStringLiteral("/.") + info.fileName() + QLatin1Char('.');
}

QString temporaryTemplate(const QString &target)
{
    return temporaryPrefix(target) + QString::number(::getpid()) + QStringLiteral("-XXXXXX");
}

QStringList removeStaleTemporaries(const QString &target)
{
    QStringList removed;
    const QString resolved = resolvedTarget(target);
    const QString prefix = QFileInfo(temporaryPrefix(resolved)).fileName();
    const QDir folder = QFileInfo(resolved).absoluteDir();
    const QStringList names = folder.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        if (!name.startsWith(prefix))
            continue;
        const QString rest = name.mid(prefix.size());
        const qsizetype dash = rest.indexOf(QLatin1Char('-'));
        bool isNumber = false;
        const qint64 pid = rest.left(dash).toLongLong(&isNumber);
        if (dash <= 0 || !isNumber || isAlive(pid))
            continue;
        if (::unlink(encoded(folder.filePath(name)).constData()) == 0)
            removed << folder.filePath(name);
    }
    return removed;
}

void writeWhole(const QString &path, const QByteArray &bytes)
{
    Output out(path);
    out.write(bytes);
    out.finish();
    out.commit();
}

void copy(const QString &from, const QString &to)
{
    const int fd = ::open(encoded(from).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        throw FileError(error,
                        QStringLiteral("Kan ej läsa filen %1: %2").arg(from, systemText(error)));
    }
    Output out(to);
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (;;) {
        const ssize_t n = ::read(fd, buffer.data(), size_t(buffer.size()));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int error = errno;
            ::close(fd);
            throw FileError(
                error, QStringLiteral("Kan ej läsa filen %1: %2").arg(from, systemText(error)));
        }
        if (n == 0)
            break;
        try {
            out.write(buffer.constData(), n);
        } catch (...) {
            ::close(fd);
            throw;
        }
    }
    ::close(fd);
    out.finish();
    out.commit();
}

QString backupFolderFor(const QString &first)
{
    return temporaryPrefix(resolvedTarget(first)) + QStringLiteral("backup");
}

void replacePair(Output &first, Output &second, const std::function<void()> &pulse)
{
    const QString targets[2] = {resolvedTarget(first.target()), resolvedTarget(second.target())};
    const QString backup = backupFolderFor(first.target());
    const QString entries[2] = {backup + QStringLiteral("/first"),
                                backup + QStringLiteral("/second")};
    removeTree(doneFolderFor(first.target()));
    BackupOwner owner;
    if (exists(backup)) {
        // Another run is replacing the same pair right now: its backup is not ours to drop.
        if (!owner.take(backup, false))
            throw FileError(EBUSY, QStringLiteral("Filerna %1 och %2 ersätts just nu av en annan "
                                                  "körning. Försök igen när den är klar.")
                                       .arg(first.target(), second.target()));
        removeTree(backup);
    }
    if (::mkdir(encoded(backup).constData(), 0700) != 0)
        failToCreateIn(QFileInfo(backup).absolutePath(), errno);
    try {
        if (!owner.take(backup, true))
            failToCreateIn(backup, errno);
        for (int i = 0; i < 2; ++i) {
            if (exists(targets[i]))
                keep(targets[i], entries[i]);
            else
                markAbsent(entries[i]);
        }
        syncFolder(backup);
        syncFolder(QFileInfo(backup).absolutePath());
    } catch (...) {
        removeTree(backup);
        throw;
    }

    if (!move(first.temporaryPath(), targets[0])) {
        const int error = errno;
        removeTree(backup);
        fail(first.target(), error);
    }
    first.release();
    if (!move(second.temporaryPath(), targets[1])) {
        const int error = errno;
        // The first file goes back, so the pair stays the old one.
        const bool undone = exists(entries[0]) ? move(entries[0], targets[0])
                                               : ::unlink(encoded(targets[0]).constData()) == 0;
        if (!undone)
            fail(second.target(), error); // the backup stays for recoverPair()
        removeTree(backup);
        const QString kept = QStringLiteral(" De tidigare filerna %1 och %2 är oförändrade.")
                                 .arg(first.target(), second.target());
        throw FileError(error, writeFailure(second.target(), error) + kept);
    }
    second.release();
    syncFolder(QFileInfo(targets[0]).absolutePath());
    syncFolder(QFileInfo(targets[1]).absolutePath());

    // Both are in place: the backup is marked done in one step, then dropped. Freeing a large
    // old file takes the file system a while, so the window keeps its turns meanwhile.
    const QString done = doneFolderFor(first.target());
    runWhilePulsing(
        [&] {
            if (move(backup, done))
                removeTree(done);
            else
                removeTree(backup);
        },
        pulse);
}

QString recoverPair(const QString &first, const QString &second)
{
    const QString done = doneFolderFor(first);
    QString report;
    if (exists(done)) {
        removeTree(done);
        report = QStringLiteral("En kvarlämnad säkerhetskopia av %1 togs bort; filerna var redan "
                                "kompletta.")
                     .arg(first);
    }
    const QString backup = backupFolderFor(first);
    if (!exists(backup))
        return report;
    // A run still replacing the pair keeps its backup; only one whose run is gone is restored.
    BackupOwner owner;
    if (!owner.take(backup, false))
        return report;
    const QString targets[2] = {resolvedTarget(first), resolvedTarget(second)};
    const QString entries[2] = {backup + QStringLiteral("/first"),
                                backup + QStringLiteral("/second")};
    for (int i = 0; i < 2; ++i) {
        if (exists(entries[i])) {
            if (!move(entries[i], targets[i]))
                fail(targets[i], errno);
        } else if (exists(entries[i] + QStringLiteral(".absent"))) {
            if (::unlink(encoded(targets[i]).constData()) != 0 && errno != ENOENT)
                fail(targets[i], errno);
        }
    }
    syncFolder(QFileInfo(targets[0]).absolutePath());
    removeTree(backup);
    return QStringLiteral("En avbruten export lämnade en säkerhetskopia av %1 och %2. De "
                          "tidigare filerna har återställts.")
        .arg(first, second);
}

QString writeFailure(const QString &path, int error)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("Disken är full: filen %1 kunde inte skrivas färdigt.").arg(path);
    case EACCES:
    case EPERM:
        return QStringLiteral("Skrivrättighet saknas: filen %1 kan inte skrivas.").arg(path);
    case EROFS:
        return QStringLiteral("Filsystemet är skrivskyddat: filen %1 kan inte skrivas.").arg(path);
    case EIO:
        return QStringLiteral("In- eller utmatningsfel (I/O-fel) när filen %1 skrevs.").arg(path);
    case EFBIG:
        return QStringLiteral("Filen %1 blir större än filsystemet eller gränsen för filstorlek "
                              "tillåter; den kunde inte skrivas färdigt.")
            .arg(path);
    default:
        return QStringLiteral("Kan ej skriva filen %1: %2").arg(path, systemText(error));
    }
}

int syncFile(int fd, const std::function<void()> &pulse)
{
    int error = 0;
    runWhilePulsing(
        [fd, &error] {
            if (::fsync(fd) != 0)
                error = errno;
        },
        pulse);
    return error;
}

void startWriteback(int fd)
{
#ifdef Q_OS_LINUX
    ::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
#else
    Q_UNUSED(fd);
#endif
}

void syncFolder(const QString &folder)
{
    const int fd = ::open(encoded(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace SafeFile
