#pragma once

#include "browse/ArticleSelection.h"

#include <QList>
#include <QString>

class ArticleGrid;
class Database;
class Progress;

// Finds a text in every column of Articles across all groups: a plain substring (% _ and \ are
// themselves), compared as the Swedish collation does at primary strength, so case and accents
// are ignored ("cafe" finds "CAFÉ") while Å Ä Ö stay letters of their own ("a" finds no "å").
namespace ArticleSearch {

struct Hit
{
    qint64 rowId = 0;
    QString blockName;
    QString groupDescription;
    QString manufacturer;
    QString articleNumber;
    QString designation;
    QString column; // the first column, in table order, that holds the text
    int rad = 0;

    bool operator==(const Hit &other) const = default;
};

// At most `limit` hits, by group description (Swedish order), block name and row number.
// Nothing for an empty text.
// Given progress, the window repaints while it looks (the bar shows no count).
QList<Hit> find(Database &db, const QString &text, int limit = 500, Progress *progress = nullptr);

// One statement that gives what find() gives, without the find index: the text as ?1, the limit
// as ?2. Given `cellTest`, a condition on one cell put in for %1, it tests every cell with that
// instead of SV_FIND: the benchmark hands the sqlite3 shell, which lacks SV_FIND, its own LIKE.
QString findSql(Database &db, const QString &cellTest = QString());

// The group to show for a hit.
inline ArticleSelection selectionFor(const Hit &hit)
{
    return ArticleSelection::group(hit.blockName);
}
// The grid row holding the hit once its group is shown; -1 when the grid does not hold it.
int gridRowOf(const ArticleGrid &grid, const Hit &hit);
// The grid column of the hit's matching column; -1 when the grid has none of that name.
int gridColumnOf(const ArticleGrid &grid, const Hit &hit);

} // namespace ArticleSearch
