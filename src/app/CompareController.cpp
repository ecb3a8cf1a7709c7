#include "app/CompareController.h"

#include "app/CommandRegistry.h"
#include "app/GridController.h"
#include "app/WaitCursor.h"
#include "browse/ArticleSelection.h"
#include "compare/ComparisonReport.h"
#include "compare/DifferenceProposals.h"
#include "core/AppError.h"
#include "core/Paths.h"
#include "core/Prompter.h"
#include "core/SafeFile.h"
#include "session/CatalogueSession.h"
#include "ui/ComparisonWindow.h"

#include <QFileInfo>
#include <QHash>
#include <QTreeWidget>

CompareController::CompareController(QWidget &window, CatalogueSession &session,
                                     GridController &grid, Prompter &prompter)
    : QObject(&window), m_window(window), m_session(session), m_grid(grid), m_prompter(prompter)
{
    // A comparison belongs to the catalogue it was made with.
    connect(&m_session, &CatalogueSession::closed, this, [this] {
        if (m_view)
            m_view->close();
    });
}

void CompareController::registerCommands(CommandRegistry &commands)
{
    commands.add(CommandId::CompareCatalogue, [this] { compareWithChosen(); });
}

void CompareController::compareWithChosen()
{
    if (!m_session.isOpen())
        return;
    m_grid.commitEditor();
    // The comparison reads the catalogue as stored; unsaved edits only matter to it then.
    if (m_session.isEdited()) {
        const Answer answer = m_prompter.questionWithCancel(
            MessageIcon::Question, QStringLiteral("Jämför med katalog"),
            QStringLiteral("Jämförelsen läser katalogen som den är sparad, utan dina osparade "
                           "ändringar. Vill du spara dem först?"));
        if (answer == Answer::Cancel)
            return;
        if (answer == Answer::Yes && !m_session.mnuSave())
            return;
    }
    FileDialogRequest request;
    request.title = QStringLiteral("Jämför med katalog");
    request.filter = QStringLiteral("Kataloger (*.tdb *.tds);;Arbetsdatabas (*.tdb);;"
                                    "Utbytesfil (*.tds)");
    request.initialFolder = Paths::folderOf(m_session.CurrentDbPath());
    const QStringList chosen = m_prompter.openFile(request);
    if (!chosen.isEmpty())
        compareWith(chosen.first());
}

bool CompareController::compareWith(const QString &otherPath)
{
    try {
        WaitCursor wait;
        m_differences = m_session.compareWith(otherPath);
    } catch (const std::exception &e) {
        reportError(m_prompter, kMainWindow, QStringLiteral("mnuCompare"), e);
        return false;
    }
    m_otherPath = otherPath;
    m_shownGroup.clear();
    if (!m_view) {
        m_view = new ComparisonWindow(QFileInfo(otherPath).fileName(), &m_window);
        connect(m_view, &ComparisonWindow::groupPicked, this, &CompareController::showGroup);
        connect(m_view, &ComparisonWindow::takeRequested, this, &CompareController::take);
        connect(m_view, &ComparisonWindow::reportRequested, this, &CompareController::saveReport);
    }
    const QString summary = DifferenceProposals::summary(m_differences);
    QList<DifferenceProposals::GroupEntry> groups = DifferenceProposals::groups(m_differences);
    try {
        QHash<QString, QString> described;
        for (const GroupTree::Group &g : m_session.groups())
            described.insert(g.blockName, g.description);
        for (DifferenceProposals::GroupEntry &g : groups) {
            if (g.description.isEmpty())
                g.description = described.value(g.blockName);
        }
    } catch (const std::exception &) {
        // The names alone still tell the groups apart.
    }
    m_view->setGroups(groups, summary);
    m_view->show();
    m_view->raise();
    return true;
}

void CompareController::showGroup(const QString &blockName)
{
    const bool onlyInOther = std::any_of(
        m_differences.groups.begin(), m_differences.groups.end(), [&](const GroupDifference &g) {
            return g.blockName == blockName && g.kind == GroupDifference::Kind::Added;
        });
    if (onlyInOther) {
        m_view->showProposals({}, QStringLiteral("Gruppen finns bara i den andra katalogen. Skapa "
                                                 "den först för att kunna ta in dess artiklar."));
        return;
    }
    const ArticleSelection group = ArticleSelection::group(blockName);
    if (m_session.selection() != group) {
        m_grid.commitEditor();
        if (!m_session.show(group)) {
            m_view->showProposals({}, QStringLiteral("Gruppen visas inte i rutnätet."));
            return;
        }
    }
    m_shownGroup = blockName;
    const bool edited = m_session.isEdited();
    m_view->showProposals(
        DifferenceProposals::forGroup(m_differences, blockName, m_session.grid()),
        edited ? QStringLiteral("Gruppen har osparade ändringar som jämförelsen inte känner till.")
               : QString());
}

void CompareController::take(const Proposals &proposals)
{
    if (m_shownGroup.isEmpty() || m_session.selection() != ArticleSelection::group(m_shownGroup))
        return;
    if (!m_grid.takeProposals(proposals, QStringLiteral("Ta in från jämförelse")))
        return;
    // The comparison no longer describes the grid: what was taken is done.
    m_view->showProposals(
        {}, QStringLiteral("Taget in i rutnätet. Ångra med Alt+Backsteg; spara för att "
                           "behålla. Jämför igen för en ny lista."));
}

void CompareController::saveReport()
{
    FileDialogRequest request;
    request.title = QStringLiteral("Spara rapport");
    request.filter = QStringLiteral("Webbsida (*.html);;Tabbseparerad text (*.tsv)");
    request.initialFolder = Paths::folderOf(m_session.CurrentDbPath());
    request.defaultSuffix = QStringLiteral("html");
    const QString path = m_prompter.saveFile(request);
    if (path.isEmpty())
        return;
    const QString nameA = QFileInfo(m_session.CurrentDbPath()).fileName();
    const QString nameB = QFileInfo(m_otherPath).fileName();
    const bool tsv = path.endsWith(QLatin1String(".tsv"), Qt::CaseInsensitive);
    try {
        SafeFile::writeWhole(path, (tsv ? ComparisonReport::tsv(m_differences)
                                        : ComparisonReport::html(m_differences, nameA, nameB))
                                       .toUtf8());
    } catch (const std::exception &e) {
        reportError(m_prompter, kMainWindow, QStringLiteral("mnuCompareReport"), e);
    }
}
