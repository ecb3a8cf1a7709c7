#pragma once

#include "db/Database.h"
#include "db/FieldList.h"
#include "db/FindIndex.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QSet>

#include <optional>

class Progress;
struct ImportResult;

// Loads the lines of a .tds file into the empty tables of a database: articles until the first
// line whose second field is blank, equivalence lines after it, and a Designations row for each
// group's first line. The file may come in pieces of any size; a line cut by the end of a piece
// is completed by the next. Throws on engine errors and on line ends that would merge or shift
// records.
class TdsLineLoader
{
public:
    // With FindText, each article's folded text goes into the find index (made empty by the
    // caller) as the article is inserted.
    enum class Index { None, FindText };
    TdsLineLoader(Database &db, const FieldList &fields, Progress &progress, ImportResult &result,
                  Index index = Index::None);

    void feed(QByteArrayView piece);
    // The last line, should the file not end with a line break.
    void finish();

private:
    void loadComplete(QByteArrayView lines);
    void loadLine(const char *line, qsizetype length);
    void registerGroup(const char *line, qsizetype available);
    void addToFindIndex();

    Database &m_db;
    const FieldList &m_fields;
    Progress &m_progress;
    ImportResult &m_result;
    Statement m_insertArticle;
    Statement m_insertEqv;
    Statement m_insertDesignation;
    std::optional<Statement> m_insertFolded;
    FindIndex::FoldedRow m_folded;
    qsizetype m_recordLength = 0; // the record's own length; RAD is no part of the line
    QSet<QByteArray> m_registered;
    QByteArray m_lastRegistered;
    bool m_equivalenceSection = false;
    qint64 m_row = 0;
    qint64 m_lineCount = 0;
    QByteArray m_carry; // the start of a line the next piece completes
    // Each row's values are built into one buffer and bound without copying.
    QByteArray m_values;
    QList<qsizetype> m_offsets;
    QList<qsizetype> m_lengths;
};
