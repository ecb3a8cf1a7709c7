#include "ui/WindowPlacement.h"

#include "core/Settings.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QString>
#include <QWidget>

#include <cmath>
#include <limits>
#include <utility>

namespace {

double dotsPerInch()
{
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        return screen->logicalDotsPerInch();
    return 96.0;
}

} // namespace

namespace Twips {

int toPixels(double twips)
{
    return int(std::lround(twips * dotsPerInch() / 1440.0));
}

double fromPixels(int pixels)
{
    return pixels * 1440.0 / dotsPerInch();
}

} // namespace Twips

QString placementSection(const QWidget *window)
{
    return window->objectName().mid(3);
}

QRect keepOnScreens(const QRect &window, const QList<QRect> &screens)
{
    if (screens.isEmpty())
        return window;
    QRect target = screens.first();
    qint64 bestOverlap = 0;
    for (const QRect &screen : screens) {
        const QRect overlap = screen.intersected(window);
        const qint64 area = qint64(overlap.width()) * overlap.height();
        if (area > bestOverlap) {
            bestOverlap = area;
            target = screen;
        }
    }
    QRect placed(window.topLeft(), window.size().boundedTo(target.size()));
    // Left and top last: the title bar must stay reachable when the window is too large.
    if (placed.right() > target.right())
        placed.moveRight(target.right());
    if (placed.bottom() > target.bottom())
        placed.moveBottom(target.bottom());
    if (placed.left() < target.left())
        placed.moveLeft(target.left());
    if (placed.top() < target.top())
        placed.moveTop(target.top());
    return placed;
}

QRect centredOver(const QSize &size, const QRect &over)
{
    QRect rect(QPoint(0, 0), size);
    rect.moveCenter(over.center());
    return rect;
}

namespace {

QList<QRect> availableScreens()
{
    QList<QRect> screens;
    if (const QScreen *primary = QGuiApplication::primaryScreen())
        screens << primary->availableGeometry();
    for (const QScreen *screen : QGuiApplication::screens()) {
        if (screen != QGuiApplication::primaryScreen())
            screens << screen->availableGeometry();
    }
    return screens;
}

// The window a new dialog belongs over: its parent's, else the active one.
const QWidget *ownerOf(const QWidget *window)
{
    if (window->parentWidget())
        return window->parentWidget()->window();
    const QWidget *active = QApplication::activeWindow();
    return active != window ? active : nullptr;
}

// Room for the title text plus the frame's icon and buttons.
int titleWidth(const QWidget *window)
{
    if (window->windowTitle().isEmpty())
        return 0;
    const QFontMetrics metrics(QApplication::font("QMdiSubWindowTitleBar"));
    return metrics.horizontalAdvance(window->windowTitle()) + 4 * metrics.height() + 48;
}

} // namespace

void removeMinMaxButtons(QWidget *window)
{
    const bool wasVisible = window->isVisible();
    window->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    if (wasVisible)
        window->show();
}

void RestoreFormPosition(QWidget *window, int defaultHeightTwips, int defaultWidthTwips)
{
    const QString section = placementSection(window);
    const bool dialog = window->windowType() == Qt::Dialog;
    if (dialog)
        removeMinMaxButtons(window);
    constexpr int kUnset = std::numeric_limits<int>::min();
    const int top = Settings::stored(Settings::placementTop(section)).value_or(kUnset);
    const int left = Settings::stored(Settings::placementLeft(section)).value_or(kUnset);
    const int height = Settings::stored(Settings::placementHeight(section)).value_or(kUnset);
    const int width = Settings::stored(Settings::placementWidth(section)).value_or(kUnset);

    QSize size(Twips::toPixels(qMax(width, defaultWidthTwips)),
               Twips::toPixels(qMax(height, defaultHeightTwips)));
    // A width the user chose is kept; a first opening leaves room for the whole title.
    if (dialog && width == kUnset)
        size.setWidth(qMax(size.width(), titleWidth(window)));
    const QList<QRect> screens = availableScreens();
    QRect placed;
    if (top != kUnset && left != kUnset) {
        placed = QRect(QPoint(Twips::toPixels(left), Twips::toPixels(top)), size);
    } else if (const QWidget *owner = dialog ? ownerOf(window) : nullptr) {
        placed = centredOver(size, owner->frameGeometry());
    } else {
        const QScreen *screen =
            window->screen() ? window->screen() : QGuiApplication::primaryScreen();
        const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
        if (!dialog && (height == kUnset || width == kUnset))
            size = size.expandedTo(area.size() * 0.8);
        placed = centredOver(size, area);
    }
    placed = keepOnScreens(placed, screens);
    window->move(placed.topLeft());
    window->resize(placed.size());
}

void SaveFormPosition(QWidget *window)
{
    const QString section = placementSection(window);
    const QRect frame = window->frameGeometry();
    const auto twips = [](int pixels) { return int(std::lround(Twips::fromPixels(pixels))); };
    Settings::save(Settings::placementTop(section), twips(frame.top()));
    Settings::save(Settings::placementLeft(section), twips(frame.left()));
    Settings::save(Settings::placementHeight(section), twips(window->height()));
    Settings::save(Settings::placementWidth(section), twips(window->width()));
}

bool saveWindowPlacementEnabled()
{
    return Settings::read(Settings::SaveWinProp);
}

namespace {

const QString kKeeperName = QStringLiteral("placementKeeper");

// Watches its dialog and stores the placement when a shown dialog is hidden: every way of closing
// (done(), close(), Escape) ends in that hide, and it comes once per close.
class PlacementKeeper : public QObject
{
public:
    PlacementKeeper(QDialog *dialog, std::function<bool()> storeWanted)
        : QObject(dialog), m_dialog(dialog), m_storeWanted(std::move(storeWanted)),
          m_type(dialog->metaObject()), m_shown(dialog->isVisible())
    {
        setObjectName(kKeeperName);
    }

    void setStoreWanted(std::function<bool()> storeWanted)
    {
        m_storeWanted = std::move(storeWanted);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // ~QDialog hides a dialog destroyed while open; by then it is no longer of its own class,
        // and only a close stores, not the teardown.
        if (watched != m_dialog || !watched->metaObject()->inherits(m_type))
            return false;
        if (event->type() == QEvent::Show) {
            m_shown = true;
        } else if (event->type() == QEvent::Hide && !event->spontaneous() && m_shown) {
            // Spontaneous hides come from the window system (a minimised owner), not a close.
            m_shown = false;
            if (m_storeWanted && m_storeWanted())
                SaveFormPosition(m_dialog);
        }
        return false;
    }

private:
    QDialog *m_dialog;
    std::function<bool()> m_storeWanted;
    const QMetaObject *m_type;
    bool m_shown;
};

} // namespace

void keepPlacement(QDialog *dialog, int defaultHeightTwips, int defaultWidthTwips,
                   std::function<bool()> storeWanted)
{
    auto *keeper = dynamic_cast<PlacementKeeper *>(
        dialog->findChild<QObject *>(kKeeperName, Qt::FindDirectChildrenOnly));
    // Restoring may hide and show the dialog again to change its frame: that is no close.
    if (keeper)
        dialog->removeEventFilter(keeper);
    RestoreFormPosition(dialog, defaultHeightTwips, defaultWidthTwips);
    if (keeper)
        keeper->setStoreWanted(std::move(storeWanted));
    else
        keeper = new PlacementKeeper(dialog, std::move(storeWanted));
    dialog->installEventFilter(keeper);
}
