#include "db/TdsImport.h"

#include "core/AppError.h"
#include "core/Cp1252.h"
#include "core/Paths.h"
#include "core/Progress.h"
#include "core/Prompter.h"
#include "core/SafeFile.h"
#include "core/TextFileCheck.h"
#include "db/Database.h"
#include "db/NewDatabaseFile.h"
#include "db/RowCounts.h"
#include "db/Schema.h"
#include "db/TdxFile.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <cstring>
#include <new>

namespace {

// Enough of a file to tell text from binary.
constexpr qint64 kFirstBlock = 64 * 1024;

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

} // namespace

TdsImport::TdsImport(Prompter &prompter, Progress &progress)
    : m_prompter(prompter), m_progress(progress)
{
}

ImportResult TdsImport::run(const QString &tdsPath)
{
    try {
        return importFile(tdsPath);
    } catch (const std::bad_alloc &) {
        // Whatever was built is gone with the stack; the user hears why.
        m_progress.end();
        m_prompter.error(
            QStringLiteral("Filen är för stor för minnet: %1. Inget lästes in.").arg(tdsPath),
            QStringLiteral("Inläsningsfel"));
        return {};
    }
}

ImportResult TdsImport::importFile(const QString &tdsPath)
{
    ImportResult result;
    if (!QFileInfo(tdsPath).isFile()) {
        RowsInFile(tdsPath, m_prompter); // says the file is missing
        return result;
    }
    // An export that was cut off may have left this pair half replaced: settle that first.
    try {
        const QString recovered =
            SafeFile::recoverPair(tdsPath, Paths::siblingOnDisk(Paths::tdxPathFor(tdsPath)));
        if (!recovered.isEmpty())
            m_prompter.info(recovered);
    } catch (const std::exception &e) {
        reportError(m_prompter, kMainWindow, QStringLiteral("mnuOpenTDS"), e);
        return result;
    }
    for (const QString &stale :
         SafeFile::removeStaleTemporaries(Paths::siblingOnDisk(Paths::tdbPathFor(tdsPath))))
        result.notes << QStringLiteral("En kvarlämnad temporär fil togs bort: %1").arg(stale);
    QFile file(tdsPath);
    if (!file.open(QIODevice::ReadOnly)) {
        m_prompter.message(MessageIcon::None, QString(),
                           errorMessage(kMainWindow, QStringLiteral("mnuOpenTDS"),
                                        ErrorNumber::PermissionDenied, file.errorString()));
        return result;
    }
    // A binary file is told from its first block, before gigabytes of it are read.
    {
        const QByteArray first = file.read(kFirstBlock);
        if (file.error() == QFileDevice::NoError && first.size() < file.size() &&
            TextFileCheck::of(first).kind == TextFileCheck::Kind::Binary) {
            confirmReadableText(first, tdsPath, m_prompter);
            return result;
        }
        file.seek(0);
    }
    // Read, not mapped: a mapped file that someone shortens meanwhile kills the program.
    const QDateTime modifiedBefore = QFileInfo(tdsPath).lastModified();
    const qint64 sizeBefore = file.size();
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        m_prompter.warning(QStringLiteral("Filen %1 kunde inte läsas (läsfel på disken eller i "
                                          "nätverket). Inget lästes in.")
                               .arg(tdsPath),
                           QStringLiteral("Inläsningsfel"));
        return result;
    }
    const QFileInfo after(tdsPath);
    if (data.size() != sizeBefore || after.size() != sizeBefore ||
        after.lastModified() != modifiedBefore) {
        m_prompter.warning(QStringLiteral("Filen %1 ändrades medan den lästes. Inget lästes in; "
                                          "försök igen när filen inte längre skrivs.")
                               .arg(tdsPath),
                           QStringLiteral("Inläsningsfel"));
        return result;
    }
    file.close();

    if (!confirmReadableText(data, tdsPath, m_prompter))
        return result;

    FieldList fields;
    if (ReadTdxFile(tdsPath, fields, m_prompter) <= 0) {
        m_prompter.warning(QStringLiteral("Databasbeskrivningsfilen är felaktig. Avbryter."),
                           QStringLiteral("Fel"));
        return result;
    }

    std::unique_ptr<NewDatabaseFile> created =
        CreateDatabase(tdsPath, fields, m_prompter, m_replaceWithoutAsking);
    if (!created) {
        m_prompter.warning(QStringLiteral("Ingen databas skapades."),
                           QStringLiteral("Ingen redigering"));
        return result;
    }

    const qint64 lines = countLines(data);
    m_progress.start(lines);
    try {
        Database &db = created->db();
        Transaction transaction(db);
        loadLines(db, fields, data, m_progress, result);
        // Indexing after the bulk load is several times faster than row by row. The bar stays
        // full meanwhile, but the window keeps repainting.
        Schema::createIndexes(db, fields, [this, lines] { m_progress.update(lines); });
        transaction.commit();
        created->commit();
    } catch (const std::exception &e) {
        m_progress.end();
        reportError(m_prompter, kMainWindow, QStringLiteral("mnuOpenTDS"), e);
        ImportResult failed;
        failed.notes = result.notes;
        return failed;
    }
    m_progress.end();
    result.ok = true;
    result.dbPath = created->finalPath();
    result.fields = fields;
    return result;
}

void TdsImport::loadLines(Database &db, const FieldList &fields, QByteArrayView data,
                          Progress &progress, ImportResult &result)
{
    const qsizetype columns = fields.size();
    Statement insertArticle = db.prepare(insertSql(Schema::kArticles, columns));
    Statement insertEqv = db.prepare(insertSql(Schema::kEqv, columns));
    Statement insertDesignation =
        db.prepare(QStringLiteral("INSERT INTO Designations (BL_NAME, DESCRIPTION) VALUES (?, ?)"));

    // The record's own length; the row number is no part of the line.
    qsizetype recordLength = 0;
    for (qsizetype k = 1; k < fields.size(); ++k)
        recordLength += fields.at(k).Length;

    result.usedCodes = QStringList{QString()};
    QSet<QByteArray> registered;
    QByteArray lastRegistered;
    bool equivalenceSection = false;
    qint64 row = 0;
    qint64 lineCount = 0;

    // Each row's values are built into one buffer and bound without copying.
    QByteArray values;
    QList<qsizetype> offsets(columns, 0);
    QList<qsizetype> lengths(columns, 0);

    const char *p = data.data();
    const char *const end = p + data.size();
    while (p < end) {
        const char *newline = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)));
        const char *lineEnd = newline ? newline : end;
        const char *line = p;
        p = newline ? newline + 1 : end;
        qsizetype length = lineEnd - line;
        if (length > 0 && line[length - 1] == '\r')
            --length;
        ++lineCount;
        // A CR that ends no line (a lone CR, or LF CR line ends) would merge two records or shift
        // every field by one; only a record of exactly its own length may hold one in a field.
        if (length != recordLength && std::memchr(line, '\r', size_t(length)))
            throw AppError(ErrorNumber::BadFileFormat,
                           QStringLiteral("Rad %1 har ett radslut som inte är CR LF (ensamt CR "
                                          "eller LF CR) och är %2 tecken lång, inte postens %3. "
                                          "Filen har fel radslut; inget lästes in.")
                               .arg(lineCount)
                               .arg(length)
                               .arg(recordLength));

        if (lineCount % kProgressStep == 0)
            progress.update(lineCount);
        if (isBlankLine(line, length))
            continue;
        const qsizetype available = qMin(length, recordLength);

        const Span blockName = columns > 1 ? fieldOf(line, available, fields.at(1)) : Span{};
        const Span second = columns > 2 ? fieldOf(line, available, fields.at(2)) : Span{};
        if (!equivalenceSection && second.isEmpty())
            equivalenceSection = true;

        // Lines of a group usually follow each other, so most lines skip the lookup.
        const QByteArrayView blockNameBytes(blockName.begin, blockName.size());
        if (!equivalenceSection && !blockName.isEmpty() && blockNameBytes != lastRegistered) {
            const QByteArray key = blockNameBytes.toByteArray();
            lastRegistered = key;
            if (!registered.contains(key)) {
                registered.insert(key);
                Span description = columns > 3 ? fieldOf(line, available, fields.at(3)) : Span{};
                if (description.size() > Schema::kDesignationSize)
                    description.end = description.begin + Schema::kDesignationSize;
                QByteArray name;
                QByteArray text;
                Cp1252::appendAsUtf8(blockName.begin, blockName.end, name);
                Cp1252::appendAsUtf8(description.begin, description.end, text);
                insertDesignation.bindUtf8(1, name.constData(), name.size())
                    .bindUtf8(2, text.constData(), text.size())
                    .run();
                result.usedCodes << Cp1252::decode(key.mid(5, 2));
            }
        }

        values.clear();
        for (qsizetype k = 1; k < columns; ++k) {
            const Span value = fieldOf(line, available, fields.at(k));
            offsets[k] = values.size();
            Cp1252::appendAsUtf8(value.begin, value.end, values);
            lengths[k] = values.size() - offsets[k];
        }
        Statement &insert = equivalenceSection ? insertEqv : insertArticle;
        insert.bind(1, row);
        for (qsizetype k = 1; k < columns; ++k)
            insert.bindUtf8(int(k + 1), values.constData() + offsets[k], lengths[k], false);
        insert.run();
        ++row;
        if (equivalenceSection)
            ++result.eqvRows;
        else
            ++result.articleRows;
    }
    progress.update(lineCount);
}
