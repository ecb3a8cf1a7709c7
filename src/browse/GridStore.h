#pragma once

class ArticleGrid;
class ArticleSelection;
class Database;
class Progress;

// Moving articles between the working database and the grid.
namespace GridStore {

// Replaces the grid's data rows by the articles of the selection (the header row stays); a
// missing value shows as empty text. Selects cell (1, 1) when there are rows.
void PopulateGrid(Database &db, const ArticleSelection &selection, ArticleGrid &grid,
                  Progress &progress);

// Writes the grid back in one transaction: the group's description follows its first article,
// the shown rows are deleted and every grid row is written, cut to its field's size. A group
// left without articles is removed with the equivalence rows that refer to it. On any error
// nothing is changed and the error is thrown.
void saveGrid(Database &db, const ArticleSelection &selection, const ArticleGrid &grid);

} // namespace GridStore
