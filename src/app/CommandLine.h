#pragma once

#include <QString>
#include <QStringList>

// What the program was asked to do on its command line.
struct CommandLine
{
    enum class Mode {
        Interactive, // no arguments
        Convert,     // /IN: and /OUT: (or --in/--out, --export): .tdb to .tds without a window
        Import,      // --import FILE.tds [--force]
        OpenFile,    // a single path: a .tdb is opened, a .tds imported, in the window
        Help,
        Version,
        SyntaxError, // the syntax message, then an interactive start
    };

    Mode mode = Mode::Interactive;
    QString inputPath;
    QString outputPath;
    bool force = false;
    // The form used: the classic /IN: /OUT: keys start interactively when the input is missing,
    // --export fails instead.
    bool classicKeys = false;

    static CommandLine parse(const QStringList &arguments); // without the program name
};

// The syntax line shown for a command line the program cannot use.
QString syntaxMessage();
QString usageText();
