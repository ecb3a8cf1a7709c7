#include "core/Cp1252.h"

#include <QTest>

class TestCp1252 : public QObject
{
    Q_OBJECT

private slots:
    void everyByteRoundTrips();
    void undefinedBytesStayDistinct_data();
    void undefinedBytesStayDistinct();
    void swedishLettersAndEuro_data();
    void swedishLettersAndEuro();
    void unencodableBecomesQuestionMark_data();
    void unencodableBecomesQuestionMark();
    void appendFromUtf8CutsAtCharacters_data();
    void appendFromUtf8CutsAtCharacters();
    void appendAsUtf8MatchesDecode();
    void brokenUtf8BecomesQuestionMarks_data();
    void brokenUtf8BecomesQuestionMarks();
};

namespace {

QByteArray allBytes()
{
    QByteArray bytes(256, Qt::Uninitialized);
    for (int b = 0; b < 256; ++b)
        bytes[b] = char(b);
    return bytes;
}

} // namespace

void TestCp1252::everyByteRoundTrips()
{
    const QByteArray bytes = allBytes();
    const QString text = Cp1252::decode(bytes);
    QCOMPARE(text.size(), 256);
    QVERIFY(Cp1252::canEncode(text));

    qsizetype replaced = 0;
    QCOMPARE(Cp1252::encode(text, &replaced), bytes);
    QCOMPARE(replaced, 0);

    // The byte-level path of the export must agree with the QString one.
    const QByteArray utf8 = text.toUtf8();
    QByteArray back;
    QCOMPARE(Cp1252::appendFromUtf8(utf8.constData(), utf8.size(), 1000, back, &replaced), 256);
    QCOMPARE(back, bytes);
    QCOMPARE(replaced, 0);
}

void TestCp1252::undefinedBytesStayDistinct_data()
{
    QTest::addColumn<int>("byte");
    for (int b : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
        QTest::addRow("0x%X", b) << b;
}

// The five bytes Windows-1252 leaves undefined must neither vanish nor collapse into U+FFFD.
void TestCp1252::undefinedBytesStayDistinct()
{
    QFETCH(int, byte);
    const QByteArray one(1, char(byte));
    const QString text = Cp1252::decode(one);
    QCOMPARE(text.size(), 1);
    QVERIFY(text.at(0) != QChar::ReplacementCharacter);
    QCOMPARE(Cp1252::encode(text), one);

    // Between other text, too.
    const QByteArray framed = QByteArray("a") + one + "b";
    QCOMPARE(Cp1252::encode(Cp1252::decode(framed)), framed);
}

void TestCp1252::swedishLettersAndEuro_data()
{
    QTest::addColumn<QString>("letter");
    QTest::addColumn<int>("byte");
    QTest::newRow("euro") << QStringLiteral("€") << 0x80;
    QTest::newRow("A ring") << QStringLiteral("Å") << 0xC5;
    QTest::newRow("A diaeresis") << QStringLiteral("Ä") << 0xC4;
    QTest::newRow("O diaeresis") << QStringLiteral("Ö") << 0xD6;
    QTest::newRow("a ring") << QStringLiteral("å") << 0xE5;
    QTest::newRow("a diaeresis") << QStringLiteral("ä") << 0xE4;
    QTest::newRow("o diaeresis") << QStringLiteral("ö") << 0xF6;
}

void TestCp1252::swedishLettersAndEuro()
{
    QFETCH(QString, letter);
    QFETCH(int, byte);
    const QByteArray one(1, char(byte));

    QCOMPARE(Cp1252::decode(one), letter);
    QCOMPARE(Cp1252::encode(letter), one);

    const QByteArray utf8 = letter.toUtf8();
    QByteArray out;
    QCOMPARE(Cp1252::appendFromUtf8(utf8.constData(), utf8.size(), 10, out, nullptr), 1);
    QCOMPARE(out, one);

    QByteArray asUtf8;
    Cp1252::appendAsUtf8(one.constData(), one.constData() + 1, asUtf8);
    QCOMPARE(asUtf8, utf8);
}

void TestCp1252::unencodableBecomesQuestionMark_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<int>("replaced");

    const QString snowman = QStringLiteral("☃");
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80"); // U+1F600, a surrogate pair
    QCOMPARE(emoji.size(), 2);

    QTest::newRow("snowman") << "Snö" + snowman + "boll" << QByteArray("Sn\xF6?boll") << 1;
    QTest::newRow("emoji is one character") << "a" + emoji + "b" << QByteArray("a?b") << 1;
    QTest::newRow("two in a row") << snowman + emoji << QByteArray("??") << 2;
    QTest::newRow("emoji at the end") << "Å" + emoji << QByteArray("\xC5?") << 1;
    QTest::newRow("nothing to replace")
        << QStringLiteral("Ärta 5€") << QByteArray("\xC4rta 5\x80") << 0;
}

void TestCp1252::unencodableBecomesQuestionMark()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, expected);
    QFETCH(int, replaced);

    QCOMPARE(Cp1252::canEncode(text), replaced == 0);

    qsizetype count = 0;
    QCOMPARE(Cp1252::encode(text, &count), expected);
    QCOMPARE(count, replaced);

    const QByteArray utf8 = text.toUtf8();
    QByteArray out;
    count = 0;
    const qsizetype chars =
        Cp1252::appendFromUtf8(utf8.constData(), utf8.size(), 1000, out, &count);
    QCOMPARE(out, expected);
    QCOMPARE(count, replaced);
    QCOMPARE(chars, expected.size());
}

void TestCp1252::appendFromUtf8CutsAtCharacters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("maxChars");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<int>("replaced");

    QTest::newRow("two-byte letters")
        << QStringLiteral("ÅÄÖåäö") << 3 << QByteArray("\xC5\xC4\xD6") << 0;
    QTest::newRow("three-byte euro kept whole")
        << QStringLiteral("a€b") << 2 << QByteArray("a\x80") << 0;
    QTest::newRow("cut right after an emoji")
        << QString::fromUtf8("\xF0\x9F\x98\x80xyz") << 2 << QByteArray("?x") << 1;
    QTest::newRow("cut before an unencodable one")
        << QStringLiteral("ab☃") << 2 << QByteArray("ab") << 0;
    QTest::newRow("shorter than the limit")
        << QStringLiteral("Öl") << 10 << QByteArray("\xD6l") << 0;
    QTest::newRow("limit zero") << QStringLiteral("Öl") << 0 << QByteArray() << 0;
}

void TestCp1252::appendFromUtf8CutsAtCharacters()
{
    QFETCH(QString, text);
    QFETCH(int, maxChars);
    QFETCH(QByteArray, expected);
    QFETCH(int, replaced);

    const QByteArray utf8 = text.toUtf8();
    QByteArray out("|"); // appends, never replaces
    qsizetype count = 0;
    const qsizetype chars =
        Cp1252::appendFromUtf8(utf8.constData(), utf8.size(), maxChars, out, &count);
    QCOMPARE(out, "|" + expected);
    QCOMPARE(chars, expected.size());
    QCOMPARE(count, replaced);
}

void TestCp1252::appendAsUtf8MatchesDecode()
{
    const QByteArray bytes = allBytes() + QByteArray("Ben\xE4mning \x80 5");
    QByteArray out("|");
    Cp1252::appendAsUtf8(bytes.constBegin(), bytes.constEnd(), out);
    QCOMPARE(out, "|" + Cp1252::decode(bytes).toUtf8());
}

void TestCp1252::brokenUtf8BecomesQuestionMarks_data()
{
    QTest::addColumn<QByteArray>("utf8");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("lead byte at the end") << QByteArray("ab\xC3") << QByteArray("ab?");
    QTest::newRow("lead byte before ASCII keeps the ASCII") << QByteArray("\xC3"
                                                                          "x")
                                                            << QByteArray("?x");
    QTest::newRow("stray continuation byte") << QByteArray("a\x80"
                                                           "b")
                                             << QByteArray("a?b");
}

void TestCp1252::brokenUtf8BecomesQuestionMarks()
{
    QFETCH(QByteArray, utf8);
    QFETCH(QByteArray, expected);
    QByteArray out;
    qsizetype replaced = 0;
    Cp1252::appendFromUtf8(utf8.constData(), utf8.size(), 100, out, &replaced);
    QCOMPARE(out, expected);
    QCOMPARE(replaced, 1);
}

QTEST_GUILESS_MAIN(TestCp1252)
#include "tst_cp1252.moc"
