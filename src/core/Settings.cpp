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

QString path(const Settings::Key &key)
{
    return key.section.isEmpty() ? key.name : key.section + QLatin1Char('/') + key.name;
}

QSettings::Scope storeScope(Settings::Scope scope)
{
    return scope == Settings::Scope::Machine ? QSettings::SystemScope : QSettings::UserScope;
}

template <typename T>
Settings::Setting<T> named(const QString &name, const QString &section, const T &defaultValue)
{
    return {.name = name, .section = section, .defaultValue = defaultValue};
}

} // namespace

namespace Settings {

std::optional<QString> Codec<QString>::fromText(const QString &text)
{
    return text;
}

std::optional<int> Codec<int>::fromText(const QString &text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < std::numeric_limits<int>::min() ||
        value > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(std::lround(value));
}

std::optional<std::uint32_t> Codec<std::uint32_t>::fromText(const QString &text)
{
    bool ok = false;
    const std::uint32_t value = text.toUInt(&ok);
    return ok ? std::optional(value) : std::nullopt;
}

std::optional<bool> Codec<bool>::fromText(const QString &text)
{
    return text == QLatin1String("1");
}

std::optional<QByteArray> Codec<QByteArray>::fromText(const QString &text)
{
    return QByteArray::fromBase64(text.toLatin1());
}

QString storedText(const Key &key)
{
    QSettings store(QSettings::NativeFormat, storeScope(key.scope), QStringLiteral("BRAX"),
                    QStringLiteral("Ravelund"));
    // The user's store does not see the machine's values.
    store.setFallbacksEnabled(false);
    return store.value(path(key)).toString();
}

void saveText(const Key &key, const QString &text)
{
    QSettings store(QSettings::NativeFormat, storeScope(key.scope), QStringLiteral("BRAX"),
                    QStringLiteral("Ravelund"));
    store.setValue(path(key), text);
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

void copyIniToUser(const QString &iniPath)
{
    const QSettings ini(iniPath, QSettings::IniFormat);
    QSettings user(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("BRAX"),
                   QStringLiteral("Ravelund"));
    for (const QString &name : ini.allKeys())
        user.setValue(name, ini.value(name));
}

Setting<int> placementTop(const QString &section)
{
    return named(QStringLiteral("Top"), section, 0);
}

Setting<int> placementLeft(const QString &section)
{
    return named(QStringLiteral("Left"), section, 0);
}

Setting<int> placementHeight(const QString &section)
{
    return named(WindowHeight.name, section, 0);
}

Setting<int> placementWidth(const QString &section)
{
    return named(WindowWidth.name, section, 0);
}

Setting<int> columnWidth(int column)
{
    return named(QString::number(column) + QStringLiteral("Col"), {}, 700);
}

Setting<QString> recentFile(int slot)
{
    return named(QString::number(slot) + QStringLiteral("RecentFile"), QStringLiteral("Main"),
                 QString());
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
