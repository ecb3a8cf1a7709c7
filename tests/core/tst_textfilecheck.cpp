#include "core/TextFileCheck.h"

#include <QTest>

class TestTextFileCheck : public QObject
{
    Q_OBJECT

private slots:
    void classifies_data();
    void classifies();
};

void TestTextFileCheck::classifies_data()
{
    using Kind = TextFileCheck::Kind;
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<int>("nulLine");

    QTest::newRow("empty") << QByteArray() << Kind::Text << 0;
    QTest::newRow("plain ASCII") << QByteArray("ARTNR,Artikelnummer,10\r\nPRIS,Pris,8\r\n")
                                 << Kind::Text << 0;
    // "ÄM" is C4 4D: a lead byte without its continuation.
    QTest::newRow("Windows-1252 Swedish")
        << QByteArray("BEN\xC4MNING,Ben\xE4mning,40\r\nF\xD6RP,F\xF6rpackning \xE5t,5\r\n")
        << Kind::Text << 0;
    QTest::newRow("Windows-1252 euro and quotes")
        << QByteArray("PRIS,Pris i \x80 \x93netto\x94,8\r\n") << Kind::Text << 0;
    QTest::newRow("UTF-8 Swedish")
        << QStringLiteral("BENÄMNING,Benämning,40\r\nFÖRP,åt,5\r\n").toUtf8() << Kind::Utf8 << 0;
    QTest::newRow("UTF-8 with BOM, otherwise ASCII") << QByteArray("\xEF\xBB\xBF"
                                                                   "ARTNR,Artikelnummer,10\r\n")
                                                     << Kind::Utf8 << 0;
    QTest::newRow("NUL in line 3")
        << QByteArray("A,a,1\r\nB,b,2\r\nC,c\0,3\r\nD,d,4\r\n", 29) << Kind::Binary << 3;
    QTest::newRow("NUL first byte") << QByteArray("\0A,a,1\r\n", 8) << Kind::Binary << 1;
    QTest::newRow("NUL wins over UTF-8")
        << QStringLiteral("Å\n\n").toUtf8() + QByteArray(1, '\0') << Kind::Binary << 3;
    // Valid UTF-8 letters next to a lone Windows-1252 "å": not UTF-8 after all.
    QTest::newRow("invalid UTF-8 mixed with high bytes")
        << QStringLiteral("BENÄMNING,").toUtf8() + QByteArray("F\xE5r,5\r\n") << Kind::Text << 0;
    QTest::newRow("sequence cut at the end")
        << QByteArray("PRIS,Pris,8\r\nX\xC3") << Kind::Text << 0;
}

void TestTextFileCheck::classifies()
{
    QFETCH(QByteArray, data);
    QFETCH(TextFileCheck::Kind, kind);
    QFETCH(int, nulLine);

    const TextFileCheck check = TextFileCheck::of(data);
    QCOMPARE(check.kind, kind);
    QCOMPARE(check.nulLine, nulLine);

    // A file read in pieces gets the same answer wherever the pieces are cut, also inside a
    // UTF-8 sequence or a line break.
    for (qsizetype size = 1; size <= 4; ++size) {
        TextFileCheck::Scanner scanner;
        for (qsizetype at = 0; at < data.size(); at += size)
            scanner.feed(QByteArrayView(data).sliced(at, qMin(size, data.size() - at)));
        QCOMPARE(scanner.result().kind, kind);
        QCOMPARE(scanner.result().nulLine, nulLine);
    }
}

QTEST_GUILESS_MAIN(TestTextFileCheck)
#include "tst_textfilecheck.moc"
