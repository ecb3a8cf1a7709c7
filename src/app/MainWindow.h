#pragma once

#include "browse/ArticleGrid.h"
#include "browse/ArticleSelection.h"
#include "browse/GridRules.h"
#include "edit/ClipboardBlocks.h"
#include "core/Prompter.h"
#include "db/WorkingDatabase.h"
#include "dialogs/MoveRowsDialog.h"
#include "dialogs/OptionsTarget.h"

#include <QHash>
#include <QMainWindow>

#include <functional>
#include <optional>

class ArticleGridModel;
class QAction;
class QComboBox;
class QFontComboBox;
class QLabel;
class QMenu;
class QProgressBar;
class QSplitter;
class ArticleGridView;
class CellDelegate;
class QToolBar;
class GroupTreeView;

// The main window "frmMain": menus, toolbars and status bar built from one command table, the
// group tree and the article grid side by side, and the one open working database.
class MainWindow : public QMainWindow, public OptionsTarget, public MoveRowsTarget
{
    Q_OBJECT
public:
    explicit MainWindow(Prompter &prompter, QWidget *parent = nullptr);
    ~MainWindow() override;

    // The command dispatch: every menu item, toolbar button and shortcut arrives here.
    void dispatch(int id);
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

    // Editing commands; later work fills these in.
    void mnuSave();
    void ignoreChanges();
    void CopyClip();
    void CutClip();
    void PasteClip();
    void openReplaceDialog();
    void mnuDataFillDown();
    void mnuDataFillUp();
    void mnuEditFillDnIncr(int increment);
    void InsertArticle();
    void AppendArticle(bool askForCount);
    void CopyArticle();
    void DeleteArticle();
    void mnuPasteArticle();
    void openChangePrefixDialog();
    void openNewGroupDialog(bool accessoryGroup);
    void SetupTreeView();
    void GridEdited(bool edited);
    bool isEdited() const { return m_edited; }

    // Browsing: the picked tree row decides what the grid shows.
    void FilterSelection();
    void PopulateGrid(const ArticleSelection &selection);
    void EvaluateTreeMode();
    const ArticleSelection &shownSelection() const { return m_lastGridQuery; }
    const QString &LastTreeKey() const { return m_lastTreeKey; }
    bool SingleGroupView() const { return m_lastGridQuery.singleGroupView(); }
    QString CurrentGroup() const { return m_lastGridQuery.currentGroup(); }
    GroupTreeView *tree() const { return m_tree; }
    ArticleGridView *gridView() const { return m_gridView; }

    // The grid's mouse and keyboard rules.
    void onGridMouseReleased(Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                             QPoint position);
    void onHeaderClicked(int column);
    void onDeletePressed();
    void sortGrid(int column, bool ascending);
    void showGridPopup(QPoint globalPosition);
    // Opens the field-length dialog for a column (Shift-click); false when the column has
    // none (the user hears a beep).
    bool shiftClickColumn(int column);
    // The popup's commands, in order, for the current selection.
    QList<GridRules::PopupItem> gridPopupItems() const;

    // Dialogs the grid opens; the ones built by later work do nothing yet.
    void openFieldEditDialog();
    // Closes and opens the database again, so the field list follows a changed column.
    void reopenDatabase();
    void openMoveRowsDialog(QPoint globalPosition);
    void openAccessoryPicker(int row, int column);
    void openContactDefinition(int row, int column);

    // What Shift-click on a column keeps for the field-length dialog.
    QString FieldEditColumn;
    QString FieldEditSize;
    QString FieldEditDescription;

    void openOptionsDialog();
    void showAbout();

    bool hasDatabase() const { return m_database.has_value(); }
    const QString &CurrentDbPath() const { return m_currentDbPath; }
    const FieldList &fieldList() const { return m_fieldList; }
    ArticleGrid &grid() { return m_grid; }
    const QString &accessoryPrefix() const { return m_accessoryPrefix; }
    int treeWidth() const;
    void setTreeWidth(int pixels);

    // MoveRowsTarget
    const ArticleGrid &moveRowsGrid() const override { return m_grid; }
    void moveRows(MoveRows::RowMove move) override;

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
    void trackSelection();
    // Offers to save unsaved grid edits before they would be lost; false when a save failed.
    bool keepOrSaveEdits();
    void renumberRows();
    void putOnClipboard(const std::optional<QString> &text);
    void afterPaste(const ClipboardBlocks::PasteResult &result);
    void onCellEdited(int row, int column);
    // Runs a grid operation that may change rows, with one model reset around it.
    template<typename Operation>
    auto changeGrid(Operation operation);
    void applyFontName(const QString &family);
    void applyFontSize(int points);

    struct Handler
    {
        QString name;
        std::function<void()> run;
    };
    void registerHandlers();

    Prompter &m_prompter;
    QHash<int, QAction *> m_actions;
    QHash<int, Handler> m_handlers;
    QHash<QString, QMenu *> m_menus;

    GroupTreeView *m_tree = nullptr;
    ArticleGridView *m_gridView = nullptr;
    CellDelegate *m_delegate = nullptr;
    ArticleGridModel *m_gridModel = nullptr;
    QSplitter *m_splitter = nullptr;
    QProgressBar *m_progressBar = nullptr;
    QLabel *m_messagePane = nullptr;
    QFontComboBox *m_fontBox = nullptr;
    QComboBox *m_fontSizeBox = nullptr;

    ArticleGrid m_grid;
    std::optional<WorkingDatabase> m_database;
    FieldList m_fieldList;
    QString m_currentDbPath;
    QString m_accessoryPrefix;
    QList<int> m_storedColumnWidths; // twips by column number, -1 where none is stored
    QString m_lastTreeKey;
    ArticleSelection m_lastGridQuery;
    bool m_edited = false;
    int m_sortColumn = -1;
    bool m_sortAscending = true;
    bool m_groupAdded = false;
    bool m_unloaded = false;
};

// The caption with a database open: "art.tdb - Ravelund   [/full/path/art.tdb]".
QString databaseCaption(const QString &path);
