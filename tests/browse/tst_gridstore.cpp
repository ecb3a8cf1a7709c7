#include "browse/ArticleGrid.h"
#include "browse/ArticleSelection.h"
#include "browse/BrowseCatalogue.h"
#include "browse/GridStore.h"

#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(ArticleSelection)

using BrowseCatalogue::rowsOf;

namespace {

const QStringList kHeader{"", "RAD", "BL_NAME", "TYP", "BENÄMNING", "FABRIKAT"};

// The standard catalogue and a grid set up for its fields.
struct Fixture
{
    QTemporaryDir dir;
    FieldList fields;
    Database db;
    ArticleGrid grid;

    Fixture()
    {
        db = BrowseCatalogue::standard(dir.path(), &fields);
        grid.setupColumns(fields);
    }

    void populate(const ArticleSelection &selection)
    {
        NullProgress progress;
        GridStore::PopulateGrid(db, selection, grid, progress);
    }

    void setCell(int row, const QString &column, const QString &text)
    {
        const int c = grid.GetColumn(column);
        QVERIFY(c > 0);
        grid.setText(row, c, text);
    }
};

// Every row of the grid, header included, its cells joined by "|".
QStringList gridRows(const ArticleGrid &grid)
{
    QStringList rows;
    for (int r = 0; r < grid.rows(); ++r) {
        QStringList cells;
        for (int c = 0; c < grid.cols(); ++c)
            cells << grid.text(r, c);
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

QStringList withHeader(const QStringList &rows)
{
    return QStringList{kHeader.join(QLatin1Char('|'))} + rows;
}

QString selectionText(const ArticleGrid::CellRange &range)
{
    return QStringLiteral("%1,%2,%3,%4").arg(range.r1).arg(range.c1).arg(range.r2).arg(range.c2);
}

QStringList designations(Database &db)
{
    return rowsOf(db, QStringLiteral("SELECT * FROM Designations ORDER BY BL_NAME"));
}

const QStringList kRootRows{"|12|ABCDI080|1|Apparater|Nordel",
                            "|8|ABCDI050|1|banor|Lindqvist",
                            "|10|ABCDI020|1|Cyklar|Nordel",
                            "|3|ABCDI030|1|Samma|Nordel",
                            "|4|ABCDI040|1|samma|Åkerby",
                            "|6|ABCDI030|2|Samma två|Nordel",
                            "|7|ABCDI040|2|samma två|Åkerby",
                            "|13|ABCDI090|1|Zebror|Nordel",
                            "|9|AB'DI060|1|Åsnor|O'Brien",
                            "|0|ABCDI010|3|Ärm tre|Nordel",
                            "|1|ABCDI010|2|Ärm två|O'Brien",
                            "|5|ABCDI010|1|Ärmar|Nordel",
                            "|11|ABCDI070|1|Öglor|"};

} // namespace

class TestGridStore : public QObject
{
    Q_OBJECT

private slots:
    void populateShowsTheSelection_data();
    void populateShowsTheSelection();
    void nullShowsAsEmptyText();

    void saveWritesTheEditedCell_data();
    void saveWritesTheEditedCell();
    void rootSaveRewritesEveryShownArticle();
    void columnsMissingFromTheGridAreStoredAsNull();
    void savingAnEmptiedGrid_data();
    void savingAnEmptiedGrid();
    void failedSaveChangesNothing_data();
    void failedSaveChangesNothing();
};

void TestGridStore::populateShowsTheSelection_data()
{
    QTest::addColumn<ArticleSelection>("selection");
    QTest::addColumn<QStringList>("rows");

    QTest::newRow("group") << ArticleSelection::group("ABCDI010")
                           << QStringList{"|0|ABCDI010|3|Ärm tre|Nordel",
                                          "|1|ABCDI010|2|Ärm två|O'Brien",
                                          "|5|ABCDI010|1|Ärmar|Nordel"};
    QTest::newRow("manufacturer with apostrophes")
        << ArticleSelection::manufacturer("O'Brien", "AB'DI060")
        << QStringList{"|9|AB'DI060|1|Åsnor|O'Brien"};
    // The root's columns stay aligned with the header: no group description among them.
    QTest::newRow("root") << ArticleSelection::root() << kRootRows;
    QTest::newRow("group without articles") << ArticleSelection::group("ABCDI777") << QStringList{};
    QTest::newRow("invalid selection") << ArticleSelection() << QStringList{};
}

void TestGridStore::populateShowsTheSelection()
{
    QFETCH(ArticleSelection, selection);
    QFETCH(QStringList, rows);

    Fixture f;
    // Whatever was shown before goes.
    f.populate(ArticleSelection::root());
    f.grid.setSelection({3, 2, 5, 4});

    f.populate(selection);
    QCOMPARE(gridRows(f.grid), withHeader(rows));
    QCOMPARE(selectionText(f.grid.selection()), QString(rows.isEmpty() ? "0,0,0,0" : "1,1,1,1"));
}

void TestGridStore::nullShowsAsEmptyText()
{
    Fixture f;
    f.db.exec("UPDATE Articles SET TYP = NULL WHERE RAD = 1");
    f.db.exec("UPDATE Articles SET FABRIKAT = NULL WHERE RAD = 5");
    f.populate(ArticleSelection::group("ABCDI010"));
    QCOMPARE(gridRows(f.grid),
             withHeader({"|0|ABCDI010|3|Ärm tre|Nordel", "|1|ABCDI010||Ärm två|O'Brien",
                         "|5|ABCDI010|1|Ärmar|"}));
}

void TestGridStore::saveWritesTheEditedCell_data()
{
    QTest::addColumn<ArticleSelection>("selection");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("rad");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("description");

    const ArticleSelection armar = ArticleSelection::group("ABCDI010");
    const QString sixty = QString("Lång benämning ").repeated(4);
    QCOMPARE(sixty.size(), 60);

    // A group's description follows the designation of grid row 1 at every save.
    QTest::newRow("designation of row 1") << armar << 1 << "BENÄMNING"
                                          << "Nya ärmar" << 0 << "Nya ärmar"
                                          << "ABCDI010"
                                          << "Nya ärmar";
    QTest::newRow("another row") << armar << 2 << "TYP"
                                 << "7" << 1 << "7"
                                 << "ABCDI010"
                                 << "Ärm tre";
    QTest::newRow("designation longer than both fields")
        << armar << 1 << "BENÄMNING" << sixty << 0 << sixty.left(20) << "ABCDI010"
        << sixty.left(50);
    QTest::newRow("type cut to its field") << armar << 1 << "TYP"
                                           << "12345" << 0 << "123"
                                           << "ABCDI010"
                                           << "Ärm tre";
    QTest::newRow("Swedish letters cut by character") << armar << 3 << "FABRIKAT"
                                                      << "ÅÄÖåäöÅÄÖåäöÅÄÖ" << 5 << "ÅÄÖåäöÅÄÖåäö"
                                                      << "ABCDI010"
                                                      << "Ärm tre";
    QTest::newRow("manufacturer leaves the description")
        << ArticleSelection::manufacturer("Nordel", "ABCDI010") << 1 << "BENÄMNING"
        << "Ny" << 0 << "Ny"
        << "ABCDI010"
        << "Ärmar";
    QTest::newRow("root leaves the description") << ArticleSelection::root() << 10 << "BENÄMNING"
                                                 << "Ny" << 0 << "Ny"
                                                 << "ABCDI010"
                                                 << "Ärmar";
    QTest::newRow("apostrophes") << ArticleSelection::group("AB'DI060") << 1 << "BENÄMNING"
                                 << "O'Neills åsnor" << 9 << "O'Neills åsnor"
                                 << "AB'DI060"
                                 << "O'Neills åsnor";
}

void TestGridStore::saveWritesTheEditedCell()
{
    QFETCH(ArticleSelection, selection);
    QFETCH(int, row);
    QFETCH(QString, column);
    QFETCH(QString, text);
    QFETCH(int, rad);
    QFETCH(QString, stored);
    QFETCH(QString, group);
    QFETCH(QString, description);

    Fixture f;
    const QString others =
        QStringLiteral("SELECT * FROM Articles WHERE RAD <> %1 ORDER BY RAD").arg(rad);
    const QStringList othersBefore = rowsOf(f.db, others);
    f.populate(selection);
    f.setCell(row, column, text);
    const QStringList expected = gridRows(f.grid);

    GridStore::saveGrid(f.db, selection, f.grid);

    QCOMPARE(rowsOf(f.db, QStringLiteral("SELECT %1 FROM Articles WHERE RAD = %2")
                              .arg(quoteIdentifier(column))
                              .arg(rad)),
             QStringList{stored});
    QCOMPARE(rowsOf(f.db, others), othersBefore);
    QCOMPARE(
        f.db.scalar("SELECT DESCRIPTION FROM Designations WHERE BL_NAME = ?", group).toString(),
        description);
    // Shown again: the edited cell as stored, every other cell as it was saved.
    f.populate(selection);
    QCOMPARE(f.grid.text(row, f.grid.GetColumn(column)), stored);
    f.setCell(row, column, text);
    QCOMPARE(gridRows(f.grid), expected);
}

void TestGridStore::rootSaveRewritesEveryShownArticle()
{
    Fixture f;
    const QStringList designationsBefore = designations(f.db);
    f.populate(ArticleSelection::root());
    f.setCell(1, "BENÄMNING", "Nya apparater");
    f.setCell(4, "TYP", "9");
    f.setCell(12, "FABRIKAT", "Åkerby");
    const QStringList edited = gridRows(f.grid);
    QCOMPARE(edited.at(4), QString("|3|ABCDI030|9|Samma|Nordel"));
    QCOMPARE(edited.at(12), QString("|5|ABCDI010|1|Ärmar|Åkerby"));

    GridStore::saveGrid(f.db, ArticleSelection::root(), f.grid);

    f.populate(ArticleSelection::root());
    QCOMPARE(gridRows(f.grid), edited);
    QCOMPARE(designations(f.db), designationsBefore);
    // The article of the unregistered group was not shown and is kept.
    QCOMPARE(f.db.scalar("SELECT COUNT(*) FROM Articles").toInt(), 14);
    QCOMPARE(rowsOf(f.db, "SELECT * FROM Articles WHERE BL_NAME = 'ABCDI099'"),
             QStringList{"2|ABCDI099|1|Utan grupp|Nordel"});
}

void TestGridStore::columnsMissingFromTheGridAreStoredAsNull()
{
    Fixture f;
    FieldList withoutManufacturer = f.fields;
    withoutManufacturer.removeLast();
    f.grid.setupColumns(withoutManufacturer);
    f.populate(ArticleSelection::group("ABCDI010"));

    GridStore::saveGrid(f.db, ArticleSelection::group("ABCDI010"), f.grid);

    QCOMPARE(rowsOf(f.db, "SELECT * FROM Articles WHERE BL_NAME = 'ABCDI010' ORDER BY RAD"),
             QStringList({"0|ABCDI010|3|Ärm tre|<NULL>", "1|ABCDI010|2|Ärm två|<NULL>",
                          "5|ABCDI010|1|Ärmar|<NULL>"}));
}

void TestGridStore::savingAnEmptiedGrid_data()
{
    QTest::addColumn<ArticleSelection>("selection");
    QTest::addColumn<QStringList>("articlesLeft");
    QTest::addColumn<QStringList>("groupsLeft");
    QTest::addColumn<QStringList>("equivalencesLeft");

    const QStringList allArticles{"ABCDI010/3", "ABCDI010/2", "ABCDI099/1", "ABCDI030/1",
                                  "ABCDI040/1", "ABCDI010/1", "ABCDI030/2", "ABCDI040/2",
                                  "ABCDI050/1", "AB'DI060/1", "ABCDI020/1", "ABCDI070/1",
                                  "ABCDI080/1", "ABCDI090/1"};
    const QStringList allGroups{"AB'DI060", "ABCDI010", "ABCDI020", "ABCDI030", "ABCDI040",
                                "ABCDI050", "ABCDI070", "ABCDI080", "ABCDI090"};
    const QStringList allEquivalences{"ABCDI071/=ABCDI010", "ABCDI072/=ABCDI020",
                                      "ABCDI073/Vanlig",    "ABCDI010/Egen rad",
                                      "ABCDI075/=ABCDI010", "ABCDI074/=AB'DI060"};
    const auto without = [](QStringList list, const QStringList &gone) {
        for (const QString &item : gone)
            list.removeOne(item);
        return list;
    };

    // The group goes with every equivalence that refers to it; the other rows stay.
    QTest::newRow("group") << ArticleSelection::group("ABCDI010")
                           << without(allArticles, {"ABCDI010/3", "ABCDI010/2", "ABCDI010/1"})
                           << without(allGroups, {"ABCDI010"})
                           << without(allEquivalences,
                                      {"ABCDI071/=ABCDI010", "ABCDI075/=ABCDI010"});
    QTest::newRow("group with apostrophe")
        << ArticleSelection::group("AB'DI060") << without(allArticles, {"AB'DI060/1"})
        << without(allGroups, {"AB'DI060"}) << without(allEquivalences, {"ABCDI074/=AB'DI060"});
    // The group keeps its other manufacturers, so it stays registered.
    QTest::newRow("manufacturer, others remain")
        << ArticleSelection::manufacturer("Nordel", "ABCDI010")
        << without(allArticles, {"ABCDI010/3", "ABCDI010/1"}) << allGroups << allEquivalences;
    QTest::newRow("manufacturer, the group's last")
        << ArticleSelection::manufacturer("Åkerby", "ABCDI040")
        << without(allArticles, {"ABCDI040/1", "ABCDI040/2"}) << without(allGroups, {"ABCDI040"})
        << allEquivalences;
    QTest::newRow("root") << ArticleSelection::root() << QStringList{"ABCDI099/1"} << allGroups
                          << allEquivalences;
}

void TestGridStore::savingAnEmptiedGrid()
{
    QFETCH(ArticleSelection, selection);
    QFETCH(QStringList, articlesLeft);
    QFETCH(QStringList, groupsLeft);
    QFETCH(QStringList, equivalencesLeft);

    Fixture f;
    f.populate(selection);
    QVERIFY(f.grid.rows() > 1);
    f.grid.setRows(1);

    GridStore::saveGrid(f.db, selection, f.grid);

    QCOMPARE(rowsOf(f.db, "SELECT BL_NAME || '/' || TYP FROM Articles ORDER BY RAD"), articlesLeft);
    QCOMPARE(rowsOf(f.db, "SELECT BL_NAME FROM Designations ORDER BY BL_NAME"), groupsLeft);
    QCOMPARE(rowsOf(f.db, "SELECT BL_NAME || '/' || \"BENÄMNING\" FROM Eqv ORDER BY RAD"),
             equivalencesLeft);
}

void TestGridStore::failedSaveChangesNothing_data()
{
    QTest::addColumn<ArticleSelection>("selection");
    QTest::addColumn<bool>("emptied");
    QTest::addColumn<QString>("trigger");

    const QString failingInsert = "CREATE TRIGGER fail BEFORE INSERT ON Articles WHEN NEW.RAD = %1 "
                                  "BEGIN SELECT RAISE(ABORT, 'stop'); END";
    const QString failingDelete =
        "CREATE TRIGGER fail BEFORE DELETE ON %1 BEGIN SELECT RAISE(ABORT, 'stop'); END";

    // Each fails after the description was set and some rows were deleted or written.
    QTest::newRow("insert, group")
        << ArticleSelection::group("ABCDI010") << false << failingInsert.arg(5);
    QTest::newRow("insert, manufacturer")
        << ArticleSelection::manufacturer("Nordel", "ABCDI010") << false << failingInsert.arg(5);
    QTest::newRow("insert, root") << ArticleSelection::root() << false << failingInsert.arg(6);
    QTest::newRow("group's removal")
        << ArticleSelection::group("ABCDI010") << true << failingDelete.arg("Designations");
    QTest::newRow("equivalences' removal")
        << ArticleSelection::group("ABCDI010") << true << failingDelete.arg("Eqv");
}

void TestGridStore::failedSaveChangesNothing()
{
    QFETCH(ArticleSelection, selection);
    QFETCH(bool, emptied);
    QFETCH(QString, trigger);

    Fixture f;
    f.db.exec(trigger);
    f.populate(selection);
    if (emptied)
        f.grid.setRows(1);
    else
        f.setCell(1, "BENÄMNING", "Ändrad");
    const QStringList before = BrowseCatalogue::dump(f.db);

    QVERIFY_THROWS_EXCEPTION(std::exception, GridStore::saveGrid(f.db, selection, f.grid));
    QCOMPARE(BrowseCatalogue::dump(f.db), before);

    // Nothing was left open: once the cause is gone, the same save goes through.
    f.db.exec("DROP TRIGGER fail");
    GridStore::saveGrid(f.db, selection, f.grid);
    QVERIFY(BrowseCatalogue::dump(f.db) != before);
}

QTEST_GUILESS_MAIN(TestGridStore)
#include "tst_gridstore.moc"
