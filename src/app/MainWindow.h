#pragma once

#include "app/CommandRegistry.h"
#include "app/GridController.h"
#include "core/CommandId.h"
#include "core/UserGuide.h"
#include "session/CatalogueSession.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>

class AccessoryPickerDialog;
class ArticleGridModel;
class OptionsDialog;
class ArticleGridView;
class CheckPanel;
class FindBar;
struct Finding;
class GroupTreeView;
class Progress;
class Prompter;
class QAction;
class QComboBox;
class QFontComboBox;
class QLabel;
class QMenu;
class QProgressBar;
class QSplitter;

// The main window "frmMain": builds the menus, toolbars and status bar from the command table,
// the group tree and the article grid side by side, and wires them to the catalogue session,
// which holds the open database and every rule about it.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(Prompter &prompter, QWidget *parent = nullptr);
    ~MainWindow() override;

    // Every menu item, toolbar button, shortcut and popup item runs through here: an open cell
    // editor is committed first, a disabled command does nothing.
    void dispatch(CommandId id);
    QAction *action(CommandId id) const { return m_commands.action(id); }
    const CommandRegistry &commands() const { return m_commands; }
    QMenu *menu(const QString &objectName) const;

    CatalogueSession &session() { return m_session; }
    GroupTreeView *tree() const { return m_tree; }
    GridController &gridController() { return m_gridController; }
    ArticleGridView *gridView() const { return m_gridView; }
    FindBar *findBar() const { return m_findBar; }
    ArticleGrid &grid() { return m_session.grid(); }
    const QString &LastTreeKey() const { return m_lastTreeKey; }
    int treeWidth() const;
    void setTreeWidth(int pixels);

    // Where "&Användarhandbok" (F1) looks for the guide and how it is shown; tests record it.
    void setUserGuide(UserGuide guide) { m_userGuide = std::move(guide); }

    // Start-up opens or imports what the command line names.
    bool OpenMDB(const QString &path);
    bool importCatalogue(const QString &tdsPath);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // The text with an "&" before its first letter that no other item of the menu uses.
    static QString withMnemonic(const QString &text, const QMenu *menu);
    void CreateMenu();
    void createToolbars();
    void createStatusBar();
    void createViews();
    // F6 / Shift+F6: the keyboard focus to the next or previous pane.
    void moveToPane(int step);
    void registerHandlers();
    void connectSession();
    void loadSettings();
    void unloadSequence();
    // Every command's enabled state from the session's state.
    void updateCommands();
    void SetTheme(int scheme);
    void SetThemeCheck(int scheme);
    void UpdateLayout();
    void UpdateRecentFiles();
    void ShowProgress(bool show);
    // What the Options dialog and the stored settings change.
    void setTreeColour(std::uint32_t colour);
    void setGridColour(std::uint32_t colour);
    // Selects the size in the font-size box, which stores it and applies it to tree and grid.
    void setFontSize(int points);
    void applyFontName(const QString &family);
    void applyFontSize(int points);
    void setupGridColumns();
    void onEditedChanged(bool edited);

    // Browsing: the picked tree row decides what the grid shows.
    void SetupTreeView();
    void FilterSelection();
    void showChoiceInTree();
    // A hit of the find bar: its group in the tree and the grid, its cell current.
    void showFoundArticle(int index);
    // Runs the catalogue check and lists its findings in the panel beside the grid.
    void checkCatalogue();
    // Shows the group of a finding and selects its cell, after the usual question about edits.
    void showFinding(const Finding &finding);

    // Dialogs.
    void openFieldEditDialog();
    void openAccessoryPicker(int row, int column);
    void openChangePrefixDialog();
    void openNewGroupDialog(bool accessoryGroup);
    OptionsDialog *openOptionsDialog();
    void showAbout();

    Prompter &m_prompter;
    CatalogueSession m_session;
    GridController m_gridController;
    ArticleGridModel *m_gridModel;
    ArticleGridView *m_gridView;
    CommandRegistry m_commands;
    std::unique_ptr<Progress> m_progress;
    UserGuide m_userGuide;

    QHash<QString, QMenu *> m_menus;

    GroupTreeView *m_tree = nullptr;
    FindBar *m_findBar = nullptr;
    CheckPanel *m_checkPanel = nullptr;
    QSplitter *m_splitter = nullptr;
    QProgressBar *m_progressBar = nullptr;
    QLabel *m_messagePane = nullptr;
    QFontComboBox *m_fontBox = nullptr;
    QComboBox *m_fontSizeBox = nullptr;

    QList<int> m_storedColumnWidths; // twips by column number, -1 where none is stored
    QString m_lastTreeKey;
    QPointer<AccessoryPickerDialog> m_picker;
    bool m_pickingTreeRow = false;
    bool m_unloaded = false;
};

// The caption with a database open: "art.tdb - Ravelund   [/full/path/art.tdb]", with a "*"
// after the file name while edits are unsaved.
QString databaseCaption(const QString &path);
