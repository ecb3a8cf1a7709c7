#pragma once

class ArticleGrid;
class Prompter;

// Filling the selected rows of the article grid from their first or last row, and filling one
// column downwards with a number that grows by a fixed step. All act on the grid's selection
// and change only the grid; they return true when the window should enter its edited state.
namespace Fill {

// Copies the first selected row into the other selected rows, in the selected columns except
// RAD and TYP. True whenever the grid has a data row, also when only one row is selected.
bool fillDown(ArticleGrid &grid);

// The mirror image: the last selected row is copied into the rows above it.
bool fillUp(ArticleGrid &grid);

// Writes prefix + (number + step), prefix + (number + 2 * step), ... into the first selected
// column below the first selected row, where the cell of that row is split into a prefix and a
// numeric tail ("K09" -> "K", 9; "X-10" -> "X", -10). Does nothing (false) when the selection
// starts in the BL_NAME or RAD column or the cell does not end in a digit. An empty cell or a
// number beyond 32 bits is reported through the prompter and nothing is written (false).
bool fillDownIncrement(ArticleGrid &grid, int step, Prompter &prompter);

} // namespace Fill
