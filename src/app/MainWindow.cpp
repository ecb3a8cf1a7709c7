#include "app/MainWindow.h"

#include "app/CheckController.h"
#include "app/CommandTable.h"
#include "app/CompareController.h"
#include "app/DialogController.h"
#include "app/FindController.h"
#include "app/FirstRun.h"
#include "app/SessionCommands.h"
#include "app/SheetController.h"
#include "app/TreeController.h"
#include "app/WaitCursor.h"
#include "app/WindowAppearance.h"
#include "browse/ArticleGridModel.h"
#include "core/AppError.h"
#include "core/Paths.h"
#include "core/PickFile.h"
#include "core/RecentFiles.h"
#include "ui/ArticleGridView.h"
#include "ui/FindBar.h"
#include "ui/GroupTreeView.h"
#include "ui/Icons.h"
#include "ui/StatusBarProgress.h"
#include "ui/WindowPlacement.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

QString databaseCaption(const QString &path)
{
    // "[*]" shows as "*" while the grid holds unsaved edits.
    return Paths::fileNameOf(path) + QStringLiteral("[*] - ") + QStringLiteral("Ravelund ") +
           QStringLiteral(" ") + QStringLiteral(" [") + path + QStringLiteral("]");
}

MainWindow::MainWindow(Prompter &prompter, QWidget *parent)
    : QMainWindow(parent), m_prompter(prompter), m_session(prompter),
      m_gridController(m_session, prompter), m_gridModel(m_gridController.model()),
      m_gridView(m_gridController.view()), m_commands(*this),
      m_userGuide(&QDesktopServices::openUrl)
{
    setObjectName(kMainWindow);
    setWindowIcon(Icons::application());
    FirstRun::importDefaults(programFolder());

    createViews();
    CreateMenu();
    registerHandlers();
    connectSession();
    // After the window's own handlers: the columns are set up before the tree shows a choice.
    m_treeController = new TreeController(*m_tree, m_session, m_gridController, m_prompter, this);
    m_appearance->restoreBarLayout();
    setWindowTitle(QStringLiteral("Ravelund"));
    m_appearance->load();
    UpdateRecentFiles();
    UpdateLayout();
    updateCommands();
}

MainWindow::~MainWindow()
{
    // Let the view go of the grid while everything an open cell editor may still commit into
    // is alive; the members go before the child widgets do.
    m_gridView->setModel(nullptr);
}

// ------------------------------------------------------------------------- building the window

void MainWindow::createViews()
{
    m_tree = new GroupTreeView(this);

    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->setObjectName(QStringLiteral("picDrag"));
    m_splitter->addWidget(m_tree);
    // The find bar sits over the grid, hidden until Ctrl+F.
    m_findBar = new FindBar;
    m_findBar->hide();
    auto *gridPane = new QWidget;
    auto *gridLayout = new QVBoxLayout(gridPane);
    gridLayout->setContentsMargins(0, 0, 0, 0);
    gridLayout->setSpacing(2);
    gridLayout->addWidget(m_findBar);
    gridLayout->addWidget(m_gridView, 1);
    m_splitter->addWidget(gridPane);
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setChildrenCollapsible(false);
    m_tree->setMinimumWidth(5);
    setCentralWidget(m_splitter);
    m_appearance = new WindowAppearance(*this, *m_tree, *m_gridView, *m_splitter, m_gridController);
    m_check = new CheckController(*this, m_session, m_gridController, m_prompter);
    m_sheet = new SheetController(m_session, m_gridController, m_prompter, this);
    m_compare = new CompareController(*this, m_session, m_gridController, m_prompter);
    m_find = new FindController(*m_findBar, m_session, m_gridController, m_prompter, this);
    m_dialogs = new DialogController(*this, m_session, m_gridController, *m_appearance, m_prompter);
    connect(m_check, &CheckController::fieldWideningRequested, m_dialogs,
            &DialogController::openFieldWidening);
    connect(m_appearance, &WindowAppearance::schemeChanged, this, [this](int scheme) {
        for (int n = 0; n <= 5; ++n)
            action(schemeCommand(n))->setChecked(n == scheme);
    });

    // F6 and Shift+F6 go round the panes as in other programs: tree, find bar, grid.
    auto *nextPane = new QShortcut(QKeySequence(Qt::Key_F6), this);
    connect(nextPane, &QShortcut::activated, this, [this] { moveToPane(1); });
    auto *previousPane = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6), this);
    connect(previousPane, &QShortcut::activated, this, [this] { moveToPane(-1); });
}

void MainWindow::moveToPane(int step)
{
    QList<QWidget *> panes{m_tree};
    if (m_findBar->isVisible())
        panes << m_findBar;
    panes << m_gridView;
    const QWidget *focus = QApplication::focusWidget();
    qsizetype at = -1;
    for (qsizetype i = 0; i < panes.size(); ++i) {
        if (focus && (focus == panes[i] || panes[i]->isAncestorOf(focus)))
            at = i;
    }
    const qsizetype count = panes.size();
    QWidget *next = panes[at < 0 ? 0 : (at + step + count) % count];
    if (next == m_findBar)
        m_findBar->focusSearch();
    else
        next->setFocus(Qt::ShortcutFocusReason);
}

void MainWindow::CreateMenu()
{
    menuBar()->setObjectName(QStringLiteral("CommandBars"));
    menuBar()->setWindowTitle(QStringLiteral("Meny"));
    for (const MenuSpec &spec : menuTable()) {
        QMenu *menu = menuBar()->addMenu(QString::fromUtf8(spec.title));
        menu->setObjectName(QString::fromLatin1(spec.objectName));
        m_menus.insert(menu->objectName(), menu);
    }
    // "&Visa": the toolbar list (filled once the bars exist) and the colour schemes.
    QMenu *view = m_menus.value(QStringLiteral("mnuView"));
    QMenu *toolbars = view->addMenu(QStringLiteral("&Verktygsfält"));
    toolbars->setObjectName(QStringLiteral("mnuToolbars"));
    QMenu *schemes = view->addMenu(QStringLiteral("&Färgschema"));
    schemes->setObjectName(QStringLiteral("mnuSchemes"));
    m_menus.insert(schemes->objectName(), schemes);

    // One action per command, shared by its menu item, toolbar button and shortcut.
    m_commands.fillMenus(m_menus);
    action(CommandId::OpenMDB)
        ->setStatusTip(QStringLiteral("Öppnar en redan importerad artikeldatabas för redigering"));

    createToolbars();
    for (QToolBar *bar : findChildren<QToolBar *>())
        toolbars->addAction(bar->toggleViewAction());
    // The bars' names are their titles; in the menu each gets a letter of its own.
    for (QAction *toggle : toolbars->actions())
        toggle->setText(withMnemonic(toggle->text(), toolbars));
    createStatusBar();
}

QString MainWindow::withMnemonic(const QString &text, const QMenu *menu)
{
    if (text.contains(u'&'))
        return text;
    QString taken;
    for (const QAction *other : menu->actions()) {
        const qsizetype mark = other->text().indexOf(u'&');
        if (mark >= 0 && mark + 1 < other->text().size())
            taken += other->text().at(mark + 1).toLower();
    }
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isLetterOrNumber() && !taken.contains(text.at(i).toLower()))
            return text.left(i) + u'&' + text.mid(i);
    }
    return u'&' + text;
}

void MainWindow::createToolbars()
{
    for (const ToolbarSpec &spec : toolbarTable()) {
        QToolBar *bar = addToolBar(QString::fromUtf8(spec.title));
        bar->setObjectName(QString::fromLatin1(spec.objectName));
        bar->setToolButtonStyle(spec.textBesideIcon ? Qt::ToolButtonTextBesideIcon
                                                    : Qt::ToolButtonIconOnly);
        for (const ToolbarItem &item : spec.items) {
            if (item.separator)
                bar->addSeparator();
            bar->addAction(action(item.id));
        }
    }
    findChild<QToolBar *>(QStringLiteral("tbSchemes"))->hide();

    // The "Text" bar sits between the scheme bar and the save bar.
    insertToolBar(findChild<QToolBar *>(QStringLiteral("tbSave")), m_appearance->createTextBar());
}

void MainWindow::createStatusBar()
{
    m_progressBar = new QProgressBar(this);
    m_progressBar->setObjectName(QStringLiteral("BraxProgressBar"));
    m_progressBar->setFixedWidth(Twips::toPixels(3000));
    m_progressBar->setTextVisible(false);
    m_messagePane = new QLabel(this);
    m_messagePane->setObjectName(QStringLiteral("staMessage"));
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    statusBar()->addWidget(m_progressBar);
    statusBar()->addWidget(m_messagePane, 1);
    ShowProgress(false);
    m_progress = std::make_unique<StatusBarProgress>(*m_progressBar,
                                                     [this](bool show) { ShowProgress(show); });
    m_session.setProgress(m_progress.get());
}

void MainWindow::registerHandlers()
{
    using C = CommandId;
    // The window's own commands; the grid's and the catalogue's register where their work is.
    m_commands.add(C::Exit, [this] { close(); });
    m_commands.add(C::Help, [this] { m_userGuide.open(m_prompter); });
    for (int scheme = 0; scheme <= 5; ++scheme)
        m_commands.add(schemeCommand(scheme), [this, scheme] { m_appearance->setScheme(scheme); });
    m_gridController.registerCommands(m_commands);
    m_dialogs->registerCommands(m_commands);
    m_find->registerCommands(m_commands);
    m_check->registerCommands(m_commands);
    m_sheet->registerCommands(m_commands);
    m_compare->registerCommands(m_commands);
    registerSessionCommands(m_commands, m_session);

    m_commands.setBeforeEach([this] { m_gridController.commitEditor(); });
    m_commands.setState([this] {
        CommandState state;
        state.databaseOpen = m_session.isOpen();
        state.edited = m_session.isEdited();
        state.editing = m_gridController.isEditing();
        state.canUndo = m_gridController.history().stack().canUndo();
        state.canRedo = m_gridController.history().stack().canRedo();
        return state;
    });
    connect(&m_commands, &CommandRegistry::enablingUpdated, this,
            [this](const CommandState &state) {
                // The history's captions name the step ("Ångra Fyll nedåt").
                action(CommandId::Undo)->setText(u'&' + m_gridController.history().undoCaption());
                action(CommandId::Redo)->setText(u'&' + m_gridController.history().redoCaption());
                m_menus.value(QStringLiteral("mnuEdit"))->setEnabled(state.databaseOpen);
            });
    // A menu item without a handler would do nothing: that is a fault, found at start.
    m_commands.requireEveryHandler();
}

void MainWindow::connectSession()
{
    connect(&m_session, &CatalogueSession::opened, this, [this](const QString &path) {
        m_appearance->sizeColumns(m_session.fieldList(), grid().cols());
        UpdateLayout();
        setWindowTitle(databaseCaption(path));
        UpdateRecentFiles();
        updateCommands();
    });
    connect(&m_session, &CatalogueSession::closed, this, [this] {
        setWindowTitle(QStringLiteral("Ravelund "));
        updateCommands();
    });
    connect(&m_session, &CatalogueSession::editedChanged, this, &MainWindow::onEditedChanged);
    connect(&m_session, &CatalogueSession::notice, this,
            [this](const QString &text) { statusBar()->showMessage(text, 20000); });
    connect(&m_session, &CatalogueSession::gridReset, this, &MainWindow::UpdateLayout);

    connect(&m_gridController, &GridController::statusMessage, this,
            [this](const QString &text, int milliseconds) {
                statusBar()->showMessage(text, milliseconds);
            });
    connect(&m_gridController, &GridController::statusWithdrawn, this, [this](const QString &text) {
        if (statusBar()->currentMessage() == text)
            statusBar()->clearMessage();
    });
    connect(&m_gridController, &GridController::selectionStatus, m_messagePane, &QLabel::setText);
    connect(&m_gridController, &GridController::commandRequested, this, &MainWindow::dispatch);
    connect(&m_gridController, &GridController::editingChanged, this, &MainWindow::updateCommands);
    connect(&m_gridController.history(), &GridHistory::changed, this, &MainWindow::updateCommands);
}

// ------------------------------------------------------------------------------- dispatch

void MainWindow::dispatch(CommandId id)
{
    m_commands.dispatch(id);
}

QMenu *MainWindow::menu(const QString &objectName) const
{
    return findChild<QMenu *>(objectName);
}

void MainWindow::updateCommands()
{
    m_commands.updateEnabled();
}

void MainWindow::onEditedChanged(bool edited)
{
    setWindowModified(edited);
    updateCommands();
}

void MainWindow::UpdateLayout()
{
    // The splitter places tree and grid; what is left is the look of the grid's columns.
    if (grid().cols() > 0) {
        m_gridController.fitRowSelector();
        m_gridView->setColumnHidden(1, true);
    }
}

void MainWindow::UpdateRecentFiles()
{
    const QStringList entries = RecentFiles::entries();
    for (int slot = 0; slot < RecentFiles::kSlots; ++slot) {
        QAction *act = action(recentFileCommand(slot));
        const QString path = entries.value(slot);
        // The slot's number is its mnemonic; an "&" in the path is shown as it is.
        act->setText(QStringLiteral("&%1 %2").arg(slot + 1).arg(
            QString(path).replace(QLatin1Char('&'), QLatin1String("&&"))));
        act->setData(path);
        // A file that disappeared is hidden, not forgotten.
        act->setVisible(!path.isEmpty() && QFileInfo(path).isFile());
    }
}

void MainWindow::ShowProgress(bool show)
{
    m_progressBar->setVisible(show);
    m_messagePane->setVisible(!show);
}

// ------------------------------------------------------------------------------- settings

void MainWindow::closeEvent(QCloseEvent *event)
{
    m_gridController.commitEditor();
    if (!m_session.offerToSaveEdits(CatalogueSession::AfterDiscard::Clear)) {
        event->ignore();
        return;
    }
    unloadSequence();
    event->accept();
}

void MainWindow::unloadSequence()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    m_appearance->save();
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window != this && window->isVisible())
            window->close();
    }
}

// ---------------------------------------------------------------------------- the catalogue

bool MainWindow::OpenMDB(const QString &path)
{
    return m_session.OpenMDB(path);
}

bool MainWindow::importCatalogue(const QString &tdsPath)
{
    WaitCursor wait;
    return m_session.importCatalogue(tdsPath);
}
