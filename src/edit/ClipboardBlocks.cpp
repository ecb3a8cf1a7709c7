#include "edit/ClipboardBlocks.h"
#include "db/Schema.h"

#include "browse/GridChange.h"
#include "browse/GridRules.h"
#include "core/AppError.h"
#include "core/Cp1252.h"
#include "edit/RowOperations.h"

#include <utility>
#include <vector>

namespace {

const QString kLineBreak = QStringLiteral("\r\n");
constexpr QChar kTab = u'\t';
// Fields 0-2 of an article line (RAD, block name, type) stay with the target row.
constexpr int kArticleFieldsKept = 3;
// What the grid answers when asked for a column beyond its last one.
constexpr int kSubscriptOutOfRange = 9;

QLatin1String marker()
{
    return QLatin1String(ClipboardBlocks::ArticleMarker);
}

// Calls line(text) for each line until it returns false. Lines end at CR LF, LF or CR, so a
// block from any platform splits the same way; a break at the very end leaves an empty line.
template <typename Fn> void forEachLine(QStringView text, Fn line)
{
    if (text.isEmpty())
        return;
    qsizetype begin = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != u'\r' && text[i] != u'\n')
            continue;
        if (!line(text.mid(begin, i - begin)))
            return;
        if (i + 1 < text.size() && text[i] == u'\r' && text[i + 1] == u'\n')
            ++i;
        begin = i + 1;
    }
}

// Calls field(j, text) for each TAB-separated field until it returns false; an empty line has
// no field at all.
template <typename Fn> void forEachField(QStringView line, Fn field)
{
    if (line.isEmpty())
        return;
    qsizetype begin = 0;
    for (int j = 0;; ++j) {
        const qsizetype end = line.indexOf(kTab, begin);
        if (!field(j, line.mid(begin, (end < 0 ? line.size() : end) - begin)) || end < 0)
            return;
        begin = end + 1;
    }
}

// The lines of a block that hold something, from line `from` (counted from 0) on: what a paste
// that stopped there left out.
int linesFrom(QStringView text, qint64 from)
{
    int count = 0;
    qint64 index = 0;
    forEachLine(text, [&](QStringView line) {
        if (index++ >= from && !line.isEmpty())
            ++count;
        return true;
    });
    return count;
}

QString rowsWord(int n)
{
    return QString::number(n) + (n == 1 ? QStringLiteral(" rad") : QStringLiteral(" rader"));
}

// The status-bar text for the first character the exchange files cannot hold; empty when all
// can be held.
QString refusalFor(QStringView text)
{
    if (Cp1252::canEncode(text))
        return {};
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool pair =
            text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        const QStringView character = text.mid(i, pair ? 2 : 1);
        if (!Cp1252::canEncode(character)) {
            const char32_t code =
                pair ? QChar::surrogateToUcs4(text[i], text[i + 1]) : char32_t(text[i].unicode());
            return QStringLiteral("Tecknet \"%1\" (U+%2) finns inte i Windows-1252. "
                                  "Inget klistrades in.")
                .arg(character.toString(),
                     QString::number(code, 16).toUpper().rightJustified(4, QLatin1Char('0')));
        }
        if (pair)
            ++i;
    }
    return {};
}

std::vector<bool> writableColumns(const ArticleGrid &grid)
{
    std::vector<bool> writable(size_t(qMax(grid.cols(), 0)));
    for (int c = 0; c < grid.cols(); ++c)
        writable[size_t(c)] = !ClipboardBlocks::isProtectedColumn(grid.text(0, c));
    return writable;
}

// Calls cell(row, column, text) for every cell a cell paste writes, until it returns false;
// returns the number of rows that received a cell.
template <typename Fn>
int forEachPastedCell(const ArticleGrid &grid, int anchorRow, int anchorColumn, QStringView text,
                      Fn cell)
{
    const std::vector<bool> writable = writableColumns(grid);
    int rows = 0;
    qint64 row = anchorRow;
    bool going = true;
    forEachLine(text, [&](QStringView line) {
        if (row >= grid.rows())
            return false; // the paste never adds rows
        if (row >= 1) {
            bool reached = false;
            forEachField(line, [&](int j, QStringView field) {
                const qint64 column = qint64(anchorColumn) + j;
                if (column >= grid.cols())
                    return false;
                // A protected column still takes its field, so the rest keep their positions.
                if (column >= 0 && writable[size_t(column)]) {
                    reached = true;
                    going = cell(int(row), int(column), field);
                }
                return going;
            });
            rows += reached ? 1 : 0;
        }
        ++row;
        return going;
    });
    return rows;
}

// Calls cell(row, column, text) for every cell an article paste writes onto the selected rows,
// until it returns false; returns the number of rows that received a cell.
template <typename Fn>
int forEachArticleCell(const ArticleGrid::CellRange &range, QStringView lines, Fn cell)
{
    int rows = 0;
    int row = range.r1;
    bool going = true;
    forEachLine(lines, [&](QStringView line) {
        if (row > range.r2)
            return false;
        bool reached = false;
        forEachField(line, [&](int j, QStringView field) {
            if (j < kArticleFieldsKept)
                return true;
            reached = true;
            going = cell(row, j + 1, field);
            return going;
        });
        rows += reached ? 1 : 0;
        ++row;
        return going;
    });
    return rows;
}

// The bounding box of the cells a paste wrote.
class WrittenRange
{
public:
    void add(int row, int column)
    {
        if (m_range.r1 > m_range.r2) {
            m_range = {row, column, row, column};
            return;
        }
        m_range = {qMin(m_range.r1, row), qMin(m_range.c1, column), qMax(m_range.r2, row),
                   qMax(m_range.c2, column)};
    }
    bool isEmpty() const { return m_range.r1 > m_range.r2; }
    const ArticleGrid::CellRange &range() const { return m_range; }

private:
    ArticleGrid::CellRange m_range{1, 1, 0, 0};
};

// The lines of an article block after its marker line.
QStringView articleLines(const QString &text)
{
    QStringView lines = QStringView(text).mid(marker().size());
    if (lines.startsWith(kLineBreak))
        return lines.mid(2);
    if (lines.startsWith(u'\n') || lines.startsWith(u'\r'))
        return lines.mid(1);
    return lines;
}

// Checked before the first cell is written, so a failed paste leaves the rows as they were:
// throws AppError for a line with more fields than the grid has columns; returns the refusal
// for a character the exchange files cannot hold.
QString checkArticleCells(const ArticleGrid &grid, const ArticleGrid::CellRange &range,
                          QStringView lines)
{
    QString refusal;
    forEachArticleCell(range, lines, [&](int, int column, QStringView field) {
        if (column >= grid.cols())
            throw AppError(kSubscriptOutOfRange,
                           QStringLiteral("Artikelblocket har fler fält än rutnätets %1 kolumner.")
                               .arg(grid.cols() - 1));
        refusal = refusalFor(field);
        return refusal.isEmpty();
    });
    return refusal;
}

} // namespace

namespace ClipboardBlocks {

bool hasArticleBlock(QStringView clipboardText)
{
    return clipboardText.startsWith(marker(), Qt::CaseSensitive);
}

bool isProtectedColumn(QStringView header)
{
    // Exact names, as the Delete key keeps them, so a cut never empties a cell it did not copy.
    return header.isEmpty() || Schema::isProtectedColumn(header);
}

std::optional<QString> CopyClip(const ArticleGrid &grid)
{
    const std::optional<ArticleGrid::CellRange> range = grid.dataSelection();
    if (!range)
        return std::nullopt;
    std::vector<int> copied;
    for (int c = range->c1; c <= range->c2; ++c) {
        if (!isProtectedColumn(grid.text(0, c)))
            copied.push_back(c);
    }
    QString block;
    for (int r = range->r1; r <= range->r2; ++r) {
        if (r > range->r1)
            block += kLineBreak;
        // TABs only between copied cells: a trailing one would empty a cell when pasted back.
        for (size_t i = 0; i < copied.size(); ++i) {
            if (i > 0)
                block += kTab;
            block += grid.text(r, copied[i]);
        }
    }
    return block;
}

CutResult CutClip(ArticleGrid &grid)
{
    CutResult result;
    result.text = CopyClip(grid);
    if (result.text) {
        const ArticleGrid::CellRange range = *grid.dataSelection();
        result.changed = GridRules::clearCells(grid, range);
        if (result.changed)
            result.change = GridChange::cellsChanged(range);
    }
    return result;
}

PasteResult PasteClip(ArticleGrid &grid, int anchorRow, int anchorColumn, const QString &text)
{
    PasteResult result;
    if (grid.rows() < 2)
        return result;
    // Everything is checked before the first cell is written, so a refusal leaves no trace.
    forEachPastedCell(grid, anchorRow, anchorColumn, text, [&](int, int, QStringView field) {
        result.refusal = refusalFor(field);
        return result.refusal.isEmpty();
    });
    if (!result.refusal.isEmpty())
        return result;
    WrittenRange written;
    result.rows = forEachPastedCell(grid, anchorRow, anchorColumn, text,
                                    [&](int row, int column, QStringView field) {
                                        result.cuts.write(grid, row, column, field);
                                        written.add(row, column);
                                        return true;
                                    });
    result.edited = true;
    if (!written.isEmpty()) {
        grid.setSelection(written.range());
        result.change = GridChange::cellsChanged(written.range());
    }
    // The paste never adds rows: what did not fit is named, with the way to paste it all.
    if (const int leftOut = linesFrom(text, qint64(grid.rows()) - qMax(anchorRow, 1)); leftOut > 0)
        result.leftOut = QStringLiteral("%1 av urklippet fick inte plats under den aktuella "
                                        "cellen och klistrades inte in. Lägg till rader eller "
                                        "börja högre upp för att klistra in allt.")
                             .arg(rowsWord(leftOut));
    return result;
}

std::optional<QString> CopyArticle(const ArticleGrid &grid)
{
    const std::optional<ArticleGrid::CellRange> range = grid.dataSelection();
    if (!range)
        return std::nullopt;
    QString block = marker() + kLineBreak;
    for (int r = range->r1; r <= range->r2; ++r) {
        if (r > range->r1)
            block += kLineBreak;
        for (int c = range->c1; c <= range->c2; ++c) {
            if (c > range->c1)
                block += kTab;
            block += grid.text(r, c);
        }
    }
    return block;
}

PasteResult mnuPasteArticle(ArticleGrid &grid, const QString &text, ArticleSelection::Kind view)
{
    PasteResult result;
    if (!GridRules::allowsRowOperations(view)) {
        result.refusal = GridRules::rootViewRowHint();
        return result;
    }
    const std::optional<ArticleGrid::CellRange> range = grid.dataSelection();
    if (!range)
        return result;
    if (text.isEmpty()) {
        result.edited = true;
        return result;
    }
    if (!hasArticleBlock(text)) {
        result.refusal = QStringLiteral("Urklippet innehåller inga kopierade artiklar.");
        return result;
    }
    const QStringView lines = articleLines(text);
    result.refusal = checkArticleCells(grid, *range, lines);
    if (!result.refusal.isEmpty())
        return result;
    WrittenRange written;
    result.rows = forEachArticleCell(*range, lines, [&](int row, int column, QStringView field) {
        result.cuts.write(grid, row, column, field);
        written.add(row, column);
        return true;
    });
    result.edited = true;
    if (!written.isEmpty()) {
        const ArticleGrid::CellRange &cells = written.range();
        grid.setSelection({cells.r1, 1, cells.r2, grid.cols() - 1});
        result.change = GridChange::cellsChanged(cells);
    }
    if (const int leftOut = linesFrom(lines, range->r2 - range->r1 + 1); leftOut > 0)
        result.leftOut = QStringLiteral("%1 av %2 kopierade artiklar klistrades inte in: de "
                                        "markerade raderna räckte inte. Markera eller lägg till "
                                        "fler rader först, eller välj \"Klistra in som nya "
                                        "artiklar\".")
                             .arg(leftOut)
                             .arg(linesFrom(lines, 0));
    return result;
}

} // namespace ClipboardBlocks

namespace ClipboardBlocks {

PasteResult pasteAsNewArticles(ArticleGrid &grid, Database &db, const QString &text,
                               ArticleSelection::Kind view)
{
    PasteResult result;
    if (!GridRules::allowsRowOperations(view)) {
        result.refusal = GridRules::rootViewRowHint();
        return result;
    }
    if (!hasArticleBlock(text)) {
        result.refusal = QStringLiteral("Urklippet innehåller inga kopierade artiklar.");
        return result;
    }
    const QStringView lines = articleLines(text);
    const int count = linesFrom(lines, 0);
    if (count == 0 || grid.rows() < 2)
        return result;
    // After the selection, or at the end; never above the group's head line.
    const std::optional<ArticleGrid::CellRange> selected = grid.dataSelection();
    const int at =
        std::max(selected ? selected->r2 + 1 : grid.rows(), GridRules::headLineCount(grid) + 1);
    const ArticleGrid::CellRange target{at, 1, at + count - 1, grid.cols() - 1};
    result.refusal = checkArticleCells(grid, target, lines);
    if (!result.refusal.isEmpty())
        return result;

    const QString blockName = grid.text(at - 1, grid.GetColumn(Schema::kBlockName));
    const RowOperations::RowsResult rows =
        RowOperations::insertArticles(grid, db, at, count, blockName);
    forEachArticleCell(target, lines, [&](int row, int column, QStringView field) {
        result.cuts.write(grid, row, column, field);
        return true;
    });
    result.edited = true;
    result.rows = count;
    grid.setSelection(target);
    result.change = rows.change;
    return result;
}

} // namespace ClipboardBlocks
