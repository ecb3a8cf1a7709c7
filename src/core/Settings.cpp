#include "core/Settings.h"

#include <QSettings>

#include <cmath>

namespace {

QString key(const QString &name, const QString &section)
{
    return section.isEmpty() ? name : section + QLatin1Char('/') + name;
}

QString read(QSettings::Scope scope, const QString &name, const QString &defaultValue,
             const QString &section)
{
    QSettings store(QSettings::NativeFormat, scope, QStringLiteral("BRAX"),
                    QStringLiteral("Ravelund"));
    // The user's store does not see the machine's values.
    store.setFallbacksEnabled(false);
    const QVariant value = store.value(key(name, section));
    // Empty texts are stored for cleared values and read back as the default.
    if (!value.isValid() || value.toString().isEmpty())
        return defaultValue;
    return value.toString();
}

void save(QSettings::Scope scope, const QString &name, const QString &value,
          const QString &section)
{
    QSettings store(QSettings::NativeFormat, scope, QStringLiteral("BRAX"),
                    QStringLiteral("Ravelund"));
    store.setValue(key(name, section), value);
}

} // namespace

namespace Settings {

QString readUser(const QString &name, const QString &defaultValue, const QString &section)
{
    return read(QSettings::UserScope, name, defaultValue, section);
}

int readUserNumber(const QString &name, int defaultValue, const QString &section)
{
    bool ok = false;
    const double value = readUser(name, QString::number(defaultValue), section).toDouble(&ok);
    return ok ? int(std::lround(value)) : defaultValue;
}

void saveUser(const QString &name, const QString &value, const QString &section)
{
    save(QSettings::UserScope, name, value, section);
}

QString readMachine(const QString &name, const QString &defaultValue, const QString &section)
{
    return read(QSettings::SystemScope, name, defaultValue, section);
}

void saveMachine(const QString &name, const QString &value, const QString &section)
{
    save(QSettings::SystemScope, name, value, section);
}

QString readIni(const QString &section, const QString &key, const QString &filePath)
{
    QSettings ini(filePath, QSettings::IniFormat);
    return ini.value(section + QLatin1Char('/') + key).toString().left(2047);
}

bool writeIni(const QString &section, const QString &key, const QString &value,
              const QString &filePath)
{
    QSettings ini(filePath, QSettings::IniFormat);
    ini.setValue(section + QLatin1Char('/') + key, value);
    ini.sync();
    return ini.status() == QSettings::NoError;
}

} // namespace Settings
