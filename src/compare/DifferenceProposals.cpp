#include "compare/DifferenceProposals.h"

#include "browse/ArticleGrid.h"
#include "db/Schema.h"

#include <QHash>
#include <QMap>

namespace DifferenceProposals {

QList<GroupEntry> groups(const CatalogueDifferences &differences)
{
    QMap<QString, GroupEntry> byName;
    for (const GroupDifference &g : differences.groups) {
        GroupEntry &entry = byName[g.blockName];
        entry.blockName = g.blockName;
        entry.description =
            g.kind == GroupDifference::Kind::Removed ? g.oldDescription : g.newDescription;
        entry.kind = g.kind == GroupDifference::Kind::Added     ? QStringLiteral("Tillagd")
                     : g.kind == GroupDifference::Kind::Removed ? QStringLiteral("Borttagen")
                                                                : QStringLiteral("Ändrad");
    }
    for (const ArticleDifference &a : differences.articles) {
        GroupEntry &entry = byName[a.group];
        entry.blockName = a.group;
        if (entry.kind.isEmpty())
            entry.kind = QStringLiteral("Ändrad");
        ++entry.articles;
    }
    return byName.values();
}

QString summary(const CatalogueDifferences &differences)
{
    int counts[4] = {};
    for (const ArticleDifference &a : differences.articles)
        ++counts[int(a.kind)];
    QString text = QStringLiteral("%1 tillagda, %2 borttagna, %3 ändrade och %4 flyttade "
                                  "artiklar i den andra katalogen.")
                       .arg(counts[int(ArticleDifference::Kind::Added)])
                       .arg(counts[int(ArticleDifference::Kind::Removed)])
                       .arg(counts[int(ArticleDifference::Kind::Changed)])
                       .arg(counts[int(ArticleDifference::Kind::Moved)]);
    if (!differences.leftOutFields.isEmpty())
        text += QStringLiteral(" Fält som bara en av katalogerna har jämförs inte: %1.")
                    .arg(differences.leftOutFields.join(QStringLiteral(", ")));
    return text;
}

std::array<QString, kProposalKinds> kindNames()
{
    std::array<QString, kProposalKinds> names;
    names[size_t(ProposalKind::Changed)] = QStringLiteral("Ändrade");
    names[size_t(ProposalKind::NotInList)] = QStringLiteral("Borttagna");
    names[size_t(ProposalKind::NoArticle)] = QStringLiteral("Tillagda");
    names[size_t(ProposalKind::DuplicateKey)] = QStringLiteral("Dubblettnycklar");
    names[size_t(ProposalKind::TooLong)] = QStringLiteral("För långa värden");
    names[size_t(ProposalKind::Moved)] = QStringLiteral("Flyttade");
    return names;
}

namespace {

FieldProposal fieldProposal(const ArticleGrid &grid, const QString &field, const QString &before,
                            const QString &after)
{
    FieldProposal f;
    f.field = field;
    f.column = grid.FindGridColumn(field);
    f.before = before;
    f.after = after;
    const int length = f.column > 0 ? grid.fieldLength(f.column) : 0;
    if (f.column <= 0)
        f.blocked = QStringLiteral("Fältet visas inte.");
    else if (length > 0 && after.size() > length)
        f.blocked = QStringLiteral("Fältet rymmer %1 tecken.").arg(length);
    f.chosen = f.canTake();
    return f;
}

QString labelOf(const ArticleDifference &a)
{
    return a.key.isEmpty() ? QStringLiteral("TYP %1").arg(a.type) : a.key;
}

} // namespace

Proposals forGroup(const CatalogueDifferences &differences, const QString &blockName,
                   const ArticleGrid &grid)
{
    QHash<qint64, int> rowOf;
    for (int row = 1; row < grid.rows(); ++row)
        rowOf.insert(grid.rowId(row), row);
    Proposals proposals;
    for (const ArticleDifference &a : differences.articles) {
        if (a.group != blockName)
            continue;
        Proposal p;
        p.label = labelOf(a);
        switch (a.kind) {
        case ArticleDifference::Kind::Changed:
            p.kind = ProposalKind::Changed;
            p.gridRow = rowOf.value(a.oldRowId, 0);
            for (const ValueChange &c : a.changes)
                p.fields << fieldProposal(grid, c.field, c.oldValue, c.newValue);
            p.chosen = p.gridRow > 0;
            break;
        case ArticleDifference::Kind::Removed:
            p.kind = ProposalKind::NotInList;
            p.gridRow = rowOf.value(a.oldRowId, 0);
            p.note = QStringLiteral("Finns inte i den andra katalogen");
            p.chosen = p.gridRow > 0;
            break;
        case ArticleDifference::Kind::Added:
            p.kind = ProposalKind::NoArticle;
            for (qsizetype i = 0; i < a.values.size(); ++i) {
                const QString &field = differences.comparedFields.value(i);
                // The group is the shown one; an empty value needs no writing.
                if (field.compare(Schema::kBlockName, Qt::CaseInsensitive) == 0 ||
                    a.values.at(i).isEmpty())
                    continue;
                p.fields << fieldProposal(grid, field, QString(), a.values.at(i));
            }
            p.afterGridRow = a.anchorOldRowId < 0 ? 0 : rowOf.value(a.anchorOldRowId, -1);
            p.note = QStringLiteral("Rad %1 i den andra katalogen").arg(a.newRow);
            p.chosen = true;
            break;
        case ArticleDifference::Kind::Moved:
            p.kind = ProposalKind::Moved;
            p.gridRow = rowOf.value(a.oldRowId, 0);
            p.note = QStringLiteral("Plats %1 här, %2 i den andra").arg(a.oldPlace).arg(a.newPlace);
            break;
        }
        proposals << p;
    }
    return proposals;
}

} // namespace DifferenceProposals
