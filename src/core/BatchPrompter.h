#pragma once

#include "core/Prompter.h"

// Batch conversions have no display: messages go to stderr, questions are answered No
// (nothing is overwritten or guessed without the user), dialogs are cancelled.
class BatchPrompter final : public Prompter
{
public:
    void message(MessageIcon icon, const QString &title, const QString &text) override;
    bool question(MessageIcon icon, const QString &title, const QString &text) override;
    Answer questionWithCancel(MessageIcon icon, const QString &title, const QString &text) override;
    std::optional<QString> inputText(const QString &title, const QString &label,
                                     const QString &initial) override;
    QStringList openFile(const FileDialogRequest &request) override;
    QString saveFile(const FileDialogRequest &request) override;
    std::optional<std::uint32_t> chooseColour(std::uint32_t initial) override;

    int messageCount() const { return m_messages; }

private:
    int m_messages = 0;
};
