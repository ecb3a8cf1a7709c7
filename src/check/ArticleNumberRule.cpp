#include "check/CheckContext.h"
#include "check/Rules.h"
#include "db/Database.h"
#include "db/Schema.h"

namespace CheckRules {

// Every article after the first with the same ARTNR and FABRIKAT, in group and row order. The
// values are compared as stored: the import and the grid keep no blanks around them.
void articleNumbers(CheckContext &context)
{
    const QString number =
        Schema::columnNamed(context.db, Schema::kArticles, Schema::kArticleNumber);
    const QString maker = Schema::columnNamed(context.db, Schema::kArticles, Schema::kManufacturer);
    if (number.isEmpty() || maker.isEmpty())
        return;
    // The keys that occur twice are found first through a grouping; only their rows are
    // numbered, so a catalogue without duplicates costs one pass.
    Statement rows = context.db.prepare(
        QStringLiteral(
            "WITH dup AS (SELECT %1 AS nr, IFNULL(%2, '') AS maker FROM Articles WHERE %1 <> '' "
            "GROUP BY 1, 2 HAVING COUNT(*) > 1) "
            "SELECT BL_NAME, RAD, typ, nr, firstName, firstRow FROM (SELECT a.BL_NAME, a.RAD, "
            "a.%3 AS typ, dup.nr, ROW_NUMBER() OVER w AS k, FIRST_VALUE(a.BL_NAME) OVER w AS "
            "firstName, FIRST_VALUE(a.RAD) OVER w AS firstRow FROM Articles AS a JOIN dup "
            "ON a.%1 = dup.nr AND IFNULL(a.%2, '') = dup.maker "
            "WINDOW w AS (PARTITION BY dup.nr, dup.maker ORDER BY a.BL_NAME, a.RAD)) "
            "WHERE k > 1 ORDER BY BL_NAME, RAD")
            .arg(quoteIdentifier(number), quoteIdentifier(maker), context.typeExpression()));
    while (rows.step())
        context.add("artnr-duplicate", Severity::Info,
                    QStringLiteral("Artikelnumret %1 från samma fabrikat finns också i gruppen "
                                   "%2, rad %3.")
                        .arg(rows.text(3), rows.text(4), rows.text(5)),
                    QLatin1String(Schema::kArticles), rows.text(0), rowNumberAt(rows, 1),
                    rows.text(2), number);
}

} // namespace CheckRules
