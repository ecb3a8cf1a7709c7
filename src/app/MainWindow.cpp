#include "app/MainWindow.h"

#include "app/CommandTable.h"
#include "app/FirstRun.h"
#include "app/SessionCommands.h"
#include "browse/ArticleGridModel.h"
#include "browse/ArticleSearch.h"
#include "browse/GroupTree.h"
#include "check/CatalogueCheck.h"
#include "core/AppError.h"
#include "core/Paths.h"
#include "core/PickFile.h"
#include "core/Progress.h"
#include "core/RecentFiles.h"
#include "core/Settings.h"
#include "db/Schema.h"
#include "dialogs/AboutDialog.h"
#include "dialogs/AccessoryPickerDialog.h"
#include "dialogs/ChangePrefixDialog.h"
#include "dialogs/FieldEditDialog.h"
#include "dialogs/NewGroupDialog.h"
#include "dialogs/OptionsDialog.h"
#include "edit/AccessoryPick.h"
#include "edit/PrefixChange.h"
#include "ui/ArticleGridView.h"
#include "ui/CheckPanel.h"
#include "ui/FindBar.h"
#include "ui/GroupTreeView.h"
#include "ui/Icons.h"
#include "ui/Theme.h"
#include "ui/WindowPlacement.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QFileInfo>
#include <QFontComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QScopedValueRollback>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <cmath>

namespace {

// Progress in the status bar's pane. Long work repaints now and then so the window keeps
// moving.
class StatusBarProgress final : public Progress
{
public:
    StatusBarProgress(QProgressBar &bar, std::function<void(bool)> showPane)
        : m_bar(bar), m_showPane(std::move(showPane))
    {
    }
    void start(qint64 maximum) override
    {
        m_scale = maximum > INT_MAX ? maximum / INT_MAX + 1 : 1;
        m_bar.setRange(0, int(qMax<qint64>(1, maximum / m_scale)));
        m_bar.setValue(0);
        m_showPane(true);
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    void update(qint64 value) override
    {
        m_bar.setValue(int(qMin<qint64>(value / m_scale, m_bar.maximum())));
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    void end() override { m_showPane(false); }

private:
    QProgressBar &m_bar;
    std::function<void(bool)> m_showPane;
    qint64 m_scale = 1;
};

// The wait cursor for the length of a command.
class WaitCursor
{
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

} // namespace

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
    const int scheme = Theme::schemeFromSetting(Settings::read(Settings::Theme));

    createViews();
    CreateMenu();
    registerHandlers();
    connectSession();
    const QByteArray state = QByteArray::fromBase64(Settings::read(Settings::BarLayout).toLatin1());
    if (!state.isEmpty())
        restoreState(state);
    SetTheme(scheme);
    setWindowTitle(QStringLiteral("Ravelund"));
    loadSettings();
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
    m_tree->setManufacturerLoader([this](const QString &blockName) -> std::optional<QStringList> {
        Database *db = m_session.database();
        if (!db)
            return QStringList();
        try {
            WaitCursor wait;
            return GroupTree::manufacturers(*db, blockName);
        } catch (const std::exception &e) {
            reportError(m_prompter, kMainWindow, QStringLiteral("ExpandTreeRow"), e);
            return QStringList();
        }
    });
    connect(m_tree, &GroupTreeView::rowPicked, this, &MainWindow::FilterSelection);

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
    connect(m_findBar, &FindBar::searchRequested, this, [this](const QString &text) {
        Database *db = m_session.database();
        if (!db)
            return;
        try {
            WaitCursor wait;
            m_findBar->setHits(ArticleSearch::find(*db, text));
        } catch (const std::exception &e) {
            reportError(m_prompter, kMainWindow, QStringLiteral("Find"), e);
        }
    });
    connect(m_findBar, &FindBar::hitActivated, this, &MainWindow::showFoundArticle);
    connect(m_findBar, &FindBar::closed, this, [this] { m_gridView->setFocus(); });
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setChildrenCollapsible(false);
    m_tree->setMinimumWidth(5);
    setCentralWidget(m_splitter);

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
    auto *text = new QToolBar(QStringLiteral("Text"), this);
    text->setObjectName(QStringLiteral("tbText"));
    insertToolBar(findChild<QToolBar *>(QStringLiteral("tbSave")), text);
    m_fontBox = new QFontComboBox(text);
    m_fontBox->setObjectName(QStringLiteral("cboFonts"));
    m_fontBox->setToolTip(QStringLiteral("Teckensnitt"));
    m_fontBox->setAccessibleName(QStringLiteral("Teckensnitt"));
    m_fontBox->setCurrentFont(m_gridView->font());
    m_fontSizeBox = new QComboBox(text);
    m_fontSizeBox->setObjectName(QStringLiteral("cboTextHeight"));
    m_fontSizeBox->setToolTip(QStringLiteral("Teckenstorlek"));
    m_fontSizeBox->setAccessibleName(QStringLiteral("Teckenstorlek"));
    for (int size = 5; size <= 12; ++size)
        m_fontSizeBox->addItem(QString::number(size));
    text->addSeparator();
    text->addWidget(m_fontBox);
    text->addSeparator();
    text->addWidget(m_fontSizeBox);
    connect(m_fontBox, &QFontComboBox::currentFontChanged, this,
            [this](const QFont &font) { applyFontName(font.family()); });
    connect(m_fontSizeBox, &QComboBox::currentTextChanged, this, [this](const QString &size) {
        Settings::save(Settings::FontSize, size);
        applyFontSize(size.toInt());
    });
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
    m_commands.add(C::Options, [this] { openOptionsDialog(); });
    m_commands.add(C::ChangePrefix, [this] { openChangePrefixDialog(); });
    m_commands.add(C::NewArticleGroup, [this] { openNewGroupDialog(false); });
    m_commands.add(C::NewAccessoryGroup, [this] { openNewGroupDialog(true); });
    m_commands.add(C::Help, [this] { m_userGuide.open(m_prompter); });
    m_commands.add(C::CheckCatalogue, [this] { checkCatalogue(); });
    m_commands.add(C::About, [this] { showAbout(); });
    m_commands.add(C::Find, [this] {
        m_findBar->show();
        m_findBar->focusSearch();
    });
    for (int scheme = 0; scheme <= 5; ++scheme)
        m_commands.add(schemeCommand(scheme), [this, scheme] { SetTheme(scheme); });
    m_gridController.registerCommands(m_commands);
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
        setupGridColumns();
        // Another catalogue starts at the root, at the top of the tree; a reopened one keeps
        // the choice the session shows again.
        const bool reopening = m_session.isReopening();
        if (!reopening)
            m_lastTreeKey.clear();
        SetupTreeView();
        // A new user sees articles at once: the grid shows the highlighted tree row.
        const ArticleSelection highlighted = ArticleSelection::fromTreeKey(m_tree->currentKey());
        if (highlighted.isValid() && !reopening)
            m_session.show(highlighted);
        setWindowTitle(databaseCaption(path));
        UpdateRecentFiles();
        updateCommands();
    });
    connect(&m_session, &CatalogueSession::closed, this, [this] {
        // The picker reads the database that just went.
        if (m_picker)
            m_picker->close();
        m_tree->clear();
        setWindowTitle(QStringLiteral("Ravelund "));
        updateCommands();
    });
    connect(&m_session, &CatalogueSession::treeChanged, this, &MainWindow::SetupTreeView);
    connect(&m_session, &CatalogueSession::editedChanged, this, &MainWindow::onEditedChanged);
    connect(&m_session, &CatalogueSession::notice, this,
            [this](const QString &text) { statusBar()->showMessage(text, 20000); });
    connect(&m_session, &CatalogueSession::gridReset, this, [this] {
        UpdateLayout();
        showChoiceInTree();
    });

    connect(&m_gridController, &GridController::statusMessage, this,
            [this](const QString &text, int milliseconds) {
                statusBar()->showMessage(text, milliseconds);
            });
    connect(&m_gridController, &GridController::selectionStatus, m_messagePane, &QLabel::setText);
    connect(&m_gridController, &GridController::commandRequested, this, &MainWindow::dispatch);
    connect(&m_gridController, &GridController::editingChanged, this, &MainWindow::updateCommands);
    connect(&m_gridController.history(), &GridHistory::changed, this, &MainWindow::updateCommands);
    connect(&m_gridController, &GridController::fieldEditRequested, this,
            &MainWindow::openFieldEditDialog);
    connect(&m_gridController, &GridController::accessoryPickerRequested, this,
            &MainWindow::openAccessoryPicker);
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
    // While the grid holds edits the shown choice cannot change under them. A click on the
    // tree that committed an open editor may have moved its current row: it goes back.
    m_tree->setEnabled(!edited);
    if (edited)
        showChoiceInTree();
    QPalette p = m_tree->palette();
    p.setColor(QPalette::Text,
               edited ? palette().color(QPalette::Dark) : palette().color(QPalette::WindowText));
    m_tree->setPalette(p);
    updateCommands();
}

void MainWindow::SetTheme(int scheme)
{
    scheme = qBound(0, scheme, Theme::kDefaultScheme);
    Theme::setCurrentScheme(scheme);
    qApp->setPalette(Theme::palette(scheme));
    QPalette own = palette();
    own.setColor(QPalette::Window, colourFromValue(Theme::barColour(scheme)));
    setPalette(own);
    SetThemeCheck(scheme);
    Settings::save(Settings::Theme, QString::number(scheme));
}

void MainWindow::SetThemeCheck(int scheme)
{
    for (int n = 0; n <= 5; ++n)
        action(schemeCommand(n))->setChecked(n == scheme);
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

int MainWindow::treeWidth() const
{
    return m_splitter->sizes().value(0);
}

void MainWindow::setTreeWidth(int pixels)
{
    const int total = qMax(m_splitter->width(), pixels + 100);
    m_splitter->setSizes({qMax(5, pixels), qMax(1, total - pixels)});
}

// ------------------------------------------------------------------------------- settings

void MainWindow::loadSettings()
{
    setTreeColour(storedColour(Settings::TreeColor));
    setGridColour(storedColour(Settings::GridColor));
    const QString fontSize = Settings::read(Settings::FontSize);
    {
        const QSignalBlocker block(m_fontSizeBox);
        m_fontSizeBox->setCurrentText(fontSize);
    }
    applyFontSize(fontSize.toInt());

    RestoreFormPosition(this, 8000, 12000);
    setTreeWidth(Twips::toPixels(
        Settings::readNumber(Settings::TreeWidth, int(Twips::fromPixels(width()) / 4))));
    for (int column = 0; column < 64; ++column)
        m_storedColumnWidths << Settings::readNumber(Settings::columnWidth(column), -1);
    if (Settings::readNumber(Settings::WinState) == 2)
        setWindowState(windowState() | Qt::WindowMaximized);
}

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
    if (isMinimized())
        showNormal();
    SaveFormPosition(this);
    Settings::save(Settings::WindowWidth, QString::number(Twips::fromPixels(width())));
    Settings::save(Settings::WindowHeight, QString::number(Twips::fromPixels(height())));
    Settings::save(Settings::FontName, m_fontBox->currentText());
    Settings::save(Settings::WinState, isMaximized() ? QStringLiteral("2") : QStringLiteral("0"));
    Settings::save(Settings::BarLayout, QString::fromLatin1(saveState().toBase64()));
    Settings::save(Settings::BarCount, QString::number(findChildren<QToolBar *>().size()));
    Settings::save(Settings::Version, FirstRun::fullVersion());
    for (int column = 0; column < grid().cols(); ++column) {
        const int pixels = m_gridView->columnWidth(column);
        if (pixels > 0)
            Settings::save(Settings::columnWidth(column),
                           QString::number(qRound(Twips::fromPixels(pixels))));
    }
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window != this && window->isVisible())
            window->close();
    }
}

void MainWindow::setTreeColour(std::uint32_t colour)
{
    QPalette p = m_tree->palette();
    p.setColor(QPalette::Base, colourFromValue(colour));
    m_tree->setPalette(p);
}

void MainWindow::setGridColour(std::uint32_t colour)
{
    QPalette p = m_gridView->palette();
    const QColor base = colourFromValue(colour);
    p.setColor(QPalette::Base, base);
    // Every other row a shade off the chosen colour, darker on light colours, lighter on dark.
    p.setColor(QPalette::AlternateBase,
               base.lightness() > 128 ? base.darker(107) : base.lighter(130));
    m_gridView->setPalette(p);
}

void MainWindow::setFontSize(int points)
{
    // Choosing in the box stores the size and applies it.
    m_fontSizeBox->setCurrentText(QString::number(points));
}

void MainWindow::applyFontName(const QString &family)
{
    for (QWidget *view : {static_cast<QWidget *>(m_tree), static_cast<QWidget *>(m_gridView)}) {
        QFont font = view->font();
        font.setFamily(family);
        view->setFont(font);
    }
}

void MainWindow::applyFontSize(int points)
{
    if (points <= 0)
        return;
    // Column widths (shown and stored) follow the font, so text fits as it did before.
    const int previous = m_gridView->font().pointSize();
    if (previous > 0 && previous != points) {
        const auto scaled = [&](int width) {
            return int(std::lround(double(width) * points / previous));
        };
        for (int column = 0; column < m_gridView->horizontalHeader()->count(); ++column)
            m_gridView->setColumnWidth(column, scaled(m_gridView->columnWidth(column)));
        for (int &stored : m_storedColumnWidths) {
            if (stored > 0)
                stored = scaled(stored);
        }
    }
    for (QWidget *view : {static_cast<QWidget *>(m_tree), static_cast<QWidget *>(m_gridView)}) {
        QFont font = view->font();
        font.setPointSize(points);
        view->setFont(font);
    }
    m_gridView->verticalHeader()->setDefaultSectionSize(QFontMetrics(m_gridView->font()).height() +
                                                        6);
    m_gridController.fitRowSelector();
}

// ---------------------------------------------------------------------------- the catalogue

void MainWindow::setupGridColumns()
{
    const FieldList &fields = m_session.fieldList();
    // A stored width wins; a column nobody sized yet gets room for its field's length.
    const QFontMetrics metrics(m_gridView->font());
    for (int column = 0; column < grid().cols(); ++column) {
        const int stored = m_storedColumnWidths.value(column, -1);
        int pixels = Twips::toPixels(Settings::defaultOf(Settings::columnWidth(column)).toInt());
        if (stored > 0) {
            pixels = Twips::toPixels(stored);
        } else if (column >= 1 && column - 1 < fields.size()) {
            const FieldDesc &field = fields.at(column - 1);
            const int characters = qBound(4, qMax<int>(field.Length, field.Name.size()), 30);
            pixels = metrics.averageCharWidth() * characters + 12;
        }
        m_gridView->setColumnWidth(column, pixels);
    }
    UpdateLayout();
}

bool MainWindow::OpenMDB(const QString &path)
{
    return m_session.OpenMDB(path);
}

bool MainWindow::importCatalogue(const QString &tdsPath)
{
    WaitCursor wait;
    return m_session.importCatalogue(tdsPath);
}

void MainWindow::SetupTreeView()
{
    Database *db = m_session.database();
    if (!db)
        return;
    try {
        const QList<GroupTree::Group> groups = GroupTree::groups(*db);
        // Building the tree moves its current row; that is no pick of the user's.
        const QScopedValueRollback<bool> building(m_pickingTreeRow, true);
        m_tree->build(groups, m_lastTreeKey);
    } catch (const std::exception &e) {
        reportError(m_prompter, kMainWindow, QStringLiteral("SetupTreeView"), e);
    }
}

void MainWindow::showFoundArticle(int index)
{
    if (index < 0 || index >= m_findBar->hits().size())
        return;
    const ArticleSearch::Hit hit = m_findBar->hits().at(index);
    const ArticleSelection group = ArticleSearch::selectionFor(hit);
    // Another group is shown only after the question about unsaved edits.
    if (m_session.selection() != group) {
        m_gridController.commitEditor();
        if (!m_session.show(group))
            return;
        m_lastTreeKey = group.treeKey();
    }
    const int row = ArticleSearch::gridRowOf(grid(), hit);
    if (row < 1)
        return;
    int column = ArticleSearch::gridColumnOf(grid(), hit);
    if (column < 2)
        column = 2; // the row number is hidden; the block name is the first shown field
    const QModelIndex cell = m_gridModel->index(row - 1, column);
    m_gridView->setCurrentIndex(cell);
    m_gridView->scrollTo(cell, QAbstractItemView::PositionAtCenter);
}

void MainWindow::checkCatalogue()
{
    Database *db = m_session.database();
    if (!db)
        return;
    Findings findings;
    try {
        WaitCursor wait;
        findings = CatalogueCheck(*db, AccessoryPick::accessoryPrefix()).run();
    } catch (const std::exception &e) {
        reportError(m_prompter, kMainWindow, QStringLiteral("mnuCheck"), e);
        return;
    }
    if (!m_checkPanel) {
        m_checkPanel = new CheckPanel(this);
        addDockWidget(Qt::RightDockWidgetArea, m_checkPanel);
        connect(m_checkPanel, &CheckPanel::findingActivated, this, &MainWindow::showFinding);
    }
    m_checkPanel->setFindings(findings);
    m_checkPanel->show();
    m_checkPanel->raise();
}

void MainWindow::showFinding(const Finding &finding)
{
    // Equivalence lines are not shown in the grid; a group is.
    if (finding.blockName.isEmpty() || finding.table == QLatin1String(Schema::kEqv))
        return;
    const ArticleSelection group = ArticleSelection::group(finding.blockName);
    if (m_session.selection() != group) {
        m_gridController.commitEditor();
        if (!m_session.show(group))
            return;
        m_lastTreeKey = group.treeKey();
    }
    const int radColumn = grid().GetColumn(Schema::kRowNumber);
    if (finding.row < 0 || radColumn < 0)
        return;
    const QString rad = QString::number(finding.row);
    for (int row = 1; row < grid().rows(); ++row) {
        if (grid().text(row, radColumn).trimmed() != rad)
            continue;
        const int column = qMax(2, grid().GetColumn(finding.field));
        const QModelIndex cell = m_gridModel->index(row - 1, column);
        m_gridView->setCurrentIndex(cell);
        m_gridView->scrollTo(cell, QAbstractItemView::PositionAtCenter);
        return;
    }
}

void MainWindow::showChoiceInTree()
{
    // The tree's current row follows what the grid shows, also after the tree was rebuilt.
    const ArticleSelection &shown = m_session.selection();
    if (!shown.isValid() || m_tree->currentKey() == shown.treeKey())
        return;
    const QScopedValueRollback<bool> restoring(m_pickingTreeRow, true);
    m_tree->setCurrentKey(shown.treeKey());
    m_tree->markCurrentBold();
}

void MainWindow::FilterSelection()
{
    if (m_pickingTreeRow || m_tree->topLevelItemCount() == 0)
        return;
    const QScopedValueRollback<bool> picking(m_pickingTreeRow, true);
    m_gridController.commitEditor();
    const ArticleSelection selection = ArticleSelection::fromTreeKey(m_tree->currentKey());
    if (!selection.isValid())
        return;
    WaitCursor wait;
    const bool shown = m_session.show(selection);
    // After a cancelled question the tree shows the kept choice again.
    showChoiceInTree();
    if (!shown)
        return;
    m_lastTreeKey = selection.treeKey();
    m_gridController.EvaluateTreeMode();
}

// ------------------------------------------------------------------------------- dialogs

void MainWindow::openFieldEditDialog()
{
    Database *db = m_session.database();
    if (!db)
        return;
    // Reopening the database after the change would throw unsaved grid edits away.
    if (!m_session.offerToSaveEdits())
        return;
    FieldEditDialog dialog(*db, m_prompter, m_gridController.FieldEditColumn,
                           m_gridController.FieldEditSize, m_gridController.FieldEditDescription,
                           this);
    if (dialog.exec() == QDialog::Accepted)
        m_session.reopen(); // the grid's limits follow the new length
}

void MainWindow::openAccessoryPicker(int, int)
{
    Database *db = m_session.database();
    if (!db)
        return;
    // What the user typed in the cell counts first; the picked name then replaces it in the
    // rows that were selected when the picker opened.
    m_gridController.commitTypedText();
    const ArticleGrid::CellRange target = grid().selection();
    if (m_picker)
        m_picker->close();
    m_picker = new AccessoryPickerDialog(*db, m_prompter, this);
    connect(m_picker, &AccessoryPickerDialog::chosen, this, [this, target](const QString &name) {
        m_gridController.writeAccessoryGroup(target, name);
    });
    connect(m_picker, &AccessoryPickerDialog::optionsRequested, this, [this] {
        // A prefix chosen there fills the picker's list again.
        OptionsDialog *options = openOptionsDialog();
        connect(options, &OptionsDialog::accessoryPrefixChosen, m_picker.data(),
                &AccessoryPickerDialog::fillList);
    });
    m_picker->present();
}

void MainWindow::openChangePrefixDialog()
{
    // The prefix dialog writes to the database at once; pending edits are settled first.
    Database *db = m_session.database();
    if (!db || !m_session.offerToSaveEdits())
        return;
    ChangePrefixDialog dialog(*db, m_prompter, this);
    connect(&dialog, &ChangePrefixDialog::prefixChanged, this,
            [this](const QString &oldPrefix, const QString &newPrefix) {
                // The shown group goes on under its new block name.
                const ArticleSelection shown =
                    PrefixChange::renamedSelection(m_session.selection(), oldPrefix, newPrefix);
                if (shown.isValid())
                    m_lastTreeKey = shown.treeKey();
                m_session.databaseChanged(shown);
            });
    dialog.exec();
}

void MainWindow::openNewGroupDialog(bool accessoryGroup)
{
    // The dialog writes to the database at once; pending edits are settled first.
    Database *db = m_session.database();
    if (!db || !m_session.offerToSaveEdits())
        return;
    NewGroupDialog dialog(*db, m_prompter, accessoryGroup, this);
    dialog.exec(); // stays open for several groups
    if (dialog.anyGroupAdded())
        m_session.databaseChanged();
}

OptionsDialog *MainWindow::openOptionsDialog()
{
    // Modal without a nested event loop; it deletes itself when closed.
    auto *dialog = new OptionsDialog(m_prompter, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &OptionsDialog::treeColourChosen, this, &MainWindow::setTreeColour);
    connect(dialog, &OptionsDialog::gridColourChosen, this, &MainWindow::setGridColour);
    connect(dialog, &OptionsDialog::fontSizeChosen, this, &MainWindow::setFontSize);
    dialog->open();
    return dialog;
}

void MainWindow::showAbout()
{
    AboutDialog dialog(this);
    dialog.exec();
}
