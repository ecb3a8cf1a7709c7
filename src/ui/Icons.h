#pragma once

#include <QIcon>

// Our own flat icons, painted for each size so that edges stay on whole pixels.
namespace Icons {

// Toolbar command identifiers and their menu twins (id - 1000) give the same icon; an unknown
// identifier gives a null icon.
QIcon forCommand(int commandId);

// Group tree folders: white for a group whose articles are loaded, grey for a closed one.
QIcon folder(bool grey);

// The program's icon for windows (16 to 64 px), and the same at 64 and 128 px.
QIcon application();
QIcon applicationLarge();

} // namespace Icons
