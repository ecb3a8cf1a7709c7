#include "core/Progress.h"
#include "db/Database.h"
#include "db/TdsExport.h"
#include "db/TdsImport.h"
#include "support/CatalogueFixture.h"
#include "support/ScriptedPrompter.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

#include <cstdio>

using CatalogueFixture::line;

namespace {

// Every "=" row of the I060 and I430 families, so the export has nothing to add for them.
QStringList completeFamilies(const QString &prefix)
{
    QStringList lines;
    for (const EquivalenceCodePair &pair : EquivalenceCodePairs) {
        const QString target = QLatin1String(pair.target);
        if (target == "I060" || target == "I430")
            lines << line(prefix + pair.code, "", "=" + prefix + target);
    }
    return lines;
}

// Four groups, stored in the file's order, with `rowsPerGroup` rows in each group's first part,
// and an equivalence line.
QStringList fourGroups(int rowsPerGroup)
{
    // Block name, type, description; a group's first line gets the extra rows after it.
    const QList<QStringList> rows = {
        {"ABCDI030", "1", "apparater"},   {"ABCDI030", "2", "Apparat 2"},
        {"ABCDI070", "1", "Kontaktorer"}, {"ABCDI010", "1", "Ärmar"},
        {"ABCDI010", "2", "Ärm två"},     {"ABCDI010", "3", "Ärm tre"},
        {"ABCD#K01", "1", "Öglor"}};
    QStringList lines;
    for (const QStringList &row : rows) {
        lines << line(row[0], row[1], row[2]);
        for (int n = 1; row[1] == "1" && n < rowsPerGroup; ++n)
            lines << line(row[0], QString::number(100 + n), QStringLiteral("Artikel %1").arg(n));
    }
    lines << line("ABCDI999", "", "Vanlig");
    return lines;
}

} // namespace

class TestTdsExport : public QObject
{
    Q_OBJECT

private slots:
    void roundTripGivesBackTheBytes_data();
    void roundTripGivesBackTheBytes();
    void demoCatalogueRoundTrips();
    void storageOrderNeverChangesTheFile_data();
    void storageOrderNeverChangesTheFile();
    void aRefusalNearTheEndIsReported();
    void aFileThatTookTheCatalogueNameIsNotRead();
    void bothHalvesAreCounted();
    void equivalencesAreCompletedOnce();
    void referencesToMissingGroupsAreLeftOut();
    void typeSortedFileNames_data();
    void typeSortedFileNames();
    void valuesAreCutPaddedAndNeverLost_data();
    void valuesAreCutPaddedAndNeverLost();
    void failuresLeaveTheOldFiles();
    void outputFolderThatCannotBeMade();
    void triggersStoredInTheDatabaseDoNotRun();
    void interruptedExportIsSettledFirst();
    void siblingTdxIsReplacedWhateverItsCase();
    void whatTheImportCannotReadIsRefused_data();
    void whatTheImportCannotReadIsRefused();

private:
    // Imports lines into folder/name.tdb and opens it.
    Database import(const QString &folder, const QString &name, const QStringList &lines);
    ExportResult exportTo(Database &db, const QString &path, ScriptedPrompter &prompter);
};

Database TestTdsExport::import(const QString &folder, const QString &name, const QStringList &lines)
{
    return Database(CatalogueFixture::importDatabase(folder, name, lines),
                    Database::OpenMode::ReadWrite);
}

ExportResult TestTdsExport::exportTo(Database &db, const QString &path, ScriptedPrompter &prompter)
{
    NullProgress progress;
    return TdsExport(db, prompter, progress).run(path);
}

void TestTdsExport::roundTripGivesBackTheBytes_data()
{
    QTest::addColumn<QStringList>("lines");
    // Groups in the order of their descriptions (Swedish, case ignored), rows in file order.
    QTest::newRow("groups, ordinary and = equivalences")
        << (QStringList{line("ABCDI430", "1", "apparater", "Nordel"),
                        line("ABCDI430", "2", "Apparat 2", "O'Brien"),
                        line("ABCDI060", "1", "Kontaktorer", "Åkerby"),
                        line("ABCDI020", "10", "Zebror"), line("ABCDI010", "1", "Ärmar"),
                        line("ABCDI010", "2", "Ärm två", "Ström & Co"),
                        line("ABCD#K01", "1", "Öglor", "Lindqvist"),
                        line("ABCDI999", "", "Vanlig ekvivalens")} +
            completeFamilies("ABCD") + QStringList{line("ABCDI071", "", "=ABCDI010")});
    QTest::newRow("equal descriptions order by block name")
        << (QStringList{line("ABCDI020", "1", "Samma"), line("ABCDI030", "1", "samma"),
                        line("ABCDI030", "2", "x")});
}

void TestTdsExport::roundTripGivesBackTheBytes()
{
    QFETCH(QStringList, lines);
    QTemporaryDir dir;
    Database db = import(dir.path(), "in", lines);
    ScriptedPrompter prompter;
    const ExportResult result = exportTo(db, dir.filePath("ut/in.tds"), prompter);
    QVERIFY2(result.ok, qPrintable(prompter.texts().join('\n')));
    QVERIFY(prompter.shown.isEmpty());
    QCOMPARE(TestFiles::read(dir.filePath("ut/in.tds")), TestFiles::read(dir.filePath("in.tds")));
    QCOMPARE(TestFiles::read(dir.filePath("ut/in.tdx")), TestFiles::read(dir.filePath("in.tdx")));
}

// The file is the same however the rows are stored: in the file's own order (one pass), with
// groups or parts of them stored elsewhere (the table read in ranges), or with a group's rows
// stored against their row numbers, found only after the rest was written (group by group).
void TestTdsExport::storageOrderNeverChangesTheFile_data()
{
    QTest::addColumn<QString>("restore");
    QTest::addColumn<int>("rowsPerGroup"); // enough rows make the export read with two readers
    const QString moveToEnd =
        QStringLiteral("CREATE TEMP TABLE moved AS SELECT * FROM Articles WHERE %1; "
                       "DELETE FROM Articles WHERE %1; "
                       "INSERT INTO Articles SELECT * FROM moved ORDER BY RAD %2; "
                       "DROP TABLE moved;");
    // The rows numbered again in their stored order, without gaps.
    const QString renumber =
        QStringLiteral("CREATE TEMP TABLE packed AS SELECT * FROM Articles ORDER BY rowid; "
                       "DELETE FROM Articles; "
                       "INSERT INTO Articles SELECT * FROM packed ORDER BY rowid; "
                       "DROP TABLE packed;");
    const QList<QPair<QByteArray, QString>> cases = {
        {"as imported", QString()},
        // In order, with a gap in the table's numbering: the halves are counted.
        {"rows numbered with a gap", "UPDATE Articles SET rowid = rowid + 1000000 "
                                     "WHERE rowid > (SELECT MAX(rowid) / 3 FROM Articles)"},
        {"first group stored last", moveToEnd.arg("BL_NAME = 'ABCDI030'", "")},
        {"first group stored last, no block-name index",
         "DROP INDEX Articles_BL_NAME; " + moveToEnd.arg("BL_NAME = 'ABCDI030'", "")},
        // The last group described nowhere: its rows are written after every described group.
        {"rows of no group between groups stored out of order",
         "DELETE FROM Designations WHERE BL_NAME = 'ABCD#K01'; " +
             moveToEnd.arg("BL_NAME = 'ABCDI030'", "")},
        {"rows of no group inside a group's rows",
         "DELETE FROM Designations WHERE BL_NAME = 'ABCD#K01'; " +
             moveToEnd.arg("BL_NAME = 'ABCDI010' AND RAD > "
                           "(SELECT MIN(RAD) FROM Articles WHERE BL_NAME = 'ABCDI010')",
                           "") +
             renumber},
        {"a group stored in two parts",
         moveToEnd.arg("BL_NAME = 'ABCDI030' AND RAD = (SELECT MIN(RAD) FROM Articles)", "")},
        {"last rows stored against their row numbers",
         moveToEnd.arg("BL_NAME = 'ABCDI010'", "DESC")},
        // With two readers only the second one meets a row out of its place.
        {"a late group's first row stored last",
         moveToEnd.arg("BL_NAME = 'ABCD#K01' AND RAD = (SELECT MIN(RAD) FROM Articles "
                       "WHERE BL_NAME = 'ABCD#K01')",
                       "")},
    };
    for (const auto &[name, sql] : cases) {
        QTest::addRow("%s", name.constData()) << sql << 1;
        QTest::addRow("%s, 25,000 rows", name.constData()) << sql << 6250;
    }
}

void TestTdsExport::storageOrderNeverChangesTheFile()
{
    QFETCH(QString, restore);
    QFETCH(int, rowsPerGroup);
    QTemporaryDir dir;
    const QStringList lines = fourGroups(rowsPerGroup);
    Database db = import(dir.path(), "in", lines);
    if (!restore.isEmpty())
        db.exec(restore);
    ScriptedPrompter prompter;
    QVERIFY2(exportTo(db, dir.filePath("ut/in.tds"), prompter).ok,
             qPrintable(prompter.texts().join('\n')));
    QCOMPARE(TestFiles::read(dir.filePath("ut/in.tds")), TestFiles::read(dir.filePath("in.tds")));
}

// Large enough to be read by two readers: the second one's refusal is what the user sees, and
// nothing is written.
void TestTdsExport::aRefusalNearTheEndIsReported()
{
    QTemporaryDir dir;
    {
        Database db = import(dir.path(), "in", fourGroups(6250));
        db.exec("UPDATE Articles SET \"BENÄMNING\" = 'a' || char(10) || 'b' WHERE rowid = "
                "(SELECT MAX(rowid) FROM Articles)");
    }
    Database db(dir.filePath("in.tdb"), Database::OpenMode::ReadWrite);
    const QString last =
        db.scalar("SELECT RAD FROM Articles ORDER BY rowid DESC LIMIT 1").toString();
    TestFiles::write(dir.filePath("ut.tds"), "old tds");
    ScriptedPrompter prompter;
    QVERIFY(!exportTo(db, dir.filePath("ut.tds"), prompter).ok);
    QVERIFY2(prompter.lastText().contains(
                 QStringLiteral("Tabellen Articles, rad %1, fältet BENÄMNING").arg(last)),
             qPrintable(prompter.lastText()));
    QCOMPARE(TestFiles::read(dir.filePath("ut.tds")), QByteArray("old tds"));
}

// Another catalogue moved in under the open one's name (as an import elsewhere does) is not
// mixed into the export of the open one.
void TestTdsExport::aFileThatTookTheCatalogueNameIsNotRead()
{
    QTemporaryDir dir;
    import(dir.path(), "other", fourGroups(7000));
    Database db = import(dir.path(), "in", fourGroups(6250));
    ScriptedPrompter prompter;
    // The first export completes the equivalences, so the second one writes nothing to the
    // database (which the engine would refuse for a file no longer under its name).
    QVERIFY(exportTo(db, dir.filePath("ut/first.tds"), prompter).ok);
    QVERIFY(::rename(QFile::encodeName(dir.filePath("other.tdb")).constData(),
                     QFile::encodeName(dir.filePath("in.tdb")).constData()) == 0);
    QVERIFY2(exportTo(db, dir.filePath("ut/second.tds"), prompter).ok,
             qPrintable(prompter.texts().join('\n')));
    QCOMPARE(TestFiles::read(dir.filePath("ut/second.tds")),
             TestFiles::read(dir.filePath("ut/first.tds")));
}

// What was cut or replaced, the lines written and the progress shown add up over two readers.
void TestTdsExport::bothHalvesAreCounted()
{
    class LastValue final : public Progress
    {
    public:
        void start(qint64 total) override { this->total = total; }
        void update(qint64 value) override { last = value; }
        void end() override {}
        qint64 total = 0;
        qint64 last = 0;
    };
    QTemporaryDir dir;
    Database db = import(dir.path(), "in", fourGroups(6250));
    db.exec(
        "UPDATE Articles SET \"BENÄMNING\" = 'En mycket lång benämning som inte ryms i fältet' "
        "WHERE rowid IN ((SELECT MIN(rowid) FROM Articles), (SELECT MAX(rowid) FROM Articles))");
    db.exec(
        "UPDATE Articles SET FABRIKAT = 'Snö ☃' WHERE rowid = (SELECT MAX(rowid) FROM Articles)");
    ScriptedPrompter prompter;
    LastValue progress;
    TdsExport exporter(db, prompter, progress);
    exporter.setLossPolicy(TdsExport::LossPolicy::Allow);
    const ExportResult result = exporter.run(dir.filePath("ut/in.tds"));
    QVERIFY(result.ok);
    QCOMPARE(result.losses, (QList<FieldLoss>{{"BENÄMNING", 2, 0}, {"FABRIKAT", 0, 1}}));
    QCOMPARE(result.linesWritten, TestFiles::read(dir.filePath("ut/in.tds")).count("\r\n"));
    QCOMPARE(progress.last, progress.total);
}

void TestTdsExport::demoCatalogueRoundTrips()
{
    QTemporaryDir dir;
    for (const char *name : {"demo.tds", "demo.tdx"})
        QVERIFY(QFile::copy(QStringLiteral(KVISTBO_EXAMPLES_DIR "/") + name, dir.filePath(name)));
    ScriptedPrompter prompter;
    NullProgress progress;
    const ImportResult imported = TdsImport(prompter, progress).run(dir.filePath("demo.tds"));
    QVERIFY(imported.ok);
    Database db(imported.dbPath, Database::OpenMode::ReadWrite);
    QVERIFY(exportTo(db, dir.filePath("ut/demo.tds"), prompter).ok);
    QVERIFY(prompter.shown.isEmpty());
    QCOMPARE(TestFiles::read(dir.filePath("ut/demo.tds")),
             TestFiles::read(dir.filePath("demo.tds")));
    QCOMPARE(TestFiles::read(dir.filePath("ut/demo.tdx")),
             TestFiles::read(dir.filePath("demo.tdx")));
}

void TestTdsExport::equivalencesAreCompletedOnce()
{
    QTemporaryDir dir;
    Database db = import(dir.path(), "eq",
                         {line("WXYZI060", "1", "Kontaktorer"), line("WXYZI061", "", "=WXYZI060"),
                          line("WXYZI500", "", "Vanlig")});
    ScriptedPrompter prompter;
    QVERIFY(exportTo(db, dir.filePath("a.tds"), prompter).ok);
    // 46 pairs were missing; all added rows share the row number after the last ordinary one.
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM Eqv").toInt(), 2 + 46);
    QCOMPARE(db.scalar("SELECT COUNT(DISTINCT RAD) FROM Eqv WHERE RAD > 2").toInt(), 1);
    QCOMPARE(db.scalar("SELECT MIN(RAD) FROM Eqv WHERE BL_NAME = 'WXYZI310'").toInt(), 3);
    QCOMPARE(db.scalar("SELECT \"BENÄMNING\" FROM Eqv WHERE BL_NAME = 'WXYZK3A1'").toString(),
             QString("=WXYZJ3A0"));

    QVERIFY(exportTo(db, dir.filePath("b.tds"), prompter).ok);
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM Eqv").toInt(), 2 + 46);
    QCOMPARE(TestFiles::read(dir.filePath("a.tds")), TestFiles::read(dir.filePath("b.tds")));
    // Only the I060 family has its target; the others stay in the database but not the file.
    const QByteArray written = TestFiles::read(dir.filePath("a.tds"));
    QCOMPARE(written.count("=WXYZI060"), 5);
    QVERIFY(!written.contains("=WXYZI430"));
}

void TestTdsExport::referencesToMissingGroupsAreLeftOut()
{
    QTemporaryDir dir;
    Database db = import(dir.path(), "ref",
                         {line("ABCDI060", "1", "Grupp"), line("ABCDI900", "", "Bara i Eqv"),
                          line("ABCDI901", "", "=ABCDI900"), line("ABCDI902", "", "=ABCDI777")});
    ScriptedPrompter prompter;
    QVERIFY(exportTo(db, dir.filePath("ut.tds"), prompter).ok);
    const QByteArray written = TestFiles::read(dir.filePath("ut.tds"));
    QVERIFY(written.contains(TestFiles::cp1252(line("ABCDI901", "", "=ABCDI900"))));
    QVERIFY(!written.contains("=ABCDI777"));
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM Eqv WHERE BL_NAME = 'ABCDI902'").toInt(), 1);
}

void TestTdsExport::typeSortedFileNames_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<bool>("byType");
    QTest::newRow("cables") << "Cables.TDS" << true;
    QTest::newRow("colors") << "mycolors.tds" << true;
    QTest::newRow("ordinary") << "katalog.tds" << false;
}

void TestTdsExport::typeSortedFileNames()
{
    QFETCH(QString, fileName);
    QFETCH(bool, byType);
    QTemporaryDir dir;
    Database db = import(dir.path(), "typ",
                         {line("ABCDI010", "10", "Tio"), line("ABCDI010", "9", "Nio"),
                          line("ABCDI020", "2", "Två")});
    // An article whose group is not registered is written last in group order, never dropped.
    db.exec("INSERT INTO Articles VALUES (50, 'ABCDI090', '1', 'Ensam', '')");
    ScriptedPrompter prompter;
    QVERIFY(exportTo(db, dir.filePath(fileName), prompter).ok);
    const QStringList written =
        QString::fromLatin1(TestFiles::read(dir.filePath(fileName))).split("\r\n");
    QStringList designations;
    for (const QString &l : written) {
        if (!l.isEmpty() && l.mid(8, 3).trimmed() != "")
            designations << l.mid(11, 20).trimmed();
    }
    if (byType)
        QCOMPARE(designations, (QStringList{"Ensam", "Två", "Nio", "Tio"}));
    else
        QCOMPARE(designations, (QStringList{"Tio", "Nio", "Två", "Ensam"}));
}

void TestTdsExport::valuesAreCutPaddedAndNeverLost_data()
{
    QTest::addColumn<TdsExport::LossPolicy>("policy");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<bool>("written");
    QTest::addColumn<int>("questions");

    QTest::newRow("asked, going ahead") << TdsExport::LossPolicy::Ask << true << true << 1;
    QTest::newRow("asked, cancelled") << TdsExport::LossPolicy::Ask << false << false << 1;
    QTest::newRow("refused") << TdsExport::LossPolicy::Refuse << true << false << 0;
    QTest::newRow("allowed") << TdsExport::LossPolicy::Allow << false << true << 0;
}

void TestTdsExport::valuesAreCutPaddedAndNeverLost()
{
    QFETCH(TdsExport::LossPolicy, policy);
    QFETCH(bool, answer);
    QFETCH(bool, written);
    QFETCH(int, questions);

    QTemporaryDir dir;
    Database db = import(dir.path(), "cut", {line("ABCDI010", "1", "Kort")});
    db.exec("UPDATE Articles SET \"BENÄMNING\" = 'En mycket lång benämning som inte ryms', "
            "FABRIKAT = NULL");
    db.prepare("INSERT INTO Articles VALUES (1, 'ABCDI010', '2', ?, 'Snö ☃')")
        .bind(1, QString("Pris 5 €"))
        .run();
    // Blanks past the field are padding, nothing lost.
    db.exec("INSERT INTO Articles VALUES (2, 'ABCDI010', '3', 'Kort                       ', "
            "'Nordel')");
    TestFiles::write(dir.filePath("ut.tds"), "old tds");
    ScriptedPrompter prompter;
    prompter.defaultAnswer = answer;
    NullProgress progress;
    TdsExport exporter(db, prompter, progress);
    exporter.setLossPolicy(policy);
    const ExportResult result = exporter.run(dir.filePath("ut.tds"));

    QCOMPARE(result.ok, written);
    QCOMPARE(result.lossDeclined, !written);
    QCOMPARE(result.losses, (QList<FieldLoss>{{"BENÄMNING", 1, 0}, {"FABRIKAT", 0, 1}}));
    QCOMPARE(std::count_if(prompter.shown.begin(), prompter.shown.end(),
                           [](const auto &shown) { return shown.isQuestion; }),
             questions);
    if (questions > 0) {
        QCOMPARE(prompter.shown.first().text,
                 "Exporten kan inte skriva 2 värden som de är:\n\n"
                 "BENÄMNING: 1 värden kapas till fältets längd\n"
                 "FABRIKAT: 1 värden får \"?\" för tecken som Windows-1252 inte kan hålla\n\n"
                 "Exportera ändå?");
    }
    if (!written) {
        QCOMPARE(TestFiles::read(dir.filePath("ut.tds")), QByteArray("old tds"));
        QVERIFY(!QFile::exists(dir.filePath("ut.tdx")));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList({"cut.tdb", "cut.tds", "cut.tdx", "ut.tds"}));
        return;
    }
    QVERIFY(prompter.lastText().startsWith("1 tecken kunde inte skrivas"));
    QCOMPARE(TestFiles::read(dir.filePath("ut.tds")),
             TestFiles::cp1252(line("ABCDI010", "1", "En mycket lång benämning", "") + "\r\n" +
                               line("ABCDI010", "2", "Pris 5 €", "Snö ?") + "\r\n" +
                               line("ABCDI010", "3", "Kort", "Nordel") + "\r\n"));
}

void TestTdsExport::failuresLeaveTheOldFiles()
{
    QTemporaryDir dir;
    Database db = import(dir.path(), "fel", {line("ABCDI010", "K12", "Ingen siffra")});
    TestFiles::write(dir.filePath("cables.tds"), "old tds");
    TestFiles::write(dir.filePath("cables.tdx"), "old tdx");
    ScriptedPrompter prompter;
    QVERIFY(!exportTo(db, dir.filePath("cables.tds"), prompter).ok);
    QVERIFY2(prompter.lastText().startsWith("frmMain:mnuSaveTDS::ERROR:1 - Typerna stämmer inte"),
             qPrintable(prompter.lastText()));
    QCOMPARE(TestFiles::read(dir.filePath("cables.tds")), QByteArray("old tds"));
    QCOMPARE(TestFiles::read(dir.filePath("cables.tdx")), QByteArray("old tdx"));

    // No group at all: no prefix to complete the equivalences with.
    db.exec("DELETE FROM Designations");
    QVERIFY(!exportTo(db, dir.filePath("x.tds"), prompter).ok);
    QVERIFY(prompter.lastText().startsWith("frmMain:mnuSaveTDS::ERROR:94 - "));
    QVERIFY(!QFile::exists(dir.filePath("x.tds")));
    // No temporary file stays behind.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             (QStringList{"cables.tds", "cables.tdx", "fel.tdb", "fel.tds", "fel.tdx"}));
}

void TestTdsExport::outputFolderThatCannotBeMade()
{
    QTemporaryDir dir;
    Database db = import(dir.path(), "map", {line("ABCDI010", "1", "a")});
    TestFiles::write(dir.filePath("fil"), "not a folder");
    ScriptedPrompter prompter;
    QVERIFY(!exportTo(db, dir.filePath("fil/under/ut.tds"), prompter).ok);
    QCOMPARE(prompter.lastText(), "Kan ej skapa sökvägen\n" + dir.filePath("fil/under"));
    QCOMPARE(prompter.shown.last().title, QString("Filfel"));
    QCOMPARE(prompter.shown.last().icon, MessageIcon::Error);
}

void TestTdsExport::triggersStoredInTheDatabaseDoNotRun()
{
    QTemporaryDir dir;
    const QString tdb = CatalogueFixture::importDatabase(
        dir.path(), "fälla", {line("ABCDI010", "1", "Ett"), line("ABCDI010", "2", "Två")});
    {
        // Written by another program: our own connections never let a trigger in.
        sqlite3 *raw = nullptr;
        sqlite3_open(tdb.toUtf8().constData(), &raw);
        QCOMPARE(sqlite3_exec(raw,
                              "CREATE TRIGGER wipe AFTER INSERT ON Eqv BEGIN "
                              "DELETE FROM Articles; END",
                              nullptr, nullptr, nullptr),
                 SQLITE_OK);
        sqlite3_close(raw);
    }
    Database db(tdb, Database::OpenMode::ReadWrite);
    ScriptedPrompter prompter;
    QVERIFY(exportTo(db, dir.filePath("ut.tds"), prompter).ok);
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM Articles").toInt(), 2);
    QVERIFY(TestFiles::read(dir.filePath("ut.tds"))
                .startsWith(TestFiles::cp1252(line("ABCDI010", "1", "Ett") + "\r\n")));
}

void TestTdsExport::interruptedExportIsSettledFirst()
{
    QTemporaryDir dir;
    Database db = import(dir.path(), "ny", {line("ABCDI010", "1", "Ett")});
    QVERIFY(QDir(dir.path()).mkdir("ut"));
    const QString tds = dir.filePath("ut/k.tds");
    // Killed between the two moves: a new .tds beside the old .tdx, the old pair kept hidden,
    // and a temporary file of the process that was killed.
    TestFiles::write(tds, "half new");
    TestFiles::write(dir.filePath("ut/k.tdx"), "old tdx");
    QVERIFY(QDir().mkpath(dir.filePath("ut/.k.tds.backup")));
    TestFiles::write(dir.filePath("ut/.k.tds.backup/first"), "old tds");
    TestFiles::write(dir.filePath("ut/.k.tds.backup/second"), "old tdx");
    const qint64 goneId = TestFiles::finishedProcessId();
    const QString stale = dir.filePath("ut/.k.tdx." + QString::number(goneId) + "-x1Y2z3");
    TestFiles::write(stale, "part");

    ScriptedPrompter prompter;
    const ExportResult result = exportTo(db, tds, prompter);
    QVERIFY2(result.ok, qPrintable(prompter.texts().join('\n')));
    QVERIFY2(prompter.texts().join('\n').contains("De tidigare filerna har återställts"),
             qPrintable(prompter.texts().join('\n')));
    QCOMPARE(result.notes, QStringList{"En kvarlämnad temporär fil togs bort: " + stale});
    QCOMPARE(
        QDir(dir.filePath("ut")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
        (QStringList{"k.tds", "k.tdx"}));
    QVERIFY(TestFiles::read(tds).startsWith(TestFiles::cp1252(line("ABCDI010", "1", "Ett"))));
    QCOMPARE(TestFiles::read(dir.filePath("ut/k.tdx")), CatalogueFixture::tdx());
}

void TestTdsExport::siblingTdxIsReplacedWhateverItsCase()
{
    QTemporaryDir dir;
    Database db = import(dir.path(), "ny", {line("ABCDI010", "1", "Ett")});
    QVERIFY(QDir(dir.path()).mkdir("ut"));
    TestFiles::write(dir.filePath("ut/DEMO.TDS"), "old tds");
    TestFiles::write(dir.filePath("ut/DEMO.TDX"), "old tdx");
    ScriptedPrompter prompter;
    QVERIFY(exportTo(db, dir.filePath("ut/DEMO.TDS"), prompter).ok);
    QCOMPARE(QDir(dir.filePath("ut")).entryList(QDir::Files | QDir::Hidden),
             (QStringList{"DEMO.TDS", "DEMO.TDX"}));
    QCOMPARE(TestFiles::read(dir.filePath("ut/DEMO.TDX")), CatalogueFixture::tdx());
}

void TestTdsExport::whatTheImportCannotReadIsRefused_data()
{
    QTest::addColumn<QStringList>("edits"); // SQL run on the imported database
    QTest::addColumn<QString>("refusal");   // a piece of the message; empty: the export works

    const QString value = "Tabellen Articles, rad 1, fältet BENÄMNING";
    QTest::newRow("CR LF in a value")
        << QStringList{"UPDATE Articles SET \"BENÄMNING\" = 'a' || char(13, 10) || 'b' "
                       "WHERE RAD = 1"}
        << value;
    QTest::newRow("LF in a value")
        << QStringList{"UPDATE Articles SET \"BENÄMNING\" = 'a' || char(10) || 'b' WHERE RAD = 1"}
        << value;
    QTest::newRow("NUL in a value")
        << QStringList{"UPDATE Articles SET \"BENÄMNING\" = CAST(x'610062' AS TEXT) WHERE RAD = 1"}
        << value;
    QTest::newRow("comma in a field name")
        << QStringList{"ALTER TABLE Articles RENAME COLUMN FABRIKAT TO \"FAB,RIKAT\"",
                       "ALTER TABLE Eqv RENAME COLUMN FABRIKAT TO \"FAB,RIKAT\""}
        << "Fältet FAB,RIKAT";
    QTest::newRow("a length outside the .tdx")
        << QStringList{"ALTER TABLE Articles ADD COLUMN BRED VARCHAR(99999)",
                       "ALTER TABLE Eqv ADD COLUMN BRED VARCHAR(99999)"}
        << "Fältet BRED har längden 99999";
    QTest::newRow("two gigabytes a line")
        << QStringList{"ALTER TABLE Articles ADD COLUMN BRED VARCHAR(2147483647)",
                       "ALTER TABLE Eqv ADD COLUMN BRED VARCHAR(2147483647)"}
        << "Fältet BRED har längden 2147483647";
    QTest::newRow("Eqv laid out otherwise")
        << QStringList{"ALTER TABLE Eqv ADD COLUMN EXTRA VARCHAR(5)"}
        << "Tabellen Eqv har andra fält";
    QTest::newRow("Designations without DESCRIPTION")
        << QStringList{"ALTER TABLE Designations RENAME COLUMN DESCRIPTION TO TEXT"}
        << "Fältet DESCRIPTION saknas i tabellen Designations.";
    // The import starts the equivalences at the first line with a blank second field.
    QTest::newRow("article without a type")
        << QStringList{"UPDATE Articles SET TYP = '  ' WHERE RAD = 1"}
        << "Tabellen Articles, rad 1, fältet TYP är tomt";
    QTest::newRow("first equivalence with a type")
        << QStringList{"UPDATE Eqv SET TYP = '7'"}
        << "Tabellen Eqv, rad 2, fältet TYP är inte tomt";
    // What the import accepts comes back: a lone CR in a record of its full length.
    QTest::newRow("lone CR in a full record")
        << QStringList{"UPDATE Articles SET \"BENÄMNING\" = 'Rad' || char(13) || 'brytning' "
                       "WHERE RAD = 1"}
        << QString();
    // Nothing is dropped or written twice: an article of no group, a group described twice.
    QTest::newRow("article without a block name")
        << QStringList{"INSERT INTO Articles VALUES (5, NULL, '3', 'Utan grupp', '')"} << QString();
    QTest::newRow("group described twice")
        << QStringList{"INSERT INTO Designations VALUES ('ABCDI010', 'Ett igen')"} << QString();
}

// The export writes nothing its own import cannot read back; what it writes, the import reads
// back to the same contents.
void TestTdsExport::whatTheImportCannotReadIsRefused()
{
    QFETCH(QStringList, edits);
    QFETCH(QString, refusal);
    QTemporaryDir dir;
    {
        Database db =
            import(dir.path(), "fi",
                   {line("ABCDI010", "1", "Ett", "Nordel"), line("ABCDI010", "2", "Två", "Åkerby"),
                    line("ABCDI999", "", "Vanlig ekvivalens")});
        for (const QString &sql : edits)
            db.exec(sql);
    }
    Database db(dir.filePath("fi.tdb"), Database::OpenMode::ReadWrite);
    TestFiles::write(dir.filePath("ut.tds"), "old tds");
    ScriptedPrompter prompter;
    const ExportResult result = exportTo(db, dir.filePath("ut.tds"), prompter);
    if (!refusal.isEmpty()) {
        QVERIFY(!result.ok);
        QVERIFY2(prompter.lastText().contains(refusal), qPrintable(prompter.lastText()));
        QCOMPARE(TestFiles::read(dir.filePath("ut.tds")), QByteArray("old tds"));
        QVERIFY(!QFile::exists(dir.filePath("ut.tdx")));
        return;
    }
    QVERIFY2(result.ok, qPrintable(prompter.texts().join('\n')));
    NullProgress progress;
    const ImportResult back = TdsImport(prompter, progress).run(dir.filePath("ut.tds"));
    QVERIFY2(back.ok, qPrintable(prompter.texts().join('\n')));
    Database again(back.dbPath, Database::OpenMode::ReadWrite);
    // The equivalence lines the export completed or left out are its own; the export of what
    // came back gives the same file.
    QVERIFY(exportTo(again, dir.filePath("igen/ut.tds"), prompter).ok);
    QCOMPARE(TestFiles::read(dir.filePath("igen/ut.tds")), TestFiles::read(dir.filePath("ut.tds")));
    // Read back are the articles (their row numbers are their places in the file) and one
    // description per group.
    for (const char *sql :
         {"SELECT BL_NAME, TYP, \"BENÄMNING\", FABRIKAT FROM Articles ORDER BY RAD",
          "SELECT BL_NAME, MIN(DESCRIPTION) FROM Designations GROUP BY BL_NAME ORDER BY 1"}) {
        QStringList before, after;
        for (auto [from, into] : {std::pair{&db, &before}, std::pair{&again, &after}}) {
            Statement rows = from->prepare(QString::fromUtf8(sql));
            while (rows.step()) {
                QStringList cells;
                for (int c = 0; c < rows.columnCount(); ++c)
                    cells << rows.text(c);
                *into << cells.join('|');
            }
        }
        QCOMPARE(after, before);
    }
}

QTEST_GUILESS_MAIN(TestTdsExport)
#include "tst_tdsexport.moc"
