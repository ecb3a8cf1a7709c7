#include "db/Database.h"
#include "sheet/CsvReader.h"
#include "sheet/XlsxReader.h"
#include "support/CatalogueFixture.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using CatalogueFixture::line;

// Runs the real executable as a user or a script would, with its settings in a temporary
// folder and without any display.
class TestBatchConversion : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void importThenExportGivesTheFileBack();
    void classicKeysConvertWithoutADisplay();
    void existingDatabaseNeedsForce();
    void failuresExitNonZeroWithTheMessage_data();
    void failuresExitNonZeroWithTheMessage();
    void helpAndVersion();
    void forceReplacesTheFileALinkPointsAt();
    void leftoversOfKilledRunsAreRemovedWithANote();
    void busySettingsAreLeftAlone();
    void diffExitCodes_data();
    void diffExitCodes();
    void mergeExitCodes_data();
    void mergeExitCodes();
    void gitHandsOverTemporaryCopies();
    void gitDriversAsTheReadmeSetsThemUp();
    void checkExitCodes_data();
    void checkExitCodes();
    void checkOfATdsLeavesNothingBehind();
    void lossyExportNeedsAllowLossy();
    void toSheetExitCodes_data();
    void toSheetExitCodes();

private:
    struct Run
    {
        int exitCode;
        QString out;
        QString err;
    };
    Run run(const QStringList &arguments);
    QString catalogue();

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestBatchConversion::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
}

TestBatchConversion::Run TestBatchConversion::run(const QStringList &arguments)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    env.insert("XDG_CONFIG_HOME", m_dir->filePath("config"));
    process.setProcessEnvironment(env);
    process.start(KVISTBO_EXECUTABLE, arguments);
    if (!process.waitForFinished(60000))
        qFatal("kvistbo did not finish");
    return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

QString TestBatchConversion::catalogue()
{
    return CatalogueFixture::write(m_dir->path(), "Katalog",
                                   {line("ABCDI060", "1", "Kontaktorer", "Nordel"),
                                    line("ABCDI060", "2", "Kontaktor 2", "O'Brien"),
                                    line("ABCDI080", "1", "Säkringar", "Åkerby")});
}

void TestBatchConversion::importThenExportGivesTheFileBack()
{
    const QString tds = catalogue();
    Run imported = run({"--import", tds});
    QCOMPARE(imported.exitCode, 0);
    QCOMPARE(imported.err, QString());
    QVERIFY(QFile::exists(m_dir->filePath("Katalog.tdb")));

    Run exported = run({"--export", m_dir->filePath("Katalog.tdb"), m_dir->filePath("ut/Ny.tds")});
    QVERIFY2(exported.exitCode == 0, qPrintable(exported.err));
    const QByteArray written = TestFiles::read(m_dir->filePath("ut/Ny.tds"));
    // The articles come back byte for byte, then the completed equivalence rows of the group
    // that exists (the I060 family).
    QVERIFY(written.startsWith(TestFiles::read(tds)));
    QCOMPARE(written.count("=ABCDI060"), 5);
    QCOMPARE(TestFiles::read(m_dir->filePath("ut/Ny.tdx")), CatalogueFixture::tdx());

    // Opening for a conversion records the file as the last one opened.
    QSettings settings(m_dir->filePath("config/BRAX/Ravelund.conf"), QSettings::IniFormat);
    QCOMPARE(settings.value("LastFileName").toString(), m_dir->filePath("Katalog.tdb"));
    QCOMPARE(settings.value("Main/0RecentFile").toString(), m_dir->filePath("Katalog.tdb"));
}

void TestBatchConversion::classicKeysConvertWithoutADisplay()
{
    QVERIFY(run({"--import", catalogue()}).exitCode == 0);
    // Keys in any case, extensions added, a path with blanks split over arguments.
    QDir(m_dir->path()).mkpath("med blank");
    Run converted =
        run({"/in:" + m_dir->filePath("Katalog"), "/OUT:" + m_dir->filePath("med"), "blank/Ut"});
    QVERIFY2(converted.exitCode == 0, qPrintable(converted.err));
    QVERIFY(QFile::exists(m_dir->filePath("med blank/Ut.tds")));
    QVERIFY(QFile::exists(m_dir->filePath("med blank/Ut.tdx")));
}

void TestBatchConversion::existingDatabaseNeedsForce()
{
    const QString tds = catalogue();
    QCOMPARE(run({"--import", tds}).exitCode, 0);
    const QByteArray before = TestFiles::read(m_dir->filePath("Katalog.tdb"));
    Run again = run({"--import", tds});
    QCOMPARE(again.exitCode, 1);
    QVERIFY2(again.err.contains("--force"), qPrintable(again.err));
    QCOMPARE(TestFiles::read(m_dir->filePath("Katalog.tdb")), before);
    QCOMPARE(run({"--import", tds, "--force"}).exitCode, 0);
}

void TestBatchConversion::failuresExitNonZeroWithTheMessage_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("expected");
    QTest::newRow("missing input") << "missing"
                                   << "Hittar ej filen";
    QTest::newRow("not a database") << "text"
                                    << "frmMain:OpenMDB::ERROR:26 - Filen är ingen databas.";
    QTest::newRow("output folder cannot be made") << "blocked"
                                                  << "Kan ej skapa sökvägen";
    QTest::newRow("missing tdx on import") << "notdx"
                                           << "Databasbeskrivningsfilen är felaktig.";
    QTest::newRow("output through a link to the database") << "linked"
                                                           << "är samma fil som databasen";
    QTest::newRow("output is the database itself") << "itself"
                                                   << "är samma fil som databasen";
    QTest::newRow("empty tdx over a good database") << "emptytdx"
                                                    << "innehåller inga fältbeskrivningar";
    QTest::newRow("database name links to a folder") << "dirlink"
                                                     << "är en mapp (eller en länk till en mapp)";
}

void TestBatchConversion::failuresExitNonZeroWithTheMessage()
{
    QFETCH(QString, setup);
    QFETCH(QString, expected);
    QStringList arguments{"--export", m_dir->filePath("Katalog.tdb"), m_dir->filePath("ut.tds")};
    if (setup == "text") {
        TestFiles::write(m_dir->filePath("Katalog.tdb"), QByteArray(2048, 'x'));
    } else if (setup == "blocked") {
        QCOMPARE(run({"--import", catalogue()}).exitCode, 0);
        TestFiles::write(m_dir->filePath("fil"), "a file where a folder should be");
        arguments[2] = m_dir->filePath("fil/under/ut.tds");
    } else if (setup == "linked" || setup == "itself") {
        QCOMPARE(run({"--import", catalogue()}).exitCode, 0);
        if (setup == "linked") {
            QVERIFY(QFile::link(m_dir->filePath("Katalog.tdb"), m_dir->filePath("ut.tds")));
        } else {
            // The database under a .tds name: the output pair's .tdx is checked as well.
            arguments[2] = m_dir->filePath("Katalog.tds");
            QFile::remove(m_dir->filePath("Katalog.tdx"));
            QVERIFY(QFile::link(m_dir->filePath("Katalog.tdb"), m_dir->filePath("Katalog.tdx")));
        }
    } else if (setup == "emptytdx") {
        const QString tds = catalogue();
        QCOMPARE(run({"--import", tds}).exitCode, 0);
        TestFiles::write(m_dir->filePath("Katalog.tdx"), "\r\n\r\n");
        arguments = QStringList{"--import", tds, "--force"};
    } else if (setup == "dirlink") {
        const QString tds = catalogue();
        QVERIFY(QDir(m_dir->path()).mkdir("mapp"));
        QVERIFY(QFile::link(m_dir->filePath("mapp"), m_dir->filePath("Katalog.tdb")));
        arguments = QStringList{"--import", tds, "--force"};
    } else if (setup == "notdx") {
        const QString tds = catalogue();
        QFile::remove(m_dir->filePath("Katalog.tdx"));
        arguments = QStringList{"--import", tds};
    }
    const QByteArray databaseBefore = TestFiles::read(m_dir->filePath("Katalog.tdb"));
    Run result = run(arguments);
    QCOMPARE(result.exitCode, 1);
    QVERIFY2(result.err.contains(expected), qPrintable(result.err));
    // A failed run leaves the database it found as it was.
    QCOMPARE(TestFiles::read(m_dir->filePath("Katalog.tdb")), databaseBefore);
}

void TestBatchConversion::helpAndVersion()
{
    Run help = run({"--help"});
    QCOMPARE(help.exitCode, 0);
    QVERIFY(help.out.contains("--export"));
    Run version = run({"--version"});
    QCOMPARE(version.exitCode, 0);
    QVERIFY(version.out.startsWith("Ravelund "));
    // A bad command line with no display says why instead of crashing.
    Run bad = run({"/OUT:y.tds"});
    QVERIFY(bad.exitCode != 0);
    QVERIFY(bad.err.contains("SYNTAX:"));
}

void TestBatchConversion::forceReplacesTheFileALinkPointsAt()
{
    const QString tds = catalogue();
    QVERIFY(QDir(m_dir->path()).mkdir("lager"));
    const QString real = m_dir->filePath("lager/riktig.tdb");
    TestFiles::write(real, "old");
    QVERIFY(QFile::link(real, m_dir->filePath("Katalog.tdb")));
    Run forced = run({"--import", tds, "--force"});
    QVERIFY2(forced.exitCode == 0, qPrintable(forced.err));
    QVERIFY(QFileInfo(m_dir->filePath("Katalog.tdb")).isSymLink());
    QVERIFY(TestFiles::read(real).startsWith("SQLite format 3"));
    QCOMPARE(QDir(m_dir->filePath("lager")).entryList(QDir::Files | QDir::Hidden),
             QStringList{"riktig.tdb"});
}

void TestBatchConversion::leftoversOfKilledRunsAreRemovedWithANote()
{
    const QString tds = catalogue();
    const QString id = QString::number(TestFiles::finishedProcessId());
    const QString staleDb = m_dir->filePath(".Katalog.tdb." + id + "-AbCdEf");
    TestFiles::write(staleDb, "half");
    Run imported = run({"--import", tds});
    QVERIFY2(imported.exitCode == 0, qPrintable(imported.err));
    QVERIFY2(imported.err.contains("En kvarlämnad temporär fil togs bort: " + staleDb),
             qPrintable(imported.err));
    QVERIFY(!QFile::exists(staleDb));

    const QString staleTds = m_dir->filePath(".Katalog.tds." + id + "-GhIjKl");
    TestFiles::write(staleTds, "half");
    Run exported = run({"--export", m_dir->filePath("Katalog.tdb"), tds});
    QVERIFY2(exported.exitCode == 0, qPrintable(exported.err));
    QVERIFY2(exported.err.contains(staleTds), qPrintable(exported.err));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden),
             (QStringList{"Katalog.tdb", "Katalog.tds", "Katalog.tdx"}));
}

// Another live program writing the settings: the conversion goes ahead without them.
void TestBatchConversion::busySettingsAreLeftAlone()
{
    const QString conf = m_dir->filePath("config/BRAX/Ravelund.conf");
    QVERIFY(QDir().mkpath(QFileInfo(conf).path()));
    QLockFile busy(conf + ".lock");
    QVERIFY(busy.tryLock(0));
    const QString tds = catalogue();
    Run result = run({"--import", tds});
    QCOMPARE(result.exitCode, 0);
    QVERIFY(QFile::exists(m_dir->filePath("Katalog.tdb")));
    QVERIFY(!QFile::exists(conf));
    busy.unlock();
    QCOMPARE(run({"--export", m_dir->filePath("Katalog.tdb"), m_dir->filePath("ut.tds")}).exitCode,
             0);
    QVERIFY(QFile::exists(conf));
}

namespace {

// Groups with their head rows, and an equivalence line to `target`.
QStringList checkedCatalogue(const QString &target)
{
    return {line("ABCDI060", "-", "Kontaktorer"), line("ABCDI060", "1", "Kontaktor 1", "Nordel"),
            line("ABCDI080", "-", "Säkringar"), line("ABCDI080", "1", "Säkring 1", "Åkerby"),
            line("ABCDI071", "", "=" + target)};
}

} // namespace

void TestBatchConversion::checkExitCodes_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("output");

    QTest::newRow("clean database") << "ABCDI060"
                                    << "tdb" << QStringList{} << 0 << "0 fel, 0 varningar, 0 info";
    QTest::newRow("a warning") << "ABCDI099"
                               << "tdb" << QStringList{} << 1
                               << "varning eqv-missing-target ABCDI071, rad 4, fält BENÄMNING: "
                                  "Ekvivalensraden pekar på gruppen ABCDI099";
    QTest::newRow("a warning, errors asked for")
        << "ABCDI099"
        << "tdb" << QStringList{"--severity", "fel"} << 0 << "0 fel";
    QTest::newRow("a warning in a tds") << "ABCDI099"
                                        << "tds" << QStringList{} << 1 << "eqv-missing-target";
    QTest::newRow("missing file") << "ABCDI060"
                                  << "missing" << QStringList{} << 2 << "";
    QTest::newRow("not a database") << "ABCDI060"
                                    << "text" << QStringList{} << 2 << "";
    QTest::newRow("unknown format") << "ABCDI060"
                                    << "tdb" << QStringList{"--format", "xml"} << 2 << "";
}

void TestBatchConversion::checkExitCodes()
{
    QFETCH(QString, target);
    QFETCH(QString, file);
    QFETCH(QStringList, options);
    QFETCH(int, exitCode);
    QFETCH(QString, output);

    const QString tds = CatalogueFixture::write(m_dir->path(), "Kat", checkedCatalogue(target));
    QString path = tds;
    if (file == "tdb")
        path = CatalogueFixture::importTds(tds);
    else if (file == "missing")
        path = m_dir->filePath("saknas.tdb");
    else if (file == "text")
        TestFiles::write(path = m_dir->filePath("text.tdb"), "ingen databas");
    const Run result = run(QStringList{"--check", path} + options);
    QCOMPARE(result.exitCode, exitCode);
    QVERIFY2(result.out.contains(output), qPrintable(result.out));
    if (exitCode == 2)
        QVERIFY(!result.err.isEmpty());
}

void TestBatchConversion::checkOfATdsLeavesNothingBehind()
{
    const QString tds = CatalogueFixture::write(m_dir->path(), "Kat", checkedCatalogue("ABCDI099"));
    const QStringList before = QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::Hidden);
    const Run result = run({"--check", tds, "--format", "json"});
    QCOMPARE(result.exitCode, 1);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::Hidden), before);
    const QJsonObject report = QJsonDocument::fromJson(result.out.toUtf8()).object();
    QCOMPARE(report.value("counts").toObject().value("varning").toInt(), 1);
    const QJsonObject finding = report.value("findings").toArray().first().toObject();
    QCOMPARE(finding.value("rule").toString(), "eqv-missing-target");
    QCOMPARE(finding.value("group").toString(), "ABCDI071");
    QCOMPARE(finding.value("row").toInt(), 4);
    QCOMPARE(finding.value("field").toString(), "BENÄMNING");
}

void TestBatchConversion::lossyExportNeedsAllowLossy()
{
    const QString tdb = CatalogueFixture::importTds(catalogue());
    {
        Database db(tdb, Database::OpenMode::ReadWrite);
        db.exec("UPDATE Articles SET \"BENÄMNING\" = 'En benämning som inte ryms i fältet' "
                "WHERE TYP = '2'");
    }
    const QString out = m_dir->filePath("ut/Ut.tds");
    const Run refused = run({"--export", tdb, out});
    QCOMPARE(refused.exitCode, 1);
    QVERIFY2(refused.err.contains("BENÄMNING: 1 värden kapas till fältets längd"),
             qPrintable(refused.err));
    QVERIFY(refused.err.contains("--allow-lossy"));
    QVERIFY(!QFile::exists(out));

    const Run allowed = run({"--export", tdb, out, "--allow-lossy"});
    QCOMPARE(allowed.exitCode, 0);
    QVERIFY(TestFiles::read(out).contains(TestFiles::cp1252("En benämning som in")));
}

void TestBatchConversion::toSheetExitCodes_data()
{
    QTest::addColumn<QString>("input"); // tds, tdb or missing
    QTest::addColumn<QString>("output");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("groups"); // the first column of the data rows written
    QTest::addColumn<QString>("error");

    QTest::newRow("whole catalogue from a tds")
        << "tds"
        << "ut.csv" << QStringList() << 0
        << QStringList({"Kontaktorer", "Kontaktorer", "Säkringar"}) << "";
    QTest::newRow("a group of a tdb")
        << "tdb"
        << "ut.xlsx" << QStringList{"--group", "ABCDI080"} << 0 << QStringList({"ABCDI080"}) << "";
    QTest::newRow("a group that is not there")
        << "tdb"
        << "ut.csv" << QStringList{"--group", "ABCDI999"} << 1 << QStringList()
        << "Gruppen ABCDI999 finns inte";
    QTest::newRow("missing input") << "missing"
                                   << "ut.csv" << QStringList() << 1 << QStringList() << "";
    QTest::newRow("--group without a name")
        << "tdb"
        << "ut.csv" << QStringList{"--group"} << 2 << QStringList() << "--to-sheet";
}

void TestBatchConversion::toSheetExitCodes()
{
    QFETCH(QString, input);
    QFETCH(QString, output);
    QFETCH(QStringList, options);
    QFETCH(int, exitCode);
    QFETCH(QStringList, groups);
    QFETCH(QString, error);

    QString path = catalogue();
    if (input == "tdb")
        path = CatalogueFixture::importTds(path);
    else if (input == "missing")
        path = m_dir->filePath("saknas.tdb");
    const QString out = m_dir->filePath(output);
    const Run result = run(QStringList{"--to-sheet", path, out} + options);
    QCOMPARE(result.exitCode, exitCode);
    QVERIFY2(result.err.contains(error), qPrintable(result.err));
    if (exitCode != 0) {
        QVERIFY(!result.err.isEmpty());
        QVERIFY(!QFile::exists(out));
        return;
    }
    const SheetTable written =
        output.endsWith(".xlsx") ? XlsxReader(out).read() : CsvReader::read(TestFiles::read(out));
    QStringList first;
    for (const QStringList &row : written.rows)
        first << row.first();
    QCOMPARE(first, groups);
}

QTEST_GUILESS_MAIN(TestBatchConversion)
#include "tst_batchconversion.moc"

void TestBatchConversion::diffExitCodes_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("other"); // "same", "changed" or a missing file
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    QTest::newRow("same") << QStringList() << "same" << 0 << "Katalogerna är lika."
                          << "";
    QTest::newRow("differ, text") << QStringList() << "changed" << 1
                                  << "FABRIKAT: \"O'Brien\" -> \"Öberg\""
                                  << "";
    QTest::newRow("differ, tsv")
        << QStringList{"--format", "tsv"} << "changed" << 1
        << "article-changed\tABCDI060\t2\tABCDI060; 2\tFABRIKAT\tO'Brien\tÖberg"
        << "";
    QTest::newRow("differ, json") << QStringList{"--format", "json"} << "changed" << 1
                                  << "\"FABRIKAT\": {"
                                  << "";
    QTest::newRow("missing file") << QStringList() << "saknas.tds" << 2 << ""
                                  << "Hittar ej filen";
    QTest::newRow("unknown key") << QStringList{"--key", "ARTNR"} << "changed" << 2 << ""
                                 << "Nyckelfältet ARTNR";
    QTest::newRow("unusable arguments") << QStringList{"--format", "xml"} << "same" << 2 << ""
                                        << "Okänt format xml";
}

void TestBatchConversion::diffExitCodes()
{
    QFETCH(QStringList, options);
    QFETCH(QString, other);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);
    const QString a = catalogue();
    CatalogueFixture::write(m_dir->path(), "same",
                            {line("ABCDI060", "1", "Kontaktorer", "Nordel"),
                             line("ABCDI060", "2", "Kontaktor 2", "O'Brien"),
                             line("ABCDI080", "1", "Säkringar", "Åkerby")});
    CatalogueFixture::write(m_dir->path(), "changed",
                            {line("ABCDI060", "1", "Kontaktorer", "Nordel"),
                             line("ABCDI060", "2", "Kontaktor 2", "Öberg"),
                             line("ABCDI080", "1", "Säkringar", "Åkerby")});
    const QString b =
        other.endsWith(".tds") ? m_dir->filePath(other) : m_dir->filePath(other + ".tds");
    const Run result = run(QStringList{"--diff", a, b} + options);
    QVERIFY2(result.exitCode == exitCode, qPrintable(result.out + result.err));
    QVERIFY2(result.out.contains(out), qPrintable(result.out));
    if (err.isEmpty())
        QCOMPARE(result.err, QString());
    else
        QVERIFY2(result.err.contains(err), qPrintable(result.err));
}

void TestBatchConversion::mergeExitCodes_data()
{
    QTest::addColumn<QString>("theirs"); // FABRIKAT of type 2 on their side
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");
    QTest::newRow("clean") << "O'Brien" << 0 << "Sammanfogat utan konflikter";
    QTest::newRow("conflict") << "Lindqvist" << 1
                              << "KONFLIKT grupp ABCDI060, typ 2 (ABCDI060; 2), fält FABRIKAT: "
                                 "bas \"O'Brien\", vår \"Öberg\", deras \"Lindqvist\"";
}

void TestBatchConversion::mergeExitCodes()
{
    QFETCH(QString, theirs);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    const QString base = catalogue();
    const QString ours = CatalogueFixture::write(m_dir->path(), "var",
                                                 {line("ABCDI060", "1", "Kontaktorer", "Nordel"),
                                                  line("ABCDI060", "2", "Kontaktor 2", "Öberg"),
                                                  line("ABCDI080", "1", "Säkringar", "Åkerby")});
    const QString other = CatalogueFixture::write(m_dir->path(), "deras",
                                                  {line("ABCDI060", "1", "Kontaktorer", "Nordel"),
                                                   line("ABCDI060", "2", "Kontaktor 2", theirs),
                                                   line("ABCDI080", "1", "Säkringar", "Ekman")});
    const Run result = run({"--merge", base, ours, other, "-o", m_dir->filePath("ut.tds")});
    QVERIFY2(result.exitCode == exitCode, qPrintable(result.out + result.err));
    QVERIFY2(result.out.contains(out), qPrintable(result.out));
    // Our side for the conflict, their change elsewhere; then the export's completed "=" lines.
    QVERIFY(TestFiles::read(m_dir->filePath("ut.tds"))
                .startsWith(TestFiles::crlf({line("ABCDI060", "1", "Kontaktorer", "Nordel"),
                                             line("ABCDI060", "2", "Kontaktor 2", "Öberg"),
                                             line("ABCDI080", "1", "Säkringar", "Ekman")})));
    QCOMPARE(run({"--merge", base, ours, m_dir->filePath("saknas.tds"), "-o",
                  m_dir->filePath("ut2.tds")})
                 .exitCode,
             2);
    QVERIFY(!QFile::exists(m_dir->filePath("ut2.tds")));
}

// Git names temporary copies without a .tdx beside them; --tdx names the work tree's file.
void TestBatchConversion::gitHandsOverTemporaryCopies()
{
    const QString tds = catalogue();
    const QString copy = m_dir->filePath(".merge_file_a1b2c3");
    QVERIFY(QFile::copy(tds, copy));
    QCOMPARE(run({"--diff", copy, tds}).exitCode, 2);
    const Run result = run({"--diff", copy, tds, "--tdx", tds});
    QVERIFY2(result.exitCode == 0, qPrintable(result.err));
}

// The README's settings, in a real repository: git diff shows the catalogue's differences, and a
// merge with changes to different articles merges cleanly and leaves no .tdx of git's
// temporary file behind.
void TestBatchConversion::gitDriversAsTheReadmeSetsThemUp()
{
    if (QStandardPaths::findExecutable("git").isEmpty())
        QSKIP("git is not installed");
    const QString repo = m_dir->filePath("repo");
    QVERIFY(QDir().mkpath(repo));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("PATH", QFileInfo(KVISTBO_EXECUTABLE).absolutePath() + ":" + env.value("PATH"));
    env.insert("HOME", m_dir->path());
    env.insert("XDG_CONFIG_HOME", m_dir->filePath("config"));
    env.insert("GIT_CONFIG_NOSYSTEM", "1");
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    const auto git = [&](const QStringList &arguments) {
        QProcess process;
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(repo);
        process.start("git", arguments);
        if (!process.waitForFinished(60000))
            qFatal("git did not finish");
        return Run{process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                   QString::fromUtf8(process.readAllStandardError())};
    };
    const auto commit = [&](const QStringList &lines, const QString &message) {
        CatalogueFixture::write(repo, "kat", lines);
        QCOMPARE(git({"add", "-A"}).exitCode, 0);
        QCOMPARE(git({"commit", "-q", "-m", message}).exitCode, 0);
    };
    git({"init", "-q", "-b", "main"});
    git({"config", "user.email", "test@example.org"});
    git({"config", "user.name", "Test"});
    git({"config", "diff.kvistbo.command",
         "sh -c 'kvistbo --diff \"$2\" \"$5\" --tdx \"$1\"; [ $? -le 1 ]' kvistbo-diff"});
    git({"config", "merge.kvistbo.driver",
         "kvistbo --merge %O %A %B -o %A --tdx %P; rc=$?; rm -f %A.tdx; exit $rc"});
    TestFiles::write(repo + "/.gitattributes", "*.tds diff=kvistbo merge=kvistbo\n");
    const QString one = line("ABCDI060", "1", "Kontaktorer", "Nordel");
    const QString two = line("ABCDI060", "2", "Kontaktor 2", "O'Brien");
    commit({one, two}, "bas");
    git({"checkout", "-q", "-b", "deras"});
    commit({one, line("ABCDI060", "2", "Kontaktor 2", "Öberg")}, "deras");
    git({"checkout", "-q", "main"});
    CatalogueFixture::write(repo, "kat", {line("ABCDI060", "1", "Kontaktorer", "Ekman"), two});
    const Run diff = git({"diff"});
    QVERIFY2(diff.out.contains("FABRIKAT: \"Nordel\" -> \"Ekman\""),
             qPrintable(diff.out + diff.err));
    QCOMPARE(git({"commit", "-q", "-a", "-m", "vår"}).exitCode, 0);
    const Run merge = git({"merge", "-q", "deras", "-m", "ihop"});
    QVERIFY2(merge.exitCode == 0, qPrintable(merge.out + merge.err));
    QVERIFY(TestFiles::read(repo + "/kat.tds")
                .startsWith(TestFiles::crlf({line("ABCDI060", "1", "Kontaktorer", "Ekman"),
                                             line("ABCDI060", "2", "Kontaktor 2", "Öberg")})));
    QCOMPARE(git({"status", "--porcelain", "--ignored"}).out, QString());
}
