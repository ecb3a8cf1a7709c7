#include "edit/MoveRows.h"

#include <QStringList>

#include <utility>

namespace MoveRows {

namespace {

struct Block
{
    int r1 = 0, r2 = 0;
    bool valid = false;
};

int lastRow(const ArticleGrid &grid)
{
    return grid.rows() - 1;
}

// The selected rows in order; invalid when they are not all data rows.
Block block(const ArticleGrid &grid)
{
    Block b{grid.selection().r1, grid.selection().r2};
    if (b.r2 < b.r1)
        std::swap(b.r1, b.r2);
    b.valid = b.r1 >= 1 && b.r2 <= lastRow(grid);
    return b;
}

Result select(ArticleGrid &grid, int r1, int r2)
{
    const ArticleGrid::CellRange range{r1, 1, r2, qMax(1, grid.cols() - 1)};
    grid.setSelection(range);
    return {true, range};
}

Result unchanged(const ArticleGrid &grid)
{
    return {false, grid.selection()};
}

void reverseRows(ArticleGrid &grid, int first, int last)
{
    for (; first < last; ++first, --last)
        grid.swapRows(first, last);
}

// Rows first..last turned so that row `middle` comes first; swaps whole rows, O(last - first).
void rotateRows(ArticleGrid &grid, int first, int middle, int last)
{
    reverseRows(grid, first, middle - 1);
    reverseRows(grid, middle, last);
    reverseRows(grid, first, last);
}

// Columns 0 and 1 (row selector, RAD) belong to the grid positions first..last, not to the
// content: passing a row over the block must leave them where they were.
class FixedColumns
{
public:
    FixedColumns(const ArticleGrid &grid, int first, int last)
        : m_first(first), m_columns(qMin(2, grid.cols()))
    {
        for (int r = first; r <= last; ++r) {
            for (int c = 0; c < m_columns; ++c)
                m_texts << grid.text(r, c);
        }
    }

    void restore(ArticleGrid &grid) const
    {
        for (qsizetype i = 0; i < m_texts.size(); ++i) {
            const int row = m_first + int(i / m_columns);
            const int col = int(i % m_columns);
            if (grid.textView(row, col) != m_texts.at(i))
                grid.setText(row, col, m_texts.at(i));
        }
    }

private:
    int m_first;
    int m_columns;
    QStringList m_texts;
};

// After a move to the top or the bottom every row is numbered by its place.
void numberRowsInOrder(ArticleGrid &grid)
{
    const int column = grid.FindGridColumn(QStringLiteral("RAD"));
    if (column < 0)
        return;
    for (int r = 1; r <= lastRow(grid); ++r)
        grid.setText(r, column, QString::number(r));
}

} // namespace

bool canMoveUp(const ArticleGrid &grid)
{
    const Block b = block(grid);
    return b.valid && b.r1 > 1;
}

bool canMoveDown(const ArticleGrid &grid)
{
    const Block b = block(grid);
    return b.valid && b.r2 < lastRow(grid);
}

Result moveUp(ArticleGrid &grid)
{
    if (!canMoveUp(grid))
        return unchanged(grid);
    const Block b = block(grid);
    const FixedColumns fixed(grid, b.r1 - 1, b.r2);
    // The row above the block sinks below it.
    for (int r = b.r1 - 1; r < b.r2; ++r)
        grid.swapRows(r, r + 1);
    fixed.restore(grid);
    return select(grid, b.r1 - 1, b.r2 - 1);
}

Result moveDown(ArticleGrid &grid)
{
    if (!canMoveDown(grid))
        return unchanged(grid);
    const Block b = block(grid);
    const FixedColumns fixed(grid, b.r1, b.r2 + 1);
    // The row below the block rises above it.
    for (int r = b.r2; r >= b.r1; --r)
        grid.swapRows(r, r + 1);
    fixed.restore(grid);
    return select(grid, b.r1 + 1, b.r2 + 1);
}

Result moveToTop(ArticleGrid &grid)
{
    if (!canMoveUp(grid))
        return unchanged(grid);
    const Block b = block(grid);
    rotateRows(grid, 1, b.r1, b.r2);
    numberRowsInOrder(grid);
    return select(grid, 1, b.r2 - b.r1 + 1);
}

Result moveToBottom(ArticleGrid &grid)
{
    if (!canMoveDown(grid))
        return unchanged(grid);
    const Block b = block(grid);
    const int last = lastRow(grid);
    rotateRows(grid, b.r1, b.r2 + 1, last);
    numberRowsInOrder(grid);
    return select(grid, last - (b.r2 - b.r1), last);
}

Result move(ArticleGrid &grid, RowMove move)
{
    switch (move) {
    case RowMove::Up:
        return moveUp(grid);
    case RowMove::Down:
        return moveDown(grid);
    case RowMove::ToTop:
        return moveToTop(grid);
    case RowMove::ToBottom:
        return moveToBottom(grid);
    }
    return unchanged(grid);
}

} // namespace MoveRows
