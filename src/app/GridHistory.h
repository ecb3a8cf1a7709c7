#pragma once

#include "browse/ArticleGrid.h"

#include <QObject>
#include <QUndoStack>

struct GridChange;

// The grid's undo history: each grid operation becomes one step on a QUndoStack, kept as what
// it changed (see ArticleGrid::Edit). Refilling the grid starts the history over; undoing every
// step brings the grid back to what was loaded.
class GridHistory : public QObject
{
    Q_OBJECT
public:
    static constexpr int kStepLimit = 100;

    explicit GridHistory(ArticleGrid &grid, QObject *parent = nullptr);
    ~GridHistory() override;

    const QUndoStack &stack() const { return m_stack; }
    // Closes what the grid recorded since the last step into one step named `caption`; when the
    // grid did not change there is no step.
    void seal(const QString &caption);
    void undo();
    void redo();
    // Forgets every step: the grid was filled again, saved or thrown away.
    void clear();
    // True while the grid is as it was loaded, as far as the history knows.
    bool atLoadedState() const { return m_stack.isClean(); }

    // "Ångra Fyll nedåt", or "Ångra" with nothing to undo; likewise "Gör om ...".
    QString undoCaption() const;
    QString redoCaption() const;

signals:
    // An undo or redo changed the grid.
    void replayed(const GridChange &change);
    // Steps were added, taken or forgotten.
    void changed();

private:
    class Step;
    void replay(ArticleGrid::Edit &edit, bool forward);

    ArticleGrid &m_grid;
    QUndoStack m_stack;
};
