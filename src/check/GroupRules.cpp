#include "check/CheckContext.h"
#include "check/Rules.h"
#include "db/Database.h"
#include "db/Schema.h"

namespace {

const QString kArticles = QLatin1String(Schema::kArticles);

bool isNumber(const QString &text)
{
    bool ok = false;
    text.toLongLong(&ok);
    return ok;
}

// A group's first row (by row number) is its head row; its TYP must be a head form.
void heads(CheckContext &context)
{
    if (context.articleType.isEmpty())
        return;
    // SQLite takes the other columns of a MIN() group from the row holding the minimum.
    Statement rows = context.db.prepare(
        QStringLiteral("SELECT BL_NAME, MIN(RAD), TRIM(IFNULL(%1, '')) FROM Articles "
                       "WHERE BL_NAME IS NOT NULL GROUP BY BL_NAME ORDER BY BL_NAME")
            .arg(quoteIdentifier(context.articleType)));
    while (rows.step()) {
        const QString type = rows.text(2);
        if (Schema::isHeadType(type))
            continue;
        if (type.isEmpty() || isNumber(type))
            context.add("group-no-head", Severity::Error,
                        QStringLiteral("Gruppen saknar huvudrad: dess första rad är en artikel."),
                        kArticles, rows.text(0), rowNumberAt(rows, 1), type, Schema::kType);
        else
            context.add("group-bad-head-type", Severity::Error,
                        QStringLiteral("Huvudradens typ \"%1\" är inte \"-\", \"T-\" eller \"F-\".")
                            .arg(type),
                        kArticles, rows.text(0), rowNumberAt(rows, 1), type, Schema::kType);
    }
}

// Every article of a group after the first with the same type number.
void typeDuplicates(CheckContext &context)
{
    if (context.articleType.isEmpty())
        return;
    // The colliding (group, type) pairs first, through a grouping; only their rows are numbered.
    Statement rows = context.db.prepare(
        QStringLiteral("WITH dup AS (SELECT BL_NAME AS name, %1 AS t FROM Articles "
                       "WHERE BL_NAME IS NOT NULL AND %1 <> '' GROUP BY 1, 2 "
                       "HAVING COUNT(*) > 1) "
                       "SELECT BL_NAME, RAD, t, first FROM (SELECT a.BL_NAME, a.RAD, dup.t, "
                       "ROW_NUMBER() OVER w AS k, FIRST_VALUE(a.RAD) OVER w AS first "
                       "FROM Articles AS a JOIN dup ON a.BL_NAME = dup.name AND a.%1 = dup.t "
                       "WINDOW w AS (PARTITION BY a.BL_NAME, dup.t ORDER BY a.RAD)) "
                       "WHERE k > 1 ORDER BY BL_NAME, RAD")
            .arg(quoteIdentifier(context.articleType)));
    while (rows.step())
        context.add("type-duplicate", Severity::Error,
                    QStringLiteral("Typnumret %1 finns redan på rad %2 i samma grupp.")
                        .arg(rows.text(2), rows.text(3)),
                    kArticles, rows.text(0), rowNumberAt(rows, 1), rows.text(2), Schema::kType);
}

void designations(CheckContext &context)
{
    Statement lacking = context.db.prepare(QStringLiteral(
        "SELECT BL_NAME, MIN(RAD) FROM Articles AS a WHERE BL_NAME IS NOT NULL AND NOT EXISTS "
        "(SELECT 1 FROM Designations AS d WHERE d.BL_NAME = a.BL_NAME) "
        "GROUP BY BL_NAME ORDER BY BL_NAME"));
    while (lacking.step())
        context.add("group-without-designation", Severity::Error,
                    QStringLiteral("Gruppen har ingen rad i Designations och saknar därför "
                                   "benämning i trädet."),
                    kArticles, lacking.text(0), rowNumberAt(lacking, 1), {}, Schema::kBlockName);
    Statement empty = context.db.prepare(QStringLiteral(
        "SELECT BL_NAME FROM Designations AS d WHERE NOT EXISTS "
        "(SELECT 1 FROM Articles AS a WHERE a.BL_NAME = d.BL_NAME) ORDER BY BL_NAME"));
    while (empty.step())
        context.add("designation-without-articles", Severity::Warning,
                    QStringLiteral("Gruppen finns i Designations men har inga artiklar."),
                    QLatin1String(Schema::kDesignations), empty.text(0), -1, {},
                    Schema::kBlockName);
}

// A database from elsewhere can hold two rows of one group with the same row number; their
// order in the exchange file is then left to chance.
void rowNumbers(CheckContext &context)
{
    for (const char *table : {Schema::kArticles, Schema::kEqv}) {
        Statement rows = context.db.prepare(
            QStringLiteral("SELECT BL_NAME, RAD, COUNT(*) FROM %1 WHERE RAD IS NOT NULL "
                           "GROUP BY BL_NAME, RAD HAVING COUNT(*) > 1 ORDER BY BL_NAME, RAD")
                .arg(quoteIdentifier(QLatin1String(table))));
        while (rows.step())
            context.add("row-number-duplicate", Severity::Warning,
                        QStringLiteral("%1 rader i gruppen har radnumret %2.")
                            .arg(rows.text(2), rows.text(1)),
                        QLatin1String(table), rows.text(0), rowNumberAt(rows, 1), {},
                        Schema::kRowNumber);
    }
}

} // namespace

namespace CheckRules {

void groups(CheckContext &context)
{
    heads(context);
    typeDuplicates(context);
    designations(context);
    rowNumbers(context);
}

} // namespace CheckRules
