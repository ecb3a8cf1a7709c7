// The .tdx reader: parse, create the tables, read names, widths and descriptions back.
#include "FuzzSupport.h"

#include "core/AppError.h"
#include "db/Database.h"
#include "db/Schema.h"
#include "db/TdxFile.h"
#include "db/WorkingDatabase.h"

#include <QByteArray>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > size_t(kMaxTdxSize))
        return 0;
    QuietPrompter prompter;
    FieldList fields;
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const int entries = parseTdx(bytes, QStringLiteral("fuzz.tdx"), fields, prompter);
    if (entries <= 0)
        return 0;
    FUZZ_CHECK(entries == fields.size());
    qsizetype start = 1;
    for (qsizetype i = 1; i < fields.size(); ++i) {
        FUZZ_CHECK(fields.at(i).Start == start);
        FUZZ_CHECK(fields.at(i).Length >= 0 && fields.at(i).Length <= 32767);
        start += fields.at(i).Length;
    }

    Database db(QStringLiteral(":memory:"), Database::OpenMode::Create);
    try {
        Schema::createTables(db, fields);
        Schema::createIndexes(db, fields);
    } catch (const AppError &) {
        return 0; // a name the engine refuses (twice, reserved) is reported, not a fault
    }
    const FieldList back = readFieldList(db);
    FUZZ_CHECK(back.size() == fields.size());
    for (qsizetype i = 1; i < fields.size(); ++i) {
        FUZZ_CHECK(back.at(i).Name == fields.at(i).Name);
        FUZZ_CHECK(back.at(i).Length == fields.at(i).Length);
        FUZZ_CHECK(back.at(i).Description == fields.at(i).Description);
    }
    return 0;
}
