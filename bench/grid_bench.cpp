// Times opening a working database and filling the article grid for the root or one group,
// then reads every cell once as a scrolling view would. Prints figures; never judges them.
//
//   kvistbo_bench_grid DB.tdb root|group BLOCKNAME

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

#include <sys/resource.h>

#include <cstdio>
#include <exception>

namespace {

int usage()
{
    std::fprintf(stderr, "usage: kvistbo_bench_grid DB.tdb root|group BLOCKNAME\n");
    return 2;
}

double peakRssMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0; // KiB on Linux
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3)
        return usage();
    const QString path = args.at(1);
    const QString kind = args.at(2);
    ArticleSelection selection;
    if (kind == QLatin1String("root") && args.size() == 3)
        selection = ArticleSelection::root();
    else if (kind == QLatin1String("group") && args.size() == 4)
        selection = ArticleSelection::group(args.at(3));
    else
        return usage();

    try {
        QElapsedTimer timer;
        timer.start();
        WorkingDatabase working = WorkingDatabase::open(path);
        ArticleGrid grid;
        grid.setupColumns(working.fields());
        NullProgress progress;
        GridStore::PopulateGrid(working.db(), selection, grid, progress);
        const double openFillMs = double(timer.nsecsElapsed()) / 1e6;

        timer.restart();
        qint64 chars = 0;
        for (int r = 0; r < grid.rows(); ++r) {
            for (int c = 0; c < grid.cols(); ++c)
                chars += grid.textView(r, c).size();
        }
        const double touchMs = double(timer.nsecsElapsed()) / 1e6;

        std::printf("rows=%d open_fill_ms=%.1f touch_ms=%.1f chars=%lld peak_rss_mib=%.1f\n",
                    grid.rows() - 1, openFillMs, touchMs, static_cast<long long>(chars),
                    peakRssMiB());
    } catch (const std::exception &e) {
        return reportFailure(e);
    }
    return 0;
}
