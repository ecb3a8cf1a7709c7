#include "edit/CutCells.h"

#include "browse/ArticleGrid.h"

#include <algorithm>

bool CutCells::write(ArticleGrid &grid, int row, int column, QStringView text)
{
    const int length = grid.fieldLength(column);
    if (length > 0 && text.size() > length) {
        text = text.first(length);
        add(grid, column);
    }
    if (grid.text(row, column) == text)
        return false;
    grid.setText(row, column, text.toString());
    return true;
}

void CutCells::add(const ArticleGrid &grid, int column)
{
    ++m_count;
    const auto at = std::lower_bound(m_columnIndexes.begin(), m_columnIndexes.end(), column);
    if (at != m_columnIndexes.end() && *at == column)
        return;
    m_columns.insert(at - m_columnIndexes.begin(), grid.text(0, column));
    m_columnIndexes.insert(at, column);
}

QString CutCells::statusText() const
{
    if (m_count == 0)
        return {};
    const QString cells = m_count == 1 ? QStringLiteral("1 cell kortades")
                                       : QStringLiteral("%1 celler kortades").arg(m_count);
    if (m_columns.size() == 1)
        return cells + QStringLiteral(" till fältets längd i kolumnen %1. Ändra fältets längd med "
                                      "Skift+klick på kolumnrubriken.")
                           .arg(m_columns.first());
    const QString names = m_columns.first(m_columns.size() - 1).join(QStringLiteral(", ")) +
                          QStringLiteral(" och ") + m_columns.last();
    return cells + QStringLiteral(" till fältens längd i kolumnerna %1. Ändra fältens längd med "
                                  "Skift+klick på kolumnrubrikerna.")
                       .arg(names);
}
