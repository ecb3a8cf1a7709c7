#pragma once

#include <QObject>

class CatalogueSession;
class CheckPanel;
class CommandRegistry;
class GridController;
class Prompter;
class QMainWindow;
struct Finding;

// "Kontrollera katalog": runs the catalogue check through the session, lists the findings in a
// panel beside the grid, and shows a finding's group and cell when the user picks it (behind
// the question about unsaved edits).
class CheckController : public QObject
{
    Q_OBJECT
public:
    CheckController(QMainWindow &window, CatalogueSession &session, GridController &grid,
                    Prompter &prompter);

    void registerCommands(CommandRegistry &commands);

private:
    void checkCatalogue();
    void showFindings(const QList<Finding> &findings);
    // Before an export: with errors in the catalogue, the user may look at them first.
    bool offerCheckBeforeExport();
    void showFinding(const Finding &finding);

    QMainWindow &m_window;
    CatalogueSession &m_session;
    GridController &m_grid;
    Prompter &m_prompter;
    CheckPanel *m_panel = nullptr;
};
