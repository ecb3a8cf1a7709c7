#pragma once

#include "browse/ArticleSelection.h"

#include <QList>
#include <QString>

class ArticleGrid;
class Database;

// Finds a text in every column of Articles across all groups: a substring, case ignored also
// for Å Ä Ö; % _ and \ in the text are literal.
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
QList<Hit> find(Database &db, const QString &text, int limit = 500);

// The statement find() runs: the pattern as ?1, the limit as ?2, prefilterPattern() as ?3.
QString findSql(Database &db);
// The longest ASCII run of the text without % _ \ as a LIKE pattern: every row that matches
// the text matches it, and it is checked first because ASCII needs no case folding.
QString prefilterPattern(const QString &text);
// The text as a LIKE pattern for a substring, with '\' as the escape character.
QString likePattern(const QString &text);

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
