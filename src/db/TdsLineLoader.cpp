#include "db/TdsLineLoader.h"

#include "core/AppError.h"
#include "core/Cp1252.h"
#include "core/Progress.h"
#include "core/Responsive.h"
#include "db/Schema.h"
#include "db/TdsImport.h"

#include <QSet>
#include <QStringList>

#include <cstdio>
#include <cstring>

namespace {

struct Span
{
    const char *begin;
    const char *end;
    bool isEmpty() const { return begin == end; }
    qsizetype size() const { return end - begin; }
};

// Field k of a line padded to the record length: blanks around the value removed (blanks only,
// a tab is part of the value).
Span fieldOf(const char *line, qsizetype available, const FieldDesc &field)
{
    const qsizetype start = qMin<qsizetype>(field.Start - 1, available);
    const qsizetype stop = qMin<qsizetype>(qsizetype(field.Start) - 1 + field.Length, available);
    const char *b = line + qMax<qsizetype>(start, 0);
    const char *e = line + qMax<qsizetype>(stop, 0);
    while (b < e && *b == ' ')
        ++b;
    while (e > b && e[-1] == ' ')
        --e;
    return {b, e};
}

bool isBlankLine(const char *line, qsizetype length)
{
    for (qsizetype i = 0; i < length; ++i) {
        if (line[i] != ' ')
            return false;
    }
    return true;
}

QString insertSql(const char *table, qsizetype columns)
{
    QStringList marks;
    for (qsizetype i = 0; i < columns; ++i)
        marks << QStringLiteral("?");
    return QStringLiteral("INSERT INTO %1 VALUES (%2)")
        .arg(QLatin1String(table), marks.join(QLatin1Char(',')));
}

qsizetype recordLengthOf(const FieldList &fields)
{
    qsizetype length = 0;
    for (qsizetype k = 1; k < fields.size(); ++k)
        length += fields.at(k).Length;
    return length;
}

} // namespace

// Turns lines into rows: the state carried from one piece to the next (the section, the row
// number, the groups met, a line cut by a piece's end) lives here, and no engine is touched.
class TdsLineLoader::Parser
{
public:
    Parser(const FieldList &fields, bool foldText)
        : m_fields(fields), m_recordLength(recordLengthOf(fields)), m_foldText(foldText)
    {
    }

    Parsed parse(QByteArrayView piece)
    {
        Parsed out;
        out.text.reserve(piece.size() * 2);
        if (!m_carry.isEmpty()) {
            const qsizetype newline = piece.indexOf('\n');
            if (newline < 0) {
                m_carry.append(piece);
                out.lines = m_lineCount;
                return out;
            }
            m_carry.append(piece.first(newline + 1));
            parseLines(m_carry, out);
            m_carry.clear();
            piece = piece.sliced(newline + 1);
        }
        const qsizetype lastNewline = piece.lastIndexOf('\n');
        parseLines(piece.first(lastNewline + 1), out);
        m_carry.append(piece.sliced(lastNewline + 1));
        out.lines = m_lineCount;
        return out;
    }

    Parsed finish()
    {
        Parsed out;
        parseLines(m_carry, out);
        m_carry.clear();
        out.lines = m_lineCount;
        return out;
    }

private:
    // Lines each ended by LF, the last one perhaps not.
    void parseLines(QByteArrayView lines, Parsed &out)
    {
        const char *p = lines.data();
        const char *const end = p + lines.size();
        while (p < end) {
            const char *newline = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)));
            const char *lineEnd = newline ? newline : end;
            const char *line = p;
            p = newline ? newline + 1 : end;
            qsizetype length = lineEnd - line;
            if (length > 0 && line[length - 1] == '\r')
                --length;
            parseLine(line, length, out);
        }
    }

    void parseLine(const char *line, qsizetype length, Parsed &out)
    {
        ++m_lineCount;
        // A CR that ends no line (a lone CR, or LF CR line ends) would merge two records or
        // shift every field by one; only a record of exactly its own length may hold one in a
        // field.
        if (length != m_recordLength && std::memchr(line, '\r', size_t(length)))
            throw AppError(ErrorNumber::BadFileFormat,
                           QStringLiteral("Rad %1 har ett radslut som inte är CR LF (ensamt CR "
                                          "eller LF CR) och är %2 tecken lång, inte postens %3. "
                                          "Filen har fel radslut; inget lästes in.")
                               .arg(m_lineCount)
                               .arg(length)
                               .arg(m_recordLength));
        if (isBlankLine(line, length))
            return;
        const qsizetype available = qMin(length, m_recordLength);
        const qsizetype columns = m_fields.size();
        const Span second = columns > 2 ? fieldOf(line, available, m_fields.at(2)) : Span{};
        if (!m_equivalenceSection && second.isEmpty())
            m_equivalenceSection = true;
        if (!m_equivalenceSection)
            registerGroup(line, available, out);

        Parsed::Row row{m_lineCount, m_row, m_equivalenceSection, out.cells.size(), -1, 0};
        for (qsizetype k = 1; k < columns; ++k) {
            const Span value = fieldOf(line, available, m_fields.at(k));
            const qsizetype start = out.text.size();
            Cp1252::appendAsUtf8(value.begin, value.end, out.text);
            out.cells.emplace_back(start, out.text.size() - start);
        }
        if (m_foldText && !m_equivalenceSection)
            fold(row, out);
        out.rows.push_back(row);
        ++m_row;
    }

    // The cells just read, folded as SV_FOLDROW folds them (the row number as its text).
    void fold(Parsed::Row &row, Parsed &out)
    {
        m_folded.clear();
        char number[24];
        const int digits =
            std::snprintf(number, sizeof number, "%lld", static_cast<long long>(row.number));
        m_folded.add(number, digits);
        for (size_t k = row.cells; k < out.cells.size(); ++k)
            m_folded.add(out.text.constData() + out.cells[k].first, out.cells[k].second);
        const std::string &text = m_folded.text();
        row.folded = out.text.size();
        row.foldedLength = qsizetype(text.size());
        out.text.append(text.data(), row.foldedLength);
    }

    // The first line of each block name describes its group.
    void registerGroup(const char *line, qsizetype available, Parsed &out)
    {
        const qsizetype columns = m_fields.size();
        const Span blockName = columns > 1 ? fieldOf(line, available, m_fields.at(1)) : Span{};
        // Lines of a group usually follow each other, so most lines skip the lookup.
        const QByteArrayView blockNameBytes(blockName.begin, blockName.size());
        if (blockName.isEmpty() || blockNameBytes == m_lastRegistered)
            return;
        const QByteArray key = blockNameBytes.toByteArray();
        m_lastRegistered = key;
        if (m_registered.contains(key))
            return;
        m_registered.insert(key);
        Span description = columns > 3 ? fieldOf(line, available, m_fields.at(3)) : Span{};
        if (description.size() > Schema::kDesignationSize)
            description.end = description.begin + Schema::kDesignationSize;
        Parsed::Group group;
        group.name = out.text.size();
        Cp1252::appendAsUtf8(blockName.begin, blockName.end, out.text);
        group.nameLength = out.text.size() - group.name;
        group.description = out.text.size();
        Cp1252::appendAsUtf8(description.begin, description.end, out.text);
        group.descriptionLength = out.text.size() - group.description;
        group.code = Cp1252::decode(key.mid(5, 2));
        out.groups.push_back(std::move(group));
    }

    const FieldList &m_fields;
    const qsizetype m_recordLength; // the record's own length; RAD is no part of the line
    const bool m_foldText;
    FindIndex::FoldedRow m_folded;
    QSet<QByteArray> m_registered;
    QByteArray m_lastRegistered;
    bool m_equivalenceSection = false;
    qint64 m_row = 0;
    qint64 m_lineCount = 0;
    QByteArray m_carry; // the start of a line the next piece completes
};

TdsLineLoader::TdsLineLoader(Database &db, const FieldList &fields, Progress &progress,
                             ImportResult &result, Index index)
    : m_db(db), m_fields(fields), m_progress(progress), m_result(result),
      m_insertArticle(db.prepare(insertSql(Schema::kArticles, fields.size()))),
      m_insertEqv(db.prepare(insertSql(Schema::kEqv, fields.size()))),
      m_insertDesignation(db.prepare(
          QStringLiteral("INSERT INTO Designations (BL_NAME, DESCRIPTION) VALUES (?, ?)"))),
      m_parser(std::make_unique<Parser>(fields, index == Index::FindText))
{
    if (index == Index::FindText)
        m_insertFolded.emplace(FindIndex::prepareInsert(db));
    m_result.usedCodes = QStringList{QString()};
}

TdsLineLoader::~TdsLineLoader()
{
    // The parser may still be reading the last piece.
    if (m_ahead.valid())
        m_ahead.wait();
}

TdsLineLoader::Parsed TdsLineLoader::takeAhead()
{
    if (!m_ahead.valid())
        return {};
    // The window keeps its turns while the parser finishes.
    waitWhilePulsing(m_ahead, [this] { m_progress.update(m_shownLines); });
    return m_ahead.get();
}

void TdsLineLoader::feed(QByteArrayView piece)
{
    if (piece.isEmpty())
        return;
    const Parsed before = takeAhead();
    m_piece.resize(piece.size());
    std::memcpy(m_piece.data(), piece.data(), size_t(piece.size()));
    m_ahead =
        std::async(std::launch::async, [parser = m_parser.get(), piece = QByteArrayView(m_piece)] {
            return parser->parse(piece);
        });
    try {
        insert(before);
    } catch (...) {
        m_ahead.wait();
        throw;
    }
}

void TdsLineLoader::finish()
{
    insert(takeAhead());
    const Parsed last = m_parser->finish();
    insert(last);
    m_progress.update(last.lines);
}

void TdsLineLoader::insert(const Parsed &parsed)
{
    const char *text = parsed.text.constData();
    for (const Parsed::Group &group : parsed.groups) {
        m_insertDesignation.bindUtf8(1, text + group.name, group.nameLength)
            .bindUtf8(2, text + group.description, group.descriptionLength)
            .run();
        m_result.usedCodes << group.code;
    }
    const qsizetype columns = m_fields.size();
    for (const Parsed::Row &row : parsed.rows) {
        if (row.line - m_shownLines >= kProgressStep) {
            m_progress.update(row.line);
            m_shownLines = row.line;
        }
        Statement &insert = row.equivalence ? m_insertEqv : m_insertArticle;
        insert.bind(1, row.number);
        for (qsizetype k = 1; k < columns; ++k) {
            const auto &[start, length] = parsed.cells[row.cells + size_t(k - 1)];
            insert.bindUtf8(int(k + 1), text + start, length, false);
        }
        insert.run();
        if (row.folded >= 0 && m_insertFolded) {
            m_insertFolded->bind(1, m_db.lastInsertRowId())
                .bindUtf8(2, text + row.folded, row.foldedLength, false)
                .bind(4, row.number);
            if (columns > 1) {
                const auto &[start, length] = parsed.cells[row.cells];
                m_insertFolded->bindUtf8(3, text + start, length, false);
            }
            m_insertFolded->run();
        }
        if (row.equivalence)
            ++m_result.eqvRows;
        else
            ++m_result.articleRows;
    }
}
