#include "edit/AccessoryPick.h"

#include "browse/ArticleGrid.h"
#include "core/Settings.h"
#include "db/Database.h"
#include "db/Schema.h"

#include "support/GridFixture.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(ArticleGrid::CellRange)

using AccessoryPick::Group;

namespace {

// Eleven columns, so the preview's seven (from the fourth on) leave the last one out.
FieldList articleFields()
{
    FieldList fields = rowNumberOnlyFieldList();
    const QList<QPair<QString, int>> named{
        {"BL_NAME", 8}, {"TYP", 3},   {"BENÄMNING", 20}, {"FABRIKAT", 12}, {"ARTNR", 10},
        {"PRIS", 8},    {"ENHET", 4}, {"KLASS", 4},      {"TBH/APP", 8},   {"CCONF", 10}};
    int start = 1;
    for (const auto &[name, length] : named) {
        fields.append({name, {}, length, start});
        start += length;
    }
    return fields;
}

void addGroup(Database &db, const QString &blockName, const QVariant &description)
{
    db.prepare("INSERT INTO Designations (BL_NAME, DESCRIPTION) VALUES (?, ?)")
        .bind(1, blockName)
        .bindVariant(2, description)
        .run();
}

void addArticle(Database &db, int rad, const QString &blockName, const QString &type,
                const QString &designation, const QVariant &manufacturer = QString())
{
    db.prepare("INSERT INTO Articles (RAD, BL_NAME, TYP, \"BENÄMNING\", FABRIKAT, ARTNR, PRIS, "
               "ENHET, KLASS, \"TBH/APP\", CCONF) VALUES (?, ?, ?, ?, ?, 'A1', '10', 'st', "
               "'K', 'ABCD#009', 'C')")
        .bind(1, qint64(rad))
        .bind(2, blockName)
        .bind(3, type)
        .bind(4, designation)
        .bindVariant(5, manufacturer)
        .run();
}

QStringList blockNames(const QList<Group> &groups)
{
    QStringList names;
    for (const Group &group : groups)
        names << group.blockName;
    return names;
}

QStringList column(const ArticleGrid &grid, int c)
{
    QStringList values;
    for (int r = 1; r < grid.rows(); ++r)
        values << grid.text(r, c);
    return values;
}

// RAD, BL_NAME, TYP, BENÄMNING, TBH/APP (8 characters), CCONF; six articles.
constexpr int kTbhApp = 5;
ArticleGrid articleGrid()
{
    const FieldList fields{{"RAD", {}, 6, 0},      {"BL_NAME", {}, 8, 1},
                           {"TYP", {}, 3, 9},      {"BENÄMNING", {}, 20, 12},
                           {"TBH/APP", {}, 8, 32}, {"CCONF", {}, 10, 40}};
    ArticleGrid grid;
    grid.setupColumns(fields);
    for (int r = 1; r <= 6; ++r)
        grid.AddGridRow({QString(), QString::number(r * 10), "ABCDI010", "1",
                         QStringLiteral("Artikel %1").arg(r), "old", "C"},
                        r);
    return grid;
}

} // namespace

class TestAccessoryPick : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void prefixComesFromTheMachineThenTheUser_data();
    void prefixComesFromTheMachineThenTheUser();
    void groupsBeginWithThePrefix_data();
    void groupsBeginWithThePrefix();
    void noGroupsMessageNamesThePrefix();

    void previewShowsTheFirstTenArticlesByRowAndType();
    void previewOfGroupsWithoutArticlesOrWithApostrophes();
    void previewOfANarrowTable();
    void previewWithoutADatabaseFails();

    void writeBlockName_data();
    void writeBlockName();

private:
    QTemporaryDir m_dir;
    Database m_db;
};

void TestAccessoryPick::initTestCase()
{
    QVERIFY(m_dir.isValid());
    TestFiles::isolateSettings(m_dir.path());
    m_db.open(m_dir.filePath("picker.tdb"), Database::OpenMode::Create);
    Schema::createTables(m_db, articleFields());

    addGroup(m_db, "ABCDI010", "Armatur");
    addGroup(m_db, "ABCD#001", "TILLBEHÖR kabel");
    addGroup(m_db, "ABCD#002", "Tillbehör kontakt");
    addGroup(m_db, "ABCD#003", "tillb. skruv");
    addGroup(m_db, "ABCD#004", "Kabel TILLB");
    addGroup(m_db, "ABCD#005", "ÅTERFÖRSÄLJARE A");
    addGroup(m_db, "ABCD#006", "återförsäljare b");
    addGroup(m_db, "ABCD#007", "Ölkorg");
    addGroup(m_db, "ABCD#008", "100% rabatt");
    addGroup(m_db, "ABCD#009", "1000 rabatt");
    addGroup(m_db, "ABCD#010", "A_B del");
    addGroup(m_db, "ABCD#011", "AXB del");
    addGroup(m_db, "AB'D#012", "O'Brien tillbehör");
    addGroup(m_db, "ABCD#013", "C:\\TILLB");
    addGroup(m_db, "ABCD#015", "TILLB X");
    addGroup(m_db, "ABCD#014", "tillb x");
    addGroup(m_db, "ABCD#016", "Olja");
    addGroup(m_db, "ABCD#017", QVariant()); // no description at all

    // 25 articles in ABCD#001, stored out of order; RAD 30 twice, told apart by type.
    const QList<int> rads{250, 30,  120, 10,  90, 200, 60,  150, 20,  240, 80,  110,
                          50,  180, 40,  140, 70, 230, 100, 160, 210, 170, 130, 190};
    for (int i = 0; i < rads.size(); ++i)
        addArticle(m_db, rads.at(i), "ABCD#001", "2", QStringLiteral("Artikel %1").arg(rads.at(i)));
    addArticle(m_db, 30, "ABCD#001", "1", "Artikel 30 typ 1", QVariant());
    addArticle(m_db, 5, "AB'D#012", "1", "Irländsk plint");
    addArticle(m_db, 1, "ABCDI010", "1", "Lysrörsarmatur");
}

void TestAccessoryPick::prefixComesFromTheMachineThenTheUser_data()
{
    QTest::addColumn<QString>("machine");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("expected");
    QTest::newRow("nothing stored") << ""
                                    << ""
                                    << "TILLB";
    QTest::newRow("the user's") << ""
                                << "Tbh"
                                << "Tbh";
    QTest::newRow("the installation's first") << "ACC"
                                              << "Tbh"
                                              << "ACC";
    QTest::newRow("the installation's alone") << "ACC"
                                              << ""
                                              << "ACC";
}

void TestAccessoryPick::prefixComesFromTheMachineThenTheUser()
{
    QFETCH(QString, machine);
    QFETCH(QString, user);
    QFETCH(QString, expected);
    Settings::save(Settings::AccessoriesPrefix, machine);
    Settings::save(Settings::TbhPrefix, user);
    QCOMPARE(AccessoryPick::accessoryPrefix(), expected);
    Settings::save(Settings::AccessoriesPrefix, QString());
    Settings::save(Settings::TbhPrefix, QString());
}

void TestAccessoryPick::groupsBeginWithThePrefix_data()
{
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QStringList>("expected");
    // Case ignored; ordered by description in Swedish order, equal ones by block name.
    const QStringList tillb{"ABCD#014", "ABCD#015", "ABCD#003", "ABCD#001", "ABCD#002"};
    QTest::newRow("upper case") << "TILLB" << tillb;
    QTest::newRow("lower case") << "tillb" << tillb;
    QTest::newRow("longer prefix") << "Tillbehör k" << QStringList{"ABCD#001", "ABCD#002"};
    QTest::newRow("Å in upper case") << "ÅTERF" << QStringList{"ABCD#005", "ABCD#006"};
    QTest::newRow("å in lower case") << "återf" << QStringList{"ABCD#005", "ABCD#006"};
    QTest::newRow("ö finds Ö") << "ö" << QStringList{"ABCD#007"};
    QTest::newRow("o does not find Ö") << "o" << QStringList{"AB'D#012", "ABCD#016"};
    QTest::newRow("% is a plain character") << "100%" << QStringList{"ABCD#008"};
    QTest::newRow("_ is a plain character") << "a_b" << QStringList{"ABCD#010"};
    QTest::newRow("backslash is a plain character") << "c:\\" << QStringList{"ABCD#013"};
    QTest::newRow("apostrophe") << "o'b" << QStringList{"AB'D#012"};
    QTest::newRow("nothing begins so") << "XYZ" << QStringList{};
    QTest::newRow("empty prefix: every described group")
        << "" << QStringList{"ABCD#008", "ABCD#009", "ABCD#010", "ABCDI010", "ABCD#011", "ABCD#013",
                             "ABCD#004", "AB'D#012", "ABCD#016", "ABCD#014", "ABCD#015", "ABCD#003",
                             "ABCD#001", "ABCD#002", "ABCD#005", "ABCD#006", "ABCD#007"};
}

void TestAccessoryPick::groupsBeginWithThePrefix()
{
    QFETCH(QString, prefix);
    QFETCH(QStringList, expected);
    const QList<Group> groups = AccessoryPick::accessoryGroups(m_db, prefix);
    QCOMPARE(blockNames(groups), expected);
    for (const Group &group : groups)
        QVERIFY(group.description.startsWith(prefix, Qt::CaseInsensitive));
}

void TestAccessoryPick::noGroupsMessageNamesThePrefix()
{
    QCOMPARE(AccessoryPick::noGroupsTitle(), QStringLiteral("Inga tillbehörsgrupper"));
    QCOMPARE(AccessoryPick::noGroupsText("TILLB"),
             QStringLiteral("Det finns inga artikelgrupper som linleds med 'TILLB'"));
}

void TestAccessoryPick::previewShowsTheFirstTenArticlesByRowAndType()
{
    const AccessoryPick::Preview preview = AccessoryPick::previewArticles(m_db, "ABCD#001");
    QCOMPARE(preview.fields,
             (QStringList{"BENÄMNING", "FABRIKAT", "ARTNR", "PRIS", "ENHET", "KLASS", "TBH/APP"}));
    QStringList designations;
    for (const QStringList &row : preview.rows) {
        QCOMPARE(row.size(), AccessoryPick::kPreviewFields);
        designations << row.first();
    }
    QCOMPARE(designations, (QStringList{"Artikel 10", "Artikel 20", "Artikel 30 typ 1",
                                        "Artikel 30", "Artikel 40", "Artikel 50", "Artikel 60",
                                        "Artikel 70", "Artikel 80", "Artikel 90"}));
    // A missing value shows as empty text.
    QCOMPARE(preview.rows.at(2),
             (QStringList{"Artikel 30 typ 1", "", "A1", "10", "st", "K", "ABCD#009"}));
}

void TestAccessoryPick::previewOfGroupsWithoutArticlesOrWithApostrophes()
{
    QVERIFY(AccessoryPick::previewArticles(m_db, "ABCD#002").isEmpty());
    QVERIFY(AccessoryPick::previewArticles(m_db, "").isEmpty());
    const AccessoryPick::Preview quoted = AccessoryPick::previewArticles(m_db, "AB'D#012");
    QCOMPARE(quoted.rows.size(), 1);
    QCOMPARE(quoted.rows.first().first(), QStringLiteral("Irländsk plint"));
}

void TestAccessoryPick::previewOfANarrowTable()
{
    // Fewer fields than the preview has room for, and no TYP column to order by.
    Database db(m_dir.filePath("narrow.tdb"), Database::OpenMode::Create);
    FieldList fields = rowNumberOnlyFieldList();
    fields.append({"BL_NAME", {}, 8, 1});
    fields.append({"ARTNR", {}, 8, 9});
    fields.append({"BENÄMNING", {}, 20, 17});
    Schema::createTables(db, fields);
    for (const int rad : {20, 10})
        db.prepare("INSERT INTO Articles VALUES (?, 'ABCD#001', 'A', ?)")
            .bind(1, qint64(rad))
            .bind(2, QStringLiteral("Artikel %1").arg(rad))
            .run();
    const AccessoryPick::Preview preview = AccessoryPick::previewArticles(db, "ABCD#001");
    QCOMPARE(preview.fields, QStringList{"BENÄMNING"});
    QCOMPARE(preview.rows, (QList<QStringList>{{"Artikel 10"}, {"Artikel 20"}}));
}

void TestAccessoryPick::previewWithoutADatabaseFails()
{
    Database closed;
    QVERIFY_THROWS_EXCEPTION(DbError, AccessoryPick::previewArticles(closed, "ABCD#001"));
    QVERIFY_THROWS_EXCEPTION(DbError, AccessoryPick::accessoryGroups(closed, "TILLB"));
}

void TestAccessoryPick::writeBlockName_data()
{
    QTest::addColumn<ArticleGrid::CellRange>("selection");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("tbhApp"); // the column afterwards, rows 1-6
    QTest::addColumn<ArticleGrid::CellRange>("written");
    QTest::addColumn<int>("cut");

    const QStringList untouched{"old", "old", "old", "old", "old", "old"};
    const ArticleGrid::CellRange none{1, 1, 0, 0};
    QTest::newRow("rows 3 to 5") << ArticleGrid::CellRange{3, kTbhApp, 5, kTbhApp} << "ABCD#001"
                                 << QStringList{"old",      "old",      "ABCD#001",
                                                "ABCD#001", "ABCD#001", "old"}
                                 << ArticleGrid::CellRange{3, kTbhApp, 5, kTbhApp} << 0;
    QTest::newRow("selected upwards")
        << ArticleGrid::CellRange{5, kTbhApp, 3, kTbhApp} << "ABCD#001"
        << QStringList{"old", "old", "ABCD#001", "ABCD#001", "ABCD#001", "old"}
        << ArticleGrid::CellRange{3, kTbhApp, 5, kTbhApp} << 0;
    QTest::newRow("only the first selected column")
        << ArticleGrid::CellRange{2, kTbhApp, 2, kTbhApp + 1} << "ABCD#001"
        << QStringList{"old", "ABCD#001", "old", "old", "old", "old"}
        << ArticleGrid::CellRange{2, kTbhApp, 2, kTbhApp} << 0;
    QTest::newRow("apostrophe") << ArticleGrid::CellRange{1, kTbhApp, 1, kTbhApp} << "AB'D#012"
                                << QStringList{"AB'D#012", "old", "old", "old", "old", "old"}
                                << ArticleGrid::CellRange{1, kTbhApp, 1, kTbhApp} << 0;
    QTest::newRow("rows the grid lost are skipped")
        << ArticleGrid::CellRange{5, kTbhApp, 9, kTbhApp} << "ABCD#001"
        << QStringList{"old", "old", "old", "old", "ABCD#001", "ABCD#001"}
        << ArticleGrid::CellRange{5, kTbhApp, 6, kTbhApp} << 0;
    QTest::newRow("longer than the field is cut")
        << ArticleGrid::CellRange{1, kTbhApp, 2, kTbhApp} << "ABCD#0012345"
        << QStringList{"ABCD#001", "ABCD#001", "old", "old", "old", "old"}
        << ArticleGrid::CellRange{1, kTbhApp, 2, kTbhApp} << 2;
    QTest::newRow("empty name writes nothing")
        << ArticleGrid::CellRange{3, kTbhApp, 5, kTbhApp} << "" << untouched << none << 0;
    QTest::newRow("never into BL_NAME")
        << ArticleGrid::CellRange{3, 2, 5, 2} << "ABCD#001" << untouched << none << 0;
    QTest::newRow("never into TYP")
        << ArticleGrid::CellRange{3, 3, 5, kTbhApp} << "ABCD#001" << untouched << none << 0;
    QTest::newRow("off the data") << ArticleGrid::CellRange{8, kTbhApp, 9, kTbhApp} << "ABCD#001"
                                  << untouched << none << 0;
}

void TestAccessoryPick::writeBlockName()
{
    QFETCH(ArticleGrid::CellRange, selection);
    QFETCH(QString, name);
    QFETCH(QStringList, tbhApp);
    QFETCH(ArticleGrid::CellRange, written);
    QFETCH(int, cut);

    ArticleGrid grid = articleGrid();
    const ArticleGrid::CellRange before{6, 4, 6, 4};
    grid.setSelection(before);
    const QStringList designations = column(grid, 4);

    const AccessoryPick::Result result = AccessoryPick::writeBlockName(grid, selection, name);

    QCOMPARE(column(grid, kTbhApp), tbhApp);
    QCOMPARE(column(grid, 4), designations);
    QCOMPARE(column(grid, kTbhApp + 1), QStringList(6, "C"));
    const bool edited = written.r1 <= written.r2;
    QCOMPARE(result.edited, edited);
    QCOMPARE(result.cuts.count(), cut);
    if (edited) {
        QCOMPARE(result.change, GridChange::cellsChanged(written));
        QCOMPARE(grid.selection(), written);
    } else {
        QCOMPARE(result.change, GridChange::nothing());
        QCOMPARE(grid.selection(), before);
    }
}

QTEST_GUILESS_MAIN(TestAccessoryPick)
#include "tst_accessorypick.moc"
