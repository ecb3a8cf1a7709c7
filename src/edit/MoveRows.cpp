#include "edit/MoveRows.h"
#include "db/Schema.h"

#include "browse/GridRules.h"
#include "browse/RowNumbering.h"
#include "core/AppError.h"

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

// The first row a block may reach: the group's head line stays first.
int firstMovable(const ArticleGrid &grid)
{
    return GridRules::headLineCount(grid) + 1;
}

Result select(ArticleGrid &grid, int r1, int r2, const GridChange &change)
{
    const ArticleGrid::CellRange range{r1, 1, r2, qMax(1, grid.cols() - 1)};
    grid.setSelection(range);
    return {true, range, QString(), change};
}

Result unchanged(const ArticleGrid &grid, const QString &refusal = QString())
{
    return {false, grid.selection(), refusal, GridChange::nothing()};
}

// Up and down change the content of the passed rows and the block, never their row numbers.
GridChange passedRows(const ArticleGrid &grid, int first, int last)
{
    return GridChange::cellsChanged({first, qMin(2, grid.cols() - 1), last, grid.cols() - 1});
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
            if (grid.text(row, col) != m_texts.at(i))
                grid.setText(row, col, m_texts.at(i));
        }
    }

private:
    int m_first;
    int m_columns;
    QStringList m_texts;
};

// After a move to the top or the bottom the row numbers follow the new order. A group view shows
// all of its group and numbers the rows by their place; a manufacturer view shares its group's
// numbers with the other manufacturers, so it only hands its own numbers out again.
void renumber(ArticleGrid &grid, ArticleSelection::Kind view)
{
    if (view == ArticleSelection::Kind::Manufacturer) {
        RowNumbering::RenumberRows(grid);
        return;
    }
    const int column = grid.FindGridColumn(Schema::kRowNumber);
    if (column < 0)
        return;
    for (int r = 1; r <= lastRow(grid); ++r)
        grid.setText(r, column, QString::number(r));
}

// Why a move to the top or the bottom cannot go ahead in this view; empty when it can. The row
// numbers are read before any row moves, so a bad one leaves the grid as it was.
QString refusalForWholeRows(const ArticleGrid &grid, ArticleSelection::Kind view)
{
    if (!GridRules::allowsRowOperations(view))
        return GridRules::rootViewRowHint();
    if (view == ArticleSelection::Kind::Manufacturer) {
        try {
            RowNumbering::rowNumbers(grid);
        } catch (const AppError &e) {
            return e.description();
        }
    }
    return {};
}

} // namespace

bool canMoveUp(const ArticleGrid &grid)
{
    const Block b = block(grid);
    return b.valid && b.r1 > firstMovable(grid);
}

bool canMoveDown(const ArticleGrid &grid)
{
    const Block b = block(grid);
    return b.valid && b.r1 >= firstMovable(grid) && b.r2 < lastRow(grid);
}

Result moveUp(ArticleGrid &grid, ArticleSelection::Kind view)
{
    // The root view's neighbour may belong to another group.
    if (!GridRules::allowsRowOperations(view))
        return unchanged(grid, GridRules::rootViewRowHint());
    if (!canMoveUp(grid))
        return unchanged(grid);
    const Block b = block(grid);
    const FixedColumns fixed(grid, b.r1 - 1, b.r2);
    // The row above the block sinks below it.
    for (int r = b.r1 - 1; r < b.r2; ++r)
        grid.swapRows(r, r + 1);
    fixed.restore(grid);
    return select(grid, b.r1 - 1, b.r2 - 1, passedRows(grid, b.r1 - 1, b.r2));
}

Result moveDown(ArticleGrid &grid, ArticleSelection::Kind view)
{
    if (!GridRules::allowsRowOperations(view))
        return unchanged(grid, GridRules::rootViewRowHint());
    if (!canMoveDown(grid))
        return unchanged(grid);
    const Block b = block(grid);
    const FixedColumns fixed(grid, b.r1, b.r2 + 1);
    // The row below the block rises above it.
    for (int r = b.r2; r >= b.r1; --r)
        grid.swapRows(r, r + 1);
    fixed.restore(grid);
    return select(grid, b.r1 + 1, b.r2 + 1, passedRows(grid, b.r1, b.r2 + 1));
}

Result moveToTop(ArticleGrid &grid, ArticleSelection::Kind view)
{
    if (const QString refusal = refusalForWholeRows(grid, view); !refusal.isEmpty())
        return unchanged(grid, refusal);
    if (!canMoveUp(grid))
        return unchanged(grid);
    const Block b = block(grid);
    const int top = firstMovable(grid);
    rotateRows(grid, top, b.r1, b.r2);
    renumber(grid, view);
    return select(grid, top, top + b.r2 - b.r1, GridChange::everything());
}

Result moveToBottom(ArticleGrid &grid, ArticleSelection::Kind view)
{
    if (const QString refusal = refusalForWholeRows(grid, view); !refusal.isEmpty())
        return unchanged(grid, refusal);
    if (!canMoveDown(grid))
        return unchanged(grid);
    const Block b = block(grid);
    const int last = lastRow(grid);
    rotateRows(grid, b.r1, b.r2 + 1, last);
    renumber(grid, view);
    return select(grid, last - (b.r2 - b.r1), last, GridChange::everything());
}

Result move(ArticleGrid &grid, RowMove move, ArticleSelection::Kind view)
{
    switch (move) {
    case RowMove::Up:
        return moveUp(grid, view);
    case RowMove::Down:
        return moveDown(grid, view);
    case RowMove::ToTop:
        return moveToTop(grid, view);
    case RowMove::ToBottom:
        return moveToBottom(grid, view);
    }
    return unchanged(grid);
}

} // namespace MoveRows
