#include "browse/ArticleGrid.h"
#include "browse/RowNumbering.h"
#include "core/AppError.h"

#include <QTest>

#include <limits>

Q_DECLARE_METATYPE(std::optional<qint64>)

namespace {

// A grid of RAD, BL_NAME and TYP; the other cells show that whole rows keep their contents.
ArticleGrid gridWithRowNumbers(const QStringList &rowNumbers)
{
    ArticleGrid grid;
    grid.setupColumns({{"RAD", {}, 6, 0}, {"BL_NAME", {}, 8, 1}, {"TYP", {}, 3, 9}});
    for (int i = 0; i < rowNumbers.size(); ++i)
        grid.AddGridRow({QString(), rowNumbers.at(i), "ABCDI010", QString::number(i + 1)}, i + 1);
    return grid;
}

QStringList column(const ArticleGrid &grid, int col)
{
    QStringList values;
    for (int row = 1; row < grid.rows(); ++row)
        values << grid.text(row, col);
    return values;
}

} // namespace

class TestRowNumbering : public QObject
{
    Q_OBJECT

private slots:
    void numbersFollowGridOrder_data();
    void numbersFollowGridOrder();
    void notANumberLeavesGridUnchanged_data();
    void notANumberLeavesGridUnchanged();
    void gridsWithNothingToNumber();
    void wholeNumber_data();
    void wholeNumber();
};

void TestRowNumbering::numbersFollowGridOrder_data()
{
    QTest::addColumn<bool>("distinct"); // numbers a collision apart
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<bool>("changed");
    // clang-format off
    QTest::newRow("sorted back") << false << QStringList{"30", "10", "20"}
                                 << QStringList{"10", "20", "30"} << true;
    QTest::newRow("gaps kept") << false << QStringList{"100", "5", "9"}
                               << QStringList{"5", "9", "100"} << true;
    QTest::newRow("already in order") << false << QStringList{"1", "2", "7"}
                                      << QStringList{"1", "2", "7"} << false;
    QTest::newRow("equal numbers stay equal") << false << QStringList{"2", "1", "2"}
                                              << QStringList{"1", "2", "2"} << true;
    QTest::newRow("blanks around are read, plain text written") << false << QStringList{" 7", "3 "}
                                                                << QStringList{"3", "7"} << true;
    QTest::newRow("beyond 16 and 32 bits") << false << QStringList{"5000000000", "40000", "1"}
                                           << QStringList{"1", "40000", "5000000000"} << true;
    QTest::newRow("one row") << false << QStringList{"4"} << QStringList{"4"} << false;

    QTest::newRow("distinct: a collision takes the next free number")
        << true << QStringList{"10", "20", "20", "30"} << QStringList{"10", "20", "21", "30"} << true;
    QTest::newRow("distinct: a collision pushes the numbers after it")
        << true << QStringList{"1", "2", "2", "3"} << QStringList{"1", "2", "3", "4"} << true;
    QTest::newRow("distinct: three alike, in grid order")
        << true << QStringList{"5", "5", "5"} << QStringList{"5", "6", "7"} << true;
    QTest::newRow("distinct: nothing shared, nothing changed")
        << true << QStringList{"1", "3", "7"} << QStringList{"1", "3", "7"} << false;
    // clang-format on
}

void TestRowNumbering::numbersFollowGridOrder()
{
    QFETCH(bool, distinct);
    QFETCH(QStringList, before);
    QFETCH(QStringList, after);
    QFETCH(bool, changed);
    ArticleGrid grid = gridWithRowNumbers(before);
    const QStringList types = column(grid, 3);

    QCOMPARE(distinct ? RowNumbering::RenumberDistinct(grid) : RowNumbering::RenumberRows(grid),
             changed);
    QCOMPARE(column(grid, 1), after);
    QCOMPARE(column(grid, 3), types); // rows do not move; only their numbers change
}

void TestRowNumbering::notANumberLeavesGridUnchanged_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<int>("number");
    QTest::newRow("text") << QStringList{"30", "abc", "10"} << int(ErrorNumber::TypeMismatch);
    QTest::newRow("empty, last row")
        << QStringList{"30", "20", ""} << int(ErrorNumber::TypeMismatch);
    QTest::newRow("beyond 64 bits")
        << QStringList{"30", "1e30", "10"} << int(ErrorNumber::Overflow);
}

void TestRowNumbering::notANumberLeavesGridUnchanged()
{
    QFETCH(QStringList, before);
    QFETCH(int, number);
    ArticleGrid grid = gridWithRowNumbers(before);
    try {
        RowNumbering::RenumberRows(grid);
        QFAIL("no error");
    } catch (const AppError &e) {
        QCOMPARE(e.number(), number);
    }
    QCOMPARE(column(grid, 1), before);
}

void TestRowNumbering::gridsWithNothingToNumber()
{
    ArticleGrid empty;
    QVERIFY(!RowNumbering::RenumberRows(empty));

    ArticleGrid headerOnly = gridWithRowNumbers({});
    QVERIFY(!RowNumbering::RenumberRows(headerOnly));
    QCOMPARE(headerOnly.rows(), 1);

    // The column is found by its exact name only.
    ArticleGrid noRowNumbers;
    noRowNumbers.setupColumns({{"rad", {}, 6, 0}, {"BL_NAME", {}, 8, 1}});
    noRowNumbers.AddGridRow({QString(), "9", "A"}, 1);
    noRowNumbers.AddGridRow({QString(), "x", "B"}, 2);
    QVERIFY(!RowNumbering::RenumberRows(noRowNumbers));
    QCOMPARE(column(noRowNumbers, 1), (QStringList{"9", "x"}));
}

void TestRowNumbering::wholeNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::optional<qint64>>("expected");
    QTest::addColumn<int>("error"); // 0 when none
    const std::optional<qint64> none;
    QTest::newRow("integer") << "12" << std::optional<qint64>(12) << 0;
    QTest::newRow("blanks around") << " 12 " << std::optional<qint64>(12) << 0;
    QTest::newRow("half to even, down") << "2.5" << std::optional<qint64>(2) << 0;
    QTest::newRow("half to even, up") << "3.5" << std::optional<qint64>(4) << 0;
    QTest::newRow("negative half") << "-2.5" << std::optional<qint64>(-2) << 0;
    QTest::newRow("above half") << "2.51" << std::optional<qint64>(3) << 0;
    QTest::newRow("exponent") << "1e3" << std::optional<qint64>(1000) << 0;
    QTest::newRow("empty") << "" << none << 0;
    QTest::newRow("blank") << "  " << none << 0;
    QTest::newRow("letters") << "K12" << none << 0;
    QTest::newRow("infinity") << "inf" << none << 0;
    QTest::newRow("not a number") << "nan" << none << 0;
    QTest::newRow("digits then a letter") << "12A" << none << 0;
    QTest::newRow("upper bound") << "32767" << std::optional<qint64>(32767) << 0;
    QTest::newRow("above the bound") << "32768" << none << int(ErrorNumber::Overflow);
    QTest::newRow("below the bound") << "-32769" << none << int(ErrorNumber::Overflow);
    QTest::newRow("rounded above the bound") << "32767.5" << none << int(ErrorNumber::Overflow);
    QTest::newRow("beyond 64 bits") << "1e30" << none << int(ErrorNumber::Overflow);
}

void TestRowNumbering::wholeNumber()
{
    QFETCH(QString, text);
    QFETCH(std::optional<qint64>, expected);
    QFETCH(int, error);
    try {
        QCOMPARE(RowNumbering::wholeNumber(text, -32768, 32767), expected);
        QCOMPARE(error, 0);
    } catch (const AppError &e) {
        QCOMPARE(e.number(), error);
    }
}

QTEST_GUILESS_MAIN(TestRowNumbering)
#include "tst_rownumbering.moc"
