#pragma once

#include "browse/ArticleSelection.h"
#include "browse/GridChange.h"

#include <QString>

class ArticleGrid;
class Database;
class Prompter;

// Inserting, appending and deleting articles in the article grid. The database is only read
// (the type numbers of the group); the grid is the edit buffer. Errors are thrown as AppError
// before the grid is changed. Inserting and appending need one group or one manufacturer: in
// the root view the new rows would take the group of whatever row is first.
namespace RowOperations {

struct RowsResult
{
    int count = 0;     // rows inserted, appended or removed
    int scrollRow = 0; // append: the grid's last row, to scroll into view
    // Not empty: refused in this view and nothing changed; the text for the status bar.
    QString refusal;
    GridChange change;
};

// The type numbers in use: the prefix of the last prefixed type seen and the highest number.
struct TypeNumbers
{
    QString prefix;
    int highest = 0;

    // The type text of the k-th new row (k = 1, 2, ...).
    QString next(int k) const { return prefix + QString::number(highest + k); }
};

// Reads the types of the group of row 1 in table Articles (in the order the database returns
// them), then the grid's types from top to bottom. A type is numeric ("12") or prefixed (at
// least two characters, the first not a digit, then a number: "K12"); others are ignored.
// Throws AppError for a grid without data rows, a prefixed type whose rest is not a number and
// a type number outside -32768..32767.
TypeNumbers scanTypeNumbers(const ArticleGrid &grid, Database &db);

// Gives every row whose RAD is not numeric the grid's highest row number + 1, + 2, ... from top
// to bottom. Returns how many rows got a number.
int fillRowNumbers(ArticleGrid &grid);

// Inserts as many empty articles as rows are selected, above the selection; they take the
// block name of the first selected row, the next type numbers and row numbers that follow their
// position (the rows below move up by the number added). The new rows, whole, become the
// selection. Nothing happens when the selection holds no data row. They never go above the
// group's head line.
RowsResult InsertArticle(ArticleGrid &grid, Database &db, ArticleSelection::Kind view);

// Appends empty articles after the last row, with the block name of the last selected row and
// the next type numbers, then renumbers; the new rows, whole, become the selection. The count
// is the number of selected rows, or, when askForCount is set, the user's reply to "Antal nya
// artiklar:" rounded to the nearest whole number (halves to even); a reply that is cancelled,
// empty, text or not above 0 adds nothing but the grid is still renumbered. Unless refused, the
// grid counts as edited on return.
RowsResult AppendArticle(ArticleGrid &grid, Database &db, Prompter &prompter, bool askForCount,
                         ArticleSelection::Kind view);

// Inserts `count` empty articles at grid row `at` with the block name given, the next type
// numbers of the group and row numbers that follow their position; the new rows, whole, become
// the selection. Throws AppError, before the grid changes, when numbers would overflow.
RowsResult insertArticles(ArticleGrid &grid, Database &db, int at, int count,
                          const QString &blockName);

// Removes the selected rows, whatever columns are selected; the other rows keep their row
// numbers. The row now at the first deleted position (or the last row) becomes the selection.
// Removing a group's head line asks first (Ja / Avbryt). Refused in the root view.
RowsResult DeleteArticle(ArticleGrid &grid, Prompter &prompter, ArticleSelection::Kind view);

} // namespace RowOperations
