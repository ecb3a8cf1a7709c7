#pragma once

#include <QString>
#include <QStringList>

#include <array>

class Database;
class Progress;
class Prompter;

struct ExportResult
{
    bool ok = false;
    qint64 linesWritten = 0;
    qsizetype replacedCharacters = 0; // characters Windows-1252 cannot hold, written as '?'
    QStringList notes; // what was tidied up after an earlier run (left-over temporary files)
};

// A code pair: the group prefix + code is equivalent to the group prefix + target.
struct EquivalenceCodePair
{
    const char *code;
    const char *target;
};

extern const std::array<EquivalenceCodePair, 47> EquivalenceCodePairs;

// Writes the open working database to a .tds file and its .tdx file: article lines, ordinary
// equivalence lines, then "=" equivalence lines whose target exists. Both files are written
// completely and synced to disk under temporary names, then replace the old pair as one unit,
// so existing ones stay untouched unless both new ones are complete.
class TdsExport
{
public:
    TdsExport(Database &db, Prompter &prompter, Progress &progress);

    // Every failure is reported through the prompter.
    ExportResult run(const QString &outputPath);
    // The export itself: throws on any failure, leaving existing files untouched.
    ExportResult write(const QString &outputPath);

    // Adds the missing "=" rows of EquivalenceCodePairs to Eqv; returns how many it added.
    static int completeEquivalences(Database &db, const QString &prefix);
    // The library prefix: the first four characters of the greatest block name.
    static QString libraryPrefix(Database &db);

private:
    Database &m_db;
    Prompter &m_prompter;
    Progress &m_progress;
    QStringList m_notes;
};
