#pragma once

#include "db/Database.h"
#include "db/FieldList.h"
#include "db/FindIndex.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <future>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

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
    ~TdsLineLoader();
    TdsLineLoader(const TdsLineLoader &) = delete;
    TdsLineLoader &operator=(const TdsLineLoader &) = delete;

    // The piece is read on a thread of its own while the rows of the one before it are inserted
    // here; it is copied, so the caller may reuse its buffer at once.
    void feed(QByteArrayView piece);
    // The last line, should the file not end with a line break.
    void finish();

private:
    class Parser;
    // The rows of a piece of the file, read and converted, for the engine to insert.
    struct Parsed
    {
        struct Row
        {
            qint64 line;      // the line it came from
            qint64 number;    // its RAD
            bool equivalence; // an Eqv row, else an article
            size_t cells;     // where its cells start in `cells`
            qsizetype folded; // where its folded text starts in `text`, -1 for none
            qsizetype foldedLength;
        };
        // A group met for the first time, to be described in Designations.
        struct Group
        {
            qsizetype name;
            qsizetype nameLength;
            qsizetype description;
            qsizetype descriptionLength;
            QString code;
        };
        QByteArray text;                                    // every cell and folded text, in UTF-8
        std::vector<std::pair<qsizetype, qsizetype>> cells; // start and length in `text`
        std::vector<Row> rows;
        std::vector<Group> groups;
        qint64 lines = 0; // lines read up to the end of the piece
    };
    Parsed takeAhead();
    void insert(const Parsed &parsed);

    Database &m_db;
    const FieldList &m_fields;
    Progress &m_progress;
    ImportResult &m_result;
    Statement m_insertArticle;
    Statement m_insertEqv;
    Statement m_insertDesignation;
    std::optional<Statement> m_insertFolded;
    qint64 m_shownLines = 0; // the line count last shown as progress
    std::unique_ptr<Parser> m_parser;
    QByteArray m_piece; // what the parser reads meanwhile
    std::future<Parsed> m_ahead;
};
