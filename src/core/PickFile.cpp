#include "core/PickFile.h"

#include "core/Paths.h"
#include "core/Prompter.h"
#include "core/Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString programFolder()
{
    return QCoreApplication::applicationDirPath();
}

void rememberOpenFolder(const QString &openedFile)
{
    Settings::save(Settings::OpenPath, Paths::folderOf(openedFile) + QDir::separator());
}

QStringList PickFile(Prompter &prompter, const QString &title, const QString &extension,
                     const QString &startFolder)
{
    const QString initial = QFileInfo(startFolder).isDir() ? startFolder : programFolder();
    FileDialogRequest request;
    request.title = title;
    request.filter = QStringLiteral("(VOLTMARK artikeldatabas *.") + extension +
                     QStringLiteral(") (*") + extension + QLatin1Char(')');
    request.initialFolder = initial;
    const QStringList chosen = prompter.openFile(request);
    QStringList paths;
    for (const QString &path : chosen) {
        if (path.endsWith(extension, Qt::CaseInsensitive))
            paths << path;
    }
    Settings::save(Settings::ImportPath,
                   paths.isEmpty() ? initial : Paths::folderOf(paths.first()));
    return paths;
}
