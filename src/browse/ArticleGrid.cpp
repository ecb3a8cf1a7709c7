#include "browse/ArticleGrid.h"

void ArticleGrid::setupColumns(const FieldList &fields)
{
    QStringList header{QString()};
    for (const FieldDesc &field : fields)
        header << field.Name;
    m_cols = int(header.size());
    m_cells = {header};
}

void ArticleGrid::setRows(int rows)
{
    rows = qMax(rows, m_cells.isEmpty() ? 0 : 1);
    if (rows < m_cells.size()) {
        m_cells.resize(rows);
        return;
    }
    while (m_cells.size() < rows)
        m_cells.append(QStringList(m_cols, QString()));
}

void ArticleGrid::clear()
{
    m_cells.clear();
    m_cols = 0;
}

QString ArticleGrid::text(int row, int col) const
{
    if (row < 0 || row >= m_cells.size() || col < 0 || col >= m_cols)
        return {};
    return m_cells.at(row).at(col);
}

void ArticleGrid::setText(int row, int col, const QString &text)
{
    if (row < 0 || row >= m_cells.size() || col < 0 || col >= m_cols)
        return;
    m_cells[row][col] = text;
}
