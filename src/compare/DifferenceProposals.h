#pragma once

#include "compare/CatalogueDifferences.h"
#include "sheet/ProposedChange.h"

#include <QStringList>

class ArticleGrid;

// The differences of one group offered for taking into the open catalogue, whose grid shows that
// group: the other side's changed values, its added articles (at their place) and the articles it
// lacks (to remove); moved articles are shown only. The open catalogue is side A.
namespace DifferenceProposals {

// The groups with differences, in order, each with what happened to it as a whole: "Tillagd" or
// "Borttagen" for a group only one side has, otherwise "Ändrad"; and how many articles differ.
struct GroupEntry
{
    QString blockName;
    QString description;
    QString kind;
    int articles = 0;
};
QList<GroupEntry> groups(const CatalogueDifferences &differences);

// The counts of each kind of article difference in a sentence, and the fields left out.
QString summary(const CatalogueDifferences &differences);

// What the comparison calls each kind of proposal.
std::array<QString, kProposalKinds> kindNames();

Proposals forGroup(const CatalogueDifferences &differences, const QString &blockName,
                   const ArticleGrid &grid);

} // namespace DifferenceProposals
