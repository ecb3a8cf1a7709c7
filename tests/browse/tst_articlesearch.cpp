#include "browse/ArticleGrid.h"
#include "browse/ArticleSearch.h"
#include "browse/BrowseCatalogue.h"
#include "browse/GridStore.h"
#include "db/FindIndex.h"
#include "support/IcuSwedish.h"

#include <QFile>
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

// Whether a text finds a cell: always, never, or as ICU's Swedish collation at primary strength
// judges the two.
enum class Finds { Yes, No, AsIcu };

} // namespace

Q_DECLARE_METATYPE(Finds)

class TestArticleSearch : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void find_data();
    void find();
    void textFindsCell_data();
    void textFindsCell();
    void wideTableNamesTheColumn_data();
    void wideTableNamesTheColumn();
    void hitCarriesTheListedFields();
    void hitLeadsToItsGroupRowAndCell();
    void findFollowsChanges_data();
    void findFollowsChanges();
    void importFoldsAsTheIndexDoes();
    void largeCatalogueFindsInBothHalves();

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

void TestArticleSearch::textFindsCell_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("cell");
    QTest::addColumn<Finds>("finds");

    QTest::newRow("accents ignored") << "cafe"
                                     << "CAFÉ" << Finds::Yes;
    QTest::newRow("accents ignored in the text") << "CAFÉ"
                                                 << "cafe" << Finds::Yes;
    QTest::newRow("é is E") << "é"
                            << "E" << Finds::Yes;
    QTest::newRow("mixed case and accents") << "cAfÉ oLÈ"
                                            << "Café Olé" << Finds::Yes;
    QTest::newRow("ç is c, ñ is n") << "francais espana"
                                    << "Français España" << Finds::Yes;
    QTest::newRow("Å Ä Ö ignore case") << "återförsäljare"
                                       << "ÅTERFÖRSÄLJARE" << Finds::Yes;
    QTest::newRow("a is not Å") << "a"
                                << "Å" << Finds::No;
    QTest::newRow("å is not A") << "å"
                                << "A" << Finds::No;
    QTest::newRow("ä is not a") << "ä"
                                << "Á" << Finds::No;
    QTest::newRow("o is not Ö") << "o"
                                << "Ö" << Finds::No;
    QTest::newRow("ä and Æ") << "ä"
                             << "Æ" << Finds::AsIcu;
    QTest::newRow("ö and Ø") << "ö"
                             << "Ø" << Finds::AsIcu;
    QTest::newRow("y and Ü") << "y"
                             << "Ü" << Finds::AsIcu;
    QTest::newRow("ss and ß") << "ss"
                              << "ß" << Finds::AsIcu;
    QTest::newRow("ß and SS") << "ß"
                              << "SS" << Finds::AsIcu;
    QTest::newRow("soft hyphen") << "kabelsko"
                                 << "Kabel\u00ADsko" << Finds::AsIcu;
    QTest::newRow("% is literal") << "%"
                                  << "100%" << Finds::Yes;
    QTest::newRow("% is no wildcard") << "1%0"
                                      << "100" << Finds::No;
    QTest::newRow("_ is literal") << "_"
                                  << "a_b" << Finds::Yes;
    QTest::newRow("_ is no wildcard") << "a_b"
                                      << "axb" << Finds::No;
    QTest::newRow("backslash is literal") << "\\%"
                                          << "5\\%" << Finds::Yes;
}

void TestArticleSearch::textFindsCell()
{
    QFETCH(QString, text);
    QFETCH(QString, cell);
    QFETCH(Finds, finds);

    // The cell goes in the last column of an extra article whose other cells hold none of the
    // texts; it is gone again when the transaction rolls back.
    Transaction scratch(m_db);
    const QString last = m_db.columns(QStringLiteral("Articles")).back().name;
    m_db.prepare(QStringLiteral("INSERT INTO Articles (RAD, BL_NAME, %1) VALUES (99, 'QQQ', ?)")
                     .arg(quoteIdentifier(last)))
        .bind(1, cell)
        .run();
    const bool expected =
        finds == Finds::AsIcu ? IcuSwedish::equalAtPrimary(text, cell) : finds == Finds::Yes;

    QStringList columns;
    for (const ArticleSearch::Hit &hit : ArticleSearch::find(m_db, text)) {
        if (hit.blockName == QLatin1String("QQQ"))
            columns << hit.column;
    }
    QCOMPARE(columns, expected ? QStringList{last} : QStringList{});
}

void TestArticleSearch::wideTableNamesTheColumn_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("first call") << "w1" << QStringList{"BL_NAME"};
    QTest::newRow("second call") << "creme" << QStringList{"F150"};
    QTest::newRow("third call") << "BRULEE" << QStringList{"F240"};
    QTest::newRow("none") << "finns inte" << QStringList{};
}

void TestArticleSearch::wideTableNamesTheColumn()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);

    // More columns than one SQL function call may take, so the search makes several.
    Database db(m_dir.filePath(QStringLiteral("wide.tdb")), Database::OpenMode::Create);
    QStringList columns{QStringLiteral("RAD INTEGER"), QStringLiteral("BL_NAME VARCHAR(10)")};
    for (int i = 1; i <= 250; ++i)
        columns << QStringLiteral("F%1 VARCHAR(10)").arg(i);
    db.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS Articles (%1);"
                           "CREATE TABLE IF NOT EXISTS Designations (BL_NAME, DESCRIPTION);"
                           "DELETE FROM Articles;"
                           "INSERT INTO Articles (RAD, BL_NAME, F150, F240) "
                           "VALUES (1, 'W1', 'Crème', 'brûlée')")
                .arg(columns.join(QStringLiteral(", "))));

    QStringList found;
    for (const ArticleSearch::Hit &hit : ArticleSearch::find(db, text))
        found << hit.column;
    QCOMPARE(found, expected);
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

// The import folds each article as it loads it; the index must hold what folding the stored
// cells afterwards gives, or a find would miss what a rebuilt index finds.
void TestArticleSearch::importFoldsAsTheIndexDoes()
{
    QStringList cells;
    for (const ColumnInfo &c : m_db.columns(QStringLiteral("Articles")))
        cells << QStringLiteral("a.") + quoteIdentifier(c.name);
    const QString differing =
        QStringLiteral("SELECT count(*) FROM Articles a LEFT JOIN MSysFindText f ON f.id = a.rowid "
                       "WHERE f.folded IS NOT SV_FOLDROW(%1) OR f.block IS NOT a.BL_NAME "
                       "OR f.rad IS NOT a.RAD")
            .arg(cells.join(QStringLiteral(", ")));
    QCOMPARE(m_db.scalar(differing).toInt(), 0);
    QCOMPARE(m_db.scalar(QStringLiteral("SELECT count(*) FROM MSysFindText")).toInt(),
             m_db.scalar(QStringLiteral("SELECT count(*) FROM Articles")).toInt());
}

// A catalogue large enough to be searched by two readers finds what one reader would: hits of
// both halves, groups met only in the later half, in the order of the hits.
void TestArticleSearch::largeCatalogueFindsInBothHalves()
{
    QTemporaryDir dir;
    QStringList lines;
    QStringList expected;
    for (int group = 100; group < 125; ++group) {
        const QString block = QStringLiteral("ABCDI%1").arg(group);
        lines << line(block, "-", QStringLiteral("Grupp %1").arg(group));
        for (int n = 1; n < 1000; ++n) {
            const bool hit = n % 400 == 0;
            if (hit)
                expected << QStringLiteral("%1/%2/BENÄMNING").arg(block).arg(lines.size());
            lines << line(block, QString::number(n), hit ? "Nålbrev" : "Artikel");
        }
    }
    Database db = BrowseCatalogue::import(dir.path(), lines);
    QCOMPARE(described(ArticleSearch::find(db, "NÅLBREV", 500)), expected);
}

QTEST_GUILESS_MAIN(TestArticleSearch)
#include "tst_articlesearch.moc"

// The kept folded text must answer as folding every cell would, whoever changed the file and
// however; a file without it (an older database) is searched too.
void TestArticleSearch::findFollowsChanges_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("otherConnection");
    QTest::addColumn<QStringList>("expected");

    const QString set = QStringLiteral("UPDATE Articles SET BL_NAME = 'ZZZZI050', RAD = 7 WHERE "
                                       "rowid = (SELECT min(rowid) FROM Articles); ");
    const QString mark = QStringLiteral("UPDATE Articles SET %1 = 'Zebraöl' WHERE rowid = (SELECT "
                                        "min(rowid) FROM Articles)");
    QTest::newRow("edited and saved") << set + mark << false << QStringList{"ZZZZI050/7/%1"};
    QTest::newRow("edited by another program")
        << set + mark << true << QStringList{"ZZZZI050/7/%1"};
    QTest::newRow("added") << QStringLiteral("INSERT INTO Articles (RAD, BL_NAME, %1) VALUES "
                                             "(5, 'YYYYI050', 'ett ZEBRAÖL')")
                           << false << QStringList{"YYYYI050/5/%1"};
    QTest::newRow("all deleted") << QStringLiteral("DELETE FROM Articles; SELECT '%1'") << false
                                 << QStringList{};
    QTest::newRow("index dropped, then edited")
        << QStringLiteral("DROP TABLE MSysFindText; DROP TABLE MSysFindState; ") + set + mark
        << true << QStringList{"ZZZZI050/7/%1"};
    QTest::newRow("index of an older version (folded text only), then edited")
        << QStringLiteral("ALTER TABLE MSysFindText DROP COLUMN rad; "
                          "ALTER TABLE MSysFindText DROP COLUMN block; ") +
               set + mark
        << false << QStringList{"ZZZZI050/7/%1"};
    QTest::newRow("column added, then edited")
        << QStringLiteral("ALTER TABLE Articles ADD COLUMN EXTRA TEXT; ") + set +
               QStringLiteral("UPDATE Articles SET EXTRA = 'zebraöl' WHERE rowid = (SELECT "
                              "min(rowid) FROM Articles); SELECT '%1'")
        << false << QStringList{"ZZZZI050/7/EXTRA"};
}

void TestArticleSearch::findFollowsChanges()
{
    QFETCH(QString, change);
    QFETCH(bool, otherConnection);
    QFETCH(QStringList, expected);

    const QString path = m_dir.filePath(QStringLiteral("follows.tdb"));
    QFile::remove(path);
    QVERIFY(QFile::copy(m_db.path(), path));
    Database db(path, Database::OpenMode::ReadWrite);
    // Searched once first, so the index is in use before the change.
    QVERIFY(ArticleSearch::find(db, QStringLiteral("zebraöl")).isEmpty());
    {
        ReadTransaction r(db);
        QVERIFY(FindIndex::isCurrent(db));
    }
    const QString last = db.columns(QStringLiteral("Articles")).back().name;
    if (otherConnection) {
        Database other(path, Database::OpenMode::ReadWrite);
        other.exec(change.arg(quoteIdentifier(last)));
    } else {
        db.exec(change.arg(quoteIdentifier(last)));
    }
    QStringList want;
    for (const QString &hit : expected)
        want << QString(hit).replace(QLatin1String("%1"), last);
    QCOMPARE(described(ArticleSearch::find(db, QStringLiteral("zebraöl"))), want);
    ReadTransaction read(db);
    QVERIFY(FindIndex::isCurrent(db));
}
