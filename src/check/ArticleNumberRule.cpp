#include "check/CheckContext.h"
#include "check/Rules.h"
#include "db/Database.h"
#include "db/Schema.h"

namespace CheckRules {

// Every article after the first with the same ARTNR and FABRIKAT, in group and row order.
void articleNumbers(CheckContext &context)
{
    const QString number =
        Schema::columnNamed(context.db, Schema::kArticles, QStringLiteral("ARTNR"));
    const QString maker =
        Schema::columnNamed(context.db, Schema::kArticles, QStringLiteral("FABRIKAT"));
    if (number.isEmpty() || maker.isEmpty())
        return;
    Statement rows = context.db.prepare(
        QStringLiteral(
            "SELECT BL_NAME, RAD, typ, nr, firstName, firstRow FROM (SELECT BL_NAME, RAD, typ, "
            "nr, ROW_NUMBER() OVER w AS k, FIRST_VALUE(BL_NAME) OVER w AS firstName, "
            "FIRST_VALUE(RAD) OVER w AS firstRow FROM (SELECT BL_NAME, RAD, %3 AS typ, "
            "TRIM(%1) AS nr, TRIM(IFNULL(%2, '')) AS maker FROM Articles "
            "WHERE TRIM(IFNULL(%1, '')) <> '') "
            "WINDOW w AS (PARTITION BY nr, maker ORDER BY BL_NAME, RAD)) "
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
