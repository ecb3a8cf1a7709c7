#include "browse/ArticleGrid.h"
#include "browse/GridRules.h"
#include "core/AppError.h"
#include "core/Progress.h"
#include "db/Database.h"
#include "db/TdsImport.h"
#include "edit/RowOperations.h"
#include "support/CatalogueFixture.h"
#include "support/ScriptedPrompter.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <QTest>

#include <optional>

using CatalogueFixture::line;
using Kind = ArticleSelection::Kind;

Q_DECLARE_METATYPE(ArticleSelection::Kind)

namespace {

// Grid rows as "RAD|BL_NAME|TYP|BENÄMNING". The block names differ only to show which row a new
// row takes its block name from.
const QStringList kRows{"10|ABCDI010|1|a", "20|ABCDI010|2|b", "30|ABCDI011|3|c", "40|ABCDI011|4|d"};

ArticleGrid makeGrid(const FieldList &fields, const QStringList &rows)
{
    ArticleGrid grid;
    grid.setupColumns(fields);
    for (int i = 0; i < rows.size(); ++i)
        grid.AddGridRow(QStringList{QString()} + rows.at(i).split(QLatin1Char('|')), i + 1);
    return grid;
}

// Every data row in the form above; FABRIKAT must stay empty, so it is left out.
QStringList rowsOf(const ArticleGrid &grid)
{
    QStringList rows;
    for (int row = 1; row < grid.rows(); ++row) {
        QStringList cells;
        for (int col = 1; col <= 4; ++col)
            cells << grid.text(row, col);
        rows << cells.join(QLatin1Char('|'));
        if (!grid.text(row, 0).isEmpty() || !grid.text(row, 5).isEmpty())
            rows << QStringLiteral("unexpected text in row %1").arg(row);
    }
    return rows;
}

void select(ArticleGrid &grid, int r1, int r2, int c1 = 1, int c2 = 5)
{
    grid.setSelection({r1, c1, r2, c2});
}

} // namespace

class TestRowOperations : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void typeNumbers_data();
    void typeNumbers();
    void insert_data();
    void insert();
    void appendAsksForCount_data();
    void appendAsksForCount();
    void appendSelectedCount();
    void blockNameWithApostrophe();
    void gridWithoutDataRows();
    void deleteRows_data();
    void deleteRows();
    void refusedOutsideOneGroup_data();
    void refusedOutsideOneGroup();
    void headLineStaysFirst_data();
    void headLineStaysFirst();

private:
    QTemporaryDir m_dir;
    Database m_db;
    FieldList m_fields;
};

void TestRowOperations::initTestCase()
{
    QVERIFY(m_dir.isValid());
    TestFiles::isolateSettings(m_dir.path());
    ScriptedPrompter prompter;
    NullProgress progress;
    const ImportResult result =
        TdsImport(prompter, progress)
            .run(CatalogueFixture::write(m_dir.path(), "katalog",
                                         {line("ABCDI010", "1", "a"), line("ABCDI010", "2", "b"),
                                          line("ABCDI011", "3", "c"), line("ABCDI011", "4", "d"),
                                          line("ABCDI020", "K99", "annan grupp"),
                                          line("AB'DI060", "K5", "apostrof")}));
    QVERIFY2(result.ok, qPrintable(prompter.texts().join('\n')));
    m_fields = result.fields;
    m_db.open(result.dbPath, Database::OpenMode::ReadWrite);
}

void TestRowOperations::typeNumbers_data()
{
    QTest::addColumn<QStringList>("saved");    // types of the group in the database
    QTest::addColumn<QStringList>("shown");    // types of the grid rows
    QTest::addColumn<QStringList>("expected"); // types of two appended rows
    QTest::addColumn<int>("error");            // 0 when none

    QTest::newRow("saved K12, grid shows only K3")
        << QStringList{"K3", "K12"} << QStringList{"K3"} << QStringList{"K13", "K14"} << 0;
    QTest::newRow("only numeric") << QStringList{"1", "4"} << QStringList{"2"}
                                  << QStringList{"5", "6"} << 0;
    QTest::newRow("head lines carry no number")
        << QStringList{"T-", "T1"} << QStringList{"T-", "T2", "F-"} << QStringList{"T3", "T4"} << 0;
    QTest::newRow("one character and empty ignored")
        << QStringList{""} << QStringList{"", "K", "-"} << QStringList{"1", "2"} << 0;
    QTest::newRow("digits then letters ignored")
        << QStringList{} << QStringList{"12A", "3"} << QStringList{"4", "5"} << 0;
    QTest::newRow("mixed: last prefix, highest of either form")
        << QStringList{} << QStringList{"K2", "15", "M3"} << QStringList{"M16", "M17"} << 0;
    QTest::newRow("last saved prefix wins")
        << QStringList{"A5", "B1"} << QStringList{""} << QStringList{"B6", "B7"} << 0;
    QTest::newRow("grid prefix overrides saved prefix")
        << QStringList{"A9"} << QStringList{"B2"} << QStringList{"B10", "B11"} << 0;
    QTest::newRow("saved prefix stays when the grid has none")
        << QStringList{"A9"} << QStringList{"3"} << QStringList{"A10", "A11"} << 0;
    QTest::newRow("other groups do not count")
        << QStringList{} << QStringList{"1"} << QStringList{"2", "3"} << 0;
    QTest::newRow("highest possible types")
        << QStringList{} << QStringList{"K32765"} << QStringList{"K32766", "K32767"} << 0;

    QTest::newRow("shown prefixed type without a number")
        << QStringList{} << QStringList{"1", "K1A"} << QStringList{}
        << int(ErrorNumber::TypeMismatch);
    QTest::newRow("saved prefixed type without a number")
        << QStringList{"K1A"} << QStringList{"1"} << QStringList{}
        << int(ErrorNumber::TypeMismatch);
    QTest::newRow("shown type above 32767")
        << QStringList{} << QStringList{"32768"} << QStringList{} << int(ErrorNumber::Overflow);
    QTest::newRow("saved type above 32767")
        << QStringList{"K32768"} << QStringList{"1"} << QStringList{} << int(ErrorNumber::Overflow);
    QTest::newRow("no type number left")
        << QStringList{} << QStringList{"32767"} << QStringList{} << int(ErrorNumber::Overflow);
}

// Appends two rows through the input box; on an error neither insert nor append adds a row.
void TestRowOperations::typeNumbers()
{
    QFETCH(QStringList, saved);
    QFETCH(QStringList, shown);
    QFETCH(QStringList, expected);
    QFETCH(int, error);

    Transaction keepDatabase(m_db); // rolled back at the end
    Statement insert = m_db.prepare("INSERT INTO Articles (RAD, BL_NAME, TYP) VALUES (?, ?, ?)");
    for (int i = 0; i < saved.size(); ++i) {
        insert.bind(1, qint64(100 + i)).bind(2, QStringLiteral("ABCDI030")).bind(3, saved.at(i));
        insert.run();
        insert.reset();
    }
    QStringList rows;
    for (int i = 0; i < shown.size(); ++i)
        rows << QStringLiteral("%1|ABCDI030|%2|x").arg(i + 1).arg(shown.at(i));
    ArticleGrid grid = makeGrid(m_fields, rows);
    select(grid, 1, 1);

    ScriptedPrompter prompter;
    prompter.inputs.enqueue(QStringLiteral("2"));
    if (error == 0) {
        const RowOperations::RowsResult result =
            RowOperations::AppendArticle(grid, m_db, prompter, true, Kind::Group);
        QCOMPARE(result.count, 2);
        QCOMPARE(QStringList({grid.text(grid.rows() - 2, 3), grid.text(grid.rows() - 1, 3)}),
                 expected);
        return;
    }

    const QStringList before = rowsOf(grid);
    try {
        RowOperations::InsertArticle(grid, m_db, Kind::Group);
        QFAIL("insert: no error");
    } catch (const AppError &e) {
        QCOMPARE(e.number(), error);
    }
    QCOMPARE(rowsOf(grid), before);
    try {
        RowOperations::AppendArticle(grid, m_db, prompter, true, Kind::Group);
        QFAIL("append: no error");
    } catch (const AppError &e) {
        QCOMPARE(e.number(), error);
    }
    QCOMPARE(rowsOf(grid), before);
    // A bad type stops the operation before the count is asked for.
    const bool typesAreBad = shown.last() != QLatin1String("32767");
    QCOMPARE(prompter.shown.isEmpty(), typesAreBad);
}

void TestRowOperations::insert_data()
{
    QTest::addColumn<int>("r1");
    QTest::addColumn<int>("r2");
    QTest::addColumn<QStringList>("expected");

    // New rows take the block name of the first selected row, the next types and the row
    // numbers of their position; the rows below them get the numbers that follow.
    QTest::newRow("three rows above row 2")
        << 2 << 4
        << QStringList{"10|ABCDI010|1|a", "20|ABCDI010|5|",  "30|ABCDI010|6|", "40|ABCDI010|7|",
                       "41|ABCDI010|2|b", "42|ABCDI011|3|c", "43|ABCDI011|4|d"};
    QTest::newRow("one row above row 3")
        << 3 << 3
        << QStringList{"10|ABCDI010|1|a", "20|ABCDI010|2|b", "30|ABCDI011|5|", "40|ABCDI011|3|c",
                       "41|ABCDI011|4|d"};
    QTest::newRow("above the first row")
        << 1 << 1
        << QStringList{"10|ABCDI010|5|", "20|ABCDI010|1|a", "30|ABCDI010|2|b", "40|ABCDI011|3|c",
                       "41|ABCDI011|4|d"};
    QTest::newRow("selection past the last row counts the rows it holds")
        << 4 << 9
        << QStringList{"10|ABCDI010|1|a", "20|ABCDI010|2|b", "30|ABCDI011|3|c", "40|ABCDI011|5|",
                       "41|ABCDI011|4|d"};
}

void TestRowOperations::insert()
{
    QFETCH(int, r1);
    QFETCH(int, r2);
    QFETCH(QStringList, expected);
    ArticleGrid grid = makeGrid(m_fields, kRows);
    select(grid, r1, r2);

    const int inserted = RowOperations::InsertArticle(grid, m_db, Kind::Group).count;
    QCOMPARE(inserted, expected.size() - kRows.size());
    QCOMPARE(rowsOf(grid), expected);
}

void TestRowOperations::appendAsksForCount_data()
{
    QTest::addColumn<std::optional<QString>>("reply");
    QTest::addColumn<int>("added");
    QTest::newRow("3") << std::optional<QString>("3") << 3;
    QTest::newRow("half rounds down to even") << std::optional<QString>("2.5") << 2;
    QTest::newRow("half rounds up to even") << std::optional<QString>("3.5") << 4;
    QTest::newRow("decimal comma") << std::optional<QString>("1,5") << 2;
    QTest::newRow("blanks around") << std::optional<QString>(" 2 ") << 2;
    QTest::newRow("cancelled") << std::optional<QString>() << 0;
    QTest::newRow("empty") << std::optional<QString>("") << 0;
    QTest::newRow("text") << std::optional<QString>("tre") << 0;
    QTest::newRow("zero") << std::optional<QString>("0") << 0;
    QTest::newRow("negative adds nothing") << std::optional<QString>("-2") << 0;
}

void TestRowOperations::appendAsksForCount()
{
    QFETCH(std::optional<QString>, reply);
    QFETCH(int, added);
    // Row numbers out of order, as after a sort: every append renumbers, even with no new row.
    QStringList rows = kRows;
    rows[0] = "20|ABCDI010|1|a";
    rows[1] = "10|ABCDI010|2|b";
    ArticleGrid grid = makeGrid(m_fields, rows);
    select(grid, 1, 3);
    ScriptedPrompter prompter;
    prompter.inputs.enqueue(reply);

    const RowOperations::RowsResult result =
        RowOperations::AppendArticle(grid, m_db, prompter, true, Kind::Group);

    QCOMPARE(prompter.shown.size(), 1);
    QCOMPARE(prompter.shown.first().title, QStringLiteral("Ange antal"));
    QCOMPARE(prompter.shown.first().text, QStringLiteral("Antal nya artiklar:"));
    QCOMPARE(prompter.inputInitials, QStringList{"1"});
    QCOMPARE(result.count, added);
    QCOMPARE(result.scrollRow, grid.rows() - 1);
    QStringList expected = kRows;
    // The new rows take the block name of the last selected row.
    for (int k = 1; k <= added; ++k)
        expected << QStringLiteral("%1|ABCDI011|%2|").arg(40 + k).arg(4 + k);
    QCOMPARE(rowsOf(grid), expected);
}

void TestRowOperations::appendSelectedCount()
{
    ArticleGrid grid = makeGrid(m_fields, kRows);
    select(grid, 1, 2, 3, 3);
    ScriptedPrompter prompter;

    const RowOperations::RowsResult result =
        RowOperations::AppendArticle(grid, m_db, prompter, false, Kind::Manufacturer);

    QVERIFY(prompter.shown.isEmpty());
    QCOMPARE(result.count, 2);
    QCOMPARE(result.scrollRow, 6);
    QCOMPARE(rowsOf(grid), kRows + QStringList({"41|ABCDI010|5|", "42|ABCDI010|6|"}));
}

void TestRowOperations::blockNameWithApostrophe()
{
    // The saved K5 is found although the block name holds an apostrophe.
    ArticleGrid grid = makeGrid(m_fields, {"7|AB'DI060|K2|x"});
    select(grid, 1, 1);
    QCOMPARE(RowOperations::InsertArticle(grid, m_db, Kind::Group).count, 1);
    ScriptedPrompter prompter;
    RowOperations::AppendArticle(grid, m_db, prompter, false, Kind::Group);
    QCOMPARE(rowsOf(grid), (QStringList{"7|AB'DI060|K6|", "8|AB'DI060|K2|x", "9|AB'DI060|K7|"}));
}

void TestRowOperations::gridWithoutDataRows()
{
    ArticleGrid grid = makeGrid(m_fields, {});
    select(grid, 0, 0);
    ScriptedPrompter prompter;
    prompter.inputs.enqueue(QStringLiteral("2"));
    QVERIFY_THROWS_EXCEPTION(AppError, RowOperations::InsertArticle(grid, m_db, Kind::Group));
    QVERIFY_THROWS_EXCEPTION(AppError,
                             RowOperations::AppendArticle(grid, m_db, prompter, true, Kind::Group));
    QVERIFY(prompter.shown.isEmpty());
    QCOMPARE(RowOperations::DeleteArticle(grid, prompter, Kind::Group).count, 0);
    QCOMPARE(grid.rows(), 1);
}

void TestRowOperations::deleteRows_data()
{
    QTest::addColumn<int>("r1");
    QTest::addColumn<int>("r2");
    QTest::addColumn<int>("c1");
    QTest::addColumn<int>("c2");
    QTest::addColumn<QStringList>("left"); // row numbers of the rows left

    QTest::newRow("rows 4 to 6, whole rows")
        << 4 << 6 << 1 << 5 << QStringList{"1", "2", "3", "21", "34"};
    QTest::newRow("rows 4 to 6, one column")
        << 4 << 6 << 3 << 3 << QStringList{"1", "2", "3", "21", "34"};
    QTest::newRow("first row") << 1 << 1 << 4 << 4
                               << QStringList{"2", "3", "5", "8", "13", "21", "34"};
    QTest::newRow("past the last row")
        << 7 << 20 << 1 << 5 << QStringList{"1", "2", "3", "5", "8", "13"};
    QTest::newRow("no data row selected")
        << 0 << 0 << 0 << 0 << QStringList{"1", "2", "3", "5", "8", "13", "21", "34"};
}

void TestRowOperations::deleteRows()
{
    QFETCH(int, r1);
    QFETCH(int, r2);
    QFETCH(int, c1);
    QFETCH(int, c2);
    QFETCH(QStringList, left);
    QStringList rows;
    for (const char *rad : {"1", "2", "3", "5", "8", "13", "21", "34"})
        rows << QStringLiteral("%1|ABCDI010|T%1|").arg(QLatin1String(rad));
    ArticleGrid grid = makeGrid(m_fields, rows);
    select(grid, r1, r2, c1, c2);

    ScriptedPrompter prompter;
    QCOMPARE(RowOperations::DeleteArticle(grid, prompter, Kind::Group).count,
             rows.size() - left.size());
    QStringList expected;
    for (const QString &rad : left)
        expected << QStringLiteral("%1|ABCDI010|T%1|").arg(rad);
    QCOMPARE(rowsOf(grid), expected);
}

void TestRowOperations::refusedOutsideOneGroup_data()
{
    QTest::addColumn<ArticleSelection::Kind>("view");
    QTest::newRow("root") << Kind::Root;
    QTest::newRow("nothing picked") << Kind::None;
}

// The root view's rows belong to many groups: new rows would take the first row's group.
void TestRowOperations::refusedOutsideOneGroup()
{
    QFETCH(ArticleSelection::Kind, view);
    ArticleGrid grid = makeGrid(m_fields, kRows);
    select(grid, 2, 3);
    ScriptedPrompter prompter;
    prompter.inputs.enqueue(QStringLiteral("2"));

    const QList<RowOperations::RowsResult> results{
        RowOperations::InsertArticle(grid, m_db, view),
        RowOperations::AppendArticle(grid, m_db, prompter, false, view),
        RowOperations::AppendArticle(grid, m_db, prompter, true, view),
        RowOperations::DeleteArticle(grid, prompter, view)};
    for (const RowOperations::RowsResult &result : results) {
        QCOMPARE(result.refusal, GridRules::rootViewRowHint());
        QCOMPARE(result.count, 0);
        QCOMPARE(result.change, GridChange::nothing());
    }
    QVERIFY(prompter.shown.isEmpty()); // not even asked for a count
    QCOMPARE(rowsOf(grid), kRows);
    QCOMPARE(grid.selection(), (ArticleGrid::CellRange{2, 1, 3, 5}));
}

void TestRowOperations::headLineStaysFirst_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("answer"); // to "Gruppens rubrikrad tas bort ..."
    QTest::addColumn<bool>("asked");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("insert on the head line goes below it")
        << "insert" << false << false
        << QStringList{"10|ABCDI010|-|Grupp", "11|ABCDI010|3|", "12|ABCDI010|1|a",
                       "13|ABCDI010|2|b"};
    QTest::newRow("deleting the head line asks, Avbryt keeps it")
        << "delete" << false << true
        << QStringList{"10|ABCDI010|-|Grupp", "11|ABCDI010|1|a", "12|ABCDI010|2|b"};
    QTest::newRow("deleting the head line asks, Ja removes it")
        << "delete" << true << true << QStringList{"11|ABCDI010|1|a", "12|ABCDI010|2|b"};
}

void TestRowOperations::headLineStaysFirst()
{
    QFETCH(QString, command);
    QFETCH(bool, answer);
    QFETCH(bool, asked);
    QFETCH(QStringList, expected);

    ArticleGrid grid =
        makeGrid(m_fields, {"10|ABCDI010|-|Grupp", "11|ABCDI010|1|a", "12|ABCDI010|2|b"});
    select(grid, 1, 1);
    ScriptedPrompter prompter;
    prompter.answers.enqueue(answer);
    Database closed; // the grid's types are all there are
    if (command == QLatin1String("insert"))
        RowOperations::InsertArticle(grid, closed, Kind::Group);
    else
        RowOperations::DeleteArticle(grid, prompter, Kind::Group);
    QCOMPARE(rowsOf(grid), expected);
    QCOMPARE(prompter.shown.size(), asked ? 1 : 0);
    if (asked)
        QVERIFY(prompter.lastText().startsWith("Gruppens rubrikrad tas bort"));
}

QTEST_GUILESS_MAIN(TestRowOperations)
#include "tst_rowoperations.moc"
