#include "browse/ArticleSelection.h"
#include "browse/BrowseCatalogue.h"
#include "browse/GroupTree.h"

#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(ArticleSelection)

namespace {

// Each article as "BL_NAME/TYP", in the order given.
QStringList shownRows(Database &db, const ArticleSelection &selection)
{
    QStringList rows;
    selection.forEachRow(
        db, [&rows](const Statement &st) { rows << st.text(1) + QLatin1Char('/') + st.text(2); });
    return rows;
}

QStringList storedRows(Database &db)
{
    return BrowseCatalogue::rowsOf(
        db, QStringLiteral("SELECT BL_NAME || '/' || TYP FROM Articles ORDER BY RAD"));
}

} // namespace

class TestArticleSelection : public QObject
{
    Q_OBJECT

private slots:
    void fromTreeKey_data();
    void fromTreeKey();

    void forEachRow_data() { selectionTable(); }
    void forEachRow();
    void columnsAreThoseOfArticles_data() { selectionTable(); }
    void columnsAreThoseOfArticles();
    void rowIdsComeFirst_data() { selectionTable(); }
    void rowIdsComeFirst();
    void rowCountMatchesTheRowsShown_data() { selectionTable(); }
    void rowCountMatchesTheRowsShown();
    void deleteRowsRemovesExactlyTheRowsShown_data() { selectionTable(); }
    void deleteRowsRemovesExactlyTheRowsShown();
    void readingInStorageOrderGivesTheGridOrder_data();
    void readingInStorageOrderGivesTheGridOrder();

private:
    void selectionTable();
};

void TestArticleSelection::fromTreeKey_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<ArticleSelection>("expected");
    QTest::addColumn<QString>("currentGroup");
    QTest::addColumn<bool>("singleGroupView");

    QTest::newRow("root") << "@" << ArticleSelection::root() << "@" << false;
    QTest::newRow("group") << "!ABCDI010" << ArticleSelection::group("ABCDI010") << "ABCDI010"
                           << true;
    QTest::newRow("manufacturer") << "@Nordel!ABCDI010"
                                  << ArticleSelection::manufacturer("Nordel", "ABCDI010")
                                  << "ABCDI010" << true;
    QTest::newRow("manufacturer containing !")
        << "@Ström!Co!ABCDI010" << ArticleSelection::manufacturer("Ström!Co", "ABCDI010")
        << "ABCDI010" << true;
    QTest::newRow("apostrophes") << "@O'Brien!AB'DI060"
                                 << ArticleSelection::manufacturer("O'Brien", "AB'DI060")
                                 << "AB'DI060" << true;
    QTest::newRow("empty") << "" << ArticleSelection() << "" << false;
    QTest::newRow("no marker") << "X" << ArticleSelection() << "" << false;
    QTest::newRow("manufacturer without group") << "@NoBang" << ArticleSelection() << "" << false;
}

void TestArticleSelection::fromTreeKey()
{
    QFETCH(QString, key);
    QFETCH(ArticleSelection, expected);
    QFETCH(QString, currentGroup);
    QFETCH(bool, singleGroupView);

    const ArticleSelection selection = ArticleSelection::fromTreeKey(key);
    QCOMPARE(selection.kind(), expected.kind());
    QCOMPARE(selection.blockName(), expected.blockName());
    QCOMPARE(selection.manufacturerName(), expected.manufacturerName());
    QCOMPARE(selection.isValid(), expected.kind() != ArticleSelection::Kind::None);
    QCOMPARE(selection.currentGroup(), currentGroup);
    QCOMPARE(selection.singleGroupView(), singleGroupView);
    // A valid key comes back unchanged, and the tree makes the same keys.
    QCOMPARE(selection.treeKey(), selection.isValid() ? key : QString());
    switch (selection.kind()) {
    case ArticleSelection::Kind::Root:
        QCOMPARE(GroupTree::rootKey(), key);
        break;
    case ArticleSelection::Kind::Group:
        QCOMPARE(GroupTree::groupKey(selection.blockName()), key);
        break;
    case ArticleSelection::Kind::Manufacturer:
        QCOMPARE(GroupTree::manufacturerKey(selection.manufacturerName(), selection.blockName()),
                 key);
        break;
    case ArticleSelection::Kind::None:
        break;
    }
}

// The rows each selection shows, from BrowseCatalogue::standard.
void TestArticleSelection::selectionTable()
{
    QTest::addColumn<ArticleSelection>("selection");
    QTest::addColumn<QStringList>("rows");

    // By row number, not by file order.
    QTest::newRow("group") << ArticleSelection::group("ABCDI010")
                           << QStringList{"ABCDI010/3", "ABCDI010/2", "ABCDI010/1"};
    QTest::newRow("manufacturer") << ArticleSelection::manufacturer("Nordel", "ABCDI010")
                                  << QStringList{"ABCDI010/3", "ABCDI010/1"};
    QTest::newRow("manufacturer with apostrophe")
        << ArticleSelection::manufacturer("O'Brien", "ABCDI010") << QStringList{"ABCDI010/2"};
    QTest::newRow("group with apostrophe")
        << ArticleSelection::group("AB'DI060") << QStringList{"AB'DI060/1"};
    QTest::newRow("both with apostrophes")
        << ArticleSelection::manufacturer("O'Brien", "AB'DI060") << QStringList{"AB'DI060/1"};
    QTest::newRow("manufacturer of another group")
        << ArticleSelection::manufacturer("Åkerby", "ABCDI010") << QStringList{};
    QTest::newRow("group without articles") << ArticleSelection::group("ABCDI777") << QStringList{};
    // A group is read by its block name, registered or not.
    QTest::newRow("unregistered group on its own")
        << ArticleSelection::group("ABCDI099") << QStringList{"ABCDI099/1"};
    // By description in Swedish order, case ignored (Å Ä Ö after Z), then by row number, so
    // "Samma" and "samma" interleave; the unregistered ABCDI099 is left out.
    QTest::newRow("root") << ArticleSelection::root()
                          << QStringList{"ABCDI080/1", "ABCDI050/1", "ABCDI020/1", "ABCDI030/1",
                                         "ABCDI040/1", "ABCDI030/2", "ABCDI040/2", "ABCDI090/1",
                                         "AB'DI060/1", "ABCDI010/3", "ABCDI010/2", "ABCDI010/1",
                                         "ABCDI070/1"};
    QTest::newRow("invalid") << ArticleSelection() << QStringList{};
}

void TestArticleSelection::forEachRow()
{
    QFETCH(ArticleSelection, selection);
    QFETCH(QStringList, rows);
    QTemporaryDir dir;
    Database db = BrowseCatalogue::standard(dir.path());
    QCOMPARE(shownRows(db, selection), rows);
}

void TestArticleSelection::columnsAreThoseOfArticles()
{
    QFETCH(ArticleSelection, selection);
    QFETCH(QStringList, rows);
    QTemporaryDir dir;
    Database db = BrowseCatalogue::standard(dir.path());
    QList<QStringList> columns;
    selection.forEachRow(db, [&columns](const Statement &st) {
        QStringList names;
        for (int i = 0; i < st.columnCount(); ++i)
            names << st.columnName(i);
        columns << names;
    });
    QCOMPARE(columns.size(), rows.size());
    for (const QStringList &names : columns)
        QCOMPARE(names, QStringList({"RAD", "BL_NAME", "TYP", "BENÄMNING", "FABRIKAT"}));
}

void TestArticleSelection::rowIdsComeFirst()
{
    QFETCH(ArticleSelection, selection);
    QTemporaryDir dir;
    Database db = BrowseCatalogue::standard(dir.path());
    QStringList plain;
    selection.forEachRow(db, [&plain](const Statement &st) {
        QStringList values;
        for (int i = 0; i < st.columnCount(); ++i)
            values << st.text(i);
        plain << values.join(QLatin1Char('|'));
    });
    // The same rows in the same order, each after the rowid that holds it.
    QStringList withIds;
    QStringList stored;
    selection.forEachRowWithId(db, [&](const Statement &st) {
        QStringList values;
        for (int i = 1; i < st.columnCount(); ++i)
            values << st.text(i);
        withIds << values.join(QLatin1Char('|'));
        stored << BrowseCatalogue::rowsOf(db, QStringLiteral("SELECT * FROM Articles WHERE rowid "
                                                             "= %1")
                                                  .arg(st.int64(0)))
                      .join(QString());
    });
    QCOMPARE(withIds, plain);
    QCOMPARE(stored, plain);
}

void TestArticleSelection::rowCountMatchesTheRowsShown()
{
    QFETCH(ArticleSelection, selection);
    QFETCH(QStringList, rows);
    QTemporaryDir dir;
    Database db = BrowseCatalogue::standard(dir.path());
    QCOMPARE(selection.rowCount(db), qint64(rows.size()));
}

void TestArticleSelection::deleteRowsRemovesExactlyTheRowsShown()
{
    QFETCH(ArticleSelection, selection);
    QFETCH(QStringList, rows);
    QTemporaryDir dir;
    Database db = BrowseCatalogue::standard(dir.path());
    const QStringList eqvBefore = BrowseCatalogue::rowsOf(db, "SELECT * FROM Eqv");
    const QStringList designationsBefore =
        BrowseCatalogue::rowsOf(db, "SELECT * FROM Designations");
    QStringList expected = storedRows(db);
    for (const QString &row : rows)
        QVERIFY(expected.removeOne(row));

    selection.deleteRows(db);
    QCOMPARE(storedRows(db), expected);
    QCOMPARE(BrowseCatalogue::rowsOf(db, "SELECT * FROM Eqv"), eqvBefore);
    QCOMPARE(BrowseCatalogue::rowsOf(db, "SELECT * FROM Designations"), designationsBefore);
}

QTEST_GUILESS_MAIN(TestArticleSelection)
#include "tst_articleselection.moc"

void TestArticleSelection::readingInStorageOrderGivesTheGridOrder_data()
{
    QTest::addColumn<QString>("renumber");
    QTest::addColumn<ArticleSelection>("selection");
    QTest::addColumn<int>("groupsTakenBack");

    const QStringList changes = {
        QString(), // ABCDI010 is already stored against its row numbers
        QStringLiteral("UPDATE Articles SET RAD = NULL WHERE BL_NAME = 'ABCDI090'"),
        QStringLiteral("UPDATE Articles SET RAD = 3 WHERE BL_NAME = 'ABCDI010'"),
        QStringLiteral("UPDATE Articles SET RAD = 'x' || RAD WHERE BL_NAME = 'ABCDI010'"),
        QStringLiteral("UPDATE Articles SET RAD = 20 - RAD WHERE BL_NAME = 'ABCDI030'"),
        QStringLiteral("UPDATE Articles SET RAD = RAD + 0.5 WHERE BL_NAME = 'ABCDI080'"),
    };
    const QStringList names = {"as imported",     "empty row number", "one number for all",
                               "numbers as text", "falling numbers",  "fractions"};
    // ABCDI010 is always stored against its numbers; ABCDI030 shares its description with
    // ABCDI040, so the two are sorted together at once.
    const QList<int> takenBack = {1, 2, 1, 1, 1, 2};
    for (qsizetype i = 0; i < changes.size(); ++i) {
        QTest::addRow("root, %s", qPrintable(names.at(i)))
            << changes.at(i) << ArticleSelection::root() << takenBack.at(i);
        QTest::addRow("group, %s", qPrintable(names.at(i)))
            << changes.at(i) << ArticleSelection::group(QStringLiteral("ABCDI010")) << 0;
    }
}

// Rows the reader takes back come again sorted; what stays is exactly the order of a sort.
void TestArticleSelection::readingInStorageOrderGivesTheGridOrder()
{
    QFETCH(QString, renumber);
    QFETCH(ArticleSelection, selection);
    QFETCH(int, groupsTakenBack);
    QTemporaryDir dir;
    Database db = BrowseCatalogue::standard(dir.path());
    if (!renumber.isEmpty())
        db.exec(renumber);
    QStringList sorted;
    selection.forEachRowWithId(db, [&sorted](const Statement &st) {
        sorted << QString::number(st.int64(0)) + QLatin1Char('/') + st.text(1);
    });
    QStringList kept;
    QStringList pending;
    int takenBack = 0;
    selection.readRowsWithId(db, {[&](const Statement &st) {
                                      pending << QString::number(st.int64(0)) + QLatin1Char('/') +
                                                     st.text(1);
                                  },
                                  [&] {
                                      kept << std::exchange(pending, {});
                                      return true;
                                  },
                                  [&] {
                                      pending.clear();
                                      ++takenBack;
                                  }});
    QVERIFY(pending.isEmpty());
    QCOMPARE(kept, sorted);
    QCOMPARE(takenBack, groupsTakenBack);
}
