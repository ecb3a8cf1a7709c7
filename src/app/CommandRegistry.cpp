#include "app/CommandRegistry.h"

#include "ui/Icons.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

#include <stdexcept>

CommandRegistry::CommandRegistry(QWidget &window) : QObject(&window)
{
    for (const CommandSpec &spec : commandTable()) {
        auto *act = new QAction(QString::fromUtf8(spec.caption), &window);
        const CommandId id = spec.id;
        act->setObjectName(QStringLiteral("cmd%1").arg(int(id)));
        act->setShortcut(shortcutOf(spec));
        if (spec.toolbarCaption) {
            act->setIconText(QString::fromUtf8(spec.toolbarCaption));
            act->setToolTip(QString::fromUtf8(spec.toolTip));
            act->setIcon(Icons::named(spec.icon));
        }
        if (schemeOf(id) >= 0)
            act->setCheckable(true);
        connect(act, &QAction::triggered, this, [this, id] { dispatch(id); });
        window.addAction(act);
        m_actions.insert(id, act);
    }
}

void CommandRegistry::add(CommandId id, std::function<void()> handler)
{
    if (!m_actions.contains(id) || m_handlers.contains(id))
        throw std::logic_error(
            QStringLiteral("Kommando %1 registreras två gånger eller finns inte i tabellen.")
                .arg(int(id))
                .toStdString());
    m_handlers.insert(id, std::move(handler));
}

QStringList CommandRegistry::missingHandlers() const
{
    QStringList missing;
    for (const CommandSpec &spec : commandTable()) {
        if (!m_handlers.contains(spec.id))
            missing << QString::number(int(spec.id));
    }
    return missing;
}

void CommandRegistry::requireEveryHandler() const
{
    const QStringList missing = missingHandlers();
    if (!missing.isEmpty())
        throw std::logic_error(
            QStringLiteral("Kommandon utan hanterare: %1").arg(missing.join(u", ")).toStdString());
}

void CommandRegistry::dispatch(CommandId id)
{
    const auto handler = m_handlers.constFind(id);
    if (handler == m_handlers.constEnd())
        return;
    // What the user typed counts before anything acts on it; it may enable saving.
    if (m_beforeEach)
        m_beforeEach();
    updateEnabled();
    if (!isEnabled(id))
        return;
    (*handler)();
    updateEnabled();
}

void CommandRegistry::updateEnabled()
{
    const CommandState state = m_state ? m_state() : CommandState{};
    for (const CommandSpec &spec : commandTable())
        m_actions.value(spec.id)->setEnabled(commandEnabled(spec.enabling, state));
    emit enablingUpdated(state);
}

bool CommandRegistry::isEnabled(CommandId id) const
{
    const QAction *act = m_actions.value(id);
    return act && act->isEnabled();
}

void CommandRegistry::fillMenus(const QHash<QString, QMenu *> &menus) const
{
    for (const CommandSpec &spec : commandTable()) {
        QMenu *menu = spec.menu ? menus.value(QString::fromLatin1(spec.menu)) : nullptr;
        if (!menu)
            continue;
        if (spec.separator && !menu->isEmpty())
            menu->addSeparator();
        menu->addAction(m_actions.value(spec.id));
    }
}
