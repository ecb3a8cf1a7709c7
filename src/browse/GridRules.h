#pragma once

#include "browse/ArticleGrid.h"
#include "browse/ArticleSelection.h"
#include "browse/GridChange.h"
#include "core/CommandId.h"
#include "db/FieldList.h"

#include <QList>
#include <QString>

// The article grid's editing rules, without a window.
namespace GridRules {

struct EditRule
{
    bool allowed = false;
    int maxLength = 0;     // characters, from the field list
    bool ellipsis = false; // TBH/APP and CCONF cells are edited through a dialog button
};

// Which cell may be edited: nothing while every article is shown, never BL_NAME, and only
// columns of the field list, limited to the field's length.
EditRule editRule(const ArticleGrid &grid, int column, bool singleGroupView,
                  const FieldList &fields);

// After an edit a cell left blank holds "0".
void afterEdit(ArticleGrid &grid, int row, int column);

// The Delete key: empties the selected cells except those of BL_NAME, TYP and RAD. Returns
// whether a cell changed.
bool clearCells(ArticleGrid &grid, const ArticleGrid::CellRange &range);

// The row's TYP is a head form ("-", "T-", "F-"): the line that leads and names its group.
bool isHeadLine(const ArticleGrid &grid, int row);
// How many rows from row 1 on are head lines (normally 1 in a group, 0 in a manufacturer view).
int headLineCount(const ArticleGrid &grid);

// Before a sort by TYP in a single group: lone dashes become "0" and, when every type is a
// number, the types are written with six digits so the text sort is numeric.
void beforeSort(ArticleGrid &grid, int column, bool singleGroupView);
// After that sort: the numbers are written back without leading zeros.
void afterSort(ArticleGrid &grid, int column, bool singleGroupView);
// Sorts the data rows by a column with the TYP rules above; in a single group view the head
// lines stay first and keep their TYP. The selection stays the same cell range; the caller
// renumbers the rows afterwards. Nothing changes without a data row.
GridChange sortGrid(ArticleGrid &grid, int column, bool ascending, bool singleGroupView);

// "1 rad markerade." / "3 rader markerade."
QString selectionStatus(int rows);

// Inserting, appending, pasting articles and moving rows need one group or one manufacturer.
bool allowsRowOperations(ArticleSelection::Kind view);
// Why nothing changes cells in the root view: an overview of every group, which may be sorted
// to look at but is never written back.
QString overviewHint();
// Why the root view offers no inserting, appending, pasting of articles or moving of rows: its
// rows belong to many groups, so new rows and row numbers would land in the wrong one.
QString rootViewRowHint();

// A whole number as the type and fill rules read them (blanks around allowed).
bool isNumeric(QStringView text);

struct PopupItem
{
    CommandId id;
    QString caption;
    bool enabled = true;
    bool separator = false;
};

// The grid's right-click menu for the selection, in order. Outside one group or one manufacturer
// (the root view) the items that insert, append, delete or paste articles are left out and the
// items that change cells are disabled.
QList<PopupItem> popupItems(const ArticleGrid &grid, const ArticleGrid::CellRange &range,
                            bool clipboardHasArticles, ArticleSelection::Kind view);

} // namespace GridRules
