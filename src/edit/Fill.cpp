#include "edit/Fill.h"
#include "db/Schema.h"

#include "browse/ArticleGrid.h"
#include "browse/GridRules.h"
#include "core/AppError.h"

#include <QString>

#include <cmath>
#include <limits>
#include <optional>
#include <utility>

namespace {

constexpr int kBlockNameColumn = 2;
// What a string function answers when asked for a character of an empty text.
constexpr int kInvalidProcedureCall = 5;

// Exact names: a substring test would also protect fields such as "A" or "TY".
bool keepsOnFill(QStringView header)
{
    return header == Schema::kRowNumber || header == Schema::kType;
}

Fill::Result filled(ArticleGrid &grid, const ArticleGrid::CellRange &range, CutCells cuts)
{
    grid.setSelection(range);
    return {true, std::move(cuts), GridChange::cellsChanged(range), {}};
}

// Copies the first (or last) selected row into the other selected rows.
Fill::Result copyRow(ArticleGrid &grid, bool fromFirst)
{
    if (grid.rows() < 2)
        return {};
    const std::optional<ArticleGrid::CellRange> range = grid.dataSelection();
    if (!range)
        return {};
    const int source = fromFirst ? range->r1 : range->r2;
    CutCells cuts;
    for (int column = range->c1; column <= range->c2; ++column) {
        if (keepsOnFill(grid.text(0, column)))
            continue;
        const QString text = grid.text(source, column);
        for (int row = range->r1; row <= range->r2; ++row) {
            if (row != source)
                cuts.write(grid, row, column, text);
        }
    }
    return filled(grid, *range, std::move(cuts));
}

void reportFailure(Prompter &prompter, int number, const QString &description)
{
    reportError(prompter, kMainWindow, QStringLiteral("mnuEditFillDnIncr"),
                AppError(number, description));
}

QString overflowText(const QString &number)
{
    return QStringLiteral("Spill: talet %1 ryms inte i ett 32-bitars heltal.").arg(number);
}

} // namespace

namespace Fill {

Result fillDown(ArticleGrid &grid)
{
    return copyRow(grid, true);
}

Result fillUp(ArticleGrid &grid)
{
    return copyRow(grid, false);
}

Result fillDownIncrement(ArticleGrid &grid, int step, Prompter &prompter)
{
    if (grid.rows() < 2)
        return {};
    const std::optional<ArticleGrid::CellRange> range = grid.dataSelection();
    if (!range)
        return {};
    const int column = range->c1;
    // Row numbers are never counted up here: equal numbers would scramble the exported order.
    if (column == kBlockNameColumn || grid.text(0, column) == Schema::kRowNumber)
        return {};

    const QString start = grid.text(range->r1, column);
    if (start.isEmpty()) {
        reportFailure(prompter, kInvalidProcedureCall,
                      QStringLiteral("Ogiltigt proceduranrop eller argument: cellen är tom."));
        return {};
    }
    const QStringView text(start);
    qsizetype tail = text.size() - 1;
    if (!GridRules::isNumeric(text.mid(tail)))
        return {};
    while (tail > 0 && GridRules::isNumeric(text.mid(tail - 1)))
        --tail;
    const QString prefix = start.left(tail);

    // Rounded as the number conversion does: halves to the even neighbour.
    const double value = std::nearbyint(text.mid(tail).trimmed().toDouble());
    constexpr double kLowest = std::numeric_limits<qint32>::min();
    constexpr double kHighest = std::numeric_limits<qint32>::max();
    if (!(value >= kLowest && value <= kHighest)) {
        reportFailure(prompter, ErrorNumber::Overflow,
                      overflowText(text.mid(tail).trimmed().toString()));
        return {};
    }
    // Checked before writing, so an overflow leaves the column as it was.
    qint64 number = qint64(value);
    const qint64 last = number + qint64(step) * (range->r2 - range->r1);
    if (last < std::numeric_limits<qint32>::min() || last > std::numeric_limits<qint32>::max()) {
        reportFailure(prompter, ErrorNumber::Overflow, overflowText(QString::number(last)));
        return {};
    }
    // A number cut to the field would become another number: nothing is written then.
    if (const int length = grid.fieldLength(column); length > 0) {
        // The numbers grow steadily, so the longest text is at one end or the other.
        for (const int row : {range->r1 + 1, range->r2}) {
            const QString text =
                prefix + QString::number(number + qint64(step) * (row - range->r1));
            if (row > range->r1 && text.size() > length) {
                Result refused;
                refused.refusal = QStringLiteral("%1 ryms inte i %2 (%3 tecken)")
                                      .arg(text, grid.text(0, column))
                                      .arg(length);
                return refused;
            }
        }
    }
    CutCells cuts;
    for (int row = range->r1 + 1; row <= range->r2; ++row) {
        number += step;
        cuts.write(grid, row, column, prefix + QString::number(number));
    }
    return filled(grid, {range->r1, column, range->r2, column}, std::move(cuts));
}

} // namespace Fill
