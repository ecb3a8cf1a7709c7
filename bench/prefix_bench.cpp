// Times renaming the library of a working database. The database is changed, so run it on a
// copy. Prints figures; never judges them.
//
//   kvistbo_bench_prefix DB.tdb OLD NEW   renames OLD to NEW
//   kvistbo_bench_prefix --sql DB.tdb     prints the statements the rename runs, one a line,
//                                         with the old prefix as ?1 and the new one as ?2

#include "BenchFailure.h"
#include "core/AppError.h"
#include "db/Database.h"
#include "edit/PrefixChange.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QString>

#include <cstdio>
#include <exception>

namespace {

int usage()
{
    std::fprintf(stderr, "usage: kvistbo_bench_prefix DB.tdb OLD NEW\n"
                         "       kvistbo_bench_prefix --sql DB.tdb\n");
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const bool printSql = args.size() == 3 && args.at(1) == QLatin1String("--sql");
    if (!printSql && args.size() != 4)
        return usage();

    try {
        if (printSql) {
            Database db(args.at(2), Database::OpenMode::ReadOnly);
            for (const QString &sql : PrefixChange::renameStatements(db))
                std::printf("%s;\n", sql.toUtf8().constData());
            return 0;
        }
        QElapsedTimer timer;
        timer.start();
        Database db(args.at(1), Database::OpenMode::ReadWrite);
        const double openMs = double(timer.nsecsElapsed()) / 1e6;
        timer.restart();
        PrefixChange::rename(db, args.at(2), args.at(3));
        const double renameMs = double(timer.nsecsElapsed()) / 1e6;
        std::printf("open_ms=%.1f rename_ms=%.1f\n", openMs, renameMs);
    } catch (const std::exception &e) {
        return reportFailure(e);
    }
    return 0;
}
