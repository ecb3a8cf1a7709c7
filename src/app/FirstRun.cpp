#include "app/FirstRun.h"

#include "core/Settings.h"

#include <QFileInfo>
#include <QSettings>

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
    const int bars = Settings::readUser(QStringLiteral("Bars"), QStringLiteral("0"),
                                        QStringLiteral("Layout-Summary"))
                         .toInt();
    // A plain text comparison, so a stored 1.3.3 is not older than 1.3.
    const QString stored = Settings::readMachine(QStringLiteral("Version"), QStringLiteral("0"));
    return bars < 1 || stored < currentVersion();
}

bool importDefaults(const QString &programFolder)
{
    const QString path = programFolder + QStringLiteral("/Init.ini");
    if (!needsDefaults() || !QFileInfo(path).isFile())
        return false;
    QSettings defaults(path, QSettings::IniFormat);
    QSettings user(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("BRAX"),
                   QStringLiteral("Ravelund"));
    for (const QString &key : defaults.allKeys())
        user.setValue(key, defaults.value(key));
    return true;
}

} // namespace FirstRun
