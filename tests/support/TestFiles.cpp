#include "support/TestFiles.h"

#include "core/Cp1252.h"

#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTest>

namespace TestFiles {

void write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(path));
    file.write(bytes);
}

QByteArray read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QByteArray cp1252(const QString &text)
{
    return Cp1252::encode(text);
}

QByteArray crlf(const QStringList &lines)
{
    QByteArray out;
    for (const QString &line : lines)
        out += cp1252(line) + "\r\n";
    return out;
}

QString record(const QList<QPair<QString, int>> &values)
{
    QString line;
    for (const auto &[value, width] : values)
        line += value.left(width).leftJustified(width, QLatin1Char(' '));
    return line;
}

void isolateSettings(const QString &folder)
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder + "/user");
    QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, folder + "/system");
    qputenv("XDG_CONFIG_HOME", (folder + "/user").toLocal8Bit());
    qputenv("XDG_CONFIG_DIRS", (folder + "/system").toLocal8Bit());
}

void clearUserSettings()
{
    QSettings(QSettings::NativeFormat, QSettings::UserScope, "BRAX", "Ravelund").clear();
}

namespace {

QString settingKey(const QString &name, const QString &section)
{
    return section.isEmpty() ? name : section + '/' + name;
}

} // namespace

QString storedSetting(const QString &name, const QString &section)
{
    const QSettings store(QSettings::NativeFormat, QSettings::UserScope, "BRAX", "Ravelund");
    return store.value(settingKey(name, section)).toString();
}

void storeSetting(const QString &name, const QString &value, const QString &section)
{
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, "BRAX", "Ravelund");
    store.setValue(settingKey(name, section), value);
}

qint64 finishedProcessId()
{
    QProcess process;
    process.start(QStringLiteral("true"), {});
    if (!process.waitForStarted())
        qFatal("cannot start 'true'");
    const qint64 id = process.processId();
    process.waitForFinished();
    return id;
}

} // namespace TestFiles
