#include "check/CheckContext.h"
#include "check/Rules.h"
#include "core/Cp1252.h"
#include "db/Database.h"
#include "db/Schema.h"

#include <sqlite3.h>

#include <vector>

namespace {

// CP1252_OK(text): whether Windows-1252 holds every character; null and numbers pass.
void cp1252Ok(sqlite3_context *context, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) != SQLITE_TEXT) {
        sqlite3_result_int(context, 1);
        return;
    }
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
    sqlite3_result_int(context, Cp1252::canEncodeUtf8(text, sqlite3_value_bytes(argv[0])));
}

// Characters as the export counts them: a character outside the BMP is one.
qsizetype characters(const QString &text)
{
    qsizetype count = 0;
    for (const QChar c : text)
        count += c.isLowSurrogate() ? 0 : 1;
    return count;
}

// The condition that picks a row whose value in `name` breaks one of the value rules.
QString faultCondition(const ColumnInfo &column)
{
    const QString name = quoteIdentifier(column.name);
    QString condition = QStringLiteral("NOT CP1252_OK(%1) OR (SUBSTR(%1, 1, 1) = ' ' AND "
                                       "RTRIM(%1, ' ') <> '') OR INSTR(%1, CHAR(10)) > 0 OR "
                                       "INSTR(%1, CHAR(13)) > 0")
                            .arg(name);
    if (column.size > 0)
        condition += QStringLiteral(" OR LENGTH(RTRIM(%1, ' ')) > %2")
                         .arg(name, QString::number(column.size));
    return QLatin1Char('(') + condition + QLatin1Char(')');
}

struct Row
{
    QString table;
    QString blockName;
    qint64 row;
    QString type;
};

void judge(CheckContext &context, const Row &row, const ColumnInfo &column, const QString &value)
{
    const auto add = [&](const char *rule, Severity severity, const QString &message) {
        context.add(rule, severity, message, row.table, row.blockName, row.row, row.type,
                    column.name);
    };
    QString kept = value;
    while (kept.endsWith(QLatin1Char(' ')))
        kept.chop(1);
    const qsizetype length = characters(kept);
    if (column.size > 0 && length > column.size)
        add("value-too-long", Severity::Error,
            QStringLiteral("Värdet har %1 tecken men fältet rymmer %2; exporten kapar det.")
                .arg(length)
                .arg(column.size));
    if (!Cp1252::canEncode(value))
        add("value-not-cp1252", Severity::Error,
            QStringLiteral("Värdet har tecken som Windows-1252 inte kan hålla; exporten skriver "
                           "\"?\" i deras ställe."));
    if (value.startsWith(QLatin1Char(' ')) && !kept.isEmpty())
        add("value-leading-space", Severity::Warning,
            QStringLiteral("Värdet börjar med mellanslag."));
    if (value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r')))
        add("value-line-break", Severity::Error,
            QStringLiteral("Värdet innehåller en radbrytning, som delar posten i exportfilen."));
}

void checkTable(CheckContext &context, const char *table)
{
    std::vector<ColumnInfo> columns;
    QStringList conditions;
    QStringList selected;
    for (const ColumnInfo &column : context.db.columns(QLatin1String(table))) {
        if (column.isInteger)
            continue;
        columns.push_back(column);
        conditions << faultCondition(column);
        selected << quoteIdentifier(column.name);
    }
    if (columns.empty())
        return;
    const QString type = Schema::columnNamed(context.db, table, Schema::kType);
    Statement rows = context.db.prepare(
        QStringLiteral("SELECT BL_NAME, RAD, %1, %2 FROM %3 WHERE %4 ORDER BY BL_NAME, RAD")
            .arg(type.isEmpty() ? QStringLiteral("NULL") : quoteIdentifier(type),
                 selected.join(QStringLiteral(", ")), quoteIdentifier(QLatin1String(table)),
                 conditions.join(QStringLiteral(" OR "))));
    while (rows.step()) {
        const Row row{QLatin1String(table), rows.text(0), rowNumberAt(rows, 1), rows.text(2)};
        for (size_t i = 0; i < columns.size(); ++i) {
            if (rows.type(int(i) + 3) == Statement::Type::Text)
                judge(context, row, columns[i], rows.text(int(i) + 3));
        }
    }
}

} // namespace

namespace CheckRules {

void values(CheckContext &context)
{
    sqlite3_create_function(context.db.handle(), "CP1252_OK", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                            nullptr, cp1252Ok, nullptr, nullptr);
    checkTable(context, Schema::kArticles);
    checkTable(context, Schema::kEqv);
}

} // namespace CheckRules
