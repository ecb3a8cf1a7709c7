#pragma once

#include "db/FieldList.h"

#include <QString>
#include <QStringView>

#include <functional>
#include <memory>

class Database;
class NewDatabaseFile;
class Prompter;

// The working database: Articles and Eqv (RAD, then one text column per field, sized by the
// field) and Designations (BL_NAME, DESCRIPTION), every column with an index of its own.
namespace Schema {

inline constexpr const char *kArticles = "Articles";
inline constexpr const char *kEqv = "Eqv";
inline constexpr const char *kDesignations = "Designations";
inline constexpr int kDesignationSize = 50;

// Columns with a meaning of their own: the row number (never exported), the group's block name
// and the type number.
inline const QString kRowNumber = QStringLiteral("RAD");
inline const QString kBlockName = QStringLiteral("BL_NAME");
inline const QString kType = QStringLiteral("TYP");
// The designation: a group's head line gives the group its description.
inline const QString kDesignation = QStringLiteral("BENÄMNING");
// Fields the editor gives a meaning: manufacturer and article number (the tree and find),
// the accessory group an article refers to, and the contact definition.
inline const QString kManufacturer = QStringLiteral("FABRIKAT");
inline const QString kArticleNumber = QStringLiteral("ARTNR");
inline const QString kAccessoryGroup = QStringLiteral("TBH/APP");
inline const QString kContacts = QStringLiteral("CCONF");
// The group's description in Designations.
inline const QString kDescription = QStringLiteral("DESCRIPTION");
// The columns no paste, fill, replace or Delete key writes into.
inline bool isProtectedColumn(QStringView name)
{
    return name == kRowNumber || name == kBlockName || name == kType;
}

// The TYP of a group's head line: "-", or the group kind followed by "-" ("T-", "F-"). The head
// line comes first in its group and names it.
inline bool isHeadType(QStringView type)
{
    return type == u"-" || type == u"T-" || type == u"F-";
}

// Creates the three tables without indexes (a bulk load indexes afterwards, which is far faster).
void createTables(Database &db, const FieldList &fields);
// Creates the one-per-column indexes, named <Table>_<Column>; afterEach (if given) runs after
// every index, so a window can repaint during the long build.
void createIndexes(Database &db, const FieldList &fields,
                   const std::function<void()> &afterEach = {});

// The stored spelling of a table's column whose name equals `name` ignoring case; empty when
// the table has none.
QString columnNamed(Database &db, const char *table, const QString &name);
// The same for a column the caller cannot go on without: a missing one throws AppError
// "Fältet ... saknas i tabellen ...".
QString requiredColumn(Database &db, const char *table, const QString &name);
// Whether an index of the whole table starts with the column, in plain byte order: a search for
// one value of it then reads only that value's entries.
bool isIndexed(Database &db, const char *table, const QString &column);

} // namespace Schema

// Asks before replacing an existing working database (unless replaceWithoutAsking), then creates
// the new one under a temporary name beside it, with tables and no indexes. The caller fills it
// and commits it into place. Returns null when declined or failing; failures are reported.
std::unique_ptr<NewDatabaseFile> CreateDatabase(const QString &tdsPath, const FieldList &fields,
                                                Prompter &prompter,
                                                bool replaceWithoutAsking = false);

// Table and column lookups ignore case; our hidden MSys tables never match. Errors answer false.
bool TableExists(Database &db, const QString &table);
bool FieldExists(Database &db, const QString &table, const QString &field);
