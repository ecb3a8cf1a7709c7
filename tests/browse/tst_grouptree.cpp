#include "browse/BrowseCatalogue.h"
#include "browse/GroupTree.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <QTest>

using BrowseCatalogue::line;

class TestGroupTree : public QObject
{
    Q_OBJECT

private slots:
    void groupsBySwedishDescription();
    void noGroups();
    void manufacturers_data();
    void manufacturers();
    void noManufacturerColumn();
};

void TestGroupTree::groupsBySwedishDescription()
{
    QTemporaryDir dir;
    Database db = BrowseCatalogue::standard(dir.path());
    QStringList shown;
    for (const GroupTree::Group &group : GroupTree::groups(db))
        shown << group.blockName + QLatin1Char(' ') + group.description;
    // Case ignored, Å before Ä before Ö, all after Z; equal descriptions by block name.
    QCOMPARE(shown, QStringList({"ABCDI080 Apparater", "ABCDI050 banor", "ABCDI020 Cyklar",
                                 "ABCDI030 Samma", "ABCDI040 samma", "ABCDI090 Zebror",
                                 "AB'DI060 Åsnor", "ABCDI010 Ärmar", "ABCDI070 Öglor"}));
}

void TestGroupTree::noGroups()
{
    QTemporaryDir dir;
    Database db = BrowseCatalogue::standard(dir.path());
    db.exec("DELETE FROM Designations");
    QVERIFY(GroupTree::groups(db).isEmpty());
}

void TestGroupTree::manufacturers_data()
{
    QTest::addColumn<QString>("blockName");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("distinct, without empty and dash-only ones")
        << "ABCDI010" << QStringList{"A-B", "Nordel", "O'Brien", "Ström!Co"};
    QTest::newRow("another group") << "ABCDI020" << QStringList{"Åkerby"};
    QTest::newRow("apostrophe in the block name") << "AB'DI030" << QStringList{"Lindqvist"};
    QTest::newRow("only empty ones") << "ABCDI040" << QStringList{};
    QTest::newRow("no such group") << "ABCDI777" << QStringList{};
}

void TestGroupTree::manufacturers()
{
    QFETCH(QString, blockName);
    QFETCH(QStringList, expected);

    QTemporaryDir dir;
    Database db = BrowseCatalogue::import(
        dir.path(),
        {line("ABCDI010", "1", "Ärmar", "Nordel"), line("ABCDI010", "2", "a", "O'Brien"),
         line("ABCDI010", "3", "b", "Nordel"), line("ABCDI010", "4", "c", ""),
         line("ABCDI010", "5", "d", "-"), line("ABCDI010", "6", "e", "--"),
         line("ABCDI010", "7", "f", "A-B"), line("ABCDI010", "8", "g", "Ström!Co"),
         line("ABCDI010", "9", "h", "Nordel"), line("ABCDI010", "10", "i", "x"),
         line("ABCDI010", "11", "j", "y"), line("ABCDI020", "1", "Cyklar", "Åkerby"),
         line("AB'DI030", "1", "Citat", "Lindqvist"), line("ABCDI040", "1", "Tomma", ""),
         line("ABCDI040", "2", "Tomma", "- -"), line("ABCDI040", "3", "Tomma", "y")});
    // Values the import would trim: blanks around dashes, and a missing value.
    db.exec("UPDATE Articles SET FABRIKAT = ' - ' WHERE FABRIKAT = 'x'");
    db.exec("UPDATE Articles SET FABRIKAT = NULL WHERE FABRIKAT = 'y'");

    QStringList shown = GroupTree::manufacturers(db, blockName).value();
    shown.sort();
    QCOMPARE(shown, expected);
}

void TestGroupTree::noManufacturerColumn()
{
    QTemporaryDir dir;
    const QString tds = dir.filePath("utan.tds");
    const auto record = [](const QString &block, const QString &type, const QString &text) {
        return TestFiles::record({{block, 8}, {type, 3}, {text, 20}});
    };
    TestFiles::write(tds, TestFiles::crlf({record("ABCDI010", "1", "Ärmar"),
                                           record("ABCDI010", "2", "Nordel")}));
    TestFiles::write(dir.filePath("utan.tdx"), TestFiles::crlf({"BL_NAME,Blocknamn,8", "TYP,Typ,3",
                                                                "BENÄMNING,Benämning,20"}));
    Database db = BrowseCatalogue::importTds(tds);
    QCOMPARE(GroupTree::groups(db).size(), 1);
    QVERIFY(!GroupTree::manufacturers(db, "ABCDI010").has_value());
}

QTEST_GUILESS_MAIN(TestGroupTree)
#include "tst_grouptree.moc"
