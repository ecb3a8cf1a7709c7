#include "browse/GridRules.h"
#include "db/Schema.h"

#include <cmath>

namespace {

QString articles(int n, const char *one, const char *many)
{
    return QString::number(n) + QLatin1String(n == 1 ? one : many);
}

} // namespace

namespace GridRules {

bool isNumeric(QStringView text)
{
    const QStringView trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return false;
    bool ok = false;
    const double value = trimmed.toDouble(&ok);
    return ok && std::isfinite(value);
}

EditRule editRule(const ArticleGrid &grid, int column, bool singleGroupView,
                  const FieldList &fields)
{
    EditRule rule;
    if (!singleGroupView || column <= 0 || column >= grid.cols())
        return rule;
    const QString header = grid.text(0, column);
    if (header == Schema::kBlockName)
        return rule;
    rule.ellipsis = header == Schema::kAccessoryGroup || header == Schema::kContacts;
    for (const FieldDesc &field : fields) {
        if (field.Name == header) {
            rule.allowed = true;
            rule.maxLength = field.Length;
            return rule;
        }
    }
    return rule;
}

void afterEdit(ArticleGrid &grid, int row, int column)
{
    if (grid.text(row, column).trimmed().isEmpty())
        grid.setText(row, column, QStringLiteral("0"));
}

bool clearCells(ArticleGrid &grid, const ArticleGrid::CellRange &range)
{
    bool changed = false;
    for (int column = qMax(range.c1, 1); column <= range.c2 && column < grid.cols(); ++column) {
        const QString header = grid.text(0, column);
        // Block name, type and row number keep their values.
        if (Schema::isProtectedColumn(header))
            continue;
        for (int row = qMax(range.r1, 1); row <= range.r2 && row < grid.rows(); ++row) {
            if (!grid.text(row, column).isEmpty()) {
                grid.setText(row, column, QString());
                changed = true;
            }
        }
    }
    return changed;
}

bool isHeadLine(const ArticleGrid &grid, int row)
{
    const int typeColumn = grid.GetColumn(Schema::kType);
    return typeColumn >= 0 && row >= 1 && row < grid.rows() &&
           Schema::isHeadType(grid.text(row, typeColumn));
}

int headLineCount(const ArticleGrid &grid)
{
    int count = 0;
    while (isHeadLine(grid, count + 1))
        ++count;
    return count;
}

void beforeSort(ArticleGrid &grid, int column, bool singleGroupView)
{
    if (!singleGroupView || grid.text(0, column) != Schema::kType)
        return;
    // The head line keeps its "-": it is not sorted with the articles.
    for (int row = 1; row < grid.rows(); ++row) {
        const QString text = grid.text(row, column);
        // Numbers too large for a whole number are sorted as text.
        if (Schema::isHeadType(text) ||
            (isNumeric(text) && std::fabs(text.trimmed().toDouble()) < 1e15))
            continue;
        if (text == QLatin1String("-")) {
            grid.setText(row, column, QStringLiteral("0"));
            continue;
        }
        return; // not numeric: a plain text sort of the values as they are
    }
    for (int row = 1; row < grid.rows(); ++row) {
        if (Schema::isHeadType(grid.text(row, column)))
            continue;
        const qint64 value = qint64(grid.text(row, column).trimmed().toDouble());
        grid.setText(row, column,
                     value < 0 ? QStringLiteral("-%1").arg(-value, 5, 10, QLatin1Char('0'))
                               : QStringLiteral("%1").arg(value, 6, 10, QLatin1Char('0')));
    }
}

void afterSort(ArticleGrid &grid, int column, bool singleGroupView)
{
    if (!singleGroupView || grid.rows() < 2 || grid.text(0, column) != Schema::kType)
        return;
    for (int row = 1; row < grid.rows(); ++row) {
        const QString text = grid.text(row, column);
        if (!Schema::isHeadType(text) && !isNumeric(text))
            return;
    }
    for (int row = 1; row < grid.rows(); ++row) {
        if (Schema::isHeadType(grid.text(row, column)))
            continue;
        const double value = grid.text(row, column).trimmed().toDouble();
        // Out of the 16-bit range the text stays as it is; the sort never fails.
        if (value >= -32768 && value <= 32767)
            grid.setText(row, column, QString::number(qint64(value)));
    }
}

GridChange sortGrid(ArticleGrid &grid, int column, bool ascending, bool singleGroupView)
{
    if (grid.rows() < 2 || column < 0 || column >= grid.cols())
        return GridChange::nothing();
    beforeSort(grid, column, singleGroupView);
    // In a group the head line names the group and leads it in the exchange file, so it stays
    // first; the root view's rows belong to many groups and are only looked at.
    if (singleGroupView)
        grid.sortRows(column, ascending, [&grid](int row) { return isHeadLine(grid, row); });
    else
        grid.sortRows(column, ascending);
    afterSort(grid, column, singleGroupView);
    return GridChange::everything();
}

QString selectionStatus(int rows)
{
    return QString::number(rows) + QStringLiteral(" rad") +
           (rows > 1 ? QStringLiteral("er") : QString()) + QStringLiteral(" markerade.");
}

bool allowsRowOperations(ArticleSelection::Kind view)
{
    return view == ArticleSelection::Kind::Group || view == ArticleSelection::Kind::Manufacturer;
}

QString overviewHint()
{
    return QStringLiteral("Välj en grupp i trädet för att ändra artiklar. Översikten "
                          "\"Artiklar\" visar hela katalogen och kan bara sorteras.");
}

QString rootViewRowHint()
{
    return QStringLiteral(
        "Välj en grupp i trädet för att infoga, lägga till eller flytta artiklar.");
}

QList<PopupItem> popupItems(const ArticleGrid &grid, const ArticleGrid::CellRange &range,
                            bool clipboardHasArticles, ArticleSelection::Kind view)
{
    // In the root view new rows would take the first row's group, and pasted articles could land
    // in several groups; its cells are only looked at.
    const bool oneGroup = allowsRowOperations(view);
    const int n = range.r2 - range.r1 + 1;
    QList<PopupItem> items;
    if (range.c1 == 1) {
        if (oneGroup)
            items << PopupItem{CommandId::InsertArticle,
                               QStringLiteral("&Infoga ") +
                                   articles(n, " ny artikel", " nya artiklar") +
                                   QStringLiteral(" här")}
                  << PopupItem{CommandId::AppendArticle,
                               QStringLiteral("&Addera ") +
                                   articles(n, " ny artikel", " nya artiklar") +
                                   QStringLiteral(" till slutet")}
                  << PopupItem{CommandId::AppendArticles,
                               QStringLiteral("&Addera valfritt antal artiklar till slutet")};
        items << PopupItem{CommandId::CopyArticle,
                           QStringLiteral("&Kopiera ") +
                               articles(n, " markerad artikel", " markerade artiklar")};
        if (oneGroup)
            items << PopupItem{CommandId::DeleteArticle,
                               QStringLiteral("&Radera ") +
                                   articles(n, " markerad artikel", " markerade artiklar")}
                  << PopupItem{CommandId::PasteArticle,
                               QStringLiteral("K&listra in kopierade artiklar"),
                               clipboardHasArticles}
                  << PopupItem{CommandId::PasteArticlesAsNew,
                               QStringLiteral("Klistra in som n&ya artiklar"),
                               clipboardHasArticles};
    }
    items << PopupItem{CommandId::Copy, QStringLiteral("K&opiera"), true, true};
    if (range.c1 != 2)
        items << PopupItem{CommandId::Cut, QStringLiteral("Kl&ipp ut"), oneGroup};
    items << PopupItem{CommandId::Paste, QStringLiteral("K&listra in"), oneGroup};
    items << PopupItem{CommandId::Replace, QStringLiteral("Sök och ersätt"), oneGroup, true};
    if (n > 1 && range.c1 != 2) {
        items << PopupItem{CommandId::FillUp, QStringLiteral("Fyll uppåt"), oneGroup, true}
              << PopupItem{CommandId::FillDown, QStringLiteral("Fyll nedåt"), oneGroup};
        const QString cell = grid.text(range.r1, range.c1);
        if (range.c1 == range.c2 && !cell.isEmpty() && cell.back().isDigit()) {
            for (int step = 1; step <= 5; ++step)
                items << PopupItem{fillDownStepCommand(step),
                                   QStringLiteral("Fyll nedåt +%1").arg(step), oneGroup, step == 1};
        }
    }
    return items;
}

} // namespace GridRules
