#pragma once

#include <QStringView>
#include <QtGlobal>

#include <optional>
#include <vector>

class ArticleGrid;

// The row numbers (RAD) of the article grid.
namespace RowNumbering {

// The whole number a numeric cell text stands for, as the row-number and type rules read it:
// blanks around are allowed and a fraction is rounded to the nearest whole number, halves to
// even. Empty when the text is not numeric; throws AppError (overflow) when the value lies
// outside minimum..maximum.
std::optional<qint64> wholeNumber(QStringView text, qint64 minimum, qint64 maximum);

// The row numbers of the data rows in grid order, read as RenumberRows reads them: a row number
// that is not a number throws AppError (type mismatch). Empty without a "RAD" column.
std::vector<qint64> rowNumbers(const ArticleGrid &grid);

// Hands the grid's row numbers back in grid order: the smallest to row 1, the next to row 2 and
// so on, so the numbers follow the order of the rows and no number is invented. A row number
// that is not a number throws AppError (type mismatch) and leaves the grid unchanged. A grid
// without a "RAD" column or without data rows is left as it is. Returns whether a cell changed.
bool RenumberRows(ArticleGrid &grid);

// As RenumberRows, but a number that is already taken by an earlier row becomes the next free
// one after it (10, 20, 20, 30 -> 10, 20, 21, 30; 1, 2, 2, 3 -> 1, 2, 3, 4): the rows of a group
// that shared a number get numbers of their own, in grid order, and the others keep theirs
// where they can.
bool RenumberDistinct(ArticleGrid &grid);

} // namespace RowNumbering
