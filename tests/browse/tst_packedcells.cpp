#include "browse/PackedCells.h"
#include "core/Cp1252.h"

#include <QTest>

// Rows keep their cells as Latin-1 or UTF-8 bytes; what goes in must come out unchanged,
// whichever way the row was built and whatever its neighbours hold.
class TestPackedCells : public QObject
{
    Q_OBJECT

private:
    static QString everyCp1252Character()
    {
        QByteArray bytes;
        for (int b = 1; b < 256; ++b)
            bytes.append(char(b));
        return Cp1252::decode(bytes);
    }

private slots:
    void roundTrip_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("ascii") << QStringLiteral("KONTAKTOR 3P");
        QTest::newRow("swedish") << QStringLiteral("Ångström ÄÖ åäö é");
        QTest::newRow("every windows-1252 byte") << everyCp1252Character();
        QTest::newRow("beyond latin-1") << QStringLiteral("€ – ™ \u2126");
        QTest::newRow("127 characters") << QString(127, u'x');
        QTest::newRow("128 characters") << QString(128, u'x');
        QTest::newRow("127 bytes of UTF-8") << QString(63, u'å') + u'x';
        QTest::newRow("128 bytes of UTF-8") << QString(64, u'å');
        QTest::newRow("255 characters") << QString(255, u'å');
        QTest::newRow("16384 characters") << QString(16384, u'y');
    }

    void roundTrip()
    {
        QFETCH(QString, text);
        const QString before = QStringLiteral("före");
        const QString after = QStringLiteral("efter");

        PackedCells::Builder builder;
        for (const QString &cell : {before, text, after}) {
            const QByteArray utf8 = cell.toUtf8();
            builder.addUtf8(utf8.isNull() ? nullptr : utf8.constData(), utf8.size());
        }
        const PackedCells built = builder.take();
        QCOMPARE(built.cell(0), before);
        QCOMPARE(built.cell(1), text);
        QCOMPARE(built.cell(2), after);

        // Written into a row of plain text and into a row already beyond Latin-1.
        for (const QString &neighbour : {QStringLiteral("abc"), QStringLiteral("€uro")}) {
            PackedCells row(3);
            row.setCell(0, neighbour);
            row.setCell(2, neighbour);
            row.setCell(1, QStringLiteral("något längre först"));
            row.setCell(1, text);
            QCOMPARE(row.cell(0), neighbour);
            QCOMPARE(row.cell(1), text);
            QCOMPARE(row.cell(2), neighbour);
            const PackedCells copy = row;
            QCOMPARE(copy.cell(1), text);
        }
    }

    void orderAsText_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::newRow("prefix") << QStringLiteral("AB") << QStringLiteral("ABC");
        QTest::newRow("empty") << QString() << QStringLiteral("A");
        QTest::newRow("latin-1") << QStringLiteral("Ö") << QStringLiteral("Z");
        QTest::newRow("mixed encodings") << QStringLiteral("€") << QStringLiteral("ö");
        QTest::newRow("equal") << QStringLiteral("åäö") << QStringLiteral("åäö");
    }

    void orderAsText()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        PackedCells rowA(1);
        PackedCells rowB(1);
        rowA.setCell(0, a);
        rowB.setCell(0, b);
        auto sign = [](int v) { return v < 0 ? -1 : v > 0 ? 1 : 0; };
        QCOMPARE(sign(PackedCells::compare(rowA, 0, rowB, 0)), sign(a.compare(b)));
        QCOMPARE(sign(PackedCells::compare(rowB, 0, rowA, 0)), sign(b.compare(a)));
    }

    void invalidUtf8ReadsAsBefore()
    {
        const QByteArray bad("a\xC3(b\xFF", 5);
        PackedCells::Builder builder;
        builder.addUtf8(bad.constData(), bad.size());
        QCOMPARE(builder.take().cell(0), QString::fromUtf8(bad));
    }
};

QTEST_GUILESS_MAIN(TestPackedCells)
#include "tst_packedcells.moc"
