#pragma once

#include <QString>

// The settings store: every value is text, kept per user (and a few per machine) under the
// organisation "BRAX" and application "Ravelund". A section is a group; an empty section is the
// top level. No cache: every read goes to the store.
namespace Settings {

QString readUser(const QString &name, const QString &defaultValue, const QString &section = {});
void saveUser(const QString &name, const QString &value, const QString &section = {});
// A stored number (text), rounded to a whole one; the default when missing or not a number.
int readUserNumber(const QString &name, int defaultValue, const QString &section = {});
QString readMachine(const QString &name, const QString &defaultValue,
                    const QString &section = {});
void saveMachine(const QString &name, const QString &value, const QString &section = {});

// The program's own INI files (contact presets and the like): a missing value reads as "", and
// values are cut at 2047 characters. Writing answers whether it worked.
QString readIni(const QString &section, const QString &key, const QString &filePath);
bool writeIni(const QString &section, const QString &key, const QString &value,
              const QString &filePath);

} // namespace Settings
