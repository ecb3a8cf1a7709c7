#include "db/TdsExport.h"

#include "core/AppError.h"
#include "core/Cp1252.h"
#include "core/Paths.h"
#include "core/Progress.h"
#include "core/Prompter.h"
#include "core/Responsive.h"
#include "core/SafeFile.h"
#include "db/Database.h"
#include "db/FindIndex.h"
#include "db/Schema.h"
#include "db/TdxFile.h"
#include "db/WorkingDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <future>
#include <new>
#include <optional>
#include <thread>
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

struct WrittenCell
{
    qsizetype written = 0;  // bytes written
    qsizetype consumed = 0; // bytes of the text used: fewer when cut
    qsizetype replaced = 0; // characters written as '?'
    bool blank = true;
    bool breaksRecord = false; // holds a line feed or a NUL
};

// One cell into its field (room for size bytes), not yet padded.
WrittenCell writeCell(const char *utf8, qsizetype length, qsizetype size, char *out)
{
    WrittenCell cell;
    if (!utf8)
        return cell;
    cell.written = Cp1252::writeFromUtf8(utf8, length, size, out, &cell.replaced, &cell.consumed);
    const char *begin = out;
    const char *end = out + cell.written;
    cell.blank = std::all_of(begin, end, [](char c) { return c == ' '; });
    cell.breaksRecord =
        std::find_if(begin, end, [](char c) { return c == '\n' || c == '\0'; }) != end;
    return cell;
}

// Adds the losses of one field to those of the whole export.
void addLoss(QList<FieldLoss> &losses, const QString &field, qint64 cut, qint64 replaced)
{
    if (cut == 0 && replaced == 0)
        return;
    auto it = std::find_if(losses.begin(), losses.end(), [&field](const FieldLoss &l) {
        return l.field.compare(field, Qt::CaseInsensitive) == 0;
    });
    if (it == losses.end())
        it = losses.insert(losses.end(), FieldLoss{field, 0, 0});
    it->cut += cut;
    it->replaced += replaced;
}

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
            m_fields.push_back({i, column.size, column.name, 0, 0});
            m_lineLength += column.size;
        }
        m_lineLength += 2;
        m_buffer.reserve(kFlushSize + m_lineLength);
    }

    // The import tells the two sections apart by the second field: the first line whose second
    // field is blank starts the equivalences.
    enum class SecondField { Any, Filled, Blank };

    // Writes the record of row; a record of nothing but blanks is left out, as the import
    // would skip it. Returns whether a line was written.
    bool write(const Statement &row, SecondField second = SecondField::Any)
    {
        if (!writeInto(m_buffer, row, second))
            return false;
        if (m_buffer.size() >= kFlushSize)
            flush();
        return true;
    }

    // Every row the statement gives, as articles.
    void writeEach(Statement &rows)
    {
        while (rows.step()) {
            write(rows, SecondField::Filled);
            countHandled();
        }
    }

    // The same record appended to buffer instead of the file.
    bool writeInto(QByteArray &buffer, const Statement &row, SecondField second = SecondField::Any)
    {
        const qsizetype start = buffer.size();
        buffer.resize(start + m_lineLength);
        char *out = buffer.data() + start;
        bool blankRecord = true;
        m_recordLosses.clear();
        for (size_t i = 0; i < m_fields.size(); ++i) {
            const Field &field = m_fields[i];
            qsizetype length = 0;
            const char *utf8 = row.utf8(field.column, &length); // null gives no text
            const WrittenCell cell = writeCell(utf8, length, field.size, out);
            if (cell.replaced > 0) {
                m_result.replacedCharacters += cell.replaced;
                m_recordLosses.push_back({i, false});
            }
            // Blanks past the field are the padding the import strips anyway.
            if (cell.consumed < length &&
                !std::all_of(utf8 + cell.consumed, utf8 + length, [](char c) { return c == ' '; }))
                m_recordLosses.push_back({i, true});
            // A line break would split the record and a NUL make the file binary: the import
            // could not read back what was written. (A lone CR in a full record reads back.)
            if (cell.breaksRecord)
                refuse(row, field,
                       QStringLiteral("innehåller en radbrytning eller ett NUL-tecken, som "
                                      "exportfilen inte kan hålla"));
            blankRecord = blankRecord && cell.blank;
            if (i == 1 && second == SecondField::Filled && cell.blank)
                refuse(row, field,
                       QStringLiteral("är tomt, så artikeln skulle läsas tillbaka som en "
                                      "ekvivalensrad"));
            if (i == 1 && second == SecondField::Blank && !cell.blank)
                refuse(row, field,
                       QStringLiteral("är inte tomt, så den första ekvivalensraden skulle läsas "
                                      "tillbaka som en artikel"));
            std::memset(out + cell.written, ' ', size_t(field.size - cell.written));
            out += field.size;
        }
        if (blankRecord) {
            buffer.resize(start);
            return false;
        }
        for (const auto &[field, cut] : m_recordLosses)
            ++(cut ? m_fields[field].cut : m_fields[field].replaced);
        out[0] = '\r';
        out[1] = '\n';
        ++m_result.linesWritten;
        return true;
    }

    void countHandled()
    {
        if (++m_handled % kProgressStep == 0)
            m_progress.update(m_handled +
                              (m_beside ? m_beside->load(std::memory_order_relaxed) : 0));
    }

    // Rows another writer handles meanwhile, counted into the progress shown.
    void countBeside(const std::atomic<qint64> *rows) { m_beside = rows; }
    // From here on the records go to the file from `offset` on, not to where write() is.
    void writeFrom(qint64 offset) { m_at = offset; }
    // Where the next record goes when writing from an offset.
    qint64 end() const { return m_at + m_buffer.size(); }
    // Every article record has this length.
    qsizetype lineLength() const { return m_lineLength; }

    void flush()
    {
        if (m_at >= 0) {
            m_file.writeAt(m_at, m_buffer.constData(), m_buffer.size());
            m_at += m_buffer.size();
        } else {
            m_file.write(m_buffer);
        }
        m_buffer.resize(0);
    }

    // Adds what this table's fields lost to the losses of the whole export, field by field.
    void mergeLosses(QList<FieldLoss> &losses) const
    {
        for (const Field &field : m_fields)
            addLoss(losses, field.name, field.cut, field.replaced);
    }

private:
    struct Field
    {
        int column;
        int size;
        QString name;
        qint64 cut = 0;
        qint64 replaced = 0;
    };

    [[noreturn]] void refuse(const Statement &row, const Field &field, const QString &why) const
    {
        throw AppError(ErrorNumber::BadFileFormat,
                       QStringLiteral("Tabellen %1, rad %2, fältet %3 %4. Inget exporterades.")
                           .arg(m_table,
                                m_rowNumber >= 0 ? row.text(m_rowNumber) : QStringLiteral("?"),
                                field.name, why));
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
    qint64 m_at = -1;
    const std::atomic<qint64> *m_beside = nullptr;
    std::vector<std::pair<size_t, bool>> m_recordLosses; // field, cut (else replaced)
};

struct WrittenReferences
{
    QSet<qint64> rowids;
    QSet<QString> blockNames;
};

// The "=" lines of Eqv whose target is in the written file: an article, an ordinary
// equivalence line, or a "=" line written in its turn. A target is looked up as it will be
// written, cut to the field's width.
WrittenReferences writtenReferences(Database &db)
{
    const QString designation =
        quoteIdentifier(Schema::requiredColumn(db, Schema::kEqv, Schema::kDesignation));
    int width = 0;
    for (const ColumnInfo &column : db.columns(QLatin1String(Schema::kEqv))) {
        if (column.name.compare(Schema::kDesignation, Qt::CaseInsensitive) == 0)
            width = column.size;
    }
    struct Reference
    {
        qint64 rowid;
        QString blockName;
        QString target;
    };
    std::vector<Reference> pending;
    Statement references = db.prepare(
        QStringLiteral("SELECT rowid, BL_NAME, %1 FROM Eqv WHERE %1 LIKE '=%'").arg(designation));
    while (references.step()) {
        QString target = references.text(2).left(width).mid(1);
        while (target.endsWith(QLatin1Char(' ')))
            target.chop(1);
        pending.push_back({references.int64(0), references.text(1), target});
    }
    Statement inArticles =
        db.prepare(QStringLiteral("SELECT 1 FROM Articles WHERE BL_NAME = ? LIMIT 1"));
    Statement inEqv = db.prepare(
        QStringLiteral("SELECT 1 FROM Eqv WHERE BL_NAME = ? AND IFNULL(%1, '') NOT LIKE '=%' "
                       "LIMIT 1")
            .arg(designation));
    const auto found = [](Statement &query, const QString &name) {
        query.bind(1, name);
        const bool exists = query.step();
        query.reset();
        return exists;
    };
    WrittenReferences written;
    const auto write = [&written](const Reference &reference) {
        written.rowids.insert(reference.rowid);
        written.blockNames.insert(reference.blockName);
    };
    std::vector<Reference> chained;
    for (const Reference &reference : pending) {
        if (found(inArticles, reference.target) || found(inEqv, reference.target))
            write(reference);
        else
            chained.push_back(reference);
    }
    // A "=" line pointing at another "=" line is written once that one is.
    for (bool grew = true; grew;) {
        grew = false;
        std::vector<Reference> still;
        for (const Reference &reference : chained) {
            if (written.blockNames.contains(reference.target)) {
                write(reference);
                grew = true;
            } else {
                still.push_back(reference);
            }
        }
        chained.swap(still);
    }
    return written;
}

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
        quoteIdentifier(Schema::requiredColumn(db, Schema::kEqv, Schema::kDesignation));
    const QVariant greatest = db.scalar(
        QStringLiteral("SELECT MAX(RAD) FROM Eqv WHERE %1 NOT LIKE '=%'").arg(designation));
    // Every row added by one export gets the same row number.
    const qint64 nextRow = greatest.isValid() ? greatest.toLongLong() + 1 : 0;

    // A block counts as present when a line of it is written, or when it already holds the very
    // line that would be added. A "=" line whose target is missing is left out of the file, so
    // it does not stand in for the right one.
    const QSet<QString> referenced = writtenReferences(db).blockNames;
    Transaction transaction(db);
    Statement present =
        db.prepare(QStringLiteral("SELECT 1 FROM Eqv WHERE BL_NAME = ?1 AND "
                                  "(IFNULL(%1, '') NOT LIKE '=%' OR %1 = ?2) LIMIT 1")
                       .arg(designation));
    Statement insert = db.prepare(
        QStringLiteral("INSERT INTO Eqv (RAD, BL_NAME, %1) VALUES (?, ?, ?)").arg(designation));
    int added = 0;
    for (const EquivalenceCodePair &pair : EquivalenceCodePairs) {
        const QString blockName = prefix + QLatin1String(pair.code);
        const QString reference = QLatin1Char('=') + prefix + QLatin1String(pair.target);
        if (referenced.contains(blockName))
            continue;
        present.bind(1, blockName).bind(2, reference);
        const bool found = present.step();
        present.reset();
        if (found)
            continue;
        insert.bind(1, nextRow).bind(2, blockName).bind(3, reference).run();
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
    if (result.ok && result.replacedCharacters > 0)
        m_prompter.info(QStringLiteral("%1 tecken kunde inte skrivas i Windows-1252 och "
                                       "ersattes med \"?\".")
                            .arg(result.replacedCharacters));
    return result;
}

QStringList TdsExport::describeLosses(const QList<FieldLoss> &losses)
{
    QStringList lines;
    for (const FieldLoss &loss : losses) {
        QStringList parts;
        if (loss.cut > 0)
            parts << QStringLiteral("%1 värden kapas till fältets längd").arg(loss.cut);
        if (loss.replaced > 0)
            parts << QStringLiteral("%1 värden får \"?\" för tecken som Windows-1252 inte kan "
                                    "hålla")
                         .arg(loss.replaced);
        lines << loss.field + QStringLiteral(": ") + parts.join(QStringLiteral(", "));
    }
    return lines;
}

bool TdsExport::lossAccepted(const QList<FieldLoss> &losses)
{
    switch (m_lossPolicy) {
    case LossPolicy::Allow:
        return true;
    case LossPolicy::Refuse:
        return false;
    case LossPolicy::Ask:
        break;
    }
    qint64 values = 0;
    for (const FieldLoss &loss : losses)
        values += loss.cut + loss.replaced;
    const QString text =
        QStringLiteral("Exporten kan inte skriva %1 värden som de är:\n\n%2\n\nExportera ändå?")
            .arg(values)
            .arg(describeLosses(losses).join(QLatin1Char('\n')));
    return m_prompter.confirmAs(MessageIcon::Warning, QStringLiteral("Exportera"), text,
                                QStringLiteral("Exportera ändå"));
}

// Neither output may be the database itself, and what an earlier run left behind is settled
// before anything new is written.
void TdsExport::settleTargets(const QString &outputPath, const QString &tdxPath)
{
    for (const QString &target : {outputPath, tdxPath}) {
        if (sameFile(target, m_db.path()))
            throw AppError(ErrorNumber::PermissionDenied,
                           QStringLiteral("Exportfilen %1 är samma fil som databasen %2 och skulle "
                                          "skriva över den. Välj ett annat namn.")
                               .arg(target, m_db.path()));
    }
    const QString recovered = SafeFile::recoverPair(outputPath, tdxPath);
    if (!recovered.isEmpty())
        m_prompter.info(recovered);
    for (const QString &target : {outputPath, tdxPath}) {
        for (const QString &stale : SafeFile::removeStaleTemporaries(target))
            m_notes << QStringLiteral("En kvarlämnad temporär fil togs bort: %1").arg(stale);
    }
}

// The article file's groups in the order they are written.
constexpr const char *kGroupOrderSql =
    "SELECT BL_NAME FROM Designations WHERE BL_NAME IS NOT NULL GROUP BY BL_NAME "
    "ORDER BY MIN(DESCRIPTION COLLATE SV), BL_NAME COLLATE SV";

// Each group's place in the file: groups in description order, the articles of no registered
// group last, in a place of their own.
class TdsExport::GroupRanks
{
public:
    explicit GroupRanks(Database &db)
    {
        Statement groups = db.prepare(QString::fromLatin1(kGroupOrderSql));
        while (groups.step()) {
            if (groups.type(0) != Statement::Type::Text) {
                m_ok = false;
                return;
            }
            qsizetype length = 0;
            const char *name = groups.utf8(0, &length);
            m_names.append(QByteArray(name, length));
            m_ranks.insert(m_names.last(), m_ranks.size());
        }
        m_orphans = m_ranks.size();
    }

    // False when a registered block name is no text: such a file is written group by group.
    bool ok() const { return m_ok; }
    qsizetype count() const { return m_orphans + 1; }
    // The registered block names in the order they are written.
    const QList<QByteArray> &names() const { return m_names; }

    // The place of a row's group, from its block-name cell; -1 for a cell neither text nor null.
    qsizetype of(const Statement &row, int column)
    {
        const Statement::Type type = row.type(column);
        if (type == Statement::Type::Null)
            return m_orphans;
        if (type != Statement::Type::Text)
            return -1;
        qsizetype length = 0;
        const char *name = row.utf8(column, &length);
        const QByteArrayView bytes(name, length);
        // The rows of a group usually follow each other: most rows skip the lookup.
        if (!m_haveLast || bytes != m_lastName) {
            m_lastName = bytes.toByteArray();
            m_lastRank = m_ranks.value(m_lastName, m_orphans);
            m_haveLast = true;
        }
        return m_lastRank;
    }

private:
    QList<QByteArray> m_names;
    QHash<QByteArray, qsizetype> m_ranks;
    qsizetype m_orphans = 0;
    bool m_ok = true;
    bool m_haveLast = false;
    QByteArray m_lastName;
    qsizetype m_lastRank = 0;
};

// Rows stored one after another, from rowid `first` to `last`; `rows` of them.
struct TdsExport::RowRange
{
    qint64 first;
    qint64 last;
    qint64 rows;
};

namespace {

// Below this many articles a second reader costs more than it saves.
constexpr qint64 kRowsForTwoReaders = 20000;

// A worker's progress: only the count, for the writer on the window's thread to show.
class CountingProgress final : public Progress
{
public:
    explicit CountingProgress(std::atomic<qint64> &rows) : m_rows(rows) {}
    void start(qint64) override {}
    void update(qint64 value) override { m_rows.store(value, std::memory_order_relaxed); }
    void end() override {}

private:
    std::atomic<qint64> &m_rows;
};

} // namespace

// Checks that rows come in the file's order (groups in description order, each group's rows by
// rising row number) and remembers the first and the last, so two halves can be joined.
class TdsExport::StoredOrder
{
public:
    StoredOrder(const GroupRanks &ranks, int blockColumn, int rowNumberColumn)
        : m_ranks(ranks), m_blockColumn(blockColumn), m_rowNumberColumn(rowNumberColumn)
    {
    }

    // The order of a table with these columns; none without a block name and a row number.
    static std::optional<StoredOrder> of(const GroupRanks &ranks,
                                         const std::vector<ColumnInfo> &columns)
    {
        int blockColumn = -1;
        int rowNumberColumn = -1;
        for (int i = 0; i < int(columns.size()); ++i) {
            const QString &name = columns[size_t(i)].name;
            if (name.compare(Schema::kBlockName, Qt::CaseInsensitive) == 0)
                blockColumn = i;
            else if (name == QLatin1String(kRowNumberField))
                rowNumberColumn = i;
        }
        if (blockColumn < 0 || rowNumberColumn < 0)
            return std::nullopt;
        return StoredOrder(ranks, blockColumn, rowNumberColumn);
    }

    bool accept(const Statement &row)
    {
        const qsizetype rank = m_ranks.of(row, m_blockColumn);
        if (rank < 0 || row.type(m_rowNumberColumn) != Statement::Type::Integer)
            return false;
        const Key key{rank, row.int64(m_rowNumberColumn)};
        // A group met again after a later one, or a row number not above the one before it.
        if (m_any && !m_last.before(key))
            return false;
        if (!m_any)
            m_first = key;
        m_last = key;
        m_any = true;
        return true;
    }

    // True when `later`'s rows may follow these.
    bool joins(const StoredOrder &later) const
    {
        return !m_any || !later.m_any || m_last.before(later.m_first);
    }

private:
    struct Key
    {
        qsizetype rank = -1;
        qint64 rad = 0;
        bool before(const Key &next) const
        {
            return rank < next.rank || (rank == next.rank && rad < next.rad);
        }
    };
    GroupRanks m_ranks; // a copy each: looking up keeps a little state
    int m_blockColumn;
    int m_rowNumberColumn;
    bool m_any = false;
    Key m_first;
    Key m_last;
};

// A catalogue as imported stores each group's articles together and in row order. Then the
// articles are written as ranges of the table, read in storage order, instead of each one
// looked up through the index group by group. A first pass over the block names and row numbers
// finds the ranges; returns false, with nothing written, when some group's rows are not stored
// in row order. Every pass reads the same snapshot.
bool TdsExport::writeInStoredOrder(SafeFile::Output &tds, const std::vector<ColumnInfo> &columns,
                                   qint64 &handled, ExportResult &result)
{
    ReadTransaction snapshot(m_db);
    GroupRanks ranks(m_db);
    if (!ranks.ok())
        return false;
    const ExportResult before = result;
    const qint64 handledBefore = handled;
    const auto restart = [&] {
        tds.rewind();
        result = before;
        handled = handledBefore;
    };
    // Two readers when they can; written once more by one when their halves do not join.
    for (const auto write : {&TdsExport::writeInOnePass, &TdsExport::writeGroupSpans}) {
        for (const bool twoReaders : {true, false}) {
            const Outcome outcome =
                (this->*write)(tds, columns, ranks, twoReaders, handled, result);
            if (outcome == Outcome::Written)
                return true;
            restart();
            if (outcome == Outcome::OutOfOrder)
                break;
        }
    }

    std::vector<std::vector<RowRange>> parts(size_t(ranks.count()));
    std::vector<qint64> lastRad(parts.size(), 0);
    const QString rowId = rowIdName(columns);
    Statement keys = m_db.prepare(
        QStringLiteral("SELECT %1, BL_NAME, RAD FROM Articles ORDER BY %1").arg(rowId));
    qsizetype previousRank = -1;
    while (keys.step()) {
        const qsizetype rank = ranks.of(keys, 1);
        if (rank < 0 || keys.type(2) != Statement::Type::Integer)
            return false;
        std::vector<RowRange> &part = parts[size_t(rank)];
        const qint64 rad = keys.int64(2);
        const qint64 id = keys.int64(0);
        // Strictly increasing: rows of equal row numbers have no order of their own to keep.
        if (!part.empty() && rad <= lastRad[size_t(rank)])
            return false;
        lastRad[size_t(rank)] = rad;
        if (rank == previousRank) {
            part.back().last = id;
            ++part.back().rows;
        } else {
            part.push_back({id, id, 1});
        }
        previousRank = rank;
    }
    std::vector<RowRange> ranges;
    for (const std::vector<RowRange> &part : parts)
        ranges.insert(ranges.end(), part.begin(), part.end());
    for (const bool twoReaders : {true, false}) {
        if (writeRanges(tds, columns, ranges, nullptr, twoReaders, handled, result) ==
            Outcome::Written)
            return true;
        restart();
    }
    return false; // not reached: one reader always writes
}

// The usual case of a stored order: the rows are stored in the very order of the file (groups
// in description order, each group's rows together and in row order), as the import leaves
// them. Then one pass writes them, the order checked as it goes.
TdsExport::Outcome TdsExport::writeInOnePass(SafeFile::Output &tds,
                                             const std::vector<ColumnInfo> &columns,
                                             const GroupRanks &ranks, bool twoReaders,
                                             qint64 &handled, ExportResult &result)
{
    const std::optional<StoredOrder> order = StoredOrder::of(ranks, columns);
    if (!order)
        return Outcome::OutOfOrder;
    const QString rowId = rowIdName(columns);
    // The first rows show at once a catalogue not stored in the file's order, before anything
    // is counted or written.
    {
        StoredOrder probe = *order;
        Statement head = m_db.prepare(
            QStringLiteral("SELECT * FROM Articles ORDER BY %1 LIMIT 2000").arg(rowId));
        while (head.step()) {
            if (!probe.accept(head))
                return Outcome::OutOfOrder;
        }
    }
    // Apart, each of the three reads an index or one end of the table; together they would read
    // every row.
    Statement bounds = m_db.prepare(QStringLiteral("SELECT (SELECT MIN(%1) FROM Articles), "
                                                   "(SELECT MAX(%1) FROM Articles), "
                                                   "(SELECT COUNT(*) FROM Articles)")
                                        .arg(rowId));
    bounds.step();
    const qint64 count = bounds.int64(2);
    if (count == 0)
        return Outcome::Written;
    const qint64 first = bounds.int64(0);
    const qint64 last = bounds.int64(1);
    std::vector<RowRange> ranges = {{first, last, count}};
    if (twoReaders && count >= kRowsForTwoReaders) {
        // Two halves of the rowids; the rows before the middle tell where the second one goes.
        // Unsigned, the span of any two rowids is exact.
        const quint64 span = quint64(last) - quint64(first);
        const qint64 middle = qint64(quint64(first) + span / 2);
        // An imported catalogue numbers its rows without a gap: then nothing needs counting.
        const qint64 firstHalf =
            span == quint64(count - 1)
                ? qint64(span / 2 + 1)
                : m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM Articles WHERE %1 BETWEEN ? "
                                             "AND ?")
                                  .arg(rowId),
                              first, middle)
                      .toLongLong();
        ranges = {{first, middle, firstHalf}, {middle + 1, last, count - firstHalf}};
    }
    return writeRanges(tds, columns, ranges, &*order, twoReaders, handled, result);
}

// A catalogue imported from a file of another order stores each group's rows together, but
// the groups in another order. Each group's first and last rowid, found through the block-name
// index, then give its range without reading the table. Whether every range holds only its
// group's rows in row order is checked while they are written, and that no row was left out by
// the count written.
TdsExport::Outcome TdsExport::writeGroupSpans(SafeFile::Output &tds,
                                              const std::vector<ColumnInfo> &columns,
                                              const GroupRanks &ranks, bool twoReaders,
                                              qint64 &handled, ExportResult &result)
{
    const std::optional<StoredOrder> order = StoredOrder::of(ranks, columns);
    // Without the index each group's ends would be looked for through the whole table.
    if (!order || !Schema::isIndexed(m_db, Schema::kArticles, Schema::kBlockName))
        return Outcome::OutOfOrder;
    const QString rowId = rowIdName(columns);
    const qint64 count = m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM Articles")).toLongLong();
    Statement ends =
        m_db.prepare(QStringLiteral("SELECT (SELECT MIN(%1) FROM Articles WHERE BL_NAME = ?1), "
                                    "(SELECT MAX(%1) FROM Articles WHERE BL_NAME = ?1)")
                         .arg(rowId));
    std::vector<RowRange> ranges;
    qint64 spanned = 0;
    for (const QByteArray &name : ranks.names()) {
        ends.bind(1, QString::fromUtf8(name));
        ends.step();
        if (ends.type(0) == Statement::Type::Integer) {
            const qint64 first = ends.int64(0);
            const qint64 last = ends.int64(1);
            // Unsigned, the span of any two rowids is exact.
            const quint64 span = quint64(last) - quint64(first) + 1;
            if (span > quint64(count - spanned))
                return Outcome::OutOfOrder;
            ranges.push_back({first, last, qint64(span)});
            spanned += qint64(span);
        }
        ends.reset();
    }
    if (spanned != count)
        return Outcome::OutOfOrder;
    const qint64 handledBefore = handled;
    const Outcome outcome = writeRanges(tds, columns, ranges, &*order, twoReaders, handled, result);
    // Rows of no registered group, stored inside a range, were refused as out of order; stored
    // outside every range, they were not written.
    if (outcome == Outcome::Written && handled - handledBefore != count)
        return Outcome::OutOfOrder;
    return outcome;
}

// Writes the articles of the ranges in turn. With two readers the later half of the rows is
// read and written on a second thread, through a connection of its own, into its place in the
// file: every article record has the same length, so its place is known. Given an order, the
// rows are checked against it. Uneven, for the caller to write them again with one reader, when
// a record of nothing but blanks was left out before the second half (its place was then wrong)
// or another file has taken the catalogue's name.
TdsExport::Outcome TdsExport::writeRanges(SafeFile::Output &tds,
                                          const std::vector<ColumnInfo> &columns,
                                          const std::vector<RowRange> &ranges,
                                          const StoredOrder *order, bool twoReaders,
                                          qint64 &handled, ExportResult &result)
{
    qint64 total = 0;
    for (const RowRange &range : ranges)
        total += range.rows;
    size_t split = ranges.size();
    qint64 rowsBefore = 0;
    if (twoReaders && total >= kRowsForTwoReaders && m_db.canReadBeside()) {
        split = 0;
        while (split + 1 < ranges.size() && rowsBefore < total / 2)
            rowsBefore += ranges[split++].rows;
        if (split == 0)
            split = ranges.size();
    }
    const QString sql =
        QStringLiteral("SELECT * FROM Articles WHERE %1 BETWEEN ? AND ? ORDER BY %1")
            .arg(rowIdName(columns));
    // Writes ranges [from, to) with writer; false at the first row out of order.
    const auto writeSome = [&sql, &ranges](Database &db, RecordWriter &writer, size_t from,
                                           size_t to, std::optional<StoredOrder> &check,
                                           const std::atomic<bool> &stop) {
        Statement rows = db.prepare(sql);
        for (size_t i = from; i < to; ++i) {
            rows.bind(1, ranges[i].first).bind(2, ranges[i].last);
            while (rows.step()) {
                if (stop.load(std::memory_order_relaxed) || (check && !check->accept(rows)))
                    return false;
                writer.write(rows, RecordWriter::SecondField::Filled);
                writer.countHandled();
            }
            rows.reset();
        }
        writer.flush();
        return true;
    };

    RecordWriter writer(tds, Schema::kArticles, columns, m_progress, handled, result);
    std::optional<StoredOrder> check;
    if (order)
        check.emplace(*order);
    if (split == ranges.size()) {
        const std::atomic<bool> never{false};
        if (!writeSome(m_db, writer, 0, ranges.size(), check, never))
            return Outcome::OutOfOrder;
        writer.mergeLosses(result.losses);
        return Outcome::Written;
    }

    // The later half, beside this thread.
    struct Beside
    {
        std::atomic<bool> stop{false};
        std::atomic<qint64> handled{0};
        std::optional<StoredOrder> check;
        ExportResult result;
        bool opened = false;
        bool inOrder = false;
        qint64 end = 0;
        std::exception_ptr error;
        std::promise<void> finished;
        std::thread thread;
        ~Beside()
        {
            stop = true;
            if (thread.joinable())
                thread.join();
        }
    } beside;
    if (order)
        beside.check.emplace(*order);
    const qint64 start = tds.position() + rowsBefore * writer.lineLength();
    const std::future<void> finished = beside.finished.get_future();
    beside.thread = std::thread([&, start] {
        try {
            std::optional<Database> db = Database::openBeside(m_db);
            beside.opened = db.has_value();
            if (db) {
                CountingProgress progress(beside.handled);
                qint64 rows = 0;
                RecordWriter other(tds, Schema::kArticles, columns, progress, rows, beside.result);
                other.writeFrom(start);
                beside.inOrder =
                    writeSome(*db, other, split, ranges.size(), beside.check, beside.stop);
                beside.handled = rows;
                beside.end = other.end();
                other.mergeLosses(beside.result.losses);
            }
        } catch (...) {
            beside.error = std::current_exception();
        }
        beside.finished.set_value();
    });
    writer.countBeside(&beside.handled);
    const std::atomic<bool> never{false};
    const bool inOrder = writeSome(m_db, writer, 0, split, check, never);
    if (!inOrder)
        beside.stop = true;
    // The window keeps its turns while the other half is finished.
    waitWhilePulsing(finished, [&] {
        m_progress.update(handled + beside.handled.load(std::memory_order_relaxed));
    });
    beside.thread.join();
    if (inOrder && beside.error)
        std::rethrow_exception(beside.error);
    if (!beside.opened)
        return Outcome::Uneven;
    if (!inOrder || !beside.inOrder || (check && !check->joins(*beside.check)))
        return Outcome::OutOfOrder;
    if (tds.position() != start)
        return Outcome::Uneven;
    tds.seek(beside.end);
    handled += beside.handled.load();
    writer.mergeLosses(result.losses);
    result.linesWritten += beside.result.linesWritten;
    result.replacedCharacters += beside.result.replacedCharacters;
    for (const FieldLoss &loss : beside.result.losses)
        addLoss(result.losses, loss.field, loss.cut, loss.replaced);
    return Outcome::Written;
}

// Pass 1: the articles, by type number or group by group.
void TdsExport::writeArticles(SafeFile::Output &tds, const std::vector<ColumnInfo> &columns,
                              bool byType, qint64 &handled, ExportResult &result)
{
    RecordWriter writer(tds, Schema::kArticles, columns, m_progress, handled, result);
    if (byType) {
        Statement rows =
            m_db.prepare(QStringLiteral("SELECT * FROM Articles ORDER BY CLNG(%1), RAD")
                             .arg(quoteIdentifier(
                                 Schema::requiredColumn(m_db, Schema::kArticles, Schema::kType))));
        writer.writeEach(rows);
    } else if (writeInStoredOrder(tds, columns, handled, result)) {
        return;
    } else {
        // Group by group in the order of their descriptions, each group in row order; the
        // same as joining Articles with Designations, without sorting every article. A group
        // described twice is still written once.
        Statement groups = m_db.prepare(QString::fromLatin1(kGroupOrderSql));
        Statement rows =
            m_db.prepare(QStringLiteral("SELECT * FROM Articles WHERE BL_NAME = ? ORDER BY RAD"));
        while (groups.step()) {
            rows.bind(1, groups.text(0));
            writer.writeEach(rows);
            rows.reset();
        }
        // Articles of no group (a line without block name) are written last, never dropped.
        Statement orphans = m_db.prepare(QStringLiteral(
            "SELECT * FROM Articles AS a WHERE NOT EXISTS "
            "(SELECT 1 FROM Designations AS d WHERE d.BL_NAME = a.BL_NAME) ORDER BY RAD"));
        writer.writeEach(orphans);
    }
    writer.flush();
    writer.mergeLosses(result.losses);
}

// Pass 2 and 3: the ordinary equivalence lines, then the "=" lines whose target exists.
void TdsExport::writeEquivalences(SafeFile::Output &tds, const std::vector<ColumnInfo> &columns,
                                  qint64 &handled, ExportResult &result)
{
    const QString designation =
        quoteIdentifier(Schema::requiredColumn(m_db, Schema::kEqv, Schema::kDesignation));
    RecordWriter writer(tds, Schema::kEqv, columns, m_progress, handled, result);
    bool first = true;
    const auto writeOne = [&writer, &first](const Statement &row) {
        if (writer.write(row,
                         first ? RecordWriter::SecondField::Blank : RecordWriter::SecondField::Any))
            first = false;
    };
    Statement ordinary =
        m_db.prepare(QStringLiteral("SELECT * FROM Eqv WHERE IFNULL(%1, '') NOT LIKE '=%' "
                                    "ORDER BY RAD, rowid")
                         .arg(designation));
    while (ordinary.step()) {
        writeOne(ordinary);
        writer.countHandled();
    }
    const QSet<qint64> written = writtenReferences(m_db).rowids;
    Statement references = m_db.prepare(
        QStringLiteral("SELECT *, rowid FROM Eqv WHERE %1 LIKE '=%' ORDER BY RAD, rowid")
            .arg(designation));
    const int rowidColumn = int(columns.size());
    while (references.step()) {
        if (written.contains(references.int64(rowidColumn)))
            writeOne(references);
        writer.countHandled();
    }
    writer.flush();
    writer.mergeLosses(result.losses);
}

ExportResult TdsExport::write(const QString &outputPath)
{
    ExportResult result;
    m_notes.clear();
    const QString tdxPath = Paths::siblingOnDisk(Paths::tdxPathFor(outputPath));
    settleTargets(outputPath, tdxPath);

    const std::vector<ColumnInfo> articleColumns = m_db.columns(QLatin1String(Schema::kArticles));
    const std::vector<ColumnInfo> eqvColumns = m_db.columns(QLatin1String(Schema::kEqv));
    const FieldList fields = readFieldList(m_db);
    checkExportable(articleColumns, eqvColumns, fields);
    // Said in Swedish here, not as the engine's "no such column" halfway through.
    Schema::requiredColumn(m_db, Schema::kArticles, Schema::kBlockName);
    Schema::requiredColumn(m_db, Schema::kEqv, Schema::kBlockName);
    Schema::requiredColumn(m_db, Schema::kDesignations, Schema::kBlockName);
    Schema::requiredColumn(m_db, Schema::kDesignations, Schema::kDescription);

    qint64 handled = 0;
    const QString prefix = libraryPrefix(m_db);
    // The equivalences added here leave the articles as they were; the find index stays current.
    // Their commit may wait for the disk a while (right after an import, say), so it runs on a
    // thread of its own while the window keeps its turns; nothing else uses the connection.
    runWhilePulsing(
        [this, &prefix] {
            const bool indexed = FindIndex::prepare(m_db, false);
            if (completeEquivalences(m_db, prefix) > 0 && indexed)
                FindIndex::prepare(m_db, false);
        },
        [this] { m_progress.update(0); });
    const StatementPulse pulse(m_db, [this, &handled] { m_progress.update(handled); });

    SafeFile::Output tds(outputPath);
    SafeFile::Output tdx(tdxPath);

    const qint64 total = m_db.scalar(QStringLiteral("SELECT (SELECT COUNT(*) FROM Articles) + "
                                                    "(SELECT COUNT(*) FROM Eqv)"))
                             .toLongLong();
    m_progress.start(total);

    writeArticles(tds, articleColumns, isSortedByType(outputPath), handled, result);
    writeEquivalences(tds, eqvColumns, handled, result);

    // The field description beside it; the FieldList in use is not changed.
    qsizetype replacedInDescriptions = 0;
    const QByteArray description = tdxText(fields, &replacedInDescriptions);
    tdx.write(description);
    if (replacedInDescriptions > 0) {
        result.replacedCharacters += replacedInDescriptions;
        result.losses.append(
            {QStringLiteral("fältbeskrivningarna (.tdx)"), 0, replacedInDescriptions});
    }
    // Nothing is cut or replaced without a word: the old files stay unless that is wanted.
    if (!result.losses.isEmpty() && !lossAccepted(result.losses)) {
        m_progress.end();
        result.lossDeclined = true;
        result.notes = m_notes;
        return result;
    }

    // Both files are complete and on disk before either replaces an old one; then they are
    // replaced as one pair. The bar stays full while the disk catches up, but the window keeps
    // repainting.
    const auto repaint = [this, &handled] { m_progress.update(handled); };
    tds.finish(repaint);
    tdx.finish(repaint);
    SafeFile::replacePair(tds, tdx, repaint);
    m_progress.update(handled);
    m_progress.end();
    result.ok = true;
    result.notes = m_notes;
    return result;
}
