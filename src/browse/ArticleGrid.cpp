#include "browse/ArticleGrid.h"

#include <algorithm>

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
}

ArticleGrid::Row ArticleGrid::emptyRow() const
{
    Row row;
    row.ends.assign(size_t(m_cols), 0);
    return row;
}

void ArticleGrid::setRows(int rows)
{
    rows = qMax(rows, m_rows.empty() ? 0 : 1);
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
}

int ArticleGrid::fieldLength(int col) const
{
    return col >= 0 && col < int(m_fieldLengths.size()) ? m_fieldLengths[size_t(col)] : 0;
}

bool ArticleGrid::valid(int row, int col) const
{
    return row >= 0 && row < int(m_rows.size()) && col >= 0 && col < m_cols;
}

QStringView ArticleGrid::textView(int row, int col) const
{
    if (!valid(row, col))
        return {};
    const Row &r = m_rows[size_t(row)];
    const std::uint32_t begin = col == 0 ? 0 : r.ends[size_t(col - 1)];
    return QStringView(r.cells).mid(begin, r.ends[size_t(col)] - begin);
}

QString ArticleGrid::text(int row, int col) const
{
    return textView(row, col).toString();
}

void ArticleGrid::setText(int row, int col, const QString &text)
{
    if (!valid(row, col))
        return;
    Row &r = m_rows[size_t(row)];
    const std::uint32_t begin = col == 0 ? 0 : r.ends[size_t(col - 1)];
    const std::uint32_t end = r.ends[size_t(col)];
    // Writing the same text again is no change: renumbering and fills do it a lot.
    if (QStringView(r.cells).mid(begin, end - begin) == text)
        return;
    r.changed = true;
    r.cells.replace(begin, end - begin, text);
    const qint64 delta = qint64(text.size()) - qint64(end - begin);
    for (size_t c = size_t(col); c < r.ends.size(); ++c)
        r.ends[c] = std::uint32_t(qint64(r.ends[c]) + delta);
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

void ArticleGrid::appendRow(QString cells, std::vector<std::uint32_t> ends, qint64 rowId)
{
    ends.resize(size_t(m_cols), ends.empty() ? 0 : ends.back());
    m_rows.push_back(Row{std::move(cells), std::move(ends), rowId});
}

qint64 ArticleGrid::rowId(int row) const
{
    return row >= 1 && row < int(m_rows.size()) ? m_rows[size_t(row)].id : 0;
}

bool ArticleGrid::rowChanged(int row) const
{
    return row >= 1 && row < int(m_rows.size()) && m_rows[size_t(row)].changed;
}

int ArticleGrid::GetColumn(const QString &name) const
{
    for (int c = 1; c < m_cols; ++c) {
        if (textView(0, c) == name)
            return c;
    }
    return -1;
}

int ArticleGrid::FindGridColumn(const QString &name) const
{
    for (int c = 0; c < m_cols; ++c) {
        if (textView(0, c).compare(name, Qt::CaseInsensitive) == 0)
            return c;
    }
    return -1;
}

void ArticleGrid::insertRows(int at, int count)
{
    if (count <= 0 || at < 1 || at > rows())
        return;
    m_rows.insert(m_rows.begin() + at, size_t(count), emptyRow());
}

void ArticleGrid::removeRows(int at, int count)
{
    if (at < 1 || count <= 0 || at >= rows())
        return;
    const int last = qMin(rows(), at + count);
    for (int r = at; r < last; ++r) {
        if (m_rows[size_t(r)].id != 0)
            m_removedIds.push_back(m_rows[size_t(r)].id);
    }
    m_rows.erase(m_rows.begin() + at, m_rows.begin() + last);
}

void ArticleGrid::moveRow(int from, int to)
{
    if (from < 1 || to < 1 || from >= rows() || to >= rows() || from == to)
        return;
    Row row = std::move(m_rows[size_t(from)]);
    m_rows.erase(m_rows.begin() + from);
    m_rows.insert(m_rows.begin() + to, std::move(row));
}

void ArticleGrid::swapRows(int a, int b)
{
    if (a < 1 || b < 1 || a >= rows() || b >= rows())
        return;
    std::swap(m_rows[size_t(a)], m_rows[size_t(b)]);
}

void ArticleGrid::sortRows(int column, bool ascending)
{
    if (column < 0 || column >= m_cols || rows() < 3)
        return;
    auto cell = [column](const Row &row) {
        const std::uint32_t begin = column == 0 ? 0 : row.ends[size_t(column - 1)];
        return QStringView(row.cells).mid(begin, row.ends[size_t(column)] - begin);
    };
    std::stable_sort(m_rows.begin() + 1, m_rows.end(), [&](const Row &a, const Row &b) {
        const int order = cell(a).compare(cell(b));
        return ascending ? order < 0 : order > 0;
    });
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
