#include "core/Progress.h"
#include "db/Database.h"
#include "db/Schema.h"
#include "db/TdsImport.h"
#include "db/TdsLineLoader.h"
#include "db/TdxFile.h"
#include "support/CatalogueFixture.h"
#include "support/ScriptedPrompter.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using CatalogueFixture::line;

namespace {

// Rows of a table as "RAD|BL_NAME|TYP|BENÄMNING|FABRIKAT", nulls as "<null>".
QStringList rows(Database &db, const QString &table)
{
    QStringList out;
    Statement st = db.prepare("SELECT * FROM " + table + " ORDER BY RAD");
    while (st.step()) {
        QStringList cells;
        for (int i = 0; i < st.columnCount(); ++i)
            cells << (st.isNull(i) ? QString("<null>") : st.text(i));
        out << cells.join('|');
    }
    return out;
}

QStringList designations(Database &db)
{
    QStringList out;
    Statement st = db.prepare("SELECT BL_NAME, DESCRIPTION FROM Designations ORDER BY rowid");
    while (st.step())
        out << st.text(0) + "|" + st.text(1);
    return out;
}

class FailingProgress final : public Progress
{
public:
    void start(qint64) override {}
    void update(qint64) override { throw AppError(28, "Disken är full."); }
    void end() override {}
};

} // namespace

class TestTdsImport : public QObject
{
    Q_OBJECT

private slots:
    void linesBecomeRows_data();
    void linesBecomeRows();
    void lineFeedOnlyFilesImportTheSame();
    void piecesCutAnywhereLoadTheSame();
    void missingTdxStopsBeforeCreating();
    void declinedOverwriteKeepsTheOldDatabase();
    void failureHalfWayKeepsTheOldDatabase();
    void utf8FileAsksFirst();
    void binaryFileIsRefused();
    void recordsEndedByCarriageReturnAloneAreRefused_data();
    void recordsEndedByCarriageReturnAloneAreRefused();
    void carriageReturnInsideAFieldIsKept();
    void oversizedTdxIsRefused();
    void siblingsAreFoundWhateverTheCase();
    void leftoversOfAKilledImportAreRemoved();

private:
    QTemporaryDir m_dir;
};

void TestTdsImport::linesBecomeRows_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("articles");
    QTest::addColumn<QStringList>("eqv");
    QTest::addColumn<QStringList>("groups");
    QTest::addColumn<QStringList>("usedCodes");

    QTest::newRow("articles then equivalences")
        << QStringList{line("ABCDI010", "1", "Kontaktor", "Nordel"),
                       line("ABCDI010", "2", "Kontaktor stor", "Ström & Co"),
                       line("ABCDI020", "1", "Säkring"), line("ABCDI061", "", "=ABCDI060"),
                       // Once in the equivalence section, a typed line stays there.
                       line("ABCDI030", "5", "Sen rad")}
        << QStringList{"0|ABCDI010|1|Kontaktor|Nordel", "1|ABCDI010|2|Kontaktor stor|Ström & Co",
                       "2|ABCDI020|1|Säkring|"}
        << QStringList{"3|ABCDI061||=ABCDI060|", "4|ABCDI030|5|Sen rad|"}
        << QStringList{"ABCDI010|Kontaktor", "ABCDI020|Säkring"} << QStringList{"", "01", "02"};

    QTest::newRow("only equivalences")
        << QStringList{line("ABCDI061", "", "=ABCDI060"), line("ABCDI062", "7", "x")}
        << QStringList{} << QStringList{"0|ABCDI061||=ABCDI060|", "1|ABCDI062|7|x|"}
        << QStringList{} << QStringList{""};

    QTest::newRow("blank lines get no row number")
        << QStringList{"", line("ABCDI010", "1", "A"), "      ", "", line("ABCDI010", "2", "B")}
        << QStringList{"0|ABCDI010|1|A|", "1|ABCDI010|2|B|"} << QStringList{}
        << QStringList{"ABCDI010|A"} << QStringList{"", "01"};

    QTest::newRow("short and long lines")
        << QStringList{"ABCDI010 1 Kort", line("ABCDI010", "2", "Lång", "Fabrikat") + "överskott"}
        << QStringList{"0|ABCDI010|1|Kort|", "1|ABCDI010|2|Lång|Fabrikat"} << QStringList{}
        << QStringList{"ABCDI010|Kort"} << QStringList{"", "01"};

    QTest::newRow("values are cut at the field width")
        << QStringList{"ABCDI010123Designation longer than twentyOverflowingMaker"}
        << QStringList{"0|ABCDI010|123|Designation longer t|han twentyOv"} << QStringList{}
        << QStringList{"ABCDI010|Designation longer t"} << QStringList{"", "01"};

    QTest::newRow("one group in two runs is registered once")
        << QStringList{line("ABCDI010", "1", "Först"), line("ABCDI020", "1", "Annan"),
                       line("ABCDI010", "2", "Senare")}
        << QStringList{"0|ABCDI010|1|Först|", "1|ABCDI020|1|Annan|", "2|ABCDI010|2|Senare|"}
        << QStringList{} << QStringList{"ABCDI010|Först", "ABCDI020|Annan"}
        << QStringList{"", "01", "02"};

    QTest::newRow("apostrophes and Swedish letters everywhere")
        << QStringList{line("ÅÄÖ'I0É0", "1", "Åsa's ärm \"x\"", "O'Brien Ölä")}
        << QStringList{"0|ÅÄÖ'I0É0|1|Åsa's ärm \"x\"|O'Brien Ölä"} << QStringList{}
        << QStringList{"ÅÄÖ'I0É0|Åsa's ärm \"x\""} << QStringList{"", "0É"};

    QTest::newRow("short block names give short codes")
        << QStringList{line("ABC", "1", "a"), line("ABCDE", "1", "b"), line("ABCDEF", "1", "c")}
        << QStringList{"0|ABC|1|a|", "1|ABCDE|1|b|", "2|ABCDEF|1|c|"} << QStringList{}
        << QStringList{"ABC|a", "ABCDE|b", "ABCDEF|c"} << QStringList{"", "", "", "F"};

    QTest::newRow("blank block name is not registered")
        << QStringList{line("", "1", "Utan grupp")} << QStringList{"0||1|Utan grupp|"}
        << QStringList{} << QStringList{} << QStringList{""};

    QTest::newRow("inner blanks and tabs are kept")
        << QStringList{line("ABCDI010", "1", "a  b\t")} << QStringList{"0|ABCDI010|1|a  b\t|"}
        << QStringList{} << QStringList{"ABCDI010|a  b\t"} << QStringList{"", "01"};
}

void TestTdsImport::linesBecomeRows()
{
    QFETCH(QStringList, lines);
    QFETCH(QStringList, articles);
    QFETCH(QStringList, eqv);
    QFETCH(QStringList, groups);
    QFETCH(QStringList, usedCodes);

    QTemporaryDir dir;
    const QString tds = CatalogueFixture::write(dir.path(), "cat", lines);
    ScriptedPrompter prompter;
    NullProgress progress;
    TdsImport importer(prompter, progress);
    const ImportResult result = importer.run(tds);
    QVERIFY2(result.ok, qPrintable(prompter.texts().join('\n')));
    QVERIFY(prompter.shown.isEmpty());
    QCOMPARE(result.dbPath, dir.filePath("cat.tdb"));
    QCOMPARE(result.fields.size(), 5);
    QCOMPARE(result.usedCodes, usedCodes);
    QCOMPARE(result.articleRows, articles.size());
    QCOMPARE(result.eqvRows, eqv.size());

    Database db(result.dbPath, Database::OpenMode::ReadOnly);
    QCOMPARE(rows(db, "Articles"), articles);
    QCOMPARE(rows(db, "Eqv"), eqv);
    QCOMPARE(designations(db), groups);
    // Only the finished database is left in the folder.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
             (QStringList{"cat.tdb", "cat.tds", "cat.tdx"}));
}

void TestTdsImport::lineFeedOnlyFilesImportTheSame()
{
    QTemporaryDir dir;
    const QStringList lines{line("ABCDI010", "1", "Rad ett"), line("ABCDI061", "", "=ABCDI060")};
    const QString tds = CatalogueFixture::write(dir.path(), "lf", lines);
    TestFiles::write(tds, TestFiles::cp1252(lines.join('\n'))); // no final line end either
    ScriptedPrompter prompter;
    NullProgress progress;
    const ImportResult result = TdsImport(prompter, progress).run(tds);
    QVERIFY(result.ok);
    Database db(result.dbPath, Database::OpenMode::ReadOnly);
    QCOMPARE(rows(db, "Articles"), QStringList{"0|ABCDI010|1|Rad ett|"});
    QCOMPARE(rows(db, "Eqv"), QStringList{"1|ABCDI061||=ABCDI060|"});
}

// A file is read in bounded pieces; a piece may end inside a line, a CR LF or a field.
void TestTdsImport::piecesCutAnywhereLoadTheSame()
{
    ScriptedPrompter prompter;
    FieldList fields;
    QVERIFY(parseTdx(CatalogueFixture::tdx(), "fixture.tdx", fields, prompter) > 0);
    const QByteArray bytes = TestFiles::cp1252(QStringList{
                                 line("ABCDI010", "1", "Ett", "Nordel"),
                                 line("ABCDI010", "2", "Rad\rbrytning", "Åkerby"), "",
                                 line("ABCDI020", "1", "Två"), line("ABCDI061", "", "=ABCDI060")}
                                                   .join("\r\n")) +
                             "\n" + TestFiles::cp1252(line("ABCDI999", "", "Utan radslut"));
    const auto load = [&](qsizetype pieceSize) {
        Database db(":memory:", Database::OpenMode::Create);
        Schema::createTables(db, fields);
        NullProgress progress;
        ImportResult result;
        TdsLineLoader loader(db, fields, progress, result);
        for (qsizetype at = 0; at < bytes.size(); at += pieceSize)
            loader.feed(QByteArrayView(bytes).sliced(at, qMin(pieceSize, bytes.size() - at)));
        loader.finish();
        return rows(db, "Articles") + rows(db, "Eqv") + designations(db) + result.usedCodes;
    };
    const QStringList whole = load(bytes.size());
    QCOMPARE(whole.size(), 3 + 2 + 2 + 3);
    for (const qsizetype size : {1, 2, 3, 42, 43, 44, 45, 100})
        QCOMPARE(load(size), whole);
}

void TestTdsImport::missingTdxStopsBeforeCreating()
{
    QTemporaryDir dir;
    const QString tds = dir.filePath("alone.tds");
    TestFiles::write(tds, TestFiles::crlf({line("ABCDI010", "1", "x")}));
    ScriptedPrompter prompter;
    NullProgress progress;
    QVERIFY(!TdsImport(prompter, progress).run(tds).ok);
    QCOMPARE(prompter.texts(), (QStringList{"Hittar ej filen " + dir.filePath("alone.tdx"),
                                            "Databasbeskrivningsfilen är felaktig. Avbryter."}));
    QCOMPARE(prompter.shown[1].title, QString("Fel"));
    QVERIFY(!QFile::exists(dir.filePath("alone.tdb")));
}

void TestTdsImport::declinedOverwriteKeepsTheOldDatabase()
{
    QTemporaryDir dir;
    const QString tds = CatalogueFixture::write(dir.path(), "cat", {line("ABCDI010", "1", "x")});
    TestFiles::write(dir.filePath("cat.tdb"), "earlier");
    ScriptedPrompter prompter;
    prompter.answers.enqueue(false);
    NullProgress progress;
    QVERIFY(!TdsImport(prompter, progress).run(tds).ok);
    QCOMPARE(prompter.lastText(), QString("Ingen databas skapades."));
    QCOMPARE(prompter.shown.last().title, QString("Ingen redigering"));
    QCOMPARE(TestFiles::read(dir.filePath("cat.tdb")), QByteArray("earlier"));
}

void TestTdsImport::failureHalfWayKeepsTheOldDatabase()
{
    QTemporaryDir dir;
    QStringList lines;
    for (int i = 0; i < 10000; ++i)
        lines << line("ABCDI010", "1", QString::number(i));
    const QString tds = CatalogueFixture::write(dir.path(), "big", lines);
    TestFiles::write(dir.filePath("big.tdb"), "earlier");
    ScriptedPrompter prompter;
    prompter.answers.enqueue(true);
    FailingProgress progress;
    QVERIFY(!TdsImport(prompter, progress).run(tds).ok);
    QCOMPARE(prompter.lastText(), QString("frmMain:mnuOpenTDS::ERROR:28 - Disken är full."));
    QCOMPARE(TestFiles::read(dir.filePath("big.tdb")), QByteArray("earlier"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
             (QStringList{"big.tdb", "big.tds", "big.tdx"}));
}

void TestTdsImport::utf8FileAsksFirst()
{
    QTemporaryDir dir;
    const QString text = line("ABCDI010", "1", "Säkring");
    const QString tds = CatalogueFixture::write(dir.path(), "utf", {});
    TestFiles::write(tds, text.toUtf8() + "\r\n");
    NullProgress progress;
    {
        ScriptedPrompter prompter; // answers No
        QVERIFY(!TdsImport(prompter, progress).run(tds).ok);
        QCOMPARE(prompter.shown.size(), 1);
        QVERIFY(prompter.shown[0].isQuestion);
        QVERIFY(prompter.lastText().contains("UTF-8"));
        QVERIFY(!QFile::exists(dir.filePath("utf.tdb")));
    }
    ScriptedPrompter prompter;
    prompter.defaultAnswer = true;
    QVERIFY(TdsImport(prompter, progress).run(tds).ok);
}

void TestTdsImport::binaryFileIsRefused()
{
    QTemporaryDir dir;
    const QString tds = CatalogueFixture::write(dir.path(), "bin", {});
    TestFiles::write(tds,
                     TestFiles::crlf({line("ABCDI010", "1", "a"), line("ABCDI010", "2", "b")}) +
                         QByteArray("ABCDI010 3 c\0d\r\n", 17));
    ScriptedPrompter prompter;
    NullProgress progress;
    QVERIFY(!TdsImport(prompter, progress).run(tds).ok);
    QCOMPARE(prompter.shown.size(), 1);
    QVERIFY2(prompter.lastText().contains("rad 3"), qPrintable(prompter.lastText()));
    QVERIFY(!QFile::exists(dir.filePath("bin.tdb")));
}

void TestTdsImport::recordsEndedByCarriageReturnAloneAreRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("lineNumber");
    const QByteArray a = TestFiles::cp1252(line("ABCDI010", "1", "Ett"));
    const QByteArray b = TestFiles::cp1252(line("ABCDI010", "2", "Två"));
    const QByteArray c = TestFiles::cp1252(line("ABCDI020", "3", "Tre"));
    QTest::newRow("every line") << a + "\r" + b + "\r" + c + "\r" << 1;
    QTest::newRow("one stray break") << a + "\r\n" + b + "\r" + c + "\r\n" << 2;
    QTest::newRow("LF CR line ends") << a + "\n\r" + b + "\n\r" + c + "\n\r" << 2;
    QTest::newRow("a lone CR joining two short lines")
        << a + "\r\n" + QByteArray("ABCDI010 4") + "\r" + QByteArray("ABCDI010 5") + "\r\n"
        << 2;
    QTest::newRow("a tiny CR-only file") << QByteArray("A\rB\r") << 1;
}

void TestTdsImport::recordsEndedByCarriageReturnAloneAreRefused()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, lineNumber);
    const QString tds = CatalogueFixture::write(m_dir.path(), "cr", {});
    TestFiles::write(tds, bytes);
    ScriptedPrompter prompter;
    NullProgress progress;
    QVERIFY(!TdsImport(prompter, progress).run(tds).ok);
    QVERIFY2(prompter.lastText().contains(QString("Rad %1 har ett radslut").arg(lineNumber)),
             qPrintable(prompter.lastText()));
    // The record length named is the record's own, without the row number.
    QVERIFY2(prompter.lastText().contains("inte postens 43"), qPrintable(prompter.lastText()));
    QVERIFY(!QFile::exists(m_dir.filePath("cr.tdb")));
}

void TestTdsImport::carriageReturnInsideAFieldIsKept()
{
    const QString value = "Rad\rbrytning";
    const QString tds =
        CatalogueFixture::write(m_dir.path(), "crfield", {line("ABCDI010", "1", value, "Nordel")});
    ScriptedPrompter prompter;
    NullProgress progress;
    const ImportResult result = TdsImport(prompter, progress).run(tds);
    QVERIFY2(result.ok, qPrintable(prompter.texts().join('\n')));
    Database db(result.dbPath, Database::OpenMode::ReadOnly);
    QCOMPARE(db.scalar("SELECT \"BENÄMNING\" FROM Articles").toString(), value);
}

void TestTdsImport::oversizedTdxIsRefused()
{
    const QString tds = CatalogueFixture::write(m_dir.path(), "stor", {line("ABCDI010", "1", "a")});
    QByteArray huge = CatalogueFixture::tdx();
    huge += QByteArray(1 << 20, ' ');
    TestFiles::write(m_dir.filePath("stor.tdx"), huge);
    ScriptedPrompter prompter;
    NullProgress progress;
    QVERIFY(!TdsImport(prompter, progress).run(tds).ok);
    QVERIFY2(prompter.texts().join('\n').contains("för stor för en fältbeskrivning"),
             qPrintable(prompter.texts().join('\n')));
    QVERIFY(!QFile::exists(m_dir.filePath("stor.tdb")));
}

void TestTdsImport::siblingsAreFoundWhateverTheCase()
{
    QTemporaryDir dir;
    TestFiles::write(dir.filePath("DEMO.TDS"), TestFiles::crlf({line("ABCDI010", "1", "Ett")}));
    TestFiles::write(dir.filePath("DEMO.TDX"), CatalogueFixture::tdx());
    TestFiles::write(dir.filePath("DEMO.TDB"), "old");
    ScriptedPrompter prompter;
    prompter.answers.enqueue(true);
    NullProgress progress;
    const ImportResult result = TdsImport(prompter, progress).run(dir.filePath("DEMO.TDS"));
    QVERIFY2(result.ok, qPrintable(prompter.texts().join('\n')));
    // The existing database is the one replaced, under its own spelling.
    QCOMPARE(result.dbPath, dir.filePath("DEMO.TDB"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             (QStringList{"DEMO.TDB", "DEMO.TDS", "DEMO.TDX"}));
    QCOMPARE(result.fields.size(), 5);
}

void TestTdsImport::leftoversOfAKilledImportAreRemoved()
{
    QTemporaryDir dir;
    const QString tds = CatalogueFixture::write(dir.path(), "kvar", {line("ABCDI010", "1", "a")});
    // What an import killed half-way leaves: its temporary database, owned by a process now gone.
    const qint64 goneId = TestFiles::finishedProcessId();
    const QString stale = dir.filePath(".kvar.tdb." + QString::number(goneId) + "-Ab12Cd");
    TestFiles::write(stale, "half a database");
    ScriptedPrompter prompter;
    NullProgress progress;
    const ImportResult result = TdsImport(prompter, progress).run(tds);
    QVERIFY(result.ok);
    QCOMPARE(result.notes, QStringList{"En kvarlämnad temporär fil togs bort: " + stale});
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             (QStringList{"kvar.tdb", "kvar.tds", "kvar.tdx"}));
}

QTEST_GUILESS_MAIN(TestTdsImport)
#include "tst_tdsimport.moc"
