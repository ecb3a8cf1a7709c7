#include "browse/ArticleGrid.h"
#include "browse/ArticleSelection.h"
#include "browse/GridRules.h"
#include "browse/GridStore.h"
#include "core/AppError.h"
#include "core/Progress.h"
#include "db/Database.h"
#include "db/TdsImport.h"
#include "edit/ClipboardBlocks.h"
#include "support/CatalogueFixture.h"
#include "support/ScriptedPrompter.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <QTest>

using Range = ArticleGrid::CellRange;
Q_DECLARE_METATYPE(ArticleGrid::CellRange)

namespace {

const QStringList kArticleLayout{"RAD", "BL_NAME", "TYP", "FABRIKAT", "BENÄMNING", "ARTNR"};
// TYP between two ordinary columns, as a catalogue may order its fields.
const QStringList kTypeInside{"RAD", "BL_NAME", "FABRIKAT", "TYP", "BENÄMNING"};

// A grid with the given headers (column 0 left out) whose cell (r, c) holds "r<r>c<c>".
ArticleGrid grid(const QStringList &headers, int dataRows = 3)
{
    FieldList fields;
    for (const QString &header : headers)
        fields.append({header, {}, 20, 0});
    ArticleGrid g;
    g.setupColumns(fields);
    for (int r = 1; r <= dataRows; ++r) {
        QStringList values{QString()};
        for (int c = 1; c <= headers.size(); ++c)
            values << QStringLiteral("r%1c%2").arg(r).arg(c);
        g.AddGridRow(values, r);
    }
    return g;
}

QList<QStringList> cells(const ArticleGrid &g)
{
    QList<QStringList> all;
    for (int r = 0; r < g.rows(); ++r) {
        QStringList row;
        for (int c = 0; c < g.cols(); ++c)
            row << g.text(r, c);
        all << row;
    }
    return all;
}

// The cells whose text differs, as "row,column=text" in row order.
QStringList changes(const QList<QStringList> &before, const ArticleGrid &after)
{
    QStringList changed;
    for (int r = 0; r < after.rows(); ++r) {
        for (int c = 0; c < after.cols(); ++c) {
            if (after.text(r, c) != before.value(r).value(c))
                changed << QStringLiteral("%1,%2=%3").arg(r).arg(c).arg(after.text(r, c));
        }
    }
    return changed;
}

QStringList columnTexts(const ArticleGrid &g, int row)
{
    QStringList texts;
    for (int c = 1; c < g.cols(); ++c)
        texts << g.text(row, c);
    return texts;
}

} // namespace

class TestClipboardBlocks : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void cellBlockLayouts_data();
    void cellBlockLayouts();
    void cellPaste_data();
    void cellPaste();
    void pasteRefusesWhatTheFilesCannotHold_data();
    void pasteRefusesWhatTheFilesCannotHold();
    void nothingWithoutDataRows();

    void articleMarker_data();
    void articleMarker();
    void articleBlockText();
    void articleRoundTripIntoAnotherGroup();
    void articleRowCounts_data();
    void articleRowCounts();
    void articlePasteFailuresWriteNothing_data();
    void articlePasteFailuresWriteNothing();
    void articleBlockWiderThanTheGrid();
    void articlePasteNeedsOneGroup();
    void pasteSaysWhatItLeftOut_data();
    void pasteSaysWhatItLeftOut();
    void pasteAsNewArticles_data();
    void pasteAsNewArticles();

private:
    QTemporaryDir m_settings;
};

void TestClipboardBlocks::initTestCase()
{
    QVERIFY(m_settings.isValid());
    TestFiles::isolateSettings(m_settings.path());
}

void TestClipboardBlocks::cellBlockLayouts_data()
{
    QTest::addColumn<QStringList>("headers");
    QTest::addColumn<Range>("selection");
    QTest::addColumn<QString>("block");

    QTest::newRow("two rows, two columns, no break at the end")
        << kArticleLayout << Range{2, 4, 3, 5} << "r2c4\tr2c5\r\nr3c4\tr3c5";
    QTest::newRow("whole rows leave RAD, BL_NAME and TYP out")
        << kArticleLayout << Range{1, 1, 1, 6} << "r1c4\tr1c5\tr1c6";
    QTest::newRow("TYP in the middle leaves no empty field")
        << kTypeInside << Range{1, 3, 2, 5} << "r1c3\tr1c5\r\nr2c3\tr2c5";
    QTest::newRow("last column protected: no TAB at the line end")
        << kTypeInside << Range{1, 3, 2, 4} << "r1c3\r\nr2c3";
    QTest::newRow("only protected columns: empty lines")
        << kArticleLayout << Range{1, 1, 3, 3} << "\r\n\r\n";
    QTest::newRow("row-selector column is never copied")
        << kArticleLayout << Range{1, 0, 1, 4} << "r1c4";
    QTest::newRow("a header that is only part of a protected name is copied")
        << QStringList{"RAD", "BL_NAME", "TYP", "NAME", "TY"} << Range{1, 1, 1, 5} << "r1c4\tr1c5";
    QTest::newRow("selection beyond the grid is cut to it")
        << kArticleLayout << Range{3, 6, 9, 9} << "r3c6";
}

// Copy leaves the protected columns out, and cut empties exactly the cells it copied.
void TestClipboardBlocks::cellBlockLayouts()
{
    QFETCH(QStringList, headers);
    QFETCH(Range, selection);
    QFETCH(QString, block);

    ArticleGrid g = grid(headers);
    g.setSelection(selection);
    QCOMPARE(ClipboardBlocks::CopyClip(g), std::optional<QString>(block));

    const QList<QStringList> before = cells(g);
    const ClipboardBlocks::CutResult cut = ClipboardBlocks::CutClip(g);
    QCOMPARE(cut.text, std::optional<QString>(block));
    QStringList emptied;
    for (const QString &line : block.split("\r\n")) {
        for (const QString &field : line.split('\t', Qt::SkipEmptyParts)) {
            const int r = field.mid(1, field.indexOf('c') - 1).toInt();
            const int c = field.mid(field.indexOf('c') + 1).toInt();
            emptied << QStringLiteral("%1,%2=").arg(r).arg(c);
        }
    }
    QCOMPARE(changes(before, g), emptied);
    QCOMPARE(cut.changed, !emptied.isEmpty());
}

void TestClipboardBlocks::cellPaste_data()
{
    QTest::addColumn<QStringList>("headers");
    QTest::addColumn<int>("anchorRow");
    QTest::addColumn<int>("anchorColumn");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("written");

    QTest::newRow("spreadsheet block with trailing CR LF")
        << kArticleLayout << 1 << 4 << "a\tb\r\nc\td\r\n"
        << QStringList{"1,4=a", "1,5=b", "2,4=c", "2,5=d"};
    QTest::newRow("LF line ends") << kArticleLayout << 1 << 4 << "a\tb\nc\td\n"
                                  << QStringList{"1,4=a", "1,5=b", "2,4=c", "2,5=d"};
    QTest::newRow("CR line ends") << kArticleLayout << 1 << 4 << "a\rc"
                                  << QStringList{"1,4=a", "2,4=c"};
    QTest::newRow("three lines from the last row write only the first")
        << kArticleLayout << 3 << 4 << "a\r\nb\r\nc" << QStringList{"3,4=a"};
    QTest::newRow("fields beyond the last column are dropped")
        << kArticleLayout << 1 << 5 << "a\tb\tc\td" << QStringList{"1,5=a", "1,6=b"};
    QTest::newRow("block larger than the rest of the grid both ways")
        << kArticleLayout << 2 << 5 << "a\tb\tc\r\nd\te\tf\r\ng\th\ti\r\n"
        << QStringList{"2,5=a", "2,6=b", "3,5=d", "3,6=e"};
    QTest::newRow("a field meeting TYP is used up there")
        << kTypeInside << 1 << 3 << "a\tb\tc" << QStringList{"1,3=a", "1,5=c"};
    QTest::newRow("RAD and BL_NAME keep theirs from an anchor in column 1")
        << kArticleLayout << 2 << 1 << "9\tX\t7\tF" << QStringList{"2,4=F"};
    QTest::newRow("empty line writes nothing, anywhere")
        << kArticleLayout << 1 << 4 << "a\r\n\r\nc" << QStringList{"1,4=a", "3,4=c"};
    QTest::newRow("empty fields between TABs empty their cells")
        << kArticleLayout << 1 << 4 << "\tb" << QStringList{"1,4=", "1,5=b"};
    QTest::newRow("empty clipboard writes nothing")
        << kArticleLayout << 1 << 4 << "" << QStringList{};
    QTest::newRow("an article block is pasted as plain cells, marker and all")
        << kArticleLayout << 1 << 4 << "!Ravelund!\r\n1\tX\t2\tF"
        << QStringList{"1,4=!Ravelund!", "2,4=1", "2,5=X", "2,6=2"};
    QTest::newRow("Swedish letters and the euro sign")
        << kArticleLayout << 2 << 4 << "Åström & Öberg\tÄlvsjö – 5 €"
        << QStringList{"2,4=Åström & Öberg", "2,5=Älvsjö – 5 €"};
}

void TestClipboardBlocks::cellPaste()
{
    QFETCH(QStringList, headers);
    QFETCH(int, anchorRow);
    QFETCH(int, anchorColumn);
    QFETCH(QString, text);
    QFETCH(QStringList, written);

    ArticleGrid g = grid(headers);
    const QList<QStringList> before = cells(g);
    const ClipboardBlocks::PasteResult result =
        ClipboardBlocks::PasteClip(g, anchorRow, anchorColumn, text);
    QCOMPARE(changes(before, g), written);
    QVERIFY(result.edited);
    QVERIFY(result.refusal.isEmpty());
    QCOMPARE(g.rows(), before.size());
    QCOMPARE(g.cols(), before.first().size());
}

void TestClipboardBlocks::pasteRefusesWhatTheFilesCannotHold_data()
{
    QTest::addColumn<int>("anchorColumn");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("refused"); // the code point named, empty when pasted

    QTest::newRow("check mark in the last line") << 4 << "a\tb\r\nc\t✓"
                                                 << "U+2713";
    QTest::newRow("Greek letter") << 4 << "Ω-mätare"
                                  << "U+03A9";
    QTest::newRow("character beyond 16 bits") << 4 << "ok\tlampa 💡"
                                              << "U+1F4A1";
    QTest::newRow("zero-width space from a web page") << 4 << "ABB\u200B"
                                                      << "U+200B";
    QTest::newRow("only in a protected column's field") << 2 << "✓\t✓\tFab"
                                                        << "";
    QTest::newRow("only beyond the last column") << 6 << "a\t✓"
                                                 << "";
}

// Nothing at all is written when one cell would get a character Windows-1252 lacks.
void TestClipboardBlocks::pasteRefusesWhatTheFilesCannotHold()
{
    QFETCH(int, anchorColumn);
    QFETCH(QString, text);
    QFETCH(QString, refused);

    ArticleGrid g = grid(kArticleLayout);
    const QList<QStringList> before = cells(g);
    const ClipboardBlocks::PasteResult result =
        ClipboardBlocks::PasteClip(g, 1, anchorColumn, text);
    if (refused.isEmpty()) {
        QVERIFY(result.refusal.isEmpty());
        QVERIFY(result.edited);
        QVERIFY(!changes(before, g).isEmpty());
        return;
    }
    QVERIFY2(result.refusal.contains(refused), qPrintable(result.refusal));
    QVERIFY(result.refusal.contains("Windows-1252"));
    QVERIFY(!result.edited);
    QCOMPARE(result.rows, 0);
    QCOMPARE(cells(g), before);
}

void TestClipboardBlocks::nothingWithoutDataRows()
{
    ArticleGrid g = grid(kArticleLayout, 0);
    g.setSelection({0, 1, 0, 6});
    QCOMPARE(ClipboardBlocks::CopyClip(g), std::nullopt);
    QCOMPARE(ClipboardBlocks::CopyArticle(g), std::nullopt);
    QCOMPARE(ClipboardBlocks::CutClip(g).text, std::nullopt);

    const ClipboardBlocks::PasteResult cellPaste = ClipboardBlocks::PasteClip(g, 0, 4, "a\tb");
    QVERIFY(!cellPaste.edited);
    const ClipboardBlocks::PasteResult articlePaste = ClipboardBlocks::mnuPasteArticle(
        g, "!Ravelund!\r\n1\tX\t2\tF", ArticleSelection::Kind::Group);
    QVERIFY(!articlePaste.edited);
    // The header row is never written.
    QCOMPARE(g.rows(), 1);
    QCOMPARE(columnTexts(g, 0), kArticleLayout);
}

void TestClipboardBlocks::articleMarker_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("isArticleBlock");
    QTest::newRow("block") << "!Ravelund!\r\n1\tX" << true;
    QTest::newRow("marker alone") << "!Ravelund!" << true;
    QTest::newRow("other case") << "!RAVELUND!\r\n1\tX" << false;
    QTest::newRow("not at the start") << " !Ravelund!\r\n" << false;
    QTest::newRow("cut short") << "!Ravelund" << false;
    QTest::newRow("empty") << "" << false;
}

void TestClipboardBlocks::articleMarker()
{
    QFETCH(QString, text);
    QFETCH(bool, isArticleBlock);
    QCOMPARE(ClipboardBlocks::hasArticleBlock(text), isArticleBlock);
}

// Every selected cell, RAD to the last column, after the marker line; no break at the end.
void TestClipboardBlocks::articleBlockText()
{
    ArticleGrid g = grid(kArticleLayout);
    g.setSelection({2, 1, 3, 6});
    const std::optional<QString> block = ClipboardBlocks::CopyArticle(g);
    QCOMPARE(block, std::optional<QString>("!Ravelund!\r\n"
                                           "r2c1\tr2c2\tr2c3\tr2c4\tr2c5\tr2c6\r\n"
                                           "r3c1\tr3c2\tr3c3\tr3c4\tr3c5\tr3c6"));
    QVERIFY(ClipboardBlocks::hasArticleBlock(*block));
}

// Two articles copied from one imported group onto two new rows of another: the new rows keep
// their own row number, block name and type and take every other value.
void TestClipboardBlocks::articleRoundTripIntoAnotherGroup()
{
    using CatalogueFixture::line;
    QTemporaryDir dir;
    ScriptedPrompter prompter;
    NullProgress progress;
    const ImportResult imported =
        TdsImport(prompter, progress)
            .run(CatalogueFixture::write(dir.path(), "kat",
                                         {line("ABCDI010", "1", "Kontaktor 3-pol", "Åkerby"),
                                          line("ABCDI010", "2", "Brytare Ö-serie", "Nordel"),
                                          line("ABCDI010", "3", "Säkring", "Nordel"),
                                          line("ABCDI020", "5", "Relä", "Lindqvist")}));
    QVERIFY2(imported.ok, qPrintable(prompter.texts().join('\n')));
    Database db(imported.dbPath, Database::OpenMode::ReadWrite);

    ArticleGrid source;
    source.setupColumns(imported.fields);
    GridStore::PopulateGrid(db, ArticleSelection::group("ABCDI010"), source, progress);
    QCOMPARE(source.rows(), 4);
    source.setSelection({1, 1, 2, source.cols() - 1});
    const std::optional<QString> block = ClipboardBlocks::CopyArticle(source);
    QVERIFY(block);

    ArticleGrid target;
    target.setupColumns(imported.fields);
    GridStore::PopulateGrid(db, ArticleSelection::group("ABCDI020"), target, progress);
    QCOMPARE(target.rows(), 2);
    const int rad = target.GetColumn("RAD");
    const int blockName = target.GetColumn("BL_NAME");
    const int type = target.GetColumn("TYP");
    // Two empty articles as the append command leaves them.
    for (int n = 1; n <= 2; ++n) {
        const int row = target.rows();
        target.insertRows(row, 1);
        target.setText(row, rad, QString::number(4 + n));
        target.setText(row, blockName, "ABCDI020");
        target.setText(row, type, QString::number(5 + n));
    }
    const QStringList existing = columnTexts(target, 1);
    target.setSelection({2, 1, 3, target.cols() - 1});

    const ClipboardBlocks::PasteResult result =
        ClipboardBlocks::mnuPasteArticle(target, *block, ArticleSelection::Kind::Group);
    QVERIFY(result.edited);
    QVERIFY(result.refusal.isEmpty());
    QCOMPARE(result.rows, 2);
    QCOMPARE(target.rows(), 4);
    QCOMPARE(columnTexts(target, 1), existing);
    for (int i = 0; i < 2; ++i) {
        const int row = 2 + i;
        QCOMPARE(target.text(row, rad), QString::number(5 + i));
        QCOMPARE(target.text(row, blockName), QString("ABCDI020"));
        QCOMPARE(target.text(row, type), QString::number(6 + i));
        for (int c = type + 1; c < target.cols(); ++c)
            QCOMPARE(target.text(row, c), source.text(1 + i, c));
    }
    QCOMPARE(target.text(3, target.GetColumn("BENÄMNING")), QString("Brytare Ö-serie"));
    QCOMPARE(target.text(2, target.GetColumn("FABRIKAT")), QString("Åkerby"));
}

void TestClipboardBlocks::articleRowCounts_data()
{
    QTest::addColumn<int>("copied");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QString>("lineEnd");
    QTest::addColumn<int>("pasted");
    QTest::newRow("three onto five fill the first three") << 3 << 5 << "\r\n" << 3;
    QTest::newRow("three onto two fill both") << 3 << 2 << "\r\n" << 2;
    QTest::newRow("one onto one") << 1 << 1 << "\r\n" << 1;
    QTest::newRow("LF line ends") << 3 << 5 << "\n" << 3;
}

void TestClipboardBlocks::articleRowCounts()
{
    QFETCH(int, copied);
    QFETCH(int, selected);
    QFETCH(QString, lineEnd);
    QFETCH(int, pasted);

    ArticleGrid source = grid(kArticleLayout, copied);
    for (int r = 1; r <= copied; ++r)
        source.setText(r, 5, QStringLiteral("Artikel %1").arg(r));
    source.setSelection({1, 1, copied, 6});
    QString block = *ClipboardBlocks::CopyArticle(source);
    block.replace("\r\n", lineEnd);

    ArticleGrid target = grid(kArticleLayout, 6);
    const QList<QStringList> before = cells(target);
    target.setSelection({1, 1, selected, 6});
    const ClipboardBlocks::PasteResult result =
        ClipboardBlocks::mnuPasteArticle(target, block, ArticleSelection::Kind::Group);
    QCOMPARE(result.rows, pasted);
    QVERIFY(result.edited);
    QCOMPARE(target.rows(), 7);
    for (int r = 1; r < target.rows(); ++r) {
        QStringList expected = before.at(r);
        if (r <= pasted) {
            for (int c = 4; c <= 6; ++c)
                expected[c] = source.text(r, c);
        }
        QCOMPARE(cells(target).at(r), expected);
    }
}

void TestClipboardBlocks::articlePasteFailuresWriteNothing_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("refusal"); // a piece of the status text; empty: no refusal
    QTest::addColumn<bool>("edited");
    QTest::newRow("character the files cannot hold in the second row")
        << "!Ravelund!\r\n1\tX\t2\tF\tB\tA\r\n2\tX\t3\tF\tB ✓\tA"
        << "U+2713" << false;
    QTest::newRow("text without the marker") << "1\tX\t2\tF\tB\tA"
                                             << "inga kopierade artiklar" << false;
    QTest::newRow("empty clipboard") << ""
                                     << "" << true;
    QTest::newRow("marker alone") << "!Ravelund!"
                                  << "" << true;
}

void TestClipboardBlocks::articlePasteFailuresWriteNothing()
{
    QFETCH(QString, text);
    QFETCH(QString, refusal);
    QFETCH(bool, edited);

    ArticleGrid g = grid(kArticleLayout);
    g.setSelection({1, 1, 3, 6});
    const QList<QStringList> before = cells(g);
    const ClipboardBlocks::PasteResult result =
        ClipboardBlocks::mnuPasteArticle(g, text, ArticleSelection::Kind::Group);
    QCOMPARE(result.edited, edited);
    QCOMPARE(result.refusal.isEmpty(), refusal.isEmpty());
    QVERIFY2(result.refusal.contains(refusal), qPrintable(result.refusal));
    QCOMPARE(result.rows, 0);
    QCOMPARE(cells(g), before);
}

// A block with more fields than the grid has columns is an error, and no row is half pasted.
void TestClipboardBlocks::articleBlockWiderThanTheGrid()
{
    // The first line fits; the second has one field more than the grid has columns.
    const QString block = "!Ravelund!\r\n1\tX\t2\tF\tB\tA\r\n2\tX\t3\tF\tB\tA\tEXTRA";
    ArticleGrid g = grid(kArticleLayout);
    g.setSelection({1, 1, 3, 6});
    const QList<QStringList> before = cells(g);
    try {
        ClipboardBlocks::mnuPasteArticle(g, block, ArticleSelection::Kind::Group);
        QFAIL("no error");
    } catch (const AppError &error) {
        QVERIFY(error.number() != 0);
        QVERIFY(error.description().contains("6"));
    }
    QCOMPARE(cells(g), before);
}

// In the root view the selected rows may belong to several groups; the paste is refused there
// even when the clipboard holds articles.
void TestClipboardBlocks::articlePasteNeedsOneGroup()
{
    const QString block = "!Ravelund!\r\n1\tX\t2\tF\tB\tA";
    for (const ArticleSelection::Kind view :
         {ArticleSelection::Kind::Root, ArticleSelection::Kind::None}) {
        ArticleGrid g = grid(kArticleLayout);
        g.setSelection({1, 1, 2, 6});
        const QList<QStringList> before = cells(g);
        const ClipboardBlocks::PasteResult result =
            ClipboardBlocks::mnuPasteArticle(g, block, view);
        QCOMPARE(result.refusal, GridRules::rootViewRowHint());
        QVERIFY(!result.edited);
        QCOMPARE(cells(g), before);
    }
    ArticleGrid g = grid(kArticleLayout);
    g.setSelection({1, 1, 2, 6});
    const ClipboardBlocks::PasteResult result =
        ClipboardBlocks::mnuPasteArticle(g, block, ArticleSelection::Kind::Manufacturer);
    QVERIFY(result.refusal.isEmpty());
    QCOMPARE(columnTexts(g, 1), (QStringList{"r1c1", "r1c2", "r1c3", "F", "B", "A"}));
}

void TestClipboardBlocks::pasteSaysWhatItLeftOut_data()
{
    QTest::addColumn<bool>("articles");
    QTest::addColumn<int>("anchorRow"); // the current cell, or the first selected row
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("leftOut"); // a piece of the status text; empty: nothing left out

    QTest::newRow("cells: three lines from the last row") << false << 3 << "a\r\nb\r\nc"
                                                          << "2 rader av urklippet";
    QTest::newRow("cells: one line too many") << false << 2 << "a\r\nb\r\nc"
                                              << "1 rad av";
    QTest::newRow("cells: a trailing line break is nothing left out") << false << 3 << "a\r\n"
                                                                      << QString();
    QTest::newRow("cells: everything fits") << false << 1 << "a\r\nb\r\nc" << QString();
    QTest::newRow("articles: three onto the last row")
        << true << 3 << "!Ravelund!\r\n1\tX\t1\tF\r\n2\tX\t2\tG\r\n3\tX\t3\tH"
        << "2 av 3 kopierade artiklar";
    QTest::newRow("articles: everything fits")
        << true << 2 << "!Ravelund!\r\n1\tX\t1\tF\r\n2\tX\t2\tG" << QString();
}

// A paste never adds rows; what did not fit is named with the way to paste it all.
void TestClipboardBlocks::pasteSaysWhatItLeftOut()
{
    QFETCH(bool, articles);
    QFETCH(int, anchorRow);
    QFETCH(QString, text);
    QFETCH(QString, leftOut);

    ArticleGrid g = grid(kArticleLayout, 3);
    g.setSelection({anchorRow, 1, 3, 6});
    const ClipboardBlocks::PasteResult result =
        articles ? ClipboardBlocks::mnuPasteArticle(g, text, ArticleSelection::Kind::Group)
                 : ClipboardBlocks::PasteClip(g, anchorRow, 4, text);
    QVERIFY(result.edited);
    if (leftOut.isEmpty())
        QCOMPARE(result.leftOut, QString());
    else
        QVERIFY2(result.leftOut.contains(leftOut), qPrintable(result.leftOut));
}

void TestClipboardBlocks::pasteAsNewArticles_data()
{
    QTest::addColumn<Range>("selection");
    QTest::addColumn<int>("firstNew");
    QTest::addColumn<QStringList>("expected"); // RAD|BL_NAME|TYP|FABRIKAT|BENÄMNING|ARTNR

    const QStringList head{"10|ABCDI010|-|Grupp|Brytare|", "11|ABCDI010|1|ABB|Ett|A1"};
    QTest::newRow("after the selection, with the next numbers")
        << Range{1, 1, 2, 6} << 3
        << (head + QStringList{"12|ABCDI010|3|Eaton|Kopia ett|K1",
                               "13|ABCDI010|4|Eaton|Kopia två|K2", "14|ABCDI010|2|ABB|Två|A2"});
    QTest::newRow("at the end") << Range{3, 1, 3, 6} << 4
                                << (head + QStringList{"12|ABCDI010|2|ABB|Två|A2",
                                                       "13|ABCDI010|3|Eaton|Kopia ett|K1",
                                                       "14|ABCDI010|4|Eaton|Kopia två|K2"});
    QTest::newRow("no selection: at the end")
        << Range{0, 0, 0, 0} << 4
        << QStringList{"10|ABCDI010|-|Grupp|Brytare|", "11|ABCDI010|1|ABB|Ett|A1",
                       "12|ABCDI010|2|ABB|Två|A2", "13|ABCDI010|3|Eaton|Kopia ett|K1",
                       "14|ABCDI010|4|Eaton|Kopia två|K2"};
}

// Copied articles become new rows of the group: its block name, the next free type numbers and
// row numbers in grid order; their own RAD, block name and type are left behind.
void TestClipboardBlocks::pasteAsNewArticles()
{
    QFETCH(Range, selection);
    QFETCH(int, firstNew);
    QFETCH(QStringList, expected);

    FieldList fields;
    for (const QString &header : kArticleLayout)
        fields.append({header, {}, 20, 0});
    ArticleGrid g;
    g.setupColumns(fields);
    int next = 1;
    for (const QStringList &row : {QStringList{"", "10", "ABCDI010", "-", "Grupp", "Brytare", ""},
                                   QStringList{"", "11", "ABCDI010", "1", "ABB", "Ett", "A1"},
                                   QStringList{"", "12", "ABCDI010", "2", "ABB", "Två", "A2"}})
        next = g.AddGridRow(row, next);
    g.setSelection(selection);
    const QString block = "!Ravelund!\r\n70\tABCDI099\t7\tEaton\tKopia ett\tK1\r\n"
                          "71\tABCDI099\t8\tEaton\tKopia två\tK2";
    Database closed; // no saved types to read
    const ClipboardBlocks::PasteResult result =
        ClipboardBlocks::pasteAsNewArticles(g, closed, block, ArticleSelection::Kind::Group);
    QVERIFY(result.refusal.isEmpty());
    QVERIFY(result.edited);
    QStringList rows;
    for (int r = 1; r < g.rows(); ++r) {
        QStringList row;
        for (int c = 1; c < g.cols(); ++c)
            row << g.text(r, c);
        rows << row.join(u'|');
    }
    QCOMPARE(rows, expected);
    // The new rows, whole, are selected.
    QCOMPARE(g.selection(), (Range{firstNew, 1, firstNew + 1, 6}));

    ArticleGrid root = g;
    QCOMPARE(ClipboardBlocks::pasteAsNewArticles(root, closed, block, ArticleSelection::Kind::Root)
                 .refusal,
             GridRules::rootViewRowHint());
}

QTEST_GUILESS_MAIN(TestClipboardBlocks)
#include "tst_clipboardblocks.moc"
