#include "app/GridHistory.h"

#include "browse/GridChange.h"

#include <QUndoCommand>

class GridHistory::Step : public QUndoCommand
{
public:
    Step(GridHistory &history, ArticleGrid::Edit edit, const QString &caption)
        : QUndoCommand(caption), m_history(history), m_edit(std::move(edit))
    {
    }

    void undo() override { m_history.replay(m_edit, false); }
    void redo() override
    {
        // Pushing a step runs redo(); the grid already holds what the step did.
        if (m_done) {
            m_done = false;
            return;
        }
        m_history.replay(m_edit, true);
    }

private:
    GridHistory &m_history;
    ArticleGrid::Edit m_edit;
    bool m_done = true;
};

GridHistory::GridHistory(ArticleGrid &grid, QObject *parent) : QObject(parent), m_grid(grid)
{
    m_grid.setRecording(true);
    // A step over a whole root view keeps a few dozen megabytes; the oldest steps go first.
    m_stack.setUndoLimit(kStepLimit);
    connect(&m_stack, &QUndoStack::indexChanged, this, &GridHistory::changed);
    connect(&m_stack, &QUndoStack::cleanChanged, this, &GridHistory::changed);
}

GridHistory::~GridHistory()
{
    // The stack clears itself on the way out; the window listening is going as well.
    m_stack.disconnect(this);
}

void GridHistory::seal(const QString &caption)
{
    if (!m_grid.hasPendingEdit())
        return;
    m_stack.push(new Step(*this, m_grid.takeEdit(), caption));
}

void GridHistory::undo()
{
    // A change no command closed (there should be none) becomes a step of its own, so the
    // steps before it are taken back on the grid they were recorded on.
    seal(QStringLiteral("Ändring"));
    m_stack.undo();
}

void GridHistory::redo()
{
    if (m_grid.hasPendingEdit()) {
        // A new change ends what could be done again.
        seal(QStringLiteral("Ändring"));
        return;
    }
    m_stack.redo();
}

void GridHistory::clear()
{
    m_grid.takeEdit();
    m_stack.clear();
}

void GridHistory::replay(ArticleGrid::Edit &edit, bool forward)
{
    const GridChange change = forward ? m_grid.redo(edit) : m_grid.undo(edit);
    emit replayed(change);
}

QString GridHistory::undoCaption() const
{
    return m_stack.canUndo() ? QStringLiteral("Ångra %1").arg(m_stack.undoText())
                             : QStringLiteral("Ångra");
}

QString GridHistory::redoCaption() const
{
    return m_stack.canRedo() ? QStringLiteral("Gör om %1").arg(m_stack.redoText())
                             : QStringLiteral("Gör om");
}
