#pragma once

#include "browse/GridChange.h"
#include "sheet/ProposedChange.h"
#include "sheet/SheetData.h"

#include <QString>
#include <QStringList>

class ArticleGrid;
class Database;

// Updating the shown articles from a supplier's list: the list's rows are paired with the
// grid's articles by key fields (compared trimmed and ignoring case) and every difference is
// proposed before anything changes. An empty list cell leaves its field as it is. Values longer
// than their field, or with characters the catalogue cannot hold, are shown and cannot be taken.
// Articles the list does not mention and list rows without an article are proposed unticked, so
// nothing is added or removed unless the user asks for it; so are keys that occur twice.
namespace ListUpdate {

// `mapping` gives the field each list column fills (empty: unused). Throws AppError when a key
// field has no column in the list or no column in the grid.
Proposals propose(const ArticleGrid &grid, const SheetTable &list, const QStringList &mapping,
                  const QStringList &keyFields);

struct Applied
{
    int cells = 0;
    int added = 0;
    int removed = 0;
    GridChange change;
};

// Writes the ticked proposals into the grid: field values first, then the ticked articles not in
// the list are removed and the ticked list rows are added after the last row (with the grid's
// block name and the group's next type and row numbers, read from `db`). Throws AppError before
// adding when numbers would overflow.
Applied apply(ArticleGrid &grid, const Proposals &proposals, Database &db);

// The decimal point the catalogue writes numbers with, judged from the grid's values: "," unless
// more values read like "12.5" than like "12,5".
QChar decimalPointOf(const ArticleGrid &grid);

} // namespace ListUpdate
