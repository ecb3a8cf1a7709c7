#pragma once

#include <QIcon>

// Our own flat icons, SVG drawings in the resources (:/icons/<grid>/<name>.svg). They need Qt's
// SVG icon engine plugin at run time.
namespace Icons {

// A drawing by its name (the command table names each command's); null for no name.
QIcon named(const char *name);

// Group tree folders: white for a group whose articles are loaded, grey for a closed one.
QIcon folder(bool grey);
// A manufacturer under a group in the tree: a factory, so it never passes for a group.
QIcon manufacturer();

// The program's icon for windows; the large one is the same drawing, for the about box.
QIcon application();

} // namespace Icons
