#pragma once

#include <QByteArray>
#include <QString>

#include <string>

class Database;
class Statement;

// The folded text of every article (as SV_FIND folds it, the cells joined by a unit separator),
// kept in a hidden table beside Articles so that a find reads one text a row instead of folding
// every cell. A stamp ties it to the file's change counter: any write to the file that did not
// also bring the index up to date leaves it unused until it is brought up to date.
namespace FindIndex {

// Creates the index empty inside the caller's write transaction, unstamped (not yet used), for
// a loader that adds each article's folded text as it inserts the article: cheaper than reading
// every article back and folding it afterwards.
void createEmpty(Database &db);
// Inserts one article's folded text: its rowid as ?1, the text as ?2, its block name and row
// number as ?3 and ?4 (so that a find orders its hits without reading the articles).
Statement prepareInsert(Database &db);

// One article's folded text, as the index keeps it, built cell by cell in table order.
class FoldedRow
{
public:
    void clear()
    {
        m_text.clear();
        m_cells = 0;
    }
    void add(const char *utf8, qsizetype length);
    const std::string &text() const { return m_text; }

private:
    std::string m_text;
    qsizetype m_cells = 0;
};

// Stamps a built index as current, for a file no other connection can reach. Not inside a
// transaction.
void stampPrivateFile(Database &db);

// Makes the index current if the connection may write (the rows this connection changed since
// it was last current, else everything); true when a find may use it. Not inside a transaction.
// Without mayBuild it only follows this connection's own changes and builds nothing anew.
bool prepare(Database &db, bool mayBuild = true);

// Whether the index is current for the open read transaction.
bool isCurrent(Database &db);

// Every article whose folded text holds ?3 (a needle folded by fold()): its rowid, block name
// and row number, in no order.
QString hitsSql();
// The same for the rows of the index from id ?1 to id ?2.
QString hitsInRangeSql();
// The first and the last id of the index, for hits read in parts.
QString idRangeSql();

// The needle as the index holds text; empty when the index cannot answer for it.
QByteArray fold(const QString &text);

} // namespace FindIndex
