#pragma once

#include "db/Database.h"
#include "db/FieldList.h"

#include <QString>

// An open working database (.tdb) with the FieldList read from its Articles table.
class WorkingDatabase
{
public:
    // Opens the file and checks that it holds the article tables; throws AppError with a clear
    // Swedish description otherwise (missing file, other kind of file, locked, ...).
    static WorkingDatabase open(const QString &path,
                                Database::OpenMode mode = Database::OpenMode::ReadWrite);

    Database &db() { return m_db; }
    const FieldList &fields() const { return m_fields; }
    const QString &path() const { return m_db.path(); }

private:
    WorkingDatabase() = default;

    Database m_db;
    FieldList m_fields;
};

// One entry per column of Articles in table order: name, defined size, description; Start 0.
FieldList readFieldList(Database &db);

// The highest RAD of Articles and Eqv together; 0 when both are empty.
qint64 GetMaxRow(Database &db);

// Copies a working database file to another name, replacing that file only once the copy is
// complete, so a failed copy leaves both files as they were. Throws AppError.
void copyDatabaseFile(const QString &from, const QString &to);
