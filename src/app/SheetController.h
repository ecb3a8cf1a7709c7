#pragma once

#include "dialogs/SheetExportDialog.h"

#include <QObject>

class CatalogueSession;
class CommandRegistry;
class GridController;
class Prompter;

// "Exportera till kalkylblad...": writes the shown view (or only the selected rows) to .xlsx or
// .csv, with the group's description first in the overview or a sheet per group.
// "Uppdatera från lista...": reads a supplier's list, shows what it would change in the shown
// group and writes the ticked changes into the grid as one undo step.
class SheetController : public QObject
{
    Q_OBJECT
public:
    SheetController(CatalogueSession &session, GridController &grid, Prompter &prompter,
                    QObject *parent = nullptr);

    void registerCommands(CommandRegistry &commands);

private:
    void exportSheet();
    void writeSheet(const QString &path, const SheetExportDialog::Options &options);
    void updateFromList();

    CatalogueSession &m_session;
    GridController &m_grid;
    Prompter &m_prompter;
};
