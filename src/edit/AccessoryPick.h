#pragma once

#include "browse/ArticleGrid.h"
#include "browse/GridChange.h"
#include "edit/CutCells.h"

#include <QList>
#include <QString>
#include <QStringList>

class Database;

// Choosing an accessory group for articles: the groups whose description begins with the
// accessory prefix, a glimpse of a group's first articles, and the chosen block name written
// into the article grid.
namespace AccessoryPick {

struct Group
{
    QString blockName;
    QString description;

    bool operator==(const Group &other) const = default;
};

// The prefix of accessory-group descriptions: the installation's, else the user's. Read anew
// for every filling, so a prefix just changed in the Options dialog counts.
QString accessoryPrefix();

// The groups whose description begins with `prefix`, ignoring case (Å Ä Ö too); % and _ in the
// prefix are plain characters. Ordered by description, then block name.
QList<Group> accessoryGroups(Database &db, const QString &prefix);

// The message when no group begins with the prefix.
QString noGroupsTitle();
QString noGroupsText(const QString &prefix);

inline constexpr int kPreviewArticles = 10;
inline constexpr int kPreviewFields = 7;
// RAD, BL_NAME and TYP are not shown: the user knows the group, and the row number says little.
inline constexpr int kFirstPreviewField = 3;

struct Preview
{
    QStringList fields;      // the names of the columns shown
    QList<QStringList> rows; // one per article, a value per field; null as ""

    bool isEmpty() const { return rows.isEmpty(); }
};

// A group's first articles by row number and type: at most kPreviewArticles, each with the
// kPreviewFields fields that follow the first kFirstPreviewField in the table's column order.
Preview previewArticles(Database &db, const QString &blockName);

struct Result
{
    bool edited = false; // the window enters its edited state
    CutCells cuts;       // the name was longer than the column's field
    GridChange change;

    explicit operator bool() const { return edited; }
};

// Writes `blockName` into the first column of `selection` in each of its rows, and selects
// those cells. `selection` is the grid's selection when the picker was opened; rows the grid no
// longer has are skipped. Writes nothing for an empty name, a range off the data cells or a
// column that is never written by hand (RAD, BL_NAME, TYP).
Result writeBlockName(ArticleGrid &grid, const ArticleGrid::CellRange &selection,
                      const QString &blockName);

} // namespace AccessoryPick
