#include "sheet/SheetExport.h"

#include "browse/ArticleGrid.h"
#include "browse/ArticleSelection.h"
#include "core/Progress.h"
#include "db/Database.h"
#include "db/Schema.h"
#include "sheet/SheetWriter.h"

#include <map>

namespace SheetExport {

namespace {

// The exported fields: every column but RAD.
QList<SheetColumn> columnsOf(const FieldList &fields, bool withGroup)
{
    QList<SheetColumn> columns;
    if (withGroup)
        columns << SheetColumn{kGroupHeading, Schema::kDesignationSize};
    for (const FieldDesc &field : fields) {
        if (field.Name.compare(Schema::kRowNumber, Qt::CaseInsensitive) != 0)
            columns << SheetColumn{field.Name, field.Length};
    }
    return columns;
}

FieldList gridFields(const ArticleGrid &grid)
{
    FieldList fields;
    for (int c = 1; c < grid.cols(); ++c)
        fields << FieldDesc{grid.text(0, c), QString(), grid.fieldLength(c), 0};
    return fields;
}

} // namespace

QHash<QString, QString> groupDescriptions(Database &db)
{
    QHash<QString, QString> groups;
    Statement st = db.prepare(QStringLiteral("SELECT BL_NAME, DESCRIPTION FROM Designations"));
    while (st.step())
        groups.insert(st.text(0), st.text(1));
    return groups;
}

void writeGrid(const ArticleGrid &grid, std::vector<int> rows, const QString &sheetName,
               SheetWriter &writer, Progress &progress, const QHash<QString, QString> *groups,
               Layout layout)
{
    if (rows.empty()) {
        for (int r = 1; r < grid.rows(); ++r)
            rows.push_back(r);
    }
    const int blockColumn = grid.GetColumn(Schema::kBlockName);
    const int radColumn = grid.GetColumn(Schema::kRowNumber);
    const bool perGroup = groups && layout == Layout::SheetPerGroup && blockColumn > 0;
    const bool groupColumn = groups && !perGroup && blockColumn > 0;
    const QList<SheetColumn> columns = columnsOf(gridFields(grid), groupColumn);
    const auto description = [&](int row) {
        const QString block = grid.text(row, blockColumn);
        const QString text = groups->value(block);
        return text.isEmpty() ? block : text;
    };
    // A sheet per group: the rows of each group together, groups in the order first met.
    std::vector<std::vector<int>> sheets;
    if (perGroup) {
        QHash<QString, size_t> index;
        for (const int row : rows) {
            const QString block = grid.text(row, blockColumn);
            const auto found = index.constFind(block);
            if (found == index.constEnd()) {
                index.insert(block, sheets.size());
                sheets.push_back({row});
            } else {
                sheets[*found].push_back(row);
            }
        }
    } else {
        sheets.push_back(std::move(rows));
    }
    qint64 done = 0;
    qint64 total = 0;
    for (const auto &sheet : sheets)
        total += qint64(sheet.size());
    progress.start(total);
    for (const auto &sheet : sheets) {
        writer.beginSheet(perGroup && !sheet.empty() ? description(sheet.front()) : sheetName,
                          columns);
        for (const int row : sheet) {
            QStringList values;
            values.reserve(columns.size());
            if (groupColumn)
                values << description(row);
            for (int c = 1; c < grid.cols(); ++c) {
                if (c != radColumn)
                    values << grid.text(row, c);
            }
            writer.addRow(values);
            if (++done % kProgressStep == 0)
                progress.update(done);
        }
    }
    writer.finish();
    progress.end();
}

void writeCatalogue(Database &db, const FieldList &fields, const ArticleSelection &selection,
                    SheetWriter &writer, Progress &progress, Layout layout)
{
    const bool whole = selection.kind() == ArticleSelection::Kind::Root;
    const bool perGroup = whole && layout == Layout::SheetPerGroup;
    const QHash<QString, QString> groups =
        whole ? groupDescriptions(db) : QHash<QString, QString>();
    const QList<SheetColumn> columns = columnsOf(fields, whole && !perGroup);
    int blockColumn = -1;
    QList<int> exported;
    for (int c = 0; c < fields.size(); ++c) {
        if (fields.at(c).Name.compare(Schema::kRowNumber, Qt::CaseInsensitive) != 0)
            exported << c;
        if (fields.at(c).Name.compare(Schema::kBlockName, Qt::CaseInsensitive) == 0)
            blockColumn = c;
    }
    const auto description = [&](const QString &block) {
        const QString text = groups.value(block);
        return text.isEmpty() ? block : text;
    };
    progress.start(selection.rowCount(db));
    qint64 done = 0;
    bool begun = false;
    QString currentBlock;
    QStringList values;
    selection.forEachRow(db, [&](const Statement &st) {
        const QString block = blockColumn >= 0 ? st.text(blockColumn) : QString();
        if (!begun || (perGroup && block != currentBlock)) {
            writer.beginSheet(perGroup ? description(block)
                              : whole  ? QStringLiteral("Artiklar")
                                       : selection.blockName(),
                              columns);
            begun = true;
            currentBlock = block;
        }
        values.clear();
        if (whole && !perGroup)
            values << description(block);
        for (const int c : exported)
            values << st.text(c);
        writer.addRow(values);
        if (++done % kProgressStep == 0)
            progress.update(done);
    });
    if (!begun)
        writer.beginSheet(whole ? QStringLiteral("Artiklar") : selection.blockName(), columns);
    writer.finish();
    progress.end();
}

} // namespace SheetExport
