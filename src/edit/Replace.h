#pragma once

#include "browse/ArticleGrid.h"
#include "browse/GridChange.h"
#include "edit/CutCells.h"

#include <QString>
#include <QStringView>

#include <optional>

// Search and replace in the article grid: a plain, case-sensitive substring replacement in the
// selected cells or in every shown article.
namespace Replace {

enum class Scope {
    Selection = 0,     // "Markering": the selected cells except RAD, BL_NAME and TYP
    ShownArticles = 1, // "Visade artiklar": every data row from grid column 4 on
};

// One single selected cell starts on all shown articles; anything larger on the selection.
Scope defaultScope(const ArticleGrid::CellRange &selection);

// The cells a scope covers (data rows only); r1 > r2 when it covers none.
ArticleGrid::CellRange scopeRange(const ArticleGrid &grid, Scope scope);

// The replacement ends up in the Windows-1252 exchange files, so it may only hold what they can.
bool canReplaceWith(QStringView replacement);

struct Result
{
    int found = 0;     // cells holding the text looked for
    int changed = 0;   // cells whose text changed
    CutCells cuts;     // replaced texts cut to their field's length
    GridChange change; // the scope's cells, when one changed
    QString find;      // the text looked for

    // "Inga träffar för ..." when no cell held the text, for the status bar; empty otherwise.
    QString noMatchText() const
    {
        return found > 0 ? QString() : QStringLiteral("Inga träffar för \"%1\".").arg(find);
    }
};

// Replaces every occurrence of `find` by `replacement` in the cells of the scope, left to right
// without scanning the inserted text again; an empty replacement deletes the occurrences. A text
// that grows beyond its field is cut to the field's length. The scope's cells become the
// selection. nullopt when it did not run: no data row, an empty find text, or a replacement
// Windows-1252 cannot hold.
std::optional<Result> replaceText(ArticleGrid &grid, Scope scope, const QString &find,
                                  const QString &replacement);

} // namespace Replace
