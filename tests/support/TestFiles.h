#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// Helpers for fixtures: files written as raw bytes and settings kept in a temporary folder.
namespace TestFiles {

void write(const QString &path, const QByteArray &bytes);
QByteArray read(const QString &path);

// Windows-1252 bytes of the given text.
QByteArray cp1252(const QString &text);

// Joins lines with CR LF (and ends the last one).
QByteArray crlf(const QStringList &lines);

// A fixed-width record: each value padded or cut to its width.
QString record(const QList<QPair<QString, int>> &values);

// The id of a process that has ended: a temporary file named after it has no owner left.
qint64 finishedProcessId();

// Points QSettings (user and machine scope) at `folder`, so tests never touch real settings.
void isolateSettings(const QString &folder);

// Empties the (isolated) user settings, so each test starts as a fresh user.
void clearUserSettings();

// A user-scope value exactly as stored under its name and section ("" when none), and storing
// one, without the program's own declarations: what users already have stored must keep working.
QString storedSetting(const QString &name, const QString &section = {});
void storeSetting(const QString &name, const QString &value, const QString &section = {});

} // namespace TestFiles
