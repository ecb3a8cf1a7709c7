#include "browse/ArticleSearch.h"

#include "browse/ArticleGrid.h"
#include "core/Progress.h"
#include "core/SwedishFold.h"
#include "db/Database.h"
#include "db/FindIndex.h"
#include "db/Schema.h"

#include <QStringList>

#include <optional>

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

// The cells of one article, in table order.
QStringList cellsOf(const std::vector<ColumnInfo> &columns)
{
    QStringList cells;
    for (const ColumnInfo &c : columns)
        cells << QStringLiteral("a.") + quoteIdentifier(c.name);
    return cells;
}

// SQLite caps a function's arguments (at 127 unless built otherwise), so a table wider than
// this is searched in several calls.
constexpr qsizetype kCellsPerCall = 100;

// The number, from 1, of the first of the cells that holds the text ?1; 0 when none does.
QString firstCellHolding(const QStringList &cells)
{
    if (cells.isEmpty())
        return QStringLiteral("0");
    const auto call = [&](qsizetype from) {
        return QStringLiteral("SV_FIND(?1, %1)")
            .arg(cells.mid(from, kCellsPerCall).join(QStringLiteral(", ")));
    };
    if (cells.size() <= kCellsPerCall)
        return call(0);
    // coalesce() stops at the first call that finds it.
    QStringList calls;
    for (qsizetype from = 0; from < cells.size(); from += kCellsPerCall)
        calls << QStringLiteral("nullif(%1, 0) + %2").arg(call(from)).arg(from);
    return QStringLiteral("coalesce(%1, 0)").arg(calls.join(QStringLiteral(", ")));
}

// The number, from 1, of the first column of one article that holds the text ?1; the article's
// rowid is ?2.
QString columnSql(const std::vector<ColumnInfo> &columns)
{
    return QStringLiteral("SELECT %1 FROM Articles a WHERE a.%2 = ?2")
        .arg(firstCellHolding(cellsOf(columns)), rowIdName(columns));
}

} // namespace

namespace {

QString findSql(Database &db, const QString &cellTest, bool indexed)
{
    const std::vector<ColumnInfo> columns = articleColumns(db);
    // One call takes every cell of a row; which column matched is asked afterwards, for the
    // hits kept only.
    const QStringList cells = cellsOf(columns);
    QString condition = indexed ? FindIndex::condition(rowIdName(columns))
                                : firstCellHolding(cells) + QStringLiteral(" > 0");
    if (!cellTest.isEmpty()) {
        QStringList tests;
        for (const QString &cell : cells)
            tests << cellTest.arg(cell);
        condition = tests.isEmpty()
                        ? QStringLiteral("0")
                        : QLatin1Char('(') + tests.join(QStringLiteral(" OR ")) + QLatin1Char(')');
    }
    // A group registered twice still gives each article once.
    const QString description = QStringLiteral(
        "(SELECT d.DESCRIPTION FROM Designations d WHERE d.BL_NAME = a.BL_NAME LIMIT 1)");
    return QStringLiteral("SELECT a.%1, a.BL_NAME, %2 AS description, %3, %4, %5, a.RAD "
                          "FROM Articles a WHERE %6 "
                          "ORDER BY description COLLATE SV, a.BL_NAME COLLATE SV, a.RAD "
                          "LIMIT ?2")
        .arg(rowIdName(columns), description, columnOrNull(columns, Schema::kManufacturer),
             columnOrNull(columns, Schema::kArticleNumber),
             columnOrNull(columns, Schema::kDesignation), condition);
}

} // namespace

QString findSql(Database &db, const QString &cellTest)
{
    return findSql(db, cellTest, false);
}

QList<Hit> find(Database &db, const QString &text, int limit, Progress *progress)
{
    QList<Hit> hits;
    // A text of nothing but characters the collation ignores (a soft hyphen) would be found
    // everywhere.
    if (limit <= 0 || SwedishFold::fold(text).isEmpty())
        return hits;
    const std::vector<ColumnInfo> columns = articleColumns(db);
    // The folded index answers the same as folding every cell, far faster; it is used only
    // when it matches the file as this read sees it.
    std::optional<StatementPulse> pulse;
    if (progress) {
        progress->start(0);
        pulse.emplace(db, [progress] { progress->update(0); });
    }
    struct EndsProgress
    {
        Progress *progress;
        ~EndsProgress()
        {
            if (progress)
                progress->end();
        }
    } endsProgress{progress};
    const QByteArray needle = FindIndex::fold(text);
    bool indexed = !needle.isEmpty() && FindIndex::prepare(db);
    std::optional<ReadTransaction> read;
    if (indexed) {
        read.emplace(db);
        indexed = FindIndex::isCurrent(db);
    }
    Statement st = db.prepare(findSql(db, QString(), indexed));
    st.bind(1, text).bind(2, qint64(limit));
    if (indexed)
        st.bindUtf8(3, needle.constData(), needle.size());
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
            const qint64 column = which.int64(0) - 1;
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
