// Times an import, an export or a find as the window runs them, and the longest time the
// event loop got no turn meanwhile (the window repaints only on a turn). Prints figures; never
// judges them.
//
//   kvistbo_bench_stall import FILE.tds
//   kvistbo_bench_stall export DB.tdb OUT.tds
//   kvistbo_bench_stall find DB.tdb TEXT     (the editing connection, as the window has it)

#include "BenchFailure.h"
#include "browse/ArticleSearch.h"
#include "core/BatchPrompter.h"
#include "core/Progress.h"
#include "db/TdsExport.h"
#include "db/TdsImport.h"
#include "db/WorkingDatabase.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <exception>

namespace {

// A turn of the event loop on every call, as the window's progress pane gives one.
class TurnClock final : public Progress
{
public:
    TurnClock() { m_clock.start(); }
    void start(qint64) override { turn(); }
    void update(qint64) override { turn(); }
    void end() override { turn(); }

    void turn()
    {
        const qint64 now = m_clock.nsecsElapsed();
        m_longest = std::max(m_longest, now - m_last);
        m_last = now;
        ++m_turns;
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    double elapsedMs() const { return double(m_clock.nsecsElapsed()) / 1e6; }
    double longestMs() const { return double(m_longest) / 1e6; }
    qint64 turns() const { return m_turns; }

private:
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
    qint64 m_turns = 0;
};

int usage()
{
    std::fprintf(stderr, "usage: kvistbo_bench_stall import FILE.tds\n"
                         "       kvistbo_bench_stall export DB.tdb OUT.tds\n"
                         "       kvistbo_bench_stall find DB.tdb TEXT\n");
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3)
        return usage();
    const QString op = args.at(1);
    BatchPrompter prompter;
    try {
        bool ok = false;
        TurnClock clock;
        if (op == QLatin1String("import") && args.size() == 3) {
            TdsImport importer(prompter, clock);
            importer.setReplaceWithoutAsking(true);
            ok = importer.run(args.at(2)).ok;
        } else if (op == QLatin1String("export") && args.size() == 4) {
            WorkingDatabase working = WorkingDatabase::open(args.at(2));
            TdsExport exporter(working.db(), prompter, clock);
            exporter.setLossPolicy(TdsExport::LossPolicy::Allow);
            ok = exporter.run(args.at(3)).ok;
        } else if (op == QLatin1String("find") && args.size() == 4) {
            WorkingDatabase working = WorkingDatabase::open(args.at(2));
            ArticleSearch::find(working.db(), args.at(3), 500, &clock);
            ok = true;
        } else {
            return usage();
        }
        clock.turn();
        std::printf("%s_ms=%.1f longest_stall_ms=%.1f turns=%lld%s\n", qPrintable(op),
                    clock.elapsedMs(), clock.longestMs(), clock.turns(), ok ? "" : " FAILED");
        return ok ? 0 : 1;
    } catch (const std::exception &e) {
        return reportFailure(e);
    }
}
