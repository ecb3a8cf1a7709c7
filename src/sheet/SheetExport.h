#pragma once

#include "db/FieldList.h"

#include <QHash>
#include <QString>

#include <vector>

class ArticleGrid;
class ArticleSelection;
class Database;
class Progress;
class SheetWriter;

// A view of the catalogue as a spreadsheet: a heading row of field names (the row number RAD
// stays out, as in the exchange files), then one row per article, every value as text. The whole
// catalogue goes to one sheet with the group's description as its first column, or to a sheet
// per group named by its description.
namespace SheetExport {

enum class Layout { OneSheet, SheetPerGroup };

// The heading of the group-description column.
inline const QString kGroupHeading = QStringLiteral("GRUPP");

// Block name -> description of every group.
QHash<QString, QString> groupDescriptions(Database &db);

// Writes the grid's data rows given (all when `rows` is empty), in that order. With `groups`
// (the whole catalogue is shown) the group's description comes first, or each group gets its
// own sheet; without, the rows go to one sheet named `sheetName`.
void writeGrid(const ArticleGrid &grid, std::vector<int> rows, const QString &sheetName,
               SheetWriter &writer, Progress &progress,
               const QHash<QString, QString> *groups = nullptr, Layout layout = Layout::OneSheet);

// The same straight from the database, a row at a time, for catalogues too large to hold.
void writeCatalogue(Database &db, const FieldList &fields, const ArticleSelection &selection,
                    SheetWriter &writer, Progress &progress, Layout layout = Layout::OneSheet);

} // namespace SheetExport
