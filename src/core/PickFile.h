#pragma once

#include <QString>
#include <QStringList>

class Prompter;

// The open-file chooser shared by the open and import commands. Starts in startFolder when it
// exists, otherwise in the program's folder; returns the chosen paths (none on cancel) and
// stores the folder as "ImportPath".
QStringList PickFile(Prompter &prompter, const QString &title, const QString &extension,
                     const QString &startFolder);

// The program's own folder, the default for "OpenPath".
QString programFolder();

// Where the open and import choosers start next time: the folder of a file just opened.
void rememberOpenFolder(const QString &openedFile);
