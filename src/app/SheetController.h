#pragma once

#include <QObject>

class CatalogueSession;
class CommandRegistry;
class GridController;
class Prompter;

// "Exportera till kalkylblad...": writes the shown view (or only the selected rows, when more
// than one is selected) to .xlsx or .csv, with the group's description first in the overview.
class SheetController : public QObject
{
    Q_OBJECT
public:
    SheetController(CatalogueSession &session, GridController &grid, Prompter &prompter,
                    QObject *parent = nullptr);

    void registerCommands(CommandRegistry &commands);

private:
    void exportSheet();

    CatalogueSession &m_session;
    GridController &m_grid;
    Prompter &m_prompter;
};
