#include "browse/ArticleSearch.h"

#include "browse/ArticleGrid.h"
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

} // namespace

QString likePattern(const QString &text)
{
    QString escaped;
    escaped.reserve(text.size() + 2);
    escaped += QLatin1Char('%');
    for (const QChar c : text) {
        if (c == QLatin1Char('%') || c == QLatin1Char('_') || c == QLatin1Char('\\'))
            escaped += QLatin1Char('\\');
        escaped += c;
    }
    escaped += QLatin1Char('%');
    return escaped;
}

QString findSql(Database &db)
{
    const std::vector<ColumnInfo> columns = db.columns(QString::fromLatin1(Schema::kArticles));
    const QString rowId = QStringLiteral("a.") + rowIdName(columns);
    QStringList tests;
    QString which = QStringLiteral("CASE");
    for (size_t i = 0; i < columns.size(); ++i) {
        const QString test =
            QStringLiteral("a.%1 LIKE ?1 ESCAPE '\\'").arg(quoteIdentifier(columns[i].name));
        tests << test;
        which += QStringLiteral(" WHEN %1 THEN %2").arg(test).arg(i);
    }
    which += QStringLiteral(" END");
    // A group registered twice still gives each article once.
    const QString description = QStringLiteral(
        "(SELECT d.DESCRIPTION FROM Designations d WHERE d.BL_NAME = a.BL_NAME LIMIT 1)");
    return QStringLiteral("SELECT %1, a.BL_NAME, %2 AS description, %3, %4, %5, a.RAD, %6 "
                          "FROM Articles a WHERE %7 "
                          "ORDER BY description COLLATE SV, a.BL_NAME COLLATE SV, a.RAD "
                          "LIMIT ?2")
        .arg(rowId, description, columnOrNull(columns, QStringLiteral("FABRIKAT")),
             columnOrNull(columns, QStringLiteral("ARTNR")),
             columnOrNull(columns, QStringLiteral("BENÄMNING")), which,
             tests.isEmpty() ? QStringLiteral("0") : tests.join(QStringLiteral(" OR ")));
}

QList<Hit> find(Database &db, const QString &text, int limit)
{
    QList<Hit> hits;
    if (text.isEmpty() || limit <= 0)
        return hits;
    const std::vector<ColumnInfo> columns = db.columns(QString::fromLatin1(Schema::kArticles));
    Statement st = db.prepare(findSql(db));
    st.bind(1, likePattern(text)).bind(2, qint64(limit));
    while (st.step()) {
        Hit hit;
        hit.rowId = st.int64(0);
        hit.blockName = st.text(1);
        hit.groupDescription = st.text(2);
        hit.manufacturer = st.text(3);
        hit.articleNumber = st.text(4);
        hit.designation = st.text(5);
        hit.rad = int(st.int64(6));
        const qint64 column = st.int64(7);
        if (column >= 0 && size_t(column) < columns.size())
            hit.column = columns[size_t(column)].name;
        hits << hit;
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
