#include "app/MainWindow.h"

#include "app/CommandTable.h"
#include "app/FirstRun.h"
#include "app/PickFile.h"
#include "app/RecentFiles.h"
#include "browse/ArticleGridModel.h"
#include "browse/GridStore.h"
#include "browse/GroupTree.h"
#include "core/AppError.h"
#include "core/Paths.h"
#include "core/Progress.h"
#include "core/Settings.h"
#include "db/Schema.h"
#include "db/TdsExport.h"
#include "db/TdsImport.h"
#include "dialogs/AboutDialog.h"
#include "dialogs/FieldEditDialog.h"
#include "dialogs/OptionsDialog.h"
#include "ui/ArticleGridView.h"
#include "ui/GroupTreeView.h"
#include "ui/Icons.h"
#include "ui/Theme.h"
#include "ui/WindowPlacement.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFontComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeWidget>

namespace {

const QString kMain = QStringLiteral("Main");
const QString kOptions = QStringLiteral("Options");
const QString kLayout = QStringLiteral("Layout");
const QString kWindow = QStringLiteral("frmMain");

// Progress in the status bar. Long imports repaint now and then so the window keeps moving;
// the export advances the bar without showing its pane.
class StatusBarProgress final : public Progress
{
public:
    StatusBarProgress(MainWindow &window, QProgressBar &bar, bool showPane)
        : m_window(window), m_bar(bar), m_showPane(showPane)
    {
    }
    void start(qint64 maximum) override
    {
        m_scale = maximum > INT_MAX ? maximum / INT_MAX + 1 : 1;
        m_bar.setRange(0, int(qMax<qint64>(1, maximum / m_scale)));
        m_bar.setValue(0);
        if (m_showPane)
            m_window.ShowProgress(true);
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    void update(qint64 value) override
    {
        m_bar.setValue(int(qMin<qint64>(value / m_scale, m_bar.maximum())));
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    void end() override
    {
        if (m_showPane)
            m_window.ShowProgress(false);
    }

private:
    MainWindow &m_window;
    QProgressBar &m_bar;
    bool m_showPane;
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

QString folderWithSeparator(const QString &path)
{
    return Paths::folderOf(path) + QDir::separator();
}

} // namespace

QString databaseCaption(const QString &path)
{
    return Paths::fileNameOf(path) + QStringLiteral(" - ") + QStringLiteral("Ravelund ") +
           QStringLiteral(" ") + QStringLiteral(" [") + path + QStringLiteral("]");
}

MainWindow::MainWindow(Prompter &prompter, QWidget *parent)
    : QMainWindow(parent), m_prompter(prompter), m_gridController(*this, prompter),
      m_grid(m_gridController.grid()), m_gridModel(m_gridController.model()),
      m_gridView(m_gridController.view())
{
    setObjectName(kWindow);
    setWindowIcon(Icons::application());
    FirstRun::importDefaults(programFolder());
    const int scheme = Theme::schemeFromSetting(
        Settings::readUser(QStringLiteral("Theme"), QString::number(Theme::kDefaultScheme)));

    createViews();
    CreateMenu();
    registerHandlers();
    const QByteArray state =
        QByteArray::fromBase64(Settings::readUser(QStringLiteral("State"), {}, kLayout).toLatin1());
    if (!state.isEmpty())
        restoreState(state);
    SetTheme(scheme, CommandId::Scheme0 + scheme);
    setWindowTitle(QStringLiteral("Ravelund"));
    loadSettings();
    UpdateRecentFiles();
    UpdateLayout();
    EnableMenus(false);
}

MainWindow::~MainWindow()
{
    // Let the view go of the grid while everything an open cell editor may still commit into
    // is alive; the members go before the child widgets do.
    m_gridView->setModel(nullptr);
}

Database *MainWindow::database()
{
    return m_database ? &m_database->db() : nullptr;
}

void MainWindow::showStatus(const QString &text, int milliseconds)
{
    statusBar()->showMessage(text, milliseconds);
}

void MainWindow::showSelectionStatus(const QString &text)
{
    m_messagePane->setText(text);
}

// ------------------------------------------------------------------------- building the window

void MainWindow::createViews()
{
    m_tree = new GroupTreeView(this);
    m_tree->setManufacturerLoader([this](const QString &blockName) -> std::optional<QStringList> {
        if (!m_database)
            return QStringList();
        try {
            WaitCursor wait;
            return GroupTree::manufacturers(m_database->db(), blockName);
        } catch (const std::exception &e) {
            reportError(m_prompter, kWindow, QStringLiteral("ExpandTreeRow"), e);
            return QStringList();
        }
    });
    connect(m_tree, &GroupTreeView::rowPicked, this, &MainWindow::FilterSelection);

    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->setObjectName(QStringLiteral("picDrag"));
    m_splitter->addWidget(m_tree);
    m_splitter->addWidget(m_gridView);
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setChildrenCollapsible(false);
    m_tree->setMinimumWidth(5);
    setCentralWidget(m_splitter);
}

QAction *MainWindow::createAction(int id, const QString &caption, char shortcut)
{
    auto *act = new QAction(caption, this);
    act->setData(id);
    if (shortcut)
        act->setShortcut(QKeySequence(Qt::CTRL | Qt::Key(shortcut)));
    connect(act, &QAction::triggered, this, [this, id] { dispatch(id); });
    // Shortcuts work whatever bar shows the command, also a hidden one.
    addAction(act);
    m_actions.insert(id, act);
    return act;
}

void MainWindow::CreateMenu()
{
    menuBar()->setObjectName(QStringLiteral("CommandBars"));
    menuBar()->setWindowTitle(QStringLiteral("Meny"));
    for (const MenuSpec &spec : menuTable()) {
        QMenu *menu = menuBar()->addMenu(QString::fromUtf8(spec.title));
        menu->setObjectName(QString::fromLatin1(spec.objectName));
        m_menus.insert(menu->objectName(), menu);
        for (const MenuItemSpec &item : spec.items) {
            if (item.separator)
                menu->addSeparator();
            menu->addAction(createAction(item.id, QString::fromUtf8(item.caption), item.shortcut));
        }
    }
    for (int id : {CommandId::OpenMDB, CommandId::SaveAs, CommandId::CloseMDB, CommandId::OpenTDS,
                   CommandId::SaveTDS, CommandId::Save, CommandId::Ignore})
        m_actions.value(id)->setIcon(Icons::forCommand(id));

    createToolbars();

    // "&Visa": the toolbar list and the colour schemes.
    QMenu *view = m_menus.value(QStringLiteral("mnuView"));
    QMenu *toolbars = view->addMenu(QStringLiteral("&Verktygsfält"));
    toolbars->setObjectName(QStringLiteral("mnuToolbars"));
    for (QToolBar *bar : findChildren<QToolBar *>())
        toolbars->addAction(bar->toggleViewAction());
    QMenu *schemes = view->addMenu(QStringLiteral("&Färgschema"));
    schemes->setObjectName(QStringLiteral("mnuSchemes"));
    for (const MenuItemSpec &item : schemeItems()) {
        QAction *act = createAction(item.id, QString::fromUtf8(item.caption));
        act->setCheckable(true);
        schemes->addAction(act);
    }

    createStatusBar();
}

void MainWindow::createToolbars()
{
    QToolBar *standard = addToolBar(QStringLiteral("Standard"));
    standard->setObjectName(QStringLiteral("tbStandard"));
    standard->setToolButtonStyle(Qt::ToolButtonIconOnly);
    for (const ToolbarItemSpec &item : standardToolbar()) {
        if (item.separator)
            standard->addSeparator();
        QAction *act = createAction(item.id, QString::fromUtf8(item.caption));
        act->setToolTip(QString::fromUtf8(item.toolTip));
        act->setIcon(Icons::forCommand(item.id));
        standard->addAction(act);
    }
    m_actions.value(1101)->setStatusTip(
        QStringLiteral("Öppnar en redan importerad artikeldatabas för redigering"));
    m_actions.value(1105)->setEnabled(false);

    QToolBar *schemes = addToolBar(QStringLiteral("&Färgschema"));
    schemes->setObjectName(QStringLiteral("tbSchemes"));
    for (const MenuItemSpec &item : schemeItems()) {
        // The bar shows the same schemes as the menu; its buttons run the same commands.
        auto *act = new QAction(QString::fromUtf8(item.caption), schemes);
        const int id = item.id;
        connect(act, &QAction::triggered, this, [this, id] { dispatch(id); });
        schemes->addAction(act);
    }
    schemes->hide();

    QToolBar *text = addToolBar(QStringLiteral("Text"));
    text->setObjectName(QStringLiteral("tbText"));
    m_fontBox = new QFontComboBox(text);
    m_fontBox->setObjectName(QStringLiteral("cboFonts"));
    m_fontBox->setToolTip(QStringLiteral("Teckensnitt"));
    m_fontBox->setCurrentFont(m_gridView->font());
    m_fontSizeBox = new QComboBox(text);
    m_fontSizeBox->setObjectName(QStringLiteral("cboTextHeight"));
    m_fontSizeBox->setToolTip(QStringLiteral("Teckenstorlek"));
    for (int size = 5; size <= 12; ++size)
        m_fontSizeBox->addItem(QString::number(size));
    text->addSeparator();
    text->addWidget(m_fontBox);
    text->addSeparator();
    text->addWidget(m_fontSizeBox);
    connect(m_fontBox, &QFontComboBox::currentFontChanged, this,
            [this](const QFont &font) { applyFontName(font.family()); });
    connect(m_fontSizeBox, &QComboBox::currentTextChanged, this, [this](const QString &size) {
        Settings::saveUser(QStringLiteral("FontSize"), size, kOptions);
        applyFontSize(size.toInt());
    });

    QToolBar *save = addToolBar(QStringLiteral("Spara ändringar"));
    save->setObjectName(QStringLiteral("tbSave"));
    save->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    for (const ToolbarItemSpec &item : saveToolbar()) {
        QAction *act = createAction(item.id, QString::fromUtf8(item.caption));
        act->setToolTip(QString::fromUtf8(item.toolTip));
        act->setIcon(Icons::forCommand(item.id));
        act->setEnabled(false);
        save->addAction(act);
    }
    m_actions.value(CommandId::Save)->setEnabled(false);
    m_actions.value(CommandId::Ignore)->setEnabled(false);
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
}

void MainWindow::registerHandlers()
{
    auto add = [this](int id, const QString &name, std::function<void()> run) {
        m_handlers.insert(id, Handler{name, std::move(run)});
    };
    add(CommandId::Exit, QStringLiteral("unload"), [this] { close(); });
    add(CommandId::OpenMDB, QStringLiteral("mnuOpenMDB"), [this] { mnuOpenMDB(); });
    add(CommandId::SaveAs, QStringLiteral("mnuSaveAs"), [this] { mnuSaveAs(); });
    add(CommandId::CloseMDB, QStringLiteral("mnuCloseMDB"), [this] {
        if (keepOrSaveEdits())
            mnuCloseMDB();
    });
    add(CommandId::OpenTDS, QStringLiteral("mnuOpenTDS"), [this] { mnuOpenTDS(); });
    add(CommandId::SaveTDS, QStringLiteral("mnuSaveTDS"), [this] { mnuSaveTDS(); });
    add(CommandId::Copy, QStringLiteral("CopyClip"), [this] { m_gridController.CopyClip(); });
    add(CommandId::Cut, QStringLiteral("CutClip"), [this] { m_gridController.CutClip(); });
    add(CommandId::Paste, QStringLiteral("PasteClip"), [this] { m_gridController.PasteClip(); });
    add(CommandId::Replace, QStringLiteral("frmReplace"),
        [this] { m_gridController.openReplaceDialog(); });
    add(CommandId::FillDown, QStringLiteral("mnuDataFillDown"),
        [this] { m_gridController.mnuDataFillDown(); });
    add(CommandId::FillUp, QStringLiteral("mnuDataFillUp"),
        [this] { m_gridController.mnuDataFillUp(); });
    for (int id = CommandId::FillDownStep1; id <= CommandId::FillDownStep5; ++id) {
        const int step = id - 206;
        add(id, QStringLiteral("mnuEditFillDnIncr %1").arg(step),
            [this, step] { m_gridController.mnuEditFillDnIncr(step); });
    }
    add(CommandId::Options, QStringLiteral("frmOptions"), [this] { openOptionsDialog(); });
    add(CommandId::ChangePrefix, QStringLiteral("frmChangePrefix"),
        [this] { openChangePrefixDialog(); });
    add(CommandId::NewArticleGroup, QStringLiteral("frmNewGroup"),
        [this] { openNewGroupDialog(false); });
    add(CommandId::NewAccessoryGroup, QStringLiteral("frmNewAccessoryGroup"),
        [this] { openNewGroupDialog(true); });
    add(CommandId::About, QStringLiteral("frmAbout"), [this] { showAbout(); });
    add(CommandId::InsertArticle, QStringLiteral("InsertArticle"),
        [this] { m_gridController.InsertArticle(); });
    add(CommandId::AppendArticle, QStringLiteral("AppendArticle"),
        [this] { m_gridController.AppendArticle(false); });
    add(CommandId::AppendArticles, QStringLiteral("AppendArticle ask"),
        [this] { m_gridController.AppendArticle(true); });
    add(CommandId::CopyArticle, QStringLiteral("CopyArticle"),
        [this] { m_gridController.CopyArticle(); });
    add(CommandId::DeleteArticle, QStringLiteral("DeleteArticle"),
        [this] { m_gridController.DeleteArticle(); });
    add(CommandId::PasteArticle, QStringLiteral("mnuPasteArticle"),
        [this] { m_gridController.mnuPasteArticle(); });
    add(CommandId::Save, QStringLiteral("mnuSave"), [this] { mnuSave(); });
    add(CommandId::Ignore, QStringLiteral("ignoreChanges"), [this] { ignoreChanges(); });
    for (int id = CommandId::Scheme0; id <= CommandId::Scheme6; ++id)
        add(id, QStringLiteral("SetTheme %1").arg(id - CommandId::Scheme0),
            [this, id] { SetTheme(id - CommandId::Scheme0, id); });
    for (int id = CommandId::RecentFile0; id <= CommandId::RecentFile3; ++id)
        add(id, QStringLiteral("OpenMDB recent %1").arg(id - CommandId::RecentFile0),
            [this, id] { OpenMDB(m_actions.value(id)->text()); });
}

// ------------------------------------------------------------------------------- dispatch

void MainWindow::dispatch(int id)
{
    const auto handler = m_handlers.constFind(menuCommandOf(id));
    if (handler == m_handlers.constEnd())
        return;
    // A disabled command does nothing, also when reached by its shortcut.
    if (QAction *act = m_actions.value(id); act && !act->isEnabled())
        return;
    handler->run();
}

QString MainWindow::handlerName(int id) const
{
    return m_handlers.value(menuCommandOf(id)).name;
}

QMenu *MainWindow::menu(const QString &objectName) const
{
    return findChild<QMenu *>(objectName);
}

void MainWindow::EnableMenus(bool open)
{
    for (int id : {101, 1101, 104, 1104})
        m_actions.value(id)->setEnabled(!open);
    for (int id : {102, 1102, 103, 1103, 105, 1105, 302, 303, 304})
        m_actions.value(id)->setEnabled(open);
    QMenu *edit = m_menus.value(QStringLiteral("mnuEdit"));
    edit->setEnabled(open);
    for (QAction *act : edit->actions())
        act->setEnabled(open);
}

void MainWindow::SetTheme(int scheme, int id)
{
    scheme = qBound(0, scheme, Theme::kDefaultScheme);
    Theme::setCurrentScheme(scheme);
    qApp->setPalette(Theme::palette(scheme));
    QPalette own = palette();
    own.setColor(QPalette::Window, colourFromValue(Theme::barColour(scheme)));
    setPalette(own);
    SetThemeCheck(id);
    Settings::saveUser(QStringLiteral("Theme"), QString::number(scheme));
}

void MainWindow::SetThemeCheck(int id)
{
    for (int scheme = CommandId::Scheme0; scheme < CommandId::Scheme0 + 6; ++scheme)
        m_actions.value(scheme)->setChecked(scheme == id);
}

void MainWindow::UpdateLayout()
{
    // The splitter places tree and grid; what is left is the look of the grid's columns.
    if (m_grid.cols() > 0) {
        m_gridView->setColumnWidth(0, Twips::toPixels(300));
        m_gridView->setColumnHidden(1, true);
    }
}

void MainWindow::UpdateRecentFiles()
{
    const QStringList entries = RecentFiles::entries();
    for (int slot = 0; slot < RecentFiles::kSlots; ++slot) {
        QAction *act = m_actions.value(CommandId::RecentFile0 + slot);
        const QString path = entries.value(slot);
        act->setText(path);
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
    setTreeColour(
        Settings::readUser(QStringLiteral("TreeColor"), QStringLiteral("16777215"), kOptions)
            .toUInt());
    setGridColour(
        Settings::readUser(QStringLiteral("GridColor"), QStringLiteral("16777215"), kOptions)
            .toUInt());
    m_accessoryPrefix =
        Settings::readUser(QStringLiteral("TbhPrefix"), QStringLiteral("TILLB"), kOptions);
    const QString fontSize =
        Settings::readUser(QStringLiteral("FontSize"), QStringLiteral("8"), kOptions);
    {
        const QSignalBlocker block(m_fontSizeBox);
        m_fontSizeBox->setCurrentText(fontSize);
    }
    applyFontSize(fontSize.toInt());

    RestoreFormPosition(this, 8000, 12000);
    setTreeWidth(Twips::toPixels(Settings::readUserNumber(QStringLiteral("TreeWidth"),
                                                          int(Twips::fromPixels(width()) / 4))));
    for (int column = 0; column < 64; ++column)
        m_storedColumnWidths << Settings::readUserNumber(
            QString::number(column) + QStringLiteral("Col"), -1);
    if (x() < 0 || y() < 0)
        move(qMax(0, x()), qMax(0, y()));
    if (Settings::readUserNumber(QStringLiteral("WinState"), 0) == 2)
        setWindowState(windowState() | Qt::WindowMaximized);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!keepOrSaveEdits()) {
        event->ignore();
        return;
    }
    unloadSequence();
    event->accept();
}

bool MainWindow::keepOrSaveEdits()
{
    if (!m_edited)
        return true;
    if (!m_prompter.question(MessageIcon::Question, QStringLiteral("Ravelund"),
                             QStringLiteral("Artikellistan har ändringar som inte är sparade.\n"
                                            "Vill du spara dem?")))
        return true;
    mnuSave();
    return !m_edited; // a failed save keeps the edits, and the window stays
}

void MainWindow::unloadSequence()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    if (isMinimized())
        showNormal();
    SaveFormPosition(this);
    Settings::saveUser(QStringLiteral("Width"), QString::number(Twips::fromPixels(width())));
    Settings::saveUser(QStringLiteral("Height"), QString::number(Twips::fromPixels(height())));
    Settings::saveUser(QStringLiteral("Font"), m_fontBox->currentText());
    Settings::saveUser(QStringLiteral("WinState"),
                       isMaximized() ? QStringLiteral("2") : QStringLiteral("0"));
    Settings::saveUser(QStringLiteral("State"), QString::fromLatin1(saveState().toBase64()),
                       kLayout);
    Settings::saveUser(QStringLiteral("Bars"), QString::number(findChildren<QToolBar *>().size()),
                       QStringLiteral("Layout-Summary"));
    Settings::saveMachine(QStringLiteral("Version"), FirstRun::fullVersion());
    for (int column = 0; column < m_grid.cols(); ++column) {
        const int pixels = m_gridView->columnWidth(column);
        if (pixels > 0)
            Settings::saveUser(QString::number(column) + QStringLiteral("Col"),
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
    p.setColor(QPalette::Base, colourFromValue(colour));
    m_gridView->setPalette(p);
}

void MainWindow::setFontSize(int points)
{
    // Choosing in the box stores the size and applies it.
    m_fontSizeBox->setCurrentText(QString::number(points));
}

void MainWindow::setAccessoryPrefix(const QString &prefix)
{
    m_accessoryPrefix = prefix;
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
    for (QWidget *view : {static_cast<QWidget *>(m_tree), static_cast<QWidget *>(m_gridView)}) {
        QFont font = view->font();
        font.setPointSize(points);
        view->setFont(font);
    }
    m_gridView->verticalHeader()->setDefaultSectionSize(QFontMetrics(m_gridView->font()).height() +
                                                        6);
}

// ---------------------------------------------------------------------------- file commands

void MainWindow::setupGridColumns(const FieldList &fields)
{
    m_gridModel->beginChange();
    m_grid.setupColumns(fields);
    m_gridModel->endChange();
    // A stored width wins; a column nobody sized yet gets room for its field's length.
    const QFontMetrics metrics(m_gridView->font());
    for (int column = 0; column < m_grid.cols(); ++column) {
        const int stored = m_storedColumnWidths.value(column, -1);
        int pixels = Twips::toPixels(700);
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

void MainWindow::adoptDatabase(WorkingDatabase database, const FieldList &fields)
{
    m_database.reset();
    m_database.emplace(std::move(database));
    m_fieldList = fields;
    m_currentDbPath = m_database->path();
    setupGridColumns(m_fieldList);
    SetupTreeView();
    EnableMenus(true);
    setWindowTitle(databaseCaption(m_currentDbPath));
    RecentFiles::AddRecentFile(m_currentDbPath);
    UpdateRecentFiles();
}

void MainWindow::mnuOpenMDB()
{
    const QStringList files =
        PickFile(m_prompter, QStringLiteral("Välj artikeldatabas    "), QStringLiteral("tdb"),
                 Settings::readUser(QStringLiteral("OpenPath"), programFolder()));
    if (!files.isEmpty())
        OpenMDB(files.first());
}

bool MainWindow::OpenMDB(const QString &path)
{
    if (path.isEmpty() || !keepOrSaveEdits())
        return false;
    const QString absolute = QFileInfo(path).absoluteFilePath();
    Settings::saveUser(QStringLiteral("OpenPath"), folderWithSeparator(absolute));
    try {
        // Opened completely before anything of the old state is given up.
        WorkingDatabase opened = WorkingDatabase::open(absolute);
        const FieldList fields = opened.fields();
        adoptDatabase(std::move(opened), fields);
    } catch (const std::exception &e) {
        reportError(m_prompter, kWindow, QStringLiteral("OpenMDB"), e);
        return false;
    }
    return true;
}

void MainWindow::mnuSaveAs()
{
    // The copy is the file as stored, so unsaved edits are offered for saving first.
    if (!m_database || !keepOrSaveEdits())
        return;
    FileDialogRequest request;
    request.title = QStringLiteral("Spara som");
    request.filter = QStringLiteral("(VOLTMARK artikeldatabas *.tdb) (*.tdb)");
    request.initialFolder = Paths::folderOf(m_currentDbPath);
    request.defaultSuffix = QStringLiteral("tdb");
    const QString chosen = m_prompter.saveFile(request);
    if (chosen.isEmpty())
        return;
    const QString target = QFileInfo(chosen).absoluteFilePath();
    if (target.toLower() == m_currentDbPath.toLower())
        return;
    try {
        copyDatabaseFile(m_currentDbPath, target);
    } catch (const std::exception &e) {
        reportError(m_prompter, kWindow, QStringLiteral("mnuSaveAs"), e);
        return;
    }
    mnuCloseMDB();
    OpenMDB(target);
}

void MainWindow::mnuCloseMDB()
{
    m_database.reset();
    EnableMenus(false);
    GridEdited(false);
    m_actions.value(CommandId::Save)->setEnabled(false);
    m_actions.value(CommandId::Ignore)->setEnabled(false);
    m_actions.value(1955)->setEnabled(false);
    m_actions.value(1956)->setEnabled(false);
    m_lastGridQuery = {};
    m_tree->clear();
    m_gridModel->beginChange();
    m_grid.clear();
    m_gridModel->endChange();
    setWindowTitle(QStringLiteral("Ravelund "));
}

void MainWindow::mnuOpenTDS()
{
    const QStringList files =
        PickFile(m_prompter, QStringLiteral("Välj artikeldatabas    "), QStringLiteral("tds"),
                 Settings::readUser(QStringLiteral("OpenPath"), programFolder()));
    if (files.isEmpty())
        return;
    Settings::saveUser(QStringLiteral("OpenPath"), folderWithSeparator(files.first()));
    importCatalogue(files.first());
}

bool MainWindow::importCatalogue(const QString &tdsPath)
{
    ImportResult result;
    {
        WaitCursor wait;
        StatusBarProgress progress(*this, *m_progressBar, true);
        TdsImport importer(m_prompter, progress);
        result = importer.run(QFileInfo(tdsPath).absoluteFilePath());
    }
    if (!result.ok)
        return false;
    try {
        // The grid cuts lines with the field list of the .tdx file, starts included.
        adoptDatabase(WorkingDatabase::open(result.dbPath), result.fields);
    } catch (const std::exception &e) {
        reportError(m_prompter, kWindow, QStringLiteral("mnuOpenTDS"), e);
        return false;
    }
    return true;
}

void MainWindow::mnuSaveTDS()
{
    if (!m_database)
        return;
    FileDialogRequest request;
    request.title = QStringLiteral("Återskapa VOLTMARK-databas");
    request.filter = QStringLiteral("VOLTMARK artikeldatabas, *.tds (*.tds)");
    request.defaultSuffix = QStringLiteral("tds");
    request.initialFolder = Paths::folderOf(m_currentDbPath);
    const QString path = m_prompter.saveFile(request);
    if (path.isEmpty())
        return;
    if (!path.endsWith(QLatin1String("tds"), Qt::CaseInsensitive)) {
        m_prompter.info(QStringLiteral("Filnamnet skall ha ändelse 'tds'."));
        return;
    }
    {
        WaitCursor wait;
        StatusBarProgress progress(*this, *m_progressBar, false);
        TdsExport(m_database->db(), m_prompter, progress).run(path);
    }
    // The user picks a group again to see articles.
    m_gridModel->beginChange();
    m_grid.setRows(1);
    m_gridModel->endChange();
}

// -------------------------------------------------------------------------------- browsing

void MainWindow::SetupTreeView()
{
    if (!m_database)
        return;
    try {
        const QList<GroupTree::Group> groups = GroupTree::groups(m_database->db());
        if (!groups.isEmpty()) {
            StatusBarProgress progress(*this, *m_progressBar, true);
            progress.start(groups.size());
            m_tree->build(groups, m_lastTreeKey);
            progress.update(groups.size());
            progress.end();
        } else {
            m_tree->build(groups, m_lastTreeKey);
        }
    } catch (const std::exception &e) {
        reportError(m_prompter, kWindow, QStringLiteral("SetupTreeView"), e);
    }
}

void MainWindow::FilterSelection()
{
    if (m_tree->topLevelItemCount() == 0)
        return;
    m_lastTreeKey = m_tree->currentKey();
    const ArticleSelection selection = ArticleSelection::fromTreeKey(m_lastTreeKey);
    EvaluateTreeMode();
    if (!selection.isValid())
        return;
    PopulateGrid(selection);
    for (int id : {955, 1955, 956, 1956})
        m_actions.value(id)->setEnabled(true);
}

void MainWindow::PopulateGrid(const ArticleSelection &selection)
{
    if (!m_database || !selection.isValid())
        return;
    WaitCursor wait;
    m_gridModel->beginChange();
    try {
        StatusBarProgress progress(*this, *m_progressBar, true);
        GridStore::PopulateGrid(m_database->db(), selection, m_grid, progress);
    } catch (const std::exception &e) {
        m_grid.setRows(1);
        m_gridModel->endChange();
        ShowProgress(false);
        reportError(m_prompter, kWindow, QStringLiteral("PopulateGrid"), e);
        return;
    }
    m_gridModel->endChange();
    m_lastGridQuery = selection;
    UpdateLayout();
    if (m_grid.rows() > 1)
        m_gridView->setCurrentIndex(m_gridModel->index(0, 1));
}

void MainWindow::EvaluateTreeMode()
{
    m_gridController.EvaluateTreeMode();
}

void MainWindow::GridEdited(bool edited)
{
    m_edited = edited;
    m_tree->setEnabled(!edited);
    for (int id : {955, 1955, 956, 1956})
        m_actions.value(id)->setEnabled(edited);
    QPalette p = m_tree->palette();
    p.setColor(QPalette::Text,
               edited ? palette().color(QPalette::Dark) : palette().color(QPalette::WindowText));
    m_tree->setPalette(p);
    if (!edited) {
        // The caller fills the grid again.
        m_gridModel->beginChange();
        m_grid.setRows(1);
        m_gridModel->endChange();
    }
}

void MainWindow::mnuSave()
{
    if (!m_database || !m_lastGridQuery.isValid())
        return;
    {
        WaitCursor wait;
        try {
            GridStore::saveGrid(m_database->db(), m_lastGridQuery, m_grid);
        } catch (const std::exception &e) {
            // Nothing was written; the grid keeps the user's edits for another try.
            reportError(m_prompter, kWindow, QStringLiteral("mnuSave"), e);
            return;
        }
    }
    SetupTreeView();
    GridEdited(false);
    PopulateGrid(m_lastGridQuery);
}

void MainWindow::ignoreChanges()
{
    GridEdited(false);
    PopulateGrid(m_lastGridQuery);
}

// ------------------------------------------------------------- commands built by later work

void MainWindow::openFieldEditDialog()
{
    if (!m_database)
        return;
    // Reopening the database after the change would throw unsaved grid edits away.
    if (m_edited) {
        m_prompter.info(QStringLiteral("Spara eller ignorera ändringarna i artikellistan innan "
                                       "fältets längd ändras."));
        return;
    }
    FieldEditDialog dialog(m_database->db(), m_prompter, m_gridController.FieldEditColumn,
                           m_gridController.FieldEditSize, m_gridController.FieldEditDescription,
                           this);
    if (dialog.exec() == QDialog::Accepted)
        reopenDatabase();
}

void MainWindow::reopenDatabase()
{
    // The grid's limits follow the new length once the database is opened again.
    const QString path = m_currentDbPath;
    const QString lastKey = m_lastTreeKey;
    mnuCloseMDB();
    m_lastTreeKey = lastKey;
    OpenMDB(path);
}
void MainWindow::openAccessoryPicker(int, int) {}
void MainWindow::openContactDefinition(int, int) {}

void MainWindow::openChangePrefixDialog()
{
    SetupTreeView();
    GridEdited(false);
}

void MainWindow::openNewGroupDialog(bool)
{
    m_groupAdded = false;
    if (m_groupAdded)
        SetupTreeView();
}

// ------------------------------------------------------------------------------- dialogs

void MainWindow::openOptionsDialog()
{
    OptionsDialog dialog(*this, m_prompter, this);
    dialog.exec();
}

void MainWindow::showAbout()
{
    const QIcon icon = windowIcon();
    setWindowIcon(Icons::applicationLarge());
    AboutDialog dialog(this);
    dialog.exec();
    setWindowIcon(icon);
}
