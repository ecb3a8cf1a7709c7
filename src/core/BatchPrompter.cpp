#include "core/BatchPrompter.h"

#include <QTextStream>

#include <cstdio>

namespace {
void printToStderr(const QString &title, const QString &text)
{
    QTextStream err(stderr);
    if (!title.isEmpty())
        err << title << ": ";
    err << text << Qt::endl;
}
} // namespace

void BatchPrompter::message(MessageIcon, const QString &title, const QString &text)
{
    ++m_messages;
    printToStderr(title, text);
}

bool BatchPrompter::question(MessageIcon, const QString &title, const QString &text)
{
    ++m_messages;
    printToStderr(title, text + QStringLiteral(" [Nej]"));
    return false;
}

Answer BatchPrompter::questionWithCancel(MessageIcon, const QString &title, const QString &text)
{
    ++m_messages;
    printToStderr(title, text + QStringLiteral(" [Avbryt]"));
    return Answer::Cancel;
}

std::optional<QString> BatchPrompter::inputText(const QString &, const QString &, const QString &)
{
    return std::nullopt;
}

QStringList BatchPrompter::openFile(const FileDialogRequest &)
{
    return {};
}

QString BatchPrompter::saveFile(const FileDialogRequest &)
{
    return {};
}

std::optional<std::uint32_t> BatchPrompter::chooseColour(std::uint32_t)
{
    return std::nullopt;
}
