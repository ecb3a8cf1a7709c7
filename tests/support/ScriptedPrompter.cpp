#include "support/ScriptedPrompter.h"

void ScriptedPrompter::message(MessageIcon icon, const QString &title, const QString &text)
{
    shown.append({icon, title, text, false});
}

bool ScriptedPrompter::question(MessageIcon icon, const QString &title, const QString &text)
{
    shown.append({icon, title, text, true});
    return answers.isEmpty() ? defaultAnswer : answers.dequeue();
}

Answer ScriptedPrompter::questionWithCancel(MessageIcon icon, const QString &title,
                                            const QString &text)
{
    shown.append({icon, title, text, true});
    return choices.isEmpty() ? defaultChoice : choices.dequeue();
}

std::optional<QString> ScriptedPrompter::inputText(const QString &title, const QString &label,
                                                   const QString &initial)
{
    shown.append({MessageIcon::None, title, label, true});
    inputInitials.append(initial);
    return inputs.isEmpty() ? std::nullopt : inputs.dequeue();
}

QStringList ScriptedPrompter::openFile(const FileDialogRequest &request)
{
    fileRequests.append(request);
    return openFiles.isEmpty() ? QStringList() : openFiles.dequeue();
}

QString ScriptedPrompter::saveFile(const FileDialogRequest &request)
{
    fileRequests.append(request);
    return saveFiles.isEmpty() ? QString() : saveFiles.dequeue();
}

std::optional<std::uint32_t> ScriptedPrompter::chooseColour(std::uint32_t initial)
{
    colourRequests.append(initial);
    return colours.isEmpty() ? std::nullopt : colours.dequeue();
}

QStringList ScriptedPrompter::texts() const
{
    QStringList list;
    for (const Shown &s : shown)
        list << s.text;
    return list;
}
