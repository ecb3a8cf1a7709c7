#include "db/Schema.h"

#include "core/AppError.h"
#include "core/Paths.h"
#include "core/Prompter.h"
#include "db/Database.h"
#include "db/NewDatabaseFile.h"

#include <QFileInfo>
#include <QSet>

#include <sqlite3.h>

#include <cerrno>

namespace {

QString columnDefinitions(const FieldList &fields)
{
    QStringList columns;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        const FieldDesc &field = fields.at(i);
        columns << quoteIdentifier(field.Name) +
                       (i == 0 ? QStringLiteral(" INTEGER")
                               : QStringLiteral(" VARCHAR(%1)").arg(field.Length));
    }
    return columns.join(QStringLiteral(", "));
}

void indexEveryColumn(Database &db, const QString &table, const QStringList &columns,
                      const std::function<void()> &afterEach)
{
    for (const QString &column : columns) {
        db.exec(QStringLiteral("CREATE INDEX %1 ON %2 (%3)")
                    .arg(quoteIdentifier(table + QLatin1Char('_') + column), quoteIdentifier(table),
                         quoteIdentifier(column)));
        if (afterEach)
            afterEach();
    }
}

// The texts of the two conditions the user's manual names, a clear text of its own for every
// other condition we can tell apart, and the reinstall advice for the rest.
void reportCreateFailure(Prompter &prompter, const AppError &error, const QString &path)
{
    const QString head = kMainWindow + QStringLiteral(":CreateDatabase::ERROR:");
    const int number = error.number();
    const bool isEngineError = dynamic_cast<const DbError *>(&error) != nullptr;
    const bool isFileError = dynamic_cast<const FileError *>(&error) != nullptr;
    const auto own = [&](const QString &text) {
        prompter.message(MessageIcon::Error, QStringLiteral("FEL"),
                         head + QString::number(number) +
                             QStringLiteral(" - Kan ej skapa "
                                            "databasen %1.\n")
                                 .arg(path) +
                             text);
    };
    if (isFileError) {
        own(error.description());
        return;
    }
    if (isEngineError) {
        switch (number) {
        case SQLITE_FULL:
            own(QStringLiteral("Disken är full."));
            return;
        case SQLITE_IOERR:
            own(QStringLiteral("In- eller utmatningsfel (I/O-fel) i filen %1.").arg(path));
            return;
        case SQLITE_READONLY:
        case SQLITE_PERM:
        case SQLITE_CANTOPEN:
            own(QStringLiteral("Mappen %1 är inte skrivbar.").arg(Paths::folderOf(path)));
            return;
        default:
            break;
        }
    }
    if (number == ErrorNumber::DuplicateKey && !isEngineError) {
        own(error.description());
        return;
    }
    if ((isEngineError && (number == SQLITE_BUSY || number == SQLITE_LOCKED)) ||
        (!isEngineError && number == ErrorNumber::PermissionDenied)) {
        prompter.message(MessageIcon::Information, QString(),
                         head + QString::number(ErrorNumber::PermissionDenied) +
                             QStringLiteral(" - Kan ej skapa databasen.\nDatabasen är låst av "
                                            "annan användare eller annat program."));
        return;
    }
    prompter.message(MessageIcon::Error, QStringLiteral("FEL"),
                     head + QString::number(number) +
                         QStringLiteral("\n Installera om programmet. Installera sedan Microsoft "
                                        "Data Access och starta sedan programmet därefter."));
}

// Column names are compared ignoring case, so two fields that differ only in case collide too.
void refuseDuplicateNames(const FieldList &fields)
{
    QSet<QString> seen;
    for (const FieldDesc &field : fields) {
        const QString key = field.Name.toLower();
        if (seen.contains(key))
            throw AppError(ErrorNumber::DuplicateKey,
                           QStringLiteral("Fältet %1 finns två gånger i fältbeskrivningen (.tdx).")
                               .arg(field.Name));
        seen.insert(key);
    }
}

// An existing database that another program is writing must not be replaced under it.
void ensureNotLocked(const QString &path)
{
    Database existing;
    try {
        existing.open(path, Database::OpenMode::ReadWrite);
    } catch (const DbError &e) {
        if (e.number() == SQLITE_NOTADB || e.number() == SQLITE_CORRUPT)
            return; // not ours to protect; it is replaced like any other file
        throw;
    }
    sqlite3_busy_timeout(existing.handle(), 0);
    existing.exec(QStringLiteral("BEGIN EXCLUSIVE"));
    existing.exec(QStringLiteral("ROLLBACK"));
}

} // namespace

namespace Schema {

void createTables(Database &db, const FieldList &fields)
{
    // SQLite folds only ASCII in column names, but every lookup here ignores case the Unicode
    // way: "BENÄMNING" and "BENäMNING" would be two columns sharing one description.
    refuseDuplicateNames(fields);
    const QString columns = columnDefinitions(fields);
    db.exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(QLatin1String(kArticles), columns));
    db.exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(QLatin1String(kEqv), columns));
    db.exec(QStringLiteral("CREATE TABLE %1 (BL_NAME VARCHAR(%2), DESCRIPTION VARCHAR(%2))")
                .arg(QLatin1String(kDesignations))
                .arg(kDesignationSize));
    // Only Articles keeps the field descriptions; the export writes them to the .tdx file.
    for (qsizetype i = 1; i < fields.size(); ++i)
        db.setColumnDescription(QLatin1String(kArticles), fields.at(i).Name,
                                fields.at(i).Description);
}

void createIndexes(Database &db, const FieldList &fields, const std::function<void()> &afterEach)
{
    QStringList names;
    for (const FieldDesc &field : fields)
        names << field.Name;
    indexEveryColumn(db, QLatin1String(kArticles), names, afterEach);
    indexEveryColumn(db, QLatin1String(kEqv), names, afterEach);
    indexEveryColumn(db, QLatin1String(kDesignations), {Schema::kBlockName, Schema::kDescription},
                     afterEach);
}

} // namespace Schema

std::unique_ptr<NewDatabaseFile> CreateDatabase(const QString &tdsPath, const FieldList &fields,
                                                Prompter &prompter, bool replaceWithoutAsking)
{
    const QString path = Paths::siblingOnDisk(Paths::tdbPathFor(tdsPath));
    try {
        // Before any question about the existing file: an import that cannot work asks nothing.
        refuseDuplicateNames(fields);
        // A folder, or a link to one, is never replaced by a database.
        if (QFileInfo(path).isDir())
            throw FileError(EISDIR, QStringLiteral("%1 är en mapp (eller en länk till en mapp), "
                                                   "ingen databas; den ersätts inte.")
                                        .arg(path));
        if (QFileInfo::exists(path)) {
            if (!replaceWithoutAsking &&
                !prompter.question(MessageIcon::Warning, QStringLiteral("Radera tidigare version"),
                                   QStringLiteral("Filen ") + path +
                                       QStringLiteral("\nfinns redan. Skall filen raderas?")))
                return nullptr;
            ensureNotLocked(path);
        }
        auto created = std::make_unique<NewDatabaseFile>(path);
        Schema::createTables(created->db(), fields);
        return created;
    } catch (const AppError &e) {
        reportCreateFailure(prompter, e, path);
    }
    return nullptr;
}

bool TableExists(Database &db, const QString &table)
{
    try {
        for (const QString &name : db.tables()) {
            if (name.compare(table, Qt::CaseInsensitive) == 0)
                return true;
        }
    } catch (const std::exception &) {
    }
    return false;
}

bool FieldExists(Database &db, const QString &table, const QString &field)
{
    if (!TableExists(db, table))
        return false;
    try {
        for (const QString &name : db.tables()) {
            if (name.compare(table, Qt::CaseInsensitive) != 0)
                continue;
            for (const ColumnInfo &column : db.columns(name)) {
                if (column.name.compare(field, Qt::CaseInsensitive) == 0)
                    return true;
            }
            return false;
        }
    } catch (const std::exception &) {
    }
    return false;
}

QString Schema::columnNamed(Database &db, const char *table, const QString &name)
{
    for (const ColumnInfo &column : db.columns(QLatin1String(table))) {
        if (column.name.compare(name, Qt::CaseInsensitive) == 0)
            return column.name;
    }
    return {};
}

bool Schema::isIndexed(Database &db, const char *table, const QString &column)
{
    Statement found = db.prepare(
        QStringLiteral("SELECT 1 FROM pragma_index_list(?1) AS l, pragma_index_xinfo(l.name) AS x "
                       "WHERE l.partial = 0 AND x.seqno = 0 AND x.name = ?2 COLLATE NOCASE "
                       "AND x.coll = 'BINARY' LIMIT 1"));
    found.bind(1, QString::fromLatin1(table)).bind(2, column);
    return found.step();
}

QString Schema::requiredColumn(Database &db, const char *table, const QString &name)
{
    const QString column = columnNamed(db, table, name);
    if (column.isEmpty())
        throw AppError(
            ErrorNumber::BadFileFormat,
            QStringLiteral("Fältet %1 saknas i tabellen %2.").arg(name, QLatin1String(table)));
    return column;
}
