#pragma once

#include <QObject>

class CatalogueSession;
class GridController;
class GroupTreeView;
class Prompter;

// Wires the group tree to the catalogue session: builds it from the session's groups with the
// session's tree choice current, turns a picked row into a shown choice (behind the question
// about unsaved edits), keeps the current row on what the grid shows, and locks the tree while
// the grid holds edits.
class TreeController : public QObject
{
    Q_OBJECT
public:
    TreeController(GroupTreeView &tree, CatalogueSession &session, GridController &grid,
                   Prompter &prompter, QObject *parent = nullptr);

    // Builds the tree again from the open catalogue.
    void build();
    // The tree's current row follows what the grid shows, also after the tree was rebuilt.
    void showChoice();
    // While the grid holds edits the shown choice cannot change under them.
    void setEdited(bool edited);

private:
    void pick();

    GroupTreeView &m_tree;
    CatalogueSession &m_session;
    GridController &m_grid;
    Prompter &m_prompter;
    // Building the tree or restoring its row moves the current row; that is no pick.
    bool m_pickingRow = false;
};
