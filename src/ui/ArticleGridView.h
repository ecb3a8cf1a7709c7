#pragma once

#include <QPersistentModelIndex>
#include <QTableView>

#include <functional>

class FrozenColumns;

// The article grid "FgDataGrid". Clicks in the row-selector column select whole rows; a right
// click keeps the selection (the popup acts on it); releases and the Delete key are reported
// for the window's rules.
class ArticleGridView : public QTableView
{
    Q_OBJECT
public:
    explicit ArticleGridView(QWidget *parent = nullptr);
    ~ArticleGridView() override;

    using QTableView::edit;
    bool isEditing() const { return m_editing; }
    void reset() override;
    void setModel(QAbstractItemModel *model) override;
    // The leading columns that stay in sight; the grid places them where they are shown.
    FrozenColumns *frozenColumns() const { return m_frozen; }
    QModelIndex indexAt(const QPoint &position) const override;
    QRect visualRect(const QModelIndex &index) const override;
    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override;
    // Writes an open cell editor's text through the delegate and closes it; false when none
    // was open.
    bool commitOpenEditor();
    // Before a cell's "..." dialog: what the user typed is written, but an editor opened only to
    // reach the button closes without an edit (an empty cell would otherwise become "0").
    bool commitTypedText();
    // Closes an open cell editor without writing its text (a dialog writes the cell instead).
    void discardOpenEditor();

    // Called before Ctrl+End or Ctrl+Down goes to the last row, so rows still being read can
    // arrive first.
    void setBeforeLastRow(std::function<void()> beforeLastRow)
    {
        m_beforeLastRow = std::move(beforeLastRow);
    }

signals:
    void editingChanged(bool editing);
    void mouseReleased(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint position);
    void deletePressed();
    // The user tried to edit a cell the rules keep (double click or typing).
    void editRefused(const QModelIndex &index);
    // Shift+F10 or the Menu key: the popup at the current cell (global position).
    void popupRequested(QPoint globalPosition);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;
    // Home and Ctrl+Home stop at the first data column, not the row selector; Ctrl+arrows go to
    // the edge of the data, as in a spreadsheet (Shift extends the selection on the way).
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    // Ctrl+Space, Shift+Space and the popup keys; false for any other key.
    bool handleSpreadsheetKey(QKeyEvent *event);
    // Ctrl+Shift with Home, End or an arrow: the selection grows from its far corner.
    bool extendSelection(QKeyEvent *event);
    int firstDataColumn() const;
    int lastDataColumn() const;

    FrozenColumns *m_frozen;
    int m_anchorRow = -1;
    QPersistentModelIndex m_editingIndex;
    bool m_editing = false;
    void setEditing(bool editing);
    std::function<void()> m_beforeLastRow;
};
