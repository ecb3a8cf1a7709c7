#include "core/AppError.h"
#include "core/Paths.h"
#include "core/SafeFile.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/file.h>

#include <memory>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// Every name in the folder, hidden ones included.
QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

std::unique_ptr<SafeFile::Output> finished(const QString &target, const QByteArray &bytes)
{
    auto out = std::make_unique<SafeFile::Output>(target);
    out->write(bytes);
    out->finish();
    return out;
}

} // namespace

class TestSafeFile : public QObject
{
    Q_OBJECT

private slots:
    void wholeFileReplacesAndLeavesNothingElse();
    void abandonedOutputLeavesTheOldFile();
    void pairIsReplacedTogether();
    void failedSecondMoveUndoesTheFirst();
    void interruptedPairIsRestored_data();
    void interruptedPairIsRestored();
    void backupOfALiveRunIsLeftAlone();
    void staleTemporariesOfDeadOwnersAreRemoved();
    void symbolicLinkKeepsPointingAtTheReplacedFile();
    void siblingIsFoundWhateverTheCase();
    void failuresNameTheCondition_data();
    void failuresNameTheCondition();
    void readOnlyFolderIsNamed();
};

void TestSafeFile::wholeFileReplacesAndLeavesNothingElse()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.ini");
    TestFiles::write(path, "old");
    ::chmod(QFile::encodeName(path).constData(), 0640);
    SafeFile::writeWhole(path, "new");
    QCOMPARE(TestFiles::read(path), QByteArray("new"));
    QCOMPARE(entries(dir.path()), QStringList{"a.ini"});
    // The replaced file's permissions carry over.
    QCOMPARE(QFile::permissions(path) & (QFile::ReadGroup | QFile::ReadOther),
             QFileDevice::Permissions(QFile::ReadGroup));

    SafeFile::copy(path, dir.filePath("b.ini"));
    QCOMPARE(TestFiles::read(dir.filePath("b.ini")), QByteArray("new"));
    QCOMPARE(entries(dir.path()), (QStringList{"a.ini", "b.ini"}));
}

void TestSafeFile::abandonedOutputLeavesTheOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.tds");
    TestFiles::write(path, "old");
    {
        SafeFile::Output out(path);
        out.write("half");
        QVERIFY(QFile::exists(out.temporaryPath()));
        QVERIFY(out.temporaryPath().startsWith(dir.filePath(".a.tds.")));
    }
    QCOMPARE(TestFiles::read(path), QByteArray("old"));
    QCOMPARE(entries(dir.path()), QStringList{"a.tds"});
}

void TestSafeFile::pairIsReplacedTogether()
{
    QTemporaryDir dir;
    const QString tds = dir.filePath("p.tds");
    const QString tdx = dir.filePath("p.tdx");
    TestFiles::write(tds, "old tds");
    auto first = finished(tds, "new tds");
    auto second = finished(tdx, "new tdx"); // no old .tdx: one is created
    SafeFile::replacePair(*first, *second);
    QCOMPARE(TestFiles::read(tds), QByteArray("new tds"));
    QCOMPARE(TestFiles::read(tdx), QByteArray("new tdx"));
    QCOMPARE(entries(dir.path()), (QStringList{"p.tds", "p.tdx"}));
    QCOMPARE(SafeFile::recoverPair(tds, tdx), QString());
}

void TestSafeFile::failedSecondMoveUndoesTheFirst()
{
    QTemporaryDir dir;
    const QString tds = dir.filePath("p.tds");
    const QString tdx = dir.filePath("p.tdx");
    TestFiles::write(tds, "old tds");
    // A folder in the .tdx file's place: nothing can be moved over it.
    QVERIFY(QDir(dir.path()).mkpath("p.tdx/inside"));
    auto first = finished(tds, "new tds");
    auto second = finished(tdx, "new tdx");
    QVERIFY_THROWS_EXCEPTION(FileError, SafeFile::replacePair(*first, *second));
    QCOMPARE(TestFiles::read(tds), QByteArray("old tds"));
    second.reset();
    first.reset();
    QCOMPARE(entries(dir.path()), (QStringList{"p.tds", "p.tdx"}));
}

void TestSafeFile::interruptedPairIsRestored_data()
{
    QTest::addColumn<QByteArray>("tdsNow");
    QTest::addColumn<QByteArray>("tdxNow");
    QTest::addColumn<bool>("oldTdxExisted");
    QTest::addColumn<bool>("done");
    QTest::addColumn<QByteArray>("tdsAfter");
    QTest::addColumn<QByteArray>("tdxAfter");

    // Killed after the first move: the new .tds beside the old .tdx.
    QTest::newRow("between the moves") << QByteArray("new tds") << QByteArray("old tdx") << true
                                       << false << QByteArray("old tds") << QByteArray("old tdx");
    QTest::newRow("before any move") << QByteArray("old tds") << QByteArray("old tdx") << true
                                     << false << QByteArray("old tds") << QByteArray("old tdx");
    QTest::newRow("after both moves") << QByteArray("new tds") << QByteArray("new tdx") << true
                                      << false << QByteArray("old tds") << QByteArray("old tdx");
    // There was no .tdx before: the new one goes with the new .tds.
    QTest::newRow("no old .tdx") << QByteArray("new tds") << QByteArray("new tdx") << false << false
                                 << QByteArray("old tds") << QByteArray();
    // Marked done: the new pair is complete, only the backup is dropped.
    QTest::newRow("done") << QByteArray("new tds") << QByteArray("new tdx") << true << true
                          << QByteArray("new tds") << QByteArray("new tdx");
}

void TestSafeFile::interruptedPairIsRestored()
{
    QFETCH(QByteArray, tdsNow);
    QFETCH(QByteArray, tdxNow);
    QFETCH(bool, oldTdxExisted);
    QFETCH(bool, done);
    QFETCH(QByteArray, tdsAfter);
    QFETCH(QByteArray, tdxAfter);

    QTemporaryDir dir;
    const QString tds = dir.filePath("p.tds");
    const QString tdx = dir.filePath("p.tdx");
    TestFiles::write(tds, tdsNow);
    TestFiles::write(tdx, tdxNow);
    const QString backup = SafeFile::backupFolderFor(tds) + (done ? "-done" : "");
    QVERIFY(QDir().mkpath(backup));
    TestFiles::write(backup + "/first", "old tds");
    if (oldTdxExisted)
        TestFiles::write(backup + "/second", "old tdx");
    else
        TestFiles::write(backup + "/second.absent", "");

    const QString said = SafeFile::recoverPair(tds, tdx);
    QVERIFY(!said.isEmpty());
    QVERIFY2(said.contains(tds), qPrintable(said));
    QCOMPARE(TestFiles::read(tds), tdsAfter);
    QCOMPARE(QFile::exists(tdx), !tdxAfter.isNull());
    if (!tdxAfter.isNull())
        QCOMPARE(TestFiles::read(tdx), tdxAfter);
    QCOMPARE(entries(dir.path()).filter(QRegularExpression("^\\.")), QStringList());
    QCOMPARE(SafeFile::recoverPair(tds, tdx), QString());
}

// A run still replacing the pair holds its backup's owner lock: neither a recovery nor another
// replacement touches that backup until the lock is gone.
void TestSafeFile::backupOfALiveRunIsLeftAlone()
{
    QTemporaryDir dir;
    const QString tds = dir.filePath("p.tds");
    const QString tdx = dir.filePath("p.tdx");
    TestFiles::write(tds, "new tds");
    TestFiles::write(tdx, "new tdx");
    const QString backup = SafeFile::backupFolderFor(tds);
    QVERIFY(QDir().mkpath(backup));
    TestFiles::write(backup + "/first", "old tds");
    TestFiles::write(backup + "/second", "old tdx");
    TestFiles::write(backup + "/owner", "4711 annan-dator\n");
    // The lock belongs to an open file of its own, as another process's would.
    const int held = ::open(QFile::encodeName(backup + "/owner").constData(), O_RDWR);
    QVERIFY(held >= 0);
    QCOMPARE(::flock(held, LOCK_EX | LOCK_NB), 0);

    QCOMPARE(SafeFile::recoverPair(tds, tdx), QString());
    QCOMPARE(TestFiles::read(tds), QByteArray("new tds"));
    QVERIFY(QFile::exists(backup + "/first"));
    {
        SafeFile::Output first(tds);
        SafeFile::Output second(tdx);
        first.write("third tds");
        second.write("third tdx");
        first.finish();
        second.finish();
        QVERIFY_THROWS_EXCEPTION(FileError, SafeFile::replacePair(first, second));
    }
    QCOMPARE(TestFiles::read(tds), QByteArray("new tds"));
    QVERIFY(QFile::exists(backup + "/first"));

    // The run is gone: its backup is an interrupted replacement and is put back.
    ::close(held);
    QVERIFY(!SafeFile::recoverPair(tds, tdx).isEmpty());
    QCOMPARE(TestFiles::read(tds), QByteArray("old tds"));
    QCOMPARE(TestFiles::read(tdx), QByteArray("old tdx"));
    QVERIFY(!QFile::exists(backup));
}

void TestSafeFile::staleTemporariesOfDeadOwnersAreRemoved()
{
    QTemporaryDir dir;
    const QString tdb = dir.filePath("k.tdb");
    const QString dead = QString::number(TestFiles::finishedProcessId());
    const QString alive = QString::number(QCoreApplication::applicationPid());
    const QStringList names{".k.tdb." + dead + "-abcdef",
                            ".k.tdb." + dead + "-abcdef-journal",
                            ".k.tdb." + alive + "-ghijkl",
                            ".k.tdb.backup1",
                            ".kk.tdb.1-x",
                            ".other.tdb." + dead + "-abcdef",
                            "k.tdb"};
    for (const QString &name : names)
        TestFiles::write(dir.filePath(name), "x");
    QStringList removed = SafeFile::removeStaleTemporaries(tdb);
    removed.sort();
    QCOMPARE(removed, (QStringList{dir.filePath(".k.tdb." + dead + "-abcdef"),
                                   dir.filePath(".k.tdb." + dead + "-abcdef-journal")}));
    QCOMPARE(entries(dir.path()).size(), names.size() - 2);
}

void TestSafeFile::symbolicLinkKeepsPointingAtTheReplacedFile()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("real"));
    const QString real = dir.filePath("real/data.tdb");
    const QString link = dir.filePath("link.tdb");
    TestFiles::write(real, "old");
    QVERIFY(QFile::link(real, link));
    SafeFile::writeWhole(link, "new");
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(TestFiles::read(real), QByteArray("new"));
    QCOMPARE(entries(dir.filePath("real")), QStringList{"data.tdb"});
}

void TestSafeFile::siblingIsFoundWhateverTheCase()
{
    QTemporaryDir dir;
    TestFiles::write(dir.filePath("DEMO.TDX"), "x");
    QCOMPARE(Paths::siblingOnDisk(Paths::tdxPathFor(dir.filePath("DEMO.TDS"))),
             dir.filePath("DEMO.TDX"));
    // With no file of that name in any case the computed path stays.
    QCOMPARE(Paths::siblingOnDisk(dir.filePath("DEMO.tdb")), dir.filePath("DEMO.tdb"));
    TestFiles::write(dir.filePath("demo.tdx"), "y");
    QCOMPARE(Paths::siblingOnDisk(dir.filePath("demo.tdx")), dir.filePath("demo.tdx"));
}

void TestSafeFile::failuresNameTheCondition_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("start");
    QTest::newRow("disk full") << ENOSPC << "Disken är full: filen /x/a.tds";
    QTest::newRow("no permission") << EACCES << "Skrivrättighet saknas: filen /x/a.tds";
    QTest::newRow("read-only file system")
        << EROFS << "Filsystemet är skrivskyddat: filen /x/a.tds";
    QTest::newRow("I/O error") << EIO << "In- eller utmatningsfel (I/O-fel) när filen /x/a.tds";
    QTest::newRow("other") << EBADF << "Kan ej skriva filen /x/a.tds: ";
}

void TestSafeFile::failuresNameTheCondition()
{
    QFETCH(int, error);
    QFETCH(QString, start);
    QVERIFY(SafeFile::writeFailure("/x/a.tds", error).startsWith(start));
}

void TestSafeFile::readOnlyFolderIsNamed()
{
    if (::geteuid() == 0)
        QSKIP("root writes into read-only folders");
    // A folder that cannot be written says so before anything is written.
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("ro"));
    QFile::setPermissions(dir.filePath("ro"), QFile::ReadOwner | QFile::ExeOwner);
    try {
        SafeFile::Output out(dir.filePath("ro/a.tds"));
        QFAIL("a file was created in a read-only folder");
    } catch (const FileError &e) {
        QVERIFY2(e.description().contains("inte skrivbar"), qPrintable(e.description()));
    }
}

QTEST_GUILESS_MAIN(TestSafeFile)
#include "tst_safefile.moc"
