#pragma once

#include "check/Finding.h"

#include <QString>

#include <optional>

class Prompter;
class QTextStream;

// `kvistbo --check FILE`: checks a working database, or a .tds file through a temporary import
// that leaves nothing behind, and prints the findings at or above a severity. The exit code
// follows diff(1): 0 none, 1 some, 2 the file could not be checked (reported through the
// prompter).
class CheckCommand
{
public:
    enum class Format { Text, Json };

    explicit CheckCommand(Prompter &prompter);

    int run(const QString &path, Format format, Severity least, QTextStream &out);

private:
    std::optional<Findings> checkDatabase(const QString &tdbPath);
    std::optional<Findings> checkExchangeFile(const QString &tdsPath);

    Prompter &m_prompter;
};
