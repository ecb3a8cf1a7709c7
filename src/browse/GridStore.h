#pragma once

#include "browse/ArticleSelection.h"
#include "browse/PackedCells.h"

#include <QStringList>

#include <functional>
#include <vector>

class ArticleGrid;
class Database;
class Progress;
class Statement;

// Moving articles between the working database and the grid.
namespace GridStore {

// Replaces the grid's data rows by the articles of the selection (the header row stays); a
// missing value shows as empty text. Each row remembers the database row it came from. Selects
// cell (1, 1) when there are rows.
void PopulateGrid(Database &db, const ArticleSelection &selection, ArticleGrid &grid,
                  Progress &progress);
// The same, reading at most `limit` rows (-1: all); true when the selection's last row was read.
bool PopulateGrid(Database &db, const ArticleSelection &selection, ArticleGrid &grid,
                  Progress &progress, qint64 limit);
// Appends the selection's rows from row `skip` on (counted from 0), at most `limit` of them
// (-1: all); true when the last row was read. Progress runs when `total` (all rows) is known.
bool appendArticles(Database &db, const ArticleSelection &selection, ArticleGrid &grid, qint64 skip,
                    qint64 limit, Progress &progress, qint64 total = -1);
// The grid's header row, to build rows for the grid away from it.
QStringList gridHeaders(const ArticleGrid &grid);

// Reads the rows of a view as grid rows in the grid's order, the columns matched by the header
// names; a column the query lacks stays empty.
class ArticleRowReader
{
public:
    explicit ArticleRowReader(QStringList headers);
    // Every row of the share with its rowid after the first `skip`, until `row` answers false.
    // Skipped rows are passed over unread. Returns how many rows were passed or handed over.
    qint64 readAll(Database &db, const ArticleSelection &selection,
                   const std::function<bool(PackedCells &&cells, qint64 rowId)> &row,
                   ArticleSelection::Share share = {0, 1}, qint64 skip = 0);

private:
    PackedCells read(const Statement &row);

    QStringList m_headers;
    std::vector<int> m_source; // query column of each grid column, -1 for none
    PackedCells::Builder m_builder;
};
// The same without progress.
void saveGrid(Database &db, const ArticleSelection &selection, const ArticleGrid &grid);

// Writes the grid back in one transaction, touching only what the edits need: loaded rows whose
// values differ are updated (only the differing columns), rows made in the grid are inserted and
// the rows the user removed from the grid are deleted; nothing else is deleted. Values are cut
// to their field's size; integer columns get numbers. In a group view the group's description
// follows its first article; a group left without articles is removed with the equivalence rows
// that refer to it. Before anything is written, a save that would give two articles of one group
// the same row number is refused. On any error nothing is changed and the error is thrown.
void saveGrid(Database &db, const ArticleSelection &selection, const ArticleGrid &grid,
              Progress &progress);

} // namespace GridStore
