#include "check/CheckContext.h"
#include "check/Rules.h"
#include "db/Database.h"
#include "db/Schema.h"

namespace {

// The prefix as a LIKE pattern that matches it literally, as the accessory picker lists groups.
QString prefixPattern(const QString &prefix)
{
    QString pattern;
    for (const QChar c : prefix) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('%') || c == QLatin1Char('_'))
            pattern += QLatin1Char('\\');
        pattern += c;
    }
    return pattern + QLatin1Char('%');
}

// An accessory reference names a group of the catalogue that the picker offers.
void accessories(CheckContext &context)
{
    const QString column =
        Schema::columnNamed(context.db, Schema::kArticles, Schema::kAccessoryGroup);
    if (column.isEmpty())
        return;
    Statement rows = context.db.prepare(
        QStringLiteral(
            "SELECT BL_NAME, RAD, typ, ref, known, accessory FROM (SELECT a.BL_NAME, a.RAD, "
            "%2 AS typ, TRIM(a.%1) AS ref, "
            "EXISTS (SELECT 1 FROM Designations AS d WHERE d.BL_NAME = TRIM(a.%1)) "
            "OR EXISTS (SELECT 1 FROM Articles AS b WHERE b.BL_NAME = TRIM(a.%1)) AS known, "
            "EXISTS (SELECT 1 FROM Designations AS d WHERE d.BL_NAME = TRIM(a.%1) "
            "AND d.DESCRIPTION LIKE ?1 ESCAPE '\\') AS accessory "
            "FROM Articles AS a WHERE TRIM(IFNULL(a.%1, '')) <> '') "
            "WHERE NOT accessory ORDER BY BL_NAME, RAD")
            .arg(quoteIdentifier(column), context.typeExpression()));
    rows.bind(1, prefixPattern(context.accessoryPrefix));
    while (rows.step()) {
        const bool known = rows.int64(4) != 0;
        const QString message =
            known
                ? QStringLiteral("Tillbehörsgruppen %1 är ingen tillbehörsgrupp: dess "
                                 "benämning börjar inte med \"%2\".")
                      .arg(rows.text(3), context.accessoryPrefix)
                : QStringLiteral("Tillbehörsgruppen %1 finns inte i katalogen.").arg(rows.text(3));
        context.add(known ? "tbh-app-not-accessory" : "tbh-app-missing-group",
                    known ? Severity::Warning : Severity::Error, message,
                    QLatin1String(Schema::kArticles), rows.text(0), rowNumberAt(rows, 1),
                    rows.text(2), column);
    }
}

// A "=" line names the group it stands for; the export leaves it out when that is missing.
void equivalences(CheckContext &context)
{
    if (context.eqvDesignation.isEmpty())
        return;
    Statement rows = context.db.prepare(
        QStringLiteral("SELECT BL_NAME, RAD, target FROM (SELECT BL_NAME, RAD, "
                       "TRIM(SUBSTR(%1, 2)) AS target FROM Eqv WHERE SUBSTR(%1, 1, 1) = '=') "
                       "AS e WHERE NOT EXISTS (SELECT 1 FROM Articles WHERE BL_NAME = e.target) "
                       "AND NOT EXISTS (SELECT 1 FROM Eqv WHERE BL_NAME = e.target) "
                       "ORDER BY BL_NAME, RAD")
            .arg(quoteIdentifier(context.eqvDesignation)));
    while (rows.step())
        context.add("eqv-missing-target", Severity::Warning,
                    QStringLiteral("Ekvivalensraden pekar på gruppen %1, som inte finns; "
                                   "exporten utelämnar raden.")
                        .arg(rows.text(2)),
                    QLatin1String(Schema::kEqv), rows.text(0), rowNumberAt(rows, 1), {},
                    context.eqvDesignation);
}

} // namespace

namespace CheckRules {

void references(CheckContext &context)
{
    accessories(context);
    equivalences(context);
}

} // namespace CheckRules
