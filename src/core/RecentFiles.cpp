#include "core/RecentFiles.h"

#include "core/Settings.h"

namespace RecentFiles {

QStringList entries()
{
    QStringList list;
    for (int slot = 0; slot < kSlots; ++slot)
        list << Settings::read(Settings::recentFile(slot));
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
            Settings::save(Settings::recentFile(slot + 1), list.at(slot));
        Settings::save(Settings::recentFile(0), path);
    }
    Settings::save(Settings::LastFileName, path);
}

} // namespace RecentFiles
