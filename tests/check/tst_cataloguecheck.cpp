#include "check/CatalogueCheck.h"
#include "db/Database.h"
#include "support/CatalogueFixture.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

// A catalogue with the columns the rules look at: an article group whose first article refers
// to an accessory group, and a "=" equivalence line.
QString writeCatalogue(const QString &folder)
{
    const auto line = [](const QString &block, const QString &type, const QString &designation,
                         const QString &maker = {}, const QString &number = {},
                         const QString &accessory = {}, const QString &contacts = {}) {
        return TestFiles::record({{block, 8},
                                  {type, 3},
                                  {designation, 20},
                                  {maker, 12},
                                  {number, 10},
                                  {accessory, 8},
                                  {contacts, 24}});
    };
    const QString tds = folder + QStringLiteral("/kat.tds");
    TestFiles::write(tds, TestFiles::crlf({
                              line("ABCDI010", "-", "Kontaktorer"),
                              line("ABCDI010", "1", "Kontaktor 9A", "Nordel", "K9", "ABCD#K01",
                                   "1H2S:1 2 ;13 14 ;23 24 ;"),
                              line("ABCDI010", "2", "Kontaktor 12A", "Nordel", "K12"),
                              line("ABCD#K01", "-", "TILLB Hjälpblock"),
                              line("ABCD#K01", "1", "Hjälpblock 1S", "Nordel", "HB1"),
                              line("ABCDI071", "", "=ABCDI010"),
                          }));
    TestFiles::write(folder + QStringLiteral("/kat.tdx"),
                     TestFiles::crlf({"BL_NAME,Blocknamn,8", "TYP,Typ,3", "BENÄMNING,Benämning,20",
                                      "FABRIKAT,Fabrikat,12", "ARTNR,Artikelnummer,10",
                                      "TBH/APP,Tillbehör,8", "CCONF,Kontaktdefinition,24"}));
    return CatalogueFixture::importTds(tds);
}

// "rule table group row field" for each finding.
QStringList located(const Findings &findings)
{
    QStringList out;
    for (const Finding &f : findings)
        out << QStringLiteral("%1 %2 %3 %4 %5")
                   .arg(f.ruleId, f.table, f.blockName, QString::number(f.row), f.field);
    return out;
}

} // namespace

class TestCatalogueCheck : public QObject
{
    Q_OBJECT

private slots:
    void findings_data();
    void findings();
    void severityFilter();
};

void TestCatalogueCheck::findings_data()
{
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QStringList>("expected");

    const QString first = "WHERE BL_NAME = 'ABCDI010' AND TYP = '1'";
    const QString second = "WHERE BL_NAME = 'ABCDI010' AND TYP = '2'";
    const QString accessoryHead = "WHERE BL_NAME = 'ABCD#K01' AND TYP = '-'";

    QTest::newRow("clean") << QStringList{} << QStringList{};
    QTest::newRow("what the file holds as it is")
        << QStringList{"UPDATE Articles SET \"BENÄMNING\" = 'Pris 5 €' " + first,
                       "UPDATE Articles SET FABRIKAT = 'Nordel      ' " + second,
                       "UPDATE Articles SET ARTNR = 'K9', FABRIKAT = 'Lindqvist' WHERE TYP = '1' "
                       "AND BL_NAME = 'ABCD#K01'"}
        << QStringList{};

    QTest::newRow("accessory group missing")
        << QStringList{"UPDATE Articles SET \"TBH/APP\" = 'ABCD#X99' " + second}
        << QStringList{"tbh-app-missing-group Articles ABCDI010 2 TBH/APP"};
    QTest::newRow("accessory reference to an article group")
        << QStringList{"UPDATE Articles SET \"TBH/APP\" = 'ABCDI010' " + second}
        << QStringList{"tbh-app-not-accessory Articles ABCDI010 2 TBH/APP"};
    QTest::newRow("type number twice") << QStringList{"UPDATE Articles SET TYP = '1' " + second}
                                       << QStringList{"type-duplicate Articles ABCDI010 2 TYP"};
    QTest::newRow("group without head row") << QStringList{"DELETE FROM Articles " + accessoryHead}
                                            << QStringList{"group-no-head Articles ABCD#K01 4 TYP"};
    QTest::newRow("head row of another form")
        << QStringList{"UPDATE Articles SET TYP = 'X-' " + accessoryHead}
        << QStringList{"group-bad-head-type Articles ABCD#K01 3 TYP"};
    QTest::newRow("description without articles")
        << QStringList{"INSERT INTO Designations VALUES ('ABCDI020', 'Tom grupp')"}
        << QStringList{"designation-without-articles Designations ABCDI020 -1 BL_NAME"};
    QTest::newRow("group without description")
        << QStringList{"INSERT INTO Articles (RAD, BL_NAME, TYP, \"BENÄMNING\") "
                       "VALUES (50, 'ABCDI030', '-', 'Ny grupp')"}
        << QStringList{"group-without-designation Articles ABCDI030 50 BL_NAME"};
    QTest::newRow("equivalence to a missing group")
        << QStringList{"UPDATE Eqv SET \"BENÄMNING\" = '=ABCDI099'"}
        << QStringList{"eqv-missing-target Eqv ABCDI071 5 BENÄMNING"};
    QTest::newRow("row number twice")
        << QStringList{"UPDATE Articles SET RAD = 1 " + second}
        << QStringList{"row-number-duplicate Articles ABCDI010 1 RAD"};
    QTest::newRow("contact text without colon")
        << QStringList{"UPDATE Articles SET CCONF = '1H2S' " + first}
        << QStringList{"cconf-round-trip Articles ABCDI010 1 CCONF"};
    QTest::newRow("contact text read back otherwise")
        << QStringList{"UPDATE Articles SET CCONF = '1H:1 2;' " + second}
        << QStringList{"cconf-round-trip Articles ABCDI010 2 CCONF"};
    QTest::newRow("value longer than its field")
        << QStringList{"UPDATE Articles SET \"BENÄMNING\" = 'Kontaktor nio ampere AC3' " + first}
        << QStringList{"value-too-long Articles ABCDI010 1 BENÄMNING"};
    QTest::newRow("value outside Windows-1252")
        << QStringList{"UPDATE Articles SET FABRIKAT = 'Snö ☃' " + second}
        << QStringList{"value-not-cp1252 Articles ABCDI010 2 FABRIKAT"};
    QTest::newRow("value with leading spaces")
        << QStringList{"UPDATE Eqv SET FABRIKAT = '  Nordel'"}
        << QStringList{"value-leading-space Eqv ABCDI071 5 FABRIKAT"};
    QTest::newRow("value with a line break")
        << QStringList{"UPDATE Articles SET ARTNR = 'K' || char(13) || char(10) || '9' " + first}
        << QStringList{"value-line-break Articles ABCDI010 1 ARTNR"};
    QTest::newRow("article number twice from one maker")
        << QStringList{"UPDATE Articles SET ARTNR = 'K9', FABRIKAT = 'Nordel' "
                       "WHERE BL_NAME = 'ABCD#K01' AND TYP = '1'"}
        << QStringList{"artnr-duplicate Articles ABCDI010 1 ARTNR"};
}

void TestCatalogueCheck::findings()
{
    QFETCH(QStringList, edits);
    QFETCH(QStringList, expected);
    QTemporaryDir dir;
    Database db(writeCatalogue(dir.path()), Database::OpenMode::ReadWrite);
    for (const QString &sql : edits)
        db.exec(sql);
    QCOMPARE(located(CatalogueCheck(db, "TILLB").run()), expected);
}

void TestCatalogueCheck::severityFilter()
{
    QTemporaryDir dir;
    Database db(writeCatalogue(dir.path()), Database::OpenMode::ReadWrite);
    db.exec("UPDATE Articles SET ARTNR = 'K9' WHERE BL_NAME = 'ABCDI010' AND TYP = '2'");
    db.exec("UPDATE Articles SET FABRIKAT = ' Nordel' WHERE BL_NAME = 'ABCD#K01' AND TYP = '1'");
    const Findings all = CatalogueCheck(db, "TILLB").run();
    QCOMPARE(all.size(), 2);
    QCOMPARE(atLeast(all, Severity::Warning).size(), 1);
    QCOMPARE(atLeast(all, Severity::Warning).first().ruleId, "value-leading-space");
    QVERIFY(atLeast(all, Severity::Error).isEmpty());
    Severity parsed = Severity::Error;
    QVERIFY(severityFromName("VARNING", &parsed));
    QCOMPARE(parsed, Severity::Warning);
    QVERIFY(!severityFromName("allvarlig", &parsed));
}

QTEST_GUILESS_MAIN(TestCatalogueCheck)
#include "tst_cataloguecheck.moc"
