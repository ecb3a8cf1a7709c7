#pragma once

#include <QList>
#include <QString>

// Contact definitions kept for reuse, in section "Presets" of the program's .ini: the type part
// of a definition is the key, its terminal part the value ("2S" = "13 14 ;23 24 ;"). The file
// lives in the user's configuration folder, as the program's own folder is not writable for
// every user.
namespace ContactPresets {

struct Preset
{
    QString typePart;
    QString terminalPart;

    QString definition() const { return typePart + QLatin1Char(':') + terminalPart; }
    bool operator==(const Preset &other) const = default;
};

enum class SaveResult { Saved, NothingToSave, Failed };

// "<configuration folder>/<program>.ini".
QString defaultFile();

QList<Preset> read(const QString &file = defaultFile());
// Stores a definition under its type part, replacing a preset with the same one. A text without
// a type part before its ":" (an empty definition) is not stored.
SaveResult save(const QString &definition, const QString &file = defaultFile());
bool remove(const QString &typePart, const QString &file = defaultFile());

} // namespace ContactPresets
