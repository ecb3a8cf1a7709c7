#include "browse/ArticleGrid.h"
#include "browse/GridRules.h"
#include "edit/MoveRows.h"

#include <QTest>

#include <algorithm>
#include <map>
#include <set>

using MoveRows::RowMove;
using Kind = ArticleSelection::Kind;

Q_DECLARE_METATYPE(RowMove)

namespace {

// Rows are given as "RAD name"; every other column is derived from the name, so a row that
// lost or mixed up a cell shows up when it is read back.
ArticleGrid grid(const QStringList &rows)
{
    ArticleGrid g;
    g.setupColumns(
        {{"RAD", {}, 6, 0}, {"BL_NAME", {}, 8, 1}, {"TYP", {}, 3, 9}, {"BENÄMNING", {}, 20, 12}});
    int row = 1;
    for (const QString &text : rows) {
        const QStringList parts = text.split(QLatin1Char(' '));
        row = g.AddGridRow(
            {QString(), parts.at(0), "ABCDI010", "T" + parts.at(1), "Artikel " + parts.at(1)}, row);
    }
    return g;
}

QStringList rows(const ArticleGrid &g)
{
    QStringList values;
    for (int r = 1; r < g.rows(); ++r) {
        const QString name = g.text(r, 3).mid(1);
        const bool whole = g.text(r, 2) == "ABCDI010" && g.text(r, 4) == "Artikel " + name;
        values << g.text(r, 1) + ' ' + (whole ? name : QStringLiteral("<broken>"));
    }
    return values;
}

QStringList numbered(int from, int count, const QString &prefix)
{
    QStringList values;
    for (int i = 0; i < count; ++i)
        values << QStringLiteral("%1 %2%3").arg(from + i).arg(prefix).arg(i + 1);
    return values;
}

} // namespace

class TestMoveRows : public QObject
{
    Q_OBJECT

private slots:
    void moves_data();
    void moves();
    void enabling_data();
    void enabling();
    void blockFollowsRepeatedMoves();
    void largeGrid();
    void manufacturerViewKeepsTheGroupsNumbers_data();
    void manufacturerViewKeepsTheGroupsNumbers();
    void manufacturerViewWithABadRowNumber();
    void rootViewMovesNothing();
};

void TestMoveRows::moves_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<int>("r1");
    QTest::addColumn<int>("r2");
    QTest::addColumn<RowMove>("move");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<int>("newR1"); // 0: nothing moved, the selection stays
    QTest::addColumn<int>("newR2");

    const QStringList five{"5 a", "10 b", "20 c", "30 d", "40 e"};

    // Up and down: the content passes through the row numbers, which stay in place.
    QTest::newRow("block up past one row swaps row numbers")
        << five << 2 << 4 << RowMove::Up << QStringList{"5 b", "10 c", "20 d", "30 a", "40 e"} << 1
        << 3;
    QTest::newRow("one row up") << five << 5 << 5 << RowMove::Up
                                << QStringList{"5 a", "10 b", "20 c", "30 e", "40 d"} << 4 << 4;
    QTest::newRow("block down past one row")
        << five << 2 << 3 << RowMove::Down << QStringList{"5 a", "10 d", "20 b", "30 c", "40 e"}
        << 3 << 4;
    QTest::newRow("selection drawn upwards")
        << five << 4 << 2 << RowMove::Up << QStringList{"5 b", "10 c", "20 d", "30 a", "40 e"} << 1
        << 3;
    QTest::newRow("block at the top cannot move up")
        << five << 1 << 2 << RowMove::Up << five << 0 << 0;
    QTest::newRow("block at the top cannot move to the top")
        << five << 1 << 2 << RowMove::ToTop << five << 0 << 0;
    QTest::newRow("block at the bottom cannot move down")
        << five << 4 << 5 << RowMove::Down << five << 0 << 0;
    QTest::newRow("block at the bottom cannot move to the bottom")
        << five << 4 << 5 << RowMove::ToBottom << five << 0 << 0;
    const QList<QPair<const char *, RowMove>> everyMove{{"up", RowMove::Up},
                                                        {"down", RowMove::Down},
                                                        {"to the top", RowMove::ToTop},
                                                        {"to the bottom", RowMove::ToBottom}};
    for (const auto &[name, move] : everyMove)
        QTest::addRow("whole grid selected, %s", name) << five << 1 << 5 << move << five << 0 << 0;
    QTest::newRow("header row in the selection")
        << five << 0 << 2 << RowMove::Down << five << 0 << 0;
    QTest::newRow("selection past the last row") << five << 4 << 6 << RowMove::Up << five << 0 << 0;
    QTest::newRow("header only") << QStringList() << 1 << 1 << RowMove::Down << QStringList() << 0
                                 << 0;

    // To the top and the bottom: whole rows move, then the rows are numbered 1..N.
    QStringList group = numbered(101, 10, "x");
    QStringList toTop;
    for (int i = 0; i < 10; ++i) {
        const int from = i < 3 ? 4 + i : (i < 6 ? i - 2 : i + 1);
        toTop << QStringLiteral("%1 x%2").arg(i + 1).arg(from);
    }
    QTest::newRow("to the top renumbers 101..110 as 1..10")
        << group << 4 << 6 << RowMove::ToTop << toTop << 1 << 3;
    QTest::newRow("last row to the top")
        << five << 5 << 5 << RowMove::ToTop << QStringList{"1 e", "2 a", "3 b", "4 c", "5 d"} << 1
        << 1;
    QTest::newRow("block to the bottom")
        << five << 2 << 3 << RowMove::ToBottom << QStringList{"1 a", "2 d", "3 e", "4 b", "5 c"}
        << 4 << 5;
    QTest::newRow("first row to the bottom")
        << five << 1 << 1 << RowMove::ToBottom << QStringList{"1 b", "2 c", "3 d", "4 e", "5 a"}
        << 5 << 5;
    QTest::newRow("two rows swap by moving down")
        << QStringList{"7 a", "9 b"} << 1 << 1 << RowMove::Down << QStringList{"7 b", "9 a"} << 2
        << 2;
}

void TestMoveRows::moves()
{
    QFETCH(QStringList, before);
    QFETCH(int, r1);
    QFETCH(int, r2);
    QFETCH(RowMove, move);
    QFETCH(QStringList, after);
    QFETCH(int, newR1);
    QFETCH(int, newR2);

    ArticleGrid g = grid(before);
    const ArticleGrid::CellRange old{r1, 1, r2, 4};
    g.setSelection(old);
    const MoveRows::Result result = MoveRows::move(g, move, Kind::Group);

    QCOMPARE(rows(g), after);
    QCOMPARE(result.changed, newR1 != 0);
    const ArticleGrid::CellRange expected =
        newR1 != 0 ? ArticleGrid::CellRange{newR1, 1, newR2, 4} : old;
    for (const ArticleGrid::CellRange &range : {result.selection, g.selection()}) {
        QCOMPARE(range.r1, expected.r1);
        QCOMPARE(range.c1, expected.c1);
        QCOMPARE(range.r2, expected.r2);
        QCOMPARE(range.c2, expected.c2);
    }
}

void TestMoveRows::enabling_data()
{
    QTest::addColumn<int>("dataRows");
    QTest::addColumn<int>("r1");
    QTest::addColumn<int>("r2");
    QTest::addColumn<bool>("up");
    QTest::addColumn<bool>("down");
    QTest::newRow("middle block") << 5 << 2 << 4 << true << true;
    QTest::newRow("block at the top") << 5 << 1 << 3 << false << true;
    QTest::newRow("block at the bottom") << 5 << 3 << 5 << true << false;
    QTest::newRow("all rows") << 5 << 1 << 5 << false << false;
    QTest::newRow("all rows drawn upwards") << 5 << 5 << 1 << false << false;
    QTest::newRow("the only row") << 1 << 1 << 1 << false << false;
    QTest::newRow("no data rows") << 0 << 1 << 1 << false << false;
    QTest::newRow("nothing selected yet") << 5 << 0 << 0 << false << false;
}

void TestMoveRows::enabling()
{
    QFETCH(int, dataRows);
    QFETCH(int, r1);
    QFETCH(int, r2);
    QFETCH(bool, up);
    QFETCH(bool, down);
    ArticleGrid g = grid(numbered(1, dataRows, "a"));
    g.setSelection({r1, 1, r2, 4});
    QCOMPARE(MoveRows::canMoveUp(g), up);
    QCOMPARE(MoveRows::canMoveDown(g), down);
}

// The block keeps moving from its new selection, and up/down never lose or invent a number.
void TestMoveRows::blockFollowsRepeatedMoves()
{
    ArticleGrid g = grid({"5 a", "10 b", "20 c", "30 d", "40 e"});
    g.setSelection({1, 1, 2, 4});
    QVERIFY(!MoveRows::canMoveUp(g));
    QVERIFY(MoveRows::moveDown(g, Kind::Group).changed);
    QVERIFY(MoveRows::canMoveUp(g));
    QVERIFY(MoveRows::moveDown(g, Kind::Group).changed);
    QVERIFY(MoveRows::moveDown(g, Kind::Group).changed);
    QVERIFY(!MoveRows::canMoveDown(g));
    QCOMPARE(rows(g), (QStringList{"5 c", "10 d", "20 e", "30 a", "40 b"}));
    QVERIFY(MoveRows::moveUp(g, Kind::Group).changed);
    QCOMPARE(rows(g), (QStringList{"5 c", "10 d", "20 a", "30 b", "40 e"}));
    QVERIFY(MoveRows::moveToTop(g, Kind::Group).changed);
    QCOMPARE(rows(g), (QStringList{"1 a", "2 b", "3 c", "4 d", "5 e"}));
    QCOMPARE(g.selection().r1, 1);
    QCOMPARE(g.selection().r2, 2);
}

void TestMoveRows::largeGrid()
{
    const int n = 50000;
    ArticleGrid g = grid(numbered(1, n, "r"));
    g.setSelection({20000, 1, 29999, 4}); // r20000 .. r29999
    QVERIFY(MoveRows::moveToBottom(g, Kind::Group).changed);
    QCOMPARE(g.selection().r1, n - 9999);
    QCOMPARE(rows(g).at(n - 10000), QStringLiteral("40001 r20000"));
    QCOMPARE(rows(g).at(19999), QStringLiteral("20000 r30000"));
    QVERIFY(MoveRows::moveUp(g, Kind::Group).changed);
    QCOMPARE(rows(g).at(n - 2), QStringLiteral("49999 r29999"));
    QCOMPARE(rows(g).at(n - 1), QStringLiteral("50000 r50000"));
    QVERIFY(MoveRows::moveToTop(g, Kind::Group).changed);
    const QStringList top = rows(g);
    QCOMPARE(top.first(), QStringLiteral("1 r20000"));
    QCOMPARE(top.at(10000), QStringLiteral("10001 r1"));
    QCOMPARE(top.last(), QStringLiteral("50000 r50000"));
}

void TestMoveRows::manufacturerViewKeepsTheGroupsNumbers_data()
{
    QTest::addColumn<int>("r1");
    QTest::addColumn<int>("r2");
    QTest::addColumn<RowMove>("move");
    QTest::addColumn<QStringList>("after");

    // The view shows manufacturer A of a group whose manufacturer B holds 2, 4, 6 and 8.
    QTest::newRow("last row to the top")
        << 4 << 4 << RowMove::ToTop << QStringList{"1 d", "3 a", "5 b", "7 c"};
    QTest::newRow("middle block to the top")
        << 2 << 3 << RowMove::ToTop << QStringList{"1 b", "3 c", "5 a", "7 d"};
    QTest::newRow("first row to the bottom")
        << 1 << 1 << RowMove::ToBottom << QStringList{"1 b", "3 c", "5 d", "7 a"};
    QTest::newRow("middle block to the bottom")
        << 2 << 3 << RowMove::ToBottom << QStringList{"1 a", "3 d", "5 b", "7 c"};
    QTest::newRow("block up") << 3 << 4 << RowMove::Up << QStringList{"1 a", "3 c", "5 d", "7 b"};
    QTest::newRow("block down") << 1 << 2 << RowMove::Down
                                << QStringList{"1 c", "3 a", "5 b", "7 d"};
}

// The other manufacturers' rows keep their numbers and places: the moved view reuses its own
// numbers, so the group's numbers stay unique and the group's order follows the grid.
void TestMoveRows::manufacturerViewKeepsTheGroupsNumbers()
{
    QFETCH(int, r1);
    QFETCH(int, r2);
    QFETCH(RowMove, move);
    QFETCH(QStringList, after);

    const std::map<int, QString> otherManufacturer{{2, "B2"}, {4, "B4"}, {6, "B6"}, {8, "B8"}};
    ArticleGrid g = grid({"1 a", "3 b", "5 c", "7 d"});
    g.setSelection({r1, 1, r2, 4});
    QVERIFY(MoveRows::move(g, move, Kind::Manufacturer).changed);
    QCOMPARE(rows(g), after);

    std::map<int, QString> group = otherManufacturer;
    std::set<int> shown;
    QStringList gridOrder;
    for (int r = 1; r < g.rows(); ++r) {
        const int rad = g.text(r, 1).toInt();
        QVERIFY2(group.emplace(rad, g.text(r, 3)).second, qPrintable(g.text(r, 1)));
        shown.insert(rad);
        gridOrder << g.text(r, 3);
    }
    QCOMPARE(shown, (std::set<int>{1, 3, 5, 7}));
    QStringList groupOrder; // the group sorted by row number, manufacturer A's rows only
    for (const auto &[rad, name] : group) {
        if (!otherManufacturer.count(rad))
            groupOrder << name;
    }
    QCOMPARE(groupOrder, gridOrder);
}

void TestMoveRows::manufacturerViewWithABadRowNumber()
{
    ArticleGrid g = grid({"1 a", "x b", "5 c"});
    g.setSelection({3, 1, 3, 4});
    const MoveRows::Result result = MoveRows::moveToTop(g, Kind::Manufacturer);
    QVERIFY(!result.changed);
    QVERIFY2(result.refusal.contains("'x'"), qPrintable(result.refusal));
    QCOMPARE(rows(g), (QStringList{"1 a", "x b", "5 c"}));
    QCOMPARE(g.selection(), (ArticleGrid::CellRange{3, 1, 3, 4}));
}

// The root view's neighbouring rows may belong to other groups: nothing moves there.
void TestMoveRows::rootViewMovesNothing()
{
    const QStringList five{"5 a", "10 b", "20 c", "30 d", "40 e"};
    for (const RowMove move : {RowMove::Up, RowMove::Down, RowMove::ToTop, RowMove::ToBottom}) {
        ArticleGrid g = grid(five);
        g.setSelection({2, 1, 3, 4});
        const MoveRows::Result result = MoveRows::move(g, move, Kind::Root);
        QVERIFY(!result.changed);
        QCOMPARE(result.refusal, GridRules::rootViewRowHint());
        QCOMPARE(result.change, GridChange::nothing());
        QCOMPARE(rows(g), five);
        QCOMPARE(g.selection(), (ArticleGrid::CellRange{2, 1, 3, 4}));
    }
}

QTEST_GUILESS_MAIN(TestMoveRows)
#include "tst_moverows.moc"
