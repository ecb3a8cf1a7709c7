#include "app/CheckController.h"

#include "app/CommandRegistry.h"
#include "app/GridController.h"
#include "app/WaitCursor.h"
#include "browse/ArticleGridModel.h"
#include "check/CheckFix.h"
#include "check/Finding.h"
#include "core/AppError.h"
#include "core/Prompter.h"
#include "db/Schema.h"
#include "session/CatalogueSession.h"
#include "ui/ArticleGridView.h"
#include "ui/CheckPanel.h"

#include <QMainWindow>

#include <algorithm>

CheckController::CheckController(QMainWindow &window, CatalogueSession &session,
                                 GridController &grid, Prompter &prompter)
    : QObject(&window), m_window(window), m_session(session), m_grid(grid), m_prompter(prompter)
{
    m_session.setBeforeExport([this] { return offerCheckBeforeExport(); });
}

void CheckController::registerCommands(CommandRegistry &commands)
{
    commands.add(CommandId::CheckCatalogue, [this] { checkCatalogue(); });
}

void CheckController::checkCatalogue()
{
    if (!m_session.isOpen())
        return;
    Findings findings;
    try {
        WaitCursor wait;
        findings = m_session.check();
    } catch (const std::exception &e) {
        reportError(m_prompter, kMainWindow, QStringLiteral("mnuCheck"), e);
        return;
    }
    showFindings(findings);
}

void CheckController::showFindings(const QList<Finding> &findings)
{
    if (!m_panel) {
        m_panel = new CheckPanel(&m_window);
        m_window.addDockWidget(Qt::RightDockWidgetArea, m_panel);
        connect(m_panel, &CheckPanel::findingActivated, this,
                [this](const Finding &finding) { showFinding(finding); });
        connect(m_panel, &CheckPanel::fixRequested, this, &CheckController::applyFix);
    }
    m_panel->setFindings(findings);
    m_panel->show();
    m_panel->raise();
}

bool CheckController::offerCheckBeforeExport()
{
    Findings findings;
    try {
        WaitCursor wait;
        findings = m_session.check();
    } catch (const std::exception &) {
        return true; // a check that cannot run stops no export; the export reports what it finds
    }
    const auto errors = std::count_if(findings.begin(), findings.end(), [](const Finding &f) {
        return f.severity == Severity::Error;
    });
    if (errors == 0)
        return true;
    if (m_prompter.confirmAs(MessageIcon::Warning, QStringLiteral("Kontrollera katalog"),
                             QStringLiteral("Katalogen har %1 fel som kan ge problem i "
                                            "ritningarna. Avbryt för att se dem i Kontrollera "
                                            "katalog, eller exportera ändå.")
                                 .arg(errors),
                             QStringLiteral("Exportera ändå")))
        return true;
    showFindings(findings);
    return false;
}

std::optional<std::pair<int, int>> CheckController::showFinding(const Finding &finding)
{
    // Equivalence lines are not shown in the grid; a group is.
    if (finding.blockName.isEmpty() || finding.table == QLatin1String(Schema::kEqv))
        return std::nullopt;
    const ArticleSelection group = ArticleSelection::group(finding.blockName);
    if (m_session.selection() != group) {
        m_grid.commitEditor();
        if (!m_session.show(group))
            return std::nullopt;
    }
    const ArticleGrid &grid = m_session.grid();
    const int radColumn = grid.GetColumn(Schema::kRowNumber);
    if (finding.row < 0 || radColumn < 0)
        return std::nullopt;
    const QString rad = QString::number(finding.row);
    for (int row = 1; row < grid.rows(); ++row) {
        if (grid.text(row, radColumn).trimmed() != rad)
            continue;
        const int column = qMax(2, grid.GetColumn(finding.field));
        const QModelIndex cell = m_grid.model()->index(row - 1, column);
        m_grid.view()->setCurrentIndex(cell);
        m_grid.view()->scrollTo(cell, QAbstractItemView::PositionAtCenter);
        return std::pair(row, column);
    }
    return std::nullopt;
}

void CheckController::applyFix(const Finding &finding)
{
    const CheckFix fix = certainFixFor(finding);
    if (fix == CheckFix::WidenField) {
        widenField(finding.field);
        return;
    }
    const std::optional<std::pair<int, int>> cell = showFinding(finding);
    if (!cell || m_session.selection() != ArticleSelection::group(finding.blockName))
        return;
    const int before = m_grid.history().stack().count();
    if (fix == CheckFix::RenumberGroup)
        m_grid.renumberCollidingRows();
    else if (fix == CheckFix::RemoveLeadingSpaces)
        m_grid.removeLeadingSpaces(cell->first, m_session.grid().GetColumn(finding.field));
    if (m_grid.history().stack().count() != before)
        m_panel->markCurrentFixed();
}

void CheckController::widenField(const QString &field)
{
    // The longest value is read from the stored catalogue, so edits are saved first.
    m_grid.commitEditor();
    if (!m_session.offerToSaveEdits())
        return;
    try {
        emit fieldWideningRequested(field, m_session.longestValue(field));
    } catch (const std::exception &e) {
        reportError(m_prompter, kMainWindow, QStringLiteral("mnuCheck"), e);
    }
}
