#include "app/SheetController.h"

#include "app/CommandRegistry.h"
#include "app/GridController.h"
#include "app/WaitCursor.h"
#include "core/AppError.h"
#include "core/Progress.h"
#include "core/Prompter.h"
#include "dialogs/ListUpdateDialog.h"
#include "dialogs/SheetExportDialog.h"
#include "session/CatalogueSession.h"
#include "sheet/HeadingMapping.h"
#include "sheet/ListFile.h"
#include "sheet/ListUpdate.h"
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
    commands.add(CommandId::UpdateFromList, [this] { updateFromList(); });
}

void SheetController::exportSheet()
{
    if (!m_session.isOpen())
        return;
    m_grid.commitEditor();
    // Every row of the view is written, so one still loading is read to its end first.
    if (!m_session.finishLoading())
        return;
    const QString path = m_prompter.saveFile({QStringLiteral("Exportera till kalkylblad"),
                                              QStringLiteral("Kalkylblad (*.xlsx);;CSV (*.csv)"),
                                              QFileInfo(m_session.CurrentDbPath()).absolutePath(),
                                              QStringLiteral("xlsx")});
    if (path.isEmpty())
        return;
    const auto selected = m_session.grid().dataSelection();
    const bool rowsSelected = selected && selected->r2 > selected->r1;
    const bool wholeCatalogue = m_session.selection().kind() == ArticleSelection::Kind::Root;
    // Window-modal without a nested event loop; it deletes itself when closed.
    auto *dialog = new SheetExportDialog(!isXlsxPath(path), rowsSelected, wholeCatalogue,
                                         m_grid.view()->window());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog, path] {
        // The long write repaints the window, which would delete the closing dialog under it.
        QMetaObject::invokeMethod(
            this, [this, path, options = dialog->options()] { writeSheet(path, options); },
            Qt::QueuedConnection);
    });
    connect(&m_session, &CatalogueSession::gridAboutToReset, dialog, &QDialog::reject);
    dialog->open();
}

void SheetController::writeSheet(const QString &path, const SheetExportDialog::Options &options)
{
    const ArticleGrid &grid = m_session.grid();
    std::vector<int> rows;
    if (const auto selected = grid.dataSelection(); options.selectedOnly && selected) {
        for (int r = selected->r1; r <= selected->r2; ++r)
            rows.push_back(r);
    }
    const ArticleSelection &shown = m_session.selection();
    Progress &progress = m_session.progress();
    try {
        WaitCursor wait;
        const std::unique_ptr<SheetWriter> writer = makeSheetWriter(path, options.separator);
        if (shown.kind() == ArticleSelection::Kind::Root) {
            const QHash<QString, QString> groups =
                SheetExport::groupDescriptions(*m_session.database());
            SheetExport::writeGrid(grid, rows, QStringLiteral("Artiklar"), *writer, progress,
                                   &groups, options.layout);
        } else {
            SheetExport::writeGrid(grid, rows, shown.blockName(), *writer, progress);
        }
    } catch (const std::exception &e) {
        progress.end();
        reportError(m_prompter, kMainWindow, QStringLiteral("mnuExportSheet"), e);
    }
}

void SheetController::updateFromList()
{
    if (!m_session.isOpen())
        return;
    m_grid.commitEditor();
    // The list is matched against every article of the shown group, so it is read to its end.
    if (m_grid.refusedInOverview() || !m_session.finishLoading())
        return;
    const QString title = QStringLiteral("Uppdatera från lista");
    const QStringList picked =
        m_prompter.openFile({title,
                             QStringLiteral("Kalkylblad (*.xlsx *.csv);;Alla filer (*)"),
                             QFileInfo(m_session.CurrentDbPath()).absolutePath(),
                             {}});
    if (picked.isEmpty())
        return;
    const QString path = picked.first();
    QStringList sheets;
    SheetTable table;
    try {
        WaitCursor wait;
        sheets = ListFile::sheetNames(path);
        table = ListFile::read(path, 0, ListUpdate::decimalPointOf(m_grid.grid()));
    } catch (const AppError &e) {
        m_prompter.warning(e.description(), title);
        return;
    } catch (const std::exception &e) {
        reportError(m_prompter, kMainWindow, QStringLiteral("mnuUpdateFromList"), e);
        return;
    }
    if (HeadingMapping::defaultKey(HeadingMapping::map(table.headings, m_session.fieldList()))
            .isEmpty()) {
        m_prompter.warning(QStringLiteral("Listan har ingen kolumn som kan vara nyckel: ingen "
                                          "rubrik är ett artikelnummer (ARTNR)."),
                           title);
        return;
    }
    // Window-modal without a nested event loop; it deletes itself when closed.
    auto *dialog = new ListUpdateDialog(m_grid.grid(), m_session.fieldList(), path, sheets,
                                        std::move(table), m_prompter, m_grid.view()->window());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &ListUpdateDialog::takeRequested, this,
            [this, dialog](const Proposals &proposals) {
                if (m_grid.takeProposals(proposals, QStringLiteral("Uppdatera från lista")))
                    dialog->accept();
            });
    // A view that changes under it leaves its proposals stale.
    connect(&m_session, &CatalogueSession::gridAboutToReset, dialog, &QDialog::reject);
    dialog->open();
}
