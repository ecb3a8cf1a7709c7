#include "ui/WindowPlacement.h"

#include "core/Settings.h"

#include <QGuiApplication>
#include <QScreen>
#include <QString>
#include <QWidget>

#include <cmath>

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

void RestoreFormPosition(QWidget *window, int defaultHeightTwips, int defaultWidthTwips)
{
    const QString section = placementSection(window);
    const int height = Settings::readNumber(Settings::placementHeight(section), defaultHeightTwips);
    const int width = Settings::readNumber(Settings::placementWidth(section), defaultWidthTwips);
    const int top = Settings::readNumber(Settings::placementTop(section));
    const int left = Settings::readNumber(Settings::placementLeft(section));
    window->move(Twips::toPixels(left), Twips::toPixels(top));
    window->resize(Twips::toPixels(qMax(width, defaultWidthTwips)),
                   Twips::toPixels(qMax(height, defaultHeightTwips)));
}

void SaveFormPosition(QWidget *window)
{
    const QString section = placementSection(window);
    const QRect frame = window->frameGeometry();
    const auto twips = [](int pixels) { return QString::number(Twips::fromPixels(pixels)); };
    Settings::save(Settings::placementTop(section), twips(frame.top()));
    Settings::save(Settings::placementLeft(section), twips(frame.left()));
    Settings::save(Settings::placementHeight(section), twips(window->height()));
    Settings::save(Settings::placementWidth(section), twips(window->width()));
}

bool saveWindowPlacementEnabled()
{
    return Settings::read(Settings::SaveWinProp) == QLatin1String("1");
}
