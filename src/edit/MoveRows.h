#pragma once

#include "browse/ArticleGrid.h"

// Moving the selected block of rows (the grid's selection R1..R2) within the article grid.
// Up and down pass the block over one neighbouring row while the row numbers (RAD, column 1)
// and the row selector (column 0) stay with the grid positions, so the block and the passed row
// swap numbers. To top and to bottom move whole rows and then number every row 1..N.
namespace MoveRows {

enum class RowMove { Up, Down, ToTop, ToBottom };

struct Result
{
    bool changed = false; // the move was possible and the grid was changed
    // Where the block now is, whole rows (columns 1..last); also set as the grid's selection.
    // The selection as it was when nothing moved.
    ArticleGrid::CellRange selection;
};

// The block is the selection's rows, in either order, within the data rows 1..N.
bool canMoveUp(const ArticleGrid &grid);   // also "to top": the block does not start at row 1
bool canMoveDown(const ArticleGrid &grid); // also "to bottom": the block does not end at row N

Result moveUp(ArticleGrid &grid);
Result moveDown(ArticleGrid &grid);
Result moveToTop(ArticleGrid &grid);
Result moveToBottom(ArticleGrid &grid);
Result move(ArticleGrid &grid, RowMove move);

} // namespace MoveRows
