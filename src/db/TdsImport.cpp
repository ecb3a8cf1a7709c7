#include "db/TdsImport.h"

#include "core/AppError.h"
#include "core/Cp1252.h"
#include "core/Paths.h"
#include "core/Progress.h"
#include "core/Prompter.h"
#include "core/SafeFile.h"
#include "core/TextFileCheck.h"
#include "db/Database.h"
#include "db/FindIndex.h"
#include "db/NewDatabaseFile.h"
#include "db/RowCounts.h"
#include "db/Schema.h"
#include "db/TdsLineLoader.h"
#include "db/TdxFile.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <functional>
#include <new>

namespace {

// Pieces of this size keep memory bounded whatever the size of the file.
constexpr qint64 kPieceSize = 4 * 1024 * 1024;

// Reads the file from its start in pieces, handing each to use until it returns false. False on
// a read error; bytesRead says how much was read.
bool readInPieces(QFile &file, const std::function<bool(QByteArrayView)> &use, qint64 &bytesRead)
{
    bytesRead = 0;
    if (!file.seek(0))
        return false;
    QByteArray buffer(kPieceSize, Qt::Uninitialized);
    for (;;) {
        const qint64 n = file.read(buffer.data(), kPieceSize);
        if (n < 0 || file.error() != QFileDevice::NoError)
            return false;
        if (n == 0)
            return true;
        bytesRead += n;
        if (!use(QByteArrayView(buffer.constData(), n)))
            return true;
    }
}

// Every line of the file into the loader; false on a read error.
bool loadInPieces(QFile &file, TdsLineLoader &loader, qint64 &loaded)
{
    const auto load = [&loader](QByteArrayView piece) {
        loader.feed(piece);
        return true;
    };
    if (!readInPieces(file, load, loaded))
        return false;
    loader.finish();
    return true;
}

// A failed import keeps the notes of what it tidied up.
ImportResult failedWith(const QStringList &notes)
{
    ImportResult failed;
    failed.notes = notes;
    return failed;
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

// An export that was cut off may have left this pair half replaced, a killed import its
// temporary database: settled first.
bool TdsImport::settleLeftovers(const QString &tdsPath, ImportResult &result)
{
    try {
        const QString recovered =
            SafeFile::recoverPair(tdsPath, Paths::siblingOnDisk(Paths::tdxPathFor(tdsPath)));
        if (!recovered.isEmpty())
            m_prompter.info(recovered);
    } catch (const std::exception &e) {
        reportError(m_prompter, kMainWindow, QStringLiteral("mnuOpenTDS"), e);
        return false;
    }
    for (const QString &stale :
         SafeFile::removeStaleTemporaries(Paths::siblingOnDisk(Paths::tdbPathFor(tdsPath))))
        result.notes << QStringLiteral("En kvarlämnad temporär fil togs bort: %1").arg(stale);
    return true;
}

// Second pass: the records, read in pieces as the first. Read, not mapped: a mapped file that
// someone shortens meanwhile kills the program. False after a read error or a change of the
// file while it was read, both reported.
bool TdsImport::loadRecords(QFile &file, Database &db, const FieldList &fields, qint64 sizeBefore,
                            const QDateTime &modifiedBefore, ImportResult &result)
{
    TdsLineLoader loader(db, fields, m_progress, result, TdsLineLoader::Index::FindText);
    qint64 loaded = 0;
    if (!loadInPieces(file, loader, loaded)) {
        m_progress.end();
        reportReadError(file.fileName());
        return false;
    }
    const QFileInfo after(file.fileName());
    if (loaded != sizeBefore || after.size() != sizeBefore ||
        after.lastModified() != modifiedBefore) {
        m_progress.end();
        reportChanged(file.fileName());
        return false;
    }
    return true;
}

bool TdsImport::scanText(QFile &file, const QString &tdsPath, qint64 size,
                         TextFileCheck::Scanner &scanner)
{
    // A NUL stops the pass at once, before gigabytes of a binary file are read. The bar runs
    // over the bytes while they are scanned, then over the lines.
    qint64 scanned = 0;
    m_progress.start(size);
    const auto scan = [this, &scanner, &scanned](QByteArrayView piece) {
        scanner.feed(piece);
        m_progress.update(scanned);
        return !scanner.isBinary();
    };
    try {
        if (!readInPieces(file, scan, scanned)) {
            reportReadError(tdsPath);
            return false;
        }
    } catch (const std::exception &e) {
        reportError(m_prompter, kMainWindow, QStringLiteral("mnuOpenTDS"), e);
        return false;
    }
    if (scanned != size && !scanner.isBinary()) {
        reportChanged(tdsPath);
        return false;
    }
    return confirmReadableText(scanner.result(), tdsPath, m_prompter);
}

ImportResult TdsImport::importFile(const QString &tdsPath)
{
    ImportResult result;
    if (!QFileInfo(tdsPath).isFile()) {
        RowsInFile(tdsPath, m_prompter); // says the file is missing
        return result;
    }
    if (!settleLeftovers(tdsPath, result))
        return result;
    QFile file(tdsPath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        m_prompter.message(MessageIcon::None, QString(),
                           errorMessage(kMainWindow, QStringLiteral("mnuOpenTDS"),
                                        ErrorNumber::PermissionDenied, file.errorString()));
        return result;
    }
    const QDateTime modifiedBefore = QFileInfo(tdsPath).lastModified();
    const qint64 sizeBefore = file.size();
    struct EndsProgress
    {
        Progress &progress;
        ~EndsProgress() { progress.end(); }
    } endsProgress{m_progress};
    TextFileCheck::Scanner scanner;
    if (!scanText(file, tdsPath, sizeBefore, scanner))
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

    const qint64 lines = scanner.lineCount();
    m_progress.start(lines);
    try {
        Database &db = created->db();
        Transaction transaction(db);
        FindIndex::createEmpty(db);
        if (!loadRecords(file, db, fields, sizeBefore, modifiedBefore, result))
            return failedWith(result.notes);
        // Indexing after the bulk load is several times faster than row by row. The bar stays
        // full meanwhile, but the window keeps repainting. What each step wrote goes to disk
        // while the next one works.
        const StatementPulse pulse(db, [this, lines] { m_progress.update(lines); });
        created->startWriteback();
        Schema::createIndexes(db, fields, [this, lines, &created] {
            created->startWriteback();
            m_progress.update(lines);
        });
        m_progress.update(lines);
        transaction.commit();
        // No one else can reach the file yet, so the stamp may follow the commit.
        FindIndex::stampPrivateFile(db);
        created->commit([this, lines] { m_progress.update(lines); });
    } catch (const std::exception &e) {
        m_progress.end();
        reportError(m_prompter, kMainWindow, QStringLiteral("mnuOpenTDS"), e);
        return failedWith(result.notes);
    }
    m_progress.end();
    result.ok = true;
    result.dbPath = created->finalPath();
    result.fields = fields;
    return result;
}

void TdsImport::reportReadError(const QString &tdsPath)
{
    m_prompter.warning(QStringLiteral("Filen %1 kunde inte läsas (läsfel på disken eller i "
                                      "nätverket). Inget lästes in.")
                           .arg(tdsPath),
                       QStringLiteral("Inläsningsfel"));
}

void TdsImport::reportChanged(const QString &tdsPath)
{
    m_prompter.warning(QStringLiteral("Filen %1 ändrades medan den lästes. Inget lästes in; "
                                      "försök igen när filen inte längre skrivs.")
                           .arg(tdsPath),
                       QStringLiteral("Inläsningsfel"));
}

bool TdsImport::loadFile(const QString &tdsPath, Database &db, const FieldList &fields,
                         Progress &progress, ImportResult &result)
{
    QFile file(tdsPath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return false;
    TdsLineLoader loader(db, fields, progress, result);
    qint64 loaded = 0;
    return loadInPieces(file, loader, loaded);
}

void TdsImport::loadLines(Database &db, const FieldList &fields, QByteArrayView data,
                          Progress &progress, ImportResult &result)
{
    TdsLineLoader loader(db, fields, progress, result);
    loader.feed(data);
    loader.finish();
}
