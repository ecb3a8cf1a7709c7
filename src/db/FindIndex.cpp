#include "db/FindIndex.h"

#include "core/SwedishFold.h"
#include "db/Database.h"
#include "db/Schema.h"

#include <QStringList>

#include <sqlite3.h>

#include <string>

namespace FindIndex {

namespace {

constexpr const char *kTextTable = "MSysFindText";
constexpr const char *kStateTable = "MSysFindState";
// SQLite caps a function's arguments; a wider table is folded in several calls.
constexpr qsizetype kCellsPerCall = 100;

// The file's change counter, which every committed write transaction moves on. Read straight
// from the file: the caller holds a lock and has written nothing yet in its transaction.
qint64 changeCounter(Database &db)
{
    sqlite3_file *file = nullptr;
    if (sqlite3_file_control(db.handle(), "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK ||
        !file || !file->pMethods)
        return -1;
    unsigned char bytes[4] = {};
    if (file->pMethods->xRead(file, bytes, 4, 24) != SQLITE_OK)
        return -1;
    return (qint64(bytes[0]) << 24) | (qint64(bytes[1]) << 16) | (qint64(bytes[2]) << 8) |
           qint64(bytes[3]);
}

qint64 schemaVersion(Database &db)
{
    return db.scalar(QStringLiteral("PRAGMA schema_version")).toLongLong();
}

// Both tables, the text table in its present form (older files kept the folded text only).
bool hasTables(Database &db)
{
    return db.scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND "
                                    "name IN ('%1', '%2')")
                         .arg(QLatin1String(kTextTable), QLatin1String(kStateTable)))
                   .toLongLong() == 2 &&
           db.scalar(QStringLiteral("SELECT count(*) FROM pragma_table_info('%1') "
                                    "WHERE name = 'rad'")
                         .arg(QLatin1String(kTextTable)))
                   .toLongLong() == 1;
}

// The stamped counter and schema version; -1 for none.
std::pair<qint64, qint64> storedStamp(Database &db)
{
    Statement st = db.prepare(
        QStringLiteral("SELECT counter, schema FROM %1 LIMIT 1").arg(QLatin1String(kStateTable)));
    if (!st.step())
        return {-1, -1};
    return {st.int64(0), st.int64(1)};
}

// The folded text of article a, in table order.
QString foldedRow(Database &db)
{
    QStringList cells;
    for (const ColumnInfo &c : db.columns(QString::fromLatin1(Schema::kArticles)))
        cells << QStringLiteral("a.") + quoteIdentifier(c.name);
    if (cells.isEmpty())
        return QStringLiteral("''");
    QStringList calls;
    for (qsizetype from = 0; from < cells.size(); from += kCellsPerCall)
        calls << QStringLiteral("SV_FOLDROW(%1)")
                     .arg(cells.mid(from, kCellsPerCall).join(QStringLiteral(", ")));
    return calls.join(QStringLiteral(" || char(31) || "));
}

QString articleRowId(Database &db)
{
    return rowIdName(db.columns(QString::fromLatin1(Schema::kArticles)));
}

// The stamp the transaction's own commit will make true.
void stamp(Database &db, qint64 counterBefore)
{
    db.exec(QStringLiteral("DELETE FROM %1").arg(QLatin1String(kStateTable)));
    Statement insert = db.prepare(
        QStringLiteral("INSERT INTO %1 (counter, schema) VALUES (?, ?)").arg(kStateTable));
    insert.bind(1, (counterBefore + 1) & 0xffffffff).bind(2, schemaVersion(db)).run();
}

void createTables(Database &db)
{
    db.exec(QStringLiteral("DROP TABLE IF EXISTS %1; DROP TABLE IF EXISTS %2; "
                           "CREATE TABLE %1 (id INTEGER PRIMARY KEY, folded TEXT, block, rad); "
                           "CREATE TABLE %2 (counter INTEGER, schema INTEGER)")
                .arg(QLatin1String(kTextTable), QLatin1String(kStateTable)));
}

void build(Database &db)
{
    createTables(db);
    db.exec(QStringLiteral("INSERT INTO %1 (id, folded, block, rad) "
                           "SELECT a.%2, %3, a.BL_NAME, a.RAD FROM Articles a")
                .arg(QLatin1String(kTextTable), articleRowId(db), foldedRow(db)));
}

void rebuild(Database &db, qint64 counterBefore)
{
    // A transaction that spills pages before its commit moves the counter twice; kept in
    // memory, it moves it once, as the stamp expects.
    db.exec(QStringLiteral("PRAGMA cache_spill = OFF"));
    try {
        build(db);
    } catch (...) {
        db.exec(QStringLiteral("PRAGMA cache_spill = ON"));
        throw;
    }
    db.exec(QStringLiteral("PRAGMA cache_spill = ON"));
    stamp(db, counterBefore);
}

// The changed rows folded again; false when the table no longer matches Articles row for row
// (a change the hooks did not see).
bool refresh(Database &db, const std::vector<qint64> &rowIds, qint64 counterBefore)
{
    const QString rowId = articleRowId(db);
    Statement remove =
        db.prepare(QStringLiteral("DELETE FROM %1 WHERE id = ?").arg(QLatin1String(kTextTable)));
    Statement insert =
        db.prepare(QStringLiteral("INSERT INTO %1 (id, folded, block, rad) "
                                  "SELECT a.%2, %3, a.BL_NAME, a.RAD FROM Articles a "
                                  "WHERE a.%2 = ?")
                       .arg(QLatin1String(kTextTable), rowId, foldedRow(db)));
    for (const qint64 id : rowIds) {
        remove.bind(1, id).run();
        insert.bind(1, id).run();
    }
    const qint64 articles = db.scalar(QStringLiteral("SELECT count(*) FROM Articles")).toLongLong();
    const qint64 folded =
        db.scalar(QStringLiteral("SELECT count(*) FROM %1").arg(QLatin1String(kTextTable)))
            .toLongLong();
    if (articles != folded)
        return false;
    stamp(db, counterBefore);
    return true;
}

void markCurrent(Database::ArticleChanges &changes, qint64 counter)
{
    changes = Database::ArticleChanges();
    changes.currentAt = counter;
}

} // namespace

void createEmpty(Database &db)
{
    createTables(db);
}

Statement prepareInsert(Database &db)
{
    return db.prepare(QStringLiteral("INSERT INTO %1 (id, folded, block, rad) VALUES (?, ?, ?, ?)")
                          .arg(QLatin1String(kTextTable)));
}

void FoldedRow::add(const char *utf8, qsizetype length)
{
    if (m_cells++ > 0)
        m_text += '\x1f';
    SwedishFold::appendFoldedUtf8(utf8, length, m_text);
}

void stampPrivateFile(Database &db)
{
    Transaction write(db);
    stamp(db, changeCounter(db));
    write.commit();
}

bool isCurrent(Database &db)
{
    // A write-ahead log leaves the counter behind, so the stamp would prove nothing.
    if (db.usesWriteAheadLog() || !hasTables(db))
        return false;
    const auto [counter, schema] = storedStamp(db);
    const qint64 now = changeCounter(db);
    return now >= 0 && counter == now && schema == schemaVersion(db);
}

bool prepare(Database &db, bool mayBuild)
{
    Database::ArticleChanges &changes = db.articleChanges();
    try {
        if (db.inTransaction())
            return false;
        {
            ReadTransaction read(db);
            if (isCurrent(db)) {
                markCurrent(changes, changeCounter(db));
                return true;
            }
            if (db.usesWriteAheadLog() || sqlite3_db_readonly(db.handle(), "main") != 0)
                return false;
        }
        const Database::ArticleChanges seen = changes;
        if (!mayBuild && (seen.currentAt < 0 || seen.all))
            return false;
        Transaction write(db);
        const qint64 before = changeCounter(db);
        if (before < 0)
            return false;
        const bool followed = seen.currentAt >= 0 && !seen.all && hasTables(db) &&
                              seen.currentAt + seen.commits == before &&
                              storedStamp(db) == std::pair(seen.currentAt, schemaVersion(db));
        if (!followed || !refresh(db, seen.rowIds, before)) {
            if (!mayBuild)
                return false;
            rebuild(db, before);
        }
        write.commit();
        markCurrent(changes, (before + 1) & 0xffffffff);
        ReadTransaction read(db);
        return isCurrent(db);
    } catch (const std::exception &) {
        // A locked or damaged file: the find reads every cell instead.
        return false;
    }
}

QString hitsSql()
{
    return QStringLiteral("SELECT id, block, rad FROM %1 WHERE SV_HOLDS(folded, ?3)")
        .arg(QLatin1String(kTextTable));
}

QString hitsInRangeSql()
{
    return hitsSql() + QStringLiteral(" AND id BETWEEN ?1 AND ?2");
}

QString idRangeSql()
{
    // Apart, each reads one end of the table; together they would read all of it.
    return QStringLiteral("SELECT (SELECT MIN(id) FROM %1), (SELECT MAX(id) FROM %1)")
        .arg(QLatin1String(kTextTable));
}

QByteArray fold(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    std::string folded;
    SwedishFold::appendFoldedUtf8(utf8.constData(), utf8.size(), folded);
    // A needle holding the separator could match across two cells.
    if (folded.find('\x1f') != std::string::npos)
        return {};
    return QByteArray(folded.data(), qsizetype(folded.size()));
}

} // namespace FindIndex
