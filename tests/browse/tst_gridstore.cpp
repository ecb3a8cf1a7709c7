#include "browse/ArticleGrid.h"
#include "browse/ArticleSelection.h"
#include "browse/BrowseCatalogue.h"
#include "browse/GridStore.h"

#include "core/AppError.h"
#include "db/Database.h"

#include <QTemporaryDir>
#include <QTest>

#include <functional>

// These tests force a failure half-way through a write with a trigger; the program itself
// never lets a database's triggers run.
static const bool triggersAllowed = (Database::allowTriggersForTesting(true), true);

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
    explicit Fixture(const QStringList &lines)
    {
        db = BrowseCatalogue::import(dir.path(), lines, &fields);
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

    // A new row at the end of the grid, its cells given from RAD on.
    void appendRow(const QStringList &cells)
    {
        grid.insertRows(grid.rows(), 1);
        for (qsizetype i = 0; i < cells.size(); ++i)
            grid.setText(grid.rows() - 1, int(i) + 1, cells.at(i));
    }

    // Every later write to Articles is logged by the row number it touched, in order.
    void logWrites()
    {
        db.exec("CREATE TABLE WriteLog (what TEXT);"
                "CREATE TRIGGER logInsert AFTER INSERT ON Articles BEGIN "
                "INSERT INTO WriteLog VALUES ('insert ' || NEW.RAD); END;"
                "CREATE TRIGGER logUpdate AFTER UPDATE ON Articles BEGIN "
                "INSERT INTO WriteLog VALUES ('update ' || OLD.RAD); END;"
                "CREATE TRIGGER logDelete AFTER DELETE ON Articles BEGIN "
                "INSERT INTO WriteLog VALUES ('delete ' || OLD.RAD); END;");
    }
    QStringList writes() { return rowsOf(db, "SELECT what FROM WriteLog ORDER BY rowid"); }

    // The save's error text, empty when it went through.
    QString trySave(const ArticleSelection &selection)
    {
        try {
            GridStore::saveGrid(db, selection, grid);
        } catch (const AppError &e) {
            return QString::number(e.number()) + QStringLiteral(" - ") + e.description();
        }
        return {};
    }
};

using Edit = std::function<void(Fixture &)>;

// Records the calls a save makes.
class RecordingProgress final : public Progress
{
public:
    void start(qint64 maximum) override { calls << QStringLiteral("start %1").arg(maximum); }
    void update(qint64 value) override { values << value; }
    void end() override { calls << QStringLiteral("end"); }

    QStringList calls;
    QList<qint64> values;
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

// Each stored article as "rowid|RAD|...", leaving out those whose row number is in `numbers`.
QStringList storedRowsExcept(Database &db, const QList<int> &numbers)
{
    QStringList rows;
    for (const QString &row : rowsOf(db, "SELECT rowid, * FROM Articles ORDER BY rowid")) {
        if (!numbers.contains(row.section(QLatin1Char('|'), 1, 1).toInt()))
            rows << row;
    }
    return rows;
}

} // namespace

Q_DECLARE_METATYPE(Edit)

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
    void saveWritesOnlyWhatChanged_data();
    void saveWritesOnlyWhatChanged();
    void rowNumbersStayUniqueInAGroup_data();
    void rowNumbersStayUniqueInAGroup();
    void rowNumbersOfRowsNotShown_data();
    void rowNumbersOfRowsNotShown();
    void editedRowsAreComparedWithTheStoredOnes_data();
    void editedRowsAreComparedWithTheStoredOnes();
    void manyWritesRebuildTheirIndexes_data();
    void manyWritesRebuildTheirIndexes();
    void saveReportsProgress();
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

    // These groups have no head line, so a save keeps their description (the head-line rule has
    // a test of its own).
    QTest::newRow("designation of row 1") << armar << 1 << "BENÄMNING"
                                          << "Nya ärmar" << 0 << "Nya ärmar"
                                          << "ABCDI010"
                                          << "Ärmar";
    QTest::newRow("another row") << armar << 2 << "TYP"
                                 << "7" << 1 << "7"
                                 << "ABCDI010"
                                 << "Ärmar";
    QTest::newRow("designation longer than both fields")
        << armar << 1 << "BENÄMNING" << sixty << 0 << sixty.left(20) << "ABCDI010"
        << "Ärmar";
    QTest::newRow("type cut to its field") << armar << 1 << "TYP"
                                           << "12345" << 0 << "123"
                                           << "ABCDI010"
                                           << "Ärmar";
    QTest::newRow("Swedish letters cut by character") << armar << 3 << "FABRIKAT"
                                                      << "ÅÄÖåäöÅÄÖåäöÅÄÖ" << 5 << "ÅÄÖåäöÅÄÖåäö"
                                                      << "ABCDI010"
                                                      << "Ärmar";
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
                                 << "Åsnor";
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
    f.setCell(2, "TYP", "7");
    f.appendRow({"14", "ABCDI010", "4", "Ny"});

    GridStore::saveGrid(f.db, ArticleSelection::group("ABCDI010"), f.grid);

    // Rows the save writes are written whole; the others are not written at all.
    QCOMPARE(rowsOf(f.db, "SELECT * FROM Articles WHERE BL_NAME = 'ABCDI010' ORDER BY RAD"),
             QStringList({"0|ABCDI010|3|Ärm tre|Nordel", "1|ABCDI010|7|Ärm två|<NULL>",
                          "5|ABCDI010|1|Ärmar|Nordel", "14|ABCDI010|4|Ny|<NULL>"}));
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
    // The user deletes every row.
    f.grid.removeRows(1, f.grid.rows() - 1);

    GridStore::saveGrid(f.db, selection, f.grid);

    QCOMPARE(rowsOf(f.db, "SELECT BL_NAME || '/' || TYP FROM Articles ORDER BY RAD"), articlesLeft);
    QCOMPARE(rowsOf(f.db, "SELECT BL_NAME FROM Designations ORDER BY BL_NAME"), groupsLeft);
    QCOMPARE(rowsOf(f.db, "SELECT BL_NAME || '/' || \"BENÄMNING\" FROM Eqv ORDER BY RAD"),
             equivalencesLeft);
}

void TestGridStore::failedSaveChangesNothing_data()
{
    QTest::addColumn<ArticleSelection>("selection");
    QTest::addColumn<Edit>("edit");
    QTest::addColumn<QString>("trigger");

    const QString failing = "CREATE TRIGGER fail BEFORE %1 ON %2 %3 "
                            "BEGIN SELECT RAISE(ABORT, 'stop'); END";
    const Edit everyDesignation = [](Fixture &f) {
        for (int row = 1; row < f.grid.rows(); ++row)
            f.setCell(row, "BENÄMNING", "Ändrad " + QString::number(row));
    };
    // Deletes, updates and inserts come in that order: each case fails after some were made.
    const Edit allKinds = [](Fixture &f) {
        f.setCell(1, "BENÄMNING", "Ändrad");
        f.grid.removeRows(2, 1);
        f.appendRow({"14", "ABCDI010", "4", "Ny", "Nordel"});
    };
    const Edit emptied = [](Fixture &f) { f.grid.removeRows(1, f.grid.rows() - 1); };

    // Rows are updated in stored order; the group's row 0 was stored last.
    QTest::newRow("update, group") << ArticleSelection::group("ABCDI010") << everyDesignation
                                   << failing.arg("UPDATE", "Articles", "WHEN OLD.RAD = 0");
    QTest::newRow("update, manufacturer")
        << ArticleSelection::manufacturer("Nordel", "ABCDI010") << everyDesignation
        << failing.arg("UPDATE", "Articles", "WHEN OLD.RAD = 0");
    QTest::newRow("update, root") << ArticleSelection::root() << everyDesignation
                                  << failing.arg("UPDATE", "Articles", "WHEN OLD.RAD = 13");
    QTest::newRow("delete") << ArticleSelection::group("ABCDI010") << allKinds
                            << failing.arg("DELETE", "Articles", "");
    QTest::newRow("insert") << ArticleSelection::group("ABCDI010") << allKinds
                            << failing.arg("INSERT", "Articles", "");
    QTest::newRow("group's removal") << ArticleSelection::group("ABCDI010") << emptied
                                     << failing.arg("DELETE", "Designations", "");
    QTest::newRow("equivalences' removal")
        << ArticleSelection::group("ABCDI010") << emptied << failing.arg("DELETE", "Eqv", "");
}

void TestGridStore::failedSaveChangesNothing()
{
    QFETCH(ArticleSelection, selection);
    QFETCH(Edit, edit);
    QFETCH(QString, trigger);

    Fixture f;
    f.db.exec(trigger);
    f.populate(selection);
    edit(f);
    const QStringList before = BrowseCatalogue::dump(f.db);

    RecordingProgress progress;
    QVERIFY_THROWS_EXCEPTION(std::exception,
                             GridStore::saveGrid(f.db, selection, f.grid, progress));
    QCOMPARE(BrowseCatalogue::dump(f.db), before);
    // The progress pane does not stay behind.
    QCOMPARE(progress.calls.last(), QString("end"));

    // Nothing was left open: once the cause is gone, the same save goes through.
    f.db.exec("DROP TRIGGER fail");
    GridStore::saveGrid(f.db, selection, f.grid);
    QVERIFY(BrowseCatalogue::dump(f.db) != before);
}

void TestGridStore::saveWritesOnlyWhatChanged_data()
{
    QTest::addColumn<ArticleSelection>("selection");
    QTest::addColumn<Edit>("edit");
    QTest::addColumn<QStringList>("writes");

    const ArticleSelection armar = ArticleSelection::group("ABCDI010");
    const ArticleSelection root = ArticleSelection::root();

    QTest::newRow("one cell of a group")
        << armar << Edit([](Fixture &f) { f.setCell(2, "TYP", "7"); }) << QStringList{"update 1"};
    QTest::newRow("one cell of the root")
        << root << Edit([](Fixture &f) { f.setCell(10, "BENÄMNING", "Ny"); })
        << QStringList{"update 0"};
    QTest::newRow("the same text again")
        << armar << Edit([](Fixture &f) { f.setCell(1, "TYP", "3"); }) << QStringList{};
    QTest::newRow("changed and changed back") << armar << Edit([](Fixture &f) {
        f.setCell(1, "TYP", "9");
        f.setCell(1, "TYP", "3");
    }) << QStringList{};
    QTest::newRow("a deleted row")
        << armar << Edit([](Fixture &f) { f.grid.removeRows(2, 1); }) << QStringList{"delete 1"};
    QTest::newRow("a row made in the grid") << armar << Edit([](Fixture &f) {
        f.appendRow({"14", "ABCDI010", "4", "Ny", "Nordel"});
    }) << QStringList{"insert 14"};
    // Cells move with their rows; the row numbers stay with the places, as moving rows does.
    QTest::newRow("rows moved") << armar << Edit([](Fixture &f) {
        f.grid.swapRows(1, 3);
        f.setCell(1, "RAD", "0");
        f.setCell(3, "RAD", "5");
    }) << QStringList{"update 5", "update 0"};
    QTest::newRow("sorted, then edited") << root << Edit([](Fixture &f) {
        f.grid.sortRows(f.grid.GetColumn("BENÄMNING"), false);
        QCOMPARE(f.grid.text(1, f.grid.GetColumn("BENÄMNING")), QString("Öglor"));
        f.setCell(1, "FABRIKAT", "Ny");
    }) << QStringList{"update 11"};
    QTest::newRow("deleted, edited and added together") << root << Edit([](Fixture &f) {
        f.grid.removeRows(3, 1);
        f.setCell(1, "TYP", "5");
        f.appendRow({"14", "ABCDI080", "2", "Ny", "Nordel"});
    }) << QStringList{"delete 10", "update 12", "insert 14"};
    // Rows the grid no longer holds for another reason than the user deleting them stay stored.
    QTest::newRow("rows cut off the grid")
        << armar << Edit([](Fixture &f) { f.grid.setRows(2); }) << QStringList{};
    QTest::newRow("grid emptied without deleting")
        << root << Edit([](Fixture &f) { f.grid.setRows(1); }) << QStringList{};
    QTest::newRow("deletions forgotten by a refill") << armar << Edit([](Fixture &f) {
        f.grid.removeRows(1, 2);
        f.populate(ArticleSelection::group("ABCDI010"));
    }) << QStringList{};
    QTest::newRow("an article stored after the grid was filled") << armar << Edit([](Fixture &f) {
        f.db.exec("INSERT INTO Articles VALUES (20, 'ABCDI010', '9', 'Sen', 'Nordel')");
        f.grid.removeRows(1, 1);
    }) << QStringList{"insert 20", "delete 0"};
}

void TestGridStore::saveWritesOnlyWhatChanged()
{
    QFETCH(ArticleSelection, selection);
    QFETCH(Edit, edit);
    QFETCH(QStringList, writes);

    Fixture f;
    f.populate(selection);
    f.logWrites();
    edit(f);
    QStringList edited = gridRows(f.grid).mid(1);
    QList<int> written;
    for (const QString &write : writes)
        written << write.section(QLatin1Char(' '), 1).toInt();
    const QStringList othersBefore = storedRowsExcept(f.db, written);

    GridStore::saveGrid(f.db, selection, f.grid);

    QCOMPARE(f.writes(), writes);
    // Every other article keeps its values and its place in the table.
    QCOMPARE(storedRowsExcept(f.db, written), othersBefore);
    // Shown again, every row the grid held is there as it was edited.
    f.populate(selection);
    const QStringList shown = gridRows(f.grid);
    for (const QString &row : edited)
        QVERIFY2(shown.contains(row), qPrintable(row));
}

void TestGridStore::rowNumbersStayUniqueInAGroup_data()
{
    QTest::addColumn<ArticleSelection>("selection");
    QTest::addColumn<Edit>("edit");
    QTest::addColumn<QString>("error");

    const ArticleSelection armar = ArticleSelection::group("ABCDI010");
    const ArticleSelection root = ArticleSelection::root();
    const QString refused = "457 - Gruppen %1 har två rader med radnummer %2. Inget har sparats.";

    QTest::newRow("two grid rows") << armar << Edit([](Fixture &f) { f.setCell(2, "RAD", "0"); })
                                   << refused.arg("ABCDI010").arg(0);
    QTest::newRow("a new grid row") << armar << Edit([](Fixture &f) {
        f.appendRow({"5", "ABCDI010", "4", "Ny", "Nordel"});
    }) << refused.arg("ABCDI010").arg(5);
    QTest::newRow("two groups of the root, one clashing")
        << root << Edit([](Fixture &f) { f.setCell(6, "RAD", "3"); })
        << refused.arg("ABCDI030").arg(3);
    // Rows the view does not show: another manufacturer, another group, an unregistered group.
    QTest::newRow("another manufacturer's row")
        << ArticleSelection::manufacturer("Nordel", "ABCDI010")
        << Edit([](Fixture &f) { f.setCell(1, "RAD", "1"); }) << refused.arg("ABCDI010").arg(1);
    QTest::newRow("a row moved into another group")
        << ArticleSelection::group("ABCDI030") << Edit([](Fixture &f) {
               f.setCell(1, "BL_NAME", "ABCDI040");
               f.setCell(1, "RAD", "7");
           })
        << refused.arg("ABCDI040").arg(7);
    QTest::newRow("a group the root does not show") << root << Edit([](Fixture &f) {
        f.setCell(1, "BL_NAME", "ABCDI099");
        f.setCell(1, "RAD", "2");
    }) << refused.arg("ABCDI099").arg(2);

    QTest::newRow("numbers swapped in the grid") << armar << Edit([](Fixture &f) {
        f.setCell(1, "RAD", "1");
        f.setCell(2, "RAD", "0");
    }) << QString();
    QTest::newRow("the number of a deleted row") << armar << Edit([](Fixture &f) {
        f.grid.removeRows(2, 1);
        f.setCell(1, "RAD", "1");
    }) << QString();
    QTest::newRow("a number another group uses")
        << armar << Edit([](Fixture &f) { f.setCell(1, "RAD", "3"); }) << QString();
    QTest::newRow("empty row numbers are no numbers") << armar << Edit([](Fixture &f) {
        f.setCell(1, "RAD", "");
        f.setCell(2, "RAD", "");
    }) << QString();
}

void TestGridStore::rowNumbersStayUniqueInAGroup()
{
    QFETCH(ArticleSelection, selection);
    QFETCH(Edit, edit);
    QFETCH(QString, error);

    Fixture f;
    f.populate(selection);
    edit(f);
    const QStringList before = BrowseCatalogue::dump(f.db);

    QCOMPARE(f.trySave(selection), error);
    if (!error.isEmpty())
        QCOMPARE(BrowseCatalogue::dump(f.db), before);
    else
        QVERIFY(BrowseCatalogue::dump(f.db) != before);
}

void TestGridStore::rowNumbersOfRowsNotShown_data()
{
    QTest::addColumn<int>("groups");
    // A few groups are looked up one by one, many are read in one pass.
    QTest::newRow("few groups") << 3;
    QTest::newRow("many groups") << 40;
}

void TestGridStore::rowNumbersOfRowsNotShown()
{
    QFETCH(int, groups);

    // Two articles per group, row numbers from 0 in file order; the last group is not
    // registered, so the root does not show it.
    QStringList lines;
    for (int g = 0; g < groups; ++g) {
        const QString name = QStringLiteral("ABCDI%1").arg(g, 3, 10, QLatin1Char('0'));
        lines << BrowseCatalogue::line(name, "1", "Grupp " + QString::number(g))
              << BrowseCatalogue::line(name, "2", "Grupp " + QString::number(g));
    }
    Fixture f(lines);
    const QString hidden = QStringLiteral("ABCDI%1").arg(groups - 1, 3, 10, QLatin1Char('0'));
    f.db.prepare("DELETE FROM Designations WHERE BL_NAME = ?").bind(1, hidden).run();
    const int hiddenNumber = 2 * (groups - 1) + 1;
    f.populate(ArticleSelection::root());
    QCOMPARE(f.grid.rows(), 2 * (groups - 1) + 1);
    const QStringList before = BrowseCatalogue::dump(f.db);

    // Row 1 moves into the hidden group under a number the group uses.
    f.setCell(1, "BL_NAME", hidden);
    f.setCell(1, "RAD", QString::number(hiddenNumber));
    QCOMPARE(f.trySave(ArticleSelection::root()),
             QStringLiteral("457 - Gruppen %1 har två rader med radnummer %2. Inget har sparats.")
                 .arg(hidden)
                 .arg(hiddenNumber));
    QCOMPARE(BrowseCatalogue::dump(f.db), before);

    // Under a free number it goes through.
    f.setCell(1, "RAD", QString::number(2 * groups));
    QCOMPARE(f.trySave(ArticleSelection::root()), QString());
    QCOMPARE(f.db.scalar("SELECT COUNT(*) FROM Articles WHERE BL_NAME = ?", hidden).toInt(), 3);
}

void TestGridStore::editedRowsAreComparedWithTheStoredOnes_data()
{
    QTest::addColumn<QList<int>>("editedRows");
    QTest::addColumn<bool>("goneMeanwhile");

    // Rows far apart are looked up one by one, rows close together read in one pass.
    QTest::newRow("far apart") << QList<int>{1, 1200, 2400} << false;
    QTest::newRow("close together") << QList<int>{1, 2, 3, 5, 8} << false;
    // A row no longer stored is written again.
    QTest::newRow("far apart, one gone") << QList<int>{1, 1200, 2400} << true;
    QTest::newRow("close together, one gone") << QList<int>{1, 2, 3, 5, 8} << true;
    QTest::newRow("close together, the last gone") << QList<int>{4, 5, 6, 7} << true;
}

void TestGridStore::editedRowsAreComparedWithTheStoredOnes()
{
    QFETCH(QList<int>, editedRows);
    QFETCH(bool, goneMeanwhile);

    QStringList lines;
    for (int i = 0; i < 2400; ++i)
        lines << BrowseCatalogue::line("ABCDI010", QString::number(i % 900 + 1),
                                       "Artikel " + QString::number(i), "Nordel");
    Fixture f(lines);
    f.populate(ArticleSelection::group("ABCDI010"));
    for (const int row : editedRows)
        f.setCell(row, "BENÄMNING", "Ändrad " + QString::number(row));
    // Also changed and changed back: read, found equal, not written.
    f.setCell(10, "TYP", "X");
    f.setCell(10, "TYP", "10");
    const QStringList edited = gridRows(f.grid);
    if (goneMeanwhile)
        f.db.prepare("DELETE FROM Articles WHERE RAD = ?").bind(1, editedRows.last() - 1).run();
    f.logWrites();

    GridStore::saveGrid(f.db, ArticleSelection::group("ABCDI010"), f.grid);

    QStringList expected;
    for (const int row : editedRows)
        expected << (goneMeanwhile && row == editedRows.last() ? "insert " : "update ") +
                        QString::number(row - 1);
    QCOMPARE(f.writes(), expected);
    f.populate(ArticleSelection::group("ABCDI010"));
    QCOMPARE(gridRows(f.grid), edited);
}

void TestGridStore::manyWritesRebuildTheirIndexes_data()
{
    QTest::addColumn<Edit>("edit");
    QTest::addColumn<QString>("trigger");
    QTest::addColumn<int>("articlesLeft");

    const Edit everyDesignation = [](Fixture &f) {
        for (int row = 1; row < f.grid.rows(); ++row)
            f.setCell(row, "BENÄMNING", "Ny " + QString::number(row));
    };
    const Edit mostDeleted = [](Fixture &f) {
        f.grid.removeRows(1, 2200);
        f.setCell(1, "BENÄMNING", "Ny 1");
    };
    const QString failing = "CREATE TRIGGER fail BEFORE %1 ON Articles WHEN OLD.RAD = 2399 "
                            "BEGIN SELECT RAISE(ABORT, 'stop'); END";

    QTest::newRow("one column of every row") << everyDesignation << QString() << 2400;
    QTest::newRow("most rows deleted") << mostDeleted << QString() << 200;
    QTest::newRow("failing after the index went")
        << everyDesignation << failing.arg("UPDATE") << 2400;
}

void TestGridStore::manyWritesRebuildTheirIndexes()
{
    QFETCH(Edit, edit);
    QFETCH(QString, trigger);
    QFETCH(int, articlesLeft);

    QStringList lines;
    for (int i = 0; i < 2400; ++i)
        lines << BrowseCatalogue::line("ABCDI010", QString::number(i % 900 + 1),
                                       "Artikel " + QString::number(i), "Nordel");
    Fixture f(lines);
    if (!trigger.isEmpty())
        f.db.exec(trigger);
    f.populate(ArticleSelection::group("ABCDI010"));
    edit(f);
    const QStringList edited = gridRows(f.grid);
    const QString indexes =
        "SELECT name, sql FROM sqlite_master WHERE type = 'index' ORDER BY name";
    const QStringList indexesBefore = rowsOf(f.db, indexes);
    const QStringList before = BrowseCatalogue::dump(f.db);

    const QString error = f.trySave(ArticleSelection::group("ABCDI010"));
    if (!trigger.isEmpty()) {
        QVERIFY(!error.isEmpty());
        QCOMPARE(BrowseCatalogue::dump(f.db), before);
        return;
    }
    QCOMPARE(error, QString());
    QCOMPARE(rowsOf(f.db, indexes), indexesBefore);
    QCOMPARE(rowsOf(f.db, "PRAGMA integrity_check"), QStringList{"ok"});
    QCOMPARE(f.db.scalar("SELECT COUNT(*) FROM Articles").toInt(), articlesLeft);
    // Found through the rebuilt index as well.
    QCOMPARE(rowsOf(f.db, "SELECT RAD FROM Articles INDEXED BY \"Articles_BENÄMNING\" "
                          "WHERE \"BENÄMNING\" = 'Ny 1'"),
             QStringList{edited.at(1).section(QLatin1Char('|'), 1, 1)});
    f.populate(ArticleSelection::group("ABCDI010"));
    QCOMPARE(gridRows(f.grid), edited);
}

void TestGridStore::saveReportsProgress()
{
    QStringList lines;
    for (int i = 0; i < 9000; ++i)
        lines << BrowseCatalogue::line("ABCDI010", QString::number(i % 900 + 1),
                                       "Artikel " + QString::number(i), "Nordel");
    Fixture f(lines);
    f.populate(ArticleSelection::group("ABCDI010"));
    for (int row = 1; row < f.grid.rows(); row += 2)
        f.setCell(row, "TYP", "X");

    RecordingProgress progress;
    GridStore::saveGrid(f.db, ArticleSelection::group("ABCDI010"), f.grid, progress);

    QCOMPARE(progress.calls.size(), 2);
    QVERIFY(progress.calls.first().startsWith("start "));
    QCOMPARE(progress.calls.last(), QString("end"));
    const qint64 maximum = progress.calls.first().mid(6).toLongLong();
    // Several steps on the way, never backwards, full at the end.
    QVERIFY(progress.values.size() > 2);
    QVERIFY(std::is_sorted(progress.values.begin(), progress.values.end()));
    QCOMPARE(progress.values.last(), maximum);
}

QTEST_GUILESS_MAIN(TestGridStore)
#include "tst_gridstore.moc"
