// Times saving the root view of a working database after an edit. The database is changed, so
// run it on a copy. Prints figures; never judges them.
//
//   kvistbo_bench_save DB.tdb one|delete|all|every-cell
//
// one: one designation edited; delete: one article deleted; all: the designation of every
// article edited; every-cell: every text cell of every article edited.

#include "BenchFailure.h"
#include "browse/ArticleGrid.h"
#include "browse/ArticleSelection.h"
#include "browse/GridStore.h"
#include "core/AppError.h"
#include "core/Progress.h"
#include "db/WorkingDatabase.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QString>

#include <cstdio>
#include <exception>

namespace {

int usage()
{
    std::fprintf(stderr, "usage: kvistbo_bench_save DB.tdb one|delete|all|every-cell\n");
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3)
        return usage();
    const QString mode = args.at(2);
    if (mode != QLatin1String("one") && mode != QLatin1String("delete") &&
        mode != QLatin1String("all") && mode != QLatin1String("every-cell"))
        return usage();

    try {
        WorkingDatabase working = WorkingDatabase::open(args.at(1));
        ArticleGrid grid;
        grid.setupColumns(working.fields());
        NullProgress progress;
        const ArticleSelection root = ArticleSelection::root();
        GridStore::PopulateGrid(working.db(), root, grid, progress);
        const int designation = grid.GetColumn(QStringLiteral("BENÄMNING"));
        const int middle = grid.rows() / 2;
        if (mode == QLatin1String("one")) {
            grid.setText(middle, designation, QStringLiteral("Ändrad benämning"));
        } else if (mode == QLatin1String("delete")) {
            grid.removeRows(middle, 1);
        } else {
            // From BL_NAME on: the row number and block name stay.
            const int first = mode == QLatin1String("all") ? designation : 3;
            const int last = mode == QLatin1String("all") ? designation : grid.cols() - 1;
            for (int r = 1; r < grid.rows(); ++r) {
                for (int c = first; c <= last; ++c)
                    grid.setText(r, c, QStringLiteral("Ä%1").arg(r % 1000));
            }
        }

        QElapsedTimer timer;
        timer.start();
        GridStore::saveGrid(working.db(), root, grid, progress);
        const double saveMs = double(timer.nsecsElapsed()) / 1e6;
        std::printf("rows=%d edit=%s save_ms=%.1f\n", grid.rows() - 1, qPrintable(mode), saveMs);
    } catch (const std::exception &e) {
        return reportFailure(e);
    }
    return 0;
}
