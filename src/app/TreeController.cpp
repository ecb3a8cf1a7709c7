#include "app/TreeController.h"

#include "app/GridController.h"
#include "app/WaitCursor.h"
#include "core/AppError.h"
#include "session/CatalogueSession.h"
#include "ui/GroupTreeView.h"

#include <QScopedValueRollback>

TreeController::TreeController(GroupTreeView &tree, CatalogueSession &session, GridController &grid,
                               Prompter &prompter, QObject *parent)
    : QObject(parent), m_tree(tree), m_session(session), m_grid(grid), m_prompter(prompter)
{
    m_tree.setManufacturerLoader([this](const QString &blockName) -> std::optional<QStringList> {
        try {
            WaitCursor wait;
            return m_session.manufacturers(blockName);
        } catch (const std::exception &e) {
            reportError(m_prompter, kMainWindow, QStringLiteral("ExpandTreeRow"), e);
            return QStringList();
        }
    });
    connect(&m_tree, &GroupTreeView::rowPicked, this, &TreeController::pick);
    connect(&m_session, &CatalogueSession::treeChanged, this, &TreeController::build);
    connect(&m_session, &CatalogueSession::closed, this, [this] { m_tree.clearGroups(); });
    connect(&m_session, &CatalogueSession::gridReset, this, &TreeController::showChoice);
    connect(&m_session, &CatalogueSession::editedChanged, this, &TreeController::setEdited);
    connect(&m_session, &CatalogueSession::opened, this, [this] {
        build();
        // A new user sees articles at once: the grid shows the highlighted tree row. A reopened
        // catalogue shows its kept choice again.
        const ArticleSelection highlighted = ArticleSelection::fromTreeKey(m_tree.currentKey());
        if (highlighted.isValid() && !m_session.treeChoice().isValid())
            m_session.show(highlighted);
    });
}

void TreeController::build()
{
    if (!m_session.isOpen())
        return;
    try {
        const QList<GroupTree::Group> groups = m_session.groups();
        const QScopedValueRollback<bool> building(m_pickingRow, true);
        m_tree.build(groups, m_session.treeChoice().treeKey());
    } catch (const std::exception &e) {
        reportError(m_prompter, kMainWindow, QStringLiteral("SetupTreeView"), e);
    }
}

void TreeController::showChoice()
{
    const ArticleSelection &shown = m_session.selection();
    if (!shown.isValid() || m_tree.currentKey() == shown.treeKey())
        return;
    const QScopedValueRollback<bool> restoring(m_pickingRow, true);
    m_tree.setCurrentKey(shown.treeKey());
    m_tree.markCurrentBold();
}

void TreeController::setEdited(bool edited)
{
    // A click on the tree that committed an open editor may have moved its current row: it
    // goes back.
    m_tree.setEnabled(!edited);
    if (edited)
        showChoice();
    QPalette p = m_tree.palette();
    const QPalette window = m_tree.window()->palette();
    p.setColor(QPalette::Text,
               edited ? window.color(QPalette::Dark) : window.color(QPalette::WindowText));
    m_tree.setPalette(p);
}

void TreeController::pick()
{
    if (m_pickingRow || m_tree.topLevelItemCount() == 0)
        return;
    const QScopedValueRollback<bool> picking(m_pickingRow, true);
    m_grid.commitEditor();
    const ArticleSelection selection = ArticleSelection::fromTreeKey(m_tree.currentKey());
    if (!selection.isValid())
        return;
    WaitCursor wait;
    const bool shown = m_session.show(selection);
    // After a cancelled question the tree shows the kept choice again.
    showChoice();
    if (shown)
        m_grid.EvaluateTreeMode();
}
