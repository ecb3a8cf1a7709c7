#include "check/CheckContext.h"
#include "check/Rules.h"
#include "db/Database.h"
#include "db/Schema.h"
#include "edit/ContactDefinition.h"

#include <QHash>

namespace {

// Why the contact-definition dialog, opened on the text and confirmed unchanged, would not give
// it back; empty when it would.
QString roundTripFault(const QString &text)
{
    ContactDefinition definition;
    definition.DisplayPresets(text);
    const QString back = definition.BuildDefinition();
    if (back == text)
        return {};
    if (back.isEmpty())
        return QStringLiteral("Kontaktdefinitionen \"%1\" kan inte läsas av kontaktdialogen.")
            .arg(text);
    return QStringLiteral("Kontaktdefinitionen \"%1\" läses tillbaka som \"%2\".").arg(text, back);
}

} // namespace

namespace CheckRules {

void contacts(CheckContext &context)
{
    const QString column = Schema::columnNamed(context.db, Schema::kArticles, Schema::kContacts);
    if (column.isEmpty())
        return;
    Statement rows = context.db.prepare(
        QStringLiteral("SELECT BL_NAME, RAD, %2, %1 FROM Articles WHERE IFNULL(%1, '') <> '' "
                       "ORDER BY BL_NAME, RAD")
            .arg(quoteIdentifier(column), context.typeExpression()));
    // Many articles share a text; each is read once.
    QHash<QString, QString> faults;
    while (rows.step()) {
        const QString text = rows.text(3);
        auto it = faults.constFind(text);
        if (it == faults.constEnd())
            it = faults.insert(text, roundTripFault(text));
        if (it->isEmpty())
            continue;
        context.add("cconf-round-trip", Severity::Error, *it, QLatin1String(Schema::kArticles),
                    rows.text(0), rowNumberAt(rows, 1), rows.text(2), column);
    }
}

} // namespace CheckRules
