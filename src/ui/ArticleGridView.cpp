#include "ui/ArticleGridView.h"
#include "ui/FrozenColumns.h"

#include <QHash>
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

// No event may reach the frozen part's filter once the grid is half destroyed.
ArticleGridView::~ArticleGridView()
{
    m_frozen->detach();
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

int ArticleGridView::firstDataColumn() const
{
    for (int column = 1; model() && column < model()->columnCount(); ++column) {
        if (!isColumnHidden(column))
            return column;
    }
    return 0;
}

int ArticleGridView::lastDataColumn() const
{
    for (int column = model() ? model()->columnCount() - 1 : 0; column > 0; --column) {
        if (!isColumnHidden(column))
            return column;
    }
    return 0;
}

QModelIndex ArticleGridView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex current = currentIndex();
    if (!model() || model()->rowCount() == 0 || !current.isValid())
        return QTableView::moveCursor(action, modifiers);
    const bool ctrl = modifiers & Qt::ControlModifier;
    if (ctrl && (action == MoveEnd || action == MoveDown) && m_beforeLastRow)
        m_beforeLastRow();
    const int lastRow = model()->rowCount() - 1;
    switch (action) {
    case MoveHome:
        return model()->index(ctrl ? 0 : current.row(), firstDataColumn());
    case MoveEnd:
        return model()->index(ctrl ? lastRow : current.row(), lastDataColumn());
    case MoveUp:
        return ctrl ? model()->index(0, current.column())
                    : QTableView::moveCursor(action, modifiers);
    case MoveDown:
        return ctrl ? model()->index(lastRow, current.column())
                    : QTableView::moveCursor(action, modifiers);
    case MoveLeft: {
        const QModelIndex left = ctrl ? model()->index(current.row(), firstDataColumn())
                                      : QTableView::moveCursor(action, modifiers);
        // The row selector is no cell to stand on.
        return left.isValid() && left.column() == 0 ? current : left;
    }
    case MoveRight:
        return ctrl ? model()->index(current.row(), lastDataColumn())
                    : QTableView::moveCursor(action, modifiers);
    default:
        return QTableView::moveCursor(action, modifiers);
    }
}

bool ArticleGridView::handleSpreadsheetKey(QKeyEvent *event)
{
    const QModelIndex current = currentIndex();
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (event->key() == Qt::Key_Menu ||
        (event->key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier)) {
        const QRect cell = current.isValid() ? visualRect(current) : QRect();
        const QPoint at = cell.isValid() ? cell.bottomLeft() : QPoint(0, 0);
        emit popupRequested(viewport()->mapToGlobal(at));
        return true;
    }
    if (event->key() != Qt::Key_Space || !current.isValid() || !model())
        return false;
    if (modifiers == Qt::ControlModifier) {
        // The column, as a header click would select it, but without sorting.
        selectionModel()->select(
            QItemSelection(model()->index(0, current.column()),
                           model()->index(model()->rowCount() - 1, current.column())),
            QItemSelectionModel::ClearAndSelect);
        return true;
    }
    if (modifiers == Qt::ShiftModifier) {
        // The whole row, as the row selector picks it.
        m_anchorRow = current.row();
        selectionModel()->select(QItemSelection(model()->index(current.row(), 1),
                                                model()->index(current.row(), lastDataColumn())),
                                 QItemSelectionModel::ClearAndSelect);
        return true;
    }
    return false;
}

bool ArticleGridView::extendSelection(QKeyEvent *event)
{
    static const QHash<int, CursorAction> actions{
        {Qt::Key_Home, MoveHome}, {Qt::Key_End, MoveEnd},   {Qt::Key_Up, MoveUp},
        {Qt::Key_Down, MoveDown}, {Qt::Key_Left, MoveLeft}, {Qt::Key_Right, MoveRight}};
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const QModelIndex current = currentIndex();
    if (modifiers != (Qt::ControlModifier | Qt::ShiftModifier) || !actions.contains(event->key()) ||
        !current.isValid())
        return false;
    // The corner of the selection opposite the current cell stays where it is.
    QModelIndex anchor = current;
    const QItemSelection selected = selectionModel()->selection();
    if (selected.size() == 1 && selected.first().contains(current)) {
        const QItemSelectionRange &range = selected.first();
        anchor = model()->index(current.row() == range.top() ? range.bottom() : range.top(),
                                current.column() == range.left() ? range.right() : range.left());
    }
    const QModelIndex target = moveCursor(actions.value(event->key()), modifiers);
    if (!target.isValid())
        return true;
    selectionModel()->setCurrentIndex(target, QItemSelectionModel::NoUpdate);
    selectionModel()->select(QItemSelection(model()->index(qMin(anchor.row(), target.row()),
                                                           qMin(anchor.column(), target.column())),
                                            model()->index(qMax(anchor.row(), target.row()),
                                                           qMax(anchor.column(), target.column()))),
                             QItemSelectionModel::ClearAndSelect);
    scrollTo(target);
    return true;
}

void ArticleGridView::keyPressEvent(QKeyEvent *event)
{
    if (state() != QAbstractItemView::EditingState &&
        (handleSpreadsheetKey(event) || extendSelection(event))) {
        event->accept();
        return;
    }
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
