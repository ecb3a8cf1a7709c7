#include "edit/FieldLength.h"

#include "core/AppError.h"
#include "core/Progress.h"
#include "db/Database.h"
#include "db/Schema.h"
#include "db/TdsImport.h"
#include "support/CatalogueFixture.h"
#include "support/ScriptedPrompter.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <QTest>

// These tests force a failure half-way through a write with a trigger; the program itself
// never lets a database's triggers run.
static const bool triggersAllowed = (Database::allowTriggersForTesting(true), true);

using CatalogueFixture::line;

namespace {

const QStringList kTables{QStringLiteral("Articles"), QStringLiteral("Eqv")};

// Articles: three rows, one designation of the full 20 characters with Å Ä Ö at the cut points;
// Eqv: two equivalence rows (blank TYP) that are alike in their first five characters.
QStringList catalogueLines()
{
    return {line("ABCDI010", "1", "Överspänningsskydd 2", "Åkerby"),
            line("ABCDI010", "2", "Kabel", "O'Brien"), line("ABCDI010", "3", "", ""),
            line("ABCDI999", "", "=ABCDI010"), line("ABCDI998", "", "=ABCDI020")};
}

QString valueText(const Statement &st, int column)
{
    return st.isNull(column) ? QStringLiteral("<null>") : st.value(column).toString();
}

// Every row of the table with its row id, in row-id order.
QList<QStringList> rows(Database &db, const QString &table)
{
    QList<QStringList> result;
    Statement st = db.prepare(
        QStringLiteral("SELECT rowid, * FROM %1 ORDER BY rowid").arg(quoteIdentifier(table)));
    while (st.step()) {
        QStringList row;
        for (int c = 0; c < st.columnCount(); ++c)
            row << valueText(st, c);
        result << row;
    }
    return result;
}

QStringList query(Database &db, const QString &sql)
{
    QStringList result;
    Statement st = db.prepare(sql);
    while (st.step()) {
        QStringList row;
        for (int c = 0; c < st.columnCount(); ++c)
            row << valueText(st, c);
        result << row.join(QLatin1Char('|'));
    }
    return result;
}

// Name, columns and uniqueness of every index of the table, in catalogue order.
QStringList indexShapes(Database &db, const QString &table)
{
    QStringList shapes;
    for (const QString &index : db.indexes(table)) {
        shapes << index + QLatin1Char(':') +
                      query(db, QStringLiteral("SELECT name FROM pragma_index_info('%1')")
                                    .arg(QString(index).replace('\'', "''")))
                          .join(QLatin1Char(',')) +
                      QLatin1Char(':') +
                      db.scalar(QStringLiteral("SELECT \"unique\" FROM pragma_index_list(?) "
                                               "WHERE name = ?"),
                                table, index)
                          .toString();
    }
    return shapes;
}

// Name, declared type and description of every column, in table order.
QStringList columnShapes(Database &db, const QString &table)
{
    QStringList shapes;
    for (const ColumnInfo &column : db.columns(table))
        shapes << column.name + QLatin1Char('|') + column.declaredType + QLatin1Char('|') +
                      column.description;
    return shapes;
}

// Everything the database holds: the schema as written, every row, every description.
QStringList snapshot(Database &db)
{
    QStringList all =
        query(db, QStringLiteral("SELECT type, name, tbl_name, sql FROM sqlite_master "
                                 "ORDER BY type, name"));
    for (const QString &table : kTables) {
        for (const QStringList &row : rows(db, table))
            all << table + QLatin1Char(':') + row.join(QLatin1Char('|'));
    }
    all << query(
        db,
        QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(QLatin1String(kDescriptionTable)));
    return all;
}

int columnIndex(Database &db, const QString &table, const QString &column)
{
    const std::vector<ColumnInfo> columns = db.columns(table);
    for (size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].name.compare(column, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

} // namespace

Q_DECLARE_METATYPE(FieldLength::Outcome)

class TestFieldLength : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void rebuildKeepsEverythingButTheLength_data();
    void rebuildKeepsEverythingButTheLength();
    void unusualNamesAreQuoted_data();
    void unusualNamesAreQuoted();
    void viewsAndTriggersSurvive();
    void failureLeavesBothTablesAsBefore_data();
    void failureLeavesBothTablesAsBefore();

    void applyAsksOnlyBeforeShortening_data();
    void applyAsksOnlyBeforeShortening();
    void applyReportsAFailureAndChangesNothing();

    void lengthBoxInput_data();
    void lengthBoxInput();

private:
    QTemporaryDir m_settings;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Database> m_db;
};

void TestFieldLength::initTestCase()
{
    TestFiles::isolateSettings(m_settings.path());
}

void TestFieldLength::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    ScriptedPrompter prompter;
    NullProgress progress;
    const ImportResult result =
        TdsImport(prompter, progress)
            .run(CatalogueFixture::write(m_dir->path(), QStringLiteral("art"), catalogueLines()));
    if (!result.ok)
        qFatal("import failed: %s", qPrintable(prompter.texts().join('\n')));
    m_db = std::make_unique<Database>(result.dbPath, Database::OpenMode::ReadWrite);
    // As after a save, which writes rows back: the second row now sits behind a gap.
    m_db->exec(QStringLiteral("INSERT INTO Articles SELECT * FROM Articles WHERE rowid = 2; "
                              "DELETE FROM Articles WHERE rowid = 2"));
}

void TestFieldLength::cleanup()
{
    m_db.reset();
    m_dir.reset();
}

void TestFieldLength::rebuildKeepsEverythingButTheLength_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<int>("newSize");
    QTest::addColumn<bool>("cut");

    QTest::newRow("lengthened") << "BENÄMNING" << 40 << false;
    QTest::newRow("same length") << "BENÄMNING" << 20 << false;
    QTest::newRow("shortened, values cut") << "BENÄMNING" << 10 << true;
    QTest::newRow("shortened, name in other case") << "benämning" << 5 << true;
    QTest::newRow("shortened, last column") << "FABRIKAT" << 5 << true;
    QTest::newRow("shortened without cutting") << "FABRIKAT" << 5 << false;
}

void TestFieldLength::rebuildKeepsEverythingButTheLength()
{
    QFETCH(QString, column);
    QFETCH(int, newSize);
    QFETCH(bool, cut);

    QHash<QString, QStringList> columnsBefore, indexesBefore;
    QHash<QString, QList<QStringList>> rowsBefore;
    for (const QString &table : kTables) {
        columnsBefore[table] = columnShapes(*m_db, table);
        indexesBefore[table] = indexShapes(*m_db, table);
        rowsBefore[table] = rows(*m_db, table);
    }
    const QList<QStringList> designations = rows(*m_db, QStringLiteral("Designations"));

    FieldLength::changeColumnSize(*m_db, column, newSize, cut);

    for (const QString &table : kTables) {
        const int changed = columnIndex(*m_db, table, column);
        QVERIFY(changed > 0);

        QStringList expectedColumns = columnsBefore[table];
        QStringList parts = expectedColumns[changed].split('|');
        parts[1] = QStringLiteral("VARCHAR(%1)").arg(newSize);
        expectedColumns[changed] = parts.join('|');
        QCOMPARE(columnShapes(*m_db, table), expectedColumns);

        QCOMPARE(indexShapes(*m_db, table), indexesBefore[table]);
        QCOMPARE(indexesBefore[table].size(), columnsBefore[table].size());

        // Row ids come first in rows(), so the value sits one further on.
        QList<QStringList> expectedRows = rowsBefore[table];
        if (cut) {
            for (QStringList &row : expectedRows)
                row[changed + 1] = row[changed + 1].left(newSize);
        }
        QCOMPARE(rows(*m_db, table), expectedRows);
    }
    QCOMPARE(rows(*m_db, QStringLiteral("Designations")), designations);
    // The fixture really holds something to cut.
    if (cut)
        QVERIFY(rows(*m_db, QStringLiteral("Articles")) != rowsBefore[QStringLiteral("Articles")]);
}

void TestFieldLength::unusualNamesAreQuoted_data()
{
    QTest::addColumn<QString>("column");
    QTest::newRow("slash") << "TBH/APP";
    QTest::newRow("double quote") << "Mått \"tum\"";
    QTest::newRow("apostrophe") << "O'Namn";
    QTest::newRow("bracket and semicolon") << "a]; DROP TABLE Eqv; --";
}

void TestFieldLength::unusualNamesAreQuoted()
{
    QFETCH(QString, column);

    QTemporaryDir dir;
    Database db(dir.filePath(QStringLiteral("odd.tdb")), Database::OpenMode::Create);
    const FieldList fields{{QStringLiteral("RAD"), {}, 6, 0},
                           {QStringLiteral("BL_NAME"), QStringLiteral("Blocknamn"), 8, 1},
                           {column, QStringLiteral("Udda"), 12, 9}};
    Schema::createTables(db, fields);
    Schema::createIndexes(db, fields);
    for (const QString &table : kTables) {
        db.prepare(QStringLiteral("INSERT INTO %1 VALUES (1, 'ABCDI010', ?)").arg(table))
            .bind(1, QStringLiteral("Åtta tecken+"))
            .run();
    }

    FieldLength::changeColumnSize(db, column, 6, true);

    for (const QString &table : kTables) {
        QCOMPARE(db.columns(table).at(2).name, column);
        QCOMPARE(db.columns(table).at(2).size, 6);
        QCOMPARE(db.scalar(QStringLiteral("SELECT %1 FROM %2").arg(quoteIdentifier(column), table))
                     .toString(),
                 QStringLiteral("Åtta t"));
        QVERIFY(db.indexes(table).contains(table + '_' + column));
    }
    QCOMPARE(db.columnDescription(QStringLiteral("Articles"), column), QStringLiteral("Udda"));
}

void TestFieldLength::viewsAndTriggersSurvive()
{
    m_db->exec(QStringLiteral("CREATE VIEW Equivalents AS SELECT BL_NAME, BENÄMNING FROM Eqv"));
    m_db->exec(QStringLiteral("CREATE TABLE Log (what TEXT)"));
    m_db->exec(QStringLiteral("CREATE TRIGGER Logged AFTER INSERT ON Articles "
                              "BEGIN INSERT INTO Log VALUES (new.BL_NAME); END"));
    const QStringList view = query(*m_db, QStringLiteral("SELECT * FROM Equivalents"));

    FieldLength::changeColumnSize(*m_db, QStringLiteral("BENÄMNING"), 30, false);

    QCOMPARE(query(*m_db, QStringLiteral("SELECT * FROM Equivalents")), view);
    m_db->exec(QStringLiteral("INSERT INTO Articles (BL_NAME) VALUES ('ABCDI020')"));
    QCOMPARE(query(*m_db, QStringLiteral("SELECT what FROM Log")), QStringList{"ABCDI020"});
}

void TestFieldLength::failureLeavesBothTablesAsBefore_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("column");
    QTest::addColumn<int>("newSize");
    QTest::addColumn<bool>("cut");

    // Articles is already rebuilt when Eqv fails.
    QTest::newRow("Eqv refuses the cut")
        << "CREATE TRIGGER Refuse BEFORE UPDATE ON Eqv BEGIN SELECT RAISE(ABORT, 'Eqv är låst'); "
           "END"
        << "BENÄMNING" << 5 << true;
    QTest::newRow("cut values collide in a unique index of Eqv")
        << "CREATE UNIQUE INDEX Eqv_unik ON Eqv (BENÄMNING)"
        << "BENÄMNING" << 5 << true;
    QTest::newRow("column missing from Eqv")
        << "DROP INDEX Eqv_FABRIKAT; ALTER TABLE Eqv DROP COLUMN FABRIKAT"
        << "FABRIKAT" << 30 << false;
    QTest::newRow("unknown column") << ""
                                    << "FINNS_EJ" << 30 << false;
    QTest::newRow("row number is no text") << ""
                                           << "RAD" << 30 << false;
}

void TestFieldLength::failureLeavesBothTablesAsBefore()
{
    QFETCH(QString, setup);
    QFETCH(QString, column);
    QFETCH(int, newSize);
    QFETCH(bool, cut);

    if (!setup.isEmpty())
        m_db->exec(setup);
    const QStringList before = snapshot(*m_db);

    QVERIFY_THROWS_EXCEPTION(AppError, FieldLength::changeColumnSize(*m_db, column, newSize, cut));

    QCOMPARE(snapshot(*m_db), before);
    // The connection is usable afterwards: no transaction left open.
    FieldLength::changeColumnSize(*m_db, QStringLiteral("TYP"), 6, false);
}

void TestFieldLength::applyAsksOnlyBeforeShortening_data()
{
    QTest::addColumn<QString>("length");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<FieldLength::Outcome>("outcome");
    QTest::addColumn<int>("sizeAfter");
    QTest::addColumn<QString>("firstValueAfter");

    const QString full = QStringLiteral("Överspänningsskydd 2");
    QTest::newRow("longer") << "40" << false << false << FieldLength::Outcome::Changed << 40
                            << full;
    QTest::newRow("same") << "20" << false << false << FieldLength::Outcome::Changed << 20 << full;
    QTest::newRow("shorter, Yes") << "10" << true << true << FieldLength::Outcome::Changed << 10
                                  << "Överspänni";
    QTest::newRow("shorter, No") << "10" << false << true << FieldLength::Outcome::Refused << 20
                                 << full;
}

void TestFieldLength::applyAsksOnlyBeforeShortening()
{
    QFETCH(QString, length);
    QFETCH(bool, answer);
    QFETCH(bool, asked);
    QFETCH(FieldLength::Outcome, outcome);
    QFETCH(int, sizeAfter);
    QFETCH(QString, firstValueAfter);

    const QStringList before = snapshot(*m_db);
    ScriptedPrompter prompter;
    prompter.answers << answer;

    QCOMPARE(FieldLength::apply(*m_db, prompter, QStringLiteral("BENÄMNING"), QStringLiteral("20"),
                                length),
             outcome);

    if (asked) {
        QCOMPARE(prompter.shown.size(), 1);
        QVERIFY(prompter.shown[0].isQuestion);
        QCOMPARE(prompter.shown[0].icon, MessageIcon::Error);
        QCOMPARE(prompter.shown[0].text,
                 QStringLiteral("Data kan förloras! Är du säker, att du vill minska fältlängd?\n"
                                "Bekräfta minskning av fältlängd."));
    } else {
        QCOMPARE(prompter.texts(), QStringList());
    }
    for (const QString &table : kTables) {
        QCOMPARE(m_db->columns(table).at(3).size, sizeAfter);
    }
    QCOMPARE(
        m_db->scalar(QStringLiteral("SELECT BENÄMNING FROM Articles WHERE rowid = 1")).toString(),
        firstValueAfter);
    if (outcome == FieldLength::Outcome::Refused)
        QCOMPARE(snapshot(*m_db), before);
}

void TestFieldLength::applyReportsAFailureAndChangesNothing()
{
    m_db->exec(QStringLiteral("CREATE TRIGGER Refuse BEFORE UPDATE ON Eqv BEGIN SELECT "
                              "RAISE(ABORT, 'Eqv är låst'); END"));
    const QStringList before = snapshot(*m_db);
    ScriptedPrompter prompter;
    prompter.answers << true;

    QCOMPARE(FieldLength::apply(*m_db, prompter, QStringLiteral("BENÄMNING"), QStringLiteral("20"),
                                QStringLiteral("5")),
             FieldLength::Outcome::Failed);

    QCOMPARE(prompter.shown.size(), 2);
    QCOMPARE(prompter.shown[1].text, QStringLiteral("19: Eqv är låst"));
    QCOMPARE(prompter.shown[1].title, QString());
    QCOMPARE(snapshot(*m_db), before);
}

void TestFieldLength::lengthBoxInput_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("acceptable");

    QTest::newRow("empty") << "" << 0 << true;
    QTest::newRow("longest") << "255" << 255 << true;
    QTest::newRow("above the longest") << "256" << 256 << false;
    QTest::newRow("leading zeros") << "0040" << 40 << true;
    QTest::newRow("letter") << "4a" << -1 << false;
    QTest::newRow("sign") << "-5" << -1 << false;
    QTest::newRow("other script's digit") << "٥" << -1 << false;
    QTest::newRow("too long for a number") << "99999999999999999999" << -1 << false;
}

void TestFieldLength::lengthBoxInput()
{
    QFETCH(QString, text);
    QFETCH(int, value);
    QFETCH(bool, acceptable);

    QCOMPARE(FieldLength::lengthValue(text), value);
    QCOMPARE(FieldLength::acceptableInput(text), acceptable);
}

QTEST_GUILESS_MAIN(TestFieldLength)
#include "tst_fieldlength.moc"
