#include "browse/ArticleGrid.h"
#include "edit/Fill.h"

#include "support/GridFixture.h"
#include "support/ScriptedPrompter.h"

#include <QTest>

Q_DECLARE_METATYPE(ArticleGrid::CellRange)

namespace {

// Column 6 is named "P": a name that occurs inside "RAD|TYP" but is an ordinary field.
const QStringList kHeader{"RAD", "BL_NAME", "TYP", "BENÄMNING", "FABRIKAT", "P"};
constexpr int kDesignation = 4;

const QStringList kRows{
    "1|ABCDI010|10|Brytare|Hager|1",   "2|ABCDI010|20|Dvärgbrytare|ABB|2",
    "3|ABCDI020|30|Kontaktor|Eaton|3", "4|ABCDI020|40|Relä|Finder|4",
    "5|ABCDI030|50|Säkring|Siemens|5", "6|ABCDI030|60|Plint|Phoenix|6",
};

ArticleGrid makeGrid(const QStringList &rows)
{
    return GridFixture::make(kHeader, rows);
}

using GridFixture::dump;

QStringList column(const ArticleGrid &grid, int c)
{
    QStringList values;
    for (int r = 1; r < grid.rows(); ++r)
        values << grid.text(r, c);
    return values;
}

// A grid whose designation column holds the start text and then old values to be overwritten.
ArticleGrid stepGrid(const QString &start, int rows)
{
    QStringList lines;
    for (int r = 1; r <= rows; ++r) {
        lines << QStringLiteral("%1|ABCDI010|%1|%2|Hager|x")
                     .arg(r)
                     .arg(r == 1 ? start : QStringLiteral("gammal"));
    }
    return makeGrid(lines);
}

} // namespace

class TestFill : public QObject
{
    Q_OBJECT

private slots:
    void fillRows_data();
    void fillRows();
    void nothingWithoutDataRows();
    void fillDownIncrement_data();
    void fillDownIncrement();
    void fillDownIncrementRefused_data();
    void fillDownIncrementRefused();
    void fillDownIncrementFailure_data();
    void fillDownIncrementFailure();
    void fillDownIncrementAtTheFieldsLength_data();
    void fillDownIncrementAtTheFieldsLength();
};

void TestFill::fillRows_data()
{
    QTest::addColumn<bool>("down");
    QTest::addColumn<ArticleGrid::CellRange>("selection");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("down from BL_NAME to FABRIKAT keeps TYP")
        << true << ArticleGrid::CellRange{3, 2, 6, 5}
        << QStringList{kRows[0],
                       kRows[1],
                       kRows[2],
                       "4|ABCDI020|40|Kontaktor|Eaton|4",
                       "5|ABCDI020|50|Kontaktor|Eaton|5",
                       "6|ABCDI020|60|Kontaktor|Eaton|6"};
    QTest::newRow("up copies the last row into the rows above")
        << false << ArticleGrid::CellRange{2, 4, 4, 4} << QStringList{kRows[0],
                                                                      "2|ABCDI010|20|Relä|ABB|2",
                                                                      "3|ABCDI020|30|Relä|Eaton|3",
                                                                      kRows[3],
                                                                      kRows[4],
                                                                      kRows[5]};
    QTest::newRow("whole rows keep RAD and TYP but fill every other field")
        << true << ArticleGrid::CellRange{1, 1, 2, 6}
        << QStringList{kRows[0], "2|ABCDI010|20|Brytare|Hager|1", kRows[2], kRows[3], kRows[4],
                       kRows[5]};
    QTest::newRow("selection given bottom-up")
        << true << ArticleGrid::CellRange{5, 5, 4, 5}
        << QStringList{kRows[0], kRows[1], kRows[2], kRows[3], "5|ABCDI030|50|Säkring|Finder|5",
                       kRows[5]};
    QTest::newRow("one row copies nothing") << true << ArticleGrid::CellRange{3, 2, 3, 6} << kRows;
    QTest::newRow("one row upwards copies nothing")
        << false << ArticleGrid::CellRange{3, 2, 3, 6} << kRows;
}

void TestFill::fillRows()
{
    QFETCH(bool, down);
    QFETCH(ArticleGrid::CellRange, selection);
    QFETCH(QStringList, expected);

    ArticleGrid grid = makeGrid(kRows);
    grid.setSelection(selection);
    // The window enters its edited state even when only one row was selected.
    QVERIFY(down ? Fill::fillDown(grid) : Fill::fillUp(grid));
    QCOMPARE(dump(grid), expected);
}

void TestFill::nothingWithoutDataRows()
{
    ArticleGrid grid = makeGrid({});
    grid.setSelection({1, 4, 3, 4});
    ScriptedPrompter prompter;
    QVERIFY(!Fill::fillDown(grid));
    QVERIFY(!Fill::fillUp(grid));
    QVERIFY(!Fill::fillDownIncrement(grid, 1, prompter));
    QCOMPARE(grid.rows(), 1);
    QVERIFY(prompter.shown.isEmpty());
}

void TestFill::fillDownIncrement_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("leading zeros are not kept")
        << "K09" << 1 << 3 << QStringList{"K09", "K10", "K11"};
    QTest::newRow("whole text numeric") << "12" << 5 << 3 << QStringList{"12", "17", "22"};
    QTest::newRow("the sign belongs to the tail")
        << "X-10" << 2 << 3 << QStringList{"X-10", "X-8", "X-6"};
    QTest::newRow("A7 step 3") << "A7" << 3 << 3 << QStringList{"A7", "A10", "A13"};
    for (int step = 1; step <= 5; ++step) {
        QTest::addRow("step %d", step) << "R1" << step << 4
                                       << QStringList{"R1", QStringLiteral("R%1").arg(1 + step),
                                                      QStringLiteral("R%1").arg(1 + 2 * step),
                                                      QStringLiteral("R%1").arg(1 + 3 * step)};
    }
    QTest::newRow("counting through zero") << "-1" << 1 << 3 << QStringList{"-1", "0", "1"};
    QTest::newRow("blanks before the tail are dropped")
        << "A 7" << 1 << 3 << QStringList{"A 7", "A8", "A9"};
    QTest::newRow("a half rounds to the even number")
        << "2.5" << 1 << 3 << QStringList{"2.5", "3", "4"};
    QTest::newRow("the other half too") << "3.5" << 1 << 3 << QStringList{"3.5", "5", "6"};
    QTest::newRow("up to the largest 32-bit number")
        << "2147483645" << 1 << 3 << QStringList{"2147483645", "2147483646", "2147483647"};
    // Only the next rows are written; nothing follows a single row.
    QTest::newRow("one row") << "K09" << 1 << 1 << QStringList{"K09"};
}

void TestFill::fillDownIncrement()
{
    QFETCH(QString, start);
    QFETCH(int, step);
    QFETCH(int, rows);
    QFETCH(QStringList, expected);

    // One more row below the selection, which must keep its value.
    ArticleGrid grid = stepGrid(start, rows + 1);
    const QStringList before = dump(grid);
    // Two columns selected: only the first is written.
    grid.setSelection({1, kDesignation, rows, kDesignation + 1});
    ScriptedPrompter prompter;
    QVERIFY(Fill::fillDownIncrement(grid, step, prompter));
    QCOMPARE(column(grid, kDesignation), expected + QStringList{"gammal"});
    QVERIFY(prompter.shown.isEmpty());

    // Every other cell keeps its value.
    QStringList expectedRows = before;
    for (int r = 0; r < rows; ++r) {
        QStringList cells = expectedRows[r].split(QLatin1Char('|'));
        cells[kDesignation - 1] = expected[r];
        expectedRows[r] = cells.join(QLatin1Char('|'));
    }
    QCOMPARE(dump(grid), expectedRows);
}

void TestFill::fillDownIncrementRefused_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<ArticleGrid::CellRange>("selection");

    QTest::newRow("tail not a number")
        << "K09A" << ArticleGrid::CellRange{1, kDesignation, 3, kDesignation};
    QTest::newRow("ends in a sign")
        << "K09-" << ArticleGrid::CellRange{1, kDesignation, 3, kDesignation};
    QTest::newRow("selection starts in BL_NAME") << "K09" << ArticleGrid::CellRange{1, 2, 3, 2};
    // Counting row numbers up would give rows outside the selection the same number.
    QTest::newRow("whole rows start in RAD") << "K09" << ArticleGrid::CellRange{1, 1, 3, 6};
}

void TestFill::fillDownIncrementRefused()
{
    QFETCH(QString, start);
    QFETCH(ArticleGrid::CellRange, selection);

    ArticleGrid grid = stepGrid(start, 3);
    const QStringList before = dump(grid);
    grid.setSelection(selection);
    ScriptedPrompter prompter;
    QVERIFY(!Fill::fillDownIncrement(grid, 1, prompter));
    QCOMPARE(dump(grid), before);
    QVERIFY(prompter.shown.isEmpty());
}

void TestFill::fillDownIncrementFailure_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("message");

    const QString head = QStringLiteral("frmMain:mnuEditFillDnIncr::ERROR:");
    QTest::newRow("empty start cell")
        << "" << head + "5 - Ogiltigt proceduranrop eller argument: cellen är tom.";
    QTest::newRow("overflow in the last row")
        << "2147483646" << head + "6 - Spill: talet 2147483649 ryms inte i ett 32-bitars heltal.";
    QTest::newRow("start beyond 32 bits")
        << "A99999999999"
        << head + "6 - Spill: talet 99999999999 ryms inte i ett 32-bitars heltal.";
    QTest::newRow("start below 32 bits")
        << "-2147483649" << head + "6 - Spill: talet -2147483649 ryms inte i ett 32-bitars heltal.";
}

// A failure writes nothing, not even the rows before an overflow, and the window stays as it is.
void TestFill::fillDownIncrementFailure()
{
    QFETCH(QString, start);
    QFETCH(QString, message);

    ArticleGrid grid = stepGrid(start, 4);
    const QStringList before = dump(grid);
    grid.setSelection({1, kDesignation, 4, kDesignation});
    ScriptedPrompter prompter;
    QVERIFY(!Fill::fillDownIncrement(grid, 1, prompter));
    QCOMPARE(dump(grid), before);
    QCOMPARE(prompter.texts(), QStringList{message});
    QCOMPARE(prompter.shown.first().title, QString());
    QCOMPARE(prompter.shown.first().icon, MessageIcon::None);
}

void TestFill::fillDownIncrementAtTheFieldsLength_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("step");
    QTest::addColumn<QStringList>("expected"); // the column afterwards
    QTest::addColumn<QString>("refusal");

    QTest::newRow("up to the last number that fits")
        << "9997" << 1 << QStringList{"9997", "9998", "9999"} << QString();
    QTest::newRow("one more digit is refused")
        << "9998" << 1 << QStringList{"9998", "x", "x"} << "10000 ryms inte i POLER (4 tecken)";
    QTest::newRow("with a prefix")
        << "K998" << 2 << QStringList{"K998", "x", "x"} << "K1000 ryms inte i POLER (4 tecken)";
    QTest::newRow("counting up through zero keeps the width")
        << "-999" << 5 << QStringList{"-999", "-994", "-989"} << QString();
}

// A cut number would silently become another one ("1000" after "9999"): nothing is written.
void TestFill::fillDownIncrementAtTheFieldsLength()
{
    QFETCH(QString, start);
    QFETCH(int, step);
    QFETCH(QStringList, expected);
    QFETCH(QString, refusal);

    FieldList fields;
    for (const char *name : {"RAD", "BL_NAME", "TYP"})
        fields.append({name, {}, 10, 0});
    fields.append({"POLER", {}, 4, 0});
    ArticleGrid grid;
    grid.setupColumns(fields);
    int next = 1;
    for (const QString &value : {start, QStringLiteral("x"), QStringLiteral("x")})
        next = grid.AddGridRow({"", QString::number(next), "ABCDI010", "1", value}, next);
    grid.setSelection({1, 4, 3, 4});

    ScriptedPrompter prompter;
    const Fill::Result result = Fill::fillDownIncrement(grid, step, prompter);
    QCOMPARE(result.refusal, refusal);
    QCOMPARE(bool(result), refusal.isEmpty());
    QCOMPARE(column(grid, 4), expected);
    QVERIFY(prompter.shown.isEmpty());
}

QTEST_GUILESS_MAIN(TestFill)
#include "tst_fill.moc"
