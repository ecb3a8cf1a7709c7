#include "ui/ArticleGridView.h"
#include "ui/FrozenColumns.h"

#include <QHeaderView>
#include <QItemSelection>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>

ArticleGridView::ArticleGridView(QWidget *parent) : QTableView(parent)
{
    setObjectName(QStringLiteral("FgDataGrid"));
    setAccessibleName(QStringLiteral("Artiklar"));
    verticalHeader()->hide();
    setWordWrap(false);
    setAlternatingRowColors(true);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    horizontalHeader()->setMinimumSectionSize(5);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setSectionsClickable(true);
    m_frozen = new FrozenColumns(this);
}

void ArticleGridView::setModel(QAbstractItemModel *model)
{
    QTableView::setModel(model);
    m_frozen->followModel();
}

QModelIndex ArticleGridView::indexAt(const QPoint &position) const
{
    if (position.x() >= 0 && position.x() < m_frozen->coveredWidth())
        return m_frozen->frozenIndexAt(position);
    return QTableView::indexAt(position);
}

QRect ArticleGridView::visualRect(const QModelIndex &index) const
{
    return m_frozen->frozenRect(index, QTableView::visualRect(index));
}

void ArticleGridView::scrollTo(const QModelIndex &index, ScrollHint hint)
{
    const int scrolled = horizontalScrollBar()->value();
    QTableView::scrollTo(index, hint);
    m_frozen->keepInSight(index, scrolled);
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
        selectionModel()->select(
            QItemSelection(model()->index(top, 1), model()->index(bottom, last)),
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

void ArticleGridView::setEditing(bool editing)
{
    if (m_editing == editing)
        return;
    m_editing = editing;
    if (!editing)
        m_editingIndex = QPersistentModelIndex();
    emit editingChanged(editing);
}

void ArticleGridView::reset()
{
    QTableView::reset(); // drops every editor
    setEditing(false);
}

bool ArticleGridView::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    const bool opened = QTableView::edit(index, trigger, event);
    if (!opened && index.isValid() && index.column() > 0 &&
        (trigger == DoubleClicked || trigger == EditKeyPressed ||
         (trigger == AnyKeyPressed && event && event->type() == QEvent::KeyPress &&
          !static_cast<QKeyEvent *>(event)->text().isEmpty())))
        emit editRefused(index);
    if (opened)
        m_frozen->adoptEditor(index, indexWidget(index));
    if (opened && !m_editing && indexWidget(index)) {
        m_editingIndex = index;
        setEditing(true);
    }
    return opened;
}

void ArticleGridView::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint)
{
    QTableView::closeEditor(editor, hint);
    if (m_editing && (!m_editingIndex.isValid() || !indexWidget(m_editingIndex)))
        setEditing(false);
}

bool ArticleGridView::commitOpenEditor()
{
    if (!m_editing)
        return false;
    QWidget *editor = m_editingIndex.isValid() ? indexWidget(m_editingIndex) : nullptr;
    if (!editor) {
        setEditing(false);
        return false;
    }
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
    return true;
}

bool ArticleGridView::commitTypedText()
{
    const auto *lineEdit = m_editing && m_editingIndex.isValid()
                               ? qobject_cast<QLineEdit *>(indexWidget(m_editingIndex))
                               : nullptr;
    if (lineEdit && !lineEdit->isModified()) {
        discardOpenEditor();
        return false;
    }
    return commitOpenEditor();
}

void ArticleGridView::discardOpenEditor()
{
    if (!m_editing)
        return;
    if (QWidget *editor = m_editingIndex.isValid() ? indexWidget(m_editingIndex) : nullptr)
        closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
    setEditing(false);
}
