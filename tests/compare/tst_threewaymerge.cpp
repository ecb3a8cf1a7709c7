#include "compare/ThreeWayMerge.h"
#include "core/AppError.h"
#include "support/CatalogueFixture.h"
#include "support/ScriptedPrompter.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using CatalogueFixture::line;

namespace {

QStringList with(QStringList lines, int index, const QString &replacement)
{
    if (replacement.isEmpty())
        lines.removeAt(index);
    else
        lines[index] = replacement;
    return lines;
}

QString conflictText(const MergeConflict &c)
{
    return QStringList{c.group, c.type, c.field, c.base, c.ours, c.theirs}.join('|');
}

} // namespace

class TestThreeWayMerge : public QObject
{
    Q_OBJECT

private slots:
    void merges_data();
    void merges();
    void differentFieldDescriptionsAreRefused();
};

void TestThreeWayMerge::merges_data()
{
    QTest::addColumn<QStringList>("ours");
    QTest::addColumn<QStringList>("theirs");
    QTest::addColumn<QStringList>("expected"); // the lines of OUT.tds
    QTest::addColumn<QStringList>("conflicts");

    const QStringList b = CatalogueFixture::twoGroups();
    const QString ours1 = line("ABCDI010", "1", "Kontaktor 1", "Norrel");
    const QString theirs3 = line("ABCDI010", "3", "Kontaktor III", "Åkerby");
    QTest::newRow("clean on different articles")
        << with(b, 1, ours1) << with(b, 3, theirs3) << with(with(b, 1, ours1), 3, theirs3)
        << QStringList();
    QTest::newRow("clean on different fields of one article")
        << with(b, 2, line("ABCDI010", "2", "Kontaktor 2", "Öberg's"))
        << with(b, 2, line("ABCDI010", "2", "Kontaktor två", "O'Brien"))
        << with(b, 2, line("ABCDI010", "2", "Kontaktor två", "Öberg's")) << QStringList();
    QTest::newRow("the same change on both sides")
        << with(b, 1, ours1) << with(b, 1, ours1) << with(b, 1, ours1) << QStringList();
    QTest::newRow("conflict on one field")
        << with(b, 1, ours1) << with(b, 1, line("ABCDI010", "1", "Kontaktor 1", "Lindqvist"))
        << with(b, 1, ours1) << QStringList{"ABCDI010|1|FABRIKAT|Nordel|Norrel|Lindqvist"};
    QTest::newRow("deleted by us, changed by them")
        << with(b, 2, QString()) << with(b, 2, line("ABCDI010", "2", "Kontaktor 2", "Nordel"))
        << with(b, 2, QString()) << QStringList{"ABCDI010|2|FABRIKAT|O'Brien|(borttagen)|Nordel"};
    QTest::newRow("changed by us, deleted by them")
        << with(b, 1, ours1) << with(b, 1, QString()) << with(b, 1, ours1)
        << QStringList{"ABCDI010|1|FABRIKAT|Nordel|Norrel|(borttagen)"};
    QStringList added = b;
    added.insert(2, line("ABCDI010", "5", "Ny kontaktor", "Nordel"));
    QTest::newRow("added by them in the middle, deleted by us elsewhere")
        << with(b, 5, QString()) << added << with(added, 6, QString()) << QStringList();
    QStringList oursAdded = b;
    oursAdded.insert(2, line("ABCDI010", "5", "Ny kontaktor", "Nordel"));
    QStringList theirsAdded = b;
    theirsAdded.insert(2, line("ABCDI010", "5", "Ny kontaktor", "Lindqvist"));
    QTest::newRow("the same article added differently on both sides")
        << oursAdded << theirsAdded << oursAdded
        << QStringList{"ABCDI010|5|FABRIKAT||Nordel|Lindqvist"};
    QTest::newRow("group described differently on both sides")
        << with(b, 0, line("ABCDI010", "-", "Kontaktdon"))
        << with(b, 0, line("ABCDI010", "-", "Kontaktorer AB"))
        << with(b, 0, line("ABCDI010", "-", "Kontaktdon"))
        << QStringList{"ABCDI010|-|BENÄMNING|Kontaktorer|Kontaktdon|Kontaktorer AB",
                       "ABCDI010||DESCRIPTION|Kontaktorer|Kontaktdon|Kontaktorer AB"};
    QTest::newRow("equivalence line changed by them")
        << with(b, 1, ours1) << with(b, 6, line("ABCDI999", "", "Ekv 2"))
        << with(with(b, 1, ours1), 6, line("ABCDI999", "", "Ekv 2")) << QStringList();
}

void TestThreeWayMerge::merges()
{
    QFETCH(QStringList, ours);
    QFETCH(QStringList, theirs);
    QFETCH(QStringList, expected);
    QFETCH(QStringList, conflicts);
    QTemporaryDir dir;
    const QString basePath =
        CatalogueFixture::write(dir.path(), "bas", CatalogueFixture::twoGroups());
    // Ours as a working database, the others as exchange files: both kinds take part.
    const QString oursPath = CatalogueFixture::importDatabase(dir.path(), "var", ours);
    const QString theirsPath = CatalogueFixture::write(dir.path(), "deras", theirs);
    ScriptedPrompter prompter;
    const MergeResult result =
        ThreeWayMerge(prompter).run(basePath, oursPath, theirsPath, dir.filePath("ut.tds"));
    QStringList found;
    for (const MergeConflict &c : result.conflicts)
        found << conflictText(c);
    QCOMPARE(found, conflicts);
    QCOMPARE(TestFiles::read(dir.filePath("ut.tds")), TestFiles::crlf(expected));
    QCOMPARE(TestFiles::read(dir.filePath("ut.tdx")), CatalogueFixture::tdx());
}

void TestThreeWayMerge::differentFieldDescriptionsAreRefused()
{
    QTemporaryDir dir;
    const QString basePath =
        CatalogueFixture::write(dir.path(), "bas", CatalogueFixture::twoGroups());
    const QString oursPath =
        CatalogueFixture::write(dir.path(), "var", CatalogueFixture::twoGroups());
    TestFiles::write(dir.filePath("var.tdx"),
                     TestFiles::crlf({"BL_NAME,Blocknamn,8", "TYP,Typ,3", "BENÄMNING,Benämning,20",
                                      "FABRIKAT,Fabrikat,16"}));
    ScriptedPrompter prompter;
    try {
        ThreeWayMerge(prompter).run(basePath, oursPath, basePath, dir.filePath("ut.tds"));
        QFAIL("no error");
    } catch (const AppError &e) {
        QVERIFY2(e.description().contains("skiljer sig"), qPrintable(e.description()));
    }
    QVERIFY(!QFile::exists(dir.filePath("ut.tds")));
    QVERIFY(!QFile::exists(dir.filePath("ut.tdx")));
}

QTEST_GUILESS_MAIN(TestThreeWayMerge)
#include "tst_threewaymerge.moc"
