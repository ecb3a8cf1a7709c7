#include "compare/CatalogueComparison.h"
#include "compare/ComparisonReport.h"
#include "core/AppError.h"
#include "db/Database.h"
#include "support/CatalogueFixture.h"
#include "support/ScriptedPrompter.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using CatalogueFixture::line;

namespace {

QStringList replaced(QStringList lines, int index, const QString &with)
{
    lines[index] = with;
    return lines;
}

// The lines with one replaced, or removed when `replacement` is empty.
QStringList with(QStringList lines, int index, const QString &replacement)
{
    if (replacement.isEmpty())
        lines.removeAt(index);
    else
        lines[index] = replacement;
    return lines;
}

// The fixture layout with FABRIKAT 16 wide, or with ARTNR 6 added.
QString wideLine(const QString &blockName, const QString &type, const QString &designation,
                 const QString &manufacturer)
{
    return TestFiles::record({{blockName, 8}, {type, 3}, {designation, 20}, {manufacturer, 16}});
}

QByteArray wideTdx()
{
    return TestFiles::crlf(
        {"BL_NAME,Blocknamn,8", "TYP,Typ,3", "BENÄMNING,Benämning,20", "FABRIKAT,Fabrikat,16"});
}

QString tsvBody(const CatalogueDifferences &d)
{
    QStringList lines = ComparisonReport::tsv(d).split('\n', Qt::SkipEmptyParts);
    lines.removeFirst();
    return lines.join('\n');
}

QStringList listing(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

class TestCatalogueComparison : public QObject
{
    Q_OBJECT

private slots:
    void differences_data();
    void differences();
    void renumberingAloneIsNoChange();
    void inputsAreLeftAsTheyWere();
    void unusableInputsThrow_data();
    void unusableInputsThrow();
};

void TestCatalogueComparison::differences_data()
{
    QTest::addColumn<QStringList>("linesA");
    QTest::addColumn<QStringList>("linesB");
    QTest::addColumn<QByteArray>("tdxB"); // empty: the fixture's
    QTest::addColumn<QStringList>("key"); // empty: BL_NAME and TYP
    QTest::addColumn<QStringList>("expected");

    const QStringList a = CatalogueFixture::twoGroups();
    QTest::newRow("same") << a << a << QByteArray() << QStringList() << QStringList();
    QTest::newRow("one field changed")
        << a << replaced(a, 1, line("ABCDI010", "1", "Kontaktor 1", "Norrel")) << QByteArray()
        << QStringList()
        << QStringList{"article-changed\tABCDI010\t1\tABCDI010; 1\tFABRIKAT\tNordel\tNorrel"};
    QStringList inserted = a;
    inserted.insert(2, line("ABCDI010", "5", "Ny"));
    QTest::newRow("added in the middle of a group")
        << a << inserted << QByteArray() << QStringList()
        << QStringList{"article-added\tABCDI010\t5\tABCDI010; 5\t\t\t"};
    QStringList removed = a;
    removed.removeAt(2);
    QTest::newRow("removed") << a << removed << QByteArray() << QStringList()
                             << QStringList{"article-removed\tABCDI010\t2\tABCDI010; 2\t\t\t"};
    QStringList swapped = a;
    swapped.swapItemsAt(2, 3);
    QTest::newRow("two swapped") << a << swapped << QByteArray() << QStringList()
                                 << QStringList{
                                        "article-moved\tABCDI010\t3\tABCDI010; 3\tRAD\t4\t3",
                                        "article-moved\tABCDI010\t2\tABCDI010; 2\tRAD\t3\t4"};
    QTest::newRow("group description changed")
        << a << replaced(a, 0, line("ABCDI010", "-", "Kontaktdon")) << QByteArray() << QStringList()
        << QStringList{"group-changed\tABCDI010\t\t\tDESCRIPTION\tKontaktorer\tKontaktdon",
                       "article-changed\tABCDI010\t-\tABCDI010; -\tBENÄMNING\tKontaktorer\t"
                       "Kontaktdon"};
    QStringList regrouped = a.mid(0, 4);
    regrouped << line("ABCDI030", "-", "Säkringar") << line("ABCDI030", "1", "Säkring") << a.last();
    QTest::newRow("group added and removed")
        << a << regrouped << QByteArray() << QStringList()
        << QStringList{"group-removed\tABCDI020\t\t\tDESCRIPTION\tReläer\t",
                       "group-added\tABCDI030\t\t\tDESCRIPTION\t\tSäkringar",
                       "article-removed\tABCDI020\t-\tABCDI020; -\t\t\t",
                       "article-removed\tABCDI020\t1\tABCDI020; 1\t\t\t",
                       "article-added\tABCDI030\t-\tABCDI030; -\t\t\t",
                       "article-added\tABCDI030\t1\tABCDI030; 1\t\t\t"};
    QTest::newRow("equivalence line changed")
        << a << replaced(a, 6, line("ABCDI999", "", "Ekv 2")) << QByteArray() << QStringList()
        << QStringList{"eqv-removed\tABCDI999\t\t\t\tABCDI999; ; Ekv; \t",
                       "eqv-added\tABCDI999\t\t\t\t\tABCDI999; ; Ekv 2; "};
    QStringList wide;
    for (const QString &l : a)
        wide << wideLine(l.left(8).trimmed(), l.mid(8, 3).trimmed(), l.mid(11, 20).trimmed(),
                         l.mid(31).trimmed());
    QTest::newRow("a field longer in one .tdx")
        << a << wide << wideTdx() << QStringList()
        << QStringList{"field-length\t\t\t\tFABRIKAT\t12\t16"};
    QStringList withNumber;
    for (const QString &l : a)
        withNumber << l + TestFiles::record({{l.startsWith("ABCDI010") ? "4711" : "", 6}});
    QTest::newRow("a field added is reported and left out")
        << a << withNumber
        << TestFiles::crlf({"BL_NAME,Blocknamn,8", "TYP,Typ,3", "BENÄMNING,Benämning,20",
                            "FABRIKAT,Fabrikat,12", "ARTNR,Artikelnummer,6"})
        << QStringList() << QStringList{"field-added\t\t\t\tARTNR\t0\t6"};
    QStringList twice = a;
    twice.insert(2, line("ABCDI010", "1", "Kontaktor 1b", "Nordel"));
    QTest::newRow("a key twice")
        << twice << replaced(twice, 2, line("ABCDI010", "1", "Kontaktor 1b", "Lindqvist"))
        << QByteArray() << QStringList()
        << QStringList{"article-changed\tABCDI010\t1\tABCDI010; 1\tFABRIKAT\tNordel\tLindqvist",
                       "duplicate-key\tABCDI010\t\tABCDI010; 1\t\t2\t2"};
    QStringList three = a;
    three.insert(2, line("ABCDI010", "1", "Kontaktor 1b", "Nordel"));
    three.insert(3, line("ABCDI010", "1", "Kontaktor 1c", "Nordel"));
    QTest::newRow("one of three lines with one key removed")
        << three << with(three, 1, QString()) << QByteArray() << QStringList()
        << QStringList{"article-removed\tABCDI010\t1\tABCDI010; 1\t\t\t",
                       "duplicate-key\tABCDI010\t\tABCDI010; 1\t\t3\t2"};
    QTest::newRow("one line of a key removed, the next changed")
        << three
        << with(with(three, 2, line("ABCDI010", "1", "Kontaktor 1b", "Ekman")), 1, QString())
        << QByteArray() << QStringList()
        << QStringList{"article-removed\tABCDI010\t1\tABCDI010; 1\t\t\t",
                       "article-changed\tABCDI010\t1\tABCDI010; 1\tFABRIKAT\tNordel\tEkman",
                       "duplicate-key\tABCDI010\t\tABCDI010; 1\t\t3\t2"};
    QTest::newRow("Swedish letters and apostrophes")
        << a << replaced(a, 2, line("ABCDI010", "2", "Kontaktor 2", "Öberg's")) << QByteArray()
        << QStringList()
        << QStringList{"article-changed\tABCDI010\t2\tABCDI010; 2\tFABRIKAT\tO'Brien\tÖberg's"};
    QTest::newRow("another key pairs renumbered types")
        << a << replaced(a, 3, line("ABCDI010", "7", "Kontaktor 3", "Åkerby")) << QByteArray()
        << QStringList{"BL_NAME", "FABRIKAT"}
        << QStringList{"article-changed\tABCDI010\t7\tABCDI010; Åkerby\tTYP\t3\t7"};
}

void TestCatalogueComparison::differences()
{
    QFETCH(QStringList, linesA);
    QFETCH(QStringList, linesB);
    QFETCH(QByteArray, tdxB);
    QFETCH(QStringList, key);
    QFETCH(QStringList, expected);
    QTemporaryDir dir;
    const QString pathA = CatalogueFixture::write(dir.path(), "a", linesA);
    const QString pathB = CatalogueFixture::write(dir.path(), "b", linesB);
    if (!tdxB.isEmpty())
        TestFiles::write(dir.filePath("b.tdx"), tdxB);
    ScriptedPrompter prompter;
    CatalogueComparison comparison(prompter);
    if (!key.isEmpty())
        comparison.setKeyFields(key);
    const CatalogueDifferences d = comparison.compare(pathA, pathB);
    QCOMPARE(tsvBody(d), expected.join('\n'));
    QCOMPARE(d.isEmpty(), expected.isEmpty() || expected.first().startsWith("duplicate"));
    QVERIFY(prompter.shown.isEmpty());
}

void TestCatalogueComparison::renumberingAloneIsNoChange()
{
    QTemporaryDir dir;
    const QString pathA =
        CatalogueFixture::importDatabase(dir.path(), "a", CatalogueFixture::twoGroups());
    const QString pathB =
        CatalogueFixture::importDatabase(dir.path(), "b", CatalogueFixture::twoGroups());
    {
        Database db(pathB, Database::OpenMode::ReadWrite);
        db.exec("UPDATE Articles SET RAD = RAD * 10 + 5");
    }
    ScriptedPrompter prompter;
    const CatalogueDifferences d = CatalogueComparison(prompter).compare(pathA, pathB);
    QVERIFY2(d.isEmpty(), qPrintable(ComparisonReport::tsv(d)));
}

void TestCatalogueComparison::inputsAreLeftAsTheyWere()
{
    QTemporaryDir dir;
    const QString tdb =
        CatalogueFixture::importDatabase(dir.path(), "a", CatalogueFixture::twoGroups());
    const QString tds =
        CatalogueFixture::write(dir.path(), "b", CatalogueFixture::twoGroups().mid(1));
    const QStringList before = listing(dir.path());
    const QByteArray bytes = TestFiles::read(tdb);
    ScriptedPrompter prompter;
    QVERIFY(!CatalogueComparison(prompter).compare(tdb, tds).isEmpty());
    QCOMPARE(listing(dir.path()), before);
    QCOMPARE(TestFiles::read(tdb), bytes);
    // Not left locked: a writer gets in at once.
    Database db(tdb, Database::OpenMode::ReadWrite);
    db.exec("BEGIN IMMEDIATE; ROLLBACK;");
}

void TestCatalogueComparison::unusableInputsThrow_data()
{
    QTest::addColumn<QString>("nameB");
    QTest::addColumn<QStringList>("key");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing file") << "saknas.tds" << QStringList() << "Hittar ej filen";
    QTest::newRow("missing .tdx") << "utan.tds" << QStringList() << "saknas; ange den med --tdx";
    QTest::newRow("unknown key field") << "b.tds" << QStringList{"ARTNR"} << "Nyckelfältet ARTNR";
}

void TestCatalogueComparison::unusableInputsThrow()
{
    QFETCH(QString, nameB);
    QFETCH(QStringList, key);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString pathA = CatalogueFixture::write(dir.path(), "a", CatalogueFixture::twoGroups());
    CatalogueFixture::write(dir.path(), "b", CatalogueFixture::twoGroups());
    TestFiles::write(dir.filePath("utan.tds"), TestFiles::crlf(CatalogueFixture::twoGroups()));
    ScriptedPrompter prompter;
    CatalogueComparison comparison(prompter);
    if (!key.isEmpty())
        comparison.setKeyFields(key);
    try {
        comparison.compare(pathA, dir.filePath(nameB));
        QFAIL("no error");
    } catch (const AppError &e) {
        QVERIFY2(e.description().contains(message), qPrintable(e.description()));
    }
}

QTEST_GUILESS_MAIN(TestCatalogueComparison)
#include "tst_cataloguecomparison.moc"
