#include "browse/ArticleGrid.h"
#include "browse/GridChange.h"
#include "browse/GridRules.h"
#include "browse/RowNumbering.h"
#include "edit/ClipboardBlocks.h"
#include "edit/Fill.h"
#include "edit/MoveRows.h"
#include "edit/Replace.h"
#include "edit/RowOperations.h"

#include "support/ScriptedPrompter.h"

#include <QTest>

#include <functional>

namespace {

const QStringList kHeader{"RAD", "BL_NAME", "TYP", "BENÄMNING", "FABRIKAT"};
constexpr int kDesignation = 4;
constexpr int kMaker = 5;

// Five rows loaded from database rows 11 to 15, one of them edited before the operation, so
// the test also sees the marks an undo must put back rather than clear.
ArticleGrid loadedGrid()
{
    FieldList fields;
    for (const QString &name : kHeader)
        fields.append({name, {}, 20, 0});
    ArticleGrid grid;
    grid.setupColumns(fields);
    const QStringList rows{"1|ABCDI010|10|Brytare|Hager", "2|ABCDI010|20|Relä|ABB",
                           "3|ABCDI010|30|Kontaktor|Eaton", "4|ABCDI010|5|Säkring 7|Finder",
                           "5|ABCDI010|40|Plint|Phoenix"};
    for (int i = 0; i < rows.size(); ++i) {
        PackedCells::Builder builder;
        const QStringList cells = QStringList{QString()} + rows.at(i).split(u'|');
        for (int c = 0; c < grid.cols(); ++c) {
            const QByteArray utf8 = cells.value(c).toUtf8();
            builder.addUtf8(utf8.constData(), utf8.size());
        }
        grid.appendRow(builder.take(), 11 + i);
    }
    grid.setText(3, kMaker, QStringLiteral("Eaton AB"));
    return grid;
}

// Everything a save or the user could tell apart: cells, origins, change marks, deletions.
QStringList snapshot(const ArticleGrid &grid)
{
    QStringList lines;
    for (int r = 1; r < grid.rows(); ++r) {
        QString line = QString::number(grid.rowId(r)) + (grid.rowChanged(r) ? u'*' : u' ');
        for (int c = 1; c < grid.cols(); ++c)
            line += u'|' + grid.text(r, c) + QLatin1String(grid.cellChanged(r, c) ? "'" : "");
        lines << line;
    }
    QStringList removed;
    for (const qint64 id : grid.removedRowIds())
        removed << QString::number(id);
    lines << QStringLiteral("removed: ") + removed.join(u',');
    return lines;
}

void select(ArticleGrid &grid, int r1, int c1, int r2, int c2)
{
    grid.setSelection({r1, c1, r2, c2});
}

using Operation = std::function<void(ArticleGrid &)>;

struct Case
{
    const char *name;
    Operation run;
};

const std::vector<Case> &cases()
{
    using Kind = ArticleSelection::Kind;
    static const std::vector<Case> table = {
        {"typed edit", [](ArticleGrid &g) { g.setText(2, kDesignation, "Ny text"); }},
        {"edit of an edited cell", [](ArticleGrid &g) { g.setText(3, kMaker, "Eaton"); }},
        {"delete key",
         [](ArticleGrid &g) {
             GridRules::clearCells(g, {1, kDesignation, 3, kMaker});
         }},
        {"fill down",
         [](ArticleGrid &g) {
             select(g, 1, kDesignation, 5, kDesignation);
             Fill::fillDown(g);
         }},
        {"fill up",
         [](ArticleGrid &g) {
             select(g, 2, kMaker, 4, kMaker);
             Fill::fillUp(g);
         }},
        {"fill down +1",
         [](ArticleGrid &g) {
             ScriptedPrompter prompter;
             select(g, 4, kDesignation, 5, kDesignation);
             Fill::fillDownIncrement(g, 1, prompter);
         }},
        {"replace",
         [](ArticleGrid &g) {
             select(g, 1, kDesignation, 5, kMaker);
             Replace::replaceText(g, Replace::Scope::Selection, "a", "ää");
         }},
        {"paste",
         [](ArticleGrid &g) {
             ClipboardBlocks::PasteClip(g, 2, kDesignation, "A\tB\nC\tD\nE\tF\n");
         }},
        {"cut",
         [](ArticleGrid &g) {
             select(g, 2, kDesignation, 3, kMaker);
             ClipboardBlocks::CutClip(g);
         }},
        {"insert rows",
         [](ArticleGrid &g) {
             // As the insert command does: new rows, then their group and row numbers.
             g.insertRows(2, 2);
             for (int row : {2, 3}) {
                 g.setText(row, 1, "0");
                 g.setText(row, 2, "ABCDI010");
             }
             RowNumbering::RenumberRows(g);
         }},
        {"append rows",
         [](ArticleGrid &g) {
             g.insertRows(g.rows(), 3);
             g.setText(g.rows() - 1, kDesignation, "Sist");
         }},
        {"delete rows",
         [](ArticleGrid &g) {
             select(g, 2, 1, 3, kMaker);
             ScriptedPrompter prompter;
             RowOperations::DeleteArticle(g, prompter, ArticleSelection::Kind::Group);
         }},
        {"move rows to the top",
         [](ArticleGrid &g) {
             select(g, 4, 1, 5, kMaker);
             MoveRows::move(g, MoveRows::RowMove::ToTop, Kind::Group);
         }},
        {"move a row down",
         [](ArticleGrid &g) {
             select(g, 1, 1, 1, kMaker);
             MoveRows::move(g, MoveRows::RowMove::Down, Kind::Group);
         }},
        {"one row moved",
         [](ArticleGrid &g) {
             g.moveRow(1, 4);
             g.setText(4, kDesignation, "Flyttad");
         }},
        {"sort, renumbered",
         [](ArticleGrid &g) {
             GridRules::sortGrid(g, 3, true, true);
             RowNumbering::RenumberRows(g);
         }},
        {"sort descending",
         [](ArticleGrid &g) { GridRules::sortGrid(g, kDesignation, false, true); }},
        {"paste articles",
         [](ArticleGrid &g) {
             select(g, 1, 1, 2, kMaker);
             const QString block = ClipboardBlocks::CopyArticle(g).value_or(QString());
             select(g, 4, 1, 4, kMaker);
             ClipboardBlocks::mnuPasteArticle(g, block, Kind::Group);
         }},
    };
    return table;
}

} // namespace

// Every grid operation, recorded while it runs, can be taken back and done again: the grid, its
// change marks and its deletions come back exactly as they were.
class TestGridUndo : public QObject
{
    Q_OBJECT

private slots:
    void undoAndRedoRestoreTheGrid_data();
    void undoAndRedoRestoreTheGrid();
    void stepsAreTakenBackInTurn();
    void undoRestoresTheSelection();
    void refillingTheGridDropsWhatWasRecorded();
};

void TestGridUndo::undoAndRedoRestoreTheGrid_data()
{
    QTest::addColumn<int>("index");
    for (size_t i = 0; i < cases().size(); ++i)
        QTest::newRow(cases()[i].name) << int(i);
}

void TestGridUndo::undoAndRedoRestoreTheGrid()
{
    QFETCH(int, index);
    ArticleGrid grid = loadedGrid();
    grid.setRecording(true);
    grid.takeEdit();
    const QStringList before = snapshot(grid);

    cases()[size_t(index)].run(grid);
    const QStringList after = snapshot(grid);
    QVERIFY2(after != before, "the operation changed nothing");

    ArticleGrid::Edit edit = grid.takeEdit();
    QVERIFY(!edit.isEmpty());
    QVERIFY(!grid.hasPendingEdit());
    QVERIFY(grid.undo(edit).kind != GridChange::Kind::Nothing);
    QCOMPARE(snapshot(grid), before);
    grid.redo(edit);
    QCOMPARE(snapshot(grid), after);
    // Once more: a step can go back and forth any number of times.
    grid.undo(edit);
    QCOMPARE(snapshot(grid), before);
    grid.redo(edit);
    QCOMPARE(snapshot(grid), after);
    // Replaying records nothing of its own.
    QVERIFY(!grid.hasPendingEdit());
}

void TestGridUndo::stepsAreTakenBackInTurn()
{
    ArticleGrid grid = loadedGrid();
    grid.setRecording(true);
    const QStringList loaded = snapshot(grid);
    std::vector<ArticleGrid::Edit> steps;
    std::vector<QStringList> states{loaded};
    for (const char *name : {"fill down", "delete rows", "sort, renumbered", "insert rows"}) {
        grid.takeEdit();
        for (const Case &c : cases()) {
            if (qstrcmp(c.name, name) == 0)
                c.run(grid);
        }
        steps.push_back(grid.takeEdit());
        states.push_back(snapshot(grid));
    }
    for (size_t i = steps.size(); i-- > 0;) {
        grid.undo(steps[i]);
        QCOMPARE(snapshot(grid), states[i]);
    }
    // All taken back: the grid is as loaded, the one edit made before recording included.
    QCOMPARE(snapshot(grid), loaded);
    for (size_t i = 0; i < steps.size(); ++i) {
        grid.redo(steps[i]);
        QCOMPARE(snapshot(grid), states[i + 1]);
    }
}

void TestGridUndo::undoRestoresTheSelection()
{
    ArticleGrid grid = loadedGrid();
    grid.setRecording(true);
    select(grid, 2, 1, 3, kMaker);
    ScriptedPrompter prompter;
    RowOperations::DeleteArticle(grid, prompter, ArticleSelection::Kind::Group);
    const ArticleGrid::CellRange afterDelete = grid.selection();
    ArticleGrid::Edit edit = grid.takeEdit();
    grid.undo(edit);
    QCOMPARE(grid.selection(), (ArticleGrid::CellRange{2, 1, 3, kMaker}));
    grid.redo(edit);
    QCOMPARE(grid.selection(), afterDelete);

    // A cell edit reports just its rows, the row selector included (its mark may go).
    grid.setText(2, kDesignation, "X");
    ArticleGrid::Edit typed = grid.takeEdit();
    QCOMPARE(grid.undo(typed), GridChange::cellsChanged({2, 0, 2, kDesignation}));
}

void TestGridUndo::refillingTheGridDropsWhatWasRecorded()
{
    ArticleGrid grid = loadedGrid();
    grid.setRecording(true);
    grid.setText(1, kDesignation, "X");
    QVERIFY(grid.hasPendingEdit());
    grid.clearRows();
    QVERIFY(!grid.hasPendingEdit());
    // Without recording nothing is kept: batch work pays nothing for the history.
    ArticleGrid batch = loadedGrid();
    batch.setText(1, kDesignation, "X");
    QVERIFY(!batch.hasPendingEdit());
}

QTEST_GUILESS_MAIN(TestGridUndo)
#include "tst_gridundo.moc"
