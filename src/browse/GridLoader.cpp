#include "browse/GridLoader.h"

#include "browse/GridStore.h"
#include "db/Database.h"

#include <QThread>

#include <algorithm>
#include <atomic>
#include <deque>
#include <exception>
#include <iterator>
#include <mutex>
#include <utility>

namespace {

// Rows gathered before the reading thread takes the lock to hand them over.
constexpr size_t kBlockRows = 2048;
// Rows handed to the view at a time: enough to arrive fast, few enough not to hold up the window.
constexpr size_t kTakeRows = 32768;
// How often the user-interface thread looks for rows: often enough to feel live, rarely
// enough to cost nothing.
constexpr int kPollMs = 30;

} // namespace

struct GridLoader::State
{
    std::atomic<bool> cancelled{false};
    std::mutex mutex;
    // Blocks as read, so no handing over moves more than a block.
    std::deque<Rows> pending;
    // The later share's blocks wait here until the earlier share is complete.
    std::deque<Rows> later;
    bool earlierDone = false;
    // Rows of the later share still to leave out: the first screen reached into it.
    qint64 laterSkip = 0;
    int running = 0;
    // At most this many rows in all, once known: the view makes room for them at once instead
    // of growing step by step, each step holding the old rows and the new ones.
    qint64 expected = -1;
    bool done = false;
    std::exception_ptr error;

    void dropSkipped(Rows &rows)
    {
        const auto n = std::ptrdiff_t(std::min<qint64>(laterSkip, qint64(rows.cells.size())));
        rows.cells.erase(rows.cells.begin(), rows.cells.begin() + n);
        rows.ids.erase(rows.ids.begin(), rows.ids.begin() + n);
        laterSkip -= n;
    }

    // Under the lock.
    void deliver(Rows &&rows, bool fromLater)
    {
        if (fromLater && !earlierDone) {
            later.push_back(std::move(rows));
            return;
        }
        if (fromLater)
            dropSkipped(rows);
        if (!rows.cells.empty())
            pending.push_back(std::move(rows));
    }

    // Under the lock: the earlier share is all there, `unskipped` of the rows to skip not met.
    void finishEarlier(qint64 unskipped)
    {
        earlierDone = true;
        laterSkip = unskipped;
        for (Rows &rows : std::exchange(later, {}))
            deliver(std::move(rows), true);
    }
};

GridLoader::GridLoader(QObject *parent) : QObject(parent)
{
    m_timer.setInterval(kPollMs);
    connect(&m_timer, &QTimer::timeout, this, &GridLoader::poll);
}

GridLoader::~GridLoader()
{
    stop();
}

void GridLoader::start(const QString &path, const ArticleSelection &selection,
                       const QStringList &headers, qint64 skip)
{
    cancel();
    auto state = std::make_shared<State>();
    m_state = state;
    // The root's groups are read in two shares side by side, each through its own connection;
    // the later share's rows are handed over once the earlier one's are.
    const int shares = selection.kind() == ArticleSelection::Kind::Root ? 2 : 1;
    state->running = shares;
    for (int index = 0; index < shares; ++index)
        startReader(path, selection, headers, {index, shares}, index == 0 ? skip : 0);
    m_timer.start();
}

void GridLoader::startReader(const QString &path, const ArticleSelection &selection,
                             const QStringList &headers, ArticleSelection::Share share, qint64 skip)
{
    const std::shared_ptr<State> state = m_state;
    // The loader outlives every thread it starts: its destructor waits for them.
    QThread *thread = QThread::create([this, state, path, selection, headers, share, skip] {
        const bool later = share.index > 0;
        try {
            Database db(path, Database::OpenMode::ReadOnly);
            // Two readers with the engine's usual page cache each would hold twice its memory.
            db.exec(QStringLiteral("PRAGMA cache_size = -256"));
            if (selection.kind() == ArticleSelection::Kind::Root && later) {
                // Counting the table is quick: the engine counts the pages of its smallest index.
                const qint64 expected =
                    db.scalar(QStringLiteral("SELECT COUNT(*) FROM Articles")).toLongLong();
                std::lock_guard lock(state->mutex);
                state->expected = expected;
            }
            GridStore::ArticleRowReader reader(headers);
            Rows block;
            auto handOver = [&] {
                std::lock_guard lock(state->mutex);
                state->deliver(std::move(block), later);
                block = {};
            };
            const qint64 passed = reader.readAll(
                db, selection,
                [&](PackedCells &&cells, qint64 id) {
                    if (state->cancelled.load(std::memory_order_relaxed))
                        return false;
                    block.cells.push_back(std::move(cells));
                    block.ids.push_back(id);
                    if (block.cells.size() >= kBlockRows)
                        handOver();
                    return true;
                },
                share, skip);
            handOver();
            if (!later) {
                std::lock_guard lock(state->mutex);
                state->finishEarlier(std::max<qint64>(0, skip - passed));
            }
        } catch (...) {
            std::lock_guard lock(state->mutex);
            if (!state->error)
                state->error = std::current_exception();
            // The other share's rows would leave a gap: it stops too.
            state->cancelled = true;
        }
        {
            std::lock_guard lock(state->mutex);
            state->done = --state->running == 0;
        }
        // The end is taken at once, not at the next look: a small view is then as quick as
        // reading it on the spot.
        QMetaObject::invokeMethod(this, &GridLoader::poll, Qt::QueuedConnection);
    });
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    std::erase_if(m_threads, [](const QPointer<QThread> &t) { return t.isNull(); });
    m_threads.emplace_back(thread);
    thread->start(QThread::LowPriority);
}

void GridLoader::cancel()
{
    if (m_state)
        m_state->cancelled = true;
    m_state.reset();
    m_timer.stop();
}

void GridLoader::stop()
{
    cancel();
    for (const QPointer<QThread> &thread : m_threads) {
        if (thread)
            thread->wait();
    }
    m_threads.clear();
}

qint64 GridLoader::expectedRows() const
{
    if (!m_state)
        return -1;
    std::lock_guard lock(m_state->mutex);
    return m_state->expected;
}

GridLoader::Rows GridLoader::take()
{
    if (!m_state)
        return {};
    std::lock_guard lock(m_state->mutex);
    Rows taken;
    while (!m_state->pending.empty() && taken.cells.size() < kTakeRows) {
        Rows &block = m_state->pending.front();
        std::move(block.cells.begin(), block.cells.end(), std::back_inserter(taken.cells));
        taken.ids.insert(taken.ids.end(), block.ids.begin(), block.ids.end());
        m_state->pending.pop_front();
    }
    m_taken = !taken.cells.empty();
    return taken;
}

void GridLoader::poll()
{
    if (!m_state)
        return;
    bool done = false;
    bool rows = false;
    std::exception_ptr error;
    {
        std::lock_guard lock(m_state->mutex);
        done = m_state->done;
        rows = !m_state->pending.empty();
        error = m_state->error;
    }
    m_taken = false;
    if (rows)
        emit rowsReady();
    if (!m_state)
        return; // a slot cancelled the load
    // The window gets its turn between two handfuls of a large pile of rows.
    bool more = false;
    {
        std::lock_guard lock(m_state->mutex);
        more = !m_state->pending.empty();
    }
    if (more && m_taken) {
        QMetaObject::invokeMethod(this, &GridLoader::poll, Qt::QueuedConnection);
        return;
    }
    if (!done || more)
        return;
    m_state.reset();
    m_timer.stop();
    m_lastError = error;
    if (!error)
        emit finished();
    else
        emit failed();
}
