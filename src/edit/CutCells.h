#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

class ArticleGrid;

// The cells a paste, fill or replace had to cut to their field's length. The grid holds what
// the database column can take, so a value that would not fit is cut where it is written and
// the user is told, instead of the save cutting it unseen.
class CutCells
{
public:
    // Writes `text` into the cell, cut to its column's field length, and counts the cell when
    // something was cut off. Returns whether the cell's text changed.
    bool write(ArticleGrid &grid, int row, int column, QStringView text);

    int count() const { return m_count; }
    // The field names of the columns with cut cells, in grid order.
    const QStringList &columns() const { return m_columns; }

    // The status-bar text, e.g. "3 celler kortades till fältets längd i kolumnen BENÄMNING. ..."
    // Empty when nothing was cut.
    QString statusText() const;

private:
    void add(const ArticleGrid &grid, int column);

    int m_count = 0;
    QList<int> m_columnIndexes; // sorted, parallel to m_columns
    QStringList m_columns;
};
