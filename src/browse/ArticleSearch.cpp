#include "browse/ArticleSearch.h"

#include "browse/ArticleGrid.h"
#include "core/Progress.h"
#include "core/Responsive.h"
#include "core/SwedishFold.h"
#include "db/Database.h"
#include "db/FindIndex.h"
#include "db/Schema.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>
#include <QStringList>

#include <algorithm>
#include <future>
#include <optional>
#include <tuple>
#include <vector>

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

// What a hit shows of one article (rowid ?2): the number, from 1, of its first column that
// holds the text ?1, then its manufacturer, article number and designation.
QString detailSql(const std::vector<ColumnInfo> &columns)
{
    return QStringLiteral("SELECT %1, %2, %3, %4 FROM Articles a WHERE a.%5 = ?2")
        .arg(firstCellHolding(cellsOf(columns)), columnOrNull(columns, Schema::kManufacturer),
             columnOrNull(columns, Schema::kArticleNumber),
             columnOrNull(columns, Schema::kDesignation), rowIdName(columns));
}

// An article that holds the text, before the hits are put in order.
struct Candidate
{
    qint64 rowId = 0;
    qsizetype name = -1; // its block name among the hits' block names, -1 for none
    qint64 rad = 0;
    qint64 place = -1; // its group's place in the order of the hits' groups
};

// The hits' block names, each kept once. The hits of a group mostly follow each other, so most
// hits only compare their name's bytes with the one before.
class BlockNames
{
public:
    qsizetype of(const Statement &row, int column)
    {
        if (row.isNull(column))
            return -1;
        qsizetype length = 0;
        const char *utf8 = row.utf8(column, &length);
        const QByteArrayView bytes(utf8, length);
        if (m_last >= 0 && bytes == m_lastBytes)
            return m_last;
        m_lastBytes = bytes.toByteArray();
        const auto found = m_index.constFind(m_lastBytes);
        if (found != m_index.constEnd()) {
            m_last = *found;
        } else {
            m_last = m_names.size();
            m_names << QString::fromUtf8(m_lastBytes);
            m_index.insert(m_lastBytes, m_last);
        }
        return m_last;
    }
    const QStringList &names() const { return m_names; }

    // The index of a name, added when new.
    qsizetype add(const QString &name)
    {
        const QByteArray bytes = name.toUtf8();
        const auto found = m_index.constFind(bytes);
        if (found != m_index.constEnd())
            return *found;
        m_names << name;
        m_index.insert(bytes, m_names.size() - 1);
        return m_names.size() - 1;
    }

private:
    QStringList m_names;
    QHash<QByteArray, qsizetype> m_index;
    QByteArray m_lastBytes;
    qsizetype m_last = -1;
};

struct GroupPlace
{
    qint64 place = 0;
    QString description;
};

// The hits' groups in Swedish order of their descriptions (the first one a group has), then of
// their block names; a group without a description comes first. Equal groups share a place.
QHash<QString, GroupPlace> placeGroups(Database &db, const QStringList &blockNames)
{
    QJsonArray names;
    for (const QString &name : blockNames)
        names.append(name);
    Statement st = db.prepare(QStringLiteral(
        "SELECT n.value, description, rank() OVER (ORDER BY description COLLATE SV, "
        "n.value COLLATE SV) FROM (SELECT value, (SELECT e.DESCRIPTION FROM Designations e "
        "WHERE e.BL_NAME = value LIMIT 1) AS description FROM json_each(?1)) n"));
    st.bind(1, QString::fromUtf8(QJsonDocument(names).toJson(QJsonDocument::Compact)));
    QHash<QString, GroupPlace> places;
    while (st.step())
        places.insert(st.text(0), GroupPlace{st.int64(2), st.text(1)});
    return places;
}

// The first `limit` candidates in the order of the hits: group, then row number.
void keepFirst(std::vector<Candidate> &candidates, int limit)
{
    const auto before = [](const Candidate &a, const Candidate &b) {
        return std::tie(a.place, a.rad, a.rowId) < std::tie(b.place, b.rad, b.rowId);
    };
    const auto kept = std::min(candidates.size(), size_t(limit));
    std::partial_sort(candidates.begin(), candidates.begin() + qsizetype(kept), candidates.end(),
                      before);
    candidates.resize(kept);
}

// Below this many rows in the find index a second reader costs more than it saves.
constexpr qint64 kRowsForTwoReaders = 20000;

// The hits the find index holds from id `first` to `last`.
struct IndexHits
{
    std::vector<Candidate> candidates;
    BlockNames blockNames;

    void read(Database &db, const QByteArray &needle, qint64 first, qint64 last)
    {
        Statement st = db.prepare(FindIndex::hitsInRangeSql());
        st.bind(1, first).bind(2, last).bindUtf8(3, needle.constData(), needle.size());
        while (st.step())
            candidates.push_back({st.int64(0), blockNames.of(st, 1), st.int64(2)});
    }

    // The other's hits after these.
    void take(IndexHits &&other)
    {
        std::vector<qsizetype> renamed;
        for (const QString &name : other.blockNames.names())
            renamed.push_back(blockNames.add(name));
        for (Candidate c : other.candidates) {
            if (c.name >= 0)
                c.name = renamed[size_t(c.name)];
            candidates.push_back(c);
        }
    }
};

// The find index's hits; in a large index the later half is read beside, on a second thread
// through a connection of its own, when that connection sees what this one sees.
IndexHits readIndexHits(Database &db, const QByteArray &needle, Progress *progress)
{
    IndexHits hits;
    Statement range = db.prepare(FindIndex::idRangeSql());
    if (!range.step() || range.isNull(0))
        return hits;
    const qint64 first = range.int64(0);
    const qint64 last = range.int64(1);
    // Unsigned, the span of any two ids is exact.
    const quint64 span = quint64(last) - quint64(first);
    if (span < quint64(kRowsForTwoReaders) || !db.canReadBeside()) {
        hits.read(db, needle, first, last);
        return hits;
    }
    const qint64 middle = qint64(quint64(first) + span / 2);
    struct Beside
    {
        IndexHits hits;
        bool opened = false;
    };
    std::future<Beside> beside = std::async(std::launch::async, [&db, &needle, middle, last] {
        Beside result;
        std::optional<Database> other = Database::openBeside(db);
        result.opened = other.has_value();
        if (other)
            result.hits.read(*other, needle, middle + 1, last);
        return result;
    });
    try {
        hits.read(db, needle, first, middle);
    } catch (...) {
        beside.wait();
        throw;
    }
    // The window keeps its turns while the other half is finished.
    waitWhilePulsing(beside, progress ? std::function<void()>([progress] { progress->update(0); })
                                      : std::function<void()>());
    Beside later = beside.get();
    if (later.opened)
        hits.take(std::move(later.hits));
    else
        hits.read(db, needle, middle + 1, last);
    return hits;
}

// Every hit's rowid, block name and row number, in no order.
QString candidateSql(const std::vector<ColumnInfo> &columns, const QString &condition)
{
    return QStringLiteral("SELECT a.%1, a.BL_NAME, a.RAD FROM Articles a WHERE %2")
        .arg(rowIdName(columns), condition);
}

} // namespace

QString findSql(Database &db, const QString &cellTest)
{
    const std::vector<ColumnInfo> columns = articleColumns(db);
    // One call takes every cell of a row; which column matched is asked afterwards, for the
    // hits kept only.
    const QStringList cells = cellsOf(columns);
    QString condition = firstCellHolding(cells) + QStringLiteral(" > 0");
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
    // The hits and what they show come from one read of the file.
    std::optional<ReadTransaction> read;
    if (!db.inTransaction())
        read.emplace(db);
    indexed = indexed && FindIndex::isCurrent(db);
    IndexHits found;
    if (indexed) {
        found = readIndexHits(db, needle, progress);
    } else {
        Statement st = db.prepare(
            candidateSql(columns, firstCellHolding(cellsOf(columns)) + QStringLiteral(" > 0")));
        st.bind(1, text);
        while (st.step())
            found.candidates.push_back({st.int64(0), found.blockNames.of(st, 1), st.int64(2)});
    }
    std::vector<Candidate> &candidates = found.candidates;
    const BlockNames &blockNames = found.blockNames;
    const QHash<QString, GroupPlace> places = placeGroups(db, blockNames.names());
    std::vector<qint64> placeOfName;
    for (const QString &name : blockNames.names())
        placeOfName.push_back(places.value(name).place);
    for (Candidate &c : candidates) {
        if (c.name >= 0)
            c.place = placeOfName[size_t(c.name)];
    }
    keepFirst(candidates, limit);

    Statement detail = db.prepare(detailSql(columns));
    for (const Candidate &c : candidates) {
        Hit hit;
        hit.rowId = c.rowId;
        if (c.name >= 0) {
            hit.blockName = blockNames.names().at(c.name);
            hit.groupDescription = places.value(hit.blockName).description;
        }
        hit.rad = int(c.rad);
        detail.bind(1, text).bind(2, c.rowId);
        if (detail.step()) {
            const qint64 column = detail.isNull(0) ? -1 : detail.int64(0) - 1;
            if (column >= 0 && size_t(column) < columns.size())
                hit.column = columns[size_t(column)].name;
            hit.manufacturer = detail.text(1);
            hit.articleNumber = detail.text(2);
            hit.designation = detail.text(3);
        }
        detail.reset();
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
