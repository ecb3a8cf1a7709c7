#include "db/WorkingDatabase.h"

#include "core/SafeFile.h"
#include "db/Schema.h"

#include <QFile>
#include <QFileInfo>

WorkingDatabase WorkingDatabase::open(const QString &path, Database::OpenMode mode)
{
    if (!QFileInfo(path).isFile())
        throw AppError(ErrorNumber::FileNotFound, QStringLiteral("Hittar ej filen ") + path);
    WorkingDatabase working;
    working.m_db.open(path, mode);
    for (const char *table : {Schema::kArticles, Schema::kEqv, Schema::kDesignations}) {
        // A view in a table's place would run its own query instead of showing the rows.
        const QVariant kind = working.m_db.scalar(
            QStringLiteral("SELECT type FROM sqlite_master WHERE name = ? COLLATE NOCASE "
                           "AND type IN ('table', 'view')"),
            QString::fromLatin1(table));
        if (kind.toString() == QLatin1String("view"))
            throw AppError(ErrorNumber::BadFileFormat,
                           QStringLiteral("Filen %1 är ingen artikeldatabas (%2 är en vy, inte en "
                                          "tabell).")
                               .arg(path, QLatin1String(table)));
        if (!TableExists(working.m_db, QLatin1String(table)))
            throw AppError(ErrorNumber::BadFileFormat,
                           QStringLiteral("Filen %1 är ingen artikeldatabas (tabellen %2 saknas).")
                               .arg(path, QLatin1String(table)));
    }
    working.m_fields = readFieldList(working.m_db);
    return working;
}

FieldList readFieldList(Database &db)
{
    FieldList fields;
    for (const ColumnInfo &column : db.columns(QLatin1String(Schema::kArticles)))
        fields.append(FieldDesc{column.name, column.description, column.size, 0});
    return fields;
}

qint64 GetMaxRow(Database &db)
{
    // An empty Articles table is no error: the Eqv maximum (or 0) is the answer.
    const QVariant articles = db.scalar(QStringLiteral("SELECT MAX(RAD) FROM Articles"));
    const QVariant eqv = db.scalar(QStringLiteral("SELECT MAX(RAD) FROM Eqv"));
    qint64 m = articles.isValid() ? articles.toLongLong() : 0;
    if (eqv.isValid() && eqv.toLongLong() > m)
        m = eqv.toLongLong();
    return m;
}

void copyDatabaseFile(const QString &from, const QString &to)
{
    SafeFile::removeStaleTemporaries(to);
    SafeFile::copy(from, to);
}
