#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class Database;

// What the group tree shows, read from the working database.
namespace GroupTree {

struct Group
{
    QString blockName;
    QString description;
};

// Every registered group, by description in Swedish order (case ignored, Å Ä Ö after Z).
QList<Group> groups(Database &db);

// The distinct manufacturers of a group's articles, leaving out empty ones and those made only
// of "-"; nothing when Articles has no FABRIKAT column.
std::optional<QStringList> manufacturers(Database &db, const QString &blockName);

// Tree keys: "@" the root, "!" + block name a group, "@" + manufacturer + "!" + block name.
inline QString rootKey()
{
    return QStringLiteral("@");
}
inline QString groupKey(const QString &blockName)
{
    return QLatin1Char('!') + blockName;
}
inline QString manufacturerKey(const QString &manufacturer, const QString &blockName)
{
    return QLatin1Char('@') + manufacturer + groupKey(blockName);
}

} // namespace GroupTree
