#pragma once

#include "app/GridController.h"
#include "browse/ArticleSelection.h"
#include "core/Prompter.h"
#include "db/WorkingDatabase.h"
#include "dialogs/OptionsTarget.h"

#include <QHash>
#include <QMainWindow>

#include <functional>
#include <optional>

class ArticleGridModel;
class ArticleGridView;
class GroupTreeView;
class QAction;
class QComboBox;
class QFontComboBox;
class QLabel;
class QMenu;
class QProgressBar;
class QSplitter;

// The main window "frmMain": menus, toolbars and status bar built from one command table, the
// group tree and the article grid side by side, and the one open working database.
class MainWindow : public QMainWindow, public OptionsTarget, public GridController::Host
{
    Q_OBJECT
public:
    explicit MainWindow(Prompter &prompter, QWidget *parent = nullptr);
    ~MainWindow() override;

    // The command dispatch: every menu item, toolbar button and shortcut arrives here.
    void dispatch(int id) override;
    // The name of the operation an identifier runs ("" for identifiers that are ignored).
    QString handlerName(int id) const;
    QAction *action(int id) const { return m_actions.value(id); }
    QMenu *menu(const QString &objectName) const;

    void EnableMenus(bool open);
    void SetTheme(int scheme, int id);
    void SetThemeCheck(int id);
    void UpdateLayout();
    void UpdateRecentFiles();
    void ShowProgress(bool show);

    // File commands.
    void mnuOpenMDB();
    bool OpenMDB(const QString &path);
    void mnuSaveAs();
    void mnuCloseMDB();
    void mnuOpenTDS();
    // Imports the given .tds file (a desktop launch passes one); false when nothing was made.
    bool importCatalogue(const QString &tdsPath);
    void mnuSaveTDS();

    // Saving and ignoring the grid's edits.
    void mnuSave();
    void ignoreChanges();
    void GridEdited(bool edited) override;
    bool isEdited() const { return m_edited; }

    // Browsing: the picked tree row decides what the grid shows.
    void SetupTreeView();
    void FilterSelection();
    void PopulateGrid(const ArticleSelection &selection);
    void EvaluateTreeMode();
    const ArticleSelection &shownSelection() const { return m_lastGridQuery; }
    const QString &LastTreeKey() const { return m_lastTreeKey; }
    bool SingleGroupView() const override { return m_lastGridQuery.singleGroupView(); }
    QString CurrentGroup() const { return m_lastGridQuery.currentGroup(); }
    GroupTreeView *tree() const { return m_tree; }
    GridController &gridController() { return m_gridController; }
    ArticleGridView *gridView() const { return m_gridView; }
    ArticleGrid &grid() { return m_grid; }

    // Dialogs; the ones built by later work do nothing yet.
    void openFieldEditDialog() override;
    // Closes and opens the database again, so the field list follows a changed column.
    void reopenDatabase();
    void openAccessoryPicker(int row, int column) override;
    void openContactDefinition(int row, int column) override;
    void openChangePrefixDialog();
    void openNewGroupDialog(bool accessoryGroup);
    void openOptionsDialog();
    void showAbout();

    bool hasDatabase() const { return m_database.has_value(); }
    const QString &CurrentDbPath() const { return m_currentDbPath; }
    const FieldList &fieldList() const override { return m_fieldList; }
    const QString &accessoryPrefix() const { return m_accessoryPrefix; }
    int treeWidth() const;
    void setTreeWidth(int pixels);

    // GridController::Host
    Database *database() override;
    void showStatus(const QString &text, int milliseconds) override;
    void showSelectionStatus(const QString &text) override;

    // OptionsTarget
    void setTreeColour(std::uint32_t colour) override;
    void setGridColour(std::uint32_t colour) override;
    void setFontSize(int points) override;
    void setAccessoryPrefix(const QString &prefix) override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void CreateMenu();
    QAction *createAction(int id, const QString &caption, char shortcut = 0);
    void createToolbars();
    void createStatusBar();
    void createViews();
    void loadSettings();
    void unloadSequence();
    void setupGridColumns(const FieldList &fields);
    void adoptDatabase(WorkingDatabase database, const FieldList &fields);
    // Offers to save unsaved grid edits before they would be lost; false when a save failed.
    bool keepOrSaveEdits();
    void applyFontName(const QString &family);
    void applyFontSize(int points);

    struct Handler
    {
        QString name;
        std::function<void()> run;
    };
    void registerHandlers();

    Prompter &m_prompter;
    // The grid and its view. The view is a child widget and outlives the members, so the
    // window's destructor detaches it first.
    GridController m_gridController;
    ArticleGrid &m_grid;
    ArticleGridModel *m_gridModel;
    ArticleGridView *m_gridView;

    QHash<int, QAction *> m_actions;
    QHash<int, Handler> m_handlers;
    QHash<QString, QMenu *> m_menus;

    GroupTreeView *m_tree = nullptr;
    QSplitter *m_splitter = nullptr;
    QProgressBar *m_progressBar = nullptr;
    QLabel *m_messagePane = nullptr;
    QFontComboBox *m_fontBox = nullptr;
    QComboBox *m_fontSizeBox = nullptr;

    std::optional<WorkingDatabase> m_database;
    FieldList m_fieldList;
    QString m_currentDbPath;
    QString m_accessoryPrefix;
    QList<int> m_storedColumnWidths; // twips by column number, -1 where none is stored
    QString m_lastTreeKey;
    ArticleSelection m_lastGridQuery;
    bool m_edited = false;
    bool m_groupAdded = false;
    bool m_unloaded = false;
};

// The caption with a database open: "art.tdb - Ravelund   [/full/path/art.tdb]".
QString databaseCaption(const QString &path);
