#include "browse/GridLoader.h"

#include "browse/GridStore.h"
#include "db/Database.h"

#include <QThread>

#include <atomic>
#include <exception>
#include <mutex>

namespace {

// Rows gathered before the reading thread takes the lock to hand them over.
constexpr size_t kBlockRows = 2048;
// How often the user-interface thread looks for rows: often enough to feel live, rarely
// enough to cost nothing.
constexpr int kPollMs = 30;

} // namespace

struct GridLoader::State
{
    std::atomic<bool> cancelled{false};
    std::mutex mutex;
    Rows pending;
    bool done = false;
    std::exception_ptr error;
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
    // The loader outlives every thread it starts: its destructor waits for them.
    QThread *thread = QThread::create([this, state, path, selection, headers, skip] {
        try {
            Database db(path, Database::OpenMode::ReadOnly);
            GridStore::ArticleRowReader reader(headers);
            qint64 seen = 0;
            Rows block;
            auto handOver = [&] {
                std::lock_guard lock(state->mutex);
                if (state->pending.cells.empty()) {
                    state->pending = std::move(block);
                } else {
                    std::move(block.cells.begin(), block.cells.end(),
                              std::back_inserter(state->pending.cells));
                    state->pending.ids.insert(state->pending.ids.end(), block.ids.begin(),
                                              block.ids.end());
                }
                block = {};
            };
            reader.readAll(db, selection, [&](PackedCells &&cells, qint64 id) {
                if (state->cancelled.load(std::memory_order_relaxed))
                    return false;
                if (seen++ < skip)
                    return true;
                block.cells.push_back(std::move(cells));
                block.ids.push_back(id);
                if (block.cells.size() >= kBlockRows)
                    handOver();
                return true;
            });
            handOver();
        } catch (...) {
            std::lock_guard lock(state->mutex);
            state->error = std::current_exception();
        }
        {
            std::lock_guard lock(state->mutex);
            state->done = true;
        }
        // The end is taken at once, not at the next look: a small view is then as quick as
        // reading it on the spot.
        QMetaObject::invokeMethod(this, &GridLoader::poll, Qt::QueuedConnection);
    });
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    std::erase_if(m_threads, [](const QPointer<QThread> &t) { return t.isNull(); });
    m_threads.emplace_back(thread);
    thread->start(QThread::LowPriority);
    m_timer.start();
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

GridLoader::Rows GridLoader::take()
{
    if (!m_state)
        return {};
    std::lock_guard lock(m_state->mutex);
    return std::exchange(m_state->pending, {});
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
        rows = !m_state->pending.cells.empty();
        error = m_state->error;
    }
    if (rows)
        emit rowsReady();
    if (!done || !m_state)
        return; // a slot may have cancelled the load
    m_state.reset();
    m_timer.stop();
    m_lastError = error;
    if (!error)
        emit finished();
    else
        emit failed();
}
