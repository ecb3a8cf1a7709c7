#pragma once

#include "app/GridHistory.h"
#include "browse/ArticleGrid.h"
#include "browse/GridRules.h"
#include "core/CommandId.h"
#include "dialogs/MoveRowsDialog.h"
#include "edit/ClipboardBlocks.h"
#include "edit/Fill.h"
#include "edit/RowOperations.h"
#include "sheet/ProposedChange.h"
#include "ui/ArticleGridView.h"

#include <QObject>

#include <QPointer>
#include <functional>

#include <optional>

class ArticleGridModel;
class CommandRegistry;
class CellDelegate;
class CatalogueSession;
class Prompter;

// The article grid's part of the main window: the view with its model and cell delegate, the
// grid's mouse and keyboard rules, and every command that changes its cells and rows. The logic
// itself lives in browse/ and edit/, the buffer in the session; this class wires them to the view.
class GridController : public QObject, public MoveRowsTarget
{
    Q_OBJECT
public:
    GridController(CatalogueSession &session, Prompter &prompter, QObject *parent = nullptr);
    ~GridController() override;

    // The grid's commands: editing, clipboard, fill, rows, undo and redo.
    void registerCommands(CommandRegistry &commands);

    ArticleGrid &grid() { return m_grid; }
    const ArticleGrid &grid() const { return m_grid; }
    bool isEditing() const;
    // Commits an open cell editor through the normal edit rules and gives the grid the focus
    // back; every command runs this first, so no keystroke is lost.
    void commitEditor();
    // The same before a cell's "..." dialog, where an editor with nothing typed makes no edit.
    void commitTypedText();
    ArticleGridModel *model() const { return m_model; }
    GridHistory &history() { return m_history; }
    ArticleGridView *view() const { return m_view.data(); }

    // The row selector as wide as the largest position with its change mark, never narrower
    // than the product's 300 twips.
    void fitRowSelector();
    // Normalises the selection and shows how many rows it holds.
    void EvaluateTreeMode();

    // Mouse, keyboard and header rules.
    void onGridMouseReleased(Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                             QPoint position);
    void onHeaderClicked(int column);
    void onDeletePressed();
    void sortGrid(int column, bool ascending);
    void showGridPopup(QPoint globalPosition);
    // Opens the field-length dialog for a column (Shift-click); false when the column has none
    // (protected columns beep).
    bool shiftClickColumn(int column);
    // The popup's commands, in order, for the current selection.
    QList<GridRules::PopupItem> gridPopupItems() const;
    void openMoveRowsDialog(QPoint globalPosition);
    // The CCONF cell's button: the contact definition goes into the selected rows of the column.
    void openContactDefinition(int row, int column);

    // Commands.
    void undo();
    void redo();
    void renumberRows();
    // Fixes the catalogue check offers, each one undoable step in the shown group: rows that
    // share a row number get their own, and a cell loses the spaces it starts with.
    void renumberCollidingRows();
    void removeLeadingSpaces(int row, int column);
    // The ticked proposals (of a list or a comparison) written into the shown group as one
    // undoable step; false when nothing was written or it was refused (the root view).
    bool takeProposals(const Proposals &proposals, const QString &caption);
    // In the root view nothing changes cells: true, with the status-bar hint, when it is shown.
    bool refusedInOverview();
    void InsertArticle();
    void AppendArticle(bool askForCount);
    void DeleteArticle();
    void mnuDataFillDown();
    void mnuDataFillUp();
    void mnuEditFillDnIncr(int increment);
    void openReplaceDialog();
    void CopyClip();
    void CutClip();
    void PasteClip();
    void CopyArticle();
    void mnuPasteArticle();
    // The copied articles as new rows after the selection, numbered as the group's next ones.
    void PasteArticlesAsNew();
    // The accessory picker's choice, written into the rows of column c1 of `target`.
    void writeAccessoryGroup(const ArticleGrid::CellRange &target, const QString &blockName);

    // MoveRowsTarget
    const ArticleGrid &moveRowsGrid() const override { return m_grid; }
    void moveRows(MoveRows::RowMove move) override;

signals:
    void statusMessage(const QString &text, int milliseconds);
    // A message shown earlier no longer holds: it goes, unless another one has replaced it.
    void statusWithdrawn(const QString &text);
    void selectionStatus(const QString &text);
    // A popup item was chosen.
    void commandRequested(CommandId id);
    // Shift-click on a column: the field-length dialog is to open for this field.
    void fieldEditRequested(const QString &column, const QString &size, const QString &description);
    void accessoryPickerRequested(int row, int column);
    // A cell editor opened or closed (saving is possible while one is open).
    void editingChanged(bool editing);

private:
    void trackSelection();
    void onCellEdited(int row, int column);
    void putOnClipboard(const std::optional<QString> &text);
    // After a grid operation: the views hear of what it changed and show the selection it left.
    void afterOperation(const GridChange &change);
    void showGridSelection();
    bool afterRowOperation(const RowOperations::RowsResult &result);
    void afterFill(const Fill::Result &result);
    void afterPaste(const ClipboardBlocks::PasteResult &result);
    // Values a paste, fill or replace cut to their field's length are named in the status bar.
    void reportCuts(const CutCells &cuts);
    void operationFailed(const QString &operation, const std::exception &error);
    // What the grid shows: the root, a group or a manufacturer.
    ArticleSelection::Kind shownKind() const;

    void gridEdited();
    void afterReset();
    // Where the user was in the grid: cell, selection and scroll position of a tree choice.
    struct Place
    {
        QString database;
        ArticleSelection choice;
        int row = 1, column = 1;
        ArticleGrid::CellRange selection;
        int horizontalScroll = 0, verticalScroll = 0;
    };
    void rememberPlace();
    void placeOnLoadedRows(qint64 rows, bool done);
    void restorePlace(const Place &place);
    // After an undo or redo: the views, the sort arrow and the edited state follow the grid.
    void afterReplay(const GridChange &change);
    bool SingleGroupView() const;
    // One undo step named caption around work; a failure is reported under the operation's
    // name. Changes of cells are refused in the overview when so marked.
    enum class Overview { Allowed, Refused };
    void runStep(const QString &caption, const char *operation, Overview overview,
                 const std::function<void()> &work);
    void showSortIndicator(int column, bool ascending);

    CatalogueSession &m_session;
    Prompter &m_prompter;
    ArticleGrid &m_grid;
    GridHistory m_history;
    QString m_loadingText; // the last word on rows read in the background
    ArticleGridModel *m_model = nullptr;
    QPointer<ArticleGridView> m_view;
    CellDelegate *m_delegate = nullptr;
    bool m_announcing = false;
    std::optional<Place> m_place;
    // A place beyond the rows read so far, taken once they arrive.
    std::optional<Place> m_placeAwaitingRows;
    const CommandRegistry *m_commands = nullptr;
    int m_sortColumn = -1;
    bool m_sortAscending = true;
};
