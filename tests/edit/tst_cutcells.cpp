#include "browse/ArticleGrid.h"
#include "edit/ClipboardBlocks.h"
#include "edit/CutCells.h"
#include "edit/Fill.h"
#include "edit/Replace.h"

#include "support/GridFixture.h"
#include "support/ScriptedPrompter.h"

#include <QTest>

namespace {

enum class Operation { PasteClip, PasteArticle, FillDown, FillUp, FillDownStep, Replace };

// Field lengths as a catalogue has them: BENÄMNING 10, FABRIKAT 6, ARTNR 4.
ArticleGrid makeGrid(const QStringList &rows)
{
    ArticleGrid grid;
    grid.setupColumns({{"RAD", {}, 6, 0},
                       {"BL_NAME", {}, 8, 1},
                       {"TYP", {}, 3, 9},
                       {"BENÄMNING", {}, 10, 12},
                       {"FABRIKAT", {}, 6, 22},
                       {"ARTNR", {}, 4, 28}});
    int next = 1;
    for (const QString &row : rows)
        next = grid.AddGridRow(QStringList{QString()} + row.split(QLatin1Char('|')), next);
    return grid;
}

const QStringList kRows{"1|ABCDI010|1|Kort|ABB|A998", "2|ABCDI010|2|Mellan|Hager|x",
                        "3|ABCDI010|3|Tredje|Eaton|y"};

// Runs one operation on the grid's selection; `argument` is the clipboard text, the step, or
// "find>replacement".
CutCells run(Operation operation, ArticleGrid &grid, const QString &argument)
{
    const ArticleGrid::CellRange selection = grid.selection();
    ScriptedPrompter prompter;
    switch (operation) {
    case Operation::PasteClip:
        return ClipboardBlocks::PasteClip(grid, selection.r1, selection.c1, argument).cuts;
    case Operation::PasteArticle:
        return ClipboardBlocks::mnuPasteArticle(grid, argument, ArticleSelection::Kind::Group).cuts;
    case Operation::FillDown:
        return Fill::fillDown(grid).cuts;
    case Operation::FillUp:
        return Fill::fillUp(grid).cuts;
    case Operation::FillDownStep:
        return Fill::fillDownIncrement(grid, argument.toInt(), prompter).cuts;
    case Operation::Replace: {
        const QStringList parts = argument.split(QLatin1Char('>'));
        return Replace::replaceText(grid, Replace::Scope::Selection, parts.at(0), parts.at(1))
            ->cuts;
    }
    }
    return {};
}

} // namespace

Q_DECLARE_METATYPE(Operation)
Q_DECLARE_METATYPE(ArticleGrid::CellRange)

class TestCutCells : public QObject
{
    Q_OBJECT

private slots:
    void statusText_data();
    void statusText();
    void operationsCutToTheFieldLength_data();
    void operationsCutToTheFieldLength();
};

void TestCutCells::statusText_data()
{
    QTest::addColumn<QList<int>>("cutColumns"); // one entry per cut cell
    QTest::addColumn<QString>("expected");

    QTest::newRow("nothing cut") << QList<int>{} << QString();
    QTest::newRow("one cell")
        << QList<int>{4}
        << "1 cell kortades till fältets längd i kolumnen BENÄMNING. Ändra fältets längd med "
           "Skift+klick på kolumnrubriken.";
    QTest::newRow("three cells of one column")
        << QList<int>{4, 4, 4}
        << "3 celler kortades till fältets längd i kolumnen BENÄMNING. Ändra fältets längd med "
           "Skift+klick på kolumnrubriken.";
    QTest::newRow("two columns, named in grid order")
        << QList<int>{6, 4, 6}
        << "3 celler kortades till fältens längd i kolumnerna BENÄMNING och ARTNR. Ändra fältens "
           "längd med Skift+klick på kolumnrubrikerna.";
    QTest::newRow("three columns")
        << QList<int>{5, 6, 4}
        << "3 celler kortades till fältens längd i kolumnerna BENÄMNING, FABRIKAT och ARTNR. "
           "Ändra fältens längd med Skift+klick på kolumnrubrikerna.";
}

void TestCutCells::statusText()
{
    QFETCH(QList<int>, cutColumns);
    QFETCH(QString, expected);
    ArticleGrid grid = makeGrid(kRows);
    CutCells cuts;
    for (const int column : cutColumns)
        cuts.write(grid, 1, column, QStringLiteral("för lång för varje fält här"));
    QCOMPARE(cuts.count(), cutColumns.size());
    QCOMPARE(cuts.statusText(), expected);
}

void TestCutCells::operationsCutToTheFieldLength_data()
{
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<ArticleGrid::CellRange>("selection");
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("columns");

    QTest::newRow("cell paste") << Operation::PasteClip << kRows
                                << ArticleGrid::CellRange{1, 4, 1, 4} << "Alldeles för lång"
                                << QStringList{"1|ABCDI010|1|Alldeles f|ABB|A998", kRows[1],
                                               kRows[2]}
                                << 1 << QStringList{"BENÄMNING"};
    QTest::newRow("cell paste over two columns and rows")
        << Operation::PasteClip << kRows << ArticleGrid::CellRange{2, 4, 2, 4}
        << "Benämning lång\tTillverkare\r\nOK\tSiemens AG"
        << QStringList{kRows[0], "2|ABCDI010|2|Benämning |Tillve|x", "3|ABCDI010|3|OK|Siemen|y"}
        << 3 << QStringList{"BENÄMNING", "FABRIKAT"};
    QTest::newRow("cell paste that fits")
        << Operation::PasteClip << kRows << ArticleGrid::CellRange{1, 4, 1, 4} << "Tio tecken"
        << QStringList{"1|ABCDI010|1|Tio tecken|ABB|A998", kRows[1], kRows[2]} << 0
        << QStringList{};
    QTest::newRow("article paste")
        << Operation::PasteArticle << kRows << ArticleGrid::CellRange{2, 1, 3, 6}
        << "!Ravelund!\r\n9\tX\t9\tEn mycket lång text\tABB\tA12345"
        << QStringList{kRows[0], "2|ABCDI010|2|En mycket |ABB|A123", kRows[2]} << 2
        << QStringList{"BENÄMNING", "ARTNR"};
    const QStringList longFirst{"1|ABCDI010|1|Överlånga namnet|ABB|A998", kRows[1], kRows[2]};
    QTest::newRow("fill down from an over-long cell")
        << Operation::FillDown << longFirst << ArticleGrid::CellRange{1, 4, 3, 5} << QString()
        << QStringList{longFirst[0], "2|ABCDI010|2|Överlånga |ABB|x",
                       "3|ABCDI010|3|Överlånga |ABB|y"}
        << 2 << QStringList{"BENÄMNING"};
    const QStringList longLast{kRows[0], kRows[1], "3|ABCDI010|3|Tredje|Eaton|y-lång"};
    QTest::newRow("fill up from an over-long cell")
        << Operation::FillUp << longLast << ArticleGrid::CellRange{2, 6, 3, 6} << QString()
        << QStringList{kRows[0], "2|ABCDI010|2|Mellan|Hager|y-lå", longLast[2]} << 1
        << QStringList{"ARTNR"};
    // A cut number would be another number: the step fill refuses instead (tested with fill).
    QTest::newRow("fill down with a step that outgrows the field writes nothing")
        << Operation::FillDownStep << kRows << ArticleGrid::CellRange{1, 6, 3, 6} << "1" << kRows
        << 0 << QStringList{};
    QTest::newRow("replace that lengthens")
        << Operation::Replace << kRows << ArticleGrid::CellRange{1, 4, 3, 5} << "e>eee"
        << QStringList{kRows[0], "2|ABCDI010|2|Meeellan|Hageee|x",
                       "3|ABCDI010|3|Treeedjeee|Eaton|y"}
        << 1 << QStringList{"FABRIKAT"};
}

void TestCutCells::operationsCutToTheFieldLength()
{
    QFETCH(Operation, operation);
    QFETCH(QStringList, rows);
    QFETCH(ArticleGrid::CellRange, selection);
    QFETCH(QString, argument);
    QFETCH(QStringList, expected);
    QFETCH(int, count);
    QFETCH(QStringList, columns);

    ArticleGrid grid = makeGrid(rows);
    grid.setSelection(selection);
    const CutCells cuts = run(operation, grid, argument);
    QCOMPARE(GridFixture::dump(grid), expected);
    QCOMPARE(cuts.count(), count);
    QCOMPARE(cuts.columns(), columns);
    QCOMPARE(cuts.statusText().isEmpty(), count == 0);
}

QTEST_GUILESS_MAIN(TestCutCells)
#include "tst_cutcells.moc"
