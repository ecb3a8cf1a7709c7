#include "edit/ContactPresets.h"

#include "core/Cp1252.h"
#include "core/Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

const QString kSection = QStringLiteral("Presets");

} // namespace

namespace ContactPresets {

QString defaultFile()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
        .filePath(QCoreApplication::applicationName() + QStringLiteral(".ini"));
}

QList<Preset> read(const QString &file)
{
    QList<Preset> presets;
    for (const QString &key : Settings::iniKeys(kSection, file)) {
        Preset preset{key, Settings::readIni(kSection, key, file)};
        // A hand-edited file may hold what the catalogue files cannot; such a preset is left out.
        if (Cp1252::canEncode(preset.definition()))
            presets.append(preset);
    }
    return presets;
}

SaveResult save(const QString &definition, const QString &file)
{
    const qsizetype colon = definition.indexOf(QLatin1Char(':'));
    // The type part is the key; a text that has none cannot be stored.
    if (colon <= 0)
        return SaveResult::NothingToSave;
    // A first preset may also be the first file in a configuration folder not made yet.
    if (!QDir().mkpath(QFileInfo(file).absolutePath()))
        return SaveResult::Failed;
    return Settings::writeIni(kSection, definition.left(colon), definition.mid(colon + 1), file)
               ? SaveResult::Saved
               : SaveResult::Failed;
}

bool remove(const QString &typePart, const QString &file)
{
    return Settings::removeIni(kSection, typePart, file);
}

} // namespace ContactPresets
