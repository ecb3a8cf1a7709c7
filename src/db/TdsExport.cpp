#include "db/TdsExport.h"

#include "core/AppError.h"
#include "core/Cp1252.h"
#include "core/Paths.h"
#include "core/Progress.h"
#include "core/Prompter.h"
#include "core/SafeFile.h"
#include "db/Database.h"
#include "db/Schema.h"
#include "db/TdxFile.h"
#include "db/WorkingDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

const std::array<EquivalenceCodePair, 47> EquivalenceCodePairs = {{
    {"I061", "I060"}, {"I310", "I060"}, {"I311", "I060"}, {"I312", "I060"}, {"I313", "I060"},
    {"I431", "I430"}, {"I432", "I430"}, {"I436", "I430"}, {"I437", "I430"}, {"I438", "I430"},
    {"I440", "I430"}, {"I441", "I430"}, {"I442", "I430"}, {"I446", "I430"}, {"I447", "I430"},
    {"I448", "I430"}, {"I450", "I430"}, {"I451", "I430"}, {"I452", "I430"}, {"I456", "I430"},
    {"I457", "I430"}, {"I458", "I430"}, {"I460", "I430"}, {"I461", "I430"}, {"I462", "I430"},
    {"I466", "I430"}, {"I467", "I430"}, {"I468", "I430"}, {"92A3", "92A1"}, {"X2A1", "92A1"},
    {"X2A3", "92A1"}, {"J3A1", "J3A0"}, {"K3A0", "J3A0"}, {"K3A1", "J3A0"}, {"I0UC", "I0QC"},
    {"I01C", "I02T"}, {"I10C", "I02T"}, {"I11C", "I02T"}, {"I03T", "I02T"}, {"I00T", "I02T"},
    {"I01T", "I02T"}, {"I02C", "I02T"}, {"I03C", "I02T"}, {"I04C", "I02T"}, {"I05C", "I02T"},
    {"I06C", "I02T"}, {"I07C", "I02T"},
}};

namespace {

constexpr qsizetype kFlushSize = 1 << 20;

// Writes fixed-width records: every column but RAD, cut to its size and padded with blanks.
class RecordWriter
{
public:
    RecordWriter(SafeFile::Output &file, const char *table, const std::vector<ColumnInfo> &columns,
                 Progress &progress, qint64 &handled, ExportResult &result)
        : m_file(file), m_table(QLatin1String(table)), m_progress(progress), m_handled(handled),
          m_result(result)
    {
        for (int i = 0; i < int(columns.size()); ++i) {
            const ColumnInfo &column = columns[size_t(i)];
            if (column.name == QLatin1String(kRowNumberField)) {
                m_rowNumber = i;
                continue;
            }
            m_fields.push_back({i, column.size, column.name});
            m_lineLength += column.size;
        }
        m_lineLength += 2;
        m_buffer.reserve(kFlushSize + m_lineLength);
    }

    void write(const Statement &row)
    {
        const qsizetype start = m_buffer.size();
        m_buffer.resize(start + m_lineLength);
        char *out = m_buffer.data() + start;
        for (const Field &field : m_fields) {
            qsizetype length = 0;
            const char *utf8 = row.utf8(field.column, &length); // null gives no text
            const qsizetype written = utf8 ? Cp1252::writeFromUtf8(utf8, length, field.size, out,
                                                                   &m_result.replacedCharacters)
                                           : 0;
            // A line break would split the record and a NUL make the file binary: the import
            // could not read back what was written. (A lone CR in a full record reads back.)
            if (std::memchr(out, '\n', size_t(written)) || std::memchr(out, '\0', size_t(written)))
                refuse(row, field);
            std::memset(out + written, ' ', size_t(field.size - written));
            out += field.size;
        }
        out[0] = '\r';
        out[1] = '\n';
        ++m_result.linesWritten;
        if (m_buffer.size() >= kFlushSize)
            flush();
    }

    void countHandled()
    {
        if (++m_handled % kProgressStep == 0)
            m_progress.update(m_handled);
    }

    void flush()
    {
        m_file.write(m_buffer);
        m_buffer.resize(0);
    }

private:
    struct Field
    {
        int column;
        int size;
        QString name;
    };

    [[noreturn]] void refuse(const Statement &row, const Field &field) const
    {
        throw AppError(ErrorNumber::BadFileFormat,
                       QStringLiteral("Tabellen %1, rad %2, fältet %3 innehåller en radbrytning "
                                      "eller ett NUL-tecken, som exportfilen inte kan hålla. "
                                      "Inget exporterades.")
                           .arg(m_table,
                                m_rowNumber >= 0 ? row.text(m_rowNumber) : QStringLiteral("?"),
                                field.name));
    }

    SafeFile::Output &m_file;
    QString m_table;
    int m_rowNumber = -1;
    std::vector<Field> m_fields;
    qsizetype m_lineLength = 0;
    Progress &m_progress;
    qint64 &m_handled;
    ExportResult &m_result;
    QByteArray m_buffer;
};

// The layout the export writes must be one its import reads back: a .tdx line per field
// ("name,description,width", no comma, colon or line break inside, a width within the .tdx
// limit), and equivalence lines laid out as the articles. Throws AppError naming what is wrong.
void checkExportable(const std::vector<ColumnInfo> &articles, const std::vector<ColumnInfo> &eqv,
                     const FieldList &fields)
{
    const auto refuse = [](const QString &what) {
        throw AppError(ErrorNumber::BadFileFormat, what + QStringLiteral(" Inget exporterades."));
    };
    static const QString unreadable = QStringLiteral(",:\r\n") + QChar(0);
    const auto holdsUnreadable = [](const QString &text) {
        return std::any_of(unreadable.begin(), unreadable.end(),
                           [&text](QChar c) { return text.contains(c); });
    };
    for (const FieldDesc &field : fields) {
        if (field.Name == QLatin1String(kRowNumberField))
            continue;
        if (holdsUnreadable(field.Name) || holdsUnreadable(field.Description))
            refuse(QStringLiteral("Fältet %1 har ett namn eller en beskrivning med komma, kolon "
                                  "eller radbrytning, som fältbeskrivningen (.tdx) inte kan hålla.")
                       .arg(field.Name));
        if (field.Length < 0 || field.Length > kMaxTdxWidth)
            refuse(QStringLiteral("Fältet %1 har längden %2; en fältbeskrivning (.tdx) tillåter "
                                  "0 till %3.")
                       .arg(field.Name)
                       .arg(field.Length)
                       .arg(kMaxTdxWidth));
    }
    const auto sameLayout = [&] {
        if (articles.size() != eqv.size())
            return false;
        for (size_t i = 0; i < articles.size(); ++i) {
            if (articles[i].name.compare(eqv[i].name, Qt::CaseInsensitive) != 0 ||
                articles[i].size != eqv[i].size)
                return false;
        }
        return true;
    };
    if (!sameLayout())
        refuse(QStringLiteral("Tabellen Eqv har andra fält än tabellen Articles, så "
                              "ekvivalensraderna skulle skrivas i fel format."));
}

// The same file on disk, through a link or another spelling of its path.
bool sameFile(const QString &a, const QString &b)
{
#ifdef Q_OS_WIN
    const QString first = QFileInfo(a).canonicalFilePath();
    return !first.isEmpty() &&
           first.compare(QFileInfo(b).canonicalFilePath(), Qt::CaseInsensitive) == 0;
#else
    struct stat first
    {
    };
    struct stat second
    {
    };
    return ::stat(QFile::encodeName(a).constData(), &first) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
#endif
}

bool isSortedByType(const QString &outputPath)
{
    const QString name = outputPath.toLower();
    return name.endsWith(QLatin1String("cables.tds")) || name.endsWith(QLatin1String("colors.tds"));
}

} // namespace

TdsExport::TdsExport(Database &db, Prompter &prompter, Progress &progress)
    : m_db(db), m_prompter(prompter), m_progress(progress)
{
}

QString TdsExport::libraryPrefix(Database &db)
{
    const QVariant greatest =
        db.scalar(QStringLiteral("SELECT MAX(BL_NAME COLLATE SV) FROM Designations"));
    if (!greatest.isValid())
        throw AppError(ErrorNumber::InvalidUseOfNull,
                       QStringLiteral("Databasen har inga artikelgrupper, så bibliotekets prefix "
                                      "kan inte läsas."));
    return greatest.toString().left(4);
}

int TdsExport::completeEquivalences(Database &db, const QString &prefix)
{
    const QString designation =
        quoteIdentifier(Schema::requiredColumn(db, Schema::kEqv, QStringLiteral("BENÄMNING")));
    const QVariant greatest = db.scalar(
        QStringLiteral("SELECT MAX(RAD) FROM Eqv WHERE %1 NOT LIKE '=%'").arg(designation));
    // Every row added by one export gets the same row number.
    const qint64 nextRow = greatest.isValid() ? greatest.toLongLong() + 1 : 0;

    Transaction transaction(db);
    Statement exists = db.prepare(QStringLiteral("SELECT 1 FROM Eqv WHERE BL_NAME = ? LIMIT 1"));
    Statement insert = db.prepare(
        QStringLiteral("INSERT INTO Eqv (RAD, BL_NAME, %1) VALUES (?, ?, ?)").arg(designation));
    int added = 0;
    for (const EquivalenceCodePair &pair : EquivalenceCodePairs) {
        const QString blockName = prefix + QLatin1String(pair.code);
        exists.bind(1, blockName);
        const bool found = exists.step();
        exists.reset();
        if (found)
            continue;
        insert.bind(1, nextRow)
            .bind(2, blockName)
            .bind(3, QLatin1Char('=') + prefix + QLatin1String(pair.target))
            .run();
        ++added;
    }
    transaction.commit();
    return added;
}

ExportResult TdsExport::run(const QString &outputPath)
{
    const QString folder = Paths::folderOf(outputPath);
    if (!QDir().mkpath(folder)) {
        m_prompter.error(QStringLiteral("Kan ej skapa sökvägen\n") + folder,
                         QStringLiteral("Filfel"));
        return {};
    }
    ExportResult result;
    try {
        result = write(outputPath);
    } catch (const std::bad_alloc &) {
        m_progress.end();
        m_prompter.error(
            QStringLiteral("Filen är för stor för minnet: %1 skrevs inte.").arg(outputPath),
            QStringLiteral("Filfel"));
        ExportResult failed;
        failed.notes = m_notes;
        return failed;
    } catch (const std::exception &e) {
        m_progress.end();
        reportError(m_prompter, kMainWindow, QStringLiteral("mnuSaveTDS"), e);
        ExportResult failed;
        failed.notes = m_notes;
        return failed;
    }
    if (result.replacedCharacters > 0)
        m_prompter.info(QStringLiteral("%1 tecken kunde inte skrivas i Windows-1252 och "
                                       "ersattes med \"?\".")
                            .arg(result.replacedCharacters));
    return result;
}

ExportResult TdsExport::write(const QString &outputPath)
{
    ExportResult result;
    m_notes.clear();
    const QString tdxPath = Paths::siblingOnDisk(Paths::tdxPathFor(outputPath));
    for (const QString &target : {outputPath, tdxPath}) {
        if (sameFile(target, m_db.path()))
            throw AppError(ErrorNumber::PermissionDenied,
                           QStringLiteral("Exportfilen %1 är samma fil som databasen %2 och skulle "
                                          "skriva över den. Välj ett annat namn.")
                               .arg(target, m_db.path()));
    }
    // What an earlier run left behind is settled before anything new is written.
    const QString recovered = SafeFile::recoverPair(outputPath, tdxPath);
    if (!recovered.isEmpty())
        m_prompter.info(recovered);
    for (const QString &target : {outputPath, tdxPath}) {
        for (const QString &stale : SafeFile::removeStaleTemporaries(target))
            m_notes << QStringLiteral("En kvarlämnad temporär fil togs bort: %1").arg(stale);
    }

    const std::vector<ColumnInfo> articleColumns = m_db.columns(QLatin1String(Schema::kArticles));
    const std::vector<ColumnInfo> eqvColumns = m_db.columns(QLatin1String(Schema::kEqv));
    const FieldList fields = readFieldList(m_db);
    checkExportable(articleColumns, eqvColumns, fields);
    // Said in Swedish here, not as the engine's "no such column" halfway through.
    Schema::requiredColumn(m_db, Schema::kArticles, QStringLiteral("BL_NAME"));
    Schema::requiredColumn(m_db, Schema::kEqv, QStringLiteral("BL_NAME"));
    Schema::requiredColumn(m_db, Schema::kDesignations, QStringLiteral("BL_NAME"));
    Schema::requiredColumn(m_db, Schema::kDesignations, QStringLiteral("DESCRIPTION"));

    const QString prefix = libraryPrefix(m_db);
    completeEquivalences(m_db, prefix);

    SafeFile::Output tds(outputPath);
    SafeFile::Output tdx(tdxPath);

    const QString designation =
        quoteIdentifier(Schema::requiredColumn(m_db, Schema::kEqv, QStringLiteral("BENÄMNING")));

    const qint64 total = m_db.scalar(QStringLiteral("SELECT (SELECT COUNT(*) FROM Articles) + "
                                                    "(SELECT COUNT(*) FROM Eqv)"))
                             .toLongLong();
    m_progress.start(total);
    qint64 handled = 0;

    // Pass 1: the articles.
    {
        RecordWriter writer(tds, Schema::kArticles, articleColumns, m_progress, handled, result);
        if (isSortedByType(outputPath)) {
            Statement rows =
                m_db.prepare(QStringLiteral("SELECT * FROM Articles ORDER BY CLNG(%1), RAD")
                                 .arg(quoteIdentifier(Schema::requiredColumn(
                                     m_db, Schema::kArticles, QStringLiteral("TYP")))));
            while (rows.step()) {
                writer.write(rows);
                writer.countHandled();
            }
        } else {
            // Group by group in the order of their descriptions, each group in row order; the
            // same as joining Articles with Designations, without sorting every article.
            Statement groups =
                m_db.prepare(QStringLiteral("SELECT BL_NAME FROM Designations "
                                            "ORDER BY DESCRIPTION COLLATE SV, BL_NAME COLLATE SV"));
            Statement rows = m_db.prepare(
                QStringLiteral("SELECT * FROM Articles WHERE BL_NAME = ? ORDER BY RAD"));
            while (groups.step()) {
                if (groups.isNull(0))
                    continue;
                rows.bind(1, groups.text(0));
                while (rows.step()) {
                    writer.write(rows);
                    writer.countHandled();
                }
                rows.reset();
            }
        }
        writer.flush();
    }

    // Pass 2 and 3: the ordinary equivalence lines, then the "=" lines whose target exists.
    {
        RecordWriter writer(tds, Schema::kEqv, eqvColumns, m_progress, handled, result);
        Statement ordinary = m_db.prepare(
            QStringLiteral("SELECT * FROM Eqv WHERE %1 NOT LIKE '=%' ORDER BY RAD, rowid")
                .arg(designation));
        while (ordinary.step()) {
            writer.write(ordinary);
            writer.countHandled();
        }
        int designationColumn = -1;
        for (size_t i = 0; i < eqvColumns.size(); ++i) {
            if (eqvColumns[i].name.compare(QStringLiteral("BENÄMNING"), Qt::CaseInsensitive) == 0)
                designationColumn = int(i);
        }
        Statement references =
            m_db.prepare(QStringLiteral("SELECT * FROM Eqv WHERE %1 LIKE '=%' ORDER BY RAD, rowid")
                             .arg(designation));
        Statement inArticles =
            m_db.prepare(QStringLiteral("SELECT 1 FROM Articles WHERE BL_NAME = ? LIMIT 1"));
        Statement inEqv =
            m_db.prepare(QStringLiteral("SELECT 1 FROM Eqv WHERE BL_NAME = ? LIMIT 1"));
        while (references.step()) {
            const QString target = references.text(designationColumn).mid(1);
            inArticles.bind(1, target);
            bool exists = inArticles.step();
            inArticles.reset();
            if (!exists) {
                inEqv.bind(1, target);
                exists = inEqv.step();
                inEqv.reset();
            }
            if (exists)
                writer.write(references);
            writer.countHandled();
        }
        writer.flush();
    }

    // The field description beside it; the FieldList in use is not changed.
    const QByteArray description = tdxText(fields, &result.replacedCharacters);
    tdx.write(description);

    // Both files are complete and on disk before either replaces an old one; then they are
    // replaced as one pair.
    tds.finish();
    tdx.finish();
    SafeFile::replacePair(tds, tdx);
    m_progress.update(handled);
    m_progress.end();
    result.ok = true;
    result.notes = m_notes;
    return result;
}
