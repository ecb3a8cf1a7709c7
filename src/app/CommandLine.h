#pragma once

#include "check/Finding.h"

#include <QString>
#include <QStringList>

// What the program was asked to do on its command line.
struct CommandLine
{
    enum class Mode {
        Interactive, // no arguments
        Convert,     // /IN: and /OUT: (or --in/--out, --export): .tdb to .tds without a window
        Import,      // --import FILE.tds [--force]
        Check,       // --check FILE.tdb|FILE.tds [--format text|json] [--severity fel|varning|info]
        OpenFile,    // a single path: a .tdb is opened, a .tds imported, in the window
        Help,
        Version,
        SyntaxError, // the syntax message, then an interactive start
        Diff,        // --diff A B [--key FIELDS] [--format text|tsv|json] [--tdx PATH]
        Merge,       // --merge BASE OURS THEIRS -o OUT.tds [--key FIELDS] [--tdx PATH]
        UsageError,  // a --diff or --merge that cannot run: `error`, exit code 2
        ToSheet,     // --to-sheet IN.tdb|IN.tds OUT.xlsx|OUT.csv [--group BL_NAME]
    };

    Mode mode = Mode::Interactive;
    QString inputPath;
    QString outputPath;
    bool force = false;
    // The form used: the classic /IN: /OUT: keys start interactively when the input is missing,
    // --export fails instead.
    bool classicKeys = false;
    // --diff and --merge: the catalogues in order, the pairing key, the report format and the
    // .tdx of .tds files git hands over as temporary copies.
    QStringList catalogues;
    QStringList keyFields;
    QString format = QStringLiteral("text");
    QString tdxPath;
    // An export that would cut values or replace characters goes ahead (--allow-lossy).
    bool allowLossy = false;
    // --check: the output form, the least severity reported, and what was wrong with the
    // arguments (the check then exits 2 with it instead of running).
    bool jsonFormat = false;
    Severity least = Severity::Warning;
    QString error;
    // --to-sheet: the one group written (empty: the whole catalogue).
    QString group;

    static CommandLine parse(const QStringList &arguments); // without the program name
};

// The syntax line shown for a command line the program cannot use.
QString syntaxMessage();
QString usageText();
