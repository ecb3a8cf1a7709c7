#pragma once

#include "browse/GridChange.h"
#include "edit/CutCells.h"

class ArticleGrid;
class Prompter;

// Filling the selected rows of the article grid from their first or last row, and filling one
// column downwards with a number that grows by a fixed step. All act on the grid's selection
// and change only the grid. A value longer than its field is cut to the field's length and
// counted in the result. The filled range becomes the selection.
namespace Fill {

struct Result
{
    bool edited = false; // the window enters its edited state
    CutCells cuts;       // values cut to their field's length
    GridChange change;   // the filled range
    // Not empty: nothing was written, and this says why (a step fill's number that does not fit
    // its field).
    QString refusal;

    explicit operator bool() const { return edited; }
};

// Copies the first selected row into the other selected rows, in the selected columns except
// RAD and TYP. Edited whenever the grid has a data row, also when only one row is selected.
Result fillDown(ArticleGrid &grid);

// The mirror image: the last selected row is copied into the rows above it.
Result fillUp(ArticleGrid &grid);

// Writes prefix + (number + step), prefix + (number + 2 * step), ... into the first selected
// column below the first selected row, where the cell of that row is split into a prefix and a
// numeric tail ("K09" -> "K", 9; "X-10" -> "X", -10). Does nothing (not edited) when the
// selection starts in the BL_NAME or RAD column or the cell does not end in a digit. An empty
// cell or a number beyond 32 bits is reported through the prompter and nothing is written. A
// value longer than the field is refused, not cut: "10000 ryms inte i POLER (4 tecken)".
Result fillDownIncrement(ArticleGrid &grid, int step, Prompter &prompter);

} // namespace Fill
