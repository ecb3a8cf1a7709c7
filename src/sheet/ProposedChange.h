#pragma once

#include <QList>
#include <QString>

// A change offered to the user before anything is written: one article (or one list row) with
// old -> new per field, each of which can be left out. The list update fills these; a comparison
// of two catalogues can offer its differences the same way.
enum class ProposalKind {
    Changed,      // fields of an article differ
    NotInList,    // an article the other side does not mention (ticked: it is removed)
    NoArticle,    // a row of the other side matching no article (ticked: it is added)
    DuplicateKey, // the key occurs more than once; nothing is ticked for the user
    TooLong,      // a value does not fit its field; that field cannot be taken
    Moved,        // an article stands elsewhere in its group on the other side; shown only
};
inline constexpr int kProposalKinds = 6;

struct FieldProposal
{
    QString field;
    int column = -1; // the grid column it writes
    QString before, after;
    QString blocked; // why it cannot be taken; empty when it can
    bool chosen = true;

    bool canTake() const { return blocked.isEmpty(); }
};

struct Proposal
{
    ProposalKind kind = ProposalKind::Changed;
    QString label;   // the article's key as shown
    int gridRow = 0; // the article's grid row; 0 for none
    int line = 0;    // the line of the list it comes from; 0 for none
    QList<FieldProposal> fields;
    bool chosen = false;
    // An added article goes after this grid row (0: first in the grid); -1: after the last.
    int afterGridRow = -1;
    QString note; // shown beside the article (where it comes from)
};

using Proposals = QList<Proposal>;

// "Ändrad", "Saknas i listan", "Ingen artikel", "Dubblettnyckel", "För långt värde", "Flyttad".
QString proposalKindName(ProposalKind kind);
