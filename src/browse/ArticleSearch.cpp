#include "browse/ArticleSearch.h"

#include "browse/ArticleGrid.h"
#include "core/SwedishFold.h"
#include "db/Database.h"
#include "db/Schema.h"

#include <QStringList>

namespace ArticleSearch {

namespace {

// The named column of Articles as an expression, or NULL when the table lacks it.
QString columnOrNull(const std::vector<ColumnInfo> &columns, const QString &name)
{
    for (const ColumnInfo &c : columns) {
        if (c.name.compare(name, Qt::CaseInsensitive) == 0)
            return QStringLiteral("a.") + quoteIdentifier(c.name);
    }
    return QStringLiteral("NULL");
}

std::vector<ColumnInfo> articleColumns(Database &db)
{
    return db.columns(QString::fromLatin1(Schema::kArticles));
}

// The index of the first column of one article that holds the text ?1; the article's rowid
// is ?2.
QString columnSql(const std::vector<ColumnInfo> &columns)
{
    QString which = QStringLiteral("CASE");
    for (size_t i = 0; i < columns.size(); ++i) {
        which += QStringLiteral(" WHEN SV_CONTAINS(a.%1, ?1) THEN %2")
                     .arg(quoteIdentifier(columns[i].name))
                     .arg(i);
    }
    which += QStringLiteral(" END");
    return QStringLiteral("SELECT %1 FROM Articles a WHERE a.%2 = ?2")
        .arg(which, rowIdName(columns));
}

} // namespace

QString findSql(Database &db, const QString &test)
{
    const std::vector<ColumnInfo> columns = articleColumns(db);
    // One test over the whole row, the cells joined by a line break (which no cell and no
    // search text holds), costs far less than one call per cell. Which column matched is
    // asked afterwards, for the hits kept only.
    QStringList cells;
    for (const ColumnInfo &c : columns)
        cells << QStringLiteral("ifnull(a.%1, '')").arg(quoteIdentifier(c.name));
    // A group registered twice still gives each article once.
    const QString description = QStringLiteral(
        "(SELECT d.DESCRIPTION FROM Designations d WHERE d.BL_NAME = a.BL_NAME LIMIT 1)");
    return QStringLiteral("SELECT a.%1, a.BL_NAME, %2 AS description, %3, %4, %5, a.RAD "
                          "FROM Articles a WHERE %6 "
                          "ORDER BY description COLLATE SV, a.BL_NAME COLLATE SV, a.RAD "
                          "LIMIT ?2")
        .arg(rowIdName(columns), description, columnOrNull(columns, QStringLiteral("FABRIKAT")),
             columnOrNull(columns, QStringLiteral("ARTNR")),
             columnOrNull(columns, QStringLiteral("BENÄMNING")),
             cells.isEmpty()
                 ? QStringLiteral("0")
                 : test.arg(QLatin1Char('(') + cells.join(QStringLiteral(" || char(10) || ")) +
                            QLatin1Char(')')));
}

QList<Hit> find(Database &db, const QString &text, int limit)
{
    QList<Hit> hits;
    // No cell holds a line break; the joined row does, between cells. A text of characters the
    // collation ignores (a soft hyphen) would be found everywhere.
    const QString folded = SwedishFold::fold(text);
    if (folded.isEmpty() || limit <= 0 || folded.contains(QLatin1Char('\n')))
        return hits;
    const std::vector<ColumnInfo> columns = articleColumns(db);
    Statement st = db.prepare(findSql(db));
    st.bind(1, text).bind(2, qint64(limit));
    while (st.step()) {
        Hit hit;
        hit.rowId = st.int64(0);
        hit.blockName = st.text(1);
        hit.groupDescription = st.text(2);
        hit.manufacturer = st.text(3);
        hit.articleNumber = st.text(4);
        hit.designation = st.text(5);
        hit.rad = int(st.int64(6));
        hits << hit;
    }
    Statement which = db.prepare(columnSql(columns));
    for (Hit &hit : hits) {
        which.bind(1, text).bind(2, hit.rowId);
        if (which.step() && !which.isNull(0)) {
            const qint64 column = which.int64(0);
            if (column >= 0 && size_t(column) < columns.size())
                hit.column = columns[size_t(column)].name;
        }
        which.reset();
    }
    return hits;
}

int gridRowOf(const ArticleGrid &grid, const Hit &hit)
{
    for (int row = 1; row < grid.rows(); ++row) {
        if (grid.rowId(row) == hit.rowId)
            return row;
    }
    return -1;
}

int gridColumnOf(const ArticleGrid &grid, const Hit &hit)
{
    return hit.column.isEmpty() ? -1 : grid.GetColumn(hit.column);
}

} // namespace ArticleSearch
