#include "app/SheetController.h"

#include "app/CommandRegistry.h"
#include "app/GridController.h"
#include "app/WaitCursor.h"
#include "core/AppError.h"
#include "core/Progress.h"
#include "core/Prompter.h"
#include "session/CatalogueSession.h"
#include "sheet/SheetExport.h"
#include "sheet/SheetWriter.h"

#include <QFileInfo>

SheetController::SheetController(CatalogueSession &session, GridController &grid,
                                 Prompter &prompter, QObject *parent)
    : QObject(parent), m_session(session), m_grid(grid), m_prompter(prompter)
{
}

void SheetController::registerCommands(CommandRegistry &commands)
{
    commands.add(CommandId::ExportSheet, [this] { exportSheet(); });
}

void SheetController::exportSheet()
{
    if (!m_session.isOpen())
        return;
    m_grid.commitEditor();
    const ArticleGrid &grid = m_session.grid();
    const QString path = m_prompter.saveFile(
        {QStringLiteral("Exportera till kalkylblad"),
         QStringLiteral("Kalkylblad (*.xlsx);;CSV, semikolon (*.csv)"),
         QFileInfo(m_session.CurrentDbPath()).absolutePath(), QStringLiteral("xlsx")});
    if (path.isEmpty())
        return;
    std::vector<int> rows;
    if (const auto selected = grid.dataSelection(); selected && selected->r2 > selected->r1) {
        for (int r = selected->r1; r <= selected->r2; ++r)
            rows.push_back(r);
    }
    const ArticleSelection &shown = m_session.selection();
    try {
        WaitCursor wait;
        const std::unique_ptr<SheetWriter> writer = makeSheetWriter(path);
        NullProgress progress;
        if (shown.kind() == ArticleSelection::Kind::Root) {
            const QHash<QString, QString> groups =
                SheetExport::groupDescriptions(*m_session.database());
            SheetExport::writeGrid(grid, rows, QStringLiteral("Artiklar"), *writer, progress,
                                   &groups);
        } else {
            SheetExport::writeGrid(grid, rows, shown.blockName(), *writer, progress);
        }
    } catch (const std::exception &e) {
        reportError(m_prompter, kMainWindow, QStringLiteral("mnuExportSheet"), e);
    }
}
