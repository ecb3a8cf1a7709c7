#pragma once

#include "browse/ArticleSelection.h"
#include "browse/PackedCells.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <exception>
#include <memory>
#include <vector>

class QThread;

// Reads the rest of a view's rows on a thread of its own, through a read-only connection to the
// working database, and hands them over in blocks on the thread that started it. The editing
// connection stays the only writer, and the file's journal mode is left as it is.
class GridLoader : public QObject
{
    Q_OBJECT
public:
    struct Rows
    {
        std::vector<PackedCells> cells;
        std::vector<qint64> ids;
    };

    explicit GridLoader(QObject *parent = nullptr);
    // Stops every reading thread and waits for them; they stop within a row.
    ~GridLoader() override;

    // Starts reading the selection's rows after the first `skip`, the columns matched by the
    // grid's header names. A load still running is cancelled first.
    void start(const QString &path, const ArticleSelection &selection, const QStringList &headers,
               qint64 skip);
    // Nothing more arrives after this; the thread ends by itself, nobody waits for it.
    void cancel();
    // Cancels and waits until no thread reads the file any more (before it is closed or
    // replaced).
    void stop();
    bool isLoading() const { return m_state != nullptr; }
    // Rows read and not yet taken, a handful at a time; a slot of rowsReady takes them.
    Rows take();
    // How many rows the view will have at most, -1 while unknown.
    qint64 expectedRows() const;
    std::exception_ptr lastError() const { return m_lastError; }

signals:
    // Rows wait to be taken.
    void rowsReady();
    // Every row was handed over (after the last rowsReady).
    void finished();
    // Reading failed (lastError() says why); the rows handed over so far are all there will be.
    void failed();

private:
    struct State;
    void startReader(const QString &path, const ArticleSelection &selection,
                     const QStringList &headers, ArticleSelection::Share share, qint64 skip);
    void poll();

    std::shared_ptr<State> m_state;
    std::vector<QPointer<QThread>> m_threads;
    QTimer m_timer;
    std::exception_ptr m_lastError;
    bool m_taken = false; // rows were taken since the last look
};
