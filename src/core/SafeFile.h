#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

// Whole-file writes that either complete or leave the old file as it was. Every write, the sync
// to disk and the rename are checked; a failure throws AppError with a Swedish text that names
// the condition (disk full, folder not writable, I/O error) and the file.
namespace SafeFile {

// A new file written under a hidden temporary name beside its target:
// ".<name>.<pid>-XXXXXX", so a later run can tell that its owner is gone. Removed by the
// destructor unless it was moved into place.
class Output
{
public:
    explicit Output(const QString &target);
    ~Output();
    Output(const Output &) = delete;
    Output &operator=(const Output &) = delete;

    const QString &target() const { return m_target; }
    const QString &temporaryPath() const { return m_tempPath; }

    // Writes all bytes or throws.
    void write(const char *data, qsizetype size);
    void write(const QByteArray &bytes) { write(bytes.constData(), bytes.size()); }
    // Writes all bytes at a place of the file, leaving the place of write() as it is; safe
    // beside write() on another thread as long as the two write different parts.
    void writeAt(qint64 offset, const char *data, qsizetype size);
    // Where write() goes next, and moving it.
    qint64 position() const;
    void seek(qint64 offset);
    // Drops everything written so far, to write the file anew.
    void rewind();
    // Syncs the bytes to disk and closes the file; throws when the system reports a failure.
    // Given a pulse, it is called while the sync waits for the disk.
    void finish(const std::function<void()> &pulse = {});
    // Moves the finished file over the target (a symbolic link's target, not the link).
    void commit();
    // Hands the finished file over: the caller moves it into place (see replacePair).
    void release() { m_released = true; }

private:
    void startWriteback(qsizetype written);

    QString m_target;
    QString m_tempPath;
    int m_fd = -1;
    bool m_released = false;
    std::atomic<qint64> m_unsent{0};
};

// The file a write to `path` should replace: the target of a symbolic link, else the path.
QString resolvedTarget(const QString &path);

// The hidden temporary names of `target` start with this, before the owner's process id.
QString temporaryPrefix(const QString &target);
// A QTemporaryFile template beside `target` in the same hidden form.
QString temporaryTemplate(const QString &target);

// Removes temporary files of `target` whose owning process is gone (a killed or crashed run);
// returns their names.
QStringList removeStaleTemporaries(const QString &target);

// Writes bytes as the whole new content of `path`.
void writeWhole(const QString &path, const QByteArray &bytes);

// Copies a file; `to` is replaced only once the copy is complete and on disk.
void copy(const QString &from, const QString &to);

// Moves two finished files over their targets as one unit. The old files are kept as hidden
// backups until both new ones are in place; when the second move fails the first is undone.
// A crash in between leaves the backup for recoverPair(). Given a pulse, it is called while the
// old files are dropped.
void replacePair(Output &first, Output &second, const std::function<void()> &pulse = {});

// Puts back a pair that a crash left half replaced, or drops a backup whose replacement
// completed. Returns what was done (empty when there was nothing to do); throws when the old
// files cannot be restored.
QString recoverPair(const QString &first, const QString &second);

// The hidden folder that holds the old pair during replacePair().
QString backupFolderFor(const QString &first);

// A clear Swedish text for a failed write, rename or sync of `path` with `errno` value `error`.
QString writeFailure(const QString &path, int error);

// Syncs an open file's bytes to disk on a thread of its own, calling pulse while it waits (so a
// window keeps repainting); returns 0 or the error number.
int syncFile(int fd, const std::function<void()> &pulse = {});
// Starts writing the file's changed pages to disk without waiting, so a later sync has less to
// wait for. Only a hint: a failure is for that sync to report.
void startWriteback(int fd);

// Syncs a folder's entries to disk, so a rename survives a power loss; best effort.
void syncFolder(const QString &folder);

} // namespace SafeFile
