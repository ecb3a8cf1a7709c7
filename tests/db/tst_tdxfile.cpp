#include "core/Cp1252.h"
#include "core/Paths.h"
#include "db/TdxFile.h"

#include "support/ScriptedPrompter.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class TestTdxFile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void reads_data();
    void reads();
    void missingFile();
    void utf8AsksFirst_data();
    void utf8AsksFirst();
    void tdxPathFor_data();
    void tdxPathFor();
    void folderNamedLikeTheExtension();

    void tdxTextWritesCp1252Lines();
    void tdxTextCountsReplacedCharacters();
    void tdxTextReadsBack();

private:
    QTemporaryDir m_dir;
};

namespace {

// A field as "Name|Description|Length|Start", so a whole list compares in one QCOMPARE.
QStringList describe(const FieldList &fields)
{
    QStringList out;
    for (const FieldDesc &f : fields)
        out << QStringLiteral("%1|%2|%3|%4").arg(f.Name, f.Description).arg(f.Length).arg(f.Start);
    return out;
}

// What the caller passed in; a read that fails early must leave it alone.
FieldList oldFields()
{
    return {FieldDesc{QStringLiteral("OLD"), QStringLiteral("old"), 1, 1}};
}

const QString kRad = QStringLiteral("RAD||6|0");
const QString kOld = QStringLiteral("OLD|old|1|1");

} // namespace

void TestTdxFile::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

void TestTdxFile::reads_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("result");
    QTest::addColumn<QStringList>("fields"); // empty: not checked
    QTest::addColumn<QString>("message");    // "%1" stands for the .tdx path; empty: none
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("wholeMessage"); // false: the message only starts like this

    const QString formatError = QStringLiteral("Formatfel i filen %1 på rad ");
    const QString inlasningsfel = QStringLiteral("Inläsningsfel");
    const QString runtimeError = QStringLiteral("frmMain:ReadTdxFile::ERROR:");

    // Without a field, an import would replace a catalogue by row numbers alone.
    const QString noFields = QStringLiteral("%1 innehåller inga fältbeskrivningar.");
    QTest::newRow("empty file") << QByteArray() << -1 << QStringList{kRad} << noFields
                                << inlasningsfel << true;
    QTest::newRow("only blank lines")
        << QByteArray("\r\n\r\n\n") << -1 << QStringList{kRad} << noFields << inlasningsfel << true;
    QTest::newRow("widths 10, 5, 40")
        << QByteArray("ARTNR,Artikelnummer,10\r\nTYP,Typ,5\r\nBEN,Ben\xE4mning,40\r\n") << 4
        << QStringList{kRad, "ARTNR|Artikelnummer|10|1", "TYP|Typ|5|11", "BEN|Benämning|40|16"}
        << QString() << QString() << true;
    QTest::newRow("blanks trimmed, inner blanks kept")
        << QByteArray("  ARTNR  ,  Artikel nummer  ,  10  \r\n") << 2
        << QStringList{kRad, "ARTNR|Artikel nummer|10|1"} << QString() << QString() << true;
    QTest::newRow("tabs kept") << QByteArray("\tARTNR ,Nummer\t , 10\r\n") << 2
                               << QStringList{kRad, "\tARTNR|Nummer\t|10|1"} << QString()
                               << QString() << true;
    QTest::newRow("LF line ends") << QByteArray("A,a,1\nB,b,2\n") << 3
                                  << QStringList{kRad, "A|a|1|1", "B|b|2|2"} << QString()
                                  << QString() << true;
    QTest::newRow("no final line end")
        << QByteArray("A,a,1\r\nB,b,2") << 3 << QStringList{kRad, "A|a|1|1", "B|b|2|2"} << QString()
        << QString() << true;
    QTest::newRow("empty lines skipped")
        << QByteArray("\r\nA,a,1\r\n\r\n\nB,b,2\r\n\r\n") << 3
        << QStringList{kRad, "A|a|1|1", "B|b|2|2"} << QString() << QString() << true;
    QTest::newRow("colon becomes underscore")
        << QByteArray("ART:NR,Pris: kr,8\r\n") << 2 << QStringList{kRad, "ART_NR|Pris_ kr|8|1"}
        << QString() << QString() << true;
    QTest::newRow("Swedish letters")
        << QByteArray("BEN\xC4MNING,F\xF6rpackning \xE5t \xD6sterg\xE5rd,40\r\n") << 2
        << QStringList{kRad, "BENÄMNING|Förpackning åt Östergård|40|1"} << QString() << QString()
        << true;
    QTest::newRow("width 0 and 32767") << QByteArray("A,a,0\r\nB,b,32767\r\nC,c,1\r\n") << 4
                                       << QStringList{kRad, "A|a|0|1", "B|b|32767|1", "C|c|1|32768"}
                                       << QString() << QString() << true;

    QTest::newRow("first line has two items")
        << QByteArray("A,a\r\nB,b,2\r\n") << -1 << QStringList{kRad} << formatError + "2"
        << inlasningsfel << true;
    QTest::newRow("third line has four items, earlier entries kept")
        << QByteArray("A,a,1\r\nB,b,2\r\nC,c,d,3\r\n") << -1
        << QStringList{kRad, "A|a|1|1", "B|b|2|2"} << formatError + "4" << inlasningsfel << true;
    QTest::newRow("empty lines not counted in the line number")
        << QByteArray("\r\nA,a,1\r\n\r\n\r\nB;b;2\r\n") << -1 << QStringList{kRad, "A|a|1|1"}
        << formatError + "3" << inlasningsfel << true;
    QTest::newRow("comma in the description")
        << QByteArray("PRIS,Pris, exkl. moms,8\r\n") << -1 << QStringList{kRad} << formatError + "2"
        << inlasningsfel << true;
    QTest::newRow("line of only spaces")
        << QByteArray("A,a,1\r\n   \r\nB,b,2\r\n") << -1 << QStringList{kRad, "A|a|1|1"}
        << formatError + "3" << inlasningsfel << true;

    QTest::newRow("width not a number") << QByteArray("A,a,1\r\nB,b,tio\r\n") << 0 << QStringList()
                                        << runtimeError << QString() << false;
    QTest::newRow("width above 16 bits")
        << QByteArray("A,a,32768\r\n") << 0 << QStringList() << runtimeError << QString() << false;
    QTest::newRow("width far above") << QByteArray("A,a,99999999999\r\n") << 0 << QStringList()
                                     << runtimeError << QString() << false;
    QTest::newRow("negative width")
        << QByteArray("A,a,-1\r\n") << 0 << QStringList() << runtimeError << QString() << false;

    QTest::newRow("NUL byte") << QByteArray("A,a,1\r\nB\0,b,2\r\n", 15) << -1 << QStringList{kOld}
                              << QStringLiteral("Filen %1 ") << inlasningsfel << false;
}

void TestTdxFile::reads()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, result);
    QFETCH(QStringList, fields);
    QFETCH(QString, message);
    QFETCH(QString, title);
    QFETCH(bool, wholeMessage);

    const QString tdsPath = m_dir.filePath(QStringLiteral("Art.tds"));
    const QString tdxPath = m_dir.filePath(QStringLiteral("Art.tdx"));
    TestFiles::write(tdxPath, bytes);

    ScriptedPrompter prompter;
    FieldList list = oldFields();
    QCOMPARE(ReadTdxFile(tdsPath, list, prompter), result);
    if (!fields.isEmpty())
        QCOMPARE(describe(list), fields);

    if (message.isEmpty()) {
        QCOMPARE(prompter.texts(), QStringList());
        return;
    }
    QCOMPARE(prompter.shown.size(), 1);
    const ScriptedPrompter::Shown &shown = prompter.shown.first();
    QVERIFY(!shown.isQuestion);
    QCOMPARE(shown.title, title);
    const QString expected = message.contains(QLatin1String("%1")) ? message.arg(tdxPath) : message;
    if (wholeMessage)
        QCOMPARE(shown.text, expected);
    else
        QVERIFY2(shown.text.startsWith(expected), qPrintable(shown.text));
    if (title.isEmpty())
        QCOMPARE(shown.icon, MessageIcon::None);
    else
        QCOMPARE(shown.icon, MessageIcon::Warning);
}

void TestTdxFile::missingFile()
{
    const QString tdsPath = m_dir.filePath(QStringLiteral("Saknas.tds"));
    ScriptedPrompter prompter;
    FieldList list = oldFields();

    QCOMPARE(ReadTdxFile(tdsPath, list, prompter), -1);
    QCOMPARE(describe(list), QStringList{kOld});
    QCOMPARE(prompter.shown.size(), 1);
    QCOMPARE(prompter.shown.first().text,
             QStringLiteral("Hittar ej filen ") + m_dir.filePath(QStringLiteral("Saknas.tdx")));
    QCOMPARE(prompter.shown.first().title, QStringLiteral("Filfel"));
    QCOMPARE(prompter.shown.first().icon, MessageIcon::Warning);
}

void TestTdxFile::utf8AsksFirst_data()
{
    QTest::addColumn<bool>("answer");
    QTest::addColumn<int>("result");
    QTest::addColumn<QStringList>("fields");

    // Yes reads the bytes as Windows-1252, as the question warns.
    const QString garbled = Cp1252::decode(QStringLiteral("BENÄMNING").toUtf8());
    QTest::newRow("No") << false << -1 << QStringList{kOld};
    QTest::newRow("Yes") << true << 2 << QStringList{kRad, garbled + "|Namn|40|1"};
}

void TestTdxFile::utf8AsksFirst()
{
    QFETCH(bool, answer);
    QFETCH(int, result);
    QFETCH(QStringList, fields);

    const QString tdsPath = m_dir.filePath(QStringLiteral("Utf8.tds"));
    const QString tdxPath = m_dir.filePath(QStringLiteral("Utf8.tdx"));
    TestFiles::write(tdxPath, QStringLiteral("BENÄMNING,Namn,40\r\n").toUtf8());

    ScriptedPrompter prompter;
    prompter.answers.enqueue(answer);
    FieldList list = oldFields();
    QCOMPARE(ReadTdxFile(tdsPath, list, prompter), result);
    QCOMPARE(describe(list), fields);

    // One question naming the file, and nothing else either way.
    QCOMPARE(prompter.shown.size(), 1);
    QVERIFY(prompter.shown.first().isQuestion);
    QVERIFY(prompter.shown.first().text.contains(tdxPath));
}

void TestTdxFile::tdxPathFor_data()
{
    QTest::addColumn<QString>("tdsPath");
    QTest::addColumn<QString>("tdxPath");
    QTest::newRow("plain") << "/data/art.tds"
                           << "/data/art.tdx";
    QTest::newRow("extension in capitals") << "/data/Art.TDS"
                                           << "/data/Art.tdx";
    QTest::newRow("folder named like the extension") << "/a/x.tds/art.tds"
                                                     << "/a/x.tds/art.tdx";
    QTest::newRow("same, capital extension") << "/a/x.tds/art.TDS"
                                             << "/a/x.tds/art.tdx";
    QTest::newRow("extension in the middle of the name") << "/a/b.tds.bak.tds"
                                                         << "/a/b.tds.bak.tdx";
}

void TestTdxFile::tdxPathFor()
{
    QFETCH(QString, tdsPath);
    QFETCH(QString, tdxPath);
    QCOMPARE(Paths::tdxPathFor(tdsPath), tdxPath);
}

void TestTdxFile::folderNamedLikeTheExtension()
{
    const QString folder = m_dir.filePath(QStringLiteral("x.tds"));
    QVERIFY(QDir().mkpath(folder));
    TestFiles::write(folder + QStringLiteral("/art.tdx"), "ARTNR,Nummer,10\r\n");

    ScriptedPrompter prompter;
    FieldList list;
    QCOMPARE(ReadTdxFile(folder + QStringLiteral("/art.tds"), list, prompter), 2);
    QCOMPARE(prompter.texts(), QStringList());
}

void TestTdxFile::tdxTextWritesCp1252Lines()
{
    const FieldList fields = {
        FieldDesc{QStringLiteral("RAD"), QString(), 6, 0},
        FieldDesc{QStringLiteral("ARTNR"), QStringLiteral("Artikelnummer"), 10, 1},
        FieldDesc{QStringLiteral("BENÄMNING"), QStringLiteral("Benämning, kort"), 40, 11},
        FieldDesc{QStringLiteral("TOM"), QString(), 0, 51},
    };
    qsizetype replaced = 0;
    QCOMPARE(tdxText(fields, &replaced), QByteArray("ARTNR,Artikelnummer,10\r\n"
                                                    "BEN\xC4MNING,Ben\xE4mning, kort,40\r\n"
                                                    "TOM,,0\r\n"));
    QCOMPARE(replaced, 0);
    QCOMPARE(tdxText(FieldList{fields.first()}), QByteArray());
}

void TestTdxFile::tdxTextCountsReplacedCharacters()
{
    const FieldList fields = {
        FieldDesc{QStringLiteral("RAD"), QString(), 6, 0},
        FieldDesc{QStringLiteral("A"), QStringLiteral("Snö☃"), 4, 1},
        FieldDesc{QStringLiteral("B"), QString::fromUtf8("Glad \xF0\x9F\x98\x80"), 6, 5},
    };
    qsizetype replaced = 0;
    QCOMPARE(tdxText(fields, &replaced), QByteArray("A,Sn\xF6?,4\r\nB,Glad ?,6\r\n"));
    QCOMPARE(replaced, 2);
}

void TestTdxFile::tdxTextReadsBack()
{
    const FieldList fields = {
        FieldDesc{QStringLiteral("RAD"), QString(), 6, 0},
        FieldDesc{QStringLiteral("ARTNR"), QStringLiteral("Artikelnummer"), 10, 1},
        FieldDesc{QStringLiteral("BENÄMNING"), QStringLiteral("Benämning"), 40, 11},
        FieldDesc{QStringLiteral("PRIS"), QStringLiteral("Pris i €"), 8, 51},
    };
    ScriptedPrompter prompter;
    FieldList back;
    QCOMPARE(parseTdx(tdxText(fields), QStringLiteral("art.tdx"), back, prompter), 4);
    QCOMPARE(describe(back), describe(fields));
    QCOMPARE(prompter.texts(), QStringList());
}

QTEST_GUILESS_MAIN(TestTdxFile)
#include "tst_tdxfile.moc"
