#include "core/AppError.h"
#include "core/Paths.h"
#include "db/Database.h"
#include "db/NewDatabaseFile.h"
#include "db/Schema.h"
#include "db/WorkingDatabase.h"
#include "support/ScriptedPrompter.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

class TestSchema : public QObject
{
    Q_OBJECT

private slots:
    void workingDatabasePaths_data();
    void workingDatabasePaths();
    void createsTheThreeTables();
    void onlyTheRowNumber();
    void tableAndFieldLookupsIgnoreCase();
    void declinedOverwriteKeepsTheOldFile();
    void duplicateFieldNamesAreNamed_data();
    void duplicateFieldNamesAreNamed();
    void folderThatCannotBeWrittenIsNamed();
    void lockedDatabaseIsNotReplaced();

private:
    FieldList fields() const
    {
        return {{"RAD", {}, 6, 0},
                {"BL_NAME", "Blocknamn", 8, 1},
                {"TBH/APP", "Tillbehör", 12, 9},
                {"BENÄMNING", "Benämning, lång", 20, 21}};
    }
    QTemporaryDir m_dir;
};

void TestSchema::workingDatabasePaths_data()
{
    QTest::addColumn<QString>("tds");
    QTest::addColumn<QString>("tdb");
    QTest::addColumn<QString>("tdx");
    QTest::newRow("plain") << "/data/art.tds"
                           << "/data/art.tdb"
                           << "/data/art.tdx";
    QTest::newRow("upper case keeps case") << "/Data/ART.TDS"
                                           << "/Data/ART.tdb"
                                           << "/Data/ART.tdx";
    QTest::newRow("folder named like the extension") << "/x.tds/art.tds"
                                                     << "/x.tds/art.tdb"
                                                     << "/x.tds/art.tdx";
}

void TestSchema::workingDatabasePaths()
{
    QFETCH(QString, tds);
    QFETCH(QString, tdb);
    QFETCH(QString, tdx);
    QCOMPARE(Paths::tdbPathFor(tds), tdb);
    QCOMPARE(Paths::tdxPathFor(tds), tdx);
}

void TestSchema::createsTheThreeTables()
{
    ScriptedPrompter prompter;
    const QString tds = m_dir.filePath("schema.tds");
    auto created = CreateDatabase(tds, fields(), prompter);
    QVERIFY(created);
    Schema::createIndexes(created->db(), fields());
    created->commit();
    QVERIFY(prompter.shown.isEmpty());

    Database db(m_dir.filePath("schema.tdb"), Database::OpenMode::ReadOnly);
    QCOMPARE(db.tables(), (QStringList{"Articles", "Eqv", "Designations"}));
    for (const QString table : {"Articles", "Eqv"}) {
        const auto columns = db.columns(table);
        QCOMPARE(columns.size(), size_t(4));
        QCOMPARE(columns[0].name, QString("RAD"));
        QVERIFY(columns[0].isInteger);
        QCOMPARE(columns[2].name, QString("TBH/APP"));
        QCOMPARE(columns[2].size, 12);
        QCOMPARE(columns[3].name, QString("BENÄMNING"));
        QCOMPARE(columns[3].size, 20);
        // Only Articles keeps the descriptions.
        QCOMPARE(columns[3].description,
                 table == "Articles" ? QString("Benämning, lång") : QString());
        QCOMPARE(db.indexes(table), (QStringList{table + "_RAD", table + "_BL_NAME",
                                                 table + "_TBH/APP", table + "_BENÄMNING"}));
    }
    const auto designations = db.columns("Designations");
    QCOMPARE(designations.size(), size_t(2));
    QCOMPARE(designations[0].size, 50);
    QCOMPARE(designations[1].name, QString("DESCRIPTION"));
    QCOMPARE(db.indexes("Designations"),
             (QStringList{"Designations_BL_NAME", "Designations_DESCRIPTION"}));

    // Opening reads the same list back (Start is not stored).
    WorkingDatabase working = WorkingDatabase::open(m_dir.filePath("schema.tdb"));
    QCOMPARE(working.fields().size(), 4);
    QCOMPARE(working.fields().at(3).Description, QString("Benämning, lång"));
    QCOMPARE(working.fields().at(2).Length, 12);

    // Blank values stay empty text, never null.
    Database rw(m_dir.filePath("schema.tdb"), Database::OpenMode::ReadWrite);
    rw.prepare("INSERT INTO Articles VALUES (0, ?, ?, ?)")
        .bindUtf8(1, "", 0)
        .bindUtf8(2, "", 0)
        .bindUtf8(3, "", 0)
        .run();
    QCOMPARE(rw.scalar("SELECT COUNT(*) FROM Articles WHERE BL_NAME = ''").toInt(), 1);
}

void TestSchema::onlyTheRowNumber()
{
    ScriptedPrompter prompter;
    auto created =
        CreateDatabase(m_dir.filePath("radonly.tds"), rowNumberOnlyFieldList(), prompter);
    QVERIFY(created);
    Schema::createIndexes(created->db(), rowNumberOnlyFieldList());
    created->commit();
    Database db(m_dir.filePath("radonly.tdb"), Database::OpenMode::ReadOnly);
    QCOMPARE(db.columns("Articles").size(), size_t(1));
    QCOMPARE(db.columns("Eqv").size(), size_t(1));
    QCOMPARE(db.indexes("Articles"), QStringList{"Articles_RAD"});
}

void TestSchema::tableAndFieldLookupsIgnoreCase()
{
    ScriptedPrompter prompter;
    auto created = CreateDatabase(m_dir.filePath("lookup.tds"), fields(), prompter);
    QVERIFY(created);
    Database &db = created->db();
    QVERIFY(TableExists(db, "articles"));
    QVERIFY(TableExists(db, "DESIGNATIONS"));
    QVERIFY(!TableExists(db, "Nothing"));
    // Our hidden description table exists but is never matched.
    QVERIFY(db.scalar("SELECT COUNT(*) FROM MSysColumnDescriptions").toInt() > 0);
    QVERIFY(!TableExists(db, "MSysColumnDescriptions"));
    QVERIFY(FieldExists(db, "Articles", "bl_name"));
    QVERIFY(FieldExists(db, "articles", "benämning"));
    QVERIFY(!FieldExists(db, "Articles", "FABRIKAT"));
    QVERIFY(!FieldExists(db, "Nothing", "BL_NAME"));
}

void TestSchema::declinedOverwriteKeepsTheOldFile()
{
    const QString tdb = m_dir.filePath("keep.tdb");
    TestFiles::write(tdb, "old contents");
    ScriptedPrompter prompter;
    prompter.answers.enqueue(false);
    QVERIFY(!CreateDatabase(m_dir.filePath("keep.tds"), fields(), prompter));
    QCOMPARE(prompter.shown.size(), 1);
    QCOMPARE(prompter.shown[0].title, QString("Radera tidigare version"));
    QCOMPARE(prompter.shown[0].icon, MessageIcon::Warning);
    QCOMPARE(prompter.shown[0].text, "Filen " + tdb + "\nfinns redan. Skall filen raderas?");
    QCOMPARE(TestFiles::read(tdb), QByteArray("old contents"));
}

void TestSchema::duplicateFieldNamesAreNamed_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("same spelling") << "BL_NAME";
    QTest::newRow("other case") << "bl_name";
    QTest::newRow("the row number") << "rad";
    QTest::newRow("other case beyond ASCII") << "BENäMNING";
}

void TestSchema::duplicateFieldNamesAreNamed()
{
    QFETCH(QString, name);
    QTemporaryDir dir;
    FieldList twice = fields();
    twice.append({name, {}, 4, 41});
    ScriptedPrompter prompter;
    QVERIFY(!CreateDatabase(dir.filePath("dup.tds"), twice, prompter));
    QCOMPARE(prompter.shown.size(), 1);
    QCOMPARE(prompter.shown[0].title, QString("FEL"));
    QCOMPARE(prompter.lastText(), "frmMain:CreateDatabase::ERROR:457 - Kan ej skapa databasen " +
                                      dir.filePath("dup.tdb") + ".\nFältet " + name +
                                      " finns två gånger i fältbeskrivningen (.tdx).");
    // Nothing half-made is left behind.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());

    // The tables refuse them on their own too, whoever creates them.
    Database db(":memory:", Database::OpenMode::Create);
    QVERIFY_THROWS_EXCEPTION(AppError, Schema::createTables(db, twice));
}

void TestSchema::folderThatCannotBeWrittenIsNamed()
{
    if (::geteuid() == 0)
        QSKIP("root writes into read-only folders");
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("ro"));
    QFile::setPermissions(dir.filePath("ro"), QFile::ReadOwner | QFile::ExeOwner);
    ScriptedPrompter prompter;
    QVERIFY(!CreateDatabase(dir.filePath("ro/x.tds"), fields(), prompter));
    QVERIFY2(prompter.lastText().contains("Mappen " + dir.filePath("ro") + " är inte skrivbar"),
             qPrintable(prompter.lastText()));
    QVERIFY(!prompter.lastText().contains("låst"));
    QVERIFY(!prompter.lastText().contains("Installera"));
}

void TestSchema::lockedDatabaseIsNotReplaced()
{
    ScriptedPrompter prompter;
    const QString tds = m_dir.filePath("locked.tds");
    {
        auto created = CreateDatabase(tds, fields(), prompter);
        QVERIFY(created);
        created->commit();
    }
    const QByteArray before = TestFiles::read(m_dir.filePath("locked.tdb"));
    Database other(m_dir.filePath("locked.tdb"), Database::OpenMode::ReadWrite);
    other.exec("BEGIN EXCLUSIVE");
    prompter.answers.enqueue(true);
    QVERIFY(!CreateDatabase(tds, fields(), prompter));
    QCOMPARE(prompter.shown.last().icon, MessageIcon::Information);
    QCOMPARE(prompter.lastText(), QString("frmMain:CreateDatabase::ERROR:70 - Kan ej skapa "
                                          "databasen.\nDatabasen är låst av annan användare eller "
                                          "annat program."));
    other.exec("ROLLBACK");
    QCOMPARE(TestFiles::read(m_dir.filePath("locked.tdb")), before);
}

QTEST_GUILESS_MAIN(TestSchema)
#include "tst_schema.moc"
