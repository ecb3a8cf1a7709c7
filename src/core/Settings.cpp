#include "core/Settings.h"

#include "core/SafeFile.h"

#include <QFile>
#include <QLockFile>
#include <QSettings>
#include <QTemporaryDir>

#include <cmath>
#include <limits>
#include <optional>

namespace {

QString key(const Settings::Setting &setting)
{
    return setting.section.isEmpty() ? setting.name
                                     : setting.section + QLatin1Char('/') + setting.name;
}

QSettings::Scope storeScope(Settings::Scope scope)
{
    return scope == Settings::Scope::Machine ? QSettings::SystemScope : QSettings::UserScope;
}

// Empty texts are stored for cleared values and count as nothing stored.
QString stored(const Settings::Setting &setting)
{
    QSettings store(QSettings::NativeFormat, storeScope(setting.scope), QStringLiteral("BRAX"),
                    QStringLiteral("Ravelund"));
    // The user's store does not see the machine's values.
    store.setFallbacksEnabled(false);
    return store.value(key(setting)).toString();
}

std::optional<int> wholeNumber(const QString &text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < std::numeric_limits<int>::min() ||
        value > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(std::lround(value));
}

Settings::Setting named(const QString &name, const QString &section, const QString &defaultValue)
{
    return {.name = name, .section = section, .defaultValue = defaultValue};
}

} // namespace

namespace Settings {

QString defaultOf(const Setting &setting)
{
    if (setting.fallback)
        return read(*setting.fallback);
    if (setting.runtimeDefault)
        return setting.runtimeDefault();
    return setting.defaultValue;
}

QString read(const Setting &setting)
{
    const QString value = stored(setting);
    return value.isEmpty() ? defaultOf(setting) : value;
}

int readNumber(const Setting &setting)
{
    if (const std::optional<int> value = wholeNumber(stored(setting)))
        return *value;
    return wholeNumber(defaultOf(setting)).value_or(0);
}

int readNumber(const Setting &setting, int defaultValue)
{
    return wholeNumber(stored(setting)).value_or(defaultValue);
}

bool userStoreIsFree()
{
    const QSettings store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("BRAX"),
                          QStringLiteral("Ravelund"));
    // The lock QSettings itself takes around writing the file.
    QLockFile lock(store.fileName() + QStringLiteral(".lock"));
    // Only a lock another process holds counts; a folder not made yet is free.
    return lock.tryLock(0) || lock.error() != QLockFile::LockFailedError;
}

void save(const Setting &setting, const QString &value)
{
    QSettings store(QSettings::NativeFormat, storeScope(setting.scope), QStringLiteral("BRAX"),
                    QStringLiteral("Ravelund"));
    store.setValue(key(setting), value);
}

void copyIniToUser(const QString &iniPath)
{
    const QSettings ini(iniPath, QSettings::IniFormat);
    QSettings user(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("BRAX"),
                   QStringLiteral("Ravelund"));
    for (const QString &name : ini.allKeys())
        user.setValue(name, ini.value(name));
}

Setting placementTop(const QString &section)
{
    return named(QStringLiteral("Top"), section, QStringLiteral("0"));
}

Setting placementLeft(const QString &section)
{
    return named(QStringLiteral("Left"), section, QStringLiteral("0"));
}

Setting placementHeight(const QString &section)
{
    return named(WindowHeight.name, section, {});
}

Setting placementWidth(const QString &section)
{
    return named(WindowWidth.name, section, {});
}

Setting columnWidth(int column)
{
    return named(QString::number(column) + QStringLiteral("Col"), {}, QStringLiteral("700"));
}

Setting recentFile(int slot)
{
    return named(QString::number(slot) + QStringLiteral("RecentFile"), QStringLiteral("Main"), {});
}

QStringList iniKeys(const QString &section, const QString &filePath)
{
    QSettings ini(filePath, QSettings::IniFormat);
    ini.beginGroup(section);
    return ini.childKeys();
}

bool removeIni(const QString &section, const QString &key, const QString &filePath)
{
    QSettings ini(filePath, QSettings::IniFormat);
    ini.remove(section + QLatin1Char('/') + key);
    ini.sync();
    return ini.status() == QSettings::NoError;
}

QString readIni(const QString &section, const QString &key, const QString &filePath)
{
    QSettings ini(filePath, QSettings::IniFormat);
    return ini.value(section + QLatin1Char('/') + key).toString().left(2047);
}

// QSettings' own save does not notice every failed write, so the change is made on a private
// draft, read back under another name, and only then written over the file by a checked write.
bool writeIni(const QString &section, const QString &key, const QString &value,
              const QString &filePath)
{
    QTemporaryDir scratch;
    if (!scratch.isValid())
        return false;
    const QString draft = scratch.filePath(QStringLiteral("draft.ini"));
    const QString check = scratch.filePath(QStringLiteral("check.ini"));
    if (QFile::exists(filePath) && !QFile::copy(filePath, draft))
        return false;
    QMap<QString, QVariant> expected;
    {
        QSettings ini(draft, QSettings::IniFormat);
        ini.setValue(section + QLatin1Char('/') + key, value);
        ini.sync();
        if (ini.status() != QSettings::NoError)
            return false;
        for (const QString &name : ini.allKeys())
            expected.insert(name, ini.value(name));
    }
    QFile written(draft);
    if (!written.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = written.readAll();
    written.close();
    try {
        SafeFile::writeWhole(check, bytes);
        {
            QSettings reread(check, QSettings::IniFormat);
            if (reread.status() != QSettings::NoError || reread.allKeys().size() != expected.size())
                return false;
            for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
                if (reread.value(it.key()) != it.value())
                    return false;
            }
        }
        SafeFile::writeWhole(filePath, bytes);
    } catch (const std::exception &) {
        return false;
    }
    return true;
}

} // namespace Settings
