#pragma once

#include "app/CommandLine.h"

#include <QString>

#include <memory>

class MainWindow;
class Prompter;

// The interactive start, after the command line was read: the syntax message when the command
// line could not be used, the main window, then the file a desktop launch named, or the last
// file when "AutoOpen" is on. The window is returned shown.
std::unique_ptr<MainWindow> startInteractive(const CommandLine &commandLine, Prompter &prompter);

// Qt's own dialogs and widgets speak Swedish whatever the system's language: loads Qt's Swedish
// translations (from qtCatalogueFolder, by default Qt's own folder) and, over them, the built-in
// catalogue with what they lack. False when Qt's are not installed; the built-in one still loads.
bool installQtTranslations(const QString &qtCatalogueFolder = {});
