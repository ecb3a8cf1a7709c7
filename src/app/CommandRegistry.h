#pragma once

#include "app/CommandTable.h"

#include <QHash>
#include <QObject>
#include <QStringList>

#include <functional>

class QAction;
class QMenu;
class QWidget;

// The window's commands: one QAction per row of the command table, the handler each class
// registers for its own commands, and the one pass that enables them all from the state. Menus,
// toolbars, shortcuts and the grid's popup all run commands through dispatch().
class CommandRegistry : public QObject
{
    Q_OBJECT
public:
    // The actions belong to `window`, so their shortcuts work whatever bar shows them.
    explicit CommandRegistry(QWidget &window);

    QAction *action(CommandId id) const { return m_actions.value(id); }

    // The class that does a command's work registers it; a second handler for one command is a
    // programming error.
    void add(CommandId id, std::function<void()> handler);
    // Table rows without a handler, as their numbers; none once every class has registered.
    QStringList missingHandlers() const;
    // Throws std::logic_error naming the rows without a handler: a command in a menu must work.
    void requireEveryHandler() const;

    // Runs first at every dispatch (an open cell editor is committed) and answers the state the
    // enabling rules read.
    void setBeforeEach(std::function<void()> beforeEach) { m_beforeEach = std::move(beforeEach); }
    void setState(std::function<CommandState()> state) { m_state = std::move(state); }

    // Runs a command: the pass before it, then its handler unless the command is disabled, then
    // the enabling again.
    void dispatch(CommandId id);
    // Enables every action from the state.
    void updateEnabled();
    bool isEnabled(CommandId id) const;

    // Puts each action into its menu (by object name), with the table's separators.
    void fillMenus(const QHash<QString, QMenu *> &menus) const;

signals:
    // After the enabling pass; captions that follow the state (undo and redo) are set here.
    void enablingUpdated(const CommandState &state);

private:
    QHash<CommandId, QAction *> m_actions;
    QHash<CommandId, std::function<void()>> m_handlers;
    std::function<void()> m_beforeEach;
    std::function<CommandState()> m_state;
};
