#pragma once

#include <QObject>

class CatalogueSession;
class CommandRegistry;
class FindBar;
class GridController;
class Prompter;

// Wires the find bar: a search runs through the session, a picked hit shows its group (behind
// the question about unsaved edits) with its cell current.
class FindController : public QObject
{
    Q_OBJECT
public:
    FindController(FindBar &bar, CatalogueSession &session, GridController &grid,
                   Prompter &prompter, QObject *parent = nullptr);

    void registerCommands(CommandRegistry &commands);

private:
    void search(const QString &text);
    void showHit(int index);

    FindBar &m_bar;
    CatalogueSession &m_session;
    GridController &m_grid;
    Prompter &m_prompter;
};
