#pragma once

class QWidget;
class QString;

// Window sizes and positions are stored in twips (1/1440 inch), as the settings always were.
namespace Twips {
int toPixels(double twips);
double fromPixels(int pixels);
} // namespace Twips

// The settings section of a window: its object name without the three-letter kind prefix
// ("frmOptions" -> "Options").
QString placementSection(const QWidget *window);

// Places and sizes the window from its section; the defaults are also the minimum size.
void RestoreFormPosition(QWidget *window, int defaultHeightTwips, int defaultWidthTwips);
// Stores "Top", "Left", "Height", "Width" in the window's section.
void SaveFormPosition(QWidget *window);
// Dialogs store their placement on closing only while "SaveWinProp" is on.
bool saveWindowPlacementEnabled();
