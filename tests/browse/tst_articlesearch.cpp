#include "browse/ArticleGrid.h"
#include "browse/ArticleSearch.h"
#include "browse/BrowseCatalogue.h"
#include "browse/GridStore.h"

#include <QTemporaryDir>
#include <QTest>

using BrowseCatalogue::line;

namespace {

// The hits as "BL_NAME/RAD/column".
QStringList described(const QList<ArticleSearch::Hit> &hits)
{
    QStringList out;
    for (const ArticleSearch::Hit &hit : hits)
        out << QStringLiteral("%1/%2/%3").arg(hit.blockName).arg(hit.rad).arg(hit.column);
    return out;
}

} // namespace

class TestArticleSearch : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void find_data();
    void find();
    void prefilterPattern_data();
    void prefilterPattern();
    void hitCarriesTheListedFields();
    void hitLeadsToItsGroupRowAndCell();

private:
    QTemporaryDir m_dir;
    Database m_db;
    FieldList m_fields;
};

void TestArticleSearch::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QStringList lines = BrowseCatalogue::standardLines();
    // Texts LIKE would take as wildcards or an escape, unless they are escaped.
    lines.insert(0, line("ABCDI050", "2", "100% ull", "Lindqvist"));
    lines.insert(1, line("ABCDI050", "3", "a_b c\\d", "Lindqvist"));
    lines.insert(2, line("ABCDI050", "4", "100 ull axb", "Lindqvist"));
    m_db = BrowseCatalogue::import(m_dir.path(), lines, &m_fields);
}

void TestArticleSearch::find_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QStringList>("expected");

    // Order: group description in Swedish order (Apparater, banor, Cyklar, ..., Åsnor, Ärmar).
    QTest::newRow("case ignored") << "ZEBR" << 500 << QStringList{"ABCDI090/16/BENÄMNING"};
    QTest::newRow("Å Ä Ö case ignored")
        << "äRM" << 500
        << QStringList{"ABCDI010/3/BENÄMNING", "ABCDI010/4/BENÄMNING", "ABCDI010/8/BENÄMNING"};
    QTest::newRow("Å Ä Ö with ASCII in upper case")
        << "ÄRM TRE" << 500 << QStringList{"ABCDI010/8/BENÄMNING"};
    QTest::newRow("Ö is not O") << "öglor" << 500 << QStringList{"ABCDI070/14/BENÄMNING"};
    QTest::newRow("A is not Å") << "asnor" << 500 << QStringList{};
    QTest::newRow("apostrophe") << "o'b" << 500
                                << QStringList{"AB'DI060/12/FABRIKAT", "ABCDI010/4/FABRIKAT"};
    QTest::newRow("apostrophe in a block name")
        << "B'D" << 500 << QStringList{"AB'DI060/12/BL_NAME"};
    QTest::newRow("% is literal") << "100%" << 500 << QStringList{"ABCDI050/0/BENÄMNING"};
    QTest::newRow("_ is literal") << "a_b" << 500 << QStringList{"ABCDI050/1/BENÄMNING"};
    QTest::newRow("backslash is literal") << "c\\d" << 500 << QStringList{"ABCDI050/1/BENÄMNING"};
    QTest::newRow("first matching column")
        << "I05" << 500
        << QStringList{"ABCDI050/0/BL_NAME", "ABCDI050/1/BL_NAME", "ABCDI050/2/BL_NAME",
                       "ABCDI050/11/BL_NAME"};
    QTest::newRow("any column") << "akerby" << 500 << QStringList{};
    QTest::newRow("manufacturer column")
        << "åkerby" << 500 << QStringList{"ABCDI040/7/FABRIKAT", "ABCDI040/10/FABRIKAT"};
    QTest::newRow("limit") << "I05" << 2 << QStringList{"ABCDI050/0/BL_NAME", "ABCDI050/1/BL_NAME"};
    QTest::newRow("no hit") << "finns inte" << 500 << QStringList{};
    QTest::newRow("empty text") << "" << 500 << QStringList{};
}

void TestArticleSearch::find()
{
    QFETCH(QString, text);
    QFETCH(int, limit);
    QFETCH(QStringList, expected);
    QCOMPARE(described(ArticleSearch::find(m_db, text, limit)), expected);
}

void TestArticleSearch::prefilterPattern_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("ASCII") << "Zebror"
                           << "%Zebror%";
    QTest::newRow("longest ASCII run") << "skärmad"
                                       << "%rmad%";
    QTest::newRow("wildcards split runs") << "ab%cde_f\\g"
                                          << "%cde%";
    QTest::newRow("no ASCII") << "ÅÄÖ"
                              << "%%";
}

void TestArticleSearch::prefilterPattern()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(ArticleSearch::prefilterPattern(text), expected);
}

void TestArticleSearch::hitCarriesTheListedFields()
{
    const QList<ArticleSearch::Hit> hits = ArticleSearch::find(m_db, QStringLiteral("Zebror"));
    QCOMPARE(hits.size(), 1);
    QCOMPARE(hits[0].designation, QStringLiteral("Zebror"));
    QCOMPARE(hits[0].manufacturer, QStringLiteral("Nordel"));
    QCOMPARE(hits[0].articleNumber, QString()); // this catalogue has no ARTNR
    QVERIFY(!hits[0].groupDescription.isEmpty());
    QCOMPARE(
        m_db.scalar(QStringLiteral("SELECT BENÄMNING FROM Articles WHERE rowid = ?"), hits[0].rowId)
            .toString(),
        QStringLiteral("Zebror"));
}

void TestArticleSearch::hitLeadsToItsGroupRowAndCell()
{
    const QList<ArticleSearch::Hit> hits = ArticleSearch::find(m_db, QStringLiteral("Ärm tre"));
    QCOMPARE(hits.size(), 1);
    const ArticleSelection selection = ArticleSearch::selectionFor(hits[0]);
    QCOMPARE(selection, ArticleSelection::group(QStringLiteral("ABCDI010")));

    ArticleGrid grid;
    grid.setupColumns(m_fields);
    NullProgress progress;
    GridStore::PopulateGrid(m_db, selection, grid, progress);
    const int row = ArticleSearch::gridRowOf(grid, hits[0]);
    QVERIFY(row > 0);
    const int col = ArticleSearch::gridColumnOf(grid, hits[0]);
    QVERIFY(col > 0);
    QCOMPARE(grid.text(row, col).trimmed(), QStringLiteral("Ärm tre"));

    // Not in the grid shown: no row.
    GridStore::PopulateGrid(m_db, ArticleSelection::group(QStringLiteral("ABCDI090")), grid,
                            progress);
    QCOMPARE(ArticleSearch::gridRowOf(grid, hits[0]), -1);
}

QTEST_GUILESS_MAIN(TestArticleSearch)
#include "tst_articlesearch.moc"
