// Times the catalogue check of a .tds file against its import in the same run: the import
// builds the working database beside the file (replacing one there), then the check reads it.
// Prints figures; never judges them.
//
//   kvistbo_bench_check FILE.tds [ACCESSORY_PREFIX]

#include "BenchFailure.h"
#include "check/CatalogueCheck.h"
#include "core/BatchPrompter.h"
#include "core/Progress.h"
#include "db/Database.h"
#include "db/TdsImport.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <exception>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2 || args.size() > 3) {
        std::fprintf(stderr, "usage: kvistbo_bench_check FILE.tds [ACCESSORY_PREFIX]\n");
        return 2;
    }
    try {
        BatchPrompter prompter;
        NullProgress progress;
        TdsImport importer(prompter, progress);
        importer.setReplaceWithoutAsking(true);
        QElapsedTimer timer;
        timer.start();
        const ImportResult imported = importer.run(args.at(1));
        const double importMs = double(timer.nsecsElapsed()) / 1e6;
        if (!imported.ok)
            return 1;

        Database db(imported.dbPath, Database::OpenMode::ReadOnly);
        timer.restart();
        const Findings findings =
            CatalogueCheck(db, args.size() > 2 ? args.at(2) : QStringLiteral("TILLB")).run();
        const double checkMs = double(timer.nsecsElapsed()) / 1e6;
        std::printf("lines=%lld findings=%lld import_ms=%.1f check_ms=%.1f check_ratio=%.2f\n",
                    imported.articleRows + imported.eqvRows, qint64(findings.size()), importMs,
                    checkMs, checkMs / importMs);
    } catch (const std::exception &e) {
        return reportFailure(e);
    }
    return 0;
}
