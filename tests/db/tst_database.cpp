#include "db/Database.h"
#include "db/Schema.h"
#include "db/WorkingDatabase.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

class TestDatabase : public QObject
{
    Q_OBJECT

private slots:
    void boundValuesKeepApostrophes();
    void transactionRollsBackUnlessCommitted();
    void swedishCollationOrdersLikeAPerson();
    void clngConvertsOrFails_data();
    void clngConvertsOrFails();
    void openingOtherFilesFailsClearly();
    void workingDatabaseNeedsTheArticleTables();
    void storedCodeNeverRuns();
    void viewsInPlaceOfTablesAreRefused();
    void getMaxRow_data();
    void getMaxRow();
    void rowIdNameAvoidsColumnsOfThatName_data();
    void rowIdNameAvoidsColumnsOfThatName();
    void likeIgnoresCaseBeyondAscii_data();
    void likeIgnoresCaseBeyondAscii();
    void likeEscapeMustBeOneCharacter();
    void svFindIgnoresCaseAndAccents_data();
    void svFindIgnoresCaseAndAccents();
    void svFindNumbersTheFirstTextHoldingIt();
    void svFindKeepsItsNeedleAcrossRows();

private:
    QTemporaryDir m_dir;
};

void TestDatabase::boundValuesKeepApostrophes()
{
    Database db(m_dir.filePath("bound.db"), Database::OpenMode::Create);
    db.exec("CREATE TABLE t (a TEXT)");
    const QString tricky = QStringLiteral("O'Brien \"Å\"; DROP TABLE t; --");
    db.prepare("INSERT INTO t VALUES (?)").bind(1, tricky).run();
    QCOMPARE(db.scalar("SELECT a FROM t WHERE a = ?", tricky).toString(), tricky);
}

void TestDatabase::transactionRollsBackUnlessCommitted()
{
    Database db(m_dir.filePath("txn.db"), Database::OpenMode::Create);
    db.exec("CREATE TABLE t (a INTEGER)");
    try {
        Transaction transaction(db);
        db.exec("INSERT INTO t VALUES (1)");
        throw std::runtime_error("fails half-way");
    } catch (const std::runtime_error &) {
    }
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM t").toInt(), 0);
    {
        Transaction transaction(db);
        db.exec("INSERT INTO t VALUES (2)");
        transaction.commit();
    }
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM t").toInt(), 1);
}

void TestDatabase::swedishCollationOrdersLikeAPerson()
{
    Database db(m_dir.filePath("sv.db"), Database::OpenMode::Create);
    db.exec("CREATE TABLE t (a TEXT)");
    for (const QString &word : {QStringLiteral("ödla"), QStringLiteral("Zebra"),
                                QStringLiteral("ärm"), QStringLiteral("Åsna"),
                                QStringLiteral("apa"), QStringLiteral("Bil"), QStringLiteral("ål")})
        db.prepare("INSERT INTO t VALUES (?)").bind(1, word).run();
    QStringList ordered;
    Statement st = db.prepare("SELECT a FROM t ORDER BY a COLLATE SV");
    while (st.step())
        ordered << st.text(0);
    // Case ignored; Å Ä Ö after Z in that order.
    QCOMPARE(ordered, (QStringList{"apa", "Bil", "Zebra", "ål", "Åsna", "ärm", "ödla"}));
}

void TestDatabase::clngConvertsOrFails_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<qint64>("expected");
    QTest::newRow("text number") << "12" << true << qint64(12);
    QTest::newRow("blanks around") << " 7 " << true << qint64(7);
    QTest::newRow("half to even") << "2.5" << true << qint64(2);
    QTest::newRow("not a number") << "K12" << false << qint64(0);
    QTest::newRow("empty") << "" << false << qint64(0);
    QTest::newRow("too large") << "3000000000" << false << qint64(0);
}

void TestDatabase::clngConvertsOrFails()
{
    QFETCH(QString, value);
    QFETCH(bool, ok);
    QFETCH(qint64, expected);
    Database db(m_dir.filePath("clng.db"), Database::OpenMode::Create);
    try {
        const QVariant result = db.scalar("SELECT CLNG(?)", value);
        QVERIFY(ok);
        QCOMPARE(result.toLongLong(), expected);
    } catch (const DbError &) {
        QVERIFY(!ok);
    }
}

void TestDatabase::openingOtherFilesFailsClearly()
{
    const QString text = m_dir.filePath("notes.tdb");
    TestFiles::write(text, QByteArray(4096, 'x'));
    try {
        Database db(text, Database::OpenMode::ReadWrite);
        QFAIL("a text file opened as a database");
    } catch (const DbError &e) {
        QCOMPARE(e.number(), SQLITE_NOTADB);
        QCOMPARE(e.description(), QStringLiteral("Filen är ingen databas."));
    }
    QVERIFY_THROWS_EXCEPTION(
        DbError, Database(m_dir.filePath("missing.tdb"), Database::OpenMode::ReadWrite));
}

void TestDatabase::workingDatabaseNeedsTheArticleTables()
{
    const QString path = m_dir.filePath("other.db");
    {
        Database db(path, Database::OpenMode::Create);
        db.exec("CREATE TABLE Something (a TEXT)");
    }
    try {
        WorkingDatabase::open(path);
        QFAIL("opened a database without article tables");
    } catch (const AppError &e) {
        QVERIFY2(e.description().contains("ingen artikeldatabas"), qPrintable(e.description()));
    }
    try {
        WorkingDatabase::open(m_dir.filePath("nowhere.tdb"));
        QFAIL("opened a missing file");
    } catch (const AppError &e) {
        QVERIFY(e.description().startsWith("Hittar ej filen "));
    }
}

namespace {

// A working database as another program could leave it, written without our connection.
QString hostileDatabase(const QString &path, const char *extra)
{
    sqlite3 *raw = nullptr;
    sqlite3_open(path.toUtf8().constData(), &raw);
    const QByteArray sql = QByteArray("CREATE TABLE Articles (RAD INTEGER, BL_NAME VARCHAR(8));"
                                      "CREATE TABLE Eqv (RAD INTEGER, BL_NAME VARCHAR(8));"
                                      "CREATE TABLE Designations (BL_NAME VARCHAR(50), "
                                      "DESCRIPTION VARCHAR(50));"
                                      "INSERT INTO Articles VALUES (0, 'ABCDI010');") +
                           extra;
    char *message = nullptr;
    const int rc = sqlite3_exec(raw, sql.constData(), nullptr, nullptr, &message);
    const QString error = message ? QString::fromUtf8(message) : QString();
    sqlite3_free(message);
    sqlite3_close(raw);
    return rc == SQLITE_OK ? QString() : error;
}

} // namespace

void TestDatabase::storedCodeNeverRuns()
{
    const QString path = m_dir.filePath("hostile.tdb");
    QCOMPARE(hostileDatabase(path, "CREATE TRIGGER wipe AFTER INSERT ON Eqv BEGIN "
                                   "DELETE FROM Articles; END;"
                                   "CREATE VIEW Converted AS SELECT CLNG('7') AS n;"),
             QString());
    WorkingDatabase working = WorkingDatabase::open(path);
    Database &db = working.db();
    db.exec("INSERT INTO Eqv VALUES (1, 'ABCDI020')");
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM Articles").toInt(), 1);
    // Our own functions are not called from SQL stored in the file.
    QVERIFY_THROWS_EXCEPTION(DbError, db.scalar("SELECT n FROM Converted"));
    QCOMPARE(db.scalar("SELECT CLNG('7')").toInt(), 7);
    // The schema cannot be rewritten behind the engine's back.
    try {
        db.exec("PRAGMA writable_schema = ON; UPDATE sqlite_master SET sql = '' "
                "WHERE name = 'wipe'");
        QFAIL("the schema table was written");
    } catch (const DbError &) {
    }
    QVERIFY(db.scalar("SELECT sql FROM sqlite_master WHERE name = 'wipe'")
                .toString()
                .contains("DELETE FROM Articles"));
}

void TestDatabase::viewsInPlaceOfTablesAreRefused()
{
    const QString path = m_dir.filePath("view.tdb");
    QCOMPARE(hostileDatabase(path, "DROP TABLE Eqv; CREATE VIEW eqv AS SELECT * FROM Articles;"),
             QString());
    try {
        WorkingDatabase::open(path);
        QFAIL("opened a database whose Eqv is a view");
    } catch (const AppError &e) {
        QVERIFY2(e.description().contains("Eqv är en vy"), qPrintable(e.description()));
    }
}

void TestDatabase::getMaxRow_data()
{
    QTest::addColumn<QList<int>>("articles");
    QTest::addColumn<QList<int>>("eqv");
    QTest::addColumn<qint64>("expected");
    QTest::newRow("eqv higher") << QList<int>{5, 120} << QList<int>{340} << qint64(340);
    QTest::newRow("empty eqv") << QList<int>{120, 7} << QList<int>{} << qint64(120);
    QTest::newRow("empty articles") << QList<int>{} << QList<int>{9} << qint64(9);
    QTest::newRow("both empty") << QList<int>{} << QList<int>{} << qint64(0);
    QTest::newRow("past 16 bits") << QList<int>{70000} << QList<int>{} << qint64(70000);
}

void TestDatabase::getMaxRow()
{
    QFETCH(QList<int>, articles);
    QFETCH(QList<int>, eqv);
    QFETCH(qint64, expected);
    Database db(m_dir.filePath(QString("max_%1.db").arg(QTest::currentDataTag()).replace(' ', '_')),
                Database::OpenMode::Create);
    Schema::createTables(db, {{"RAD", {}, 6, 0}, {"BL_NAME", {}, 8, 1}});
    for (int rad : articles)
        db.prepare("INSERT INTO Articles (RAD) VALUES (?)").bind(1, qint64(rad)).run();
    for (int rad : eqv)
        db.prepare("INSERT INTO Eqv (RAD) VALUES (?)").bind(1, qint64(rad)).run();
    QCOMPARE(GetMaxRow(db), expected);
}

void TestDatabase::rowIdNameAvoidsColumnsOfThatName_data()
{
    QTest::addColumn<QString>("columns");
    QTest::addColumn<QString>("expected");
    QTest::newRow("ordinary columns") << "RAD INTEGER, BL_NAME VARCHAR(8)"
                                      << "rowid";
    QTest::newRow("a column named ROWID") << "RAD INTEGER, ROWID VARCHAR(8)"
                                          << "_rowid_";
    QTest::newRow("two names taken") << "Rowid TEXT, _ROWID_ TEXT"
                                     << "oid";
    QTest::newRow("all three taken") << "rowid TEXT, _rowid_ TEXT, oid TEXT"
                                     << "";
}

void TestDatabase::rowIdNameAvoidsColumnsOfThatName()
{
    QFETCH(QString, columns);
    QFETCH(QString, expected);
    Database db(m_dir.filePath(QStringLiteral("rowid-%1.db").arg(QTest::currentDataTag())),
                Database::OpenMode::Create);
    db.exec(QStringLiteral("CREATE TABLE t (%1)").arg(columns));
    db.exec("INSERT INTO t DEFAULT VALUES; INSERT INTO t DEFAULT VALUES");
    if (expected.isEmpty()) {
        QVERIFY_THROWS_EXCEPTION(DbError, rowIdName(db.columns("t")));
        return;
    }
    const QString name = rowIdName(db.columns("t"));
    QCOMPARE(name, expected);
    // It reaches the real rowid, not a column's null.
    QCOMPARE(db.scalar(QStringLiteral("SELECT MAX(%1) FROM t").arg(name)).toInt(), 2);
}

void TestDatabase::likeIgnoresCaseBeyondAscii_data()
{
    QTest::addColumn<QVariant>("text");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("escape");    // empty: no ESCAPE clause
    QTest::addColumn<QVariant>("expected"); // 1, 0 or null
    QTest::newRow("ASCII case") << QVariant("Tillbehör") << "TILLB%"
                                << "" << QVariant(1);
    QTest::newRow("Å Ä Ö case") << QVariant("ÅTERFÖRSÄLJARE") << "återförs%"
                                << "" << QVariant(1);
    QTest::newRow("ä pattern, Ä text") << QVariant("ÄPPLE") << "äp_le"
                                       << "" << QVariant(1);
    QTest::newRow("accents count") << QVariant("Olja") << "ö%"
                                   << "" << QVariant(0);
    QTest::newRow("_ takes one letter Å") << QVariant("Å") << "_"
                                          << "" << QVariant(1);
    QTest::newRow("ASCII pattern, other text") << QVariant("=ÖVRIGT") << "=%"
                                               << "" << QVariant(1);
    QTest::newRow("ASCII pattern misses") << QVariant("ÖVRIGT") << "=%"
                                          << "" << QVariant(0);
    QTest::newRow("escaped %") << QVariant("100% ull") << "100\\%%"
                               << "\\" << QVariant(1);
    QTest::newRow("escaped % misses") << QVariant("1000 ull") << "100\\%%"
                                      << "\\" << QVariant(0);
    QTest::newRow("escaped _ beside Ö") << QVariant("ö_b") << "Ö\\_B"
                                        << "\\" << QVariant(1);
    QTest::newRow("escaped _ misses") << QVariant("öxb") << "Ö\\_B"
                                      << "\\" << QVariant(0);
    QTest::newRow("ASCII letter as escape") << QVariant("a%") << "AX%"
                                            << "X" << QVariant(1);
    QTest::newRow("letter as escape, folded too") << QVariant("Ä%") << "äÄ%"
                                                  << "Ä" << QVariant(1);
    QTest::newRow("null text") << QVariant() << "%"
                               << "" << QVariant();
}

void TestDatabase::likeIgnoresCaseBeyondAscii()
{
    QFETCH(QVariant, text);
    QFETCH(QString, pattern);
    QFETCH(QString, escape);
    QFETCH(QVariant, expected);
    Database db(m_dir.filePath("like.db"), Database::OpenMode::Create);
    Statement st = db.prepare(escape.isEmpty() ? QStringLiteral("SELECT ? LIKE ?")
                                               : QStringLiteral("SELECT ? LIKE ? ESCAPE ?"));
    st.bindVariant(1, text).bind(2, pattern);
    if (!escape.isEmpty())
        st.bind(3, escape);
    QVERIFY(st.step());
    QCOMPARE(st.isNull(0), expected.isNull());
    if (!expected.isNull())
        QCOMPARE(st.int64(0), expected.toLongLong());
}

void TestDatabase::likeEscapeMustBeOneCharacter()
{
    Database db(m_dir.filePath("like-escape.db"), Database::OpenMode::Create);
    QVERIFY_THROWS_EXCEPTION(DbError, db.scalar(QStringLiteral("SELECT 'a' LIKE 'a' ESCAPE 'xy'")));
}

void TestDatabase::svFindIgnoresCaseAndAccents_data()
{
    QTest::addColumn<QVariant>("needle");
    QTest::addColumn<QVariant>("text");
    QTest::addColumn<QVariant>("expected"); // 1, 0 or null
    QTest::newRow("case and accents") << QVariant("FE OLE") << QVariant("Café Olé") << QVariant(1);
    QTest::newRow("Å is no A") << QVariant("asnor") << QVariant("Åsnor") << QVariant(0);
    QTest::newRow("% is plain") << QVariant("0%") << QVariant("100% ull") << QVariant(1);
    QTest::newRow("% is no wildcard") << QVariant("1%u") << QVariant("100 ull") << QVariant(0);
    QTest::newRow("a number as text") << QVariant("25") << QVariant(1250) << QVariant(1);
    QTest::newRow("empty needle") << QVariant("") << QVariant("Åsnor") << QVariant(1);
    QTest::newRow("null text holds nothing") << QVariant("a") << QVariant() << QVariant(0);
    QTest::newRow("null needle") << QVariant() << QVariant("a") << QVariant();
}

void TestDatabase::svFindIgnoresCaseAndAccents()
{
    QFETCH(QVariant, needle);
    QFETCH(QVariant, text);
    QFETCH(QVariant, expected);
    Database db(m_dir.filePath("find.db"), Database::OpenMode::Create);
    Statement st = db.prepare(QStringLiteral("SELECT SV_FIND(?, ?)"));
    st.bindVariant(1, needle).bindVariant(2, text);
    QVERIFY(st.step());
    QCOMPARE(st.isNull(0), expected.isNull());
    if (!expected.isNull())
        QCOMPARE(st.int64(0), expected.toLongLong());
}

void TestDatabase::svFindNumbersTheFirstTextHoldingIt()
{
    Database db(m_dir.filePath("find-many.db"), Database::OpenMode::Create);
    QCOMPARE(db.scalar(QStringLiteral("SELECT SV_FIND('ole', NULL, 'Café', 'OLÉ', 'Olé')")),
             QVariant(3));
    QCOMPARE(db.scalar(QStringLiteral("SELECT SV_FIND('x', 'a', 'b')")), QVariant(0));
    QCOMPARE(db.scalar(QStringLiteral("SELECT SV_FIND('x')")), QVariant(0));
}

void TestDatabase::svFindKeepsItsNeedleAcrossRows()
{
    // The needle is folded once for the statement and kept; every row is still its own.
    Database db(m_dir.filePath("find-rows.db"), Database::OpenMode::Create);
    const QVariant matches = db.scalar(
        QStringLiteral("SELECT group_concat(SV_FIND(?, column1), ',') FROM "
                       "(VALUES ('Crème'), ('CREME'), ('krem'), (NULL), ('crème brûlée'))"),
        QStringLiteral("crEmE"));
    QCOMPARE(matches.toString(), QStringLiteral("1,1,0,0,1"));
}

QTEST_GUILESS_MAIN(TestDatabase)
#include "tst_database.moc"
