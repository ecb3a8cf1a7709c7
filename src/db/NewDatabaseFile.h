#pragma once

#include "db/Database.h"

#include <QString>

#include <functional>
#include <future>

// A working database built under a temporary name beside its final path and moved into place
// only by commit(), so a failed build leaves any earlier file as it was and nothing half-filled.
// Like QSaveFile, for a database.
class NewDatabaseFile
{
public:
    explicit NewDatabaseFile(const QString &finalPath);
    ~NewDatabaseFile();
    NewDatabaseFile(const NewDatabaseFile &) = delete;
    NewDatabaseFile &operator=(const NewDatabaseFile &) = delete;

    Database &db() { return m_db; }
    const QString &finalPath() const { return m_finalPath; }
    const QString &temporaryPath() const { return m_tempPath; }

    // Starts writing what was built so far to disk, so the commit's sync waits less. The system
    // may take a while to accept that much, so it is asked on a thread of its own; a request
    // still running makes this one unneeded.
    void startWriteback();

    // Closes the database and replaces the final path by it.
    // Given a pulse, it is called while the file is synced to disk.
    void commit(const std::function<void()> &pulse = {});

private:
    void discard();
    void applyFinalPermissions();

    QString m_finalPath;
    QString m_writePath; // the final path with a symbolic link followed
    QString m_tempPath;
    // Open beside the engine's own until the database is closed: closing a second descriptor of
    // the file would drop the engine's locks.
    int m_fd = -1;
    std::future<void> m_writeback;
    Database m_db;
    bool m_committed = false;
};
