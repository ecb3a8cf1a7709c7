#include "edit/FieldLength.h"

#include "core/AppError.h"
#include "core/Prompter.h"
#include "db/Database.h"
#include "db/Schema.h"

#include <sqlite3.h>

namespace FieldLength {

namespace {

struct ColumnDefinition
{
    QString name;
    QString type;
    bool notNull = false;
    QString defaultValue; // as written in the schema, empty when none
};

std::vector<ColumnDefinition> columnDefinitions(Database &db, const QString &table)
{
    std::vector<ColumnDefinition> columns;
    Statement st = db.prepare(QStringLiteral(
        "SELECT name, type, \"notnull\", dflt_value FROM pragma_table_info(?) ORDER BY cid"));
    st.bind(1, table);
    while (st.step())
        columns.push_back(
            {st.text(0), st.text(1), st.int64(2) != 0, st.isNull(3) ? QString() : st.text(3)});
    return columns;
}

// Text affinity, as SQLite decides it from the declared type; an INTEGER column such as the row
// number must not become text.
bool isTextType(const QString &type)
{
    return !type.contains(QLatin1String("INT"), Qt::CaseInsensitive) &&
           (type.contains(QLatin1String("CHAR"), Qt::CaseInsensitive) ||
            type.contains(QLatin1String("CLOB"), Qt::CaseInsensitive) ||
            type.contains(QLatin1String("TEXT"), Qt::CaseInsensitive));
}

QString actualTableName(Database &db, const QString &table)
{
    for (const QString &name : db.tables()) {
        if (name.compare(table, Qt::CaseInsensitive) == 0)
            return name;
    }
    throw AppError(SQLITE_ERROR, QStringLiteral("Tabellen %1 finns inte.").arg(table));
}

bool nameInUse(Database &db, const QString &name)
{
    return db.scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name = ? "
                                    "COLLATE NOCASE"),
                     name)
               .toLongLong() > 0;
}

// A name for the new table that no table, index, view or trigger uses yet.
QString freeTableName(Database &db, const QString &table)
{
    const QString base = QStringLiteral("MSysRebuild_") + table;
    QString name = base;
    for (int n = 2; nameInUse(db, name); ++n)
        name = base + QString::number(n);
    return name;
}

// The row id under a name that no column hides.
QString rowIdName(const std::vector<ColumnDefinition> &columns)
{
    for (const char *candidate : {"rowid", "_rowid_", "oid"}) {
        bool hidden = false;
        for (const ColumnDefinition &column : columns)
            hidden =
                hidden || column.name.compare(QLatin1String(candidate), Qt::CaseInsensitive) == 0;
        if (!hidden)
            return QLatin1String(candidate);
    }
    throw AppError(ErrorNumber::Unexpected, QStringLiteral("Radnumret kan inte läsas."));
}

// Views name the table only as text; with the newer rename rules the rename checks every view
// and fails on one that names the dropped table. The legacy rule leaves them alone, which is
// what the rebuild wants: afterwards the name is back.
class LegacyRename
{
public:
    explicit LegacyRename(Database &db) : m_db(db)
    {
        m_previous = m_db.scalar(QStringLiteral("PRAGMA legacy_alter_table")).toLongLong();
        m_db.exec(QStringLiteral("PRAGMA legacy_alter_table = ON"));
    }
    ~LegacyRename()
    {
        try {
            m_db.exec(QStringLiteral("PRAGMA legacy_alter_table = %1").arg(m_previous));
        } catch (...) {
        }
    }
    LegacyRename(const LegacyRename &) = delete;
    LegacyRename &operator=(const LegacyRename &) = delete;

private:
    Database &m_db;
    qint64 m_previous = 0;
};

// SQLite cannot change a declared type in place; this is its documented rebuild: new table,
// copy, drop, rename, then the table's indexes and triggers again from their own SQL.
void rebuildTable(Database &db, const QString &requestedTable, const QString &requestedColumn,
                  int newSize, bool cutValues)
{
    const QString table = actualTableName(db, requestedTable);
    std::vector<ColumnDefinition> columns = columnDefinitions(db, table);
    ColumnDefinition *changed = nullptr;
    for (ColumnDefinition &column : columns) {
        if (column.name.compare(requestedColumn, Qt::CaseInsensitive) == 0) {
            changed = &column;
            break;
        }
    }
    if (!changed)
        throw AppError(
            SQLITE_ERROR,
            QStringLiteral("Fältet %1 finns inte i tabellen %2.").arg(requestedColumn, table));
    if (!isTextType(changed->type))
        throw AppError(ErrorNumber::TypeMismatch,
                       QStringLiteral("Fältet %1 är inget textfält.").arg(changed->name));

    const QString quotedTable = quoteIdentifier(table);
    if (cutValues) {
        db.prepare(QStringLiteral("UPDATE %1 SET %2 = substr(%2, 1, ?1) WHERE length(%2) > ?1")
                       .arg(quotedTable, quoteIdentifier(changed->name)))
            .bind(1, qint64(newSize))
            .run();
    }
    changed->type = QStringLiteral("VARCHAR(%1)").arg(newSize);

    QStringList dependents;
    {
        Statement st = db.prepare(
            QStringLiteral("SELECT sql FROM sqlite_master WHERE tbl_name = ? COLLATE NOCASE "
                           "AND type IN ('index', 'trigger') AND sql IS NOT NULL ORDER BY rowid"));
        st.bind(1, table);
        while (st.step())
            dependents << st.text(0);
    }

    QStringList definitions;
    QStringList names;
    for (const ColumnDefinition &column : columns) {
        QString definition = quoteIdentifier(column.name);
        if (!column.type.isEmpty())
            definition += QLatin1Char(' ') + column.type;
        if (column.notNull)
            definition += QStringLiteral(" NOT NULL");
        if (!column.defaultValue.isEmpty())
            definition += QStringLiteral(" DEFAULT ") + column.defaultValue;
        definitions << definition;
        names << quoteIdentifier(column.name);
    }
    const QString rebuilt = freeTableName(db, table);
    const QString quotedRebuilt = quoteIdentifier(rebuilt);
    // The row ids go along, so every unordered read still meets the rows in the same order.
    const QString rowId = rowIdName(columns);
    const QString columnList = names.join(QStringLiteral(", "));
    db.exec(QStringLiteral("CREATE TABLE %1 (%2)")
                .arg(quotedRebuilt, definitions.join(QStringLiteral(", "))));
    db.exec(QStringLiteral("INSERT INTO %1 (%2, %3) SELECT %2, %3 FROM %4")
                .arg(quotedRebuilt, rowId, columnList, quotedTable));
    db.exec(QStringLiteral("DROP TABLE %1").arg(quotedTable));
    db.exec(QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(quotedRebuilt, quotedTable));
    for (const QString &sql : dependents)
        db.exec(sql);
}

} // namespace

int lengthValue(const QString &text)
{
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return -1;
    }
    bool ok = false;
    const int value = (QLatin1Char('0') + text).toInt(&ok);
    return ok ? value : -1;
}

bool acceptableInput(const QString &text)
{
    const int value = lengthValue(text);
    return value >= 0 && value <= kLongest;
}

void changeColumnSize(Database &db, const QString &column, int newSize, bool cutValues)
{
    const LegacyRename legacyRename(db);
    Transaction transaction(db);
    rebuildTable(db, QLatin1String(Schema::kArticles), column, newSize, cutValues);
    rebuildTable(db, QLatin1String(Schema::kEqv), column, newSize, cutValues);
    transaction.commit();
}

Outcome apply(Database &db, Prompter &prompter, const QString &column, const QString &currentSize,
              const QString &lengthText, const std::function<void(bool)> &busy)
{
    const int length = lengthValue(lengthText);
    if (length > kLongest) {
        prompter.error(QStringLiteral("Stränglängd kan inte vara mer än 255 tecken"));
        return Outcome::Refused;
    }
    if (length < kShortest) {
        prompter.error(QStringLiteral("Stränglängd kan inte vara mindre än 5 tecken"));
        return Outcome::Refused;
    }
    // Values are cut only after a Yes; a No leaves everything as it was.
    const bool shortening = lengthValue(currentSize.trimmed()) > length;
    if (shortening &&
        !prompter.question(MessageIcon::Error, QString(),
                           QStringLiteral("Data kan förloras! Är du säker, att du vill minska "
                                          "fältlängd?\nBekräfta minskning av fältlängd.")))
        return Outcome::Refused;
    QString failure;
    if (busy)
        busy(true);
    try {
        changeColumnSize(db, column, length, shortening);
    } catch (const AppError &e) {
        failure = QString::number(e.number()) + QStringLiteral(": ") + e.description();
    } catch (const std::exception &e) {
        failure = QString::number(ErrorNumber::Unexpected) + QStringLiteral(": ") +
                  QString::fromLocal8Bit(e.what());
    }
    if (busy)
        busy(false);
    if (failure.isEmpty())
        return Outcome::Changed;
    prompter.message(MessageIcon::None, QString(), failure);
    return Outcome::Failed;
}

int longestValue(Database &db, const QString &column)
{
    const QString name = quoteIdentifier(column);
    // LENGTH counts characters of a text, as the field lengths do.
    return db
        .scalar(QStringLiteral("SELECT MAX(COALESCE((SELECT MAX(LENGTH(%1)) FROM Articles), 0), "
                               "COALESCE((SELECT MAX(LENGTH(%1)) FROM Eqv), 0))")
                    .arg(name))
        .toInt();
}

} // namespace FieldLength
