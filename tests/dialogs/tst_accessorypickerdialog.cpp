#include "dialogs/AccessoryPickerDialog.h"
#include "dialogs/AccessoryPreviewDialog.h"
#include "dialogs/OptionsDialog.h"

#include "core/Settings.h"
#include "db/Database.h"
#include "db/Schema.h"
#include "ui/WindowPlacement.h"

#include "support/ScriptedPrompter.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kSection = QStringLiteral("SelAccessGroup");

QTableWidget *grid(const QWidget *window)
{
    auto *table = window->findChild<QTableWidget *>(QStringLiteral("FgDataGrid"));
    if (!table)
        qFatal("no grid in %s", qPrintable(window->objectName()));
    return table;
}

QStringList columnTexts(const QTableWidget *table, int column)
{
    QStringList texts;
    for (int row = 0; row < table->rowCount(); ++row)
        texts << table->item(row, column)->text();
    return texts;
}

// The middle of a row's first cell, in the list's viewport.
QPoint rowPoint(const QTableWidget *table, int row)
{
    return table->visualRect(table->model()->index(row, 0)).center();
}

QRect screenArea()
{
    return QGuiApplication::primaryScreen()->availableGeometry();
}

void clearPlacement()
{
    for (const char *name : {"Top", "Left", "Height", "Width"})
        TestFiles::storeSetting(name, QString(), kSection);
}

} // namespace

class TestAccessoryPickerDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void listsTheAccessoryGroups();
    void emptyListTellsTheUserAndAsksForOptions_data();
    void emptyListTellsTheUserAndAsksForOptions();
    void doubleClickChoosesAndCloses_data();
    void doubleClickChoosesAndCloses();
    void enterChoosesTheCurrentGroup();
    void emptyBlockNameChoosesNothing();
    void singleClickPreviewsBesideTheRow();
    void groupWithoutArticlesHasNoPreview();
    void previewClosesWhenItLosesTheFocus();
    void clickingOutsideCloses_data();
    void clickingOutsideCloses();
    void waitsWhileTheUserIsInOptions_data();
    void waitsWhileTheUserIsInOptions();
    void previewNeverCoversThePicker_data();
    void previewNeverCoversThePicker();
    void neverSmallerThan2000Twips();
    void presentedPickerOpensLargeAndKeepsItsPlacement();
    void unreadableListIsReported();

private:
    QTemporaryDir m_dir;
    Database m_db;
};

void TestAccessoryPickerDialog::initTestCase()
{
    QVERIFY(m_dir.isValid());
    TestFiles::isolateSettings(m_dir.path());
    m_db.open(m_dir.filePath("picker.tdb"), Database::OpenMode::Create);
    FieldList fields = rowNumberOnlyFieldList();
    for (const char *name : {"BL_NAME", "TYP", "BENÄMNING", "FABRIKAT", "TBH/APP"})
        fields.append({QString::fromUtf8(name), {}, 20, 0});
    Schema::createTables(m_db, fields);
    const QList<QPair<QString, QString>> groups{{"ABCDI010", "Armatur"},
                                                {"ABCD#002", "Tillbehör skruv"},
                                                {"AB'D#001", "TILLBEHÖR kabel"},
                                                {"", "TILLB utan namn"}};
    for (const auto &[blockName, description] : groups)
        m_db.prepare("INSERT INTO Designations VALUES (?, ?)")
            .bind(1, blockName)
            .bind(2, description)
            .run();
    for (int rad = 25; rad >= 1; --rad)
        m_db.prepare("INSERT INTO Articles VALUES (?, ?, '1', ?, 'Hager', '')")
            .bind(1, qint64(rad))
            .bind(2, QStringLiteral("AB'D#001"))
            .bind(3, QStringLiteral("Kabel %1").arg(rad))
            .run();
}

void TestAccessoryPickerDialog::init()
{
    TestFiles::clearUserSettings();
}

void TestAccessoryPickerDialog::listsTheAccessoryGroups()
{
    ScriptedPrompter prompter;
    AccessoryPickerDialog picker(m_db, prompter);
    QVERIFY(picker.load());
    QCOMPARE(picker.objectName(), QStringLiteral("frmSelAccessGroup"));
    QCOMPARE(picker.windowTitle(), QStringLiteral("Välj tillbehörsgrupp med dubbelklick"));
    QVERIFY(!picker.isModal());
    const QTableWidget *list = grid(&picker);
    QCOMPARE(list->horizontalHeaderItem(0)->text(), QStringLiteral("NAMN"));
    QCOMPARE(list->horizontalHeaderItem(1)->text(), QStringLiteral("BENÄMNING"));
    QVERIFY(!list->accessibleName().isEmpty());
    QCOMPARE(columnTexts(list, 0), (QStringList{"", "AB'D#001", "ABCD#002"}));
    QCOMPARE(columnTexts(list, 1),
             (QStringList{"TILLB utan namn", "TILLBEHÖR kabel", "Tillbehör skruv"}));
    QVERIFY(prompter.shown.isEmpty());
    QVERIFY(picker.chosenBlockName().isEmpty());
}

void TestAccessoryPickerDialog::emptyListTellsTheUserAndAsksForOptions_data()
{
    QTest::addColumn<QString>("prefixFromOptions"); // empty: the user changes nothing
    QTest::addColumn<int>("rows");
    QTest::newRow("prefix changed") << "tillbehör" << 2;
    QTest::newRow("prefix kept") << "" << 0;
}

void TestAccessoryPickerDialog::emptyListTellsTheUserAndAsksForOptions()
{
    QFETCH(QString, prefixFromOptions);
    QFETCH(int, rows);
    Settings::save(Settings::TbhPrefix, "Tbh'");
    ScriptedPrompter prompter;
    AccessoryPickerDialog picker(m_db, prompter);
    int asked = 0;
    // As a modal Options dialog would: the prefix is stored before the list is filled again.
    connect(&picker, &AccessoryPickerDialog::optionsRequested, this, [&] {
        ++asked;
        QCOMPARE(prompter.shown.size(), 1);
        if (!prefixFromOptions.isEmpty())
            Settings::save(Settings::TbhPrefix, prefixFromOptions);
    });
    QVERIFY(picker.load());
    QCOMPARE(asked, 1);
    QCOMPARE(prompter.shown.size(), 1);
    QCOMPARE(prompter.shown.first().icon, MessageIcon::Information);
    QCOMPARE(prompter.shown.first().title, QStringLiteral("Inga tillbehörsgrupper"));
    QCOMPARE(prompter.shown.first().text,
             QStringLiteral("Det finns inga artikelgrupper som linleds med 'Tbh''"));
    QCOMPARE(grid(&picker)->rowCount(), rows);

    // A double click on the empty list does nothing at all.
    if (rows == 0) {
        picker.show();
        QSignalSpy chosen(&picker, &AccessoryPickerDialog::chosen);
        picker.chooseGroup(0);
        QVERIFY(chosen.isEmpty());
        QVERIFY(picker.isVisible());
    }
}

void TestAccessoryPickerDialog::doubleClickChoosesAndCloses_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("blockName");
    QTest::newRow("with an apostrophe") << 1 << "AB'D#001";
    QTest::newRow("without articles") << 2 << "ABCD#002";
}

void TestAccessoryPickerDialog::doubleClickChoosesAndCloses()
{
    QFETCH(int, row);
    QFETCH(QString, blockName);
    ScriptedPrompter prompter;
    QPointer<AccessoryPickerDialog> picker = new AccessoryPickerDialog(m_db, prompter);
    QSignalSpy chosen(picker.data(), &AccessoryPickerDialog::chosen);
    QVERIFY(picker->present());
    QVERIFY(QTest::qWaitForWindowActive(picker));

    QTableWidget *list = grid(picker);
    // As a user does it: the first click opens the preview, the second press chooses.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rowPoint(list, row));
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rowPoint(list, row));
    QCOMPARE(chosen.size(), 1);
    QCOMPARE(chosen.first().first().toString(), blockName);
    QTRY_VERIFY(picker.isNull());
    QVERIFY(prompter.shown.isEmpty());
}

void TestAccessoryPickerDialog::enterChoosesTheCurrentGroup()
{
    ScriptedPrompter prompter;
    AccessoryPickerDialog picker(m_db, prompter);
    QVERIFY(picker.load());
    picker.show();
    QSignalSpy chosen(&picker, &AccessoryPickerDialog::chosen);
    QTableWidget *list = grid(&picker);
    list->setCurrentCell(2, 1);
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(chosen.size(), 1);
    QCOMPARE(chosen.first().first().toString(), QStringLiteral("ABCD#002"));
    QCOMPARE(picker.chosenBlockName(), QStringLiteral("ABCD#002"));
    QVERIFY(!picker.isVisible());
}

void TestAccessoryPickerDialog::emptyBlockNameChoosesNothing()
{
    ScriptedPrompter prompter;
    AccessoryPickerDialog picker(m_db, prompter);
    QVERIFY(picker.load());
    picker.show();
    QSignalSpy chosen(&picker, &AccessoryPickerDialog::chosen);
    picker.chooseGroup(0);
    QVERIFY(chosen.isEmpty());
    QVERIFY(!picker.isVisible());
}

void TestAccessoryPickerDialog::singleClickPreviewsBesideTheRow()
{
    ScriptedPrompter prompter;
    AccessoryPickerDialog picker(m_db, prompter);
    QVERIFY(picker.load());
    const QRect area = screenArea();
    picker.setGeometry(area.left() + 20, area.top() + 40, 220, 260);
    picker.show();
    QVERIFY(QTest::qWaitForWindowExposed(&picker));

    QTableWidget *list = grid(&picker);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rowPoint(list, 1));
    AccessoryPreviewDialog *preview = picker.preview();
    QVERIFY(preview);
    QVERIFY(preview->isVisible());
    QVERIFY(picker.bChildActive());
    QCOMPARE(preview->objectName(), QStringLiteral("frmPreview"));

    // The first ten of 25 by row number, the fields from the fourth on.
    const QTableWidget *articles = grid(preview);
    QCOMPARE(articles->rowCount(), 10);
    QCOMPARE(articles->columnCount(), 3);
    QCOMPARE(articles->horizontalHeaderItem(0)->text(), QStringLiteral("BENÄMNING"));
    QCOMPARE(columnTexts(articles, 0),
             (QStringList{"Kabel 1", "Kabel 2", "Kabel 3", "Kabel 4", "Kabel 5", "Kabel 6",
                          "Kabel 7", "Kabel 8", "Kabel 9", "Kabel 10"}));
    QCOMPARE(columnTexts(articles, 2), QStringList(10, QString()));

    // Just right of the picker, never over it, top level with the clicked row.
    const QRect frame = picker.frameGeometry();
    const int rowTop =
        list->viewport()->mapToGlobal(list->visualRect(list->model()->index(1, 0)).topLeft()).y();
    QCOMPARE(picker.rowTop(1), rowTop);
    QCOMPARE(preview->pos(), QPoint(frame.right() + 1, rowTop));
    QVERIFY(!preview->frameGeometry().intersects(frame));

    // Another click replaces it.
    QPointer<AccessoryPreviewDialog> first = preview;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rowPoint(list, 1));
    QTRY_VERIFY(first.isNull());
    QVERIFY(picker.preview());
    QVERIFY(picker.isVisible());
}

void TestAccessoryPickerDialog::groupWithoutArticlesHasNoPreview()
{
    ScriptedPrompter prompter;
    AccessoryPickerDialog picker(m_db, prompter);
    QVERIFY(picker.load());
    picker.show();
    QTableWidget *list = grid(&picker);
    for (const int row : {0, 2}) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rowPoint(list, row));
        QVERIFY(!picker.preview());
        QVERIFY(!picker.bChildActive());
    }
    QVERIFY(prompter.shown.isEmpty());
}

void TestAccessoryPickerDialog::previewClosesWhenItLosesTheFocus()
{
    ScriptedPrompter prompter;
    QPointer<AccessoryPickerDialog> picker = new AccessoryPickerDialog(m_db, prompter);
    QVERIFY(picker->present());
    QVERIFY(QTest::qWaitForWindowActive(picker));
    picker->previewGroup(1);
    QPointer<AccessoryPreviewDialog> preview = picker->preview();
    QVERIFY(preview);
    QVERIFY(QTest::qWaitForWindowActive(preview));
    // The picker lost the focus to its preview and stays.
    QVERIFY(picker);
    QVERIFY(picker->bChildActive());

    picker->activateWindow();
    QTRY_VERIFY(preview.isNull());
    QVERIFY(picker);
    QVERIFY(!picker->bChildActive());
    QVERIFY(picker->isVisible());
    picker->close();
    QTRY_VERIFY(picker.isNull());
}

void TestAccessoryPickerDialog::clickingOutsideCloses_data()
{
    QTest::addColumn<bool>("withPreview");
    QTest::newRow("no preview open") << false;
    QTest::newRow("preview open") << true;
}

void TestAccessoryPickerDialog::clickingOutsideCloses()
{
    QFETCH(bool, withPreview);
    QWidget mainWindow;
    mainWindow.setGeometry(screenArea().adjusted(400, 300, 0, 0));
    mainWindow.show();
    QVERIFY(QTest::qWaitForWindowActive(&mainWindow));

    ScriptedPrompter prompter;
    QPointer<AccessoryPickerDialog> picker = new AccessoryPickerDialog(m_db, prompter, &mainWindow);
    QSignalSpy chosen(picker.data(), &AccessoryPickerDialog::chosen);
    QVERIFY(picker->present());
    QVERIFY(QTest::qWaitForWindowActive(picker));
    QPointer<AccessoryPreviewDialog> preview;
    if (withPreview) {
        picker->previewGroup(1);
        preview = picker->preview();
        QVERIFY(QTest::qWaitForWindowActive(preview));
    }

    mainWindow.activateWindow();
    QTRY_VERIFY(picker.isNull());
    QVERIFY(preview.isNull());
    QVERIFY(chosen.isEmpty());
}

void TestAccessoryPickerDialog::waitsWhileTheUserIsInOptions_data()
{
    QTest::addColumn<bool>("chooseOptions"); // else the menu is closed without a choice
    QTest::newRow("Verktyg, Alternativ") << true;
    QTest::newRow("menu closed") << false;
}

void TestAccessoryPickerDialog::waitsWhileTheUserIsInOptions()
{
    QFETCH(bool, chooseOptions);
    QWidget mainWindow;
    mainWindow.setGeometry(screenArea().adjusted(400, 300, 0, 0));
    mainWindow.show();
    QVERIFY(QTest::qWaitForWindowActive(&mainWindow));
    ScriptedPrompter prompter;
    QPointer<AccessoryPickerDialog> picker = new AccessoryPickerDialog(m_db, prompter, &mainWindow);
    QSignalSpy chosen(picker.data(), &AccessoryPickerDialog::chosen);
    QVERIFY(picker->present());
    // Not qWaitForWindowActive: a window counts as active while its parent is.
    QTRY_VERIFY(picker->isActiveWindow());
    QCOMPARE(grid(picker)->rowCount(), 3);

    // The main window's menu takes the focus first, then its command opens Options.
    QMenu tools(&mainWindow);
    QAction *options = tools.addAction(QStringLiteral("Al&ternativ"));
    QPointer<OptionsDialog> dialog;
    connect(options, &QAction::triggered, &mainWindow, [&] {
        dialog = new OptionsDialog(prompter, &mainWindow);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->open();
    });
    mainWindow.activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), &mainWindow);
    tools.popup(mainWindow.mapToGlobal(QPoint(20, 20)));
    QVERIFY(QTest::qWaitForWindowExposed(&tools));
    QTest::qWait(400); // longer than the picker takes to decide
    QVERIFY(picker);
    QVERIFY(picker->isVisible());
    if (!chooseOptions) {
        tools.close();
        QTRY_VERIFY(picker.isNull());
        return;
    }
    QTest::mouseClick(&tools, Qt::LeftButton, {}, tools.actionGeometry(options).center());
    QTRY_VERIFY(dialog && dialog->isVisible());
    QTest::qWait(400);
    QVERIFY(picker);
    QVERIFY(picker->isVisible());

    // Another prefix there: the picker lists by it when Options has closed, and has the focus.
    dialog->findChild<QLineEdit *>(QStringLiteral("txtTbhPrefix"))->setText("arm");
    dialog->findChild<QPushButton *>(QStringLiteral("cmdSave"))->click();
    QTRY_COMPARE(grid(picker)->rowCount(), 1);
    QCOMPARE(grid(picker)->item(0, 0)->text(), QStringLiteral("ABCDI010"));
    QTRY_VERIFY(picker->isActiveWindow());
    QVERIFY(chosen.isEmpty());

    // Clicking outside still cancels.
    mainWindow.activateWindow();
    QTRY_VERIFY(picker.isNull());
}

void TestAccessoryPickerDialog::previewNeverCoversThePicker_data()
{
    // The picker's frame as margins inside the screen's free area: left, top, right, bottom.
    QTest::addColumn<QMargins>("pickerInside");
    QTest::addColumn<QString>("side");
    QTest::newRow("room on the right") << QMargins(10, 40, 500, 100) << "right";
    QTest::newRow("room on the left only") << QMargins(400, 40, 10, 100) << "left";
    QTest::newRow("room below only") << QMargins(0, 0, 0, 300) << "below";
    QTest::newRow("room above only") << QMargins(0, 300, 0, 0) << "above";
    QTest::newRow("no room anywhere") << QMargins(0, 0, 0, 0) << "";
}

void TestAccessoryPickerDialog::previewNeverCoversThePicker()
{
    QFETCH(QMargins, pickerInside);
    QFETCH(QString, side);
    const AccessoryPick::Preview articles{{"BENÄMNING", "FABRIKAT"},
                                          {{"Kabel 1", "Hager"}, {"Kabel 2", "ABB"}}};
    AccessoryPreviewDialog preview("AB'D#001", articles);
    const QRect area = screenArea();
    const QRect picker = area.marginsRemoved(pickerInside);
    const int rowTop = picker.top() + 30;

    preview.placeBeside(picker, rowTop);
    const QRect placed(preview.pos(), preview.size());
    QVERIFY(area.contains(placed));
    if (side.isEmpty())
        return; // a screen too small for both
    QVERIFY(!placed.intersects(picker));
    if (side == "right")
        QCOMPARE(placed.topLeft(), QPoint(picker.right() + 1, rowTop));
    else if (side == "left")
        QCOMPARE(placed.topRight(), QPoint(picker.left() - 1, rowTop));
    else if (side == "below")
        QCOMPARE(placed.top(), picker.bottom() + 1);
    else
        QCOMPARE(placed.bottom(), picker.top() - 1);

    // A window manager's frame is kept clear of the picker too.
    const QMargins decoration(3, 20, 3, 3);
    preview.placeBeside(picker, rowTop, decoration);
    QVERIFY(!QRect(preview.pos(), preview.size().grownBy(decoration)).intersects(picker));
}

void TestAccessoryPickerDialog::neverSmallerThan2000Twips()
{
    // A stored size below the minimum opens at the minimum.
    TestFiles::storeSetting("Height", "500", kSection);
    TestFiles::storeSetting("Width", "1500", kSection);
    ScriptedPrompter prompter;
    AccessoryPickerDialog picker(m_db, prompter);
    QVERIFY(picker.load());
    const int smallest = Twips::toPixels(2000);
    QCOMPARE(picker.size(), QSize(smallest, smallest));
    picker.show();
    picker.resize(10, 10);
    QCOMPARE(picker.size(), QSize(smallest, smallest));
    picker.resize(smallest + 30, 10);
    QCOMPARE(picker.size(), QSize(smallest + 30, smallest));
    picker.close();
}

// The picker shown without waiting deletes itself on closing; its placement is kept all the same
// (whether it is stored at all is checked with the other dialogs).
void TestAccessoryPickerDialog::presentedPickerOpensLargeAndKeepsItsPlacement()
{
    clearPlacement();
    const QRect area = screenArea();
    QPoint placedAt;
    QSize placedSize;
    {
        ScriptedPrompter prompter;
        QPointer<AccessoryPickerDialog> picker = new AccessoryPickerDialog(m_db, prompter);
        QVERIFY(picker->present());
        // The first time it opens large enough for its caption and both columns.
        QVERIFY(picker->width() > Twips::toPixels(2000));
        picker->setGeometry(area.left() + 30, area.top() + 50, 300, 250);
        placedAt = picker->pos();
        placedSize = picker->size();
        picker->close();
        QTRY_VERIFY(picker.isNull());
    }
    QVERIFY(!TestFiles::storedSetting("Width", kSection).isEmpty());

    ScriptedPrompter prompter;
    AccessoryPickerDialog again(m_db, prompter);
    QVERIFY(again.load());
    QCOMPARE(again.size(), placedSize);
    QCOMPARE(again.pos(), placedAt);
}

void TestAccessoryPickerDialog::unreadableListIsReported()
{
    Database closed;
    ScriptedPrompter prompter;
    QPointer<AccessoryPickerDialog> picker = new AccessoryPickerDialog(closed, prompter);
    QSignalSpy options(picker.data(), &AccessoryPickerDialog::optionsRequested);
    QVERIFY(!picker->present());
    QTRY_VERIFY(picker.isNull());
    QVERIFY(options.isEmpty());
    QCOMPARE(prompter.texts(),
             QStringList{"frmSelAccessGroup:Form_Load::ERROR:21 - Ingen databas är öppen."});
}

QTEST_MAIN(TestAccessoryPickerDialog)
#include "tst_accessorypickerdialog.moc"
