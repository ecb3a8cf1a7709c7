#pragma once

#include "sheet/ProposedChange.h"

#include <QAbstractItemModel>

#include <array>

// Proposed changes as a tree for a view: one row per article with its kind, and below it one
// row per field with old -> new. Each article and each field has a check box; a field that
// cannot be taken shows why and cannot be ticked. Kinds can be hidden; the counts are over all.
class ChangePreviewModel : public QAbstractItemModel
{
    Q_OBJECT
public:
    enum Column { ArticleColumn, KindColumn, BeforeColumn, AfterColumn, NoteColumn, ColumnCount };

    explicit ChangePreviewModel(QObject *parent = nullptr);

    void setProposals(Proposals proposals);
    const Proposals &proposals() const { return m_proposals; }

    // What each kind is called here (a comparison says "Tillagd" where a list says "Ingen
    // artikel"); proposalKindName() unless set.
    void setKindNames(const std::array<QString, kProposalKinds> &names);
    QString kindName(ProposalKind kind) const { return m_kindNames[size_t(kind)]; }
    void setKindShown(ProposalKind kind, bool shown);
    bool isKindShown(ProposalKind kind) const { return m_shown[size_t(kind)]; }
    int count(ProposalKind kind) const;
    int chosenCount() const;
    // Ticks or clears every shown article.
    void setAllChosen(bool chosen);
    // The proposal a top-level row stands for; -1 for a field row.
    int proposalAt(const QModelIndex &index) const;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

signals:
    // A tick changed or the shown kinds did.
    void choiceChanged();

private:
    void rebuild();

    Proposals m_proposals;
    std::vector<int> m_visible; // proposal per top-level row
    std::array<bool, kProposalKinds> m_shown{true, true, true, true, true, true};
    std::array<QString, kProposalKinds> m_kindNames;
};
