#include "browse/ArticleGrid.h"

void ArticleGrid::setupColumns(const FieldList &fields)
{
    QStringList header{QString()};
    for (const FieldDesc &field : fields)
        header << field.Name;
    m_cols = int(header.size());
    m_rows.clear();
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

void ArticleGrid::clear()
{
    m_rows.clear();
    m_cols = 0;
    m_selection = {};
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

void ArticleGrid::appendRow(QString cells, std::vector<std::uint32_t> ends)
{
    ends.resize(size_t(m_cols), ends.empty() ? 0 : ends.back());
    m_rows.push_back(Row{std::move(cells), std::move(ends), 0});
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
