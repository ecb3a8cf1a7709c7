#include "db/RowCounts.h"

#include "support/ScriptedPrompter.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <QTest>

class TestRowCounts : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void rowsInFile_data();
    void rowsInFile();
    void missingFile();

private:
    QTemporaryDir m_dir;
};

void TestRowCounts::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

void TestRowCounts::rowsInFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint64>("rows");

    QTest::newRow("empty file") << QByteArray() << qint64(0);
    QTest::newRow("three lines, no final line end") << QByteArray("a\r\nb\r\nc") << qint64(3);
    QTest::newRow("three lines, final CR LF") << QByteArray("a\r\nb\r\nc\r\n") << qint64(3);
    QTest::newRow("LF line ends") << QByteArray("a\nb\nc\n") << qint64(3);
    QTest::newRow("one line, no line end") << QByteArray("ARTNR") << qint64(1);
    QTest::newRow("empty lines count") << QByteArray("a\r\n\r\n\r\nb\r\n") << qint64(4);
    QTest::newRow("only a line end") << QByteArray("\r\n") << qint64(1);
}

void TestRowCounts::rowsInFile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(qint64, rows);

    const QString path = m_dir.filePath(QStringLiteral("rader.tds"));
    TestFiles::write(path, bytes);
    ScriptedPrompter prompter;
    QCOMPARE(RowsInFile(path, prompter), rows);
    QCOMPARE(prompter.texts(), QStringList());
}

void TestRowCounts::missingFile()
{
    const QString path = m_dir.filePath(QStringLiteral("saknas.tds"));
    ScriptedPrompter prompter;
    QCOMPARE(RowsInFile(path, prompter), qint64(0));
    QCOMPARE(prompter.shown.size(), 1);
    QCOMPARE(prompter.shown.first().text, QStringLiteral("Kunde ej hitta filen ") + path);
    QCOMPARE(prompter.shown.first().title, QStringLiteral("Fel i filåtkomst"));
    QVERIFY(!prompter.shown.first().isQuestion);
}

QTEST_GUILESS_MAIN(TestRowCounts)
#include "tst_rowcounts.moc"
