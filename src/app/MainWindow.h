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
class CheckController;
class CompareController;
class SheetController;
class FindBar;
class GroupTreeView;
class Progress;
class DialogController;
class FindController;
class TreeController;
class WindowAppearance;
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
    WindowAppearance &appearance() { return *m_appearance; }

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
    void unloadSequence();
    // Every command's enabled state from the session's state.
    void updateCommands();
    void UpdateLayout();
    void UpdateRecentFiles();
    void ShowProgress(bool show);
    void onEditedChanged(bool edited);

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
    TreeController *m_treeController = nullptr;
    WindowAppearance *m_appearance = nullptr;
    DialogController *m_dialogs = nullptr;
    FindController *m_find = nullptr;
    FindBar *m_findBar = nullptr;
    CheckController *m_check = nullptr;
    SheetController *m_sheet = nullptr;
    CompareController *m_compare = nullptr;
    QSplitter *m_splitter = nullptr;
    QProgressBar *m_progressBar = nullptr;
    QLabel *m_messagePane = nullptr;

    bool m_unloaded = false;
};

// The caption with a database open: "art.tdb - Ravelund   [/full/path/art.tdb]", with a "*"
// after the file name while edits are unsaved.
QString databaseCaption(const QString &path);
