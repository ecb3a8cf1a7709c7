#pragma once

#include "browse/ArticleGrid.h"
#include "browse/ArticleSelection.h"
#include "browse/GridChange.h"
#include "edit/CutCells.h"

#include <QString>
#include <QStringView>

#include <optional>

class Database;

// The two clipboard layouts of the article grid: a cell block (TAB between cells, CR LF between
// rows, no line break at the end) for any rectangle, also to and from spreadsheets, and an
// article block (the marker line, then whole rows) for copying articles onto other articles.
// Only the grid and the clipboard text are touched; the window owns the clipboard itself.
//
// Text is refused at paste when a cell would receive a character that Windows-1252 cannot hold:
// then nothing at all is written and PasteResult::refusal says why, for the status bar. A value
// longer than its field is cut to the field's length and counted in PasteResult::cuts.
namespace ClipboardBlocks {

// First line of an article block; recognised case-sensitively at the start of the text.
inline constexpr char ArticleMarker[] = "!Ravelund!";

// True when the clipboard text begins with the article-block marker (enables pasting articles).
bool hasArticleBlock(QStringView clipboardText);

// RAD, BL_NAME and TYP, and the header-less row-selector column, are neither copied into a cell
// block nor written by a cell paste; they are the columns the Delete key keeps too.
bool isProtectedColumn(QStringView header);

// The cell block of the grid's selection, protected columns left out (no empty field for them).
// nullopt when the grid has no data row or the selection holds no data cell: leave the
// clipboard as it is.
std::optional<QString> CopyClip(const ArticleGrid &grid);

struct CutResult
{
    std::optional<QString> text; // as CopyClip; nullopt: nothing was done
    bool changed = false;        // some cell was emptied
    GridChange change;           // the selection's cells when one was emptied
};

// CopyClip, then the Delete-key action on the selection (the protected columns keep their text).
CutResult CutClip(ArticleGrid &grid);

struct PasteResult
{
    bool edited = false; // the window enters its edited state (also when nothing landed)
    QString refusal;     // not empty: nothing was written; a short text for the status bar
    int rows = 0;        // grid rows that received at least one cell
    CutCells cuts;       // values cut to their field's length
    GridChange change;   // the pasted range
    // Not empty: lines or articles did not fit and were left out; the status-bar text says how
    // many and how to paste them all.
    QString leftOut;
};

// Pastes a cell block with its first cell at (anchorRow, anchorColumn), the current cell. Rows
// end at CR LF, LF or CR; an empty line writes nothing, so a trailing line break adds nothing.
// Fields go to the columns by position: a protected column skips its field, and lines or fields
// beyond the grid are dropped; no rows or columns are added. Does nothing without a data row.
// The pasted range (from the first to the last cell written) becomes the selection.
PasteResult PasteClip(ArticleGrid &grid, int anchorRow, int anchorColumn, const QString &text);

// The article block of the grid's selection: the marker line, then every selected cell.
// nullopt when the selection holds no data cell.
std::optional<QString> CopyArticle(const ArticleGrid &grid);

// Pastes an article block onto the selected rows, as many as both have, never adding rows.
// Fields 0-2 (RAD, block name, type) are skipped, so the rows keep their own; field j goes to
// grid column j + 1. A text without the marker is refused (an empty one pastes nothing).
// Throws AppError, with nothing written, when a pasted line has more fields than the grid has
// columns; report it as "mnuPasteArticle". The pasted rows, whole, become the selection.
// Refused in the root view, whose rows belong to many groups.
PasteResult mnuPasteArticle(ArticleGrid &grid, const QString &text, ArticleSelection::Kind view);

// Inserts the articles of an article block as new rows after the selection (never above the
// group's head line): they take the group's block name, the next free type numbers and row
// numbers that follow their position; their other fields come from the block. The new rows,
// whole, become the selection. Refused in the root view and for a text without the marker;
// throws AppError, with nothing changed, as mnuPasteArticle does or when numbers overflow.
PasteResult pasteAsNewArticles(ArticleGrid &grid, Database &db, const QString &text,
                               ArticleSelection::Kind view);

} // namespace ClipboardBlocks
