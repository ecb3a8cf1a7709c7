#pragma once

#include "browse/ArticleGrid.h"
#include "browse/ArticleSelection.h"
#include "browse/GridChange.h"

#include <QString>

// Moving the selected block of rows (the grid's selection R1..R2) within the article grid.
// Up and down pass the block over one neighbouring row while the row numbers (RAD, column 1)
// and the row selector (column 0) stay with the grid positions, so the block and the passed row
// swap numbers. To top and to bottom move whole rows and then renumber: a group view numbers
// its rows 1..N; a manufacturer view shows only part of its group, so it hands its own row
// numbers out again in the new order and the group's other rows keep theirs. The root view
// holds many groups and moves nothing.
namespace MoveRows {

enum class RowMove { Up, Down, ToTop, ToBottom };

struct Result
{
    bool changed = false; // the move was possible and the grid was changed
    // Where the block now is, whole rows (columns 1..last); also set as the grid's selection.
    // The selection as it was when nothing moved.
    ArticleGrid::CellRange selection;
    // Not empty: the move was refused (the root view, or a row number that is not a number);
    // a short text for the status bar.
    QString refusal;
    GridChange change; // the rows passed for up and down; everything for the top and bottom
};

// The block is the selection's rows, in either order, within the data rows 1..N. A group's
// head line stays first: no block passes above it, and it does not move itself.
bool canMoveUp(const ArticleGrid &grid);   // also "to top": the block is not at the top already
bool canMoveDown(const ArticleGrid &grid); // also "to bottom": the block does not end at row N

// `view` is the kind of selection the grid shows (ArticleSelection::kind()).
Result moveUp(ArticleGrid &grid, ArticleSelection::Kind view);
Result moveDown(ArticleGrid &grid, ArticleSelection::Kind view);
Result moveToTop(ArticleGrid &grid, ArticleSelection::Kind view);
Result moveToBottom(ArticleGrid &grid, ArticleSelection::Kind view);
Result move(ArticleGrid &grid, RowMove move, ArticleSelection::Kind view);

} // namespace MoveRows
