// The .tds import: text check, load into the tables, build the indexes; every line that is not
// blank becomes exactly one row. When the input's second bit says so, an accepted input also
// goes import -> export -> import -> export, and the two exports must be equal: what the export
// writes, the import reads back unchanged.
#include "FuzzSupport.h"

#include "core/AppError.h"
#include "core/Progress.h"
#include "core/TextFileCheck.h"
#include "db/Database.h"
#include "db/Schema.h"
#include "db/TdsExport.h"
#include "db/TdsImport.h"
#include "db/TdxFile.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <optional>

namespace {

// The first input byte picks the layout, so short and long records are both reached.
FieldList layout(uint8_t choice)
{
    QuietPrompter prompter;
    FieldList fields;
    const QByteArray wide("BL_NAME,Blocknamn,8\r\nTYP,Typ,3\r\nBEN\xc4MNING,Ben\xe4mning,20\r\n"
                          "FABRIKAT,Fabrikat,12\r\n");
    const QByteArray narrow("BL_NAME,Blocknamn,2\r\nTYP,Typ,1\r\nX,,0\r\n");
    const QByteArray tdx = (choice & 1) ? wide : narrow;
    parseTdx(tdx, QStringLiteral("layout.tdx"), fields, prompter);
    return fields;
}

struct Pair
{
    QByteArray tds;
    QByteArray tdx;
    bool operator==(const Pair &) const = default;
};

// The export of db, or nothing when it refuses a value.
std::optional<Pair> exported(Database &db)
{
    QTemporaryDir dir;
    FUZZ_CHECK(dir.isValid());
    QuietPrompter prompter;
    NullProgress progress;
    const QString tds = dir.filePath(QStringLiteral("ut.tds"));
    try {
        TdsExport exporter(db, prompter, progress);
        // Values the file cannot hold are written cut or as "?", as --allow-lossy does.
        exporter.setLossPolicy(TdsExport::LossPolicy::Allow);
        exporter.write(tds);
    } catch (const AppError &) {
        return std::nullopt;
    }
    QFile tdsFile(tds);
    QFile tdxFile(dir.filePath(QStringLiteral("ut.tdx")));
    FUZZ_CHECK(tdsFile.open(QIODevice::ReadOnly) && tdxFile.open(QIODevice::ReadOnly));
    return Pair{tdsFile.readAll(), tdxFile.readAll()};
}

void checkRoundTrip(Database &db, const FieldList &fields)
{
    const std::optional<Pair> first = exported(db);
    if (!first)
        return;
    Database again(QStringLiteral(":memory:"), Database::OpenMode::Create);
    Schema::createTables(again, fields);
    NullProgress progress;
    ImportResult result;
    try {
        Transaction transaction(again);
        TdsImport::loadLines(again, fields, first->tds, progress, result);
        Schema::createIndexes(again, fields);
        transaction.commit();
    } catch (const AppError &e) {
        std::fprintf(stderr, "the export is refused by the import: %s\n", e.what());
        FUZZ_CHECK(false);
    }
    const std::optional<Pair> second = exported(again);
    FUZZ_CHECK(second.has_value());
    if (!(*first == *second))
        std::fprintf(stderr, "first export:\n%s\nsecond export:\n%s\n",
                     first->tds.toPercentEncoding(" =").constData(),
                     second->tds.toPercentEncoding(" =").constData());
    FUZZ_CHECK(*first == *second);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const FieldList fields = layout(data[0]);
    const QByteArrayView text(reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1));
    if (TextFileCheck::of(text).kind == TextFileCheck::Kind::Binary)
        return 0;

    Database db(QStringLiteral(":memory:"), Database::OpenMode::Create);
    Schema::createTables(db, fields);
    NullProgress progress;
    ImportResult result;
    try {
        Transaction transaction(db);
        TdsImport::loadLines(db, fields, text, progress, result);
        Schema::createIndexes(db, fields);
        transaction.commit();
    } catch (const AppError &) {
        return 0; // refused with a message (a record run together by a lone CR, ...)
    }
    FUZZ_CHECK(db.scalar(QStringLiteral("SELECT COUNT(*) FROM Articles")).toLongLong() ==
               result.articleRows);
    FUZZ_CHECK(db.scalar(QStringLiteral("SELECT COUNT(*) FROM Eqv")).toLongLong() ==
               result.eqvRows);
    FUZZ_CHECK(db.scalar(QStringLiteral("PRAGMA integrity_check")).toString() ==
               QLatin1String("ok"));
    if (data[0] & 2)
        checkRoundTrip(db, fields);
    return 0;
}
