#include "ui/ArticleGridView.h"

#include <QHeaderView>
#include <QItemSelection>
#include <QKeyEvent>
#include <QMouseEvent>

ArticleGridView::ArticleGridView(QWidget *parent) : QTableView(parent)
{
    setObjectName(QStringLiteral("FgDataGrid"));
    verticalHeader()->hide();
    setWordWrap(false);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                    | QAbstractItemView::AnyKeyPressed);
    horizontalHeader()->setMinimumSectionSize(5);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setSectionsClickable(true);
}

void ArticleGridView::mousePressEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::RightButton) {
        event->accept(); // the popup works on the selection as it is
        return;
    }
    const QModelIndex index = indexAt(pos);
    if (event->button() == Qt::LeftButton && index.isValid() && index.column() == 0 && model()) {
        // The row selector picks whole rows; Shift extends from the first one picked.
        const int row = index.row();
        if (!(event->modifiers() & Qt::ShiftModifier) || m_anchorRow < 0)
            m_anchorRow = row;
        const int top = qMin(m_anchorRow, row);
        const int bottom = qMax(m_anchorRow, row);
        const int last = model()->columnCount() - 1;
        selectionModel()->setCurrentIndex(model()->index(row, 1), QItemSelectionModel::NoUpdate);
        selectionModel()->select(QItemSelection(model()->index(top, 1), model()->index(bottom, last)),
                                 QItemSelectionModel::ClearAndSelect);
        event->accept();
        return;
    }
    if (index.isValid())
        m_anchorRow = index.row();
    QTableView::mousePressEvent(event);
}

void ArticleGridView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::RightButton)
        QTableView::mouseReleaseEvent(event);
    emit mouseReleased(event->button(), event->modifiers(), event->position().toPoint());
}

void ArticleGridView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Delete && state() != QAbstractItemView::EditingState) {
        emit deletePressed();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}
