#pragma once

#include "core/PickFile.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <type_traits>

// The settings store: every value is kept as text, kept per user (and a few per machine) under the
// organisation "BRAX" and application "Ravelund". A section is a group; an empty section is the
// top level. No cache: every read goes to the store.
//
// Every stored value is declared here once, with its section, scope and default. Users already
// have values stored under these names, so names, sections and text formats never change.
namespace Settings {

enum class Scope { User, Machine };

// Where a value is stored: its name, section and scope.
struct Key
{
    QString name;
    QString section = {}; // empty: the top level
    Scope scope = Scope::User;
};

// How a type is kept as text in the store. from() answers nothing for a text that does not hold
// a usable value, and the setting's default is read instead.
template <typename T> struct Codec;

template <> struct Codec<QString>
{
    static QString toText(const QString &value) { return value; }
    static std::optional<QString> fromText(const QString &text);
};

// Whole numbers; a stored fraction (older versions wrote single-precision text) is rounded.
template <> struct Codec<int>
{
    static QString toText(int value) { return QString::number(value); }
    static std::optional<int> fromText(const QString &text);
};

// Colours as decimal 32-bit values (red in the lowest byte).
template <> struct Codec<std::uint32_t>
{
    static QString toText(std::uint32_t value) { return QString::number(value); }
    static std::optional<std::uint32_t> fromText(const QString &text);
};

// "1" is on; any other stored text is off.
template <> struct Codec<bool>
{
    static QString toText(bool value) { return value ? QStringLiteral("1") : QStringLiteral("0"); }
    static std::optional<bool> fromText(const QString &text);
};

// Binary state in base64.
template <> struct Codec<QByteArray>
{
    static QString toText(const QByteArray &value) { return QString::fromLatin1(value.toBase64()); }
    static std::optional<QByteArray> fromText(const QString &text);
};

template <typename T> struct Setting
{
    QString name;
    QString section = {}; // empty: the top level
    Scope scope = Scope::User;
    T defaultValue = {};
    // A default only known while running; used instead of defaultValue.
    T (*runtimeDefault)() = nullptr;
    // Read when nothing is stored under this name (with that setting's own default).
    const Setting *fallback = nullptr;

    Key key() const { return {name, section, scope}; }
};

// The stored text under a key; empty when nothing is stored. Empty texts are stored for cleared
// values and count as nothing stored.
QString storedText(const Key &key);
void saveText(const Key &key, const QString &text);

template <typename T> T read(const Setting<T> &setting);

// The stored value, when one is stored and usable.
template <typename T> std::optional<T> stored(const Setting<T> &setting)
{
    const QString text = storedText(setting.key());
    if (text.isEmpty())
        return std::nullopt;
    return Codec<T>::fromText(text);
}

// What a read gives when nothing usable is stored.
template <typename T> T defaultOf(const Setting<T> &setting)
{
    if (setting.fallback)
        return read(*setting.fallback);
    if (setting.runtimeDefault)
        return setting.runtimeDefault();
    return setting.defaultValue;
}

template <typename T> T read(const Setting<T> &setting)
{
    if (std::optional<T> value = stored(setting))
        return *value;
    return defaultOf(setting);
}

template <typename T> void save(const Setting<T> &setting, const std::type_identity_t<T> &value)
{
    saveText(setting.key(), Codec<T>::toText(value));
}

// Forgets a value, so the next read gives the default.
template <typename T> void clear(const Setting<T> &setting)
{
    saveText(setting.key(), QString());
}

// The same stored value read with another default.
template <typename T>
Setting<T> withDefault(Setting<T> setting, const std::type_identity_t<T> &defaultValue)
{
    setting.defaultValue = defaultValue;
    setting.runtimeDefault = nullptr;
    setting.fallback = nullptr;
    return setting;
}

// False while another live process writes the user's store; a save would wait for it.
bool userStoreIsFree();

// Copies every value of an INI file (sections as groups) into the user's store.
void copyIniToUser(const QString &iniPath);

// The program's own INI files (contact presets and the like): a missing value reads as "", and
// values are cut at 2047 characters. Writing answers whether it worked.
QString readIni(const QString &section, const QString &key, const QString &filePath);
bool writeIni(const QString &section, const QString &key, const QString &value,
              const QString &filePath);
// The keys of a section, and removing one (answers whether it worked).
QStringList iniKeys(const QString &section, const QString &filePath);
bool removeIni(const QString &section, const QString &key, const QString &filePath);

// ---------------------------------------------------------------- top level, user scope

// Colour scheme 0-6; values above 6 are used as 6.
inline const Setting<int> Theme{.name = QStringLiteral("Theme"), .defaultValue = 6};
// 0 normal, 2 maximised.
inline const Setting<int> WinState{.name = QStringLiteral("WinState"), .defaultValue = 0};
// Twips; the caller's default is a quarter of the window width.
inline const Setting<int> TreeWidth{.name = QStringLiteral("TreeWidth")};
// The main window's size in twips, also stored outside its placement section; never read.
inline const Setting<int> WindowWidth{.name = QStringLiteral("Width")};
inline const Setting<int> WindowHeight{.name = QStringLiteral("Height")};
// The text of the font-name box; never read.
inline const Setting<QString> FontName{.name = QStringLiteral("Font")};
// The path most recently added to the recent files.
inline const Setting<QString> LastFileName{.name = QStringLiteral("LastFileName")};
// The folder the open and import choosers start in (stored with a trailing separator).
inline const Setting<QString> OpenPath{.name = QStringLiteral("OpenPath"),
                                       .runtimeDefault = &programFolder};
// The folder of the last file chosen in the file chooser; never read.
inline const Setting<QString> ImportPath{.name = QStringLiteral("ImportPath")};

// ---------------------------------------------------------------- "Options", user scope

inline const Setting<bool> AutoOpen{.name = QStringLiteral("AutoOpen"),
                                    .section = QStringLiteral("Options"),
                                    .defaultValue = false};
// Dialogs store their placement when they close.
inline const Setting<bool> SaveWinProp{.name = QStringLiteral("SaveWinProp"),
                                       .section = QStringLiteral("Options"),
                                       .defaultValue = true};
// Background colours (red in the lowest byte).
inline const Setting<std::uint32_t> TreeColor{.name = QStringLiteral("TreeColor"),
                                              .section = QStringLiteral("Options"),
                                              .defaultValue = 16777215};
inline const Setting<std::uint32_t> GridColor{.name = QStringLiteral("GridColor"),
                                              .section = QStringLiteral("Options"),
                                              .defaultValue = 16777215};
// The Options dialog offers colours of its own until one is stored; applying it unchanged
// stores them.
inline const Setting<std::uint32_t> OptionsTreeColor = withDefault(TreeColor, 15524823u);
inline const Setting<std::uint32_t> OptionsGridColor = withDefault(GridColor, 14745341u);
// The grid's font size in points.
inline const Setting<int> FontSize{
    .name = QStringLiteral("FontSize"), .section = QStringLiteral("Options"), .defaultValue = 8};
// The prefix of accessory-group designations.
inline const Setting<QString> TbhPrefix{.name = QStringLiteral("TbhPrefix"),
                                        .section = QStringLiteral("Options"),
                                        .defaultValue = QStringLiteral("TILLB")};

// ---------------------------------------------------------------- toolbar layout, user scope

// QMainWindow::saveState().
inline const Setting<QByteArray> BarLayout{.name = QStringLiteral("State"),
                                           .section = QStringLiteral("Layout")};
// How many bars the layout holds; none means the layout was never stored.
inline const Setting<int> BarCount{
    .name = QStringLiteral("Bars"), .section = QStringLiteral("Layout-Summary"), .defaultValue = 0};

// ---------------------------------------------------------------- machine scope

// The program version (major.minor.revision) that last closed.
inline const Setting<QString> Version{.name = QStringLiteral("Version"),
                                      .scope = Scope::Machine,
                                      .defaultValue = QStringLiteral("0")};
// An installation-wide accessory prefix; without one, the user's.
inline const Setting<QString> AccessoriesPrefix{.name = QStringLiteral("AccessoriesPrefix"),
                                                .section = QStringLiteral("Options"),
                                                .scope = Scope::Machine,
                                                .fallback = &TbhPrefix};

// ---------------------------------------------------------------- numbered names

// A window's placement in twips, in its section ("Main", "Options", ...). Height and width have
// no default: the window's own default size is the caller's.
Setting<int> placementTop(const QString &section);
Setting<int> placementLeft(const QString &section);
Setting<int> placementHeight(const QString &section);
Setting<int> placementWidth(const QString &section);

// The width in twips of grid column n: "<n>Col" at the top level.
Setting<int> columnWidth(int column);

// Recent-file slot 0 (most recent) to 3: "<n>RecentFile" in section "Main".
Setting<QString> recentFile(int slot);

} // namespace Settings
