#pragma once

#include <QColor>
#include <QPalette>
#include <QString>

#include <cstdint>

class QWidget;

// Colours are stored as one 32-bit value: red in the lowest byte, then green, then blue.
QColor colourFromValue(std::uint32_t value);
std::uint32_t colourValue(const QColor &colour);

// The seven colour schemes: 0-5 have menu entries, 6 is the default. Each is a palette preset;
// its window colour is the "bar colour" that windows and dialogs take as background.
namespace Theme {

inline constexpr int kDefaultScheme = 6;
inline constexpr int kSchemeCount = 7;

// Stored values outside 0-6 are used as 6.
int schemeFromSetting(int stored);
QString schemeName(int scheme);
QPalette palette(int scheme);
std::uint32_t barColour(int scheme);

// The scheme in use in this process (set by the main window).
void setCurrentScheme(int scheme);
int currentScheme();

} // namespace Theme

// Colours the window and its plain named controls (labels, frames, check boxes, option buttons)
// with the bar colour + offset; buttons, text boxes, combo boxes, grids and the like keep theirs.
void ApplyThemeColours(QWidget *window, int offset);
