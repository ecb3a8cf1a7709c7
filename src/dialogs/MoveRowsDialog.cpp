#include "dialogs/MoveRowsDialog.h"

#include "ui/Theme.h"
#include "ui/WindowPlacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

// An arrow up or down, with a bar at its tip for the moves to the top and the bottom.
QIcon arrowIcon(bool up, bool toEnd, const QColor &colour)
{
    QIcon icon;
    for (const int size : {16, 24, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        if (!up) {
            p.translate(0, size);
            p.scale(1, -1);
        }
        const qreal s = size / 16.0;
        p.scale(s, s);
        QPainterPath arrow;
        const qreal tip = toEnd ? 5.0 : 3.0;
        arrow.moveTo(8, tip);
        arrow.lineTo(13.5, tip + 6);
        arrow.lineTo(10, tip + 6);
        arrow.lineTo(10, 14);
        arrow.lineTo(6, 14);
        arrow.lineTo(6, tip + 6);
        arrow.lineTo(2.5, tip + 6);
        arrow.closeSubpath();
        p.fillPath(arrow, colour);
        if (toEnd)
            p.fillRect(QRectF(2.5, 1.5, 11, 2), colour);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace

MoveRowsDialog::MoveRowsDialog(MoveRowsTarget &target, QWidget *parent)
    : QDialog(parent), m_target(target)
{
    setObjectName(QStringLiteral("frmMoveRows"));
    removeMinMaxButtons(this);
    setWindowTitle(QStringLiteral("Flytta rader"));

    // In the order they act on the grid, top to bottom.
    m_moveToTop =
        addButton("cmdMoveToTop", QStringLiteral("Flytta längst upp"), MoveRows::RowMove::ToTop);
    m_moveUp = addButton("cmdMoveUp", QStringLiteral("Flytta upp"), MoveRows::RowMove::Up);
    m_moveDn = addButton("cmdMoveDn", QStringLiteral("Flytta ned"), MoveRows::RowMove::Down);
    m_moveToBottom = addButton("cmdMoveToBottom", QStringLiteral("Flytta längst ned"),
                               MoveRows::RowMove::ToBottom);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(4);
    for (QPushButton *button : {m_moveToTop, m_moveUp, m_moveDn, m_moveToBottom})
        layout->addWidget(button);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Keys close the dialog before a button could act on them.
    installEventFilter(this);
    m_moveUp->installEventFilter(this);
    m_moveDn->installEventFilter(this);

    ApplyThemeColours(this, 0);
    updateButtons();
}

QPushButton *MoveRowsDialog::addButton(const char *name, const QString &caption,
                                       MoveRows::RowMove move)
{
    const bool up = move == MoveRows::RowMove::Up || move == MoveRows::RowMove::ToTop;
    const bool toEnd = move == MoveRows::RowMove::ToTop || move == MoveRows::RowMove::ToBottom;
    auto *button = new QPushButton(caption, this);
    button->setObjectName(QLatin1String(name));
    button->setIcon(arrowIcon(up, toEnd, palette().color(QPalette::ButtonText)));
    button->setAutoDefault(false);
    // Icon and text at the left edge, so the four captions line up.
    button->setStyleSheet(QStringLiteral("text-align: left; padding: 4px 12px 4px 8px;"));
    connect(button, &QPushButton::clicked, this, [this, move] { perform(move); });
    return button;
}

MoveRowsDialog *MoveRowsDialog::open(MoveRowsTarget &target, QPoint anchor, QWidget *parent)
{
    auto *dialog = new MoveRowsDialog(target, parent);
    if (!dialog->canMove()) {
        delete dialog;
        return nullptr;
    }
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->placeBeside(anchor);
    dialog->show();
    dialog->activateWindow();
    return dialog;
}

void MoveRowsDialog::updateButtons()
{
    const ArticleGrid &grid = m_target.moveRowsGrid();
    const bool up = MoveRows::canMoveUp(grid);
    const bool down = MoveRows::canMoveDown(grid);
    m_moveUp->setEnabled(up);
    m_moveToTop->setEnabled(up);
    m_moveDn->setEnabled(down);
    m_moveToBottom->setEnabled(down);
}

bool MoveRowsDialog::canMove() const
{
    return m_moveUp->isEnabled() || m_moveDn->isEnabled();
}

void MoveRowsDialog::placeBeside(QPoint anchor)
{
    adjustSize();
    const QSize size = frameGeometry().size();
    QPoint topLeft(anchor.x() - size.width() + Twips::toPixels(50),
                   anchor.y() - m_moveToBottom->sizeHint().height() / 2);
    // Beside a grid at the screen's left edge the dialog would be out of reach.
    const QScreen *screen = QGuiApplication::screenAt(anchor);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (screen) {
        const QRect area = screen->availableGeometry();
        topLeft.setX(
            qBound(area.left(), topLeft.x(), qMax(area.left(), area.right() - size.width() + 1)));
        topLeft.setY(
            qBound(area.top(), topLeft.y(), qMax(area.top(), area.bottom() - size.height() + 1)));
    }
    move(topLeft);
}

void MoveRowsDialog::perform(MoveRows::RowMove move)
{
    m_target.moveRows(move);
    updateButtons();
    focusUpOrDown();
}

// Keys close the dialog only while it or its up/down buttons hold the focus; after a click on
// another button, or when the focused one was disabled, the focus goes back to them.
void MoveRowsDialog::focusUpOrDown()
{
    QWidget *focused = focusWidget();
    if ((focused == m_moveUp || focused == m_moveDn) && focused->isEnabled())
        return;
    if (m_moveUp->isEnabled())
        m_moveUp->setFocus(Qt::OtherFocusReason);
    else if (m_moveDn->isEnabled())
        m_moveDn->setFocus(Qt::OtherFocusReason);
}

void MoveRowsDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    updateButtons();
    focusUpOrDown();
}

bool MoveRowsDialog::event(QEvent *event)
{
    if (event->type() == QEvent::WindowDeactivate && isVisible())
        close();
    return QDialog::event(event);
}

bool MoveRowsDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        close();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
