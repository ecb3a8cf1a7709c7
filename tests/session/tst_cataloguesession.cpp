#include "browse/ArticleSelection.h"
#include "db/Database.h"
#include "session/CatalogueSession.h"
#include "support/CatalogueFixture.h"
#include "support/ScriptedPrompter.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

// These tests force a failure half-way through a write with a trigger; the program itself
// never lets a database's triggers run.
static const bool triggersAllowed = (Database::allowTriggersForTesting(true), true);

using CatalogueFixture::line;

// The file and save rules of the open catalogue, without a window: every command that closes
// the database or reloads the grid settles unsaved edits first, as the user answers.
class TestCatalogueSession : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void commandsSettlePendingEdits_data();
    void commandsSettlePendingEdits();
    void failedSaveStopsTheCommand();
    void unreadableGridIsNeverSaved();
    void exportKeepsTheShownChoice();
    void lossyExportAsksFirst();
    void tidyingAfterACrashIsReported();
    void viewLoadedInTheBackgroundMatchesOneRead();
    void rootReadInTwoSharesMatchesOneRead_data();
    void rootReadInTwoSharesMatchesOneRead();
    void viewReplacedWhileLoading();
    void editWhileLoadingIsSaved_data();
    void editWhileLoadingIsSaved();

private:
    // The designation of the group's n-th article in row-number order.
    QString storedDesignation(const QString &tdb, int row);

    QTemporaryDir m_settings;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_tds;
    QString m_tdb;
};

namespace {

enum class Pending { None, Yes, No, Cancel };

const int kDesignation = 4; // grid column of BENÄMNING: selector, RAD, BL_NAME, TYP, BENÄMNING

} // namespace

void TestCatalogueSession::initTestCase()
{
    TestFiles::isolateSettings(m_settings.path());
}

void TestCatalogueSession::init()
{
    TestFiles::clearUserSettings();
    m_dir = std::make_unique<QTemporaryDir>();
    m_tds = CatalogueFixture::write(m_dir->path(), "sess",
                                    {line("ABCDI010", "1", "Kontaktor", "Nordel"),
                                     line("ABCDI010", "2", "Relä", "Nordel"),
                                     line("ABCDI020", "1", "Säkring")});
    m_tdb = CatalogueFixture::importTds(m_tds);
}

QString TestCatalogueSession::storedDesignation(const QString &tdb, int row)
{
    Database db(tdb, Database::OpenMode::ReadOnly);
    return db
        .scalar("SELECT \"BENÄMNING\" FROM Articles WHERE BL_NAME = 'ABCDI010' "
                "ORDER BY RAD LIMIT 1 OFFSET ?",
                row - 1)
        .toString();
}

void TestCatalogueSession::commandsSettlePendingEdits_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("pending");
    for (const char *command :
         {"close", "open", "import", "saveAs", "export", "show", "reopen", "databaseChanged"}) {
        for (Pending pending : {Pending::None, Pending::Yes, Pending::No, Pending::Cancel}) {
            static const char *names[] = {"no edits", "Ja", "Nej", "Avbryt"};
            QTest::addRow("%s, %s", command, names[int(pending)])
                << QString(command) << int(pending);
        }
    }
}

void TestCatalogueSession::commandsSettlePendingEdits()
{
    QFETCH(QString, command);
    QFETCH(int, pending);
    const Pending answer = Pending(pending);

    // Another database to open, and a catalogue to import.
    const QString otherTdb =
        CatalogueFixture::importDatabase(m_dir->path(), "annan", {line("ABCDI030", "1", "Annan")});
    const QString otherTds =
        CatalogueFixture::write(m_dir->path(), "ny", {line("ABCDI040", "1", "Ny")});
    const QString copy = m_dir->filePath("kopia.tdb");
    const QString exported = m_dir->filePath("ut.tds");

    ScriptedPrompter prompter;
    CatalogueSession session(prompter);
    QVERIFY(session.OpenMDB(m_tdb));
    QVERIFY(session.show(ArticleSelection::group("ABCDI010")));
    const QString original = session.grid().text(1, kDesignation);
    QCOMPARE(original, QString("Kontaktor"));
    if (answer != Pending::None) {
        session.grid().setText(1, kDesignation, "Ändrad");
        session.GridEdited(true);
        prompter.choices.enqueue(answer == Pending::Yes  ? Answer::Yes
                                 : answer == Pending::No ? Answer::No
                                                         : Answer::Cancel);
    }

    bool went = false;
    const QMap<QString, std::function<void()>> run = {
        {"close", [&] { session.mnuCloseMDB(); }},
        {"open", [&] { session.OpenMDB(otherTdb); }},
        {"import", [&] { session.importCatalogue(otherTds); }},
        {"saveAs", [&] { session.saveAs(copy); }},
        {"export", [&] { session.exportCatalogue(exported); }},
        {"show", [&] { session.show(ArticleSelection::group("ABCDI020")); }},
        {"reopen", [&] { went = session.reopen(); }},
        {"databaseChanged",
         [&] {
             went = session.offerToSaveEdits();
             if (went)
                 session.databaseChanged();
         }},
    };
    // Whether the command went ahead.
    const QMap<QString, std::function<bool()>> acted = {
        {"close", [&] { return !session.isOpen(); }},
        {"open", [&] { return session.CurrentDbPath() == otherTdb; }},
        {"import", [&] { return session.CurrentDbPath() == m_dir->filePath("ny.tdb"); }},
        {"saveAs", [&] { return session.CurrentDbPath() == copy; }},
        {"export", [&] { return QFile::exists(exported); }},
        {"show", [&] { return session.selection() == ArticleSelection::group("ABCDI020"); }},
        {"reopen", [&] { return went; }},
        {"databaseChanged", [&] { return went; }},
    };
    run[command]();

    const int questions = int(std::count_if(prompter.shown.begin(), prompter.shown.end(),
                                            [](const auto &s) { return s.isQuestion; }));
    QCOMPARE(questions, answer == Pending::None ? 0 : 1);
    const bool cancelled = answer == Pending::Cancel;
    QCOMPARE(acted[command](), !cancelled);
    // The database holds the edit exactly when the user said Ja.
    QCOMPARE(storedDesignation(m_tdb, 1), answer == Pending::Yes ? QString("Ändrad") : original);
    if (cancelled) {
        // Everything as it was: the database open, the edit in the grid, still unsaved.
        QVERIFY(session.isOpen());
        QCOMPARE(session.CurrentDbPath(), m_tdb);
        QCOMPARE(session.selection(), ArticleSelection::group("ABCDI010"));
        QCOMPARE(session.grid().text(1, kDesignation), QString("Ändrad"));
        QVERIFY(session.isEdited());
        return;
    }
    QVERIFY(!session.isEdited());
    // A grid still showing the group shows what is stored.
    if (session.selection() == ArticleSelection::group("ABCDI010"))
        QCOMPARE(session.grid().text(1, kDesignation), storedDesignation(m_tdb, 1));
    else if (!session.selection().isValid() && session.isOpen())
        QCOMPARE(session.grid().rows(), 1);
}

void TestCatalogueSession::failedSaveStopsTheCommand()
{
    {
        Database db(m_tdb, Database::OpenMode::ReadWrite);
        db.exec("CREATE TRIGGER stop BEFORE UPDATE ON Articles BEGIN SELECT RAISE(ABORT, 'stopp'); "
                "END");
        db.exec(
            "CREATE TRIGGER stop2 BEFORE INSERT ON Articles BEGIN SELECT RAISE(ABORT, 'stopp'); "
            "END");
    }
    ScriptedPrompter prompter;
    CatalogueSession session(prompter);
    QVERIFY(session.OpenMDB(m_tdb));
    QVERIFY(session.show(ArticleSelection::group("ABCDI010")));
    session.grid().setText(1, kDesignation, "Ändrad");
    session.GridEdited(true);
    prompter.choices.enqueue(Answer::Yes);
    QVERIFY(!session.mnuCloseMDB());
    QVERIFY(prompter.lastText().startsWith("frmMain:mnuSave::ERROR:"));
    QVERIFY(session.isOpen());
    QVERIFY(session.isEdited());
    QCOMPARE(session.grid().text(1, kDesignation), QString("Ändrad"));
    QCOMPARE(storedDesignation(m_tdb, 1), QString("Kontaktor"));
}

void TestCatalogueSession::unreadableGridIsNeverSaved()
{
    ScriptedPrompter prompter;
    CatalogueSession session(prompter);
    QVERIFY(session.OpenMDB(m_tdb));
    QVERIFY(session.show(ArticleSelection::group("ABCDI010")));
    // The articles cannot be read any more: the grid comes back empty and shows no choice, so
    // a save cannot take the empty grid for a group the user emptied.
    session.database()->exec("ALTER TABLE Articles RENAME TO Gone");
    session.ignoreChanges();
    QVERIFY(prompter.lastText().startsWith("frmMain:PopulateGrid::ERROR:"));
    QCOMPARE(session.grid().rows(), 1);
    QVERIFY(!session.selection().isValid());
    session.GridEdited(true);
    QVERIFY(!session.mnuSave());
    session.database()->exec("ALTER TABLE Gone RENAME TO Articles");
    Database db(m_tdb, Database::OpenMode::ReadOnly);
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM Articles").toInt(), 3);
}

void TestCatalogueSession::exportKeepsTheShownChoice()
{
    ScriptedPrompter prompter;
    CatalogueSession session(prompter);
    QVERIFY(session.OpenMDB(m_tdb));
    QVERIFY(session.show(ArticleSelection::group("ABCDI010")));
    QSignalSpy resets(&session, &CatalogueSession::gridReset);
    QVERIFY(session.exportCatalogue(m_dir->filePath("ut.tds")));
    // It adds equivalence lines only, which the grid does not show: the grid stays as it was.
    QCOMPARE(resets.size(), 0);
    QCOMPARE(session.grid().rows(), 3);
    // A save right after the export writes the same group back, nothing deleted.
    session.GridEdited(true);
    QVERIFY(session.mnuSave());
    Database db(m_tdb, Database::OpenMode::ReadOnly);
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM Articles").toInt(), 3);
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM Designations").toInt(), 2);
}

void TestCatalogueSession::lossyExportAsksFirst()
{
    {
        Database db(m_tdb, Database::OpenMode::ReadWrite);
        db.exec("UPDATE Articles SET FABRIKAT = 'Snö ☃' WHERE TYP = '2'");
    }
    ScriptedPrompter prompter;
    CatalogueSession session(prompter);
    QVERIFY(session.OpenMDB(m_tdb));
    QSignalSpy notices(&session, &CatalogueSession::notice);
    const QString out = m_dir->filePath("ut.tds");
    prompter.answers << false;
    QVERIFY(!session.exportCatalogue(out));
    QVERIFY(prompter.lastText().contains("FABRIKAT: 1 värden får \"?\""));
    QVERIFY(!QFile::exists(out));
    QCOMPARE(notices.last().first().toString(), "Exporten avbröts: inga filer ändrades.");

    prompter.answers << true;
    QVERIFY(session.exportCatalogue(out));
    QVERIFY(QFile::exists(out));
}

void TestCatalogueSession::tidyingAfterACrashIsReported()
{
    // A temporary file left by an export that died: the next export removes it and says so.
    const qint64 goneId = TestFiles::finishedProcessId();
    const QString stale = m_dir->filePath(".ut.tds." + QString::number(goneId) + "-a1B2c3");
    TestFiles::write(stale, "part");

    ScriptedPrompter prompter;
    CatalogueSession session(prompter);
    QVERIFY(session.OpenMDB(m_tdb));
    QSignalSpy notices(&session, &CatalogueSession::notice);
    QVERIFY(session.exportCatalogue(m_dir->filePath("ut.tds")));
    QCOMPARE(notices.size(), 1);
    QVERIFY(notices.first().first().toString().contains(stale));
    QVERIFY(!QFile::exists(stale));
}

namespace {

QStringList gridLines(const ArticleGrid &grid)
{
    QStringList lines;
    for (int r = 1; r < grid.rows(); ++r) {
        QStringList cells;
        for (int c = 1; c < grid.cols(); ++c)
            cells << grid.text(r, c);
        lines << QString::number(grid.rowId(r)) + u'|' + cells.join(u'|');
    }
    return lines;
}

} // namespace

void TestCatalogueSession::viewLoadedInTheBackgroundMatchesOneRead()
{
    ScriptedPrompter prompter;
    CatalogueSession session(prompter);
    QVERIFY(session.OpenMDB(m_tdb));
    session.setFirstScreenRows(-1);
    QVERIFY(session.show(ArticleSelection::root()));
    QVERIFY(!session.isLoading());
    const QStringList whole = gridLines(session.grid());

    session.setFirstScreenRows(1);
    session.ignoreChanges();
    QVERIFY(session.isLoading());
    QCOMPARE(session.grid().rows(), 2);
    QTRY_VERIFY(!session.isLoading());
    QCOMPARE(gridLines(session.grid()), whole);
    QVERIFY(!session.isEdited());
    // The reader leaves the file's journal as it was.
    QVERIFY(!QFile::exists(m_tdb + "-wal"));
}

// The root's groups are read in two shares side by side; however far the first screen reaches,
// the rows arrive once each and in the order of one read.
void TestCatalogueSession::rootReadInTwoSharesMatchesOneRead_data()
{
    QTest::addColumn<int>("firstScreen");
    // Five groups of 1, 3, 2, 4 and 1 rows: the first share holds the first two, 4 rows.
    for (const int rows : {1, 3, 4, 5, 6, 10})
        QTest::addRow("first screen of %d", rows) << rows;
}

void TestCatalogueSession::rootReadInTwoSharesMatchesOneRead()
{
    QFETCH(int, firstScreen);
    QStringList lines;
    const QList<QPair<QString, int>> groups = {
        {"ABCDI010", 1}, {"ABCDI020", 3}, {"ABCDI030", 2}, {"ABCDI040", 4}, {"ABCDI050", 1}};
    for (const auto &[name, rows] : groups) {
        for (int n = 1; n <= rows; ++n)
            lines << line(name, QString::number(n), QStringLiteral("%1 rad %2").arg(name).arg(n));
    }
    const QString tdb =
        CatalogueFixture::importTds(CatalogueFixture::write(m_dir->path(), "delad", lines));
    ScriptedPrompter prompter;
    CatalogueSession session(prompter);
    QVERIFY(session.OpenMDB(tdb));
    session.setFirstScreenRows(-1);
    QVERIFY(session.show(ArticleSelection::root()));
    const QStringList whole = gridLines(session.grid());
    QCOMPARE(whole.size(), 11);

    session.setFirstScreenRows(firstScreen);
    session.ignoreChanges();
    QVERIFY(session.isLoading());
    QTRY_VERIFY(!session.isLoading());
    QCOMPARE(gridLines(session.grid()), whole);
}

void TestCatalogueSession::viewReplacedWhileLoading()
{
    ScriptedPrompter prompter;
    CatalogueSession session(prompter);
    QVERIFY(session.OpenMDB(m_tdb));
    session.setFirstScreenRows(1);
    QSignalSpy appended(&session, &CatalogueSession::gridRowsAppended);
    QVERIFY(session.show(ArticleSelection::root()));
    QVERIFY(session.isLoading());

    // Picked before the root's rows arrive: the group is shown and nothing of the root follows.
    QVERIFY(session.show(ArticleSelection::group("ABCDI020")));
    QVERIFY(!session.isLoading());
    QTest::qWait(100);
    QCOMPARE(session.grid().rows(), 2);
    QCOMPARE(session.grid().text(1, 2), QStringLiteral("ABCDI020"));
    QCOMPARE(appended.count(), 0);
    QCOMPARE(session.selection(), ArticleSelection::group("ABCDI020"));
}

void TestCatalogueSession::editWhileLoadingIsSaved_data()
{
    QTest::addColumn<bool>("saveBeforeLoaded");
    QTest::newRow("saved after the rest arrived") << false;
    QTest::newRow("saved while the rest loads") << true;
}

void TestCatalogueSession::editWhileLoadingIsSaved()
{
    QFETCH(bool, saveBeforeLoaded);
    ScriptedPrompter prompter;
    CatalogueSession session(prompter);
    QVERIFY(session.OpenMDB(m_tdb));
    session.setFirstScreenRows(1);
    QVERIFY(session.show(ArticleSelection::group("ABCDI010")));
    QVERIFY(session.isLoading());

    session.grid().setText(1, kDesignation, QStringLiteral("Kontaktor 3P å"));
    session.GridEdited(true);
    if (!saveBeforeLoaded)
        QTRY_VERIFY(!session.isLoading());
    QVERIFY(session.mnuSave());

    QCOMPARE(storedDesignation(m_tdb, 1), QStringLiteral("Kontaktor 3P å"));
    QCOMPARE(storedDesignation(m_tdb, 2), QStringLiteral("Relä"));
    QTRY_VERIFY(!session.isLoading());
    QCOMPARE(session.grid().rows(), 3);
    QVERIFY(prompter.shown.isEmpty()); // no error on the way
}

QTEST_GUILESS_MAIN(TestCatalogueSession)
#include "tst_cataloguesession.moc"
