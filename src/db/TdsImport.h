#pragma once

#include "core/TextFileCheck.h"
#include "db/FieldList.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>

class Database;
class QDateTime;
class QFile;
class Progress;
class Prompter;

struct ImportResult
{
    bool ok = false;
    QString dbPath;
    FieldList fields;
    QStringList usedCodes; // characters 6-7 of every block name registered, after one empty entry
    qint64 articleRows = 0;
    qint64 eqvRows = 0;
    QStringList notes; // what was tidied up after an earlier run (left-over temporary files)
};

// Imports a .tds file and its .tdx file into a new working database beside them. The database
// is built under a temporary name in one transaction and moved into place only when complete.
class TdsImport
{
public:
    TdsImport(Prompter &prompter, Progress &progress);

    // Replaces an existing .tdb without the question (the command line's --force).
    void setReplaceWithoutAsking(bool replace) { m_replaceWithoutAsking = replace; }

    // Every expected failure is reported through the prompter; the result says whether a
    // database was made.
    ImportResult run(const QString &tdsPath);

    // Loads the lines of a .tds file into the empty tables of db. Used by run(); throws on
    // engine errors.
    static void loadLines(Database &db, const FieldList &fields, QByteArrayView data,
                          Progress &progress, ImportResult &result);
    // The same from a file read in bounded pieces; false when it cannot be read to its end.
    static bool loadFile(const QString &tdsPath, Database &db, const FieldList &fields,
                         Progress &progress, ImportResult &result);

private:
    ImportResult importFile(const QString &tdsPath);
    bool settleLeftovers(const QString &tdsPath, ImportResult &result);
    // The first pass: text or not, and the line count for the progress bar; false (reported)
    // when the file cannot be read, is no text or changed while read.
    bool scanText(QFile &file, const QString &tdsPath, qint64 size,
                  TextFileCheck::Scanner &scanner);
    bool loadRecords(QFile &file, Database &db, const FieldList &fields, qint64 sizeBefore,
                     const QDateTime &modifiedBefore, ImportResult &result);
    void reportReadError(const QString &tdsPath);
    void reportChanged(const QString &tdsPath);
    Prompter &m_prompter;
    Progress &m_progress;
    bool m_replaceWithoutAsking = false;
};
