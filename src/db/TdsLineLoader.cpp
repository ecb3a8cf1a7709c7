#include "db/TdsLineLoader.h"

#include "core/AppError.h"
#include "core/Cp1252.h"
#include "core/Progress.h"
#include "db/Schema.h"
#include "db/TdsImport.h"

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

TdsLineLoader::TdsLineLoader(Database &db, const FieldList &fields, Progress &progress,
                             ImportResult &result, Index index)
    : m_db(db), m_fields(fields), m_progress(progress), m_result(result),
      m_insertArticle(db.prepare(insertSql(Schema::kArticles, fields.size()))),
      m_insertEqv(db.prepare(insertSql(Schema::kEqv, fields.size()))),
      m_insertDesignation(db.prepare(
          QStringLiteral("INSERT INTO Designations (BL_NAME, DESCRIPTION) VALUES (?, ?)"))),
      m_recordLength(recordLengthOf(fields)), m_offsets(fields.size(), 0),
      m_lengths(fields.size(), 0)
{
    if (index == Index::FindText)
        m_insertFolded.emplace(FindIndex::prepareInsert(db));
    m_result.usedCodes = QStringList{QString()};
}

void TdsLineLoader::feed(QByteArrayView piece)
{
    if (piece.isEmpty())
        return;
    if (!m_carry.isEmpty()) {
        const qsizetype newline = piece.indexOf('\n');
        if (newline < 0) {
            m_carry.append(piece);
            return;
        }
        m_carry.append(piece.first(newline + 1));
        loadComplete(m_carry);
        m_carry.clear();
        piece = piece.sliced(newline + 1);
    }
    const qsizetype lastNewline = piece.lastIndexOf('\n');
    loadComplete(piece.first(lastNewline + 1));
    m_carry.append(piece.sliced(lastNewline + 1));
}

void TdsLineLoader::finish()
{
    loadComplete(m_carry);
    m_carry.clear();
    m_progress.update(m_lineCount);
}

// Lines each ended by LF, the last one perhaps not.
void TdsLineLoader::loadComplete(QByteArrayView lines)
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
        loadLine(line, length);
    }
}

void TdsLineLoader::loadLine(const char *line, qsizetype length)
{
    ++m_lineCount;
    // A CR that ends no line (a lone CR, or LF CR line ends) would merge two records or shift
    // every field by one; only a record of exactly its own length may hold one in a field.
    if (length != m_recordLength && std::memchr(line, '\r', size_t(length)))
        throw AppError(ErrorNumber::BadFileFormat,
                       QStringLiteral("Rad %1 har ett radslut som inte är CR LF (ensamt CR "
                                      "eller LF CR) och är %2 tecken lång, inte postens %3. "
                                      "Filen har fel radslut; inget lästes in.")
                           .arg(m_lineCount)
                           .arg(length)
                           .arg(m_recordLength));
    if (m_lineCount % kProgressStep == 0)
        m_progress.update(m_lineCount);
    if (isBlankLine(line, length))
        return;
    const qsizetype available = qMin(length, m_recordLength);
    const qsizetype columns = m_fields.size();
    const Span second = columns > 2 ? fieldOf(line, available, m_fields.at(2)) : Span{};
    if (!m_equivalenceSection && second.isEmpty())
        m_equivalenceSection = true;
    if (!m_equivalenceSection)
        registerGroup(line, available);

    m_values.clear();
    for (qsizetype k = 1; k < columns; ++k) {
        const Span value = fieldOf(line, available, m_fields.at(k));
        m_offsets[k] = m_values.size();
        Cp1252::appendAsUtf8(value.begin, value.end, m_values);
        m_lengths[k] = m_values.size() - m_offsets[k];
    }
    Statement &insert = m_equivalenceSection ? m_insertEqv : m_insertArticle;
    insert.bind(1, m_row);
    for (qsizetype k = 1; k < columns; ++k)
        insert.bindUtf8(int(k + 1), m_values.constData() + m_offsets[k], m_lengths[k], false);
    insert.run();
    if (m_insertFolded && !m_equivalenceSection)
        addToFindIndex();
    ++m_row;
    if (m_equivalenceSection)
        ++m_result.eqvRows;
    else
        ++m_result.articleRows;
}

// The cells just inserted, folded as SV_FOLDROW folds them (the row number as its text).
void TdsLineLoader::addToFindIndex()
{
    m_folded.clear();
    char number[24];
    const int digits = std::snprintf(number, sizeof number, "%lld", static_cast<long long>(m_row));
    m_folded.add(number, digits);
    for (qsizetype k = 1; k < m_fields.size(); ++k)
        m_folded.add(m_values.constData() + m_offsets[k], m_lengths[k]);
    const std::string &text = m_folded.text();
    m_insertFolded->bind(1, m_db.lastInsertRowId())
        .bindUtf8(2, text.data(), qsizetype(text.size()), false)
        .bind(4, m_row);
    if (m_fields.size() > 1)
        m_insertFolded->bindUtf8(3, m_values.constData() + m_offsets[1], m_lengths[1], false);
    m_insertFolded->run();
}

// The first line of each block name describes its group.
void TdsLineLoader::registerGroup(const char *line, qsizetype available)
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
    QByteArray name;
    QByteArray text;
    Cp1252::appendAsUtf8(blockName.begin, blockName.end, name);
    Cp1252::appendAsUtf8(description.begin, description.end, text);
    m_insertDesignation.bindUtf8(1, name.constData(), name.size())
        .bindUtf8(2, text.constData(), text.size())
        .run();
    m_result.usedCodes << Cp1252::decode(key.mid(5, 2));
}
