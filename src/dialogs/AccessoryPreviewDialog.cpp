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

void AccessoryPreviewDialog::placeAt(QPoint anchor)
{
    const QRect area = availableArea(anchor);
    if (!area.isValid()) {
        move(anchor);
        return;
    }
    // Wider than the screen, it keeps its left part in view and scrolls.
    resize(qMin(width(), area.width()), qMin(height(), area.height()));
    const QSize size = frameGeometry().size();
    move(qBound(area.left(), anchor.x(), qMax(area.left(), area.right() - size.width() + 1)),
         qBound(area.top(), anchor.y(), qMax(area.top(), area.bottom() - size.height() + 1)));
}

bool AccessoryPreviewDialog::event(QEvent *event)
{
    if (event->type() == QEvent::WindowDeactivate && isVisible())
        close();
    return QDialog::event(event);
}
