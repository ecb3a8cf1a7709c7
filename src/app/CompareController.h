#pragma once

#include "compare/CatalogueDifferences.h"
#include "sheet/ProposedChange.h"

#include <QObject>
#include <QPointer>

#include "ui/ComparisonWindow.h"

class CatalogueSession;
class CommandRegistry;
class GridController;
class Prompter;
class QWidget;

// "Jämför med katalog…": compares the stored open catalogue with another one, shows the groups
// that differ in a window of their own, shows a picked group in the grid (behind the question
// about unsaved edits) with its differences as proposals, and takes the chosen ones into the
// grid as one undo step.
class CompareController : public QObject
{
    Q_OBJECT
public:
    CompareController(QWidget &window, CatalogueSession &session, GridController &grid,
                      Prompter &prompter);

    void registerCommands(CommandRegistry &commands);
    ComparisonWindow *comparisonWindow() const { return m_view.data(); }
    // Compares with `otherPath` and opens the window; false when nothing was compared.
    bool compareWith(const QString &otherPath);

private:
    void compareWithChosen();
    void showGroup(const QString &blockName);
    void take(const Proposals &proposals);
    void saveReport();

    QWidget &m_window;
    CatalogueSession &m_session;
    GridController &m_grid;
    Prompter &m_prompter;
    QPointer<ComparisonWindow> m_view;
    CatalogueDifferences m_differences;
    QString m_otherPath;
    QString m_shownGroup;
};
