#include "db/NewDatabaseFile.h"

#include "core/AppError.h"
#include "core/Paths.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cstdio>

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
                                 "PRAGMA cache_size = -65536; PRAGMA temp_store = MEMORY"));
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
#ifdef Q_OS_WIN
    // Windows cannot rename over an existing file.
    if (QFileInfo::exists(m_finalPath) && !QFile::remove(m_finalPath))
        throw AppError(ErrorNumber::PermissionDenied,
                       QStringLiteral("Kan ej ersätta filen %1.").arg(m_finalPath));
    if (!QFile::rename(m_tempPath, m_finalPath))
#else
    if (std::rename(QFile::encodeName(m_tempPath).constData(),
                    QFile::encodeName(m_finalPath).constData())
        != 0)
#endif
        throw AppError(ErrorNumber::PermissionDenied,
                       QStringLiteral("Kan ej flytta den nya databasen till %1.").arg(m_finalPath));
    m_committed = true;
}
