#include "browse/ArticleGrid.h"

#include "browse/GridChange.h"

#include <algorithm>
#include <climits>
#include <iterator>

void ArticleGrid::setupColumns(const FieldList &fields)
{
    QStringList header{QString()};
    m_fieldLengths.assign(1, 0);
    for (const FieldDesc &field : fields) {
        header << field.Name;
        m_fieldLengths.push_back(qMax(field.Length, 0));
    }
    m_cols = int(header.size());
    m_rows.clear();
    m_removedIds.clear();
    AddGridRow(header, 0);
    m_selection = {};
    restartPending();
}

ArticleGrid::Row::Row(const Row &other)
    : cells(other.cells), id(other.id), colour(other.colour), markWords(other.markWords)
{
    if (other.marks) {
        marks = std::make_unique<std::uint64_t[]>(markWords);
        std::copy_n(other.marks.get(), markWords, marks.get());
    }
}

ArticleGrid::Row &ArticleGrid::Row::operator=(const Row &other)
{
    if (this != &other)
        *this = Row(other);
    return *this;
}

ArticleGrid::Row ArticleGrid::emptyRow() const
{
    return Row(PackedCells(m_cols), 0);
}

void ArticleGrid::setRows(int rows)
{
    rows = qMax(rows, m_rows.empty() ? 0 : 1);
    restartPending();
    if (rows < int(m_rows.size())) {
        m_rows.resize(size_t(rows));
        return;
    }
    while (int(m_rows.size()) < rows)
        m_rows.push_back(emptyRow());
}

void ArticleGrid::clearRows()
{
    setRows(1);
    m_removedIds.clear();
}

void ArticleGrid::clear()
{
    m_rows.clear();
    m_removedIds.clear();
    m_cols = 0;
    m_selection = {};
    m_fieldLengths.clear();
    restartPending();
}

int ArticleGrid::fieldLength(int col) const
{
    return col >= 0 && col < int(m_fieldLengths.size()) ? m_fieldLengths[size_t(col)] : 0;
}

bool ArticleGrid::valid(int row, int col) const
{
    return row >= 0 && row < int(m_rows.size()) && col >= 0 && col < m_cols;
}

QString ArticleGrid::text(int row, int col) const
{
    if (!valid(row, col))
        return {};
    return m_rows[size_t(row)].cells.cell(col);
}

void ArticleGrid::setText(int row, int col, const QString &text)
{
    if (!valid(row, col))
        return;
    beat();
    Row &r = m_rows[size_t(row)];
    // Writing the same text again is no change: renumbering and fills do it a lot.
    QString before = this->text(row, col);
    if (before == text)
        return;
    if (m_recording)
        record(Edit::CellWrite{row, col, std::move(before), text, marked(r, col)});
    writeCell(r, col, text);
    setMark(r, col, true);
}

void ArticleGrid::writeCell(Row &r, int col, const QString &text)
{
    r.cells.setCell(col, text);
}

bool ArticleGrid::marked(const Row &r, int col)
{
    const size_t word = size_t(col) / 64;
    return r.marks && word < r.markWords && (r.marks[word] >> (col % 64) & 1U) != 0;
}

void ArticleGrid::setMark(Row &r, int col, bool on)
{
    const size_t word = size_t(col) / 64;
    const std::uint64_t bit = std::uint64_t(1) << (col % 64);
    if (on) {
        if (!r.marks || r.markWords <= word) {
            auto grown = std::make_unique<std::uint64_t[]>(word + 1);
            if (r.marks)
                std::copy_n(r.marks.get(), r.markWords, grown.get());
            r.marks = std::move(grown);
            r.markWords = std::uint32_t(word + 1);
        }
        r.marks[word] |= bit;
        return;
    }
    if (!r.marks || word >= r.markWords)
        return;
    r.marks[word] &= ~bit;
    // No marks left: the row reads as unchanged again.
    if (std::all_of(r.marks.get(), r.marks.get() + r.markWords,
                    [](std::uint64_t w) { return w == 0; })) {
        r.marks.reset();
        r.markWords = 0;
    }
}

std::uint32_t ArticleGrid::rowColour(int row) const
{
    return row >= 0 && row < int(m_rows.size()) ? m_rows[size_t(row)].colour : 0;
}

int ArticleGrid::AddGridRow(const QStringList &values, int row, std::uint32_t colour)
{
    if (row < 0)
        return rows();
    setRows(row + 1);
    Row &r = m_rows[size_t(row)];
    const int last = qMin(int(values.size()), m_cols) - 1;
    for (int i = 0; i <= last; ++i)
        setText(row, i, values.at(i));
    r.colour = colour;
    return rows();
}

void ArticleGrid::appendRow(PackedCells cells, qint64 rowId)
{
    m_rows.emplace_back(std::move(cells), rowId);
}

qint64 ArticleGrid::rowId(int row) const
{
    return row >= 1 && row < int(m_rows.size()) ? m_rows[size_t(row)].id : 0;
}

bool ArticleGrid::rowChanged(int row) const
{
    return row >= 1 && row < int(m_rows.size()) && m_rows[size_t(row)].marks != nullptr;
}

bool ArticleGrid::cellChanged(int row, int col) const
{
    return row >= 1 && valid(row, col) && marked(m_rows[size_t(row)], col);
}

int ArticleGrid::GetColumn(const QString &name) const
{
    for (int c = 1; c < m_cols; ++c) {
        if (text(0, c) == name)
            return c;
    }
    return -1;
}

int ArticleGrid::FindGridColumn(const QString &name) const
{
    for (int c = 0; c < m_cols; ++c) {
        if (text(0, c).compare(name, Qt::CaseInsensitive) == 0)
            return c;
    }
    return -1;
}

void ArticleGrid::insertRows(int at, int count)
{
    if (count <= 0 || at < 1 || at > rows())
        return;
    m_rows.insert(m_rows.begin() + at, size_t(count), emptyRow());
    if (m_recording)
        record(Edit::RowsInserted{at, count});
}

void ArticleGrid::removeRows(int at, int count)
{
    if (at < 1 || count <= 0 || at >= rows())
        return;
    count = qMin(rows() - at, count);
    if (!m_recording) {
        eraseRows(at, count, nullptr);
        return;
    }
    Edit::RowsRemoved removed{at, count, {}, m_removedIds.size()};
    eraseRows(at, count, &removed.rows);
    record(std::move(removed));
}

void ArticleGrid::eraseRows(int at, int count, std::vector<Row> *taken)
{
    const auto first = m_rows.begin() + at;
    const auto last = first + count;
    for (auto row = first; row != last; ++row) {
        if (row->id != 0)
            m_removedIds.push_back(row->id);
    }
    if (taken)
        taken->assign(std::make_move_iterator(first), std::make_move_iterator(last));
    m_rows.erase(first, last);
}

void ArticleGrid::moveRow(int from, int to)
{
    if (from < 1 || to < 1 || from >= rows() || to >= rows() || from == to)
        return;
    relocate(from, to);
    if (m_recording)
        record(Edit::RowMoved{from, to});
}

void ArticleGrid::relocate(int from, int to)
{
    Row row = std::move(m_rows[size_t(from)]);
    m_rows.erase(m_rows.begin() + from);
    m_rows.insert(m_rows.begin() + to, std::move(row));
}

void ArticleGrid::swapRows(int a, int b)
{
    if (a < 1 || b < 1 || a >= rows() || b >= rows())
        return;
    std::swap(m_rows[size_t(a)], m_rows[size_t(b)]);
    if (m_recording && a != b)
        record(Edit::RowsSwapped{a, b});
}

void ArticleGrid::sortRows(int column, bool ascending,
                           const std::function<bool(int row)> &keepFirst)
{
    if (column < 0 || column >= m_cols || rows() < 3)
        return;
    // Sorting row numbers rather than rows leaves the order to record for an undo.
    std::vector<int> order(size_t(rows() - 1));
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = int(i) + 1;
    auto sorted = order.begin();
    if (keepFirst)
        sorted = std::stable_partition(order.begin(), order.end(), keepFirst);
    // Each row's cell is found once, not at every comparison.
    std::vector<PackedCells::Key> keys(m_rows.size());
    for (size_t r = 1; r < m_rows.size(); ++r) {
        keys[r] = m_rows[r].cells.key(column);
        beat();
    }
    std::stable_sort(sorted, order.end(), [&](int a, int b) {
        beat();
        const int compared = keys[size_t(a)].compare(keys[size_t(b)]);
        return ascending ? compared < 0 : compared > 0;
    });
    reorder(order, false);
    if (m_recording)
        record(Edit::RowsSorted{std::move(order)});
}

void ArticleGrid::reorder(const std::vector<int> &order, bool backwards)
{
    // The row each new row comes from; rows beyond the order (none in practice) keep their place.
    std::vector<size_t> from(m_rows.size());
    for (size_t i = 0; i < from.size(); ++i)
        from[i] = i;
    for (size_t i = 0; i < order.size(); ++i) {
        if (backwards)
            from[size_t(order[i])] = i + 1;
        else
            from[i + 1] = size_t(order[i]);
    }
    // Built row by row with the window turning: a million empty rows made at once stall it.
    std::vector<Row> sorted;
    sorted.reserve(m_rows.size());
    for (const size_t row : from) {
        beat();
        sorted.push_back(std::move(m_rows[row]));
    }
    m_rows.swap(sorted);
}

// ---------------------------------------------------------------------------- undo and redo

void ArticleGrid::setSelection(const CellRange &range)
{
    m_selection = range;
    // The selection an edit starts from is the one the user had when it began.
    if (m_pending.isEmpty())
        m_pending.m_selectionBefore = range;
}

void ArticleGrid::restartPending()
{
    m_pending = Edit{};
    m_pending.m_selectionBefore = m_selection;
}

void ArticleGrid::record(Edit::Entry entry)
{
    m_pending.m_entries.push_back(std::move(entry));
}

ArticleGrid::Edit ArticleGrid::takeEdit()
{
    Edit edit = std::move(m_pending);
    edit.m_selectionAfter = m_selection;
    restartPending();
    return edit;
}

namespace {

// What an edit's replay changed: only cells, or rows as well.
struct ReplayExtent
{
    bool rowsChanged = false;
    ArticleGrid::CellRange cells{INT_MAX, INT_MAX, -1, -1};

    void addCell(int row, int col)
    {
        cells.r1 = qMin(cells.r1, row);
        cells.r2 = qMax(cells.r2, row);
        cells.c1 = qMin(cells.c1, col);
        cells.c2 = qMax(cells.c2, col);
    }
    GridChange change() const
    {
        if (rowsChanged)
            return GridChange::everything();
        if (cells.r1 > cells.r2)
            return GridChange::nothing();
        // The row selector shows whether a row has changes left.
        return GridChange::cellsChanged({cells.r1, 0, cells.r2, cells.c2});
    }
};

template <class... Handlers> struct Overloaded : Handlers...
{
    using Handlers::operator()...;
};
template <class... Handlers> Overloaded(Handlers...) -> Overloaded<Handlers...>;

} // namespace

GridChange ArticleGrid::undo(Edit &edit)
{
    ReplayExtent extent;
    for (auto entry = edit.m_entries.rbegin(); entry != edit.m_entries.rend(); ++entry) {
        std::visit(Overloaded{
                       [&](Edit::CellWrite &w) {
                           Row &r = m_rows[size_t(w.row)];
                           writeCell(r, w.col, w.before);
                           setMark(r, w.col, w.wasChanged);
                           extent.addCell(w.row, w.col);
                       },
                       [&](Edit::RowsInserted &e) {
                           m_rows.erase(m_rows.begin() + e.at, m_rows.begin() + e.at + e.count);
                           extent.rowsChanged = true;
                       },
                       [&](Edit::RowsRemoved &e) {
                           m_rows.insert(m_rows.begin() + e.at,
                                         std::make_move_iterator(e.rows.begin()),
                                         std::make_move_iterator(e.rows.end()));
                           e.rows.clear();
                           m_removedIds.resize(e.removedIdsBefore);
                           extent.rowsChanged = true;
                       },
                       [&](Edit::RowMoved &e) {
                           relocate(e.to, e.from);
                           extent.rowsChanged = true;
                       },
                       [&](Edit::RowsSwapped &e) {
                           std::swap(m_rows[size_t(e.a)], m_rows[size_t(e.b)]);
                           extent.rowsChanged = true;
                       },
                       [&](Edit::RowsSorted &e) {
                           reorder(e.order, true);
                           extent.rowsChanged = true;
                       },
                   },
                   *entry);
    }
    m_selection = edit.m_selectionBefore;
    restartPending();
    return extent.change();
}

GridChange ArticleGrid::redo(Edit &edit)
{
    ReplayExtent extent;
    for (Edit::Entry &entry : edit.m_entries) {
        std::visit(Overloaded{
                       [&](Edit::CellWrite &w) {
                           Row &r = m_rows[size_t(w.row)];
                           writeCell(r, w.col, w.after);
                           setMark(r, w.col, true);
                           extent.addCell(w.row, w.col);
                       },
                       [&](Edit::RowsInserted &e) {
                           m_rows.insert(m_rows.begin() + e.at, size_t(e.count), emptyRow());
                           extent.rowsChanged = true;
                       },
                       [&](Edit::RowsRemoved &e) {
                           e.removedIdsBefore = m_removedIds.size();
                           eraseRows(e.at, e.count, &e.rows);
                           extent.rowsChanged = true;
                       },
                       [&](Edit::RowMoved &e) {
                           relocate(e.from, e.to);
                           extent.rowsChanged = true;
                       },
                       [&](Edit::RowsSwapped &e) {
                           std::swap(m_rows[size_t(e.a)], m_rows[size_t(e.b)]);
                           extent.rowsChanged = true;
                       },
                       [&](Edit::RowsSorted &e) {
                           reorder(e.order, false);
                           extent.rowsChanged = true;
                       },
                   },
                   entry);
    }
    m_selection = edit.m_selectionAfter;
    restartPending();
    return extent.change();
}

std::optional<ArticleGrid::CellRange> ArticleGrid::dataRange(CellRange range) const
{
    if (range.r2 < range.r1)
        std::swap(range.r1, range.r2);
    if (range.c2 < range.c1)
        std::swap(range.c1, range.c2);
    range.r1 = qMax(range.r1, 1);
    range.r2 = qMin(range.r2, rows() - 1);
    range.c1 = qMax(range.c1, 1);
    range.c2 = qMin(range.c2, m_cols - 1);
    if (range.r1 > range.r2 || range.c1 > range.c2)
        return std::nullopt;
    return range;
}
