#include "edit/RowOperations.h"
#include "db/Schema.h"

#include "browse/ArticleGrid.h"
#include "browse/GridRules.h"
#include "browse/RowNumbering.h"
#include "core/AppError.h"
#include "core/Prompter.h"
#include "db/Database.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace RowOperations {

namespace {

// A grid read beyond its rows.
constexpr int kSubscriptOutOfRange = 9;

constexpr qint64 kTypeMin = std::numeric_limits<qint16>::min();
constexpr qint64 kTypeMax = std::numeric_limits<qint16>::max();
constexpr qint64 kAnyMin = std::numeric_limits<qint64>::min();
constexpr qint64 kAnyMax = std::numeric_limits<qint64>::max();

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

int typeNumber(QStringView number, QStringView type)
{
    const std::optional<qint64> value = RowNumbering::wholeNumber(number, kAnyMin, kAnyMax);
    if (!value)
        throw AppError(ErrorNumber::TypeMismatch,
                       QStringLiteral("Typerna stämmer inte överens: typen '%1' har inget tal "
                                      "efter prefixet.")
                           .arg(type));
    if (*value < kTypeMin || *value > kTypeMax)
        throw AppError(ErrorNumber::Overflow,
                       QStringLiteral("Spill: typnumret i '%1' ligger utanför %2..%3.")
                           .arg(type)
                           .arg(kTypeMin)
                           .arg(kTypeMax));
    return int(*value);
}

void takeType(QStringView type, TypeNumbers &numbers)
{
    // A head line ("-", "T-", "F-") carries no number.
    if (Schema::isHeadType(type))
        return;
    if (type.size() >= 2 && !isAsciiDigit(type.front())) {
        numbers.prefix = type.first(1).toString();
        numbers.highest = std::max(numbers.highest, typeNumber(type.mid(1), type));
        return;
    }
    // Text that is neither numeric nor prefixed (empty, one letter, "12A") takes no part.
    if (RowNumbering::wholeNumber(type, kAnyMin, kAnyMax))
        numbers.highest = std::max(numbers.highest, typeNumber(type, type));
}

// The new types must stay within the 16-bit range; checked before any row is added.
void checkRoomForTypes(const TypeNumbers &numbers, qint64 count)
{
    if (qint64(numbers.highest) + count > kTypeMax)
        throw AppError(ErrorNumber::Overflow,
                       QStringLiteral("Spill: %1 nya typnummer efter %2 går över %3.")
                           .arg(count)
                           .arg(numbers.highest)
                           .arg(kTypeMax));
}

// Reads the row numbers as the fill will, so that a failure comes before the grid changes: the
// highest row number and how many rows lack one.
void checkRowNumbers(const ArticleGrid &grid, qint64 added)
{
    const int column = grid.GetColumn(Schema::kRowNumber);
    if (column < 0)
        return;
    qint64 highest = 0;
    qint64 missing = added;
    for (int row = 1; row < grid.rows(); ++row) {
        if (const auto value = RowNumbering::wholeNumber(grid.text(row, column), kAnyMin, kAnyMax))
            highest = std::max(highest, *value);
        else
            ++missing;
    }
    if (highest > kAnyMax - missing)
        throw AppError(ErrorNumber::Overflow,
                       QStringLiteral("Spill: radnumret %1 är för stort.").arg(highest));
}

// The data rows of the selection in order, kept inside the grid; empty (first > last) when none.
std::pair<int, int> selectedRows(const ArticleGrid &grid)
{
    const ArticleGrid::CellRange &range = grid.selection();
    return {std::max(std::min(range.r1, range.r2), 1),
            std::min(std::max(range.r1, range.r2), grid.rows() - 1)};
}

// The count typed in the input box; 0 when cancelled or not a number.
qint64 countFromReply(const std::optional<QString> &reply)
{
    if (!reply)
        return 0;
    std::optional<qint64> count = RowNumbering::wholeNumber(*reply, kAnyMin, kAnyMax);
    // A Swedish decimal comma is read as a point.
    if (!count && reply->count(QLatin1Char(',')) == 1 && !reply->contains(QLatin1Char('.')))
        count = RowNumbering::wholeNumber(
            QString(*reply).replace(QLatin1Char(','), QLatin1Char('.')), kAnyMin, kAnyMax);
    return count ? std::max<qint64>(*count, 0) : 0;
}

void nameNewRows(ArticleGrid &grid, int first, int last, const QString &blockName,
                 const TypeNumbers &numbers)
{
    const int blockColumn = grid.GetColumn(Schema::kBlockName);
    if (blockColumn < 0)
        return;
    const int typeColumn = grid.GetColumn(Schema::kType);
    for (int row = first; row <= last; ++row) {
        grid.setText(row, blockColumn, blockName);
        grid.setText(row, typeColumn, numbers.next(row - first + 1));
    }
}

bool assignsTypes(const ArticleGrid &grid)
{
    return grid.GetColumn(Schema::kBlockName) >= 0 && grid.GetColumn(Schema::kType) >= 0;
}

RowsResult refused()
{
    RowsResult result;
    result.refusal = GridRules::rootViewRowHint();
    return result;
}

ArticleGrid::CellRange wholeRows(const ArticleGrid &grid, int first, int last)
{
    return {first, 1, last, qMax(1, grid.cols() - 1)};
}

// The new rows, whole, become the selection; the renumbering may have touched the row number
// of any other row.
GridChange rowsAdded(ArticleGrid &grid, int first, int count, bool renumbered)
{
    grid.setSelection(wholeRows(grid, first, first + count - 1));
    const int column = grid.GetColumn(Schema::kRowNumber);
    const ArticleGrid::CellRange numbers =
        renumbered && column >= 0 ? ArticleGrid::CellRange{1, column, grid.rows() - 1, column}
                                  : ArticleGrid::CellRange{1, 1, 0, 0};
    return GridChange::rowsInserted(first, count, numbers);
}

QString headLineQuestion(const ArticleGrid &grid, int row)
{
    const int designation = grid.GetColumn(Schema::kDesignation);
    const QString name = designation >= 0 ? grid.text(row, designation) : QString();
    return QStringLiteral("Gruppens rubrikrad tas bort (\"%1\"). Den står först i gruppen och "
                          "ger gruppen dess benämning; utan den behåller gruppen den benämning "
                          "den har.\n\nVill du ta bort rubrikraden?")
        .arg(name);
}

} // namespace

TypeNumbers scanTypeNumbers(const ArticleGrid &grid, Database &db)
{
    if (grid.rows() < 2)
        throw AppError(
            kSubscriptOutOfRange,
            QStringLiteral("Index utanför intervallet: rutnätet har inga artikelrader."));
    TypeNumbers numbers;
    const int blockColumn = grid.GetColumn(Schema::kBlockName);
    const int typeColumn = grid.GetColumn(Schema::kType);
    if (typeColumn < 0)
        return numbers;
    // Types the grid does not show (a filtered view, rows of the group saved earlier) count too.
    if (blockColumn >= 0 && db.isOpen()) {
        Statement query = db.prepare(
            QStringLiteral("SELECT %1 FROM Articles WHERE %2 = ?")
                .arg(quoteIdentifier(Schema::kType), quoteIdentifier(Schema::kBlockName)));
        query.bind(1, grid.text(1, blockColumn));
        while (query.step()) {
            if (!query.isNull(0))
                takeType(query.text(0), numbers);
        }
    }
    for (int row = 1; row < grid.rows(); ++row)
        takeType(grid.text(row, typeColumn), numbers);
    return numbers;
}

int fillRowNumbers(ArticleGrid &grid)
{
    const int column = grid.GetColumn(Schema::kRowNumber);
    if (column < 0)
        return 0;
    qint64 highest = 0;
    std::vector<int> missing;
    for (int row = 1; row < grid.rows(); ++row) {
        if (const auto value = RowNumbering::wholeNumber(grid.text(row, column), kAnyMin, kAnyMax))
            highest = std::max(highest, *value);
        else
            missing.push_back(row);
    }
    if (highest > kAnyMax - qint64(missing.size()))
        throw AppError(ErrorNumber::Overflow,
                       QStringLiteral("Spill: radnumret %1 är för stort.").arg(highest));
    for (const int row : missing)
        grid.setText(row, column, QString::number(++highest));
    return int(missing.size());
}

RowsResult insertArticles(ArticleGrid &grid, Database &db, int at, int count,
                          const QString &blockName)
{
    const TypeNumbers numbers = scanTypeNumbers(grid, db);
    if (assignsTypes(grid))
        checkRoomForTypes(numbers, count);
    checkRowNumbers(grid, count);

    grid.insertRows(at, count);
    nameNewRows(grid, at, at + count - 1, blockName, numbers);
    fillRowNumbers(grid);
    const bool renumbered = RowNumbering::RenumberRows(grid);
    RowsResult result;
    result.count = count;
    result.change = rowsAdded(grid, at, count, renumbered);
    return result;
}

RowsResult InsertArticle(ArticleGrid &grid, Database &db, ArticleSelection::Kind view)
{
    if (!GridRules::allowsRowOperations(view))
        return refused();
    if (grid.rows() < 2)
        scanTypeNumbers(grid, db); // reports the empty grid
    const auto [first, last] = selectedRows(grid);
    if (first > last)
        return {};
    // New articles go below the group's head line, which stays first.
    const int at = std::max(first, GridRules::headLineCount(grid) + 1);
    const int source = std::min(at, grid.rows() - 1);
    return insertArticles(grid, db, at, last - first + 1,
                          grid.text(source, grid.GetColumn(Schema::kBlockName)));
}

RowsResult AppendArticle(ArticleGrid &grid, Database &db, Prompter &prompter, bool askForCount,
                         ArticleSelection::Kind view)
{
    if (!GridRules::allowsRowOperations(view))
        return refused();
    const TypeNumbers numbers = scanTypeNumbers(grid, db);
    const auto [first, last] = selectedRows(grid);
    qint64 count = 0;
    if (askForCount)
        count = countFromReply(prompter.inputText(QStringLiteral("Ange antal"),
                                                  QStringLiteral("Antal nya artiklar:"),
                                                  QStringLiteral("1")));
    else
        count = std::max(last - first + 1, 0);
    if (count > std::numeric_limits<int>::max() - grid.rows())
        throw AppError(ErrorNumber::Overflow,
                       QStringLiteral("Spill: %1 nya artiklar är för många.").arg(count));
    if (count > 0 && assignsTypes(grid))
        checkRoomForTypes(numbers, count);
    checkRowNumbers(grid, count);

    // The block name of the last selected row, read before rows are added.
    const int source = std::clamp(last, 1, grid.rows() - 1);
    const QString blockName = grid.text(source, grid.GetColumn(Schema::kBlockName));
    const int oldRows = grid.rows();
    grid.insertRows(oldRows, int(count));
    nameNewRows(grid, oldRows, grid.rows() - 1, blockName, numbers);
    fillRowNumbers(grid);
    const bool renumbered = RowNumbering::RenumberRows(grid);

    RowsResult result;
    result.count = int(count);
    result.scrollRow = grid.rows() - 1;
    if (count > 0) {
        result.change = rowsAdded(grid, oldRows, int(count), renumbered);
    } else if (renumbered) {
        const int column = grid.GetColumn(Schema::kRowNumber);
        result.change = GridChange::cellsChanged({1, column, grid.rows() - 1, column});
    }
    return result;
}

RowsResult DeleteArticle(ArticleGrid &grid, Prompter &prompter, ArticleSelection::Kind view)
{
    if (!GridRules::allowsRowOperations(view))
        return refused();
    const auto [first, last] = selectedRows(grid);
    if (first > last)
        return {};
    for (int row = first; row <= last; ++row) {
        if (!GridRules::isHeadLine(grid, row))
            continue;
        if (!prompter.confirm(MessageIcon::Warning, QStringLiteral("Radera artiklar"),
                              headLineQuestion(grid, row)))
            return {};
        break;
    }
    const int count = last - first + 1;
    grid.removeRows(first, count);
    // The row that moved up into the gap, or the new last row.
    const int row = std::min(first, grid.rows() - 1);
    grid.setSelection(row >= 1 ? wholeRows(grid, row, row) : ArticleGrid::CellRange{});
    RowsResult result;
    result.count = count;
    result.change = GridChange::rowsRemoved(first, count);
    return result;
}

} // namespace RowOperations
