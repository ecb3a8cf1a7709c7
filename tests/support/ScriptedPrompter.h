#pragma once

#include "core/Prompter.h"

#include <QList>
#include <QQueue>

// A Prompter for tests: records every text and answers as told, never opening a window.
class ScriptedPrompter final : public Prompter
{
public:
    struct Shown
    {
        MessageIcon icon;
        QString title;
        QString text;
        bool isQuestion;
    };

    void message(MessageIcon icon, const QString &title, const QString &text) override;
    bool question(MessageIcon icon, const QString &title, const QString &text) override;
    Answer questionWithCancel(MessageIcon icon, const QString &title, const QString &text) override;
    std::optional<QString> inputText(const QString &title, const QString &label,
                                     const QString &initial) override;
    QStringList openFile(const FileDialogRequest &request) override;
    QString saveFile(const FileDialogRequest &request) override;
    std::optional<std::uint32_t> chooseColour(std::uint32_t initial) override;

    QList<Shown> shown;
    QQueue<bool> answers; // for questions; when empty, defaultAnswer
    bool defaultAnswer = false;
    QQueue<Answer> choices; // for questions with Cancel; when empty, defaultChoice
    Answer defaultChoice = Answer::Cancel;
    QQueue<QStringList> openFiles; // for openFile; empty means cancelled
    QQueue<QString> saveFiles;
    QQueue<std::optional<QString>> inputs;
    QStringList inputInitials; // the default text of each input box, in order
    QList<FileDialogRequest> fileRequests;
    // For chooseColour; empty means cancelled. colourRequests holds each initial colour.
    QQueue<std::optional<std::uint32_t>> colours;
    QList<std::uint32_t> colourRequests;

    QStringList texts() const;
    QString lastText() const { return shown.isEmpty() ? QString() : shown.last().text; }
};
