#pragma once

#include <QPersistentModelIndex>
#include <QTableView>

class FrozenColumns;

// The article grid "FgDataGrid". Clicks in the row-selector column select whole rows; a right
// click keeps the selection (the popup acts on it); releases and the Delete key are reported
// for the window's rules.
class ArticleGridView : public QTableView
{
    Q_OBJECT
public:
    explicit ArticleGridView(QWidget *parent = nullptr);

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

signals:
    void editingChanged(bool editing);
    void mouseReleased(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint position);
    void deletePressed();
    // The user tried to edit a cell the rules keep (double click or typing).
    void editRefused(const QModelIndex &index);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    FrozenColumns *m_frozen;
    int m_anchorRow = -1;
    QPersistentModelIndex m_editingIndex;
    bool m_editing = false;
    void setEditing(bool editing);
};
