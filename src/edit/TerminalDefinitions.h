#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

class Prompter;

// The terminal markings offered for each contact type, read from "chelcondef.txt" (Windows-1252,
// CR LF). A line that does not begin with a space starts a category: its first character is the
// category's code (an empty line: an empty code), the rest is a comment. A line that begins with
// a space is one definition of the current category: up to three markings separated by spaces.
class TerminalDefinitions
{
public:
    // The most a definition file may hold.
    static constexpr qint64 kMaxFileSize = 1 << 20;

    struct Definition
    {
        QString code; // one character, or empty
        QString text; // trimmed, e.g. "13 14"

        bool operator==(const Definition &other) const = default;
    };

    static constexpr char kFileName[] = "chelcondef.txt";

    static TerminalDefinitions parse(QByteArrayView bytes);

    // Where the file is looked for, in order: beside the executable, then the installed data
    // folder.
    static QStringList searchPaths();

    // Reads the first of `paths` that exists. When none can be read, says so ("Fil saknas")
    // and gives an empty list, so contacts are added without markings.
    static TerminalDefinitions LoadTerminalDefinitions(Prompter &prompter,
                                                       const QStringList &paths = searchPaths());

    const QList<Definition> &definitions() const { return m_definitions; }
    bool isEmpty() const { return m_definitions.isEmpty(); }

    // The texts of the definitions whose category code, in upper case, is `typeCode`, in file
    // order.
    QStringList textsFor(QChar typeCode) const;

private:
    QList<Definition> m_definitions;
};
