// The .tds import: text check, load into the tables, build the indexes; every line that is not
// blank becomes exactly one row.
#include "FuzzSupport.h"

#include "core/AppError.h"
#include "core/Progress.h"
#include "core/TextFileCheck.h"
#include "db/Database.h"
#include "db/Schema.h"
#include "db/TdsImport.h"
#include "db/TdxFile.h"

#include <QByteArray>

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
    return 0;
}
