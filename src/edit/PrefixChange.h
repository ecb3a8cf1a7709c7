#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class ArticleSelection;
class Database;
class Prompter;

// Renaming the library: the four characters every block name of a working database begins
// with are replaced by new ones in every block name and every reference to one.
namespace PrefixChange {

inline constexpr int kPrefixLength = 4;

// The library of the database: the first four characters of its greatest group block name,
// by the same rule as the export; empty when the database has no groups.
QString currentPrefix(Database &db);

// What may be typed into the new prefix: the hyphen, the at sign, the underscore and the
// letters A-Z and a-z.
bool isPrefixCharacter(QChar c);
bool acceptableInput(const QString &text);

// The new-prefix box after a change: four characters that differ from the old prefix are shown
// in upper case, and applying is possible when the upper-case text still differs. So a prefix
// that differs only in letter case cannot be applied.
struct NewPrefix
{
    QString text;
    bool applicable = false;
};
NewPrefix checkNewPrefix(const QString &oldPrefix, const QString &typed);

// The statements rename() runs, in order, with the old prefix as ?1 and the new one as ?2.
// Columns the database lacks are left out.
QStringList renameStatements(Database &db);

// Replaces every occurrence of oldPrefix by newPrefix, case-sensitively and anywhere in the
// text, in Articles.BL_NAME and [TBH/APP], Designations.BL_NAME, Eqv.BL_NAME and BENÄMNING.
// An empty TBH/APP or BENÄMNING (null) is stored as empty text; a null block name stays null.
// One transaction: on any failure it throws (AppError) and every table is as before.
void rename(Database &db, const QString &oldPrefix, const QString &newPrefix);

// "Utför": renames and reports a failure through the prompter (the database then unchanged).
// `busy` (if given) is called with true before the rename and with false after it, before any
// failure is reported. True when the database now uses the new prefix.
bool apply(Database &db, Prompter &prompter, const QString &oldPrefix, const QString &newPrefix,
           const std::function<void(bool)> &busy = {});

// What the grid showed before the rename, under the block name it has afterwards.
ArticleSelection renamedSelection(const ArticleSelection &selection, const QString &oldPrefix,
                                  const QString &newPrefix);

} // namespace PrefixChange
