#include "browse/RowNumbering.h"
#include "db/Schema.h"

#include "browse/ArticleGrid.h"
#include "core/AppError.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

// Halves go to the even neighbour, whatever the floating-point environment says.
double roundHalfToEven(double number)
{
    double rounded = std::floor(number);
    const double fraction = number - rounded;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(rounded, 2.0) != 0.0))
        rounded += 1.0;
    return rounded;
}

} // namespace

namespace RowNumbering {

std::optional<qint64> wholeNumber(QStringView text, qint64 minimum, qint64 maximum)
{
    const QStringView trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    bool ok = false;
    qint64 value = trimmed.toLongLong(&ok);
    if (!ok) {
        const double number = trimmed.toDouble(&ok);
        // "inf" and "nan" are words here, not numbers.
        if (!ok || !std::isfinite(number))
            return std::nullopt;
        const double rounded = roundHalfToEven(number);
        if (!(rounded >= -0x1p63 && rounded < 0x1p63))
            throw AppError(ErrorNumber::Overflow,
                           QStringLiteral("Spill: talet %1 är för stort.").arg(trimmed));
        value = qint64(rounded);
    }
    if (value < minimum || value > maximum)
        throw AppError(ErrorNumber::Overflow,
                       QStringLiteral("Spill: talet %1 ligger utanför %2..%3.")
                           .arg(trimmed)
                           .arg(minimum)
                           .arg(maximum));
    return value;
}

std::vector<qint64> rowNumbers(const ArticleGrid &grid)
{
    const int column = grid.GetColumn(Schema::kRowNumber);
    std::vector<qint64> numbers;
    if (column < 0)
        return numbers;
    numbers.reserve(size_t(qMax(grid.rows() - 1, 0)));
    for (int row = 1; row < grid.rows(); ++row) {
        const QString text = grid.text(row, column);
        const std::optional<qint64> number = wholeNumber(text, std::numeric_limits<qint64>::min(),
                                                         std::numeric_limits<qint64>::max());
        if (!number)
            throw AppError(ErrorNumber::TypeMismatch,
                           QStringLiteral("Typerna stämmer inte överens: radnumret '%1' på rad %2 "
                                          "är inget tal.")
                               .arg(text)
                               .arg(row));
        numbers.push_back(*number);
    }
    return numbers;
}

namespace {

// Every number is read before one is written, so a bad cell leaves the grid as it was.
bool writeInGridOrder(ArticleGrid &grid, bool distinct)
{
    const int column = grid.GetColumn(Schema::kRowNumber);
    if (column < 0 || grid.rows() < 2)
        return false;
    std::vector<qint64> numbers = rowNumbers(grid);
    std::sort(numbers.begin(), numbers.end());
    for (size_t i = 1; distinct && i < numbers.size(); ++i) {
        if (numbers[i] > numbers[i - 1])
            continue;
        if (numbers[i - 1] == std::numeric_limits<qint64>::max())
            throw AppError(ErrorNumber::Overflow,
                           QStringLiteral("Spill: radnumren räcker inte till."));
        numbers[i] = numbers[i - 1] + 1;
    }
    bool changed = false;
    for (int row = 1; row < grid.rows(); ++row) {
        const QString text = QString::number(numbers[size_t(row - 1)]);
        if (grid.text(row, column) != text) {
            grid.setText(row, column, text);
            changed = true;
        }
    }
    return changed;
}

} // namespace

bool RenumberRows(ArticleGrid &grid)
{
    return writeInGridOrder(grid, false);
}

bool RenumberDistinct(ArticleGrid &grid)
{
    return writeInGridOrder(grid, true);
}

} // namespace RowNumbering
