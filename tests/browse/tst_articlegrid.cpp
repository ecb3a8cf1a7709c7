#include "browse/ArticleGrid.h"

#include <QTest>

#include <functional>

namespace {

FieldList fieldsNamed(const QStringList &names)
{
    FieldList fields;
    for (const QString &name : names)
        fields << FieldDesc{name, QString(), 8, 0};
    return fields;
}

// RAD, BL_NAME, TYP, BENÄMNING, FABRIKAT: six grid columns with the row-selector column.
ArticleGrid standardGrid()
{
    ArticleGrid grid;
    grid.setupColumns(fieldsNamed({"RAD", "BL_NAME", "TYP", "BENÄMNING", "FABRIKAT"}));
    return grid;
}

QStringList rowTexts(const ArticleGrid &grid, int row)
{
    QStringList texts;
    for (int c = 0; c < grid.cols(); ++c) {
        texts << grid.text(row, c);
        // Both ways of reading a cell must agree.
        if (grid.text(row, c) != texts.last())
            texts.last() += QStringLiteral(" <view differs>");
    }
    return texts;
}

// Four rows loaded from database rows 11 to 14, their TYP 4, 2, 3, 1.
ArticleGrid loadedGrid()
{
    ArticleGrid grid = standardGrid();
    const QStringList types{"4", "2", "3", "1"};
    for (int i = 0; i < 4; ++i) {
        const QStringList cells{"", QString::number(i), "ABCDI010", types.at(i), "Ärm", "Nordel"};
        PackedCells::Builder builder;
        for (const QString &cell : cells) {
            const QByteArray utf8 = cell.toUtf8();
            builder.addUtf8(utf8.constData(), utf8.size());
        }
        grid.appendRow(builder.take(), 11 + i);
    }
    return grid;
}

QList<qint64> rowIds(const ArticleGrid &grid)
{
    QList<qint64> ids;
    for (int r = 1; r < grid.rows(); ++r)
        ids << grid.rowId(r);
    return ids;
}

QList<qint64> changedIds(const ArticleGrid &grid)
{
    QList<qint64> ids;
    for (int r = 1; r < grid.rows(); ++r) {
        if (grid.rowChanged(r))
            ids << grid.rowId(r);
    }
    return ids;
}

using GridEdit = std::function<void(ArticleGrid &)>;

} // namespace

Q_DECLARE_METATYPE(GridEdit)

class TestArticleGrid : public QObject
{
    Q_OBJECT

private slots:
    void setupColumnsWritesTheHeaderRow();
    void addGridRow_data();
    void addGridRow();
    void setTextKeepsTheOtherCells_data();
    void setTextKeepsTheOtherCells();
    void cellsOutsideTheGridAreIgnored();
    void getColumn_data();
    void getColumn();
    void findGridColumn_data();
    void findGridColumn();
    void setRows_data();
    void setRows();
    void rowsKeepTheirOrigin_data();
    void rowsKeepTheirOrigin();
};

void TestArticleGrid::setupColumnsWritesTheHeaderRow()
{
    ArticleGrid grid = standardGrid();
    grid.AddGridRow({"", "1", "ABCDI010"}, 3);
    grid.setSelection({1, 1, 2, 2});

    // Setting up again starts over: header row only, nothing selected.
    grid.setupColumns(fieldsNamed({"RAD", "BL_NAME", "TYP"}));
    QCOMPARE(grid.cols(), 4);
    QCOMPARE(grid.rows(), 1);
    QCOMPARE(rowTexts(grid, 0), QStringList({"", "RAD", "BL_NAME", "TYP"}));
    QCOMPARE(grid.selection().r1, 0);
    QCOMPARE(grid.selection().r2, 0);
    QCOMPARE(grid.selection().c2, 0);
}

void TestArticleGrid::addGridRow_data()
{
    QTest::addColumn<int>("rowsBefore");
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("expectedRows");
    QTest::addColumn<QStringList>("expectedRow");

    QTest::newRow("next row") << 1 << QStringList{"", "1", "ABCDI010", "2", "Ärm", "Nordel"} << 1
                              << 2 << QStringList{"", "1", "ABCDI010", "2", "Ärm", "Nordel"};
    QTest::newRow("values beyond the last column ignored")
        << 1 << QStringList{"", "1", "ABCDI010", "2", "Ärm", "Nordel", "extra", "more"} << 1 << 2
        << QStringList{"", "1", "ABCDI010", "2", "Ärm", "Nordel"};
    QTest::newRow("fewer values leave the rest empty")
        << 1 << QStringList{"", "7"} << 1 << 2 << QStringList{"", "7", "", "", "", ""};
    QTest::newRow("past the end adds empty rows between")
        << 1 << QStringList{"", "9"} << 4 << 5 << QStringList{"", "9", "", "", "", ""};
    // The row count becomes row + 1 even when the grid was longer.
    QTest::newRow("inside a longer grid cuts it")
        << 6 << QStringList{"", "3"} << 2 << 3 << QStringList{"", "3", "", "", "", ""};
}

void TestArticleGrid::addGridRow()
{
    QFETCH(int, rowsBefore);
    QFETCH(QStringList, values);
    QFETCH(int, row);
    QFETCH(int, expectedRows);
    QFETCH(QStringList, expectedRow);

    ArticleGrid grid = standardGrid();
    grid.setRows(rowsBefore);
    QCOMPARE(grid.AddGridRow(values, row, 0x00ffcc00), expectedRows);
    QCOMPARE(grid.rows(), expectedRows);
    QCOMPARE(grid.cols(), 6);
    QCOMPARE(rowTexts(grid, row), expectedRow);
    QCOMPARE(grid.rowColour(row), 0x00ffcc00u);
    QCOMPARE(rowTexts(grid, 0),
             QStringList({"", "RAD", "BL_NAME", "TYP", "BENÄMNING", "FABRIKAT"}));
    for (int r = 1; r < row; ++r)
        QCOMPARE(rowTexts(grid, r), QStringList(6, QString()));
}

void TestArticleGrid::setTextKeepsTheOtherCells_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QList<int>>("columns");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QStringList>("after");

    const QStringList row{"", "12", "ABCDI010", "3", "Ärm två", "Nordel"};
    QTest::newRow("longer, first column")
        << row << QList<int>{0} << QStringList{"vald"}
        << QStringList{"vald", "12", "ABCDI010", "3", "Ärm två", "Nordel"};
    QTest::newRow("longer, middle column")
        << row << QList<int>{3} << QStringList{"12345"}
        << QStringList{"", "12", "ABCDI010", "12345", "Ärm två", "Nordel"};
    QTest::newRow("longer, last column")
        << row << QList<int>{5} << QStringList{"Nordel och söner"}
        << QStringList{"", "12", "ABCDI010", "3", "Ärm två", "Nordel och söner"};
    QTest::newRow("shorter, first data column")
        << row << QList<int>{1} << QStringList{"7"}
        << QStringList{"", "7", "ABCDI010", "3", "Ärm två", "Nordel"};
    QTest::newRow("shorter, middle column")
        << row << QList<int>{2} << QStringList{"AB"}
        << QStringList{"", "12", "AB", "3", "Ärm två", "Nordel"};
    QTest::newRow("shorter, last column") << row << QList<int>{5} << QStringList{"N"}
                                          << QStringList{"", "12", "ABCDI010", "3", "Ärm två", "N"};
    QTest::newRow("empty, first column")
        << QStringList{"x", "12", "ABCDI010", "3", "Ärm", "Nordel"} << QList<int>{0}
        << QStringList{""} << QStringList{"", "12", "ABCDI010", "3", "Ärm", "Nordel"};
    QTest::newRow("empty, middle column") << row << QList<int>{4} << QStringList{""}
                                          << QStringList{"", "12", "ABCDI010", "3", "", "Nordel"};
    QTest::newRow("empty, last column") << row << QList<int>{5} << QStringList{""}
                                        << QStringList{"", "12", "ABCDI010", "3", "Ärm två", ""};
    QTest::newRow("Swedish letters") << row << QList<int>{4, 5} << QStringList{"Åäö ÅÄÖ", "Åkerby"}
                                     << QStringList{"", "12", "ABCDI010", "3", "Åäö ÅÄÖ", "Åkerby"};
    QTest::newRow("emptied, then filled again")
        << row << QList<int>{3, 2, 3} << QStringList{"", "", "99"}
        << QStringList{"", "12", "", "99", "Ärm två", "Nordel"};
    QTest::newRow("every cell of an empty row, right to left")
        << QStringList(6, QString()) << QList<int>{5, 4, 3, 2, 1, 0}
        << QStringList{"f", "e", "d", "c", "b", "a"} << QStringList{"a", "b", "c", "d", "e", "f"};
    QTest::newRow("every cell of an empty row, left to right")
        << QStringList(6, QString()) << QList<int>{0, 1, 2, 3, 4, 5}
        << QStringList{"a", "bb", "", "dddd", "", "ffffff"}
        << QStringList{"a", "bb", "", "dddd", "", "ffffff"};
}

void TestArticleGrid::setTextKeepsTheOtherCells()
{
    QFETCH(QStringList, before);
    QFETCH(QList<int>, columns);
    QFETCH(QStringList, texts);
    QFETCH(QStringList, after);

    ArticleGrid grid = standardGrid();
    const QStringList neighbour{"", "1", "ABCDI020", "1", "Cyklar", "Åkerby"};
    grid.AddGridRow(neighbour, 1);
    grid.AddGridRow(before, 2);
    grid.AddGridRow(neighbour, 3);
    for (qsizetype i = 0; i < columns.size(); ++i)
        grid.setText(2, columns.at(i), texts.at(i));

    QCOMPARE(rowTexts(grid, 2), after);
    QCOMPARE(rowTexts(grid, 1), neighbour);
    QCOMPARE(rowTexts(grid, 3), neighbour);
}

void TestArticleGrid::cellsOutsideTheGridAreIgnored()
{
    ArticleGrid grid = standardGrid();
    const QStringList row{"", "1", "ABCDI010", "2", "Ärm", "Nordel"};
    grid.AddGridRow(row, 1);
    grid.setText(1, 6, "x");
    grid.setText(1, -1, "x");
    grid.setText(2, 1, "x");
    grid.setText(-1, 1, "x");
    QCOMPARE(grid.rows(), 2);
    QCOMPARE(rowTexts(grid, 1), row);
    QCOMPARE(grid.text(1, 6), QString());
    QCOMPARE(grid.text(2, 0), QString());
    QCOMPARE(grid.text(-1, 0), QString());
}

void TestArticleGrid::getColumn_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("column");
    QTest::newRow("first data column") << "RAD" << 1;
    QTest::newRow("block name") << "BL_NAME" << 2;
    QTest::newRow("Swedish letters") << "BENÄMNING" << 4;
    QTest::newRow("last column") << "FABRIKAT" << 5;
    QTest::newRow("exact case finds the later column") << "benämning" << 6;
    QTest::newRow("other case") << "Benämning" << -1;
    QTest::newRow("other case of Ä only") << "BENäMNING" << -1;
    QTest::newRow("missing") << "PRIS" << -1;
    QTest::newRow("column 0 is never found") << "" << -1;
    QTest::newRow("prefix is not enough") << "BL" << -1;
}

void TestArticleGrid::getColumn()
{
    QFETCH(QString, name);
    QFETCH(int, column);
    ArticleGrid grid;
    grid.setupColumns(fieldsNamed({"RAD", "BL_NAME", "TYP", "BENÄMNING", "FABRIKAT", "benämning"}));
    QCOMPARE(grid.GetColumn(name), column);
}

void TestArticleGrid::findGridColumn_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("column");
    QTest::newRow("exact") << "TYP" << 3;
    QTest::newRow("lower case") << "bl_name" << 2;
    QTest::newRow("first of two that differ in case") << "benämning" << 4;
    QTest::newRow("Ä against ä") << "BENäMNING" << 4;
    QTest::newRow("mixed case") << "Benämning" << 4;
    QTest::newRow("missing") << "PRIS" << -1;
    QTest::newRow("column 0 counts") << "" << 0;
}

void TestArticleGrid::findGridColumn()
{
    QFETCH(QString, name);
    QFETCH(int, column);
    ArticleGrid grid;
    grid.setupColumns(fieldsNamed({"RAD", "BL_NAME", "TYP", "BENÄMNING", "FABRIKAT", "benämning"}));
    QCOMPARE(grid.FindGridColumn(name), column);
}

void TestArticleGrid::setRows_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("expected");
    QTest::newRow("header only") << 1 << 1;
    QTest::newRow("zero keeps the header") << 0 << 1;
    QTest::newRow("negative keeps the header") << -5 << 1;
    QTest::newRow("shorter") << 2 << 2;
    QTest::newRow("same") << 3 << 3;
    QTest::newRow("longer") << 5 << 5;
}

void TestArticleGrid::setRows()
{
    QFETCH(int, rows);
    QFETCH(int, expected);

    ArticleGrid grid = standardGrid();
    const QStringList header = rowTexts(grid, 0);
    const QStringList first{"", "1", "ABCDI010", "1", "Ärmar", "Nordel"};
    grid.AddGridRow(first, 1);
    grid.AddGridRow({"", "2", "ABCDI010", "2", "Ärm två", "O'Brien"}, 2);

    grid.setRows(rows);
    QCOMPARE(grid.rows(), expected);
    QCOMPARE(rowTexts(grid, 0), header);
    if (expected > 1)
        QCOMPARE(rowTexts(grid, 1), first);
    // Added rows are empty and take text like any other.
    for (int r = 3; r < expected; ++r) {
        QCOMPARE(rowTexts(grid, r), QStringList(6, QString()));
        grid.setText(r, 3, "x");
        QCOMPARE(rowTexts(grid, r), QStringList({"", "", "", "x", "", ""}));
    }
}

void TestArticleGrid::rowsKeepTheirOrigin_data()
{
    QTest::addColumn<GridEdit>("edit");
    QTest::addColumn<QList<qint64>>("ids");
    QTest::addColumn<QList<qint64>>("changed");
    QTest::addColumn<QList<qint64>>("removed");

    using Ids = QList<qint64>;
    QTest::newRow("as loaded") << GridEdit([](ArticleGrid &) {}) << Ids{11, 12, 13, 14} << Ids{}
                               << Ids{};
    QTest::newRow("new text") << GridEdit([](ArticleGrid &g) { g.setText(2, 4, "Ny"); })
                              << Ids{11, 12, 13, 14} << Ids{12} << Ids{};
    QTest::newRow("the same text is no change")
        << GridEdit([](ArticleGrid &g) { g.setText(2, 4, "Ärm"); }) << Ids{11, 12, 13, 14} << Ids{}
        << Ids{};
    QTest::newRow("swapped") << GridEdit([](ArticleGrid &g) {
        g.setText(1, 4, "Ny");
        g.swapRows(1, 3);
    }) << Ids{13, 12, 11, 14} << Ids{11}
                             << Ids{};
    QTest::newRow("moved") << GridEdit([](ArticleGrid &g) { g.moveRow(1, 4); })
                           << Ids{12, 13, 14, 11} << Ids{} << Ids{};
    QTest::newRow("sorted") << GridEdit([](ArticleGrid &g) { g.sortRows(3, true); })
                            << Ids{14, 12, 13, 11} << Ids{} << Ids{};
    QTest::newRow("rows inserted have none") << GridEdit([](ArticleGrid &g) { g.insertRows(2, 2); })
                                             << Ids{11, 0, 0, 12, 13, 14} << Ids{} << Ids{};
    QTest::newRow("rows removed are remembered")
        << GridEdit([](ArticleGrid &g) { g.removeRows(2, 2); }) << Ids{11, 14} << Ids{}
        << Ids{12, 13};
    QTest::newRow("an inserted row removed again") << GridEdit([](ArticleGrid &g) {
        g.insertRows(2, 1);
        g.removeRows(2, 1);
    }) << Ids{11, 12, 13, 14} << Ids{} << Ids{};
    // Cutting the buffer is not deleting: those rows are only forgotten.
    QTest::newRow("rows cut off") << GridEdit([](ArticleGrid &g) { g.setRows(3); }) << Ids{11, 12}
                                  << Ids{} << Ids{};
    QTest::newRow("cleared after a removal") << GridEdit([](ArticleGrid &g) {
        g.removeRows(1, 1);
        g.clearRows();
    }) << Ids{} << Ids{} << Ids{};
}

void TestArticleGrid::rowsKeepTheirOrigin()
{
    QFETCH(GridEdit, edit);
    QFETCH(QList<qint64>, ids);
    QFETCH(QList<qint64>, changed);
    QFETCH(QList<qint64>, removed);

    ArticleGrid grid = loadedGrid();
    QCOMPARE(rowTexts(grid, 1), QStringList({"", "0", "ABCDI010", "4", "Ärm", "Nordel"}));
    edit(grid);
    QCOMPARE(rowIds(grid), ids);
    QCOMPARE(changedIds(grid), changed);
    QCOMPARE(QList<qint64>(grid.removedRowIds().begin(), grid.removedRowIds().end()), removed);
}

QTEST_GUILESS_MAIN(TestArticleGrid)
#include "tst_articlegrid.moc"
