#pragma once

#include <QObject>

#include <optional>
#include <utility>

class CatalogueSession;
class CheckPanel;
class CommandRegistry;
class GridController;
class Prompter;
class QMainWindow;
struct Finding;

// "Kontrollera katalog": runs the catalogue check through the session, lists the findings in a
// panel beside the grid, shows a finding's group and cell when the user picks it (behind the
// question about unsaved edits), and applies the fixes the panel offers.
class CheckController : public QObject
{
    Q_OBJECT
public:
    CheckController(QMainWindow &window, CatalogueSession &session, GridController &grid,
                    Prompter &prompter);

    void registerCommands(CommandRegistry &commands);

signals:
    // A field is to be widened: the field-length dialog opens with this length proposed.
    void fieldWideningRequested(const QString &field, int length);

private:
    void checkCatalogue();
    void showFindings(const QList<Finding> &findings);
    // Before an export: with errors in the catalogue, the user may look at them first.
    bool offerCheckBeforeExport();
    // Shows the finding's group; the grid cell (row, column) it points at, or nothing.
    std::optional<std::pair<int, int>> showFinding(const Finding &finding);
    void applyFix(const Finding &finding);
    void widenField(const QString &field);

    QMainWindow &m_window;
    CatalogueSession &m_session;
    GridController &m_grid;
    Prompter &m_prompter;
    CheckPanel *m_panel = nullptr;
};
