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
    const int height =
        Settings::readUserNumber(QStringLiteral("Height"), defaultHeightTwips, section);
    const int width =
        Settings::readUserNumber(QStringLiteral("Width"), defaultWidthTwips, section);
    const int top = Settings::readUserNumber(QStringLiteral("Top"), 0, section);
    const int left = Settings::readUserNumber(QStringLiteral("Left"), 0, section);
    window->move(Twips::toPixels(left), Twips::toPixels(top));
    window->resize(Twips::toPixels(qMax(width, defaultWidthTwips)),
                   Twips::toPixels(qMax(height, defaultHeightTwips)));
}

void SaveFormPosition(QWidget *window)
{
    const QString section = placementSection(window);
    const QRect frame = window->frameGeometry();
    Settings::saveUser(QStringLiteral("Top"), QString::number(Twips::fromPixels(frame.top())),
                       section);
    Settings::saveUser(QStringLiteral("Left"), QString::number(Twips::fromPixels(frame.left())),
                       section);
    Settings::saveUser(QStringLiteral("Height"),
                       QString::number(Twips::fromPixels(window->height())), section);
    Settings::saveUser(QStringLiteral("Width"), QString::number(Twips::fromPixels(window->width())),
                       section);
}

bool saveWindowPlacementEnabled()
{
    return Settings::readUser(QStringLiteral("SaveWinProp"), QStringLiteral("1"),
                              QStringLiteral("Options"))
           == QLatin1String("1");
}
