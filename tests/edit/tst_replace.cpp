#include "browse/ArticleGrid.h"
#include "edit/Replace.h"
#include "support/GridFixture.h"

#include <QTest>

Q_DECLARE_METATYPE(ArticleGrid::CellRange)
Q_DECLARE_METATYPE(Replace::Scope)

namespace {

// "NAME" occurs inside "RAD|BL_NAME|TYP" but is an ordinary field.
const QStringList kHeader{"RAD", "BL_NAME", "TYP", "BENÄMNING", "ARTNR", "NAME"};

// Every cell holds a 10 so that protected columns would show a replacement.
const QStringList kRows{
    "10|ABCDI010|10|M10|1010|K10",
    "11|ABCDI010|10|abc ABC|x10y|10",
    "12|ABCDI010|10|aa|ingen|-",
};

ArticleGrid makeGrid(const QStringList &rows)
{
    return GridFixture::make(kHeader, rows);
}

using GridFixture::dump;

const ArticleGrid::CellRange kWholeRows{1, 1, 3, 6};

} // namespace

class TestReplace : public QObject
{
    Q_OBJECT

private slots:
    void replace_data();
    void replace();
    void refused_data();
    void refused();
    void defaultScope_data();
    void defaultScope();
};

void TestReplace::replace_data()
{
    QTest::addColumn<Replace::Scope>("scope");
    QTest::addColumn<ArticleGrid::CellRange>("selection");
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<int>("changed");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("selection keeps RAD, BL_NAME and TYP")
        << Replace::Scope::Selection << kWholeRows << "10"
        << "16" << 5
        << QStringList{"10|ABCDI010|10|M16|1616|K16", "11|ABCDI010|10|abc ABC|x16y|16", kRows[2]};
    QTest::newRow("selection covers only its cells")
        << Replace::Scope::Selection << ArticleGrid::CellRange{1, 4, 1, 5} << "10"
        << "16" << 2 << QStringList{"10|ABCDI010|10|M16|1616|K10", kRows[1], kRows[2]};
    QTest::newRow("selection given bottom-up and right to left")
        << Replace::Scope::Selection << ArticleGrid::CellRange{2, 6, 1, 5} << "10"
        << "" << 4 << QStringList{"10|ABCDI010|10|M10||K", "11|ABCDI010|10|abc ABC|xy|", kRows[2]};
    QTest::newRow("shown articles from column 4 on, whatever the selection")
        << Replace::Scope::ShownArticles << ArticleGrid::CellRange{1, 2, 1, 2} << "10"
        << "16" << 5
        << QStringList{"10|ABCDI010|10|M16|1616|K16", "11|ABCDI010|10|abc ABC|x16y|16", kRows[2]};
    QTest::newRow("case is respected")
        << Replace::Scope::ShownArticles << kWholeRows << "abc"
        << "X" << 1 << QStringList{kRows[0], "11|ABCDI010|10|X ABC|x10y|10", kRows[2]};
    QTest::newRow("upper case does not match lower case")
        << Replace::Scope::ShownArticles << kWholeRows << "ABC"
        << "X" << 1 << QStringList{kRows[0], "11|ABCDI010|10|abc X|x10y|10", kRows[2]};
    QTest::newRow("the inserted text is not scanned again")
        << Replace::Scope::Selection << kWholeRows << "a"
        << "aa" << 2
        << QStringList{kRows[0], "11|ABCDI010|10|aabc ABC|x10y|10", "12|ABCDI010|10|aaaa|ingen|-"};
    QTest::newRow("empty replacement deletes")
        << Replace::Scope::ShownArticles << kWholeRows << "a"
        << "" << 2
        << QStringList{kRows[0], "11|ABCDI010|10|bc ABC|x10y|10", "12|ABCDI010|10||ingen|-"};
    QTest::newRow("no match") << Replace::Scope::ShownArticles << kWholeRows << "zz"
                              << "y" << 0 << kRows;
    QTest::newRow("replacement equal to the text changes nothing")
        << Replace::Scope::Selection << kWholeRows << "10"
        << "10" << 0 << kRows;
    QTest::newRow("text Windows-1252 holds")
        << Replace::Scope::Selection << ArticleGrid::CellRange{3, 4, 3, 4} << "aa"
        << "Å€" << 1 << QStringList{kRows[0], kRows[1], "12|ABCDI010|10|Å€|ingen|-"};
}

void TestReplace::replace()
{
    QFETCH(Replace::Scope, scope);
    QFETCH(ArticleGrid::CellRange, selection);
    QFETCH(QString, find);
    QFETCH(QString, replacement);
    QFETCH(int, changed);
    QFETCH(QStringList, expected);

    ArticleGrid grid = makeGrid(kRows);
    grid.setSelection(selection);
    const std::optional<Replace::Result> result =
        Replace::replaceText(grid, scope, find, replacement);
    QVERIFY(result);
    QCOMPARE(result->changed, changed);
    QCOMPARE(result->cuts.count(), 0);
    QCOMPARE(dump(grid), expected);
    // Only a text found nowhere is reported as such, not one replaced by itself.
    QCOMPARE(result->noMatchText(), QTest::currentDataTag() == QByteArray("no match")
                                        ? "Inga träffar för \"zz\"."
                                        : QString());
}

void TestReplace::refused_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("replacement");

    QTest::newRow("no data row") << QStringList{} << "10"
                                 << "16";
    // An empty find text would insert the replacement between every two characters.
    QTest::newRow("empty find text") << kRows << ""
                                     << "16";
    QTest::newRow("replacement outside Windows-1252") << kRows << "10"
                                                      << "1Ω";
}

void TestReplace::refused()
{
    QFETCH(QStringList, rows);
    QFETCH(QString, find);
    QFETCH(QString, replacement);

    for (const Replace::Scope scope : {Replace::Scope::Selection, Replace::Scope::ShownArticles}) {
        ArticleGrid grid = makeGrid(rows);
        grid.setSelection(kWholeRows);
        QCOMPARE(Replace::replaceText(grid, scope, find, replacement), std::nullopt);
        QCOMPARE(dump(grid), rows);
    }
}

void TestReplace::defaultScope_data()
{
    QTest::addColumn<ArticleGrid::CellRange>("selection");
    QTest::addColumn<Replace::Scope>("scope");

    QTest::newRow("one cell") << ArticleGrid::CellRange{2, 4, 2, 4}
                              << Replace::Scope::ShownArticles;
    QTest::newRow("two rows of one column")
        << ArticleGrid::CellRange{2, 4, 3, 4} << Replace::Scope::Selection;
    QTest::newRow("two columns of one row")
        << ArticleGrid::CellRange{2, 4, 2, 5} << Replace::Scope::Selection;
}

void TestReplace::defaultScope()
{
    QFETCH(ArticleGrid::CellRange, selection);
    QFETCH(Replace::Scope, scope);
    QCOMPARE(Replace::defaultScope(selection), scope);
}

QTEST_GUILESS_MAIN(TestReplace)
#include "tst_replace.moc"
