#pragma once

#include "core/Prompter.h"

class QWidget;

// The Prompter of the window: Qt's message boxes and dialogs, owned by the given parent.
class MessageBoxPrompter final : public Prompter
{
public:
    explicit MessageBoxPrompter(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }

    void message(MessageIcon icon, const QString &title, const QString &text) override;
    bool question(MessageIcon icon, const QString &title, const QString &text) override;
    Answer questionWithCancel(MessageIcon icon, const QString &title, const QString &text) override;
    bool confirm(MessageIcon icon, const QString &title, const QString &text) override;
    bool confirmAs(MessageIcon icon, const QString &title, const QString &text,
                   const QString &goAhead) override;
    std::optional<QString> inputText(const QString &title, const QString &label,
                                     const QString &initial) override;
    QStringList openFile(const FileDialogRequest &request) override;
    QString saveFile(const FileDialogRequest &request) override;
    std::optional<std::uint32_t> chooseColour(std::uint32_t initial) override;

private:
    QWidget *m_parent;
};
