#include "app/FindController.h"

#include "app/CommandRegistry.h"
#include "app/GridController.h"
#include "app/WaitCursor.h"
#include "browse/ArticleGridModel.h"
#include "browse/ArticleSearch.h"
#include "core/AppError.h"
#include "session/CatalogueSession.h"
#include "ui/ArticleGridView.h"
#include "ui/FindBar.h"

FindController::FindController(FindBar &bar, CatalogueSession &session, GridController &grid,
                               Prompter &prompter, QObject *parent)
    : QObject(parent), m_bar(bar), m_session(session), m_grid(grid), m_prompter(prompter)
{
    connect(&m_bar, &FindBar::searchRequested, this, &FindController::search);
    connect(&m_bar, &FindBar::hitActivated, this, &FindController::showHit);
    connect(&m_bar, &FindBar::closed, this, [this] { m_grid.view()->setFocus(); });
}

void FindController::registerCommands(CommandRegistry &commands)
{
    commands.add(CommandId::Find, [this] {
        m_bar.show();
        m_bar.focusSearch();
    });
}

void FindController::search(const QString &text)
{
    try {
        WaitCursor wait;
        m_bar.setHits(m_session.find(text));
    } catch (const std::exception &e) {
        reportError(m_prompter, kMainWindow, QStringLiteral("Find"), e);
    }
}

void FindController::showHit(int index)
{
    if (index < 0 || index >= m_bar.hits().size())
        return;
    const ArticleSearch::Hit hit = m_bar.hits().at(index);
    const ArticleSelection group = ArticleSearch::selectionFor(hit);
    // Another group is shown only after the question about unsaved edits.
    if (m_session.selection() != group) {
        m_grid.commitEditor();
        if (!m_session.show(group))
            return;
    }
    const ArticleGrid &grid = m_session.grid();
    int row = ArticleSearch::gridRowOf(grid, hit);
    // A hit beyond the rows read so far waits for the rest of the view.
    if (row < 1 && m_session.isLoading() && m_session.finishLoading())
        row = ArticleSearch::gridRowOf(grid, hit);
    if (row < 1)
        return;
    int column = ArticleSearch::gridColumnOf(grid, hit);
    if (column < 2)
        column = 2; // the row number is hidden; the block name is the first shown field
    const QModelIndex cell = m_grid.model()->index(row - 1, column);
    m_grid.view()->setCurrentIndex(cell);
    m_grid.view()->scrollTo(cell, QAbstractItemView::PositionAtCenter);
}
