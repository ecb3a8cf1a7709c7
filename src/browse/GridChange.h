#pragma once

#include "browse/ArticleGrid.h"

// What a grid operation changed, so the view's model can announce no more than that: a range of
// cells, rows inserted or removed, or everything (a sort or a move that reorders whole rows).
// Rows and cells are grid indexes (data rows from 1), as the grid is after the operation.
struct GridChange
{
    enum class Kind { Nothing, Cells, RowsInserted, RowsRemoved, Everything };

    Kind kind = Kind::Nothing;
    int row = 0;   // RowsInserted, RowsRemoved: the first row
    int count = 0; // RowsInserted, RowsRemoved: how many rows
    // Cells: the changed cells. RowsInserted: cells of other rows that changed as well (the row
    // numbers handed out again after the insert); none when r1 > r2.
    ArticleGrid::CellRange cells{1, 1, 0, 0};

    static GridChange nothing() { return {}; }
    static GridChange cellsChanged(const ArticleGrid::CellRange &range)
    {
        return {Kind::Cells, 0, 0, range};
    }
    static GridChange rowsInserted(int row, int count,
                                   const ArticleGrid::CellRange &alsoChanged = {1, 1, 0, 0})
    {
        return {Kind::RowsInserted, row, count, alsoChanged};
    }
    static GridChange rowsRemoved(int row, int count) { return {Kind::RowsRemoved, row, count}; }
    static GridChange everything() { return {Kind::Everything}; }

    bool operator==(const GridChange &other) const = default;
};
