#pragma once

#include "db/FieldList.h"

#include <QList>
#include <QString>
#include <QStringList>

// The article grid's buffer: row 0 holds the column names, column 0 is the row-selector column,
// column 1 RAD (hidden), column 2 BL_NAME, then the other fields; every cell is text.
class ArticleGrid
{
public:
    int rows() const { return int(m_cells.size()); }
    int cols() const { return m_cols; }

    // Header row only: an empty cell, then the field names in order.
    void setupColumns(const FieldList &fields);
    // Keeps the first `rows` rows (at least the header), adding empty ones as needed.
    void setRows(int rows);
    void clear();

    QString text(int row, int col) const;
    void setText(int row, int col, const QString &text);

private:
    QList<QStringList> m_cells;
    int m_cols = 0;
};
