#include "core/Cp1252.h"
#include "core/SwedishFold.h"
#include "support/IcuSwedish.h"

#include <QTest>

class TestSwedishFold : public QObject
{
    Q_OBJECT

private slots:
    void everyWindows1252CharacterAgreesWithIcu();
    void fold_data();
    void fold();
    void brokenUtf8FoldsAsReplacementCharacter();
};

void TestSwedishFold::everyWindows1252CharacterAgreesWithIcu()
{
    QByteArray bytes(256, Qt::Uninitialized);
    for (int b = 0; b < 256; ++b)
        bytes[b] = char(b);
    const QString all = Cp1252::decode(bytes);
    QStringList folds;
    for (const QChar c : all) {
        const QString folded = SwedishFold::fold(QString(c));
        folds << folded;
        const QByteArray where = QStringLiteral("U+%1 -> \"%2\"")
                                     .arg(c.unicode(), 4, 16, QLatin1Char('0'))
                                     .arg(folded)
                                     .toUtf8();
        // The fold is what ICU takes the character for, and folding it again changes nothing.
        QVERIFY2(IcuSwedish::equalAtPrimary(QString(c), folded), where.constData());
        QVERIFY2(SwedishFold::fold(folded) == folded, where.constData());
        QVERIFY2(folded == folded.toLower(), where.constData());
    }
    // Two characters have the same fold exactly when ICU finds them equal.
    for (qsizetype a = 0; a < all.size(); ++a) {
        for (qsizetype b = a + 1; b < all.size(); ++b) {
            if ((folds[a] == folds[b]) != IcuSwedish::equalAtPrimary(all[a], all[b])) {
                QFAIL(QStringLiteral("U+%1 \"%2\" and U+%3 \"%4\"")
                          .arg(all[a].unicode(), 4, 16, QLatin1Char('0'))
                          .arg(folds[a])
                          .arg(all[b].unicode(), 4, 16, QLatin1Char('0'))
                          .arg(folds[b])
                          .toUtf8()
                          .constData());
            }
        }
    }
}

void TestSwedishFold::fold_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("case and accents go") << "CAFÉ Crème"
                                         << "cafe creme";
    QTest::newRow("Å Ä Ö stay") << "ÅÄÖ åäö"
                                << "åäö åäö";
    QTest::newRow("ß is ss") << "Straße"
                             << "strasse";
    QTest::newRow("soft hyphen is ignored") << "Kabel\u00ADsko"
                                            << "kabelsko";
    QTest::newRow("wildcards are plain characters") << "100%_\\"
                                                    << "100%_\\";
    QTest::newRow("beyond Windows-1252: a with macron") << "Ā"
                                                        << "a";
    QTest::newRow("beyond Windows-1252: a ligature") << "\uFB01n"
                                                     << "fin";
    QTest::newRow("empty") << ""
                           << "";
}

void TestSwedishFold::fold()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(SwedishFold::fold(text), expected);
}

void TestSwedishFold::brokenUtf8FoldsAsReplacementCharacter()
{
    const QByteArray broken("A\xC3Z\xE2\x82", 5);
    std::string folded = "x";
    SwedishFold::appendFoldedUtf8(broken.constData(), broken.size(), folded);
    QCOMPARE(QString::fromStdString(folded), QStringLiteral("xa\uFFFDz\uFFFD\uFFFD"));
}

QTEST_GUILESS_MAIN(TestSwedishFold)
#include "tst_swedishfold.moc"
