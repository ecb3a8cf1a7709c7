#pragma once

#include "sheet/ProposedChange.h"

#include <QWidget>

#include <array>

class ChangePreviewModel;
class QCheckBox;
class QLabel;
class QPushButton;
class QTreeView;

// Proposed changes before anything is written: the articles with a check box each and, under
// them, their fields old -> new with a check box each; a filter per kind with its count, and
// "Ta in markerade". Used by the list update and the comparison of two catalogues.
class ChangePreviewView : public QWidget
{
    Q_OBJECT
public:
    explicit ChangePreviewView(QWidget *parent = nullptr);

    ChangePreviewModel *model() const { return m_model; }
    QTreeView *tree() const { return m_tree; }
    QPushButton *takeButton() const { return m_take; }
    QCheckBox *kindFilter(ProposalKind kind) const { return m_kinds[size_t(kind)]; }

    void setKindNames(const std::array<QString, kProposalKinds> &names);
    // Shows these proposals; kinds that have none are not offered as filters.
    void setProposals(Proposals proposals);

signals:
    // "Ta in markerade" was pressed with something ticked.
    void takeRequested();

private:
    void updateCounts();

    ChangePreviewModel *m_model = nullptr;
    QTreeView *m_tree = nullptr;
    QLabel *m_summary = nullptr;
    std::array<QCheckBox *, kProposalKinds> m_kinds{};
    QPushButton *m_take = nullptr;
};
