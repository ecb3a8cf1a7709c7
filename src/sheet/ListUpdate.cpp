#include "sheet/ListUpdate.h"

#include "browse/ArticleGrid.h"
#include "browse/RowNumbering.h"
#include "core/AppError.h"
#include "core/Cp1252.h"
#include "db/Schema.h"
#include "edit/RowOperations.h"

#include <QHash>
#include <QRegularExpression>

#include <algorithm>

QString proposalKindName(ProposalKind kind)
{
    switch (kind) {
    case ProposalKind::Changed:
        return QStringLiteral("Ändrad");
    case ProposalKind::NotInList:
        return QStringLiteral("Saknas i listan");
    case ProposalKind::NoArticle:
        return QStringLiteral("Ingen artikel");
    case ProposalKind::DuplicateKey:
        return QStringLiteral("Dubblettnyckel");
    case ProposalKind::TooLong:
        return QStringLiteral("För långt värde");
    case ProposalKind::Moved:
        return QStringLiteral("Flyttad");
    }
    return {};
}

namespace ListUpdate {

namespace {

QString keyPart(const QString &value)
{
    return value.trimmed().toCaseFolded();
}

QString blockedReason(const QString &value, int length)
{
    if (length > 0 && value.size() > length)
        return QStringLiteral("Längre än fältets %1 tecken").arg(length);
    if (!Cp1252::canEncode(value))
        return QStringLiteral("Tecken som katalogen inte kan lagra");
    return {};
}

// A list column and the grid column it fills.
struct Column
{
    int list, grid;
    QString field;
};

// The key columns (throws AppError when one has no list or grid column) and the value columns.
std::pair<QList<Column>, QList<Column>>
mappedColumns(const ArticleGrid &grid, const QStringList &mapping, const QStringList &keyFields)
{
    QList<Column> keys, values;
    for (const QString &field : keyFields) {
        const int listColumn = int(mapping.indexOf(field));
        const int gridColumn = grid.GetColumn(field);
        if (listColumn < 0 || gridColumn < 0)
            throw AppError(ErrorNumber::BadFileFormat,
                           QStringLiteral("Listan har ingen kolumn för nyckelfältet %1. Välj "
                                          "vilken kolumn som är %1, eller en annan nyckel.")
                               .arg(field));
        keys << Column{listColumn, gridColumn, field};
    }
    if (keys.isEmpty())
        throw AppError(ErrorNumber::BadFileFormat,
                       QStringLiteral("Listan har ingen kolumn som kan vara nyckel."));
    for (qsizetype c = 0; c < mapping.size(); ++c) {
        const int gridColumn = mapping.at(c).isEmpty() ? -1 : grid.GetColumn(mapping.at(c));
        if (gridColumn > 0 && !Schema::isProtectedColumn(mapping.at(c)))
            values << Column{int(c), gridColumn, mapping.at(c)};
    }
    return {keys, values};
}

// A list row matching no article: every filled column once, as the values of a new article.
Proposal newArticle(const ArticleGrid &grid, const QStringList &cells, const QList<Column> &columns,
                    const QString &label, int line)
{
    Proposal p;
    p.kind = ProposalKind::NoArticle;
    p.label = label;
    p.line = line;
    for (const Column &c : columns) {
        const QString after = cells.value(c.list).trimmed();
        if (!after.isEmpty() &&
            !std::any_of(p.fields.begin(), p.fields.end(),
                         [&](const FieldProposal &f) { return f.column == c.grid; }))
            p.fields << FieldProposal{
                c.field, c.grid, QString(), after, blockedReason(after, grid.fieldLength(c.grid)),
                true};
    }
    return p;
}

} // namespace

Proposals propose(const ArticleGrid &grid, const SheetTable &list, const QStringList &mapping,
                  const QStringList &keyFields)
{
    // Named members, not a structured binding: older compilers refuse those in lambda captures.
    const auto mapped = mappedColumns(grid, mapping, keyFields);
    const auto &keys = mapped.first;
    const auto &values = mapped.second;
    const auto isKey = [&](const Column &column) {
        return std::any_of(keys.begin(), keys.end(),
                           [&](const Column &k) { return k.grid == column.grid; });
    };

    QHash<QString, QList<int>> articles;
    for (int row = 1; row < grid.rows(); ++row) {
        QStringList parts;
        for (const Column &k : keys)
            parts << keyPart(grid.text(row, k.grid));
        if (!parts.join(QString()).isEmpty())
            articles[parts.join(QChar(0x1f))] << row;
    }
    QHash<QString, int> listCount;
    QStringList listKeys;
    QStringList labels;
    for (const QStringList &cells : list.rows) {
        QStringList parts, shown;
        for (const Column &k : keys) {
            parts << keyPart(cells.value(k.list));
            shown << cells.value(k.list).trimmed();
        }
        const QString key = parts.join(QString()).isEmpty() ? QString() : parts.join(QChar(0x1f));
        listKeys << key;
        labels << shown.join(u' ');
        if (!key.isEmpty())
            ++listCount[key];
    }

    Proposals proposals;
    QList<bool> mentioned(grid.rows(), false);
    for (size_t i = 0; i < list.rows.size(); ++i) {
        const QStringList &cells = list.rows[i];
        const QString &key = listKeys.at(qsizetype(i));
        const int line = i < list.lines.size() ? list.lines[i] : 0;
        const QList<int> rows = articles.value(key);
        if (key.isEmpty() || rows.isEmpty()) {
            proposals << newArticle(grid, cells, keys + values, labels.at(qsizetype(i)), line);
            continue;
        }
        const bool duplicate = rows.size() > 1 || listCount.value(key) > 1;
        for (const int row : rows) {
            mentioned[row] = true;
            Proposal p;
            p.label = labels.at(qsizetype(i));
            p.gridRow = row;
            p.line = line;
            p.chosen = true;
            for (const Column &c : values) {
                if (isKey(c))
                    continue;
                const QString after = cells.value(c.list).trimmed();
                const QString before = grid.text(row, c.grid);
                if (after.isEmpty() || after == before)
                    continue;
                const QString blocked = blockedReason(after, grid.fieldLength(c.grid));
                p.fields << FieldProposal{c.field, c.grid,  before,
                                          after,   blocked, blocked.isEmpty()};
                if (!blocked.isEmpty())
                    p.kind = ProposalKind::TooLong;
            }
            if (duplicate) {
                p.kind = ProposalKind::DuplicateKey;
                p.chosen = false;
            } else if (p.fields.isEmpty()) {
                continue;
            }
            proposals << p;
        }
    }
    for (int row = 1; row < grid.rows(); ++row) {
        if (mentioned[row])
            continue;
        QStringList shown;
        for (const Column &k : keys)
            shown << grid.text(row, k.grid).trimmed();
        if (shown.join(QString()).isEmpty())
            continue; // a line without a key (a group's head line) is no article of a list
        Proposal notInList;
        notInList.kind = ProposalKind::NotInList;
        notInList.label = shown.join(u' ');
        notInList.gridRow = row;
        proposals << notInList;
    }
    return proposals;
}

Applied apply(ArticleGrid &grid, const Proposals &proposals, Database &db)
{
    Applied applied;
    ArticleGrid::CellRange range{INT_MAX, INT_MAX, -1, -1};
    std::vector<int> removals;
    QList<const Proposal *> additions;
    for (const Proposal &p : proposals) {
        if (!p.chosen)
            continue;
        if (p.kind == ProposalKind::NotInList) {
            if (p.gridRow > 0)
                removals.push_back(p.gridRow);
            continue;
        }
        if (p.kind == ProposalKind::NoArticle) {
            additions << &p;
            continue;
        }
        for (const FieldProposal &f : p.fields) {
            if (!f.chosen || !f.canTake() || p.gridRow <= 0)
                continue;
            grid.setText(p.gridRow, f.column, f.after);
            range = {qMin(range.r1, p.gridRow), qMin(range.c1, f.column), qMax(range.r2, p.gridRow),
                     qMax(range.c2, f.column)};
            ++applied.cells;
        }
    }
    applied.change = range.r2 >= 0 ? GridChange::cellsChanged(range) : GridChange::nothing();
    if (applied.cells > 0)
        grid.setSelection(range);

    std::sort(removals.begin(), removals.end(), std::greater<>());
    removals.erase(std::unique(removals.begin(), removals.end()), removals.end());
    for (const int row : removals)
        grid.removeRows(row, 1);
    applied.removed = int(removals.size());

    if (!additions.isEmpty()) {
        const QString blockName =
            grid.rows() > 1 ? grid.text(grid.rows() - 1, grid.GetColumn(Schema::kBlockName))
                            : QString();
        // A place names a row as it stood before the removals; the last place first, so the
        // earlier ones stay where they were.
        std::vector<std::pair<int, const Proposal *>> placed;
        for (const Proposal *p : additions) {
            int after =
                p->afterGridRow < 0 ? grid.rows() - 1 + int(removals.size()) : p->afterGridRow;
            after -= int(std::count_if(removals.begin(), removals.end(),
                                       [after](int removed) { return removed <= after; }));
            placed.emplace_back(after, p);
        }
        std::stable_sort(placed.begin(), placed.end(),
                         [](const auto &x, const auto &y) { return x.first > y.first; });
        bool inside = false;
        for (qsizetype i = 0; i < qsizetype(placed.size());) {
            // Articles for one place go in together, in the order they were proposed.
            qsizetype end = i;
            while (end < qsizetype(placed.size()) && placed[end].first == placed[i].first)
                ++end;
            const int at = placed[i].first + 1;
            inside = inside || at < grid.rows();
            RowOperations::insertArticles(grid, db, at, int(end - i), blockName);
            for (qsizetype k = i; k < end; ++k) {
                for (const FieldProposal &f : placed[k].second->fields) {
                    if (f.chosen && f.canTake())
                        grid.setText(at + int(k - i), f.column, f.after);
                }
            }
            i = end;
        }
        // Row numbers follow the grid's order once saved; inserted ones take fresh numbers.
        if (inside)
            RowNumbering::RenumberDistinct(grid);
        applied.added = int(additions.size());
    }
    if (applied.added > 0 || applied.removed > 0)
        applied.change = GridChange::everything();
    return applied;
}

QChar decimalPointOf(const ArticleGrid &grid)
{
    static const QRegularExpression comma(QStringLiteral("^-?\\d+,\\d+$"));
    static const QRegularExpression point(QStringLiteral("^-?\\d+\\.\\d+$"));
    qint64 commas = 0, points = 0;
    for (int row = 1; row < grid.rows(); ++row) {
        for (int col = 2; col < grid.cols(); ++col) {
            const QString value = grid.text(row, col);
            if (value.size() < 3 || !value.at(0).isDigit())
                continue;
            if (comma.match(value).hasMatch())
                ++commas;
            else if (point.match(value).hasMatch())
                ++points;
        }
    }
    return points > commas ? u'.' : u',';
}

} // namespace ListUpdate
