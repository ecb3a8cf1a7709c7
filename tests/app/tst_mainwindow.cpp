#include "app/CommandRegistry.h"
#include "app/CommandTable.h"
#include "app/FirstRun.h"
#include "app/MainWindow.h"
#include "app/Startup.h"
#include "core/Progress.h"
#include "core/UserGuide.h"
#include "db/TdsImport.h"
#include "dialogs/AboutDialog.h"
#include "edit/AccessoryPick.h"
#include "support/CatalogueFixture.h"
#include "support/ScriptedPrompter.h"
#include "support/TestFiles.h"
#include "ui/Theme.h"
#include "ui/WindowPlacement.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QTreeWidget>
#include <QUrl>

using CatalogueFixture::line;

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void keyboardReachesTheRowCommands_data();
    void keyboardReachesTheRowCommands();
    void everyMenuItemHasAMnemonic();
    void everyCommandHasAHandler();
    void initTestCase();
    void init();
    void everyCommandHasItsActionInItsMenu();
    void enablingFollowsTheOpenDatabase();
    void freshUserDefaults();
    void storedSchemeAbove6IsTheDefault();
    void choosingASchemeStoresAndTicksIt();
    void optionsDialogChangesTheWindow();
    void importThroughTheMenu();
    void exportThroughTheMenu();
    void recentFilesHideMissingFiles();
    void unloadStoresTheWindow();
    void freshWindowIsCentredOnItsScreen();
    void columnWidthsFollowTheFontSize();
    void badCommandLineShowsTheSyntaxThenStarts();
    void autoOpenOpensTheLastFile();
    void firstRunCopiesInitIni();
    void qtSpeaksSwedish();
    void helpOpensTheUserGuide_data();
    void helpOpensTheUserGuide();
    void userGuideProblemsAreReported_data();
    void userGuideProblemsAreReported();

private:
    QString makeDatabase(const QString &name);

    QTemporaryDir m_settings;
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestMainWindow::initTestCase()
{
    TestFiles::isolateSettings(m_settings.path());
}

void TestMainWindow::init()
{
    TestFiles::clearUserSettings();
    m_dir = std::make_unique<QTemporaryDir>();
}

QString TestMainWindow::makeDatabase(const QString &name)
{
    return CatalogueFixture::importDatabase(
        m_dir->path(), name,
        {line("ABCDI060", "1", "Kontaktorer", "Nordel"), line("ABCDI080", "1", "Säkringar")});
}

void TestMainWindow::everyCommandHasItsActionInItsMenu()
{
    ScriptedPrompter prompter;
    MainWindow window(prompter);
    for (const CommandSpec &spec : commandTable()) {
        const QString id = QString::number(int(spec.id));
        QAction *act = window.action(spec.id);
        QVERIFY2(act, qPrintable(id));
        if (spec.shortcut)
            QCOMPARE(act->shortcut(), QKeySequence(Qt::CTRL | Qt::Key(spec.shortcut)));
        if (spec.keys)
            QCOMPARE(act->shortcut(), QKeySequence(QString(spec.keys)));
        if (spec.menu)
            QVERIFY2(window.menu(spec.menu)->actions().contains(act), qPrintable(id));
        if (spec.toolbarCaption)
            QCOMPARE(act->iconText(), QString::fromUtf8(spec.toolbarCaption));
    }
    QCOMPARE(window.action(CommandId::About)->text(), QString("&Om Ravelund..."));
    // The guide comes first in "&Hjälp", on F1.
    QCOMPARE(window.menu("mnuHelp")->actions(),
             QList<QAction *>({window.action(CommandId::Help), window.action(CommandId::About)}));
    QCOMPARE(window.action(CommandId::Help)->text(), QString("&Användarhandbok"));
    QCOMPARE(window.action(CommandId::Help)->shortcut(), QKeySequence(Qt::Key_F1));
    // Screen readers find the two views by name, and the about box names what runs.
    QCOMPARE(window.findChild<QWidget *>("FgTree")->accessibleName(), QString("Artikelgrupper"));
    QCOMPARE(window.findChild<QWidget *>("FgDataGrid")->accessibleName(), QString("Artiklar"));
    const QString info = systemInformation();
    for (const char *part : {"Ravelund", "Qt ", "SQLite 3.", "ICU ", "System: "})
        QVERIFY2(info.contains(part), part);
    // A toolbar button is its menu command: the import asks for a file with its own title.
    auto *standard = window.findChild<QToolBar *>("tbStandard");
    QVERIFY(standard->actions().contains(window.action(CommandId::OpenTDS)));
    QCOMPARE(standard->actions().first(), window.action(CommandId::OpenMDB));
    window.action(CommandId::OpenTDS)->trigger();
    QCOMPARE(prompter.fileRequests.size(), 1);
    QCOMPARE(prompter.fileRequests[0].title, QString("Välj artikeldatabas    "));
    QCOMPARE(prompter.fileRequests[0].filter, QString("(VOLTMARK artikeldatabas *.tds) (*tds)"));
}

void TestMainWindow::keyboardReachesTheRowCommands_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("keys");
    using C = CommandId;
    QTest::newRow("insert") << int(C::InsertArticle) << "Ctrl++";
    QTest::newRow("append") << int(C::AppendArticle) << "Ctrl+Shift++";
    QTest::newRow("append any number") << int(C::AppendArticles) << QString();
    QTest::newRow("delete") << int(C::DeleteArticle) << "Ctrl+-";
    QTest::newRow("copy articles") << int(C::CopyArticle) << "Ctrl+Shift+C";
    QTest::newRow("paste articles") << int(C::PasteArticle) << "Ctrl+Shift+V";
    QTest::newRow("paste as new articles") << int(C::PasteArticlesAsNew) << "Ctrl+Alt+V";
    QTest::newRow("move rows up") << int(C::MoveRowsUp) << "Ctrl+Alt+Up";
    QTest::newRow("move rows down") << int(C::MoveRowsDown) << "Ctrl+Alt+Down";
}

// The grid's row commands are in "&Redigera" too, with their shortcuts shown there.
void TestMainWindow::keyboardReachesTheRowCommands()
{
    QFETCH(int, command);
    QFETCH(QString, keys);
    ScriptedPrompter prompter;
    MainWindow window(prompter);
    QAction *act = window.action(CommandId(command));
    QVERIFY(act);
    QVERIFY(window.menu("mnuEdit")->actions().contains(act));
    QCOMPARE(act->shortcut(), QKeySequence(keys, QKeySequence::PortableText));
    // No two commands answer the same keys.
    if (!keys.isEmpty()) {
        for (const CommandSpec &spec : commandTable()) {
            if (int(spec.id) != command)
                QVERIFY2(window.action(spec.id)->shortcut() != act->shortcut(),
                         qPrintable(QString::number(int(spec.id))));
        }
    }
}

// A row of the command table without a handler would be a dead menu item: the window has one
// for each, and a registry missing one refuses to start.
void TestMainWindow::everyCommandHasAHandler()
{
    ScriptedPrompter prompter;
    MainWindow window(prompter);
    QCOMPARE(window.commands().missingHandlers(), QStringList());

    QWidget owner;
    CommandRegistry partial(owner);
    partial.add(CommandId::Exit, [] {});
    QVERIFY_THROWS_EXCEPTION(std::logic_error, partial.add(CommandId::Exit, [] {}));
    QVERIFY(partial.missingHandlers().contains(QString::number(int(CommandId::About))));
    QVERIFY_THROWS_EXCEPTION(std::logic_error, partial.requireEveryHandler());
}

void TestMainWindow::everyMenuItemHasAMnemonic()
{
    ScriptedPrompter prompter;
    MainWindow window(prompter);
    for (QMenu *menu : window.findChildren<QMenu *>()) {
        if (menu->objectName().isEmpty())
            continue; // Qt's own menus (a toolbar's extension)
        for (const QAction *act : menu->actions()) {
            if (act->isSeparator() || act->text().isEmpty())
                continue;
            QVERIFY2(act->text().remove("&&").contains(u'&'),
                     qPrintable(menu->objectName() + ": " + act->text()));
        }
    }
}

void TestMainWindow::enablingFollowsTheOpenDatabase()
{
    const QString tdb = makeDatabase("open");
    ScriptedPrompter prompter;
    MainWindow window(prompter);
    using C = CommandId;
    auto enabled = [&](CommandId id) { return window.action(id)->isEnabled(); };
    auto checkClosed = [&] {
        for (CommandId id :
             {C::OpenMDB, C::OpenTDS, C::Options, C::Exit, C::Help, C::About, C::SchemeOfficeXP})
            QVERIFY2(enabled(id), qPrintable(QString::number(int(id))));
        for (CommandId id :
             {C::SaveAs, C::CloseMDB, C::SaveTDS, C::ChangePrefix, C::NewArticleGroup,
              C::NewAccessoryGroup, C::Save, C::Ignore, C::Copy, C::FillDown, C::FillDownStep5})
            QVERIFY2(!enabled(id), qPrintable(QString::number(int(id))));
        QVERIFY(!window.menu("mnuEdit")->isEnabled());
    };
    checkClosed();

    QVERIFY(window.OpenMDB(tdb));
    QVERIFY(prompter.shown.isEmpty());
    for (CommandId id : {C::OpenMDB, C::OpenTDS})
        QVERIFY(!enabled(id));
    for (CommandId id : {C::SaveAs, C::CloseMDB, C::SaveTDS, C::ChangePrefix, C::NewArticleGroup,
                         C::NewAccessoryGroup, C::Cut, C::Replace})
        QVERIFY2(enabled(id), qPrintable(QString::number(int(id))));
    QVERIFY(window.menu("mnuEdit")->isEnabled());
    // Saving is for unsaved edits only.
    QVERIFY(!enabled(C::Save));
    QCOMPARE(window.windowTitle(), "open.tdb[*] - Ravelund   [" + tdb + "]");

    window.dispatch(CommandId::CloseMDB);
    checkClosed();
    QCOMPARE(window.windowTitle(), QString("Ravelund "));
    QCOMPARE(window.session().CurrentDbPath(), tdb); // kept for the export's folder

    // A file that is not a working database leaves the window as it was.
    TestFiles::write(m_dir->filePath("bad.tdb"), QByteArray(3000, 'x'));
    QVERIFY(!window.OpenMDB(m_dir->filePath("bad.tdb")));
    QVERIFY(prompter.lastText().startsWith("frmMain:OpenMDB::ERROR:"));
    checkClosed();
}

void TestMainWindow::freshUserDefaults()
{
    ScriptedPrompter prompter;
    MainWindow window(prompter);
    QCOMPARE(window.findChild<QTreeWidget *>("FgTree")->palette().color(QPalette::Base),
             QColor(Qt::white));
    QCOMPARE(window.findChild<QWidget *>("FgDataGrid")->palette().color(QPalette::Base),
             QColor(Qt::white));
    QCOMPARE(window.findChild<QComboBox *>("cboTextHeight")->currentText(), QString("8"));
    QCOMPARE(window.findChild<QWidget *>("FgDataGrid")->font().pointSize(), 8);
    QCOMPARE(AccessoryPick::accessoryPrefix(), QString("TILLB"));
    QCOMPARE(window.windowTitle(), QString("Ravelund"));
    QVERIFY(!window.findChild<QProgressBar *>("BraxProgressBar")->isVisibleTo(&window));
    for (int scheme = 0; scheme <= 5; ++scheme)
        QVERIFY(!window.action(schemeCommand(scheme))->isChecked());
}

void TestMainWindow::storedSchemeAbove6IsTheDefault()
{
    TestFiles::storeSetting("Theme", "9");
    ScriptedPrompter prompter;
    MainWindow window(prompter);
    QCOMPARE(TestFiles::storedSetting("Theme"), QString("6"));
}

void TestMainWindow::choosingASchemeStoresAndTicksIt()
{
    ScriptedPrompter prompter;
    MainWindow window(prompter);
    const QColor before = qApp->palette().color(QPalette::Window);
    window.action(CommandId::SchemeOffice2003)->trigger();
    QCOMPARE(TestFiles::storedSetting("Theme"), QString("2"));
    for (int scheme = 0; scheme <= 5; ++scheme)
        QCOMPARE(window.action(schemeCommand(scheme))->isChecked(), scheme == 2);
    QVERIFY(qApp->palette().color(QPalette::Window) != before);
    window.dispatch(CommandId::SchemeOfficeXP);
    QCOMPARE(TestFiles::storedSetting("Theme"), QString("0"));
    QVERIFY(!window.action(CommandId::SchemeOffice2003)->isChecked());
}

void TestMainWindow::optionsDialogChangesTheWindow()
{
    ScriptedPrompter prompter;
    MainWindow window(prompter);
    window.show();
    window.dispatch(CommandId::Options);
    QPointer<QDialog> dialog = window.findChild<QDialog *>("frmOptions");
    QVERIFY(dialog && dialog->isVisible() && dialog->isModal());

    prompter.colours.enqueue(255);
    dialog->findChild<QPushButton *>("cmdTreeColor")->click();
    dialog->findChild<QAbstractButton *>("optTextHeight11")->click();
    dialog->findChild<QLineEdit *>("txtTbhPrefix")->setText("TBH");
    dialog->findChild<QPushButton *>("cmdApply")->click();

    QCOMPARE(window.findChild<QTreeWidget *>("FgTree")->palette().color(QPalette::Base),
             colourFromValue(255));
    QCOMPARE(window.findChild<QWidget *>("FgDataGrid")->palette().color(QPalette::Base),
             colourFromValue(14745341));
    QCOMPARE(window.findChild<QComboBox *>("cboTextHeight")->currentText(), QString("11"));
    QCOMPARE(window.findChild<QWidget *>("FgDataGrid")->font().pointSize(), 11);
    QCOMPARE(window.findChild<QTreeWidget *>("FgTree")->font().pointSize(), 11);
    QCOMPARE(AccessoryPick::accessoryPrefix(), QString("TBH"));

    dialog->findChild<QPushButton *>("cmdCancel")->click();
    QTRY_VERIFY(!dialog);
    // The next window starts with what was applied.
    MainWindow next(prompter);
    QCOMPARE(next.findChild<QTreeWidget *>("FgTree")->palette().color(QPalette::Base),
             colourFromValue(255));
    QCOMPARE(next.findChild<QComboBox *>("cboTextHeight")->currentText(), QString("11"));
    QCOMPARE(AccessoryPick::accessoryPrefix(), QString("TBH"));
}

void TestMainWindow::importThroughTheMenu()
{
    const QString tds =
        CatalogueFixture::write(m_dir->path(), "Meny", {line("ABCDI060", "1", "Kontaktorer")});
    ScriptedPrompter prompter;
    MainWindow window(prompter);
    prompter.openFiles.enqueue({tds});
    window.dispatch(CommandId::OpenTDS);
    QVERIFY2(window.session().isOpen(), qPrintable(prompter.texts().join('\n')));
    const QString tdb = m_dir->filePath("Meny.tdb");
    QCOMPARE(window.windowTitle(), "Meny.tdb[*] - Ravelund   [" + tdb + "]");
    QCOMPARE(TestFiles::storedSetting("OpenPath"), m_dir->path() + "/");
    QCOMPARE(TestFiles::storedSetting("0RecentFile", "Main"), tdb);
    QCOMPARE(TestFiles::storedSetting("LastFileName"), tdb);
    QCOMPARE(window.grid().cols(), 6);
    // The articles of the highlighted root show at once.
    QCOMPARE(window.session().selection(), ArticleSelection::root());
    QCOMPARE(window.grid().rows(), 2);
    QCOMPARE(window.grid().text(0, 1), QString("RAD"));
    QCOMPARE(window.grid().text(0, 4), QString("BENÄMNING"));
    QVERIFY(!window.action(CommandId::OpenTDS)->isEnabled());
    QVERIFY(!window.findChild<QProgressBar *>("BraxProgressBar")->isVisibleTo(&window));
    QVERIFY(window.action(CommandId::RecentFile0)->isVisible());
    QCOMPARE(window.action(CommandId::RecentFile0)->data().toString(), tdb);
    QCOMPARE(window.action(CommandId::RecentFile0)->text(), "&1 " + tdb);

    // Cancelling the file choice changes nothing.
    window.dispatch(CommandId::CloseMDB);
    window.dispatch(CommandId::OpenTDS);
    QVERIFY(!window.session().isOpen());
}

void TestMainWindow::exportThroughTheMenu()
{
    const QString tdb = makeDatabase("ut");
    ScriptedPrompter prompter;
    MainWindow window(prompter);
    QVERIFY(window.OpenMDB(tdb));
    QVERIFY(window.session().show(ArticleSelection::group("ABCDI060")));
    // The small catalogue has findings of the check; each export goes ahead anyway.
    prompter.defaultAnswer = true;

    prompter.saveFiles.enqueue(m_dir->filePath("fel.txt"));
    window.dispatch(CommandId::SaveTDS);
    QCOMPARE(prompter.lastText(), QString("Filnamnet skall ha ändelse 'tds'."));
    QCOMPARE(prompter.shown.last().title, QString());
    QVERIFY(!QFile::exists(m_dir->filePath("fel.txt")));
    QCOMPARE(prompter.fileRequests.last().title, QString("Återskapa VOLTMARK-databas"));
    QCOMPARE(prompter.fileRequests.last().initialFolder, m_dir->path());
    QCOMPARE(prompter.fileRequests.last().defaultSuffix, QString("tds"));

    prompter.saveFiles.enqueue(m_dir->filePath("ny/Ut.TDS"));
    window.dispatch(CommandId::SaveTDS);
    QVERIFY(QFile::exists(m_dir->filePath("ny/Ut.TDS")));
    QVERIFY(QFile::exists(m_dir->filePath("ny/Ut.tdx")));
    // The grid keeps the same group, and the status bar says what was written where.
    QCOMPARE(window.grid().rows(), 2);
    QCOMPARE(window.grid().text(1, 4), QString("Kontaktorer"));
    QCOMPARE(window.session().selection(), ArticleSelection::group("ABCDI060"));
    const QString status = window.statusBar()->currentMessage();
    QVERIFY2(status.contains(" rader exporterade till ") &&
                 status.contains(QDir::toNativeSeparators(m_dir->filePath("ny/Ut.TDS"))) &&
                 status.contains("Ut.tdx"),
             qPrintable(status));
}

void TestMainWindow::recentFilesHideMissingFiles()
{
    const QString kept = makeDatabase("kvar");
    TestFiles::storeSetting("0RecentFile", m_dir->filePath("borta.tdb"), "Main");
    TestFiles::storeSetting("1RecentFile", kept, "Main");
    ScriptedPrompter prompter;
    MainWindow window(prompter);
    QVERIFY(!window.action(CommandId::RecentFile0)->isVisible());
    QCOMPARE(window.action(CommandId::RecentFile0)->data().toString(),
             m_dir->filePath("borta.tdb"));
    QVERIFY(window.action(CommandId::RecentFile1)->isVisible());
    QVERIFY(!window.action(CommandId::RecentFile2)->isVisible());
    window.action(CommandId::RecentFile1)->trigger();
    QCOMPARE(window.session().CurrentDbPath(), kept);
    // Opening a listed file keeps the order and the missing entry.
    QCOMPARE(TestFiles::storedSetting("0RecentFile", "Main"), m_dir->filePath("borta.tdb"));
}

void TestMainWindow::unloadStoresTheWindow()
{
    const QString tdb = makeDatabase("stang");
    int rowSelector = 0;
    {
        ScriptedPrompter prompter;
        MainWindow window(prompter);
        window.show();
        QVERIFY(window.OpenMDB(tdb));
        rowSelector = window.findChild<QTableView *>("FgDataGrid")->columnWidth(0);
        window.close();
    }
    for (const char *key : {"Top", "Left", "Height", "Width"})
        QVERIFY2(!TestFiles::storedSetting(key, "Main").isEmpty(), key);
    for (const char *key : {"Width", "Height", "Font", "WinState"})
        QVERIFY2(!TestFiles::storedSetting(key).isEmpty(), key);
    QCOMPARE(TestFiles::storedSetting("WinState"), QString("0"));
    QVERIFY(!TestFiles::storedSetting("State", "Layout").isEmpty());
    QVERIFY(TestFiles::storedSetting("Bars", "Layout-Summary").toInt() >= 1);
    // Column widths in twips: the row selector and every field column.
    // (one pixel is 15 twips at 96 dpi, so a width comes back within that)
    // The row selector fits its positions and is never below 300 twips.
    QVERIFY(rowSelector >= Twips::toPixels(300));
    QVERIFY(qAbs(TestFiles::storedSetting("0Col").toInt() - Twips::fromPixels(rowSelector)) <= 15);
    QVERIFY(TestFiles::storedSetting("2Col").toInt() > 0);

    // The next window comes back where this one was.
    TestFiles::storeSetting("2Col", "1500");
    ScriptedPrompter prompter;
    MainWindow again(prompter);
    QVERIFY(again.OpenMDB(tdb));
    QCOMPARE(again.findChild<QTableView *>("FgDataGrid")->columnWidth(2), Twips::toPixels(1500));
}

void TestMainWindow::freshWindowIsCentredOnItsScreen()
{
    ScriptedPrompter prompter;
    MainWindow window(prompter);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY2(window.width() >= area.width() * 8 / 10 - 1,
             qPrintable(QString::number(window.width())));
    QVERIFY2(window.height() >= area.height() * 8 / 10 - 1,
             qPrintable(QString::number(window.height())));
    QVERIFY(qAbs(window.geometry().center().x() - area.center().x()) <= 1);
    QVERIFY(qAbs(window.geometry().center().y() - area.center().y()) <= 1);
}

void TestMainWindow::columnWidthsFollowTheFontSize()
{
    const QString tdb = makeDatabase("typsnitt");
    ScriptedPrompter prompter;
    MainWindow window(prompter);
    auto *fontSize = window.findChild<QComboBox *>("cboTextHeight");
    fontSize->setCurrentText("6");
    QVERIFY(window.OpenMDB(tdb));
    auto *grid = window.findChild<QTableView *>("FgDataGrid");
    QVERIFY(grid->alternatingRowColors());
    const int before = grid->columnWidth(2);
    fontSize->setCurrentText("12");
    QCOMPARE(grid->font().pointSize(), 12);
    QVERIFY2(qAbs(grid->columnWidth(2) - 2 * before) <= 1,
             qPrintable(QStringLiteral("%1 -> %2").arg(before).arg(grid->columnWidth(2))));
    // The widths stored on closing are the ones shown, and the next catalogue opens with them.
    window.close();
    QVERIFY(qAbs(Twips::toPixels(TestFiles::storedSetting("2Col").toInt()) - 2 * before) <= 1);
}

void TestMainWindow::badCommandLineShowsTheSyntaxThenStarts()
{
    ScriptedPrompter prompter;
    CommandLine commandLine;
    commandLine.mode = CommandLine::Mode::SyntaxError;
    std::unique_ptr<MainWindow> window = startInteractive(commandLine, prompter);
    QVERIFY(window && window->isVisible());
    QCOMPARE(prompter.shown.size(), 1);
    QCOMPARE(prompter.shown[0].icon, MessageIcon::Information);
    QCOMPARE(prompter.shown[0].title, QString("Fel i anrop"));
    QCOMPARE(prompter.shown[0].text,
             QString("SYNTAX:\nkvistbo /IN:filnamn1[.tdb] /OUT:filnamn2[.tds]"));
    QVERIFY(!window->session().isOpen());

    // A single argument that is neither a database nor a catalogue gets the same message.
    ScriptedPrompter other;
    commandLine.mode = CommandLine::Mode::OpenFile;
    commandLine.inputPath = m_dir->filePath("notes.txt");
    window = startInteractive(commandLine, other);
    QCOMPARE(other.shown.size(), 1);
    QCOMPARE(other.shown[0].title, QString("Fel i anrop"));
}

void TestMainWindow::autoOpenOpensTheLastFile()
{
    const QString tdb = makeDatabase("senast");
    TestFiles::storeSetting("LastFileName", tdb);
    {
        ScriptedPrompter prompter;
        auto window = startInteractive(CommandLine{}, prompter);
        QVERIFY(!window->session().isOpen()); // AutoOpen is off by default
    }
    TestFiles::storeSetting("AutoOpen", "1", "Options");
    {
        ScriptedPrompter prompter;
        auto window = startInteractive(CommandLine{}, prompter);
        QCOMPARE(window->session().CurrentDbPath(), tdb);
    }
    TestFiles::storeSetting("LastFileName", m_dir->filePath("borta.tdb"));
    ScriptedPrompter prompter;
    auto window = startInteractive(CommandLine{}, prompter);
    QVERIFY(!window->session().isOpen());
    QVERIFY(prompter.shown.isEmpty());
}

void TestMainWindow::qtSpeaksSwedish()
{
    // Qt's own texts, whatever the system's language: the cell editor's context menu, the file
    // dialog, button boxes.
    QVERIFY(installQtTranslations());
    QCOMPARE(QCoreApplication::translate("QLineEdit", "&Undo"), QString("&Ångra"));
    QCOMPARE(QCoreApplication::translate("QFileDialog", "&Open"), QString("&Öppna"));
    QCOMPARE(QCoreApplication::translate("QDialogButtonBox", "Cancel"), QString("Avbryt"));
}

void TestMainWindow::helpOpensTheUserGuide_data()
{
    QTest::addColumn<bool>("byKey");
    QTest::newRow("menu item") << false;
    QTest::newRow("F1") << true;
}

void TestMainWindow::helpOpensTheUserGuide()
{
    QFETCH(bool, byKey);
    ScriptedPrompter prompter;
    MainWindow window(prompter);
    QList<QUrl> opened;
    // Looked up as the real program does, from where the build put it.
    window.setUserGuide(UserGuide(
        [&opened](const QUrl &url) {
            opened << url;
            return true;
        },
        UserGuide::searchPaths(KVISTBO_PROGRAM_DIR)));
    if (byKey) {
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(&window, Qt::Key_F1);
    } else {
        window.action(CommandId::Help)->trigger();
    }
    QVERIFY2(prompter.shown.isEmpty(), qPrintable(prompter.texts().join('\n')));
    QCOMPARE(opened.size(), 1);
    QVERIFY(opened[0].isLocalFile());
    const QFileInfo page(opened[0].toLocalFile());
    QVERIFY2(page.isFile(), qPrintable(page.filePath()));
    QCOMPARE(page.canonicalFilePath(),
             QFileInfo(QDir(KVISTBO_PROGRAM_DIR).filePath("help/index.html")).canonicalFilePath());
    // A Swedish page whose pictures and style sheet came along.
    const QString html = QString::fromUtf8(TestFiles::read(page.filePath()));
    QVERIFY(html.contains("<html lang=\"sv\">"));
    static const QRegularExpression reference(R"re((?:src|href)="([^":#]+)")re");
    int references = 0;
    for (const QRegularExpressionMatch &match : reference.globalMatch(html)) {
        QVERIFY2(page.dir().exists(match.captured(1)), qPrintable(match.captured(1)));
        ++references;
    }
    QVERIFY(references >= 3);
}

void TestMainWindow::userGuideProblemsAreReported_data()
{
    QTest::addColumn<bool>("pagePresent");
    QTest::addColumn<QString>("message");
    QTest::newRow("no guide") << false << "Användarhandboken hittades inte:\n";
    QTest::newRow("no browser") << true << "Användarhandboken kunde inte öppnas: ";
}

void TestMainWindow::userGuideProblemsAreReported()
{
    QFETCH(bool, pagePresent);
    QFETCH(QString, message);
    const QString first = m_dir->filePath("bin/help/index.html");
    const QString second = m_dir->filePath("share/kvistbo/help/index.html");
    if (pagePresent) {
        QVERIFY(QDir(m_dir->path()).mkpath("share/kvistbo/help"));
        TestFiles::write(second, "<html lang=\"sv\"></html>");
    }
    ScriptedPrompter prompter;
    MainWindow window(prompter);
    int calls = 0;
    window.setUserGuide(UserGuide(
        [&calls](const QUrl &) {
            ++calls;
            return false;
        },
        {first, second}));
    window.dispatch(CommandId::Help);
    // Nothing opens without a page; the user is told where it was looked for.
    QCOMPARE(calls, pagePresent ? 1 : 0);
    QCOMPARE(prompter.shown.size(), 1);
    QCOMPARE(prompter.shown[0].icon, MessageIcon::Error);
    QCOMPARE(prompter.shown[0].title, QString("Användarhandbok"));
    const QString text = prompter.shown[0].text;
    QVERIFY2(text.startsWith(message), qPrintable(text));
    QVERIFY2(text.contains(QDir::toNativeSeparators(second)), qPrintable(text));
    QCOMPARE(text.contains(QDir::toNativeSeparators(first)), !pagePresent);
}

void TestMainWindow::firstRunCopiesInitIni()
{
    QSettings init(m_dir->filePath("Init.ini"), QSettings::IniFormat);
    init.setValue("Options/TbhPrefix", "TBH");
    init.setValue("Theme", "3");
    init.sync();
    QVERIFY(FirstRun::importDefaults(m_dir->path()));
    QCOMPARE(TestFiles::storedSetting("TbhPrefix", "Options"), QString("TBH"));
    QCOMPARE(TestFiles::storedSetting("Theme"), QString("3"));
    // Without that file nothing happens.
    QTemporaryDir empty;
    QVERIFY(!FirstRun::importDefaults(empty.path()));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
