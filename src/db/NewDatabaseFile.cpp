#include "db/NewDatabaseFile.h"

#include "core/AppError.h"
#include "core/Paths.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <utility>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

NewDatabaseFile::NewDatabaseFile(const QString &finalPath) : m_finalPath(finalPath)
{
    QTemporaryFile temp(Paths::folderOf(finalPath) + QLatin1Char('/') + QLatin1Char('.')
                        + QFileInfo(finalPath).fileName() + QStringLiteral(".XXXXXX"));
    temp.setAutoRemove(false);
    if (!temp.open())
        throw AppError(ErrorNumber::PermissionDenied,
                       QStringLiteral("Kan ej skapa filen i mappen %1: %2")
                           .arg(Paths::folderOf(finalPath), temp.errorString()));
    m_tempPath = temp.fileName();
    temp.close();
    try {
        m_db.open(m_tempPath, Database::OpenMode::ReadWrite);
        // The file is private until commit, so it needs no rollback journal on disk; a failure
        // removes it whole.
        m_db.exec(QStringLiteral("PRAGMA journal_mode = MEMORY; PRAGMA synchronous = NORMAL; "
                                 "PRAGMA temp_store = DEFAULT"));
    } catch (...) {
        discard();
        throw;
    }
}

NewDatabaseFile::~NewDatabaseFile()
{
    if (!m_committed)
        discard();
}

// A temporary file is private to its owner; the database gets the permissions the file it replaces
// had, or those of any newly created file.
void NewDatabaseFile::applyFinalPermissions()
{
    if (QFileInfo::exists(m_finalPath)) {
        QFile::setPermissions(m_tempPath, QFile::permissions(m_finalPath));
        return;
    }
#ifdef Q_OS_UNIX
    const mode_t mask = ::umask(0);
    ::umask(mask);
    QFileDevice::Permissions permissions;
    const std::pair<mode_t, QFileDevice::Permission> bits[] = {
        {S_IRUSR, QFileDevice::ReadOwner}, {S_IWUSR, QFileDevice::WriteOwner},
        {S_IRGRP, QFileDevice::ReadGroup}, {S_IWGRP, QFileDevice::WriteGroup},
        {S_IROTH, QFileDevice::ReadOther}, {S_IWOTH, QFileDevice::WriteOther}};
    for (const auto &[bit, permission] : bits) {
        if (!(mask & bit))
            permissions |= permission;
    }
    if (permissions & QFileDevice::ReadOwner)
        permissions |= QFileDevice::ReadUser;
    if (permissions & QFileDevice::WriteOwner)
        permissions |= QFileDevice::WriteUser;
    QFile::setPermissions(m_tempPath, permissions);
#endif
}

void NewDatabaseFile::discard()
{
    m_db.close();
    if (!m_tempPath.isEmpty())
        QFile::remove(m_tempPath);
}

void NewDatabaseFile::commit()
{
    m_db.exec(QStringLiteral("PRAGMA journal_mode = DELETE"));
    m_db.close();
    applyFinalPermissions();
    if (!Paths::replaceFile(m_tempPath, m_finalPath))
        throw AppError(ErrorNumber::PermissionDenied,
                       QStringLiteral("Kan ej flytta den nya databasen till %1.").arg(m_finalPath));
    m_committed = true;
}
