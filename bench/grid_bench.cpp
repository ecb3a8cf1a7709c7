// Times the article grid on a working database: the first screen of a view, the whole view
// arriving in the background, reading every cell, a sort and a fill down over every row, with
// the longest gap between two turns of the event loop during each; and the group tree with
// many groups, walked by an accessibility client, then closed. Prints figures; never judges.
//
//   kvistbo_bench_grid DB.tdb root|group BLOCKNAME [TDS_FILE]
//   kvistbo_bench_grid tree [GROUPS]

#include "BenchFailure.h"
#include "browse/ArticleGrid.h"
#include "browse/ArticleSelection.h"
#include "browse/GridRules.h"
#include "core/BatchPrompter.h"
#include "edit/Fill.h"
#include "session/CatalogueSession.h"
#include "ui/GroupTreeView.h"

#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QScrollBar>
#include <QTimer>

#include <sys/resource.h>

#include <cstdio>
#include <exception>
#include <functional>

namespace {

int usage()
{
    std::fprintf(stderr, "usage: kvistbo_bench_grid DB.tdb root|group BLOCKNAME [TDS_FILE]\n"
                         "       kvistbo_bench_grid tree [GROUPS]\n");
    return 2;
}

double peakRssMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0; // KiB on Linux
}

double ms(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// The longest time between two turns of the event loop while it runs: a timer that should fire
// every few milliseconds notes how late it comes.
class StallMeter
{
public:
    StallMeter()
    {
        m_timer.setInterval(2);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            m_longest = qMax(m_longest, ms(m_sinceLast));
            m_sinceLast.restart();
        });
    }
    void start()
    {
        m_longest = 0;
        m_sinceLast.start();
        m_timer.start();
    }
    double stop()
    {
        m_longest = qMax(m_longest, ms(m_sinceLast));
        m_timer.stop();
        return m_longest;
    }

private:
    QTimer m_timer;
    QElapsedTimer m_sinceLast;
    double m_longest = 0;
};

// Runs `work` from the event loop and returns its time; the stall meter sees the loop around it.
double timedInLoop(const std::function<void()> &work)
{
    QEventLoop loop;
    double elapsed = 0;
    QTimer::singleShot(5, [&] {
        QElapsedTimer timer;
        timer.start();
        work();
        elapsed = ms(timer);
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
    });
    loop.exec();
    return elapsed;
}

int benchView(const QStringList &args)
{
    const QString path = args.at(1);
    const QString kind = args.at(2);
    ArticleSelection selection;
    if (kind == QLatin1String("root"))
        selection = ArticleSelection::root();
    else if (kind == QLatin1String("group") && args.size() >= 4)
        selection = ArticleSelection::group(args.at(3));
    else
        return usage();
    const QString tds = args.size() > (kind == QLatin1String("root") ? 3 : 4)
                            ? args.at(kind == QLatin1String("root") ? 3 : 4)
                            : QString();

    BatchPrompter prompter;
    CatalogueSession session(prompter);
    QElapsedTimer timer;
    timer.start();
    if (!session.OpenMDB(path))
        return 1;
    const double openMs = ms(timer);

    // KVISTBO_BENCH_AT_ONCE=1 reads the whole view on the calling thread, for comparison.
    if (qEnvironmentVariableIntValue("KVISTBO_BENCH_AT_ONCE") == 1)
        session.setFirstScreenRows(-1);
    StallMeter stall;
    QEventLoop loaded;
    QObject::connect(&session, &CatalogueSession::rowsLoaded, &loaded, [&](qint64, bool done) {
        if (done)
            loaded.quit();
    });
    stall.start();
    timer.restart();
    session.show(selection);
    const double firstScreenMs = ms(timer);
    const int firstRows = session.grid().rows() - 1;
    if (session.isLoading())
        loaded.exec();
    const double fillMs = ms(timer);
    const double fillStallMs = stall.stop();
    ArticleGrid &grid = session.grid();

    timer.restart();
    qint64 chars = 0;
    for (int r = 0; r < grid.rows(); ++r) {
        for (int c = 0; c < grid.cols(); ++c)
            chars += grid.text(r, c).size();
    }
    const double touchMs = ms(timer);
    const double peak = peakRssMiB();

    // As in the window: long grid operations let the event loop turn every 40 ms.
    QElapsedTimer beat;
    beat.start();
    grid.setPulse([&beat] {
        if (beat.elapsed() >= 40) {
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            beat.restart();
        }
    });
    const int sortColumn = grid.cols() - 1;
    stall.start();
    const double sortMs = timedInLoop(
        [&] { GridRules::sortGrid(grid, sortColumn, false, selection.singleGroupView()); });
    const double sortStallMs = stall.stop();

    grid.setSelection({1, sortColumn, grid.rows() - 1, sortColumn});
    stall.start();
    const double fillDownMs = timedInLoop([&] { Fill::fillDown(grid); });
    const double fillDownStallMs = stall.stop();

    std::printf("rows=%d open_fill_ms=%.1f open_ms=%.1f first_screen_ms=%.1f "
                "first_screen_rows=%d full_fill_ms=%.1f fill_stall_ms=%.1f touch_ms=%.1f "
                "chars=%lld peak_rss_mib=%.1f",
                grid.rows() - 1, openMs + fillMs, openMs, firstScreenMs, firstRows, fillMs,
                fillStallMs, touchMs, static_cast<long long>(chars), peak);
    if (!tds.isEmpty())
        std::printf(" peak_over_tds=%.2f", peak * 1024 * 1024 / double(QFileInfo(tds).size()));
    std::printf(" sort_ms=%.1f sort_stall_ms=%.1f filldown_ms=%.1f filldown_stall_ms=%.1f\n",
                sortMs, sortStallMs, fillDownMs, fillDownStallMs);
    return 0;
}

void walk(QAccessibleInterface *iface, int &visited)
{
    if (!iface)
        return;
    ++visited;
    (void)iface->text(QAccessible::Name);
    for (int i = 0; i < iface->childCount(); ++i)
        walk(iface->child(i), visited);
}

int benchTree(const QStringList &args)
{
    const int count = args.size() > 2 ? args.at(2).toInt() : 20000;
    QList<GroupTree::Group> groups;
    for (int i = 0; i < count; ++i)
        groups.append({QStringLiteral("G%1").arg(i, 6, 10, QLatin1Char('0')),
                       QStringLiteral("Grupp %1").arg(i, 6, 10, QLatin1Char('0'))});

    auto *window = new QWidget;
    auto *tree = new GroupTreeView(window);
    tree->resize(300, 600);
    tree->setManufacturerLoader([](const QString &) -> std::optional<QStringList> {
        return QStringList{QStringLiteral("ABB"), QStringLiteral("Hager")};
    });
    window->show();
    QElapsedTimer timer;
    timer.start();
    tree->build(groups, {});
    QApplication::processEvents();
    const double buildMs = ms(timer);

    QAccessibleInterface *root = QAccessible::queryAccessibleInterface(tree);
    int visited = 0;
    timer.restart();
    walk(root, visited);
    const double walkMs = ms(timer);

    StallMeter stall;
    stall.start();
    QTreeWidgetItem *middle =
        tree->itemWithKey(GroupTree::groupKey(groups.at(count / 2).blockName));
    const double expandMs = timedInLoop([&] {
        middle->setExpanded(true);
        tree->repaint();
    });
    const double scrollMs = timedInLoop([&] {
        tree->verticalScrollBar()->setValue(tree->verticalScrollBar()->maximum());
        tree->repaint();
    });
    const double pickMs = timedInLoop([&] {
        tree->setCurrentKey(GroupTree::groupKey(groups.at(count - 1).blockName));
        tree->markCurrentBold();
        tree->repaint();
    });
    const double treeStallMs = stall.stop();

    timer.restart();
    delete window;
    const double quitMs = ms(timer);
    std::printf("a11y_active=%d ", int(QAccessible::isActive()));
    std::printf("groups=%d build_ms=%.1f a11y_walk_ms=%.1f a11y_nodes=%d expand_ms=%.1f "
                "scroll_ms=%.1f pick_ms=%.1f tree_stall_ms=%.1f quit_ms=%.1f\n",
                count, buildMs, walkMs, visited, expandMs, scrollMs, pickMs, treeStallMs, quitMs);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    // No window is shown; without a display the figures are the same.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    try {
        if (args.size() >= 2 && args.at(1) == QLatin1String("tree"))
            return benchTree(args);
        if (args.size() < 3)
            return usage();
        return benchView(args);
    } catch (const std::exception &e) {
        return reportFailure(e);
    }
}
