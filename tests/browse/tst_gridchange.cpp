#include "browse/ArticleGrid.h"
#include "browse/GridChange.h"
#include "browse/GridRules.h"
#include "db/Database.h"
#include "edit/ClipboardBlocks.h"
#include "edit/Fill.h"
#include "edit/MoveRows.h"
#include "edit/Replace.h"
#include "edit/RowOperations.h"

#include "support/GridFixture.h"
#include "support/ScriptedPrompter.h"

#include <QTest>

using Range = ArticleGrid::CellRange;
using Kind = ArticleSelection::Kind;

// Readable failures.
char *toString(const ArticleGrid::CellRange &range)
{
    return QTest::toString(
        QStringLiteral("{%1, %2, %3, %4}").arg(range.r1).arg(range.c1).arg(range.r2).arg(range.c2));
}

char *toString(const GridChange &change)
{
    const Range &c = change.cells;
    return QTest::toString(QStringLiteral("kind %1, rows %2+%3, cells {%4, %5, %6, %7}")
                               .arg(int(change.kind))
                               .arg(change.row)
                               .arg(change.count)
                               .arg(c.r1)
                               .arg(c.c1)
                               .arg(c.r2)
                               .arg(c.c2));
}

namespace {

enum class Operation {
    Insert,
    Append,
    AppendAsking,
    Delete,
    FillDown,
    FillDownStep,
    Cut,
    PasteClip,
    PasteArticle,
    ReplaceInSelection,
    ReplaceInShownArticles,
    Sort,
    MoveUp,
    MoveToTop,
    MoveToBottomOfManufacturer,
};

const QStringList kHeader{"RAD", "BL_NAME", "TYP", "BENÄMNING", "FABRIKAT", "ARTNR"};
const QStringList kRows{"10|G|1|a|F1|11", "20|G|2|b|F2|12", "30|G|3|c|F3|13", "40|G|4|d|F4|14",
                        "50|G|5|e|F5|15"};

// Runs one operation on the grid's selection; `argument` is the clipboard text, the step, the
// column or "find>replacement".
GridChange run(Operation operation, ArticleGrid &grid, const QString &argument)
{
    Database closed; // no saved types to read
    ScriptedPrompter prompter;
    const Range selection = grid.selection();
    switch (operation) {
    case Operation::Insert:
        return RowOperations::InsertArticle(grid, closed, Kind::Group).change;
    case Operation::Append:
        return RowOperations::AppendArticle(grid, closed, prompter, false, Kind::Manufacturer)
            .change;
    case Operation::AppendAsking:
        prompter.inputs.enqueue(argument);
        return RowOperations::AppendArticle(grid, closed, prompter, true, Kind::Group).change;
    case Operation::Delete:
        return RowOperations::DeleteArticle(grid, prompter, Kind::Group).change;
    case Operation::FillDown:
        return Fill::fillDown(grid).change;
    case Operation::FillDownStep:
        return Fill::fillDownIncrement(grid, argument.toInt(), prompter).change;
    case Operation::Cut:
        return ClipboardBlocks::CutClip(grid).change;
    case Operation::PasteClip:
        return ClipboardBlocks::PasteClip(grid, selection.r1, selection.c1, argument).change;
    case Operation::PasteArticle:
        return ClipboardBlocks::mnuPasteArticle(grid, argument, Kind::Group).change;
    case Operation::ReplaceInSelection:
    case Operation::ReplaceInShownArticles: {
        const QStringList parts = argument.split(QLatin1Char('>'));
        const Replace::Scope scope = operation == Operation::ReplaceInSelection
                                         ? Replace::Scope::Selection
                                         : Replace::Scope::ShownArticles;
        return Replace::replaceText(grid, scope, parts.at(0), parts.at(1))->change;
    }
    case Operation::Sort:
        return GridRules::sortGrid(grid, argument.toInt(), false, true);
    case Operation::MoveUp:
        return MoveRows::moveUp(grid, Kind::Group).change;
    case Operation::MoveToTop:
        return MoveRows::moveToTop(grid, Kind::Group).change;
    case Operation::MoveToBottomOfManufacturer:
        return MoveRows::moveToBottom(grid, Kind::Manufacturer).change;
    }
    return {};
}

} // namespace

Q_DECLARE_METATYPE(Operation)
Q_DECLARE_METATYPE(ArticleGrid::CellRange)
Q_DECLARE_METATYPE(GridChange)

// Every grid operation leaves the selection the view must show afterwards and says what changed,
// so the view's model can be told no more than that.
class TestGridChange : public QObject
{
    Q_OBJECT

private slots:
    void selectionAndChange_data();
    void selectionAndChange();
};

void TestGridChange::selectionAndChange_data()
{
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<Range>("before");
    QTest::addColumn<QString>("argument");
    QTest::addColumn<Range>("after");
    QTest::addColumn<GridChange>("change");

    const Range none{1, 1, 0, 0};
    // Rows.
    QTest::newRow("insert: the new rows, whole; the row numbers of all rows follow")
        << Operation::Insert << Range{2, 3, 3, 3} << QString() << Range{2, 1, 3, 6}
        << GridChange::rowsInserted(2, 2, {1, 1, 7, 1});
    QTest::newRow("append: the new rows, whole")
        << Operation::Append << Range{4, 4, 5, 4} << QString() << Range{6, 1, 7, 6}
        << GridChange::rowsInserted(6, 2, none);
    QTest::newRow("append asking, no number: nothing")
        << Operation::AppendAsking << Range{4, 4, 5, 4} << QString() << Range{4, 4, 5, 4}
        << GridChange::nothing();
    QTest::newRow("append asking for three")
        << Operation::AppendAsking << Range{1, 1, 1, 6} << "3" << Range{6, 1, 8, 6}
        << GridChange::rowsInserted(6, 3, none);
    QTest::newRow("delete: the row now at the deleted place")
        << Operation::Delete << Range{2, 4, 3, 4} << QString() << Range{2, 1, 2, 6}
        << GridChange::rowsRemoved(2, 2);
    QTest::newRow("delete the last rows: the new last row")
        << Operation::Delete << Range{4, 1, 5, 6} << QString() << Range{3, 1, 3, 6}
        << GridChange::rowsRemoved(4, 2);
    QTest::newRow("delete every row: nothing to select")
        << Operation::Delete << Range{5, 1, 1, 6} << QString() << Range{}
        << GridChange::rowsRemoved(1, 5);
    // Cells.
    QTest::newRow("fill down: the filled range")
        << Operation::FillDown << Range{2, 4, 4, 5} << QString() << Range{2, 4, 4, 5}
        << GridChange::cellsChanged({2, 4, 4, 5});
    QTest::newRow("fill down drawn upwards: the range in order")
        << Operation::FillDown << Range{4, 5, 2, 4} << QString() << Range{2, 4, 4, 5}
        << GridChange::cellsChanged({2, 4, 4, 5});
    QTest::newRow("fill down with a step: the filled column")
        << Operation::FillDownStep << Range{1, 6, 3, 6} << "2" << Range{1, 6, 3, 6}
        << GridChange::cellsChanged({1, 6, 3, 6});
    QTest::newRow("cut: the selection stays")
        << Operation::Cut << Range{2, 4, 3, 5} << QString() << Range{2, 4, 3, 5}
        << GridChange::cellsChanged({2, 4, 3, 5});
    QTest::newRow("cell paste: the pasted range")
        << Operation::PasteClip << Range{2, 4, 2, 4} << "x\ty\r\nz" << Range{2, 4, 3, 5}
        << GridChange::cellsChanged({2, 4, 3, 5});
    QTest::newRow("cell paste past the last row and column: what landed")
        << Operation::PasteClip << Range{5, 5, 5, 5} << "x\ty\tz\r\nw" << Range{5, 5, 5, 6}
        << GridChange::cellsChanged({5, 5, 5, 6});
    QTest::newRow("cell paste starting on TYP: from the first written cell")
        << Operation::PasteClip << Range{2, 3, 2, 3} << "t\tx" << Range{2, 4, 2, 4}
        << GridChange::cellsChanged({2, 4, 2, 4});
    QTest::newRow("empty clipboard: the selection stays")
        << Operation::PasteClip << Range{2, 4, 3, 5} << QString() << Range{2, 4, 3, 5}
        << GridChange::nothing();
    QTest::newRow("article paste: the pasted rows, whole")
        << Operation::PasteArticle << Range{2, 1, 4, 6}
        << "!Ravelund!\r\n1\tG\t1\tA\tB\tC\r\n2\tG\t2\tD\tE\tF" << Range{2, 1, 3, 6}
        << GridChange::cellsChanged({2, 4, 3, 6});
    QTest::newRow("replace in the selection: the selection")
        << Operation::ReplaceInSelection << Range{1, 4, 2, 5} << "F>f" << Range{1, 4, 2, 5}
        << GridChange::cellsChanged({1, 4, 2, 5});
    QTest::newRow("replace in all shown articles: what was searched")
        << Operation::ReplaceInShownArticles << Range{3, 4, 3, 4} << "F>f" << Range{1, 4, 5, 6}
        << GridChange::cellsChanged({1, 4, 5, 6});
    QTest::newRow("replace without a match: nothing changed")
        << Operation::ReplaceInSelection << Range{1, 4, 2, 5} << "zz>y" << Range{1, 4, 2, 5}
        << GridChange::nothing();
    // Order.
    QTest::newRow("sort: the same cell range") << Operation::Sort << Range{2, 4, 3, 5} << "5"
                                               << Range{2, 4, 3, 5} << GridChange::everything();
    QTest::newRow("move up: the block's new place; the passed rows changed")
        << Operation::MoveUp << Range{3, 1, 4, 6} << QString() << Range{2, 1, 3, 6}
        << GridChange::cellsChanged({2, 2, 4, 6});
    QTest::newRow("move to the top") << Operation::MoveToTop << Range{3, 1, 4, 6} << QString()
                                     << Range{1, 1, 2, 6} << GridChange::everything();
    QTest::newRow("move to the bottom of a manufacturer view")
        << Operation::MoveToBottomOfManufacturer << Range{1, 1, 1, 6} << QString()
        << Range{5, 1, 5, 6} << GridChange::everything();
    QTest::newRow("move not possible: nothing")
        << Operation::MoveUp << Range{1, 1, 2, 6} << QString() << Range{1, 1, 2, 6}
        << GridChange::nothing();
}

void TestGridChange::selectionAndChange()
{
    QFETCH(Operation, operation);
    QFETCH(Range, before);
    QFETCH(QString, argument);
    QFETCH(Range, after);
    QFETCH(GridChange, change);

    ArticleGrid grid = GridFixture::make(kHeader, kRows);
    grid.setSelection(before);
    QCOMPARE(run(operation, grid, argument), change);
    QCOMPARE(grid.selection(), after);
}

QTEST_GUILESS_MAIN(TestGridChange)
#include "tst_gridchange.moc"
