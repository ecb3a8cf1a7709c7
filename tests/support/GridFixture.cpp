#include "support/GridFixture.h"

namespace GridFixture {

ArticleGrid make(const QStringList &header, const QStringList &rows)
{
    FieldList fields;
    for (const QString &name : header)
        fields.append({name, {}, 40, 0});
    ArticleGrid grid;
    grid.setupColumns(fields);
    int next = 1;
    for (const QString &row : rows)
        next = grid.AddGridRow(QStringList{QString()} + row.split(QLatin1Char('|')), next);
    return grid;
}

QStringList dump(const ArticleGrid &grid)
{
    QStringList rows;
    for (int r = 1; r < grid.rows(); ++r) {
        QStringList cells;
        for (int c = 1; c < grid.cols(); ++c)
            cells << grid.text(r, c);
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

} // namespace GridFixture
