#include "edit/AccessoryPick.h"

#include "core/Settings.h"
#include "db/Database.h"
#include "db/Schema.h"

#include <QStringView>

#include <algorithm>
#include <optional>

namespace {

// The prefix as a LIKE pattern that matches it literally: its own % and _ are escaped.
QString prefixPattern(const QString &prefix)
{
    QString pattern;
    pattern.reserve(prefix.size() + 1);
    for (const QChar c : prefix) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('%') || c == QLatin1Char('_'))
            pattern += QLatin1Char('\\');
        pattern += c;
    }
    return pattern + QLatin1Char('%');
}

} // namespace

namespace AccessoryPick {

QString accessoryPrefix()
{
    return Settings::read(Settings::AccessoriesPrefix);
}

QList<Group> accessoryGroups(Database &db, const QString &prefix)
{
    Statement st =
        db.prepare(QStringLiteral("SELECT BL_NAME, DESCRIPTION FROM Designations "
                                  "WHERE DESCRIPTION LIKE ? ESCAPE '\\' "
                                  "ORDER BY DESCRIPTION COLLATE SV, BL_NAME COLLATE SV"));
    st.bind(1, prefixPattern(prefix));
    QList<Group> groups;
    while (st.step())
        groups.append({st.text(0), st.text(1)});
    return groups;
}

QString noGroupsTitle()
{
    return QStringLiteral("Inga tillbehörsgrupper");
}

QString noGroupsText(const QString &prefix)
{
    return QStringLiteral("Det finns inga artikelgrupper som linleds med '") + prefix +
           QLatin1Char('\'');
}

Preview previewArticles(Database &db, const QString &blockName)
{
    QString order = quoteIdentifier(Schema::kRowNumber);
    const QString type = Schema::columnNamed(db, Schema::kArticles, Schema::kType);
    if (!type.isEmpty())
        order += QStringLiteral(", ") + quoteIdentifier(type);
    Statement st = db.prepare(QStringLiteral("SELECT * FROM %1 WHERE %2 = ? ORDER BY %3 LIMIT ?")
                                  .arg(quoteIdentifier(QLatin1String(Schema::kArticles)),
                                       quoteIdentifier(Schema::kBlockName), order));
    st.bind(1, blockName).bind(2, qint64(kPreviewArticles));

    Preview preview;
    const int last = std::min(st.columnCount(), kFirstPreviewField + kPreviewFields);
    for (int column = kFirstPreviewField; column < last; ++column)
        preview.fields << st.columnName(column);
    while (st.step()) {
        QStringList values;
        for (int column = kFirstPreviewField; column < last; ++column)
            values << (st.isNull(column) ? QString() : st.text(column));
        preview.rows << values;
    }
    return preview;
}

Result writeBlockName(ArticleGrid &grid, const ArticleGrid::CellRange &selection,
                      const QString &blockName)
{
    if (blockName.isEmpty())
        return {};
    const std::optional<ArticleGrid::CellRange> range = grid.dataRange(selection);
    if (!range || Schema::isProtectedColumn(grid.text(0, range->c1)))
        return {};
    const ArticleGrid::CellRange written{range->r1, range->c1, range->r2, range->c1};
    Result result;
    for (int row = written.r1; row <= written.r2; ++row)
        result.cuts.write(grid, row, written.c1, blockName);
    grid.setSelection(written);
    result.edited = true;
    result.change = GridChange::cellsChanged(written);
    return result;
}

} // namespace AccessoryPick
