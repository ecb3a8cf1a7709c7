#include "browse/ArticleGrid.h"
#include "edit/MoveRows.h"

#include <QTest>

using MoveRows::RowMove;

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
    const MoveRows::Result result = MoveRows::move(g, move);

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
    QVERIFY(MoveRows::moveDown(g).changed);
    QVERIFY(MoveRows::canMoveUp(g));
    QVERIFY(MoveRows::moveDown(g).changed);
    QVERIFY(MoveRows::moveDown(g).changed);
    QVERIFY(!MoveRows::canMoveDown(g));
    QCOMPARE(rows(g), (QStringList{"5 c", "10 d", "20 e", "30 a", "40 b"}));
    QVERIFY(MoveRows::moveUp(g).changed);
    QCOMPARE(rows(g), (QStringList{"5 c", "10 d", "20 a", "30 b", "40 e"}));
    QVERIFY(MoveRows::moveToTop(g).changed);
    QCOMPARE(rows(g), (QStringList{"1 a", "2 b", "3 c", "4 d", "5 e"}));
    QCOMPARE(g.selection().r1, 1);
    QCOMPARE(g.selection().r2, 2);
}

void TestMoveRows::largeGrid()
{
    const int n = 50000;
    ArticleGrid g = grid(numbered(1, n, "r"));
    g.setSelection({20000, 1, 29999, 4}); // r20000 .. r29999
    QVERIFY(MoveRows::moveToBottom(g).changed);
    QCOMPARE(g.selection().r1, n - 9999);
    QCOMPARE(rows(g).at(n - 10000), QStringLiteral("40001 r20000"));
    QCOMPARE(rows(g).at(19999), QStringLiteral("20000 r30000"));
    QVERIFY(MoveRows::moveUp(g).changed);
    QCOMPARE(rows(g).at(n - 2), QStringLiteral("49999 r29999"));
    QCOMPARE(rows(g).at(n - 1), QStringLiteral("50000 r50000"));
    QVERIFY(MoveRows::moveToTop(g).changed);
    const QStringList top = rows(g);
    QCOMPARE(top.first(), QStringLiteral("1 r20000"));
    QCOMPARE(top.at(10000), QStringLiteral("10001 r1"));
    QCOMPARE(top.last(), QStringLiteral("50000 r50000"));
}

QTEST_GUILESS_MAIN(TestMoveRows)
#include "tst_moverows.moc"
