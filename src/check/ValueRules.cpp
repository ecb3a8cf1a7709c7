#include "check/CheckContext.h"
#include "check/Rules.h"
#include "core/Cp1252.h"
#include "db/Database.h"
#include "db/Schema.h"

#include <algorithm>
#include <tuple>
#include <vector>

namespace {

// One pass over the raw UTF-8 bytes of every value: far cheaper than five SQL expressions per
// value, and the same reading the export's writer makes of them.
struct Value
{
    const char *begin;
    const char *end;

    bool startsWithSpace() const { return begin < end && *begin == ' '; }
    bool blank() const
    {
        return std::all_of(begin, end, [](char c) { return c == ' '; });
    }
    bool hasLineBreak() const
    {
        return std::any_of(begin, end, [](char c) { return c == '\n' || c == '\r'; });
    }
    // Characters as the export counts them, blanks at the end left out (they are padding).
    qsizetype characters() const
    {
        const char *last = end;
        while (last > begin && last[-1] == ' ')
            --last;
        return std::count_if(begin, last, [](char c) { return (c & 0xC0) != 0x80; });
    }
};

struct Row
{
    QString table;
    QString blockName;
    qint64 row;
    QString type;
};

void judge(CheckContext &context, const Row &row, const ColumnInfo &column, const Value &value)
{
    const auto add = [&](const char *rule, Severity severity, const QString &message) {
        context.add(rule, severity, message, row.table, row.blockName, row.row, row.type,
                    column.name);
    };
    const qsizetype length = column.size > 0 ? value.characters() : 0;
    if (length > column.size)
        add("value-too-long", Severity::Error,
            QStringLiteral("Värdet har %1 tecken men fältet rymmer %2; exporten kapar det.")
                .arg(length)
                .arg(column.size));
    if (!Cp1252::canEncodeUtf8(value.begin, value.end - value.begin))
        add("value-not-cp1252", Severity::Error,
            QStringLiteral("Värdet har tecken som Windows-1252 inte kan hålla; exporten skriver "
                           "\"?\" i deras ställe."));
    if (value.startsWithSpace() && !value.blank())
        add("value-leading-space", Severity::Warning,
            QStringLiteral("Värdet börjar med mellanslag."));
    if (value.hasLineBreak())
        add("value-line-break", Severity::Error,
            QStringLiteral("Värdet innehåller en radbrytning, som delar posten i exportfilen."));
}

bool faulty(const ColumnInfo &column, const Value &value)
{
    return (column.size > 0 && value.end - value.begin > column.size &&
            value.characters() > column.size) ||
           (value.startsWithSpace() && !value.blank()) || value.hasLineBreak() ||
           !Cp1252::canEncodeUtf8(value.begin, value.end - value.begin);
}

void checkTable(CheckContext &context, const char *table)
{
    std::vector<ColumnInfo> columns;
    QStringList selected;
    for (const ColumnInfo &column : context.db.columns(QLatin1String(table))) {
        if (column.isInteger)
            continue;
        columns.push_back(column);
        selected << quoteIdentifier(column.name);
    }
    if (columns.empty())
        return;
    const QString type = Schema::columnNamed(context.db, table, Schema::kType);
    // Read in storage order, without sorting every row; the few findings are sorted after.
    const qsizetype first = context.findings.size();
    Statement rows = context.db.prepare(
        QStringLiteral("SELECT BL_NAME, RAD, %1, %2 FROM %3")
            .arg(type.isEmpty() ? QStringLiteral("NULL") : quoteIdentifier(type),
                 selected.join(QStringLiteral(", ")), quoteIdentifier(QLatin1String(table))));
    while (rows.step()) {
        for (size_t i = 0; i < columns.size(); ++i) {
            const int at = int(i) + 3;
            if (rows.type(at) != Statement::Type::Text)
                continue;
            qsizetype length = 0;
            const char *utf8 = rows.utf8(at, &length);
            const Value value{utf8, utf8 + length};
            if (!faulty(columns[i], value))
                continue;
            const Row row{QLatin1String(table), rows.text(0), rowNumberAt(rows, 1), rows.text(2)};
            judge(context, row, columns[i], value);
        }
    }
    std::stable_sort(context.findings.begin() + first, context.findings.end(),
                     [](const Finding &a, const Finding &b) {
                         return std::tie(a.blockName, a.row) < std::tie(b.blockName, b.row);
                     });
}

} // namespace

namespace CheckRules {

void values(CheckContext &context)
{
    checkTable(context, Schema::kArticles);
    checkTable(context, Schema::kEqv);
}

} // namespace CheckRules
