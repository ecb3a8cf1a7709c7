#include "core/RecentFiles.h"

#include "core/Settings.h"

namespace {

const QString kSection = QStringLiteral("Main");

QString slotName(int slot)
{
    return QString::number(slot) + QStringLiteral("RecentFile");
}

} // namespace

namespace RecentFiles {

QStringList entries()
{
    QStringList list;
    for (int slot = 0; slot < kSlots; ++slot)
        list << Settings::readUser(slotName(slot), QString(), kSection);
    return list;
}

void AddRecentFile(const QString &path)
{
    const QStringList list = entries();
    bool listed = false;
    for (const QString &entry : list) {
        if (!entry.isEmpty() && entry.toUpper() == path.toUpper())
            listed = true;
    }
    if (!listed) {
        for (int slot = kSlots - 2; slot >= 0; --slot)
            Settings::saveUser(slotName(slot + 1), list.at(slot), kSection);
        Settings::saveUser(slotName(0), path, kSection);
    }
    Settings::saveUser(QStringLiteral("LastFileName"), path);
}

} // namespace RecentFiles
