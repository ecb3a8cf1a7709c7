#pragma once

#include <QString>

class Prompter;

// Conversions without a window. Each returns the process exit code: 0 on success, 1 on failure
// (the cause has then been reported through the prompter).
namespace BatchConversion {

// Opens the working database (recording it as the last opened file, as opening always does) and
// exports it to outputPath and the .tdx file beside it. Values that would be cut or replaced
// stop the export (exit 1, the fields named) unless allowLossy.
int convert(const QString &inputPath, const QString &outputPath, Prompter &prompter,
            bool allowLossy = false);

// Imports a .tds file into the .tdb beside it; an existing .tdb is replaced only when `force`.
int import(const QString &tdsPath, bool force, Prompter &prompter);

// Writes a working database or a .tds catalogue (imported into a temporary database that goes
// away) to an .xlsx or .csv spreadsheet: the whole catalogue, or the group `group` when given.
int toSheet(const QString &inputPath, const QString &outputPath, const QString &group,
            Prompter &prompter);

} // namespace BatchConversion
