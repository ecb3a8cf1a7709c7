#pragma once

#include "compare/DifferenceProposals.h"

#include <QDialog>

class ChangePreviewView;
class QLabel;
class QTreeWidget;

// "Jämför med katalog": the groups that differ from the other catalogue, each marked as added,
// removed or changed in words and a sign (never by colour alone), and the articles of the picked
// group as proposals to take into the open catalogue. The window only shows; what a pick or a
// take does is the controller's.
class ComparisonWindow : public QDialog
{
    Q_OBJECT
public:
    ComparisonWindow(const QString &otherName, QWidget *parent = nullptr);

    void setGroups(const QList<DifferenceProposals::GroupEntry> &groups, const QString &summary);
    // The articles of the picked group, or a word why there are none to take.
    void showProposals(const Proposals &proposals, const QString &note = {});

    QTreeWidget *groupList() const { return m_groups; }
    ChangePreviewView *preview() const { return m_preview; }

signals:
    void groupPicked(const QString &blockName);
    void takeRequested(const Proposals &proposals);
    void reportRequested();

private:
    QTreeWidget *m_groups = nullptr;
    QLabel *m_summary = nullptr;
    QLabel *m_note = nullptr;
    ChangePreviewView *m_preview = nullptr;
};
