#include "core/RecentFiles.h"

#include "support/TestFiles.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

class TestRecentFiles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void fifthPathDropsTheOldest();
    void listedPathInOtherCaseKeepsOrder();
    void twoEntriesShiftDown();
    void storedUnderMain();

private:
    QTemporaryDir m_dir;
};

namespace {

QString lastFileName()
{
    return TestFiles::storedSetting(QStringLiteral("LastFileName"));
}

} // namespace

void TestRecentFiles::initTestCase()
{
    QVERIFY(m_dir.isValid());
    TestFiles::isolateSettings(m_dir.path());
}

void TestRecentFiles::init()
{
    QSettings(QStringLiteral("BRAX"), QStringLiteral("Ravelund")).clear();
}

void TestRecentFiles::fifthPathDropsTheOldest()
{
    for (const char *path : {"/k/A.tdb", "/k/B.tdb", "/k/C.tdb", "/k/D.tdb"})
        RecentFiles::AddRecentFile(QString::fromLatin1(path));
    QCOMPARE(RecentFiles::entries(), (QStringList{"/k/D.tdb", "/k/C.tdb", "/k/B.tdb", "/k/A.tdb"}));

    RecentFiles::AddRecentFile(QStringLiteral("/k/E.tdb"));
    QCOMPARE(RecentFiles::entries(), (QStringList{"/k/E.tdb", "/k/D.tdb", "/k/C.tdb", "/k/B.tdb"}));
    QCOMPARE(lastFileName(), QStringLiteral("/k/E.tdb"));
}

void TestRecentFiles::listedPathInOtherCaseKeepsOrder()
{
    for (const char *path : {"/k/Art.tdb", "/k/Öl.tdb", "/k/Ny.tdb"})
        RecentFiles::AddRecentFile(QString::fromUtf8(path));

    const QString otherCase = QStringLiteral("/K/ÖL.TDB");
    RecentFiles::AddRecentFile(otherCase);
    QCOMPARE(RecentFiles::entries(),
             (QStringList{"/k/Ny.tdb", "/k/Öl.tdb", "/k/Art.tdb", QString()}));
    QCOMPARE(lastFileName(), otherCase);
}

void TestRecentFiles::twoEntriesShiftDown()
{
    const QString main = QStringLiteral("Main");
    TestFiles::storeSetting(QStringLiteral("0RecentFile"), QStringLiteral("/k/Nyast.tdb"), main);
    TestFiles::storeSetting(QStringLiteral("1RecentFile"), QStringLiteral("/k/Äldre.tdb"), main);

    RecentFiles::AddRecentFile(QStringLiteral("/k/Ny.tdb"));
    QCOMPARE(RecentFiles::entries(),
             (QStringList{"/k/Ny.tdb", "/k/Nyast.tdb", "/k/Äldre.tdb", QString()}));
    QCOMPARE(lastFileName(), QStringLiteral("/k/Ny.tdb"));
}

void TestRecentFiles::storedUnderMain()
{
    RecentFiles::AddRecentFile(QStringLiteral("/k/Första.tdb"));
    RecentFiles::AddRecentFile(QStringLiteral("/k/Andra.tdb"));

    const QSettings store(QStringLiteral("BRAX"), QStringLiteral("Ravelund"));
    QCOMPARE(store.value(QStringLiteral("Main/0RecentFile")).toString(),
             QStringLiteral("/k/Andra.tdb"));
    QCOMPARE(store.value(QStringLiteral("Main/1RecentFile")).toString(),
             QStringLiteral("/k/Första.tdb"));
    QCOMPARE(store.value(QStringLiteral("Main/2RecentFile")).toString(), QString());
    QCOMPARE(store.value(QStringLiteral("Main/3RecentFile")).toString(), QString());
    QCOMPARE(store.value(QStringLiteral("LastFileName")).toString(),
             QStringLiteral("/k/Andra.tdb"));
}

QTEST_GUILESS_MAIN(TestRecentFiles)
#include "tst_recentfiles.moc"
