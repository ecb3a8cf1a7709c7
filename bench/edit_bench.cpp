// Times the grid operations that walk every row, on a root view of 50,000 articles built in
// memory: fill down over the whole column and renumbering after a sort. Then the same fill and a
// sort while the grid records its undo history, with the undo and redo of each, as ratios
// against the plain fill. Prints figures only.

#include "browse/ArticleGrid.h"
#include "browse/GridChange.h"
#include "browse/RowNumbering.h"
#include "edit/Fill.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <algorithm>
#include <random>

namespace {

ArticleGrid makeGrid(int rows)
{
    FieldList fields{
        {"RAD", {}, 6, 0}, {"BL_NAME", {}, 10, 1}, {"TYP", {}, 4, 11}, {"BENÄMNING", {}, 40, 15}};
    for (int i = 0; i < 16; ++i)
        fields.append({QStringLiteral("F%1").arg(i), {}, 12, 0});
    ArticleGrid grid;
    grid.setupColumns(fields);
    grid.reserve(rows + 1);
    std::mt19937 random(7);
    std::vector<int> numbers(static_cast<size_t>(rows));
    for (int i = 0; i < rows; ++i)
        numbers[size_t(i)] = i * 10;
    std::shuffle(numbers.begin(), numbers.end(), random);
    for (int r = 1; r <= rows; ++r) {
        QStringList values{QString(), QString::number(numbers[size_t(r - 1)]),
                           QStringLiteral("DEMOI%1").arg(r / 500, 2, 10, QLatin1Char('0')),
                           QString::number(r % 97), QStringLiteral("Artikel %1 Åäö").arg(r)};
        for (int i = 0; i < 16; ++i)
            values << QStringLiteral("v%1").arg((r * 7 + i) % 1000);
        grid.AddGridRow(values, r);
    }
    return grid;
}

double perThousand(qint64 nanoseconds, int rows)
{
    return double(nanoseconds) / 1e6 / (rows / 1000.0);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int rows = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 50000;
    QTextStream out(stdout);

    ArticleGrid grid = makeGrid(rows);
    const int column = grid.GetColumn(QStringLiteral("BENÄMNING"));
    grid.setSelection({1, column, grid.rows() - 1, column});
    QElapsedTimer timer;
    timer.start();
    Fill::fillDown(grid);
    const qint64 fill = timer.nsecsElapsed();

    timer.restart();
    RowNumbering::RenumberRows(grid);
    const qint64 renumber = timer.nsecsElapsed();

    out << "rows=" << rows << " fill_down_ms=" << fill / 1e6
        << " fill_down_ms_per_1000=" << perThousand(fill, rows) << " renumber_ms=" << renumber / 1e6
        << " renumber_ms_per_1000=" << perThousand(renumber, rows) << Qt::endl;

    // The history: each step keeps what it changed, so recording, undo and redo cost about
    // what the operation itself did.
    ArticleGrid recorded = makeGrid(rows);
    recorded.setRecording(true);
    recorded.setSelection({1, column, recorded.rows() - 1, column});
    recorded.takeEdit();
    timer.restart();
    Fill::fillDown(recorded);
    ArticleGrid::Edit fillStep = recorded.takeEdit();
    const qint64 recordedFill = timer.nsecsElapsed();
    timer.restart();
    recorded.undo(fillStep);
    const qint64 undoFill = timer.nsecsElapsed();
    timer.restart();
    recorded.redo(fillStep);
    const qint64 redoFill = timer.nsecsElapsed();

    timer.restart();
    recorded.sortRows(column + 1, true);
    ArticleGrid::Edit sortStep = recorded.takeEdit();
    const qint64 sort = timer.nsecsElapsed();
    timer.restart();
    recorded.undo(sortStep);
    const qint64 undoSort = timer.nsecsElapsed();

    auto ratio = [fill](qint64 nanoseconds) { return double(nanoseconds) / double(fill); };
    out << "history: fill_recorded_ratio=" << ratio(recordedFill)
        << " undo_fill_ratio=" << ratio(undoFill) << " redo_fill_ratio=" << ratio(redoFill)
        << " sort_recorded_ms=" << sort / 1e6 << " undo_sort_ms=" << undoSort / 1e6 << Qt::endl;
    return 0;
}
