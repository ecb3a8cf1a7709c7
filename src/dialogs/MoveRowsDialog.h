#pragma once

#include "edit/MoveRows.h"

#include <QDialog>
#include <QPoint>

class QPushButton;

// What the move-rows dialog needs of the main window.
class MoveRowsTarget
{
public:
    virtual ~MoveRowsTarget() = default;

    // The article grid; its selection is the block to move and decides the buttons' enabling.
    virtual const ArticleGrid &moveRowsGrid() const = 0;
    // Performs the move on the grid (MoveRows::move), shows the changed grid, selects the
    // block's new place and enters the edited state.
    virtual void moveRows(MoveRows::RowMove move) = 0;
};

// "frmMoveRows": four buttons beside the grid that move the selected rows up, down, to the top
// or to the bottom. It is not modal; it closes when it loses activation or on any key.
class MoveRowsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit MoveRowsDialog(MoveRowsTarget &target, QWidget *parent = nullptr);

    // Opens a dialog that deletes itself on closing, placed beside the clicked row (see
    // placeBeside), and returns it; returns nullptr and shows nothing when the block can move
    // neither up nor down (all rows selected, or no valid block).
    static MoveRowsDialog *open(MoveRowsTarget &target, QPoint anchor, QWidget *parent);

    // Enables each button exactly when its move is possible.
    void updateButtons();
    // Whether the block can move at all (up or down).
    bool canMove() const;

    // `anchor` is in global coordinates: x the grid's left edge, y the click. The dialog stands
    // just left of the grid (overlapping it by 50 twips), its top half a button's height above
    // the click, moved back onto the screen where it would stick out.
    void placeBeside(QPoint anchor);

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    QPushButton *addButton(const char *name, const QString &caption, MoveRows::RowMove move);
    void perform(MoveRows::RowMove move);
    void focusUpOrDown();

    MoveRowsTarget &m_target;
    QPushButton *m_moveToTop = nullptr;
    QPushButton *m_moveUp = nullptr;
    QPushButton *m_moveDn = nullptr;
    QPushButton *m_moveToBottom = nullptr;
};
