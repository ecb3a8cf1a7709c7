#pragma once

#include <QList>
#include <QRect>

#include <functional>

class QDialog;
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

// The window's rect moved onto the available screen area it overlaps most (the first one when it
// lies off every screen), and shrunk to fit that screen.
QRect keepOnScreens(const QRect &window, const QList<QRect> &screens);
// A rect of this size centred over another.
QRect centredOver(const QSize &size, const QRect &over);

// Places and sizes the window from its section; the defaults are also the minimum size. Without a
// stored placement a dialog opens centred over its owner, a main window centred on its screen at
// most of its size. The result is always kept on a screen. Dialogs lose their minimise and
// maximise buttons and first open wide enough for their title.
void RestoreFormPosition(QWidget *window, int defaultHeightTwips, int defaultWidthTwips);
// A dialog frame with a title and close button only (RestoreFormPosition does this itself).
void removeMinMaxButtons(QWidget *dialog);
// Stores "Top", "Left", "Height", "Width" in the window's section.
void SaveFormPosition(QWidget *window);
// Dialogs store their placement on closing only while "SaveWinProp" is on.
bool saveWindowPlacementEnabled();

// Places the dialog from its section now and stores its placement each time it closes after
// being shown, once per close, while storeWanted() says so. storeWanted is asked at closing: the
// Options dialog may switch "SaveWinProp" while a dialog is open. Calling it again for the same
// dialog places it again and keeps one store per close.
void keepPlacement(QDialog *dialog, int defaultHeightTwips, int defaultWidthTwips,
                   std::function<bool()> storeWanted = saveWindowPlacementEnabled);
