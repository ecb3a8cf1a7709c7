#include "browse/GridStore.h"

#include "browse/ArticleGrid.h"
#include "browse/ArticleSelection.h"
#include "browse/GridRules.h"
#include "core/AppError.h"
#include "core/Progress.h"
#include "db/Database.h"
#include "db/Schema.h"

#include <QAnyStringView>
#include <QHash>
#include <QLatin1StringView>

#include <algorithm>
#include <cstdint>
#include <map>
#include <tuple>
#include <unordered_set>
#include <vector>

namespace {

// An index is dropped and built again after the writes when at least a third of the table's
// rows touch it: beyond that, keeping it up to date row by row costs more than a fresh build.
constexpr qint64 kRebuildShare = 3;
constexpr qint64 kRebuildMinimum = 2000;
// Edited rows are read in one pass over their rowid range when at least one row in this many
// of that range is edited.
constexpr qint64 kScanShare = 8;
// Beyond this many groups the stored row numbers are read in one pass over the table.
constexpr qsizetype kGroupsForScan = 16;

// A column of Articles and the grid column that holds it (-1: none).
struct Target
{
    ColumnInfo info;
    int gridColumn = -1;
};

// A cell as the save stores it: null for a column the grid lacks, a number in an integer column
// when the text is one, otherwise the text cut to the column's size.
struct StoredValue
{
    enum class Kind { Null, Integer, Text };
    Kind kind = Kind::Null;
    qint64 number = 0;
    QString text;
};

StoredValue storedValue(const ArticleGrid &grid, int row, const Target &target)
{
    if (target.gridColumn < 0)
        return {};
    const QString text = grid.text(row, target.gridColumn);
    if (target.info.isInteger) {
        bool isNumber = false;
        const qint64 number = text.toLongLong(&isNumber);
        if (isNumber)
            return {StoredValue::Kind::Integer, number, {}};
        return {StoredValue::Kind::Text, 0, text};
    }
    if (target.info.size > 0)
        return {StoredValue::Kind::Text, 0, text.left(target.info.size)};
    return {StoredValue::Kind::Text, 0, text};
}

void bindValue(Statement &st, int index, const StoredValue &value)
{
    switch (value.kind) {
    case StoredValue::Kind::Null:
        st.bindNull(index);
        return;
    case StoredValue::Kind::Integer:
        st.bind(index, value.number);
        return;
    case StoredValue::Kind::Text: {
        const QByteArray utf8 = value.text.toUtf8();
        st.bindUtf8(index, utf8.constData(), utf8.size());
        return;
    }
    }
}

// Whether the stored column already holds exactly the value; a different storage class counts
// as different, so a doubtful case is written rather than skipped.
bool holds(const Statement &row, int column, const StoredValue &value)
{
    switch (value.kind) {
    case StoredValue::Kind::Null:
        return row.type(column) == Statement::Type::Null;
    case StoredValue::Kind::Integer:
        return row.type(column) == Statement::Type::Integer && row.int64(column) == value.number;
    case StoredValue::Kind::Text: {
        if (row.type(column) != Statement::Type::Text)
            return false;
        qsizetype length = 0;
        const char *utf8 = row.utf8(column, &length);
        return QAnyStringView::equal(value.text, QUtf8StringView(utf8, length));
    }
    }
    return false;
}

// Counts work done and passes it on every few thousand units.
class ProgressCounter
{
public:
    ProgressCounter(Progress &progress, qint64 maximum) : m_progress(progress)
    {
        m_progress.start(maximum);
    }
    ~ProgressCounter() { m_progress.end(); }
    ProgressCounter(const ProgressCounter &) = delete;
    ProgressCounter &operator=(const ProgressCounter &) = delete;

    void advance(qint64 units = 1)
    {
        m_value += units;
        if (m_value - m_reported >= kProgressStep) {
            m_reported = m_value;
            m_progress.update(m_value);
        }
    }
    // Work that turned out not to be needed still counts as done.
    void reach(qint64 value)
    {
        m_value = std::max(m_value, value);
        m_reported = m_value;
        m_progress.update(m_value);
    }

private:
    Progress &m_progress;
    qint64 m_value = 0;
    qint64 m_reported = 0;
};

struct Update
{
    int row = 0;
    qint64 id = 0;
    std::vector<int> targets; // the columns whose stored value differs
};

// What a save writes: grid rows to insert, loaded rows to update, rowids to delete.
struct SavePlan
{
    std::vector<int> inserts;
    std::vector<Update> updates;
    std::vector<qint64> deletes;                 // sorted
    std::unordered_set<qint64> keptIds;          // loaded rows the grid still holds
    std::vector<std::pair<qint64, int>> changed; // (rowid, grid row) of edited loaded rows
};

// Sorts the grid's rows into inserts, edited loaded rows and deletions. A rowid seen twice (a
// row copied with its origin) is written as a new row the second time.
SavePlan classifyRows(const ArticleGrid &grid)
{
    SavePlan plan;
    plan.keptIds.reserve(size_t(grid.rows()));
    for (int row = 1; row < grid.rows(); ++row) {
        const qint64 id = grid.rowId(row);
        if (id == 0 || !plan.keptIds.insert(id).second)
            plan.inserts.push_back(row);
        else if (grid.rowChanged(row))
            plan.changed.emplace_back(id, row);
    }
    for (const qint64 id : grid.removedRowIds()) {
        if (!plan.keptIds.contains(id))
            plan.deletes.push_back(id);
    }
    std::sort(plan.deletes.begin(), plan.deletes.end());
    plan.deletes.erase(std::unique(plan.deletes.begin(), plan.deletes.end()), plan.deletes.end());
    // In rowid order the reads below walk the table from front to back.
    std::sort(plan.changed.begin(), plan.changed.end());
    return plan;
}

// Keeps the columns of one edited row whose stored value differs; `read` holds the stored row
// with the rowid as column 0.
void compareRow(const Statement &read, const std::vector<Target> &targets, const ArticleGrid &grid,
                qint64 id, int row, SavePlan &plan)
{
    Update update{row, id, {}};
    for (size_t i = 0; i < targets.size(); ++i) {
        if (!holds(read, int(i) + 1, storedValue(grid, row, targets[i])))
            update.targets.push_back(int(i));
    }
    if (!update.targets.empty())
        plan.updates.push_back(std::move(update));
}

// Reads each edited loaded row and keeps the columns whose stored value differs. A row that is
// no longer stored is written again as a new one.
void compareWithStored(Database &db, const QString &rowId, const std::vector<Target> &targets,
                       const ArticleGrid &grid, SavePlan &plan, ProgressCounter &progress)
{
    const auto &changed = plan.changed;
    if (changed.empty())
        return;
    const qint64 firstId = changed.front().first;
    const qint64 lastId = changed.back().first;
    // Edited rows lying close together are read in one pass over their range, a few scattered
    // ones one by one: reading a row in passing costs a fraction of looking it up.
    if (qint64(changed.size()) * kScanShare >= lastId - firstId + 1) {
        Statement read = db.prepare(
            QStringLiteral("SELECT %1, * FROM Articles WHERE %1 BETWEEN ? AND ? ORDER BY %1")
                .arg(rowId));
        read.bind(1, firstId).bind(2, lastId);
        size_t next = 0;
        while (read.step() && next < changed.size()) {
            const qint64 id = read.int64(0);
            for (; next < changed.size() && changed[next].first < id; ++next) {
                plan.inserts.push_back(changed[next].second);
                progress.advance();
            }
            if (next < changed.size() && changed[next].first == id) {
                compareRow(read, targets, grid, id, changed[next].second, plan);
                ++next;
                progress.advance();
            }
        }
        for (; next < changed.size(); ++next) {
            plan.inserts.push_back(changed[next].second);
            progress.advance();
        }
    } else {
        Statement read =
            db.prepare(QStringLiteral("SELECT %1, * FROM Articles WHERE %1 = ?").arg(rowId));
        for (const auto &[id, row] : changed) {
            read.bind(1, id);
            if (read.step())
                compareRow(read, targets, grid, id, row, plan);
            else
                plan.inserts.push_back(row);
            read.reset();
            progress.advance();
        }
    }
    std::sort(plan.inserts.begin(), plan.inserts.end());
}

int targetNamed(const std::vector<Target> &targets, const char *name)
{
    for (size_t i = 0; i < targets.size(); ++i) {
        if (targets[i].info.name.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

[[noreturn]] void refuseRowNumber(const QString &group, qint64 number)
{
    throw AppError(ErrorNumber::DuplicateKey,
                   QStringLiteral("Gruppen %1 har två rader med radnummer %2. Inget har sparats.")
                       .arg(group)
                       .arg(number));
}

// The row numbers of the grid's rows by group, sorted; two equal ones in a group are refused.
struct NumberedRows
{
    struct Numbered
    {
        int group;
        qint64 number;
        int row;
        bool operator<(const Numbered &o) const
        {
            return std::tie(group, number, row) < std::tie(o.group, o.number, o.row);
        }
    };
    std::vector<Numbered> rows;
    QStringList groups;
    QHash<QString, int> groupIndex;
    std::vector<std::pair<size_t, size_t>> ranges; // rows of each group

    NumberedRows(const ArticleGrid &grid, const Target &rad, const Target &blockName);
    bool holds(int group, qint64 number) const;
};

NumberedRows::NumberedRows(const ArticleGrid &grid, const Target &rad, const Target &blockName)
{
    rows.reserve(size_t(grid.rows()));
    QString lastName;
    int lastIndex = -1;
    for (int row = 1; row < grid.rows(); ++row) {
        const StoredValue number = storedValue(grid, row, rad);
        if (number.kind != StoredValue::Kind::Integer)
            continue; // no row number to collide
        const QString name = storedValue(grid, row, blockName).text;
        // Rows of one group mostly follow each other: look the name up only when it changes.
        if (lastIndex < 0 || name != lastName) {
            const QString key = name;
            auto it = groupIndex.constFind(key);
            if (it == groupIndex.constEnd()) {
                it = groupIndex.insert(key, int(groups.size()));
                groups << key;
            }
            lastIndex = it.value();
            lastName = name;
        }
        rows.push_back({lastIndex, number.number, row});
    }
    std::sort(rows.begin(), rows.end());
    for (size_t i = 1; i < rows.size(); ++i) {
        if (rows[i].group == rows[i - 1].group && rows[i].number == rows[i - 1].number)
            refuseRowNumber(groups.at(rows[i].group), rows[i].number);
    }
    ranges.resize(size_t(groups.size()));
    for (size_t begin = 0, end = 0; begin < rows.size(); begin = end) {
        const int group = rows[begin].group;
        for (end = begin; end < rows.size() && rows[end].group == group; ++end) {
        }
        ranges[size_t(group)] = {begin, end};
    }
}

bool NumberedRows::holds(int group, qint64 number) const
{
    const auto [begin, end] = ranges[size_t(group)];
    return std::binary_search(
        rows.begin() + qsizetype(begin), rows.begin() + qsizetype(end), Numbered{group, number, 0},
        [](const Numbered &a, const Numbered &b) { return a.number < b.number; });
}

// Refuses a save after which two articles of one group would share a row number: two grid rows,
// or a grid row and a stored row the grid does not hold (another manufacturer of the group).
void checkRowNumbers(Database &db, const QString &rowId, const std::vector<Target> &targets,
                     const ArticleGrid &grid, const SavePlan &plan)
{
    const int radTarget = targetNamed(targets, "RAD");
    const int blockTarget = targetNamed(targets, "BL_NAME");
    if (radTarget < 0 || blockTarget < 0 || targets[size_t(radTarget)].gridColumn < 0 ||
        targets[size_t(blockTarget)].gridColumn < 0)
        return;
    const NumberedRows numbered(grid, targets[size_t(radTarget)], targets[size_t(blockTarget)]);

    const auto checkStored = [&](const Statement &stored, int group) {
        const qint64 id = stored.int64(0);
        if (plan.keptIds.contains(id) ||
            std::binary_search(plan.deletes.begin(), plan.deletes.end(), id) ||
            stored.type(1) != Statement::Type::Integer)
            return;
        const qint64 number = stored.int64(1);
        if (numbered.holds(group, number))
            refuseRowNumber(numbered.groups.at(group), number);
    };
    const QString rad = quoteIdentifier(targets[size_t(radTarget)].info.name);
    const QString block = quoteIdentifier(targets[size_t(blockTarget)].info.name);
    if (numbered.groups.size() > kGroupsForScan) {
        // Many groups (the root view): one pass over the table beats a lookup per group.
        Statement stored =
            db.prepare(QStringLiteral("SELECT %1, %2, %3 FROM Articles").arg(rowId, rad, block));
        while (stored.step()) {
            if (plan.keptIds.contains(stored.int64(0)) || stored.isNull(2))
                continue;
            const auto group = numbered.groupIndex.constFind(stored.text(2));
            if (group != numbered.groupIndex.constEnd())
                checkStored(stored, group.value());
        }
        return;
    }
    Statement stored = db.prepare(
        QStringLiteral("SELECT %1, %2 FROM Articles WHERE %3 = ?").arg(rowId, rad, block));
    for (qsizetype group = 0; group < numbered.groups.size(); ++group) {
        stored.bind(1, numbered.groups.at(group));
        while (stored.step())
            checkStored(stored, int(group));
        stored.reset();
    }
}

// An index of Articles as its own SQL, to drop it and build it again.
struct ArticleIndex
{
    QString name;
    QString sql;
    std::vector<bool> covers; // per target: the index uses the column
    qint64 touches = 0;
};

std::vector<ArticleIndex> articleIndexes(Database &db, const std::vector<Target> &targets)
{
    std::vector<ArticleIndex> indexes;
    // Indexes SQLite made for constraints have no SQL and cannot be dropped; they stay.
    Statement list = db.prepare(QStringLiteral(
        "SELECT name, sql FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL "
        "AND tbl_name = ? COLLATE NOCASE ORDER BY name"));
    list.bind(1, QLatin1String(Schema::kArticles));
    while (list.step())
        indexes.push_back({list.text(0), list.text(1), std::vector<bool>(targets.size()), 0});
    Statement info = db.prepare(QStringLiteral("SELECT name FROM pragma_index_info(?)"));
    for (ArticleIndex &index : indexes) {
        info.bind(1, index.name);
        while (info.step()) {
            // An expression has no column name: take it as using every column.
            const QString column = info.isNull(0) ? QString() : info.text(0);
            for (size_t i = 0; i < targets.size(); ++i) {
                if (column.isNull() ||
                    targets[i].info.name.compare(column, Qt::CaseInsensitive) == 0)
                    index.covers[i] = true;
            }
        }
        info.reset();
    }
    return indexes;
}

// The indexes that so many writes touch that building them again after the writes is faster.
std::vector<ArticleIndex> indexesToRebuild(Database &db, const QString &rowId,
                                           std::vector<ArticleIndex> indexes, const SavePlan &plan)
{
    const qint64 everyIndex = qint64(plan.inserts.size() + plan.deletes.size());
    if (everyIndex + qint64(plan.updates.size()) < kRebuildMinimum)
        return {};
    // Edits mostly share a few column sets; weigh each set once.
    std::map<std::vector<int>, qint64> columnSets;
    for (const Update &update : plan.updates)
        ++columnSets[update.targets];
    for (ArticleIndex &index : indexes) {
        index.touches = everyIndex;
        for (const auto &[columns, count] : columnSets) {
            if (std::any_of(columns.begin(), columns.end(),
                            [&index](int t) { return index.covers[size_t(t)]; }))
                index.touches += count;
        }
    }
    // The highest rowid stands for the table's size without counting it.
    const qint64 tableRows =
        db.scalar(QStringLiteral("SELECT MAX(%1) FROM Articles").arg(rowId)).toLongLong();
    std::erase_if(indexes, [tableRows](const ArticleIndex &index) {
        return index.touches < kRebuildMinimum || index.touches * kRebuildShare < tableRows;
    });
    return indexes;
}

void deleteRows(Database &db, const QString &rowId, const SavePlan &plan, ProgressCounter &progress)
{
    Statement remove = db.prepare(QStringLiteral("DELETE FROM Articles WHERE %1 = ?").arg(rowId));
    for (const qint64 id : plan.deletes) {
        remove.bind(1, id).run();
        progress.advance();
    }
}

void updateRows(Database &db, const QString &rowId, const std::vector<Target> &targets,
                const ArticleGrid &grid, const SavePlan &plan, ProgressCounter &progress)
{
    // One statement per set of changed columns: an edit of one column leaves the other
    // columns' indexes alone.
    std::map<std::vector<int>, Statement> statements;
    for (const Update &update : plan.updates) {
        auto it = statements.find(update.targets);
        if (it == statements.end()) {
            QStringList assignments;
            for (const int t : update.targets)
                assignments << quoteIdentifier(targets[size_t(t)].info.name) +
                                   QStringLiteral(" = ?");
            it = statements
                     .emplace(update.targets,
                              db.prepare(QStringLiteral("UPDATE Articles SET %1 WHERE %2 = ?")
                                             .arg(assignments.join(QLatin1Char(',')), rowId)))
                     .first;
        }
        Statement &st = it->second;
        int index = 1;
        for (const int t : update.targets)
            bindValue(st, index++, storedValue(grid, update.row, targets[size_t(t)]));
        st.bind(index, update.id).run();
        progress.advance();
    }
}

void insertRows(Database &db, const std::vector<Target> &targets, const ArticleGrid &grid,
                const SavePlan &plan, ProgressCounter &progress)
{
    if (plan.inserts.empty())
        return;
    QStringList names;
    QStringList marks;
    for (const Target &target : targets) {
        names << quoteIdentifier(target.info.name);
        marks << QStringLiteral("?");
    }
    Statement insert =
        db.prepare(QStringLiteral("INSERT INTO Articles (%1) VALUES (%2)")
                       .arg(names.join(QLatin1Char(',')), marks.join(QLatin1Char(','))));
    for (const int row : plan.inserts) {
        for (size_t i = 0; i < targets.size(); ++i)
            bindValue(insert, int(i) + 1, storedValue(grid, row, targets[i]));
        insert.run();
        progress.advance();
    }
}

// The group's description follows the designation of its head line, wherever a sort or move
// left it; a group without a head line, or with an empty designation there, keeps the
// description it had (an empty one would move the group to the top of the exchange file).
void describeGroup(Database &db, const ArticleGrid &grid)
{
    const int blockColumn = grid.GetColumn(Schema::kBlockName);
    const int designationColumn = grid.GetColumn(Schema::kDesignation);
    if (blockColumn < 0 || designationColumn < 0)
        return;
    for (int row = 1; row < grid.rows(); ++row) {
        if (!GridRules::isHeadLine(grid, row))
            continue;
        const QString description = grid.text(row, designationColumn);
        if (description.trimmed().isEmpty())
            return;
        db.prepare(QStringLiteral("UPDATE Designations SET DESCRIPTION = ? WHERE BL_NAME = ?"))
            .bind(1, description.left(Schema::kDesignationSize))
            .bind(2, grid.text(row, blockColumn))
            .run();
        return;
    }
}

// A group whose last article went is removed, with the equivalences that point at it. (A
// manufacturer emptied while the group keeps other articles leaves the group as it is.)
void removeEmptiedGroup(Database &db, const QString &group)
{
    const bool hasArticles =
        db.scalar(QStringLiteral("SELECT 1 FROM Articles WHERE BL_NAME = ? LIMIT 1"), group)
            .isValid();
    if (hasArticles)
        return;
    db.prepare(QStringLiteral("DELETE FROM Designations WHERE BL_NAME = ?")).bind(1, group).run();
    const QString designation = Schema::columnNamed(db, Schema::kEqv, Schema::kDesignation);
    if (!designation.isEmpty())
        db.prepare(QStringLiteral("DELETE FROM Eqv WHERE %1 = ?").arg(quoteIdentifier(designation)))
            .bind(1, QLatin1Char('=') + group)
            .run();
}

} // namespace

namespace GridStore {

ArticleRowReader::ArticleRowReader(QStringList headers) : m_headers(std::move(headers)) {}

PackedCells ArticleRowReader::read(const Statement &row)
{
    if (m_source.empty()) {
        m_source.assign(size_t(m_headers.size()), -1);
        for (int i = 1; i < row.columnCount(); ++i) {
            const int column = int(m_headers.indexOf(row.columnName(i), 1));
            if (column >= 1)
                m_source[size_t(column)] = i;
        }
    }
    for (const int i : m_source) {
        if (i >= 0) {
            qsizetype length = 0;
            const char *utf8 = row.utf8(i, &length);
            m_builder.addUtf8(utf8, length);
        } else {
            m_builder.addEmpty();
        }
    }
    return m_builder.take();
}

qint64 ArticleRowReader::readAll(Database &db, const ArticleSelection &selection,
                                 const std::function<bool(PackedCells &&, qint64)> &row,
                                 ArticleSelection::Share share, qint64 skip)
{
    // Rows wait here until the selection knows they are in their final order.
    std::vector<std::pair<PackedCells, qint64>> pending;
    qint64 settled = 0;   // rows in their final order, handed over or skipped
    qint64 unsettled = 0; // rows since then, pending or skipped
    selection.readRowsWithId(db,
                             {[&](const Statement &st) {
                                  if (settled + unsettled++ >= skip)
                                      pending.emplace_back(read(st), st.int64(0));
                              },
                              [&] {
                                  settled += unsettled;
                                  unsettled = 0;
                                  bool more = true;
                                  for (auto &[cells, id] : pending) {
                                      if (!row(std::move(cells), id)) {
                                          more = false;
                                          break;
                                      }
                                  }
                                  pending.clear();
                                  return more;
                              },
                              [&] {
                                  pending.clear();
                                  unsettled = 0;
                              }},
                             share);
    return settled;
}

QStringList gridHeaders(const ArticleGrid &grid)
{
    QStringList headers;
    for (int c = 0; c < grid.cols(); ++c)
        headers << grid.text(0, c);
    return headers;
}

bool PopulateGrid(Database &db, const ArticleSelection &selection, ArticleGrid &grid,
                  Progress &progress, qint64 limit)
{
    grid.clearRows();
    grid.setSelection({});
    if (!selection.isValid())
        return true;
    const qint64 total = limit < 0 ? selection.rowCount(db) : -1;
    if (total == 0)
        return true;
    const bool complete = appendArticles(db, selection, grid, 0, limit, progress, total);
    if (grid.rows() > 1)
        grid.setSelection({1, 1, 1, 1});
    return complete;
}

bool appendArticles(Database &db, const ArticleSelection &selection, ArticleGrid &grid, qint64 skip,
                    qint64 limit, Progress &progress, qint64 total)
{
    if (total > 0) {
        progress.start(total);
        grid.reserve(int(total) + 1);
    }
    ArticleRowReader reader(gridHeaders(grid));
    qint64 written = 0;
    bool complete = true;
    const auto append = [&](PackedCells &&cells, qint64 id) {
        if (limit >= 0 && written >= limit) {
            complete = false;
            return false;
        }
        grid.appendRow(std::move(cells), id);
        if (++written % kProgressStep == 0 && total > 0)
            progress.update(skip + written);
        return true;
    };
    reader.readAll(db, selection, append, {0, 1}, skip);
    if (total > 0) {
        progress.update(skip + written);
        progress.end();
    }
    return complete;
}

void PopulateGrid(Database &db, const ArticleSelection &selection, ArticleGrid &grid,
                  Progress &progress)
{
    PopulateGrid(db, selection, grid, progress, -1);
}

void saveGrid(Database &db, const ArticleSelection &selection, const ArticleGrid &grid,
              Progress &progress)
{
    std::vector<Target> targets;
    for (const ColumnInfo &column : db.columns(QLatin1String(Schema::kArticles)))
        targets.push_back({column, grid.GetColumn(column.name)});
    std::vector<ColumnInfo> columns;
    for (const Target &target : targets)
        columns.push_back(target.info);
    const QString rowId = rowIdName(columns);
    Transaction transaction(db);

    SavePlan plan = classifyRows(grid);
    std::vector<ArticleIndex> indexes = articleIndexes(db, targets);
    // Progress counts rows read, rows written and index builds; what proves unneeded is skipped.
    const qint64 readUnits = qint64(plan.changed.size());
    const qint64 writeUnits =
        qint64(plan.changed.size() + plan.inserts.size() + plan.deletes.size());
    const qint64 buildUnit = std::max<qint64>(1, grid.rows() / 16);
    const qint64 buildUnits =
        writeUnits >= kRebuildMinimum ? qint64(indexes.size()) * buildUnit : 0;
    ProgressCounter counter(progress, readUnits + writeUnits + buildUnits);

    compareWithStored(db, rowId, targets, grid, plan, counter);
    checkRowNumbers(db, rowId, targets, grid, plan);

    const bool emptied = grid.rows() <= 1;
    if (!emptied && selection.kind() == ArticleSelection::Kind::Group)
        describeGroup(db, grid);

    const std::vector<ArticleIndex> rebuilt = indexesToRebuild(db, rowId, std::move(indexes), plan);
    for (const ArticleIndex &index : rebuilt)
        db.exec(QStringLiteral("DROP INDEX %1").arg(quoteIdentifier(index.name)));
    deleteRows(db, rowId, plan, counter);
    updateRows(db, rowId, targets, grid, plan, counter);
    insertRows(db, targets, grid, plan, counter);
    counter.reach(readUnits + writeUnits);
    qint64 built = readUnits + writeUnits;
    for (const ArticleIndex &index : rebuilt) {
        db.exec(index.sql);
        counter.reach(built += buildUnit);
    }

    if (emptied && selection.singleGroupView())
        removeEmptiedGroup(db, selection.currentGroup());
    transaction.commit();
    counter.reach(readUnits + writeUnits + buildUnits);
}

void saveGrid(Database &db, const ArticleSelection &selection, const ArticleGrid &grid)
{
    NullProgress progress;
    saveGrid(db, selection, grid, progress);
}

} // namespace GridStore
