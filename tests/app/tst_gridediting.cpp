#include "app/MainWindow.h"
#include "browse/ArticleGridModel.h"
#include "browse/GridRules.h"
#include "core/Progress.h"
#include "db/Database.h"
#include "db/TdsImport.h"
#include "edit/ContactDefinition.h"
#include "edit/FieldLength.h"
#include "support/CatalogueFixture.h"
#include "support/GridFixture.h"
#include "support/ScriptedPrompter.h"
#include "support/TestFiles.h"
#include "ui/ArticleGridView.h"
#include "ui/CellDelegate.h"
#include "ui/FindBar.h"
#include "ui/GroupTreeView.h"
#include "ui/Theme.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QScrollBar>
#include <QSettings>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using CatalogueFixture::line;

// The grid's wiring in the window: what may be edited, the Delete key, sorting, the popup and
// the commands that change rows, driven through the view as a user would.
class TestGridEditing : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void editingFollowsTheView();
    void deleteKeyClearingIsAnEdit();
    void rowSelectorAndPopup();
    void sortingByTypeRenumbers();
    void shiftClickOnProtectedColumnsOpensNothing();
    void insertAppendDeleteThroughCommands();
    void copyAndPasteCells();
    void fieldLengthFollowsAfterReopening();
    void openEditorIsSavedByCtrlS();
    void closingTheWindowCommitsTheEditorAndAsks();
    void treeClickWhileTypingKeepsTheEditedGroup();
    void viewShowsTheSelectionAnOperationLeaves_data();
    void viewShowsTheSelectionAnOperationLeaves();
    void overLongPasteSaysWhatWasCut();
    void findJumpsToTheArticle();
    void undoAndRedoStepThroughTheEdits();
    void savingOrIgnoringForgetsTheSteps_data();
    void savingOrIgnoringForgetsTheSteps();
    void changedCellsAreMarked();
    void anotherChoiceClearsStatusAndSortArrow();
    void editorOpenedForItsButtonMakesNoEdit();
    void databaseDialogsAskAboutEditsFirst_data();
    void databaseDialogsAskAboutEditsFirst();
    void overviewRefusesCellChanges_data();
    void overviewRefusesCellChanges();
    void overviewSortIsForLookingOnly();
    void headLineStaysFirstThroughSortAndSave();
    void dialogWritesAnnounceTheChangeMark_data();
    void dialogWritesAnnounceTheChangeMark();
    void placeStaysAfterSaveAndIgnore_data();
    void placeStaysAfterSaveAndIgnore();
    void ctrlEndReachesTheLastRowOfAViewStillLoading();
    void theCountOfRowsReadLeavesWithItsView();
    void spreadsheetKeys_data();
    void spreadsheetKeys();
    void f6GoesRoundThePanes();
    void popupKeysOpenThePopup();

private:
    ArticleGrid::CellRange viewSelection() const;
    QLineEdit *typeInto(const QModelIndex &index, const QString &text);
    QString storedFirstDesignation();
    void openGroup(const QString &key);
    void selectRows(int first, int last);
    QModelIndex cell(int row, const QString &header) const;

    QTemporaryDir m_settings;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedPrompter> m_prompter;
    std::unique_ptr<MainWindow> m_window;
    QString m_tdb;
};

void TestGridEditing::initTestCase()
{
    TestFiles::isolateSettings(m_settings.path());
}

void TestGridEditing::init()
{
    TestFiles::clearUserSettings();
    m_dir = std::make_unique<QTemporaryDir>();
    m_tdb = CatalogueFixture::importDatabase(
        m_dir->path(), "red",
        {line("ABCDI010", "12", "Kontaktor", "Nordel"), line("ABCDI010", "5", "Relä", "Nordel"),
         line("ABCDI010", "3", "Säkring", "Åkerby"), line("ABCDI020", "K7", "Annan grupp")});
    m_prompter = std::make_unique<ScriptedPrompter>();
    m_window = std::make_unique<MainWindow>(*m_prompter);
    m_window->show();
    QVERIFY(m_window->OpenMDB(m_tdb));
}

void TestGridEditing::cleanup()
{
    m_window.reset();
}

void TestGridEditing::openGroup(const QString &key)
{
    m_window->tree()->setCurrentKey(key);
    QVERIFY(m_window->session().show(ArticleSelection::fromTreeKey(key)));
}

QModelIndex TestGridEditing::cell(int row, const QString &header) const
{
    return m_window->gridView()->model()->index(row - 1, m_window->grid().GetColumn(header));
}

void TestGridEditing::selectRows(int first, int last)
{
    ArticleGridView *view = m_window->gridView();
    const QAbstractItemModel *model = view->model();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      view->visualRect(model->index(first - 1, 0)).center());
    if (last != first)
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ShiftModifier,
                          view->visualRect(model->index(last - 1, 0)).center());
}

void TestGridEditing::editingFollowsTheView()
{
    QAbstractItemModel *model = m_window->gridView()->model();
    openGroup("@");
    QVERIFY(!(model->flags(cell(1, "BENÄMNING")) & Qt::ItemIsEditable));

    openGroup("!ABCDI010");
    QVERIFY(model->flags(cell(1, "BENÄMNING")) & Qt::ItemIsEditable);
    QVERIFY(!(model->flags(cell(1, "BL_NAME")) & Qt::ItemIsEditable));
    QVERIFY(!m_window->session().isEdited());

    QVERIFY(model->setData(cell(2, "BENÄMNING"), "   ", Qt::EditRole));
    QCOMPARE(m_window->grid().text(2, m_window->grid().GetColumn("BENÄMNING")), QString("0"));
    QVERIFY(m_window->session().isEdited());
    QVERIFY(!m_window->tree()->isEnabled());
    QVERIFY(m_window->action(CommandId::Save)->isEnabled());
    QVERIFY(m_window->isWindowModified()); // the caption shows "*"
    // The row selector marks the changed row, and only that one.
    QCOMPARE(model->data(model->index(1, 0)).toString(), ArticleGridModel::kChangedMark + " 2");
    QCOMPARE(model->data(model->index(0, 0)).toString(), QString("1"));

    // The editor holds no more than the field's length.
    m_window->gridView()->edit(cell(1, "BENÄMNING"));
    auto *editor =
        qobject_cast<QLineEdit *>(m_window->gridView()->indexWidget(cell(1, "BENÄMNING")));
    QVERIFY(editor);
    QCOMPARE(editor->maxLength(), 20);
}

void TestGridEditing::deleteKeyClearingIsAnEdit()
{
    openGroup("!ABCDI010");
    selectRows(1, 2);
    QTest::keyClick(m_window->gridView(), Qt::Key_Delete);
    const ArticleGrid &grid = m_window->grid();
    QCOMPARE(grid.text(1, grid.GetColumn("BENÄMNING")), QString());
    QCOMPARE(grid.text(2, grid.GetColumn("FABRIKAT")), QString());
    QCOMPARE(grid.text(1, grid.GetColumn("TYP")), QString("12"));
    QCOMPARE(grid.text(1, grid.GetColumn("BL_NAME")), QString("ABCDI010"));
    QCOMPARE(grid.text(3, grid.GetColumn("BENÄMNING")), QString("Säkring"));
    // The clearing can be saved, and picking another group asks about it first.
    QVERIFY(m_window->session().isEdited());
    QVERIFY(m_window->action(CommandId::Save)->isEnabled());
    m_window->dispatch(CommandId::Save);
    Database db(m_tdb, Database::OpenMode::ReadOnly);
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM Articles WHERE \"BENÄMNING\" = ''").toInt(), 2);
}

void TestGridEditing::rowSelectorAndPopup()
{
    openGroup("!ABCDI010");
    selectRows(2, 2);
    QCOMPARE(m_window->grid().selection().c1, 1);
    QList<GridRules::PopupItem> items = m_window->gridController().gridPopupItems();
    QCOMPARE(items.first().caption, QString("&Infoga 1 ny artikel här"));
    QCOMPARE(m_window->statusBar()->findChild<QLabel *>("staMessage")->text(),
             QString("1 rad markerade."));

    selectRows(1, 3);
    items = m_window->gridController().gridPopupItems();
    QCOMPARE(items.first().caption, QString("&Infoga 3 nya artiklar här"));
    QCOMPARE(items.at(4).caption, QString("&Radera 3 markerade artiklar"));
    QCOMPARE(m_window->statusBar()->findChild<QLabel *>("staMessage")->text(),
             QString("3 rader markerade."));
}

void TestGridEditing::sortingByTypeRenumbers()
{
    openGroup("!ABCDI010");
    const ArticleGrid &grid = m_window->grid();
    const int typ = grid.GetColumn("TYP");
    QTest::mouseClick(
        m_window->gridView()->horizontalHeader()->viewport(), Qt::LeftButton, {},
        QPoint(m_window->gridView()->horizontalHeader()->sectionViewportPosition(typ) + 5, 5));
    QCOMPARE((QStringList{grid.text(1, typ), grid.text(2, typ), grid.text(3, typ)}),
             (QStringList{"3", "5", "12"}));
    // Row numbers follow the new order.
    const int rad = grid.GetColumn("RAD");
    QCOMPARE((QStringList{grid.text(1, rad), grid.text(2, rad), grid.text(3, rad)}),
             (QStringList{"0", "1", "2"}));
    QCOMPARE(grid.text(1, grid.GetColumn("BENÄMNING")), QString("Säkring"));
    QVERIFY(m_window->session().isEdited());
}

void TestGridEditing::shiftClickOnProtectedColumnsOpensNothing()
{
    openGroup("!ABCDI010");
    QSignalSpy requests(&m_window->gridController(), &GridController::fieldEditRequested);
    for (const char *header : {"BL_NAME", "TYP", "TBH/APP"}) {
        const int column = m_window->grid().FindGridColumn(header);
        if (column < 0)
            continue;
        QVERIFY(!m_window->gridController().shiftClickColumn(column));
    }
    QCOMPARE(requests.count(), 0);
}

void TestGridEditing::insertAppendDeleteThroughCommands()
{
    openGroup("!ABCDI010");
    selectRows(2, 3);
    m_window->dispatch(CommandId::InsertArticle);
    const ArticleGrid &grid = m_window->grid();
    QCOMPARE(grid.rows(), 6);
    QCOMPARE(grid.text(2, grid.GetColumn("BL_NAME")), QString("ABCDI010"));
    QCOMPARE(grid.text(2, grid.GetColumn("TYP")), QString("13"));
    QVERIFY(m_window->session().isEdited());

    m_prompter->inputs.enqueue(QString("2"));
    m_window->dispatch(CommandId::AppendArticles);
    QCOMPARE(grid.rows(), 8);

    selectRows(6, 7);
    m_window->dispatch(CommandId::DeleteArticle);
    QCOMPARE(grid.rows(), 6);
    QVERIFY(m_prompter->shown.size() == 1); // only the count question
}

void TestGridEditing::copyAndPasteCells()
{
    openGroup("!ABCDI010");
    QAbstractItemView *view = m_window->gridView();
    view->setCurrentIndex(cell(1, "BENÄMNING"));
    view->selectionModel()->select(QItemSelection(cell(1, "BENÄMNING"), cell(1, "FABRIKAT")),
                                   QItemSelectionModel::ClearAndSelect);
    m_window->dispatch(CommandId::Copy);
    QCOMPARE(QApplication::clipboard()->text(), QString("Kontaktor\tNordel"));
    view->setCurrentIndex(cell(3, "BENÄMNING"));
    m_window->dispatch(CommandId::Paste);
    QCOMPARE(m_window->grid().text(3, m_window->grid().GetColumn("BENÄMNING")),
             QString("Kontaktor"));
    QVERIFY(m_window->session().isEdited());
}

void TestGridEditing::fieldLengthFollowsAfterReopening()
{
    openGroup("!ABCDI010");
    {
        Database db(m_tdb, Database::OpenMode::ReadWrite);
        FieldLength::changeColumnSize(db, "BENÄMNING", 30, false);
    }
    QVERIFY(m_window->session().reopen());
    openGroup("!ABCDI010");
    m_window->gridView()->edit(cell(1, "BENÄMNING"));
    auto *editor =
        qobject_cast<QLineEdit *>(m_window->gridView()->indexWidget(cell(1, "BENÄMNING")));
    QVERIFY(editor);
    QCOMPARE(editor->maxLength(), 30);
}

QLineEdit *TestGridEditing::typeInto(const QModelIndex &index, const QString &text)
{
    ArticleGridView *view = m_window->gridView();
    view->setCurrentIndex(index);
    view->edit(index);
    // The editor of this cell (one closed before may still wait for deletion).
    QWidget *widget = view->indexWidget(index);
    auto *editor = qobject_cast<QLineEdit *>(widget);
    if (!editor && widget)
        editor = widget->findChild<QLineEdit *>();
    if (!editor)
        return nullptr;
    editor->selectAll();
    QTest::keyClicks(editor, text);
    return editor;
}

QString TestGridEditing::storedFirstDesignation()
{
    Database db(m_tdb, Database::OpenMode::ReadOnly);
    return db
        .scalar("SELECT \"BENÄMNING\" FROM Articles WHERE BL_NAME = 'ABCDI010' ORDER BY RAD "
                "LIMIT 1")
        .toString();
}

void TestGridEditing::openEditorIsSavedByCtrlS()
{
    openGroup("!ABCDI010");
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    QLineEdit *editor = typeInto(cell(1, "BENÄMNING"), "Skriven");
    QVERIFY(editor);
    // Typing alone makes saving possible; Enter is not needed.
    QVERIFY(m_window->action(CommandId::Save)->isEnabled());
    QTest::keyClick(editor, Qt::Key_S, Qt::ControlModifier);
    QVERIFY2(m_prompter->shown.isEmpty(), qPrintable(m_prompter->lastText()));
    QCOMPARE(storedFirstDesignation(), QString("Skriven"));
    QCOMPARE(m_window->grid().text(1, m_window->grid().GetColumn("BENÄMNING")), QString("Skriven"));
    QVERIFY(!m_window->session().isEdited());
    QCOMPARE(QApplication::focusWidget(), m_window->gridView());
}

void TestGridEditing::closingTheWindowCommitsTheEditorAndAsks()
{
    // An editor opened and left without a change is no edit: closing asks nothing.
    openGroup("!ABCDI010");
    m_window->gridView()->setCurrentIndex(cell(1, "FABRIKAT"));
    m_window->gridView()->edit(cell(1, "FABRIKAT"));
    m_window->dispatch(CommandId::Copy);
    QVERIFY(!m_window->session().isEdited());

    openGroup("!ABCDI010");
    QVERIFY(typeInto(cell(1, "BENÄMNING"), "Kvar"));
    m_prompter->choices.enqueue(Answer::Cancel);
    QVERIFY(!m_window->close());
    QVERIFY(m_window->isVisible());
    QVERIFY(m_prompter->shown.last().isQuestion);
    QCOMPARE(m_window->grid().text(1, m_window->grid().GetColumn("BENÄMNING")), QString("Kvar"));
    QVERIFY(m_window->session().isEdited());
    QVERIFY(m_window->session().isOpen());

    m_prompter->choices.enqueue(Answer::Yes);
    QVERIFY(m_window->close());
    QCOMPARE(storedFirstDesignation(), QString("Kvar"));
}

void TestGridEditing::treeClickWhileTypingKeepsTheEditedGroup()
{
    openGroup("!ABCDI010");
    m_window->tree()->setCurrentKey("!ABCDI010");
    QVERIFY(typeInto(cell(1, "BENÄMNING"), "Pågående"));
    // A click on another group while the editor is open: the text counts, and the tree, now
    // guarding an edited group, stays where it was.
    GroupTreeView *tree = m_window->tree();
    QTreeWidgetItem *other = tree->itemWithKey("!ABCDI020");
    m_prompter->choices.enqueue(Answer::Cancel);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(other).center());
    QCOMPARE(m_window->session().selection(), ArticleSelection::group("ABCDI010"));
    QCOMPARE(tree->currentKey(), QString("!ABCDI010"));
    QCOMPARE(m_window->grid().text(1, m_window->grid().GetColumn("BENÄMNING")),
             QString("Pågående"));
    QVERIFY(m_window->session().isEdited());
    QVERIFY(!tree->isEnabled());
    QCOMPARE(storedFirstDesignation(), QString("Kontaktor"));

    // Picking another group once the edits exist asks first; Avbryt keeps everything.
    tree->setEnabled(true);
    tree->setCurrentKey("!ABCDI020");
    emit tree->rowPicked();
    QVERIFY(m_prompter->shown.last().isQuestion);
    QCOMPARE(m_window->session().selection(), ArticleSelection::group("ABCDI010"));
    QCOMPARE(tree->currentKey(), QString("!ABCDI010"));
    QVERIFY(m_window->session().isEdited());
}

ArticleGrid::CellRange TestGridEditing::viewSelection() const
{
    const QItemSelection selected = m_window->gridView()->selectionModel()->selection();
    ArticleGrid::CellRange range{INT_MAX, INT_MAX, -1, -1};
    for (const QItemSelectionRange &part : selected) {
        range.r1 = qMin(range.r1, part.top() + 1);
        range.r2 = qMax(range.r2, part.bottom() + 1);
        range.c1 = qMin(range.c1, part.left());
        range.c2 = qMax(range.c2, part.right());
    }
    return range;
}

void TestGridEditing::viewShowsTheSelectionAnOperationLeaves_data()
{
    // The group shows three articles; a row is selected whole, a column range is BENÄMNING.
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<bool>("wholeRows");
    QTest::addColumn<int>("expectedFirst");
    QTest::addColumn<int>("expectedLast");
    QTest::addColumn<int>("expectedRows");
    using C = CommandId;
    QTest::newRow("insert: the new rows") << int(C::InsertArticle) << 2 << 3 << true << 2 << 3 << 5;
    QTest::newRow("append: the new rows") << int(C::AppendArticle) << 1 << 1 << true << 4 << 4 << 4;
    QTest::newRow("delete: the row now in place")
        << int(C::DeleteArticle) << 2 << 2 << true << 2 << 2 << 2;
    QTest::newRow("delete the last: the last row")
        << int(C::DeleteArticle) << 3 << 3 << true << 2 << 2 << 2;
    QTest::newRow("fill down: the filled cells")
        << int(C::FillDown) << 1 << 3 << false << 1 << 3 << 3;
    QTest::newRow("fill up: the filled cells") << int(C::FillUp) << 2 << 3 << false << 2 << 3 << 3;
}

void TestGridEditing::viewShowsTheSelectionAnOperationLeaves()
{
    QFETCH(int, command);
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(bool, wholeRows);
    QFETCH(int, expectedFirst);
    QFETCH(int, expectedLast);
    QFETCH(int, expectedRows);
    openGroup("!ABCDI010");
    ArticleGridView *view = m_window->gridView();
    if (wholeRows) {
        selectRows(first, last);
    } else {
        view->selectionModel()->select(
            QItemSelection(cell(first, "BENÄMNING"), cell(last, "BENÄMNING")),
            QItemSelectionModel::ClearAndSelect);
    }
    m_window->dispatch(CommandId(command));
    const ArticleGrid &grid = m_window->grid();
    QCOMPARE(grid.rows() - 1, expectedRows);
    QCOMPARE(view->model()->rowCount(), expectedRows);
    QCOMPARE(grid.selection().r1, expectedFirst);
    QCOMPARE(grid.selection().r2, expectedLast);
    // The view shows what the grid holds as its selection, and nothing else.
    const ArticleGrid::CellRange shown = viewSelection();
    QCOMPARE(shown.r1, grid.selection().r1);
    QCOMPARE(shown.r2, grid.selection().r2);
    QCOMPARE(shown.c1, grid.selection().c1);
    QCOMPARE(shown.c2, grid.selection().c2);
    QVERIFY(m_window->session().isEdited());
}

void TestGridEditing::overLongPasteSaysWhatWasCut()
{
    openGroup("!ABCDI010");
    QApplication::clipboard()->setText("En benämning som är mycket längre än tjugo tecken\r\n");
    m_window->gridView()->setCurrentIndex(cell(2, "BENÄMNING"));
    m_window->dispatch(CommandId::Paste);
    QCOMPARE(m_window->grid().text(2, m_window->grid().GetColumn("BENÄMNING")),
             QString("En benämning som är "));
    const QString status = m_window->statusBar()->currentMessage();
    QVERIFY2(status.contains("1 cell") && status.contains("BENÄMNING"), qPrintable(status));
}

void TestGridEditing::findJumpsToTheArticle()
{
    openGroup("!ABCDI010");
    m_window->dispatch(CommandId::Find);
    FindBar *bar = m_window->findBar();
    QVERIFY(bar->isVisible());
    emit bar->searchRequested("ANNAN");
    QCOMPARE(bar->hits().size(), 1);
    emit bar->hitActivated(0);
    // The hit's group is shown and its cell is current.
    QCOMPARE(m_window->session().selection(), ArticleSelection::group("ABCDI020"));
    const QModelIndex current = m_window->gridView()->currentIndex();
    QCOMPARE(current.row(), 0);
    QCOMPARE(m_window->grid().text(0, current.column()), QString("BENÄMNING"));
}

void TestGridEditing::undoAndRedoStepThroughTheEdits()
{
    openGroup("!ABCDI010");
    const ArticleGrid &grid = m_window->grid();
    QAbstractItemModel *model = m_window->gridView()->model();
    QAction *undo = m_window->action(CommandId::Undo);
    QAction *redo = m_window->action(CommandId::Redo);
    QCOMPARE(undo->shortcut(), QKeySequence(Qt::ALT | Qt::Key_Backspace));
    QCOMPARE(redo->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Y));
    QVERIFY(!undo->isEnabled());
    const QStringList loaded = GridFixture::dump(grid);

    // A typed edit, a fill and an insert: three steps, each named after what it did.
    QVERIFY(model->setData(cell(1, "BENÄMNING"), "Brytare", Qt::EditRole));
    QCOMPARE(undo->text(), QString("&Ångra Ändring i BENÄMNING"));
    m_window->gridView()->selectionModel()->select(
        QItemSelection(cell(1, "FABRIKAT"), cell(3, "FABRIKAT")),
        QItemSelectionModel::ClearAndSelect);
    m_window->dispatch(CommandId::FillDown);
    QCOMPARE(undo->text(), QString("&Ångra Fyll nedåt"));
    const QStringList filled = GridFixture::dump(grid);
    selectRows(2, 2);
    m_window->dispatch(CommandId::InsertArticle);
    QCOMPARE(grid.rows(), 5);
    const QStringList inserted = GridFixture::dump(grid);

    m_window->dispatch(CommandId::Undo);
    QCOMPARE(GridFixture::dump(grid), filled);
    QCOMPARE(model->rowCount(), 3); // the view follows the rows taken out
    QCOMPARE(redo->text(), QString("&Gör om Infoga artiklar"));
    QVERIFY(m_window->session().isEdited());

    // The popup offers the same steps.
    const QList<GridRules::PopupItem> popup = m_window->gridController().gridPopupItems();
    QCOMPARE(popup.at(popup.size() - 2).caption, QString("&Ångra Fyll nedåt"));
    QVERIFY(popup.last().enabled);

    m_window->dispatch(CommandId::Undo);
    m_window->dispatch(CommandId::Undo);
    // Every step taken back: the grid is as loaded, and nothing is left to save.
    QCOMPARE(GridFixture::dump(grid), loaded);
    QVERIFY(!m_window->session().isEdited());
    QVERIFY(!m_window->isWindowModified());
    QVERIFY(m_window->tree()->isEnabled());
    QVERIFY(!undo->isEnabled());
    QCOMPARE(undo->text(), QString("&Ångra"));
    QCOMPARE(model->data(model->index(0, 0)).toString(), QString("1"));

    for (int i = 0; i < 3; ++i)
        m_window->dispatch(CommandId::Redo);
    QCOMPARE(GridFixture::dump(grid), inserted);
    QCOMPARE(model->rowCount(), 4);
    QVERIFY(m_window->session().isEdited());
    QVERIFY(!redo->isEnabled());

    // A new edit after an undo ends what could be done again.
    m_window->dispatch(CommandId::Undo);
    QVERIFY(model->setData(cell(3, "BENÄMNING"), "Ny", Qt::EditRole));
    QVERIFY(!redo->isEnabled());
    QCOMPARE(m_window->grid().rows(), 4);
}

void TestGridEditing::savingOrIgnoringForgetsTheSteps_data()
{
    QTest::addColumn<int>("command");
    QTest::newRow("save") << int(CommandId::Save);
    QTest::newRow("ignore") << int(CommandId::Ignore);
}

void TestGridEditing::savingOrIgnoringForgetsTheSteps()
{
    QFETCH(int, command);
    openGroup("!ABCDI010");
    QAbstractItemModel *model = m_window->gridView()->model();
    QVERIFY(model->setData(cell(1, "BENÄMNING"), "Brytare", Qt::EditRole));
    QVERIFY(m_window->action(CommandId::Undo)->isEnabled());
    m_window->dispatch(CommandId(command));
    QVERIFY(!m_window->action(CommandId::Undo)->isEnabled());
    QVERIFY(!m_window->action(CommandId::Redo)->isEnabled());
    QVERIFY(!m_window->session().isEdited());
    // The grid shows what is stored, without marks.
    QCOMPARE(model->data(cell(1, "BENÄMNING"), ArticleGridModel::CellChangedRole).toBool(), false);
    QCOMPARE(model->data(cell(1, "BENÄMNING")).toString(),
             command == int(CommandId::Save) ? QString("Brytare") : QString("Kontaktor"));
}

void TestGridEditing::changedCellsAreMarked()
{
    openGroup("!ABCDI010");
    QAbstractItemModel *model = m_window->gridView()->model();
    QVERIFY(model->setData(cell(2, "FABRIKAT"), "Hager", Qt::EditRole));
    QVERIFY(model->data(cell(2, "FABRIKAT"), ArticleGridModel::CellChangedRole).toBool());
    QVERIFY(!model->data(cell(2, "BENÄMNING"), ArticleGridModel::CellChangedRole).toBool());
    QVERIFY(!model->data(cell(1, "FABRIKAT"), ArticleGridModel::CellChangedRole).toBool());
    QVERIFY(!model->data(cell(2, "FABRIKAT"), Qt::ToolTipRole).toString().isEmpty());
    QVERIFY(model->data(cell(2, "BENÄMNING"), Qt::ToolTipRole).toString().isEmpty());
    // The mark is drawn: the delegate gives the cell the tinted background.
    QStyleOptionViewItem option;
    option.palette = m_window->gridView()->palette();
    const QStyleOptionViewItem plain = option;
    class Probe : public CellDelegate
    {
    public:
        using CellDelegate::CellDelegate;
        using CellDelegate::initStyleOption;
    } probe(CellDelegate::RuleFor{});
    probe.initStyleOption(&option, cell(2, "FABRIKAT"));
    QCOMPARE(option.backgroundBrush.color(), CellDelegate::changedCellTint(plain.palette));
    QStyleOptionViewItem unchanged = plain;
    probe.initStyleOption(&unchanged, cell(2, "BENÄMNING"));
    QCOMPARE(unchanged.backgroundBrush.style(), Qt::NoBrush);

    // The tint shows on every scheme, light or dark: apart from the cell's background and
    // from the selection, and the text stays readable on it.
    QList<QPalette> palettes;
    for (int scheme = 0; scheme <= Theme::kDefaultScheme; ++scheme)
        palettes << Theme::palette(scheme);
    QPalette dark;
    dark.setColor(QPalette::Base, QColor(0x1E, 0x1E, 0x1E));
    dark.setColor(QPalette::Text, QColor(0xE0, 0xE0, 0xE0));
    dark.setColor(QPalette::Highlight, QColor(0x2A, 0x5C, 0xAA));
    palettes << dark;
    auto distance = [](const QColor &a, const QColor &b) {
        return qAbs(a.red() - b.red()) + qAbs(a.green() - b.green()) + qAbs(a.blue() - b.blue());
    };
    for (const QPalette &palette : palettes) {
        const QColor tint = CellDelegate::changedCellTint(palette);
        QVERIFY(distance(tint, palette.color(QPalette::Base)) >= 60);
        QVERIFY(distance(tint, palette.color(QPalette::Highlight)) >= 60);
        QVERIFY(qAbs(qGray(tint.rgb()) - qGray(palette.color(QPalette::Text).rgb())) >= 90);
    }
}

void TestGridEditing::anotherChoiceClearsStatusAndSortArrow()
{
    openGroup("!ABCDI010");
    QHeaderView *header = m_window->gridView()->horizontalHeader();
    auto *status = m_window->statusBar()->findChild<QLabel *>("staMessage");
    m_window->gridController().onHeaderClicked(m_window->grid().GetColumn("BENÄMNING"));
    QVERIFY(header->isSortIndicatorShown());
    selectRows(1, 2);
    QCOMPARE(status->text(), QString("2 rader markerade."));
    // Neither the status text nor the arrow speaks of rows that are gone.
    m_prompter->choices.enqueue(Answer::No);
    openGroup("!ABCDI020");
    QCOMPARE(status->text(), QString());
    QVERIFY(!header->isSortIndicatorShown());
    selectRows(1, 1);
    m_window->dispatch(CommandId::CloseMDB);
    QCOMPARE(status->text(), QString());
}

void TestGridEditing::editorOpenedForItsButtonMakesNoEdit()
{
    openGroup("!ABCDI020");
    ArticleGridView *view = m_window->gridView();
    // An empty cell opened only to reach its "..." button stays empty (a committed blank would
    // become "0"), and nothing is edited.
    const int maker = m_window->grid().GetColumn("FABRIKAT");
    QCOMPARE(m_window->grid().text(1, maker), QString());
    view->edit(cell(1, "FABRIKAT"));
    QVERIFY(view->isEditing());
    QVERIFY(!view->commitTypedText());
    QVERIFY(!view->isEditing());
    QCOMPARE(m_window->grid().text(1, maker), QString());
    QVERIFY(!m_window->session().isEdited());

    // What was typed is written.
    QLineEdit *editor = typeInto(cell(1, "FABRIKAT"), "Hager");
    QVERIFY(editor);
    QVERIFY(view->commitTypedText());
    QCOMPARE(m_window->grid().text(1, maker), QString("Hager"));
    QVERIFY(m_window->session().isEdited());
}

void TestGridEditing::databaseDialogsAskAboutEditsFirst_data()
{
    QTest::addColumn<int>("command");
    QTest::newRow("prefix") << int(CommandId::ChangePrefix);
    QTest::newRow("article group") << int(CommandId::NewArticleGroup);
    QTest::newRow("accessory group") << int(CommandId::NewAccessoryGroup);
    QTest::newRow("export") << int(CommandId::SaveTDS);
    QTest::newRow("save as") << int(CommandId::SaveAs);
}

void TestGridEditing::databaseDialogsAskAboutEditsFirst()
{
    // These write to the database at once or copy it: the edits are settled before any dialog
    // opens, and Avbryt opens none.
    QFETCH(int, command);
    openGroup("!ABCDI010");
    QVERIFY(typeInto(cell(1, "BENÄMNING"), "Ändrad"));
    m_prompter->choices.enqueue(Answer::Cancel);
    m_window->dispatch(CommandId(command));
    QCOMPARE(m_prompter->shown.size(), 1);
    QVERIFY(m_prompter->shown.last().isQuestion);
    QVERIFY(m_prompter->fileRequests.isEmpty());
    QVERIFY(QApplication::topLevelWidgets().size() >= 1);
    for (QWidget *top : QApplication::topLevelWidgets())
        QVERIFY2(!top->isVisible() || top == m_window.get() || !qobject_cast<QDialog *>(top),
                 qPrintable(top->objectName()));
    QVERIFY(m_window->session().isEdited());
    QCOMPARE(m_window->grid().text(1, m_window->grid().GetColumn("BENÄMNING")), QString("Ändrad"));
    QCOMPARE(storedFirstDesignation(), QString("Kontaktor"));
}

void TestGridEditing::overviewRefusesCellChanges_data()
{
    QTest::addColumn<int>("command"); // -1: the Delete key, -2: typing
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("hint");

    using C = CommandId;
    const QString cells = GridRules::overviewHint();
    const QString rows = GridRules::rootViewRowHint();
    const QString articles = "!Ravelund!\r\n1\tX\t1\tNy\tNy";
    QTest::newRow("Delete key") << -1 << QString() << cells;
    QTest::newRow("typing") << -2 << QString() << cells;
    QTest::newRow("cut") << int(C::Cut) << QString() << cells;
    QTest::newRow("cell paste") << int(C::Paste) << "Ny\tNy\r\nNy\tNy" << cells;
    QTest::newRow("fill down") << int(C::FillDown) << QString() << cells;
    QTest::newRow("fill up") << int(C::FillUp) << QString() << cells;
    QTest::newRow("fill with step") << int(C::FillDownStep1) << QString() << cells;
    QTest::newRow("replace") << int(C::Replace) << QString() << cells;
    QTest::newRow("delete articles") << int(C::DeleteArticle) << QString() << rows;
    QTest::newRow("paste articles") << int(C::PasteArticle) << articles << rows;
    QTest::newRow("paste as new articles") << int(C::PasteArticlesAsNew) << articles << rows;
    QTest::newRow("insert articles") << int(C::InsertArticle) << QString() << rows;
}

// The root view shows every group: nothing in it changes a cell or a row, and each attempt says
// where editing is.
void TestGridEditing::overviewRefusesCellChanges()
{
    QFETCH(int, command);
    QFETCH(QString, clipboard);
    QFETCH(QString, hint);

    openGroup("@");
    QApplication::clipboard()->setText(clipboard);
    ArticleGridView *view = m_window->gridView();
    view->setFocus();
    view->setCurrentIndex(cell(1, "BENÄMNING"));
    view->selectionModel()->select(QItemSelection(cell(1, "BENÄMNING"), cell(3, "FABRIKAT")),
                                   QItemSelectionModel::ClearAndSelect);
    const QStringList before = GridFixture::dump(m_window->grid());
    m_window->statusBar()->clearMessage();
    if (command == -1)
        QTest::keyClick(view, Qt::Key_Delete);
    else if (command == -2)
        QTest::keyClick(view, Qt::Key_X);
    else
        m_window->dispatch(CommandId(command));
    QCOMPARE(GridFixture::dump(m_window->grid()), before);
    QVERIFY(!m_window->session().isEdited());
    QVERIFY(!m_window->gridController().history().stack().canUndo());
    QCOMPARE(m_window->statusBar()->currentMessage(), hint);
    QVERIFY(m_prompter->shown.isEmpty());
}

void TestGridEditing::overviewSortIsForLookingOnly()
{
    openGroup("@");
    const ArticleGrid &grid = m_window->grid();
    const int rad = grid.GetColumn("RAD");
    const int designation = grid.GetColumn("BENÄMNING");
    auto rowsByNumber = [&] {
        QMap<QString, QString> rows;
        for (int r = 1; r < grid.rows(); ++r)
            rows.insert(grid.text(r, rad), grid.text(r, designation));
        return rows;
    };
    const QStringList catalogueOrder = GridFixture::dump(grid);
    const QMap<QString, QString> numbered = rowsByNumber();
    QHeaderView *header = m_window->gridView()->horizontalHeader();
    // The catalogue's order happens to be alphabetical: the second click sorts backwards.
    for (int click = 0; click < 2; ++click)
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(designation) + 5, 5));
    QVERIFY(GridFixture::dump(grid) != catalogueOrder);
    // Each row keeps its number: the overview was only looked at in another order.
    QCOMPARE(rowsByNumber(), numbered);
    QVERIFY(!m_window->session().isEdited());
    QVERIFY(!m_window->gridController().history().stack().canUndo());
    QVERIFY(header->isSortIndicatorShown());
    // Picking the root again shows the catalogue's order.
    openGroup("@");
    QCOMPARE(GridFixture::dump(grid), catalogueOrder);
}

// Sorting a group keeps its head line first; the save names the group after the head line.
void TestGridEditing::headLineStaysFirstThroughSortAndSave()
{
    const QString tdb = CatalogueFixture::importDatabase(
        m_dir->path(), "rubrik",
        {line("ABCDI030", "-", "Kontaktorer", ""), line("ABCDI030", "1", "Ökontaktor", "Nordel"),
         line("ABCDI030", "2", "Hjälpkontaktor", "Nordel")});
    QVERIFY(m_window->OpenMDB(tdb));
    openGroup("!ABCDI030");
    ArticleGrid &grid = m_window->grid();
    // An empty article would sort before every other one.
    selectRows(3, 3);
    m_window->dispatch(CommandId::AppendArticle);
    grid.setText(4, grid.GetColumn("TYP"), "");
    const int designation = grid.GetColumn("BENÄMNING");
    QHeaderView *header = m_window->gridView()->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(designation) + 5, 5));
    QCOMPARE(grid.text(1, designation), QString("Kontaktorer"));
    QCOMPARE(grid.text(2, designation), QString());
    QCOMPARE(grid.text(3, designation), QString("Hjälpkontaktor"));

    m_window->dispatch(CommandId::Save);
    QVERIFY2(m_prompter->shown.isEmpty(), qPrintable(m_prompter->lastText()));
    QCOMPARE(m_window->tree()->itemWithKey("!ABCDI030")->text(0), QString("Kontaktorer"));
    // Read back in row-number order, the head line leads.
    QCOMPARE(grid.text(1, grid.GetColumn("TYP")), QString("-"));
    QCOMPARE(grid.text(1, designation), QString("Kontaktorer"));
}

void TestGridEditing::dialogWritesAnnounceTheChangeMark_data()
{
    QTest::addColumn<bool>("picker"); // else the contact definition
    QTest::newRow("accessory picker") << true;
    QTest::newRow("contact definition") << false;
}

void TestGridEditing::dialogWritesAnnounceTheChangeMark()
{
    QFETCH(bool, picker);
    openGroup("!ABCDI010");
    GridController &controller = m_window->gridController();
    QAbstractItemModel *model = m_window->gridView()->model();
    const int maker = m_window->grid().GetColumn("FABRIKAT");
    QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
    if (picker) {
        controller.writeAccessoryGroup({2, maker, 3, maker}, "ABCD#K01");
    } else {
        const ContactDefinition::WriteResult result =
            ContactDefinition::writeToGrid(m_window->grid(), 2, 3, maker, "1S:13 14 ;");
        controller.model()->announce(result.change);
    }

    // The row selector of the written rows is repainted with its mark, with the cells' tint.
    bool selectorAnnounced = false;
    for (const QList<QVariant> &arguments : changed) {
        const auto first = arguments.at(0).value<QModelIndex>();
        const auto last = arguments.at(1).value<QModelIndex>();
        if (first.column() == 0 && first.row() <= 1 && last.row() >= 2)
            selectorAnnounced = true;
    }
    QVERIFY(selectorAnnounced);
    for (const int row : {2, 3}) {
        QCOMPARE(model->data(model->index(row - 1, 0)).toString(),
                 ArticleGridModel::kChangedMark + ' ' + QString::number(row));
        QVERIFY(model->data(cell(row, "FABRIKAT"), ArticleGridModel::CellChangedRole).toBool());
    }
    QCOMPARE(model->data(model->index(0, 0)).toString(), QString("1"));
}

void TestGridEditing::placeStaysAfterSaveAndIgnore_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("firstScreen"); // rows read at once; 0: as the window does
    QTest::newRow("Spara ändringar") << int(CommandId::Save) << 0;
    QTest::newRow("Ignorera ändringar") << int(CommandId::Ignore) << 0;
    QTest::newRow("Spara, the place among rows still loading") << int(CommandId::Save) << 50;
    QTest::newRow("Ignorera, the place among rows still loading") << int(CommandId::Ignore) << 50;
}

// The grid read again for the same choice keeps the current cell, selection and scroll position.
void TestGridEditing::placeStaysAfterSaveAndIgnore()
{
    QFETCH(int, command);
    QFETCH(int, firstScreen);
    QStringList lines{line("ABCDI050", "-", "Många")};
    for (int n = 1; n <= 300; ++n)
        lines << line("ABCDI050", QString::number(n), QString("Artikel %1").arg(n), "Nordel");
    QVERIFY(m_window->OpenMDB(CatalogueFixture::importDatabase(m_dir->path(), "manga", lines)));
    openGroup("!ABCDI050");
    ArticleGridView *view = m_window->gridView();
    view->setFocus();
    view->setCurrentIndex(cell(200, "FABRIKAT"));
    view->selectionModel()->select(QItemSelection(cell(200, "BENÄMNING"), cell(203, "FABRIKAT")),
                                   QItemSelectionModel::ClearAndSelect);
    view->scrollTo(cell(200, "FABRIKAT"), QAbstractItemView::PositionAtCenter);
    m_window->grid().setText(201, m_window->grid().GetColumn("FABRIKAT"), "Ändrad");
    m_window->session().GridEdited(true);
    const int scrolled = view->verticalScrollBar()->value();
    QVERIFY(scrolled > 0);
    const ArticleGrid::CellRange selected = m_window->grid().selection();

    if (firstScreen > 0)
        m_window->session().setFirstScreenRows(firstScreen);
    m_window->dispatch(CommandId(command));
    QVERIFY(!m_window->session().isEdited());
    QTRY_VERIFY(!m_window->session().isLoading());
    QCOMPARE(view->currentIndex(), cell(200, "FABRIKAT"));
    QCOMPARE(m_window->grid().selection(), selected);
    QCOMPARE(viewSelection(), selected);
    QCOMPARE(view->verticalScrollBar()->value(), scrolled);
}

void TestGridEditing::spreadsheetKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("current");  // "row,header" after the key
    QTest::addColumn<QString>("selected"); // "r1-r2,c1-c2" as the grid keeps it

    // From row 2, BENÄMNING, in a group of three rows.
    const int ctrl = int(Qt::ControlModifier);
    const int shift = int(Qt::ShiftModifier);
    QTest::newRow("Ctrl+Home: first data cell") << int(Qt::Key_Home) << ctrl << "1,BL_NAME"
                                                << "1-1,BL_NAME";
    QTest::newRow("Ctrl+End: last cell") << int(Qt::Key_End) << ctrl << "3,last"
                                         << "3-3,last";
    QTest::newRow("Ctrl+Shift+End extends") << int(Qt::Key_End) << (ctrl | shift) << "3,last"
                                            << "2-3,BENÄMNING-last";
    QTest::newRow("Ctrl+Shift+Home extends") << int(Qt::Key_Home) << (ctrl | shift) << "1,BL_NAME"
                                             << "1-2,BL_NAME-BENÄMNING";
    QTest::newRow("Ctrl+Shift+Down extends to the last row")
        << int(Qt::Key_Down) << (ctrl | shift) << "3,BENÄMNING"
        << "2-3,BENÄMNING-BENÄMNING";
    QTest::newRow("Ctrl+Shift+Left stops at the first data column")
        << int(Qt::Key_Left) << (ctrl | shift) << "2,BL_NAME"
        << "2-2,BL_NAME-BENÄMNING";
    QTest::newRow("Ctrl+Space: the column, unsorted") << int(Qt::Key_Space) << ctrl << "2,BENÄMNING"
                                                      << "1-3,BENÄMNING-BENÄMNING";
    QTest::newRow("Shift+Space: the row") << int(Qt::Key_Space) << shift << "2,BENÄMNING"
                                          << "2-2,RAD-last";
}

void TestGridEditing::spreadsheetKeys()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, current);
    QFETCH(QString, selected);

    openGroup("!ABCDI010");
    const ArticleGrid &grid = m_window->grid();
    ArticleGridView *view = m_window->gridView();
    const QStringList before = GridFixture::dump(grid);
    const int last = grid.cols() - 1;
    const auto column = [&](const QString &name) {
        return name == "last" ? last : grid.GetColumn(name);
    };
    view->setFocus();
    view->setCurrentIndex(cell(2, "BENÄMNING"));
    QTest::keyClick(view, Qt::Key(key), Qt::KeyboardModifiers(modifiers));

    const QStringList at = current.split(',');
    QCOMPARE(view->currentIndex().row() + 1, at[0].toInt());
    QCOMPARE(view->currentIndex().column(), column(at[1]));
    const QStringList parts = selected.split(',');
    const QStringList rows = parts[0].split('-');
    const QStringList columns = parts[1].split('-');
    const ArticleGrid::CellRange range = grid.selection();
    QCOMPARE(range.r1, rows[0].toInt());
    QCOMPARE(range.r2, rows[1].toInt());
    QCOMPARE(range.c1, column(columns[0]));
    QCOMPARE(range.c2, column(columns.value(1, columns[0])));
    // No key of these edits or sorts anything.
    QCOMPARE(GridFixture::dump(grid), before);
    QVERIFY(!view->isEditing());
    QVERIFY(!m_window->session().isEdited());
}

void TestGridEditing::f6GoesRoundThePanes()
{
    openGroup("!ABCDI010");
    m_window->activateWindow();
    m_window->gridView()->setFocus();
    QTRY_VERIFY(m_window->gridView()->hasFocus());
    QTest::keyClick(m_window->gridView(), Qt::Key_F6);
    QTRY_VERIFY(m_window->tree()->hasFocus());
    m_window->dispatch(CommandId::Find);
    m_window->tree()->setFocus();
    QTest::keyClick(m_window->tree(), Qt::Key_F6);
    QTRY_VERIFY(m_window->findBar()->isAncestorOf(QApplication::focusWidget()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6);
    QTRY_VERIFY(m_window->gridView()->hasFocus());
    QTest::keyClick(m_window->gridView(), Qt::Key_F6, Qt::ShiftModifier);
    QTRY_VERIFY(m_window->findBar()->isAncestorOf(QApplication::focusWidget()));
}

void TestGridEditing::popupKeysOpenThePopup()
{
    openGroup("!ABCDI010");
    ArticleGridView *view = m_window->gridView();
    view->setFocus();
    view->setCurrentIndex(cell(2, "FABRIKAT"));
    const QRect cellRect = view->visualRect(view->currentIndex());
    const QPoint cellBottom = view->viewport()->mapToGlobal(cellRect.bottomLeft());
    for (const auto &[key, modifiers] :
         {std::pair{Qt::Key_Menu, Qt::NoModifier}, std::pair{Qt::Key_F10, Qt::ShiftModifier}}) {
        QString shownName;
        QPoint shownAt;
        // The popup runs its own loop: it is looked at and closed from within.
        QTimer::singleShot(0, this, [&] {
            if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
                shownName = menu->objectName();
                shownAt = menu->pos();
                menu->close();
            }
        });
        QTest::keyClick(view, key, modifiers);
        QCOMPARE(shownName, QString("Popup"));
        // At the current cell.
        QVERIFY(qAbs(shownAt.y() - cellBottom.y()) < 30);
    }
}

void TestGridEditing::ctrlEndReachesTheLastRowOfAViewStillLoading()
{
    QStringList lines{line("ABCDI050", "-", "Många")};
    for (int n = 1; n <= 300; ++n)
        lines << line("ABCDI050", QString::number(n), QString("Artikel %1").arg(n), "Nordel");
    QVERIFY(m_window->OpenMDB(CatalogueFixture::importDatabase(m_dir->path(), "manga", lines)));
    m_window->session().setFirstScreenRows(20);
    openGroup("!ABCDI050");
    ArticleGridView *view = m_window->gridView();
    view->setFocus();
    view->setCurrentIndex(cell(1, "BENÄMNING"));
    if (!m_window->session().isLoading())
        QSKIP("the rest of the view arrived before the key");
    QTest::keyClick(view, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(view->currentIndex().row(), 300);
    QVERIFY(!m_window->session().isLoading());
}

void TestGridEditing::theCountOfRowsReadLeavesWithItsView()
{
    QStringList lines{line("ABCDI050", "-", "Många")};
    for (int n = 1; n <= 300; ++n)
        lines << line("ABCDI050", QString::number(n), QString("Artikel %1").arg(n), "Nordel");
    lines << line("ABCDI060", "-", "Få");
    QVERIFY(m_window->OpenMDB(CatalogueFixture::importDatabase(m_dir->path(), "manga", lines)));
    m_window->session().setFirstScreenRows(20);
    openGroup("!ABCDI050");
    QTRY_VERIFY(!m_window->session().isLoading());
    QCOMPARE(m_window->statusBar()->currentMessage(), QString("301 rader inlästa."));

    openGroup("!ABCDI060");
    QCOMPARE(m_window->statusBar()->currentMessage(), QString());
}

QTEST_MAIN(TestGridEditing)
#include "tst_gridediting.moc"
