#include "ui/Theme.h"

#include "core/Settings.h"

#include <QWidget>

#include <array>

namespace {

struct Scheme
{
    const char *name;
    QRgb window; // the bar colour
    QRgb base;   // text entry background
    QRgb button;
    QRgb highlight; // selection
    QRgb highlightedText;
};

// Our own presets: calm, clearly different from each other.
constexpr std::array<Scheme, Theme::kSchemeCount> kSchemes = {{
    {"Office XP", 0xEFEDE6, 0xFFFFFF, 0xF6F4EE, 0x3D6DB5, 0xFFFFFF},
    {"Standard", 0xECECEC, 0xFFFFFF, 0xF4F4F4, 0x2F74D0, 0xFFFFFF},
    {"Office 2003", 0xD5E3F6, 0xFFFFFF, 0xE6EFFB, 0xF5B041, 0x1E1E1E},
    {"Normal XP", 0xECE9D8, 0xFFFFFF, 0xF4F2E6, 0x316AC5, 0xFFFFFF},
    {"Visual Studio 2005", 0xE3E1EA, 0xFFFFFF, 0xEEEDF3, 0x5A4FA8, 0xFFFFFF},
    {"Office 2007", 0xC9DAEE, 0xFFFFFF, 0xDCE7F4, 0xFFD35C, 0x1E1E1E},
    {"Ravelund", 0xD7E3EC, 0xFFFFFF, 0xE7EEF3, 0x2E6A8F, 0xFFFFFF},
}};

int currentSchemeValue = Theme::kDefaultScheme;

const Scheme &schemeAt(int scheme)
{
    return kSchemes.at(size_t(qBound(0, scheme, Theme::kSchemeCount - 1)));
}

// Control names that keep their own colours: buttons, sliders, text boxes, images, lines,
// combo boxes, list boxes, dialogs, grids, status bars, menus, timers, system, tray, popups, tabs.
bool keepsOwnColour(const QString &name)
{
    static const char *const prefixes[] = {"cmd", "sli", "txt", "img", "lin", "cbo", "lst",
                                           "com", "fg_", "sta", "mnu", "fgf", "fgs", "fgt",
                                           "fgd", "tim", "sys", "tra", "pop", "tab"};
    const QString lower = name.toLower();
    for (const char *prefix : prefixes) {
        if (lower.startsWith(QLatin1String(prefix)))
            return true;
    }
    return false;
}

void fill(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    // Check boxes and option buttons fill with their background role, the button colour.
    palette.setColor(widget->backgroundRole(), colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace

QColor colourFromValue(std::uint32_t value)
{
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

std::uint32_t colourValue(const QColor &colour)
{
    return std::uint32_t(colour.red()) | (std::uint32_t(colour.green()) << 8) |
           (std::uint32_t(colour.blue()) << 16);
}

namespace Theme {

int schemeFromSetting(int stored)
{
    return stored < 0 || stored > kDefaultScheme ? kDefaultScheme : stored;
}

QString schemeName(int scheme)
{
    return QString::fromLatin1(schemeAt(scheme).name);
}

QPalette palette(int scheme)
{
    const Scheme &s = schemeAt(scheme);
    QPalette p;
    p.setColor(QPalette::Window, QColor(s.window));
    p.setColor(QPalette::Base, QColor(s.base));
    p.setColor(QPalette::AlternateBase, QColor(s.button));
    p.setColor(QPalette::Button, QColor(s.button));
    p.setColor(QPalette::Highlight, QColor(s.highlight));
    p.setColor(QPalette::HighlightedText, QColor(s.highlightedText));
    p.setColor(QPalette::WindowText, QColor(0x1E1E1E));
    p.setColor(QPalette::Text, QColor(0x1E1E1E));
    p.setColor(QPalette::ButtonText, QColor(0x1E1E1E));
    p.setColor(QPalette::ToolTipBase, QColor(0xFFFFE8));
    p.setColor(QPalette::ToolTipText, QColor(0x1E1E1E));
    // Disabled commands and controls must look disabled in every scheme.
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, QColor(0x8A8F96));
    p.setColor(QPalette::Disabled, QPalette::Highlight, QColor(0xB8C0C8));
    return p;
}

std::uint32_t barColour(int scheme)
{
    return colourValue(QColor(schemeAt(scheme).window));
}

void setCurrentScheme(int scheme)
{
    currentSchemeValue = qBound(0, scheme, kSchemeCount - 1);
}

int currentScheme()
{
    return currentSchemeValue;
}

} // namespace Theme

void ApplyThemeColours(QWidget *window, int offset)
{
    const QColor colour =
        colourFromValue(Theme::barColour(Theme::currentScheme()) + std::uint32_t(offset));
    fill(window, colour);
    for (QWidget *child : window->findChildren<QWidget *>()) {
        const QString name = child->objectName();
        // Only our named controls; Qt's own inner widgets are named "qt_...".
        if (!name.isEmpty() && !name.startsWith(QLatin1String("qt_")) && !keepsOwnColour(name))
            fill(child, colour);
    }
}
