// The export of a working database from outside: a hostile .tdb (a damaged file, odd tables,
// values of any type and length) is opened and written as a .tds/.tdx pair. It may be refused
// with a message; it must never crash, hang or leak.
#include "FuzzSupport.h"

#include "core/AppError.h"
#include "core/Progress.h"
#include "db/TdsExport.h"
#include "db/WorkingDatabase.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QTemporaryDir dir;
    FUZZ_CHECK(dir.isValid());
    const QString tdb = dir.filePath(QStringLiteral("fuzz.tdb"));
    {
        QFile file(tdb);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly));
        FUZZ_CHECK(file.write(reinterpret_cast<const char *>(data), qint64(size)) == qint64(size));
    }
    QuietPrompter prompter;
    NullProgress progress;
    try {
        WorkingDatabase working = WorkingDatabase::open(tdb);
        TdsExport exporter(working.db(), prompter, progress);
        // Values the file cannot hold are written cut or as "?", as --allow-lossy does.
        exporter.setLossPolicy(TdsExport::LossPolicy::Allow);
        exporter.write(dir.filePath(QStringLiteral("ut.tds")));
    } catch (const AppError &) {
        // refused with a message: not a database, damaged, a table the export cannot write
    }
    // Whatever happened, nothing but the input and a complete pair is left.
    const QStringList left =
        QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString &name : left)
        FUZZ_CHECK(!name.startsWith(QLatin1String(".ut.")));
    return 0;
}
