#include "browse/ArticleGrid.h"
#include "browse/GridRules.h"

#include <QTest>

using Kind = ArticleSelection::Kind;
Q_DECLARE_METATYPE(ArticleSelection::Kind)

namespace {

FieldList fields()
{
    return {{"RAD", {}, 6, 0},         {"BL_NAME", {}, 8, 1},   {"TYP", {}, 3, 9},
            {"BENÄMNING", {}, 20, 12}, {"TBH/APP", {}, 12, 32}, {"CCONF", {}, 30, 44}};
}

// A grid with the fields above plus one column the field list does not know.
ArticleGrid grid(const QStringList &types)
{
    FieldList withExtra = fields();
    withExtra.append({"EXTRA", {}, 5, 0});
    ArticleGrid g;
    g.setupColumns(withExtra);
    int row = 1;
    for (const QString &type : types)
        row = g.AddGridRow({"", QString::number(row * 10), "ABCDI010", type, "Namn", "", "", "x"},
                           row);
    return g;
}

QStringList column(const ArticleGrid &g, int c)
{
    QStringList values;
    for (int r = 1; r < g.rows(); ++r)
        values << g.text(r, c);
    return values;
}

} // namespace

class TestGridRules : public QObject
{
    Q_OBJECT

private slots:
    void editRules_data();
    void editRules();
    void blankEditsBecomeZero();
    void deleteKeepsProtectedColumns();
    void sortingByType_data();
    void sortingByType();
    void popupMenu_data();
    void popupMenu();
    void statusText();
};

void TestGridRules::editRules_data()
{
    QTest::addColumn<QString>("header");
    QTest::addColumn<bool>("singleGroup");
    QTest::addColumn<bool>("allowed");
    QTest::addColumn<int>("maxLength");
    QTest::addColumn<bool>("ellipsis");
    QTest::newRow("designation") << "BENÄMNING" << true << true << 20 << false;
    QTest::newRow("every article shown") << "BENÄMNING" << false << false << 0 << false;
    QTest::newRow("block name never") << "BL_NAME" << true << false << 0 << false;
    QTest::newRow("type") << "TYP" << true << true << 3 << false;
    QTest::newRow("accessory with button") << "TBH/APP" << true << true << 12 << true;
    QTest::newRow("contacts with button") << "CCONF" << true << true << 30 << true;
    QTest::newRow("not in the field list") << "EXTRA" << true << false << 0 << false;
}

void TestGridRules::editRules()
{
    QFETCH(QString, header);
    QFETCH(bool, singleGroup);
    QFETCH(bool, allowed);
    QFETCH(int, maxLength);
    QFETCH(bool, ellipsis);
    const ArticleGrid g = grid({"1"});
    const GridRules::EditRule rule =
        GridRules::editRule(g, g.FindGridColumn(header), singleGroup, fields());
    QCOMPARE(rule.allowed, allowed);
    if (allowed) {
        QCOMPARE(rule.maxLength, maxLength);
        QCOMPARE(rule.ellipsis, ellipsis);
    }
    QVERIFY(!GridRules::editRule(g, 0, true, fields()).allowed); // the row selector
}

void TestGridRules::blankEditsBecomeZero()
{
    ArticleGrid g = grid({"1"});
    const int c = g.GetColumn("BENÄMNING");
    for (const QString &typed : {QString(), QString("   ")}) {
        g.setText(1, c, typed);
        GridRules::afterEdit(g, 1, c);
        QCOMPARE(g.text(1, c), QString("0"));
    }
    g.setText(1, c, " x ");
    GridRules::afterEdit(g, 1, c);
    QCOMPARE(g.text(1, c), QString(" x "));
}

void TestGridRules::deleteKeepsProtectedColumns()
{
    ArticleGrid g = grid({"1", "2", "3"});
    QVERIFY(GridRules::clearCells(g, {1, 1, 2, g.cols() - 1}));
    for (int r = 1; r <= 2; ++r) {
        QCOMPARE(g.text(r, g.GetColumn("RAD")), QString::number(r * 10));
        QCOMPARE(g.text(r, g.GetColumn("BL_NAME")), QString("ABCDI010"));
        QCOMPARE(g.text(r, g.GetColumn("TYP")), QString::number(r));
        QCOMPARE(g.text(r, g.GetColumn("BENÄMNING")), QString());
        QCOMPARE(g.text(r, g.GetColumn("EXTRA")), QString());
    }
    QCOMPARE(g.text(3, g.GetColumn("BENÄMNING")), QString("Namn"));
    // Nothing left to clear.
    QVERIFY(!GridRules::clearCells(g, {1, 4, 2, 4}));
}

void TestGridRules::sortingByType_data()
{
    QTest::addColumn<QStringList>("types");
    QTest::addColumn<bool>("singleGroup");
    QTest::addColumn<QStringList>("sorted");
    QTest::newRow("numbers sort numerically, the head line stays first")
        << QStringList{"12", "-", "3"} << true << QStringList{"-", "3", "12"};
    QTest::newRow("head line of a T group")
        << QStringList{"T2", "T-", "T1"} << true << QStringList{"T-", "T1", "T2"};
    QTest::newRow("head line of an F group")
        << QStringList{"F-", "10", "9"} << true << QStringList{"F-", "9", "10"};
    QTest::newRow("a text type makes it a text sort")
        << QStringList{"12", "-", "A1", "3"} << true << QStringList{"-", "12", "3", "A1"};
    QTest::newRow("an empty inserted row sorts after the head line")
        << QStringList{"-", "1", ""} << true << QStringList{"-", "", "1"};
    QTest::newRow("every article shown: plain text, head lines too")
        << QStringList{"12", "-", "3", "100"} << false << QStringList{"-", "100", "12", "3"};
    QTest::newRow("large numbers keep their text")
        << QStringList{"40000", "5"} << true << QStringList{"5", "040000"};
}

void TestGridRules::sortingByType()
{
    QFETCH(QStringList, types);
    QFETCH(bool, singleGroup);
    QFETCH(QStringList, sorted);
    ArticleGrid g = grid(types);
    const int c = g.GetColumn("TYP");
    GridRules::sortGrid(g, c, true, singleGroup);
    QCOMPARE(column(g, c), sorted);
}

void TestGridRules::popupMenu_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("c1");
    QTest::addColumn<int>("c2");
    QTest::addColumn<ArticleSelection::Kind>("view");
    QTest::addColumn<bool>("clipboardHasArticles");
    // id:caption, "-" before a separator, "!" disabled
    QTest::addColumn<QStringList>("expected");

    const QStringList cells{"-201:K&opiera", "202:Kl&ipp ut", "203:K&listra in",
                            "-204:Sök och ersätt"};
    // The root view is looked at, not changed: copying is all its cells offer.
    const QStringList rootCells{"-201:K&opiera", "!202:Kl&ipp ut", "!203:K&listra in",
                                "-!204:Sök och ersätt"};
    const QStringList oneRow{"901:&Infoga 1 ny artikel här",
                             "902:&Addera 1 ny artikel till slutet",
                             "912:&Addera valfritt antal artiklar till slutet",
                             "903:&Kopiera 1 markerad artikel",
                             "904:&Radera 1 markerad artikel",
                             "908:K&listra in kopierade artiklar",
                             "909:Klistra in som n&ya artiklar"};
    QTest::newRow("one whole row of a group")
        << 1 << 1 << 7 << Kind::Group << true << (oneRow + cells);
    QTest::newRow("one whole row of a manufacturer")
        << 1 << 1 << 7 << Kind::Manufacturer << true << (oneRow + cells);
    QTest::newRow("pasting articles needs articles on the clipboard")
        << 1 << 1 << 7 << Kind::Group << false
        << (oneRow.first(5) +
            QStringList{"!908:K&listra in kopierade artiklar",
                        "!909:Klistra in som n&ya artiklar"} +
            cells);
    QTest::newRow("three whole rows")
        << 3 << 1 << 7 << Kind::Group << true
        << (QStringList{"901:&Infoga 3 nya artiklar här", "902:&Addera 3 nya artiklar till slutet",
                        "912:&Addera valfritt antal artiklar till slutet",
                        "903:&Kopiera 3 markerade artiklar", "904:&Radera 3 markerade artiklar",
                        "908:K&listra in kopierade artiklar", "909:Klistra in som n&ya artiklar"} +
            cells + QStringList{"-206:Fyll uppåt", "205:Fyll nedåt"});
    // The root view only copies whole articles.
    QTest::newRow("one whole row of the root view")
        << 1 << 1 << 7 << Kind::Root << true
        << (QStringList{"903:&Kopiera 1 markerad artikel"} + rootCells);
    QTest::newRow("three whole rows of the root view")
        << 3 << 1 << 7 << Kind::Root << true
        << (QStringList{"903:&Kopiera 3 markerade artiklar"} + rootCells +
            QStringList{"-!206:Fyll uppåt", "!205:Fyll nedåt"});
    QTest::newRow("cells of the root view") << 1 << 4 << 4 << Kind::Root << true << rootCells;
    QTest::newRow("block-name column: no cut, no fill")
        << 3 << 2 << 2 << Kind::Group << true
        << QStringList{"-201:K&opiera", "203:K&listra in", "-204:Sök och ersätt"};
    QTest::newRow("one column ending in a digit: fill with steps")
        << 2 << 3 << 3 << Kind::Manufacturer << true
        << (cells + QStringList{"-206:Fyll uppåt", "205:Fyll nedåt", "-207:Fyll nedåt +1",
                                "208:Fyll nedåt +2", "209:Fyll nedåt +3", "210:Fyll nedåt +4",
                                "211:Fyll nedåt +5"});
    QTest::newRow("one column without a digit: no steps")
        << 2 << 4 << 4 << Kind::Group << true
        << (cells + QStringList{"-206:Fyll uppåt", "205:Fyll nedåt"});
}

void TestGridRules::popupMenu()
{
    QFETCH(int, rows);
    QFETCH(int, c1);
    QFETCH(int, c2);
    QFETCH(ArticleSelection::Kind, view);
    QFETCH(bool, clipboardHasArticles);
    QFETCH(QStringList, expected);
    const ArticleGrid g = grid({"5", "6", "7"});
    QStringList shown;
    for (const GridRules::PopupItem &item :
         GridRules::popupItems(g, {1, c1, rows, c2}, clipboardHasArticles, view))
        shown << QString("%1%2%3:%4")
                     .arg(item.separator ? "-" : "", item.enabled ? "" : "!")
                     .arg(int(item.id))
                     .arg(item.caption);
    QCOMPARE(shown, expected);
}

void TestGridRules::statusText()
{
    QCOMPARE(GridRules::selectionStatus(1), QString("1 rad markerade."));
    QCOMPARE(GridRules::selectionStatus(2), QString("2 rader markerade."));
}

QTEST_GUILESS_MAIN(TestGridRules)
#include "tst_gridrules.moc"
