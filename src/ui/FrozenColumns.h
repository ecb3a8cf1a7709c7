#pragma once

#include <QTableView>

class ArticleGridView;

// The row selector and the key columns (up to TYP/BENÄMNING) laid over the left edge of the
// article grid, so they stay in sight when the grid scrolls sideways. It shares the grid's model
// and selection; every click, key and editor belongs to the grid itself, which treats these
// cells as lying where they are shown.
class FrozenColumns : public QTableView
{
    Q_OBJECT
public:
    explicit FrozenColumns(ArticleGridView *grid);

    // How many leading columns a model's headers freeze: the row selector and, when TYP or
    // BENÄMNING is among the first few columns, every column up to the last of them.
    static int frozenCountFor(const QAbstractItemModel *model);

    int frozenCount() const { return m_count; }
    bool isFrozen(int column) const { return column >= 0 && column < m_count; }
    // The width the frozen columns cover at the grid viewport's left edge.
    int coveredWidth() const;
    // The grid's column under x (grid viewport coordinates), frozen ones where they are shown.
    int columnUnder(int x) const;

    // Called by the grid.
    void followModel();
    // Stops watching the grid; called while the grid is being destroyed.
    void detach();
    QModelIndex frozenIndexAt(const QPoint &position) const;
    QRect frozenRect(const QModelIndex &index, QRect rect) const;
    void keepInSight(const QModelIndex &index, int previousScroll);
    void adoptEditor(const QModelIndex &index, QWidget *editor);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    ArticleGridView *m_grid;
    int m_count = 0;
    bool m_syncing = false;
    QList<QMetaObject::Connection> m_modelConnections;

    void recompute();
    void syncColumn(int column);
    void syncRows();
    void syncLook();
    void updateFrozenGeometry();
    void forwardMouse(QMouseEvent *event);
};
