#include "dialogs/AccessoryPreviewDialog.h"
#include "ui/WindowPlacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QRect availableArea(QPoint at)
{
    const QScreen *screen = QGuiApplication::screenAt(at);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

} // namespace

AccessoryPreviewDialog::AccessoryPreviewDialog(const QString &blockName,
                                               const AccessoryPick::Preview &preview,
                                               QWidget *parent)
    : QDialog(parent)
{
    removeMinMaxButtons(this);
    setObjectName(QStringLiteral("frmPreview"));
    setWindowTitle(blockName);

    m_grid = new QTableWidget(int(preview.rows.size()), int(preview.fields.size()), this);
    m_grid->setObjectName(QStringLiteral("FgDataGrid"));
    m_grid->setAccessibleName(QStringLiteral("Artiklar i tillbehörsgruppen ") + blockName);
    m_grid->setHorizontalHeaderLabels(preview.fields);
    m_grid->verticalHeader()->hide();
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setWordWrap(false);
    for (int row = 0; row < preview.rows.size(); ++row) {
        const QStringList &values = preview.rows.at(row);
        for (int column = 0; column < values.size(); ++column)
            m_grid->setItem(row, column, new QTableWidgetItem(values.at(column)));
    }
    m_grid->resizeColumnsToContents();
    m_grid->resizeRowsToContents();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_grid);

    // Just large enough for every cell, so no scroll bar hides an article.
    const int frame = 2 * m_grid->frameWidth();
    int width = frame;
    for (int column = 0; column < m_grid->columnCount(); ++column)
        width += m_grid->columnWidth(column);
    int height = frame + m_grid->horizontalHeader()->sizeHint().height();
    for (int row = 0; row < m_grid->rowCount(); ++row)
        height += m_grid->rowHeight(row);
    resize(width, height);
}

void AccessoryPreviewDialog::placeBeside(const QRect &picker, int top, const QMargins &decoration)
{
    const QRect area = availableArea(picker.center());
    if (!area.isValid()) {
        move(picker.right() + 1, top);
        return;
    }
    // Larger than the screen, it keeps its top-left part in view and scrolls.
    const QSize most = area.size().shrunkBy(decoration);
    resize(qMin(width(), most.width()), qMin(height(), most.height()));
    const QSize frame = size().grownBy(decoration);

    const auto clampX = [&](int x) {
        return qBound(area.left(), x, qMax(area.left(), area.right() - frame.width() + 1));
    };
    const auto clampY = [&](int y) {
        return qBound(area.top(), y, qMax(area.top(), area.bottom() - frame.height() + 1));
    };
    QPoint at;
    if (picker.right() + frame.width() <= area.right())
        at = {picker.right() + 1, clampY(top)};
    else if (picker.left() - frame.width() >= area.left())
        at = {picker.left() - frame.width(), clampY(top)};
    else if (picker.bottom() + frame.height() <= area.bottom())
        at = {clampX(picker.left()), picker.bottom() + 1};
    else if (picker.top() - frame.height() >= area.top())
        at = {clampX(picker.left()), picker.top() - frame.height()};
    else
        at = {clampX(picker.right() + 1), clampY(top)};
    // move() places the frame's corner for a window that has one.
    move(at);
}

bool AccessoryPreviewDialog::event(QEvent *event)
{
    if (event->type() == QEvent::WindowDeactivate && isVisible())
        close();
    return QDialog::event(event);
}
