#include "check/CheckContext.h"
#include "check/Rules.h"
#include "db/Database.h"
#include "db/Schema.h"
#include "edit/ContactDefinition.h"

#include <QHash>

namespace {

// What the contact-definition dialog makes of a text it is opened on and confirmed unchanged.
bool readsBack(const QString &text)
{
    ContactDefinition definition;
    definition.DisplayPresets(text);
    return definition.BuildDefinition() == text;
}

} // namespace

namespace CheckRules {

void contacts(CheckContext &context)
{
    const QString column =
        Schema::columnNamed(context.db, Schema::kArticles, QStringLiteral("CCONF"));
    if (column.isEmpty())
        return;
    Statement rows = context.db.prepare(
        QStringLiteral("SELECT BL_NAME, RAD, %2, %1 FROM Articles WHERE IFNULL(%1, '') <> '' "
                       "ORDER BY BL_NAME, RAD")
            .arg(quoteIdentifier(column), context.typeExpression()));
    // Many articles share a text; each is read once.
    QHash<QString, bool> known;
    while (rows.step()) {
        const QString text = rows.text(3);
        auto it = known.constFind(text);
        if (it == known.constEnd())
            it = known.insert(text, readsBack(text));
        if (*it)
            continue;
        ContactDefinition definition;
        definition.DisplayPresets(text);
        const QString back = definition.BuildDefinition();
        context.add("cconf-round-trip", Severity::Error,
                    back.isEmpty()
                        ? QStringLiteral("Kontaktdefinitionen \"%1\" kan inte läsas av "
                                         "kontaktdialogen.")
                              .arg(text)
                        : QStringLiteral("Kontaktdefinitionen \"%1\" läses tillbaka som \"%2\".")
                              .arg(text, back),
                    QLatin1String(Schema::kArticles), rows.text(0), rowNumberAt(rows, 1),
                    rows.text(2), column);
    }
}

} // namespace CheckRules
