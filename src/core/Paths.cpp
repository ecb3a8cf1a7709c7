#include "core/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace Paths {

QString replaceExtension(const QString &path, const QString &from, const QString &to)
{
    if (path.endsWith(from, Qt::CaseInsensitive))
        return path.left(path.size() - from.size()) + to;
    return path + to;
}

QString withExtension(const QString &path, const QString &extension)
{
    return path.endsWith(extension, Qt::CaseInsensitive) ? path : path + extension;
}

QString tdbPathFor(const QString &tdsPath)
{
    return replaceExtension(tdsPath, QStringLiteral(".tds"), QStringLiteral(".tdb"));
}

QString tdxPathFor(const QString &tdsPath)
{
    return replaceExtension(tdsPath, QStringLiteral(".tds"), QStringLiteral(".tdx"));
}

QString siblingOnDisk(const QString &path)
{
    const QFileInfo info(path);
    if (info.exists() || info.isSymLink())
        return path;
    const QString name = info.fileName();
    const QStringList names =
        info.dir().entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString &candidate : names) {
        if (candidate.compare(name, Qt::CaseInsensitive) == 0)
            return info.dir().filePath(candidate);
    }
    return path;
}

QString folderOf(const QString &path)
{
    return QFileInfo(path).absolutePath();
}

QString fileNameOf(const QString &path)
{
    return QFileInfo(path).fileName();
}

QStringList dataFileCandidates(const QString &relativePath, const QString &programDir)
{
    const QString program =
        programDir.isEmpty() ? QCoreApplication::applicationDirPath() : programDir;
    // Relative to the executable before the fixed folder, so a moved installation still finds
    // its own data.
    const QStringList folders{
        program,
        QDir::cleanPath(program + QLatin1Char('/') + QLatin1String(KVISTBO_DATA_DIR_FROM_BIN)),
        QStringLiteral(KVISTBO_DATA_DIR)};
    QStringList paths;
    for (const QString &folder : folders) {
        const QString path = QDir(folder).filePath(relativePath);
        if (!paths.contains(path))
            paths << path;
    }
    return paths;
}

QString firstExisting(const QStringList &candidates)
{
    for (const QString &path : candidates) {
        if (QFileInfo(path).isFile())
            return path;
    }
    return {};
}

bool replaceFile(const QString &from, const QString &to)
{
#ifdef Q_OS_WIN
    // Windows cannot rename over an existing file.
    if (QFileInfo::exists(to) && !QFile::remove(to))
        return false;
    return QFile::rename(from, to);
#else
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
#endif
}

} // namespace Paths
