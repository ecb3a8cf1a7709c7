#include "dialogs/AccessoryPickerDialog.h"
#include "db/Schema.h"

#include "core/AppError.h"
#include "core/Prompter.h"
#include "core/Settings.h"
#include "dialogs/AccessoryPreviewDialog.h"
#include "ui/Theme.h"
#include "ui/WindowPlacement.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const QString kWindow = QStringLiteral("frmSelAccessGroup");
constexpr int kDefaultHeightTwips = 1000;
constexpr int kDefaultWidthTwips = 1000;
constexpr int kSmallestSideTwips = 2000;
// The first time, before any placement is stored: room for the caption and both columns.
constexpr int kFirstHeightTwips = 5000;
constexpr int kFirstWidthTwips = 6000;
// Long enough for a click in the menu bar to open its menu.
constexpr int kSettleMilliseconds = 200;

} // namespace

AccessoryPickerDialog::AccessoryPickerDialog(Database &db, Prompter &prompter, QWidget *parent)
    : QDialog(parent), m_db(db), m_prompter(prompter)
{
    setObjectName(kWindow);
    setWindowTitle(QStringLiteral("Välj tillbehörsgrupp med dubbelklick"));
    setModal(false);
    setSizeGripEnabled(true);
    setMinimumSize(Twips::toPixels(kSmallestSideTwips), Twips::toPixels(kSmallestSideTwips));

    m_list = new QTableWidget(0, 2, this);
    m_list->setObjectName(QStringLiteral("FgDataGrid"));
    m_list->setAccessibleName(QStringLiteral("Tillbehörsgrupper"));
    m_list->setHorizontalHeaderLabels({QStringLiteral("NAMN"), Schema::kDesignation});
    m_list->verticalHeader()->hide();
    m_list->verticalHeader()->setDefaultSectionSize(m_list->fontMetrics().height() + 6);
    m_list->horizontalHeader()->setStretchLastSection(true);
    m_list->horizontalHeader()->setSectionsClickable(false);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setWordWrap(false);
    m_list->installEventFilter(this);
    connect(m_list, &QTableWidget::cellClicked, this, [this](int row, int) { previewGroup(row); });
    connect(m_list, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int) { chooseGroup(row); });

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_list);

    m_settle.setSingleShot(true);
    m_settle.setInterval(kSettleMilliseconds);
    connect(&m_settle, &QTimer::timeout, this, &AccessoryPickerDialog::settleFocus);
}

bool AccessoryPickerDialog::load()
{
    try {
        fill();
        if (m_groups.isEmpty()) {
            m_prompter.info(AccessoryPick::noGroupsText(AccessoryPick::accessoryPrefix()),
                            AccessoryPick::noGroupsTitle());
            emit optionsRequested();
            fill();
        }
    } catch (const std::exception &e) {
        reportFailure(QStringLiteral("Form_Load"), e);
        return false;
    }
    m_chosen.clear();

    const QString section = placementSection(this);
    const bool placed = !Settings::storedText(Settings::placementWidth(section).key()).isEmpty();
    keepPlacement(this, kDefaultHeightTwips, kDefaultWidthTwips);
    if (!placed)
        resize(Twips::toPixels(kFirstWidthTwips), Twips::toPixels(kFirstHeightTwips));
    keepOnScreen();
    ApplyThemeColours(this, 0);
    return true;
}

bool AccessoryPickerDialog::present()
{
    if (!load()) {
        deleteLater();
        return false;
    }
    setAttribute(Qt::WA_DeleteOnClose);
    show();
    m_list->setFocus(Qt::OtherFocusReason);
    // The Options dialog an empty list opened comes first; the picker follows when it closes.
    if (QWidget *dialog = QApplication::activeModalWidget(); dialog && dialog != this)
        waitFor(dialog, true);
    else
        activateWindow();
    return true;
}

void AccessoryPickerDialog::fill()
{
    m_groups = AccessoryPick::accessoryGroups(m_db, AccessoryPick::accessoryPrefix());
    m_list->clearContents();
    m_list->setRowCount(int(m_groups.size()));
    for (int row = 0; row < m_groups.size(); ++row) {
        m_list->setItem(row, 0, new QTableWidgetItem(m_groups.at(row).blockName));
        m_list->setItem(row, 1, new QTableWidgetItem(m_groups.at(row).description));
    }
    m_list->resizeColumnToContents(0);
    if (!m_groups.isEmpty())
        m_list->setCurrentCell(0, 0);
}

void AccessoryPickerDialog::fillList()
{
    try {
        fill();
    } catch (const std::exception &e) {
        reportFailure(QStringLiteral("FillList"), e);
    }
}

int AccessoryPickerDialog::rowTop(int row) const
{
    const QRect cell = m_list->visualRect(m_list->model()->index(row, 0));
    return m_list->viewport()->mapToGlobal(cell.topLeft()).y();
}

void AccessoryPickerDialog::previewGroup(int row)
{
    if (row < 0 || row >= m_groups.size())
        return;
    closePreview();
    const QString blockName = m_groups.at(row).blockName;
    AccessoryPick::Preview articles;
    try {
        articles = AccessoryPick::previewArticles(m_db, blockName);
    } catch (const std::exception &e) {
        reportFailure(QStringLiteral("FgDataGrid_Click"), e);
        return;
    }
    if (articles.isEmpty())
        return;

    auto *preview = new AccessoryPreviewDialog(blockName, articles, this);
    preview->setAttribute(Qt::WA_DeleteOnClose);
    connect(preview, &QDialog::finished, this, [this, preview] { previewClosed(preview); });
    m_preview = preview;
    m_childActive = true;
    // The window manager's frame around the picker will be around the preview as well.
    const QRect frame = frameGeometry();
    const QRect inner = geometry();
    preview->placeBeside(frame, rowTop(row),
                         QMargins(inner.left() - frame.left(), inner.top() - frame.top(),
                                  frame.right() - inner.right(), frame.bottom() - inner.bottom()));
    preview->show();
    preview->activateWindow();
}

void AccessoryPickerDialog::chooseGroup(int row)
{
    if (m_groups.isEmpty() || row < 0 || row >= m_groups.size())
        return;
    m_chosen = m_groups.at(row).blockName;
    if (!m_chosen.isEmpty())
        emit chosen(m_chosen);
    close();
}

void AccessoryPickerDialog::closePreview()
{
    if (m_preview) {
        const QScopedValueRollback<bool> closing(m_closing, true);
        m_preview->close();
    }
}

void AccessoryPickerDialog::previewClosed(AccessoryPreviewDialog *preview)
{
    if (preview != m_preview)
        return;
    m_preview = nullptr;
    m_childActive = false;
    // The preview lost the focus to another window than the picker: where it went decides.
    if (!m_closing && isVisible() && QApplication::activeWindow() != this)
        m_settle.start();
}

void AccessoryPickerDialog::settleFocus()
{
    if (!isVisible() || m_closing || m_childActive || m_reporting || m_awaited || isActiveWindow())
        return;
    // A menu is open: the user may be on the way to the Options dialog.
    if (QWidget *menu = QApplication::activePopupWidget()) {
        waitFor(menu, false);
        return;
    }
    if (QWidget *dialog = QApplication::activeModalWidget(); dialog && dialog != this) {
        waitFor(dialog, true);
        return;
    }
    // The user clicked somewhere else: that cancels.
    close();
}

void AccessoryPickerDialog::waitFor(QWidget *window, bool modal)
{
    m_awaited = window;
    m_awaitedModal = modal;
    window->installEventFilter(this);
    connect(window, &QObject::destroyed, this, &AccessoryPickerDialog::awaitedHidden,
            Qt::UniqueConnection);
}

void AccessoryPickerDialog::awaitedHidden()
{
    if (m_awaited) {
        m_awaited->removeEventFilter(this);
        disconnect(m_awaited, &QObject::destroyed, this, &AccessoryPickerDialog::awaitedHidden);
    }
    m_awaited = nullptr;
    // Queued: a chosen menu command runs after its menu is hidden, and a closed dialog may
    // leave another one open.
    QTimer::singleShot(0, this,
                       m_awaitedModal ? &AccessoryPickerDialog::returned
                                      : &AccessoryPickerDialog::settleFocus);
}

void AccessoryPickerDialog::returned()
{
    if (!isVisible() || m_closing || m_awaited)
        return;
    if (QWidget *dialog = QApplication::activeModalWidget(); dialog && dialog != this) {
        waitFor(dialog, true);
        return;
    }
    fillList();
    raise();
    activateWindow();
}

void AccessoryPickerDialog::done(int result)
{
    // Closing passes here more than once (close() and reject() call each other).
    if (!m_closing) {
        m_closing = true;
        m_settle.stop();
        if (m_awaited)
            m_awaited->removeEventFilter(this);
        m_awaited = nullptr;
        if (m_preview)
            m_preview->close();
    }
    QDialog::done(result);
}

void AccessoryPickerDialog::showEvent(QShowEvent *event)
{
    m_closing = false;
    QDialog::showEvent(event);
}

void AccessoryPickerDialog::keepOnScreen()
{
    const QScreen *screen = QGuiApplication::screenAt(geometry().center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QSize size = frameGeometry().size();
    move(qBound(area.left(), x(), qMax(area.left(), area.right() - size.width() + 1)),
         qBound(area.top(), y(), qMax(area.top(), area.bottom() - size.height() + 1)));
}

void AccessoryPickerDialog::reportFailure(const QString &procedure, const std::exception &error)
{
    const QScopedValueRollback<bool> reporting(m_reporting, true);
    reportError(m_prompter, kWindow, procedure, error);
}

bool AccessoryPickerDialog::event(QEvent *event)
{
    if (event->type() == QEvent::WindowDeactivate && isVisible() && !m_childActive &&
        !m_reporting && !m_closing)
        m_settle.start();
    return QDialog::event(event);
}

bool AccessoryPickerDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_awaited && event->type() == QEvent::Hide) {
        awaitedHidden();
        return false;
    }
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            chooseGroup(m_list->currentRow());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
