#include "browse/GroupTree.h"

#include "db/Database.h"
#include "db/Schema.h"

namespace GroupTree {

QList<Group> groups(Database &db)
{
    QList<Group> result;
    Statement st = db.prepare(QStringLiteral(
        "SELECT BL_NAME, DESCRIPTION FROM Designations ORDER BY DESCRIPTION COLLATE SV, "
        "BL_NAME COLLATE SV"));
    while (st.step())
        result.append({st.text(0), st.text(1)});
    return result;
}

std::optional<QStringList> manufacturers(Database &db, const QString &blockName)
{
    if (!FieldExists(db, QLatin1String(Schema::kArticles), Schema::kManufacturer))
        return std::nullopt;
    QStringList result;
    Statement st =
        db.prepare(QStringLiteral("SELECT DISTINCT FABRIKAT FROM Articles WHERE BL_NAME = ?"));
    st.bind(1, blockName);
    while (st.step()) {
        const QString name = st.text(0);
        // Blanks and dashes alone are no manufacturer (a tab is text).
        if (QString(name).remove(QLatin1Char('-')).remove(QLatin1Char(' ')).isEmpty())
            continue;
        result << name;
    }
    return result;
}

} // namespace GroupTree
