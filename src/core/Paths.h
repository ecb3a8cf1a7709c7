#pragma once

#include <QString>
#include <QStringList>

// Path rules shared by the import, the export and the command line. Paths keep their letter
// case; only a final extension is ever replaced.
namespace Paths {

// Replaces the final extension `from` (e.g. ".tds", matched ignoring case) by `to`; a path that
// does not end in `from` gets `to` appended.
QString replaceExtension(const QString &path, const QString &from, const QString &to);

// Appends `extension` (".tdb") unless the path already ends in it, ignoring case.
QString withExtension(const QString &path, const QString &extension);

// The working database that belongs to a .tds file, and the .tdx file beside a .tds file.
QString tdbPathFor(const QString &tdsPath);
QString tdxPathFor(const QString &tdsPath);

// The file on disk that `path` names when only the letter case differs (DEMO.TDX for a
// computed DEMO.tdx); the path itself when it exists or nothing matches.
QString siblingOnDisk(const QString &path);

// The folder of a path (absolute, without trailing separator).
QString folderOf(const QString &path);

// The file name after the last separator.
QString fileNameOf(const QString &path);

// Where a shipped data file (a path relative to the data folder, e.g. "chelcondef.txt" or
// "help/index.html") is looked for, in order: beside the executable (the build tree keeps copies
// there), the data folder relative to the executable, then the data folder it was installed to.
// `programDir` is the executable's folder; empty for this process's.
QStringList dataFileCandidates(const QString &relativePath, const QString &programDir = {});

// The first of `candidates` that is a file; empty when none is.
QString firstExisting(const QStringList &candidates);

// Moves a finished file over `to` in one step where the platform allows it, so `to` is either the
// old file or the new one. False when the move failed (both files are then as they were).
bool replaceFile(const QString &from, const QString &to);

} // namespace Paths
