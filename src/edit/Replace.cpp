#include "edit/Replace.h"
#include "db/Schema.h"

#include "core/Cp1252.h"

#include <utility>

namespace {

constexpr int kFirstShownArticlesColumn = 4;

// Exact names: a substring test would also protect fields such as "NAME" or "AD".
bool keepsOnReplace(QStringView header)
{
    return Schema::isProtectedColumn(header);
}

} // namespace

namespace Replace {

Scope defaultScope(const ArticleGrid::CellRange &selection)
{
    return selection.r1 == selection.r2 && selection.c1 == selection.c2 ? Scope::ShownArticles
                                                                        : Scope::Selection;
}

ArticleGrid::CellRange scopeRange(const ArticleGrid &grid, Scope scope)
{
    ArticleGrid::CellRange range;
    if (scope == Scope::ShownArticles) {
        range = {1, kFirstShownArticlesColumn, grid.rows() - 1, grid.cols() - 1};
    } else {
        const std::optional<ArticleGrid::CellRange> data = grid.dataSelection();
        if (!data)
            return {1, 1, 0, 0}; // an empty range
        range = *data;
    }
    if (range.c1 > range.c2)
        range.r2 = range.r1 - 1;
    return range;
}

bool canReplaceWith(QStringView replacement)
{
    return Cp1252::canEncode(replacement);
}

std::optional<Result> replaceText(ArticleGrid &grid, Scope scope, const QString &find,
                                  const QString &replacement)
{
    if (grid.rows() < 2 || find.isEmpty() || !canReplaceWith(replacement))
        return std::nullopt;
    const ArticleGrid::CellRange range = scopeRange(grid, scope);
    Result result;
    result.find = find;
    for (int column = range.c1; column <= range.c2; ++column) {
        if (scope == Scope::Selection && keepsOnReplace(grid.text(0, column)))
            continue;
        for (int row = range.r1; row <= range.r2; ++row) {
            const QString cell = grid.text(row, column);
            if (!cell.contains(find, Qt::CaseSensitive))
                continue;
            ++result.found;
            const QString replaced = QString(cell).replace(find, replacement, Qt::CaseSensitive);
            if (result.cuts.write(grid, row, column, replaced))
                ++result.changed;
        }
    }
    if (range.r1 <= range.r2)
        grid.setSelection(range);
    if (result.changed > 0)
        result.change = GridChange::cellsChanged(range);
    return result;
}

} // namespace Replace
