#include "browse/GridStore.h"

#include "browse/ArticleGrid.h"
#include "browse/ArticleSelection.h"
#include "core/Progress.h"
#include "db/Database.h"
#include "db/Schema.h"

#include <QLatin1StringView>

#include <cstdint>
#include <vector>

namespace {


bool isAscii(const char *text, qsizetype length)
{
    for (qsizetype i = 0; i < length; ++i) {
        if (static_cast<unsigned char>(text[i]) >= 0x80)
            return false;
    }
    return true;
}

QString columnNamed(Database &db, const char *table, const QString &name)
{
    for (const ColumnInfo &column : db.columns(QLatin1String(table))) {
        if (column.name.compare(name, Qt::CaseInsensitive) == 0)
            return column.name;
    }
    return {};
}

} // namespace

namespace GridStore {

void PopulateGrid(Database &db, const ArticleSelection &selection, ArticleGrid &grid,
                  Progress &progress)
{
    grid.setRows(1);
    grid.setSelection({});
    if (!selection.isValid())
        return;
    const qint64 total = selection.rowCount(db);
    if (total == 0)
        return;
    progress.start(total);
    grid.reserve(int(total) + 1);

    // Which query column fills each grid column, matched by the header names.
    std::vector<int> source;
    qint64 written = 0;
    selection.forEachRow(db, [&](const Statement &row) {
        if (source.empty()) {
            source.assign(size_t(grid.cols()), -1);
            for (int i = 0; i < row.columnCount(); ++i) {
                const int column = grid.GetColumn(row.columnName(i));
                if (column >= 0)
                    source[size_t(column)] = i;
            }
        }
        QString cells;
        std::vector<std::uint32_t> ends(size_t(grid.cols()), 0);
        for (int c = 0; c < grid.cols(); ++c) {
            if (const int i = source[size_t(c)]; i >= 0) {
                qsizetype length = 0;
                const char *utf8 = row.utf8(i, &length);
                if (utf8 && isAscii(utf8, length))
                    cells.append(QLatin1StringView(utf8, length));
                else if (utf8)
                    cells.append(QString::fromUtf8(utf8, length));
            }
            ends[size_t(c)] = std::uint32_t(cells.size());
        }
        cells.squeeze();
        grid.appendRow(std::move(cells), std::move(ends));
        if (++written % kProgressStep == 0)
            progress.update(written);
    });
    progress.update(written);
    progress.end();
    if (grid.rows() > 1)
        grid.setSelection({1, 1, 1, 1});
}

void saveGrid(Database &db, const ArticleSelection &selection, const ArticleGrid &grid)
{
    const std::vector<ColumnInfo> columns = db.columns(QLatin1String(Schema::kArticles));
    Transaction transaction(db);

    const bool emptied = grid.rows() <= 1;
    if (!emptied && selection.kind() == ArticleSelection::Kind::Group) {
        // The group's description follows the designation of its first article.
        const int blockColumn = grid.GetColumn(QStringLiteral("BL_NAME"));
        const int designationColumn = grid.GetColumn(QStringLiteral("BENÄMNING"));
        if (blockColumn >= 0 && designationColumn >= 0)
            db.prepare(QStringLiteral("UPDATE Designations SET DESCRIPTION = ? WHERE BL_NAME = ?"))
                .bind(1, grid.text(1, designationColumn).left(Schema::kDesignationSize))
                .bind(2, grid.text(1, blockColumn))
                .run();
    }

    selection.deleteRows(db);

    QStringList names;
    QStringList marks;
    std::vector<int> gridColumn;
    for (const ColumnInfo &column : columns) {
        names << quoteIdentifier(column.name);
        marks << QStringLiteral("?");
        gridColumn.push_back(grid.GetColumn(column.name));
    }
    Statement insert = db.prepare(QStringLiteral("INSERT INTO Articles (%1) VALUES (%2)")
                                      .arg(names.join(QLatin1Char(',')),
                                           marks.join(QLatin1Char(','))));
    for (int row = 1; row < grid.rows(); ++row) {
        for (size_t i = 0; i < columns.size(); ++i) {
            const int index = int(i) + 1;
            if (gridColumn[i] < 0) {
                insert.bindNull(index);
                continue;
            }
            const QString text = grid.text(row, gridColumn[i]);
            bool isNumber = false;
            const qint64 number = text.toLongLong(&isNumber);
            if (columns[i].isInteger && isNumber)
                insert.bind(index, number);
            else if (columns[i].size > 0 && !columns[i].isInteger)
                insert.bind(index, text.left(columns[i].size));
            else
                insert.bind(index, text);
        }
        insert.run();
    }

    // A group whose last article went is removed, with the equivalences that point at it. (A
    // manufacturer emptied while the group keeps other articles leaves the group as it is.)
    if (emptied && selection.singleGroupView()) {
        const QString group = selection.currentGroup();
        const bool hasArticles =
            db.scalar(QStringLiteral("SELECT 1 FROM Articles WHERE BL_NAME = ? LIMIT 1"), group)
                .isValid();
        if (!hasArticles) {
            db.prepare(QStringLiteral("DELETE FROM Designations WHERE BL_NAME = ?"))
                .bind(1, group)
                .run();
            const QString designation = columnNamed(db, Schema::kEqv, QStringLiteral("BENÄMNING"));
            if (!designation.isEmpty())
                db.prepare(QStringLiteral("DELETE FROM Eqv WHERE %1 = ?")
                               .arg(quoteIdentifier(designation)))
                    .bind(1, QLatin1Char('=') + group)
                    .run();
        }
    }
    transaction.commit();
}

} // namespace GridStore
