#include "app/FirstRun.h"

#include "core/Settings.h"

#include <QFileInfo>

namespace FirstRun {

QString currentVersion()
{
    return QStringLiteral("%1.%2").arg(KVISTBO_VERSION_MAJOR).arg(KVISTBO_VERSION_MINOR);
}

QString fullVersion()
{
    return QStringLiteral(KVISTBO_VERSION);
}

bool needsDefaults()
{
    const int bars = Settings::read(Settings::BarCount);
    // A plain text comparison, so a stored 1.3.3 is not older than 1.3.
    const QString stored = Settings::read(Settings::Version);
    return bars < 1 || stored < currentVersion();
}

bool importDefaults(const QString &programFolder)
{
    const QString path = programFolder + QStringLiteral("/Init.ini");
    if (!needsDefaults() || !QFileInfo(path).isFile())
        return false;
    Settings::copyIniToUser(path);
    return true;
}

} // namespace FirstRun
