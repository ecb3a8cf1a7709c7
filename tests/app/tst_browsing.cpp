#include "app/CheckController.h"
#include "app/CompareController.h"
#include "app/MainWindow.h"
#include "core/Progress.h"
#include "db/Database.h"
#include "db/TdsImport.h"
#include "sheet/ChangePreviewModel.h"
#include "support/CatalogueFixture.h"
#include "support/ScriptedPrompter.h"
#include "support/TestFiles.h"
#include "ui/ArticleGridView.h"
#include "ui/ChangePreviewView.h"
#include "ui/CheckPanel.h"
#include "ui/GroupTreeView.h"

#include <QAction>
#include <QDir>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// These tests force a failure half-way through a write with a trigger; the program itself
// never lets a database's triggers run.
static const bool triggersAllowed = (Database::allowTriggersForTesting(true), true);

using CatalogueFixture::line;

// The window's browsing and saving, driven as a user would: tree rows picked with the mouse or
// the arrow keys, groups expanded, the grid saved, ignored, saved under a new name.
class TestBrowsing : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void treeShowsGroupsInSwedishOrder();
    void manufacturersLoadOnceOnFirstExpansion();
    void withoutManufacturerColumnExpandingShowsTheGroup();
    void pickingRowsFillsTheGrid();
    void arrowKeysRefreshOtherKeysDoNot();
    void rebuildKeepsTheLastGroupInViewWithTheRootCurrent();
    void saveWritesTheGridAndRefills();
    void emptiedGroupDisappears();
    void failedSaveKeepsEverything();
    void ignoreReadsTheDatabaseAgain();
    void saveAsCopiesAndOpensTheCopy();
    void unsavedEditsAreOfferedBeforeClosing();
    void checkPanelListsFindingsAndShowsThem();
    void exportOffersTheCheckWhenErrorsExist_data();
    void exportOffersTheCheckWhenErrorsExist();
    void checkFixesAreUndoableGridSteps_data();
    void checkFixesAreUndoableGridSteps();
    void checkOffersToWidenAField();
    void comparisonTakesChosenDifferences();

private:
    QString catalogue(const QString &name, const QStringList &lines, bool withManufacturer = true);
    // A small catalogue with one fault made in its database, and the window checking it with
    // the finding of `rule` current in the check panel.
    CheckPanel *checkedWithFault(MainWindow &window, const QString &sql, const QString &rule);
    void click(MainWindow &window, const QString &key);

    QTemporaryDir m_settings;
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestBrowsing::initTestCase()
{
    TestFiles::isolateSettings(m_settings.path());
}

void TestBrowsing::init()
{
    TestFiles::clearUserSettings();
    m_dir = std::make_unique<QTemporaryDir>();
}

QString TestBrowsing::catalogue(const QString &name, const QStringList &lines,
                                bool withManufacturer)
{
    const QString tds = CatalogueFixture::write(m_dir->path(), name, lines);
    if (!withManufacturer) {
        // The same layout without the FABRIKAT field.
        TestFiles::write(m_dir->filePath(name + ".tdx"),
                         TestFiles::crlf({"BL_NAME,Blocknamn,8", "TYP,Typ,3",
                                          "BENÄMNING,Benämning,20", "ÖVRIGT,Övrigt,12"}));
    }
    return CatalogueFixture::importTds(tds);
}

void TestBrowsing::click(MainWindow &window, const QString &key)
{
    GroupTreeView *tree = window.tree();
    QTreeWidgetItem *item = tree->itemWithKey(key);
    QVERIFY2(item, qPrintable(key));
    tree->scrollToItem(item);
    const QPoint centre = tree->visualItemRect(item).center();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, centre);
    QCOMPARE(tree->currentKey(), key);
}

void TestBrowsing::treeShowsGroupsInSwedishOrder()
{
    const QString tdb =
        catalogue("ordning", {line("ABCDI010", "1", "Öglor"), line("ABCDI020", "1", "apparater"),
                              line("ABCDI030", "1", "Zebror"), line("ABCDI040", "1", "Ärmar"),
                              line("ABCDI050", "1", "Bågar")});
    ScriptedPrompter prompter;
    MainWindow window(prompter);
    QVERIFY(window.OpenMDB(tdb));
    GroupTreeView *tree = window.tree();
    QCOMPARE(tree->topLevelItemCount(), 1);
    QTreeWidgetItem *root = tree->topLevelItem(0);
    QCOMPARE(root->text(0), QString("Artiklar"));
    QCOMPARE(GroupTreeView::keyOf(root), QString("@"));
    QStringList shown;
    for (int i = 0; i < root->childCount(); ++i) {
        shown << root->child(i)->text(0);
        QCOMPARE(GroupTreeView::keyOf(root->child(i)).left(1), QString("!"));
        QVERIFY(!root->child(i)->isExpanded());
        QCOMPARE(root->child(i)->childCount(), 1); // the placeholder
    }
    QCOMPARE(shown, (QStringList{"apparater", "Bågar", "Zebror", "Ärmar", "Öglor"}));
    QCOMPARE(tree->currentKey(), QString("@"));
}

void TestBrowsing::manufacturersLoadOnceOnFirstExpansion()
{
    const QString tdb = catalogue(
        "fabrikat", {line("ABCDI010", "1", "Grupp", "Nordel"),
                     line("ABCDI010", "2", "x", "Ström!Co"), line("ABCDI010", "3", "y", "--"),
                     line("ABCDI010", "4", "z", ""), line("ABCDI010", "5", "w", "Nordel")});
    ScriptedPrompter prompter;
    MainWindow window(prompter);
    window.show();
    QVERIFY(window.OpenMDB(tdb));
    QTreeWidgetItem *group = window.tree()->itemWithKey("!ABCDI010");
    group->setExpanded(true);
    QStringList keys;
    for (int i = 0; i < group->childCount(); ++i)
        keys << GroupTreeView::keyOf(group->child(i));
    keys.sort();
    QCOMPARE(keys, (QStringList{"@Nordel!ABCDI010", "@Ström!Co!ABCDI010"}));
    group->setExpanded(false);
    group->setExpanded(true);
    QCOMPARE(group->childCount(), 2);

    // A manufacturer whose name holds "!" still shows its own articles.
    click(window, "@Ström!Co!ABCDI010");
    QCOMPARE(window.grid().rows(), 2);
    QCOMPARE(window.grid().text(1, window.grid().GetColumn("FABRIKAT")), QString("Ström!Co"));
}

void TestBrowsing::withoutManufacturerColumnExpandingShowsTheGroup()
{
    const QString tdb =
        catalogue("utan", {line("ABCDI010", "1", "Grupp"), line("ABCDI010", "2", "Två")}, false);
    ScriptedPrompter prompter;
    MainWindow window(prompter);
    QVERIFY(window.OpenMDB(tdb));
    window.tree()->itemWithKey("!ABCDI010")->setExpanded(true);
    QCOMPARE(window.tree()->currentKey(), QString("!ABCDI010"));
    QCOMPARE(window.grid().rows(), 3);
    QVERIFY(window.tree()->updatesEnabled());
}

void TestBrowsing::pickingRowsFillsTheGrid()
{
    const QString tdb = catalogue("val", {line("ABCDI010", "1", "Kontaktor", "Nordel"),
                                          line("ABCDI010", "2", "Kontaktor 2", "O'Brien"),
                                          line("ABCDI020", "1", "Säkring")});
    ScriptedPrompter prompter;
    MainWindow window(prompter);
    window.show();
    QVERIFY(window.OpenMDB(tdb));
    QVERIFY(!window.action(CommandId::Save)->isEnabled());

    click(window, "!ABCDI010");
    QCOMPARE(window.grid().rows(), 3);
    QVERIFY(window.session().SingleGroupView());
    QCOMPARE(window.session().selection().currentGroup(), QString("ABCDI010"));
    QCOMPARE(window.session().treeChoice().treeKey(), QString("!ABCDI010"));
    QVERIFY(window.tree()->currentItem()->font(0).bold());
    QVERIFY(!window.tree()->itemWithKey("@")->font(0).bold());
    // Saving and ignoring wait for an edit.
    for (CommandId id : {CommandId::Save, CommandId::Ignore})
        QVERIFY(!window.action(id)->isEnabled());
    QCOMPARE(window.grid().selection().r1, 1);

    click(window, "@");
    QCOMPARE(window.grid().rows(), 4);
    QVERIFY(!window.session().SingleGroupView());
    QCOMPARE(window.session().selection().currentGroup(), QString("@"));

    window.tree()->itemWithKey("!ABCDI010")->setExpanded(true);
    click(window, "@O'Brien!ABCDI010");
    QCOMPARE(window.grid().rows(), 2);
    QCOMPARE(window.grid().text(1, window.grid().GetColumn("BENÄMNING")), QString("Kontaktor 2"));

    // The right button picks nothing.
    QTreeWidgetItem *other = window.tree()->itemWithKey("!ABCDI020");
    QTest::mouseClick(window.tree()->viewport(), Qt::RightButton, {},
                      window.tree()->visualItemRect(other).center());
    QCOMPARE(window.session().selection().currentGroup(), QString("ABCDI010"));
}

void TestBrowsing::arrowKeysRefreshOtherKeysDoNot()
{
    const QString tdb = catalogue("pil", {line("ABCDI010", "1", "A"), line("ABCDI020", "1", "B"),
                                          line("ABCDI030", "1", "C")});
    ScriptedPrompter prompter;
    MainWindow window(prompter);
    window.show();
    QVERIFY(window.OpenMDB(tdb));
    click(window, "!ABCDI010");
    QTest::keyClick(window.tree(), Qt::Key_Down);
    QCOMPARE(window.session().selection().currentGroup(), QString("ABCDI020"));
    QTest::keyClick(window.tree(), Qt::Key_End);
    QCOMPARE(window.tree()->currentKey(), QString("!ABCDI030"));
    QCOMPARE(window.session().selection().currentGroup(), QString("ABCDI020"));
}

void TestBrowsing::rebuildKeepsTheLastGroupInViewWithTheRootCurrent()
{
    QStringList lines;
    for (int i = 10; i < 90; ++i)
        lines << line(QString("ABCDI%1").arg(i), "1", QString("Grupp %1").arg(i));
    const QString tdb = catalogue("lang", lines);
    ScriptedPrompter prompter;
    MainWindow window(prompter);
    window.resize(800, 300);
    window.show();
    QVERIFY(window.OpenMDB(tdb));
    click(window, "!ABCDI85");
    window.tree()->scrollToTop();
    emit window.session().treeChanged();
    QCOMPARE(window.tree()->currentKey(), QString("@"));
    QTreeWidgetItem *last = window.tree()->itemWithKey("!ABCDI85");
    QVERIFY(window.tree()->viewport()->rect().intersects(window.tree()->visualItemRect(last)));
}

void TestBrowsing::saveWritesTheGridAndRefills()
{
    const QString tdb = catalogue(
        "spara", {line("ABCDI010", "-", "Gammal", "Nordel"), line("ABCDI010", "2", "Andra")});
    ScriptedPrompter prompter;
    MainWindow window(prompter);
    window.show();
    QVERIFY(window.OpenMDB(tdb));
    click(window, "!ABCDI010");
    const int designation = window.grid().GetColumn("BENÄMNING");
    window.grid().setText(1, designation, "Ny benämning som är alldeles för lång");
    window.session().GridEdited(true);
    QVERIFY(!window.tree()->isEnabled());
    window.dispatch(CommandId::Save);
    QVERIFY2(prompter.shown.isEmpty(), qPrintable(prompter.lastText()));
    QVERIFY(window.tree()->isEnabled());
    QVERIFY(!window.session().isEdited());
    QCOMPARE(window.grid().rows(), 3);
    QCOMPARE(window.grid().text(1, designation), QString("Ny benämning som är ")); // cut to 20
    // The group's description follows its head line (its own field holds 50).
    QCOMPARE(window.tree()->itemWithKey("!ABCDI010")->text(0),
             QString("Ny benämning som är alldeles för lång"));
}

void TestBrowsing::emptiedGroupDisappears()
{
    const QString tdb =
        catalogue("tom", {line("ABCDI060", "1", "Tas bort"), line("ABCDI070", "1", "Kvar"),
                          line("ABCDI061", "", "=ABCDI060"), line("ABCDI071", "", "=ABCDI070")});
    ScriptedPrompter prompter;
    MainWindow window(prompter);
    window.show();
    QVERIFY(window.OpenMDB(tdb));
    click(window, "!ABCDI060");
    // The user deletes every row: only rows deleted in the grid are deleted by the save.
    window.grid().removeRows(1, window.grid().rows() - 1);
    window.session().GridEdited(true);
    window.dispatch(CommandId::Save);
    QVERIFY(!window.tree()->itemWithKey("!ABCDI060"));
    QVERIFY(window.tree()->itemWithKey("!ABCDI070"));
    Database db(tdb, Database::OpenMode::ReadOnly);
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM Eqv").toInt(), 1);
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM Articles WHERE BL_NAME = 'ABCDI060'").toInt(), 0);
}

void TestBrowsing::failedSaveKeepsEverything()
{
    const QString tdb =
        catalogue("fel", {line("ABCDI010", "1", "Ett"), line("ABCDI010", "2", "Två")});
    {
        Database db(tdb, Database::OpenMode::ReadWrite);
        db.exec("CREATE TRIGGER stop BEFORE UPDATE ON Articles WHEN NEW.RAD = 0 "
                "BEGIN SELECT RAISE(ABORT, 'stopp'); END");
    }
    ScriptedPrompter prompter;
    MainWindow window(prompter);
    window.show();
    QVERIFY(window.OpenMDB(tdb));
    click(window, "!ABCDI010");
    const int designation = window.grid().GetColumn("BENÄMNING");
    window.grid().setText(1, designation, "Ändrad");
    window.session().GridEdited(true);
    window.dispatch(CommandId::Save);
    QVERIFY2(prompter.lastText().startsWith("frmMain:mnuSave::ERROR:"),
             qPrintable(prompter.lastText()));
    QVERIFY(window.session().isEdited());
    QCOMPARE(window.grid().text(1, designation), QString("Ändrad"));
    Database db(tdb, Database::OpenMode::ReadOnly);
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM Articles").toInt(), 2);
    QCOMPARE(db.scalar("SELECT \"BENÄMNING\" FROM Articles WHERE RAD = 0").toString(),
             QString("Ett"));
    QCOMPARE(db.scalar("SELECT DESCRIPTION FROM Designations").toString(), QString("Ett"));
}

void TestBrowsing::ignoreReadsTheDatabaseAgain()
{
    const QString tdb = catalogue("ignorera", {line("ABCDI010", "1", "Ett")});
    ScriptedPrompter prompter;
    MainWindow window(prompter);
    window.show();
    QVERIFY(window.OpenMDB(tdb));
    click(window, "!ABCDI010");
    const int designation = window.grid().GetColumn("BENÄMNING");
    window.grid().setText(1, designation, "Ändrad");
    window.session().GridEdited(true);
    window.dispatch(CommandId::Ignore);
    QVERIFY(!window.session().isEdited());
    QCOMPARE(window.grid().text(1, designation), QString("Ett"));
}

void TestBrowsing::saveAsCopiesAndOpensTheCopy()
{
    const QString tdb = catalogue("original", {line("ABCDI010", "1", "Ett")});
    ScriptedPrompter prompter;
    MainWindow window(prompter);
    QVERIFY(window.OpenMDB(tdb));

    // The same file in other letter case: nothing happens.
    const QStringList before = QDir(m_dir->path()).entryList(QDir::Files, QDir::Name);
    prompter.saveFiles.enqueue(m_dir->filePath("ORIGINAL.tdb"));
    window.dispatch(CommandId::SaveAs);
    QCOMPARE(window.session().CurrentDbPath(), tdb);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files, QDir::Name), before);
    QCOMPARE(prompter.fileRequests.last().title, QString("Spara som"));

    // A copy that cannot be made leaves the original open.
    TestFiles::write(m_dir->filePath("fil"), "not a folder");
    prompter.saveFiles.enqueue(m_dir->filePath("fil/kopia.tdb"));
    window.dispatch(CommandId::SaveAs);
    QVERIFY(prompter.lastText().startsWith("frmMain:mnuSaveAs::ERROR:"));
    QVERIFY(window.session().isOpen());
    QCOMPARE(window.session().CurrentDbPath(), tdb);

    prompter.saveFiles.enqueue(m_dir->filePath("kopia.tdb"));
    window.dispatch(CommandId::SaveAs);
    QCOMPARE(window.session().CurrentDbPath(), m_dir->filePath("kopia.tdb"));
    QVERIFY(window.session().isOpen());
    QCOMPARE(TestFiles::storedSetting("0RecentFile", "Main"), m_dir->filePath("kopia.tdb"));
    QVERIFY(QFile::exists(tdb));
}

void TestBrowsing::unsavedEditsAreOfferedBeforeClosing()
{
    const QString tdb = catalogue("stang", {line("ABCDI010", "1", "Ett")});
    ScriptedPrompter prompter;
    MainWindow window(prompter);
    window.show();
    QVERIFY(window.OpenMDB(tdb));
    const int designation = [&] {
        click(window, "!ABCDI010");
        return window.grid().GetColumn("BENÄMNING");
    }();

    // Answering Yes saves before the database closes.
    window.grid().setText(1, designation, "Sparad");
    window.session().GridEdited(true);
    prompter.choices.enqueue(Answer::Yes);
    window.dispatch(CommandId::CloseMDB);
    QVERIFY(prompter.shown.last().isQuestion);
    QVERIFY(!window.session().isOpen());
    {
        Database db(tdb, Database::OpenMode::ReadOnly);
        QCOMPARE(db.scalar("SELECT \"BENÄMNING\" FROM Articles").toString(), QString("Sparad"));
    }

    // Answering No lets the edits go; closing the window asks the same.
    QVERIFY(window.OpenMDB(tdb));
    click(window, "!ABCDI010");
    window.grid().setText(1, designation, "Bortkastad");
    window.session().GridEdited(true);
    prompter.choices.enqueue(Answer::No);
    QVERIFY(window.close());
    Database db(tdb, Database::OpenMode::ReadOnly);
    QCOMPARE(db.scalar("SELECT \"BENÄMNING\" FROM Articles").toString(), QString("Sparad"));
}

void TestBrowsing::checkPanelListsFindingsAndShowsThem()
{
    const QString tdb = catalogue("kontroll", {line("ABCDI010", "-", "Kontaktorer"),
                                               line("ABCDI010", "1", "Kontaktor", "Nordel"),
                                               line("ABCDI010", "1", "Kontaktor igen", "Nordel"),
                                               line("ABCDI020", "-", "Reläer"),
                                               line("ABCDI020", "1", "Relä", "Nordel")});
    ScriptedPrompter prompter;
    MainWindow window(prompter);
    QVERIFY(window.OpenMDB(tdb));
    QVERIFY(window.action(CommandId::CheckCatalogue)->isEnabled());
    window.dispatch(CommandId::CheckCatalogue);
    auto *panel = window.findChild<CheckPanel *>("dockCheck");
    QVERIFY(panel);
    QTreeWidget *list = panel->list();
    QCOMPARE(list->topLevelItemCount(), 1);
    QCOMPARE(list->topLevelItem(0)->text(0), "type-duplicate (1)");
    QTreeWidgetItem *finding = list->topLevelItem(0)->child(0);
    QCOMPARE(finding->text(1), "ABCDI010, rad 2, typ 1, fält TYP");

    // Activating a finding (Enter, or a double-click) shows the group and selects the cell.
    list->expandAll();
    list->setCurrentItem(finding);
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(window.grid().rows(), 4);
    QCOMPARE(window.tree()->currentKey(), "!ABCDI010");
    const QModelIndex current = window.gridView()->currentIndex();
    QCOMPARE(window.grid().text(current.row() + 1, window.grid().GetColumn("BENÄMNING")),
             "Kontaktor igen");
    QCOMPARE(current.column(), window.grid().GetColumn("TYP"));
}

void TestBrowsing::exportOffersTheCheckWhenErrorsExist_data()
{
    QTest::addColumn<bool>("duplicateType"); // an error the check finds
    QTest::addColumn<bool>("goAhead");       // "Exportera ändå"
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("exported");
    QTest::newRow("clean catalogue: nothing asked") << false << false << false << true;
    QTest::newRow("errors, exported anyway") << true << true << true << true;
    QTest::newRow("errors, looked at first") << true << false << true << false;
}

void TestBrowsing::exportOffersTheCheckWhenErrorsExist()
{
    QFETCH(bool, duplicateType);
    QFETCH(bool, goAhead);
    QFETCH(bool, asked);
    QFETCH(bool, exported);
    const QString tdb = catalogue(
        "export",
        {line("ABCDI010", "-", "Kontaktorer"), line("ABCDI010", "1", "Kontaktor", "Nordel"),
         line("ABCDI010", duplicateType ? "1" : "2", "Kontaktor två", "Nordel")});
    ScriptedPrompter prompter;
    MainWindow window(prompter);
    QVERIFY(window.OpenMDB(tdb));
    prompter.answers.enqueue(goAhead);
    const QString out = QFileInfo(tdb).absolutePath() + "/ut/export.tds";
    prompter.saveFiles.enqueue(out);
    window.dispatch(CommandId::SaveTDS);
    QCOMPARE(prompter.texts().join('\n').contains("fel som kan ge problem"), asked);
    QCOMPARE(QFile::exists(out), exported);
    auto *panel = window.findChild<CheckPanel *>("dockCheck");
    QCOMPARE(panel && !panel->isHidden(), asked && !goAhead);
}

CheckPanel *TestBrowsing::checkedWithFault(MainWindow &window, const QString &sql,
                                           const QString &rule)
{
    const QString tdb = catalogue("fix", {line("ABCDI010", "-", "Kontaktorer"),
                                          line("ABCDI010", "1", "Kontaktor", "Nordel"),
                                          line("ABCDI010", "2", "Kontaktor två", "Nordel"),
                                          line("ABCDI010", "3", "Kontaktor tre", "Nordel")});
    {
        Database db(tdb, Database::OpenMode::ReadWrite);
        db.exec(sql);
    }
    if (!window.OpenMDB(tdb))
        return nullptr;
    window.dispatch(CommandId::CheckCatalogue);
    auto *panel = window.findChild<CheckPanel *>("dockCheck");
    if (!panel)
        return nullptr;
    QTreeWidget *list = panel->list();
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        if (list->topLevelItem(i)->text(0).startsWith(rule + " ")) {
            list->setCurrentItem(list->topLevelItem(i)->child(0));
            return panel;
        }
    }
    return nullptr;
}

void TestBrowsing::checkFixesAreUndoableGridSteps_data()
{
    QTest::addColumn<QString>("sql");  // the fault
    QTest::addColumn<QString>("rule"); // what the check finds
    QTest::addColumn<QString>("column");
    QTest::addColumn<QStringList>("before"); // the column in the group's rows
    QTest::addColumn<QStringList>("after");  // once fixed

    QTest::newRow("rows sharing a row number")
        << "UPDATE Articles SET RAD = 1 WHERE TYP = '2'"
        << "row-number-duplicate"
        << "RAD" << QStringList{"0", "1", "1", "3"} << QStringList{"0", "1", "2", "3"};
    QTest::newRow("a value starting with spaces")
        << "UPDATE Articles SET \"BENÄMNING\" = '  Kontaktor två' WHERE TYP = '2'"
        << "value-leading-space"
        << "BENÄMNING"
        << QStringList{"Kontaktorer", "Kontaktor", "  Kontaktor två", "Kontaktor tre"}
        << QStringList{"Kontaktorer", "Kontaktor", "Kontaktor två", "Kontaktor tre"};
}

void TestBrowsing::checkFixesAreUndoableGridSteps()
{
    QFETCH(QString, sql);
    QFETCH(QString, rule);
    QFETCH(QString, column);
    QFETCH(QStringList, before);
    QFETCH(QStringList, after);
    ScriptedPrompter prompter;
    MainWindow window(prompter);
    CheckPanel *panel = checkedWithFault(window, sql, rule);
    QVERIFY(panel);
    QPushButton *fix = panel->fixButton();
    QVERIFY(fix->isEnabled());
    QVERIFY(fix->text().startsWith("Åtgärda: "));

    const auto shown = [&] {
        const ArticleGrid &grid = window.grid();
        QStringList values;
        for (int row = 1; row < grid.rows(); ++row)
            values << grid.text(row, grid.GetColumn(column));
        return values;
    };
    fix->click();
    QCOMPARE(window.tree()->currentKey(), "!ABCDI010");
    QCOMPARE(shown(), after);
    QVERIFY(window.session().isEdited());
    QVERIFY(!fix->isEnabled()); // done once; the panel says it waits for a save

    window.dispatch(CommandId::Undo);
    QCOMPARE(shown(), before);
    window.dispatch(CommandId::Redo);
    QCOMPARE(shown(), after);

    // Saved, the catalogue passes the check on that rule.
    QVERIFY(window.session().mnuSave());
    window.dispatch(CommandId::CheckCatalogue);
    QVERIFY(panel->list()->findItems(rule, Qt::MatchStartsWith).isEmpty());
}

void TestBrowsing::checkOffersToWidenAField()
{
    ScriptedPrompter prompter;
    MainWindow window(prompter);
    CheckPanel *panel = checkedWithFault(
        window, "UPDATE Articles SET \"BENÄMNING\" = 'Kontaktor nio ampere AC3' WHERE TYP = '3'",
        "value-too-long");
    QVERIFY(panel);
    auto *check = window.findChild<CheckController *>();
    QVERIFY(check);
    // The field-length dialog itself is tested on its own; here only what it is opened with.
    QObject::disconnect(check, &CheckController::fieldWideningRequested, nullptr, nullptr);
    QSignalSpy widening(check, &CheckController::fieldWideningRequested);
    QVERIFY(panel->fixButton()->isEnabled());
    panel->fixButton()->click();
    QCOMPARE(widening.count(), 1);
    QCOMPARE(widening.first().at(0).toString(), "BENÄMNING");
    QCOMPARE(widening.first().at(1).toInt(), 24);
}

void TestBrowsing::comparisonTakesChosenDifferences()
{
    const QString tdb = catalogue("oppen", {line("ABCDI010", "-", "Kontaktorer"),
                                            line("ABCDI010", "1", "Kontaktor", "Nordel"),
                                            line("ABCDI010", "2", "Kontaktor två", "Nordel"),
                                            line("ABCDI010", "3", "Kontaktor tre", "Nordel"),
                                            line("ABCDI020", "-", "Reläer"),
                                            line("ABCDI020", "1", "Relä", "Nordel")});
    // The other version: a maker changed, an article added after the first, the third gone.
    const QString other = CatalogueFixture::write(
        m_dir->path(), "annan",
        {line("ABCDI010", "-", "Kontaktorer"), line("ABCDI010", "1", "Kontaktor", "Åkerby"),
         line("ABCDI010", "5", "Ny kontaktor", "Nordel"),
         line("ABCDI010", "2", "Kontaktor två", "Nordel"), line("ABCDI020", "-", "Reläer"),
         line("ABCDI020", "1", "Relä", "Nordel")});
    ScriptedPrompter prompter;
    MainWindow window(prompter);
    QVERIFY(window.OpenMDB(tdb));
    prompter.openFiles.enqueue({other});
    window.dispatch(CommandId::CompareCatalogue);
    auto *compare = window.findChild<CompareController *>();
    QVERIFY(compare && compare->comparisonWindow());
    ComparisonWindow *view = compare->comparisonWindow();
    QCOMPARE(view->groupList()->topLevelItemCount(), 1);
    QTreeWidgetItem *group = view->groupList()->topLevelItem(0);
    QVERIFY(group->text(0).startsWith("ABCDI010"));
    QCOMPARE(group->text(1), "≠ Ändrad");

    view->groupList()->setCurrentItem(group);
    QCOMPARE(window.tree()->currentKey(), "!ABCDI010");
    ChangePreviewModel *model = view->preview()->model();
    QCOMPARE(model->count(ProposalKind::Changed), 1);
    QCOMPARE(model->count(ProposalKind::NoArticle), 1);
    QCOMPARE(model->count(ProposalKind::NotInList), 1);

    const auto shown = [&](const char *column) {
        const ArticleGrid &grid = window.grid();
        QStringList values;
        for (int row = 1; row < grid.rows(); ++row)
            values << grid.text(row, grid.GetColumn(column));
        return values;
    };
    const QStringList types = shown("TYP");
    view->preview()->takeButton()->click();
    // The added article at its place, the removed one gone, the maker taken; one step.
    QCOMPARE(shown("TYP"), QStringList({"-", "1", "5", "2"}));
    QCOMPARE(shown("FABRIKAT"), QStringList({"", "Åkerby", "Nordel", "Nordel"}));
    QVERIFY(window.session().isEdited());
    window.dispatch(CommandId::Undo);
    QCOMPARE(shown("TYP"), types);
    window.dispatch(CommandId::Redo);
    QCOMPARE(shown("TYP"), QStringList({"-", "1", "5", "2"}));

    // Saved, the two catalogues hold the same articles in the same order.
    QVERIFY(window.session().mnuSave());
    QVERIFY(compare->compareWith(other));
    QCOMPARE(view->groupList()->topLevelItemCount(), 0);
}

QTEST_MAIN(TestBrowsing)
#include "tst_browsing.moc"
