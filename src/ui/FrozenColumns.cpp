#include "ui/FrozenColumns.h"

#include "db/Schema.h"
#include "ui/ArticleGridView.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScopedValueRollback>
#include <QScrollBar>

FrozenColumns::FrozenColumns(ArticleGridView *grid) : QTableView(grid), m_grid(grid)
{
    setObjectName(QStringLiteral("FgFrozenColumns"));
    setAccessibleName(QStringLiteral("Låsta kolumner"));
    // The grid keeps the keyboard; clicks here are the grid's clicks.
    setFocusPolicy(Qt::NoFocus);
    viewport()->setFocusPolicy(Qt::NoFocus);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setFrameShape(QFrame::NoFrame);
    verticalHeader()->hide();
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    horizontalHeader()->setFocusPolicy(Qt::NoFocus);
    // Pixel steps let a column slide out from under the frozen ones.
    grid->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    hide();

    connect(grid->verticalScrollBar(), &QAbstractSlider::valueChanged, verticalScrollBar(),
            &QAbstractSlider::setValue);
    connect(verticalScrollBar(), &QAbstractSlider::valueChanged, grid->verticalScrollBar(),
            &QAbstractSlider::setValue);
    QHeaderView *header = grid->horizontalHeader();
    connect(header, &QHeaderView::sectionResized, this, [this](int column) {
        if (!m_syncing && isFrozen(column))
            syncColumn(column);
    });
    connect(horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int column, int, int size) {
                if (m_syncing || !isFrozen(column) || size <= 0)
                    return;
                const QScopedValueRollback<bool> syncing(m_syncing, true);
                m_grid->setColumnWidth(column, size);
                updateFrozenGeometry();
            });
    connect(header, &QHeaderView::geometriesChanged, this, &FrozenColumns::updateFrozenGeometry);
    connect(header, &QHeaderView::sortIndicatorChanged, this, &FrozenColumns::syncLook);
    // Sorting and Shift+click on a frozen header act as on the grid's own.
    connect(horizontalHeader(), &QHeaderView::sectionClicked, header, &QHeaderView::sectionClicked);
    connect(grid->verticalHeader(), &QHeaderView::sectionResized, this,
            [this](int row, int, int size) {
                if (verticalHeader()->defaultSectionSize() !=
                    m_grid->verticalHeader()->defaultSectionSize())
                    syncRows();
                if (row < verticalHeader()->count() && rowHeight(row) != size)
                    setRowHeight(row, size);
            });
    grid->installEventFilter(this);
    grid->viewport()->installEventFilter(this);
    header->viewport()->installEventFilter(this);
}

void FrozenColumns::detach()
{
    for (QObject *source : {static_cast<QObject *>(m_grid->horizontalHeader()),
                            static_cast<QObject *>(m_grid->verticalHeader()),
                            static_cast<QObject *>(m_grid->verticalScrollBar())})
        source->disconnect(this);
    verticalScrollBar()->disconnect(m_grid->verticalScrollBar());
    if (m_grid->model())
        m_grid->model()->disconnect(this);
    m_grid->removeEventFilter(this);
    m_grid->viewport()->removeEventFilter(this);
    m_grid->horizontalHeader()->viewport()->removeEventFilter(this);
}

int FrozenColumns::frozenCountFor(const QAbstractItemModel *model)
{
    if (!model || model->columnCount() == 0)
        return 0;
    // Beyond the first few columns TYP and BENÄMNING are ordinary fields: freezing them would
    // leave no room to scroll.
    constexpr int kFirstFew = 6;
    int count = 1;
    for (int column = 1; column < qMin(model->columnCount(), kFirstFew); ++column) {
        const QString header = model->headerData(column, Qt::Horizontal).toString();
        if (header == Schema::kType || header == Schema::kDesignation)
            count = column + 1;
    }
    return count;
}

int FrozenColumns::coveredWidth() const
{
    return m_count > 0 && model() ? horizontalHeader()->length() : 0;
}

int FrozenColumns::columnUnder(int x) const
{
    if (x >= 0 && x < coveredWidth())
        return columnAt(x);
    return m_grid->columnAt(x);
}

void FrozenColumns::followModel()
{
    for (const QMetaObject::Connection &connection : std::as_const(m_modelConnections))
        disconnect(connection);
    m_modelConnections.clear();
    setModel(m_grid->model());
    if (m_grid->selectionModel())
        setSelectionModel(m_grid->selectionModel());
    if (QAbstractItemModel *shared = m_grid->model()) {
        const auto again = [this] { recompute(); };
        m_modelConnections << connect(shared, &QAbstractItemModel::modelReset, this, again)
                           << connect(shared, &QAbstractItemModel::layoutChanged, this, again)
                           << connect(shared, &QAbstractItemModel::columnsInserted, this, again)
                           << connect(shared, &QAbstractItemModel::columnsRemoved, this, again)
                           << connect(shared, &QAbstractItemModel::headerDataChanged, this, again);
    }
    recompute();
}

void FrozenColumns::recompute()
{
    {
        const QScopedValueRollback<bool> syncing(m_syncing, true);
        m_count = frozenCountFor(model());
        const int columns = model() ? model()->columnCount() : 0;
        for (int column = 0; column < columns; ++column) {
            const bool hidden = column >= m_count || m_grid->isColumnHidden(column);
            setColumnHidden(column, hidden);
            if (!hidden)
                setColumnWidth(column, m_grid->columnWidth(column));
        }
    }
    syncRows();
    syncLook();
    updateFrozenGeometry();
}

void FrozenColumns::syncColumn(int column)
{
    const QScopedValueRollback<bool> syncing(m_syncing, true);
    const bool hidden = m_grid->isColumnHidden(column);
    setColumnHidden(column, hidden);
    if (!hidden)
        setColumnWidth(column, m_grid->columnWidth(column));
    updateFrozenGeometry();
}

void FrozenColumns::syncRows()
{
    QHeaderView *rows = m_grid->verticalHeader();
    verticalHeader()->setMinimumSectionSize(rows->minimumSectionSize());
    verticalHeader()->setDefaultSectionSize(rows->defaultSectionSize());
    verticalScrollBar()->setValue(m_grid->verticalScrollBar()->value());
}

void FrozenColumns::syncLook()
{
    setWordWrap(m_grid->wordWrap());
    setAlternatingRowColors(m_grid->alternatingRowColors());
    setShowGrid(m_grid->showGrid());
    setGridStyle(m_grid->gridStyle());
    setTextElideMode(m_grid->textElideMode());
    setSelectionMode(m_grid->selectionMode());
    setSelectionBehavior(m_grid->selectionBehavior());
    setVerticalScrollMode(m_grid->verticalScrollMode());
    // The grid's delegate paints the frozen cells too; its editors belong to the grid alone.
    if (QAbstractItemDelegate *delegate = m_grid->itemDelegate();
        delegate && itemDelegate() != delegate) {
        setItemDelegate(delegate);
        disconnect(delegate, nullptr, this, nullptr);
    }
    const QHeaderView *source = m_grid->horizontalHeader();
    QHeaderView *header = horizontalHeader();
    header->setDefaultAlignment(source->defaultAlignment());
    header->setMinimumSectionSize(source->minimumSectionSize());
    header->setSectionsClickable(source->sectionsClickable());
    header->setSortIndicatorShown(source->isSortIndicatorShown());
    header->setSortIndicator(source->sortIndicatorSection(), source->sortIndicatorOrder());
}

void FrozenColumns::updateFrozenGeometry()
{
    if (m_count == 0 || !model()) {
        hide();
        return;
    }
    const QHeaderView *source = m_grid->horizontalHeader();
    const QRect port = m_grid->viewport()->geometry();
    const int headerHeight = source->isHidden() ? 0 : source->height();
    horizontalHeader()->setHidden(source->isHidden());
    horizontalHeader()->setFixedHeight(headerHeight);
    setGeometry(port.left(), port.top() - headerHeight, qMin(coveredWidth(), port.width()),
                port.height() + headerHeight);
    raise();
    show();
}

QRect FrozenColumns::frozenRect(const QModelIndex &index, QRect rect) const
{
    if (!isFrozen(index.column()) || rect.isEmpty() || !model())
        return rect;
    rect.moveLeft(columnViewportPosition(index.column()));
    return rect;
}

QModelIndex FrozenColumns::frozenIndexAt(const QPoint &position) const
{
    return model() ? indexAt(position) : QModelIndex();
}

void FrozenColumns::keepInSight(const QModelIndex &index, int previousScroll)
{
    if (!index.isValid() || m_count == 0)
        return;
    QScrollBar *bar = m_grid->horizontalScrollBar();
    if (isFrozen(index.column())) {
        bar->setValue(previousScroll); // always in sight
        return;
    }
    const int left = m_grid->columnViewportPosition(index.column());
    const int covered = coveredWidth();
    if (left < covered)
        bar->setValue(bar->value() - (covered - left));
}

void FrozenColumns::adoptEditor(const QModelIndex &index, QWidget *editor)
{
    if (!editor || !isFrozen(index.column()) || editor->parentWidget() == viewport())
        return;
    // The editor moves over the frozen cell it edits. Leaving the grid's viewport takes its
    // focus away for a moment; the delegate must not take that as the end of the edit.
    QAbstractItemDelegate *delegate = m_grid->itemDelegateForIndex(index);
    if (delegate)
        editor->removeEventFilter(delegate);
    QWidget *focus = QApplication::focusWidget();
    const bool focused = focus && (focus == editor || editor->isAncestorOf(focus));
    // Hiding a focused editor would pass the focus on like Tab and move the current cell.
    if (focused)
        focus->clearFocus();
    auto *line = qobject_cast<QLineEdit *>(editor);
    const int selectionStart = line ? line->selectionStart() : -1;
    const int selectionLength = line ? line->selectedText().size() : 0;
    const int cursor = line ? line->cursorPosition() : 0;
    const QRect geometry = editor->geometry();
    editor->setParent(viewport());
    editor->setGeometry(geometry);
    editor->show();
    if (focused)
        focus->setFocus(Qt::OtherFocusReason);
    if (line) {
        if (selectionStart >= 0)
            line->setSelection(selectionStart, selectionLength);
        else
            line->setCursorPosition(cursor);
    }
    if (delegate)
        editor->installEventFilter(delegate);
}

bool FrozenColumns::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_grid->horizontalHeader()->viewport()) {
        // The grid shows or drops its sort arrow without a signal.
        if (event->type() == QEvent::Paint &&
            horizontalHeader()->isSortIndicatorShown() !=
                m_grid->horizontalHeader()->isSortIndicatorShown())
            horizontalHeader()->setSortIndicatorShown(
                m_grid->horizontalHeader()->isSortIndicatorShown());
        return false;
    }
    switch (event->type()) {
    case QEvent::Resize:
    case QEvent::Show:
        updateFrozenGeometry();
        break;
    default:
        break;
    }
    return false;
}

void FrozenColumns::forwardMouse(QMouseEvent *event)
{
    // Both viewports start at the same point, so positions carry over unchanged.
    QMouseEvent copy(event->type(), event->position(), event->scenePosition(),
                     event->globalPosition(), event->button(), event->buttons(), event->modifiers(),
                     event->pointingDevice());
    QApplication::sendEvent(m_grid->viewport(), &copy);
    event->setAccepted(copy.isAccepted());
}

void FrozenColumns::mousePressEvent(QMouseEvent *event)
{
    if (!m_grid->hasFocus())
        m_grid->setFocus(Qt::MouseFocusReason);
    forwardMouse(event);
}

void FrozenColumns::mouseMoveEvent(QMouseEvent *event)
{
    forwardMouse(event);
}

void FrozenColumns::mouseReleaseEvent(QMouseEvent *event)
{
    forwardMouse(event);
}

void FrozenColumns::mouseDoubleClickEvent(QMouseEvent *event)
{
    forwardMouse(event);
}

void FrozenColumns::keyPressEvent(QKeyEvent *event)
{
    event->ignore(); // on to the grid, the parent, as from an editor in its own viewport
}

void FrozenColumns::keyReleaseEvent(QKeyEvent *event)
{
    event->ignore();
}
