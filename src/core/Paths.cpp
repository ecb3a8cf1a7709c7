#include "core/Paths.h"

#include <QFileInfo>

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

QString folderOf(const QString &path)
{
    return QFileInfo(path).absolutePath();
}

QString fileNameOf(const QString &path)
{
    return QFileInfo(path).fileName();
}

} // namespace Paths
