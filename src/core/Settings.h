#pragma once

#include "core/PickFile.h"

#include <QString>
#include <QStringList>

// The settings store: every value is text, kept per user (and a few per machine) under the
// organisation "BRAX" and application "Ravelund". A section is a group; an empty section is the
// top level. No cache: every read goes to the store.
//
// Every stored value is declared here once, with its section, scope and default. Users already
// have values stored under these names, so names, sections and text formats never change.
namespace Settings {

enum class Scope { User, Machine };

struct Setting
{
    QString name;
    QString section = {}; // empty: the top level
    Scope scope = Scope::User;
    QString defaultValue = {};
    // A default only known while running; used instead of defaultValue.
    QString (*runtimeDefault)() = nullptr;
    // Read when nothing is stored under this name (with that setting's own default).
    const Setting *fallback = nullptr;
};

// The stored text; the default when nothing (or an empty text) is stored.
QString read(const Setting &setting);
// What a read gives when nothing is stored.
QString defaultOf(const Setting &setting);
// A stored number (text), rounded to a whole one. When nothing usable is stored: the setting's
// default, or the caller's for settings whose default depends on the caller.
int readNumber(const Setting &setting);
int readNumber(const Setting &setting, int defaultValue);
void save(const Setting &setting, const QString &value);
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

// The same stored value read with another default.
inline Setting withDefault(Setting setting, const QString &defaultValue)
{
    setting.defaultValue = defaultValue;
    setting.runtimeDefault = nullptr;
    setting.fallback = nullptr;
    return setting;
}

// ---------------------------------------------------------------- top level, user scope

// Colour scheme 0-6; values above 6 are used as 6.
inline const Setting Theme{.name = QStringLiteral("Theme"), .defaultValue = QStringLiteral("6")};
// 0 normal, 2 maximised.
inline const Setting WinState{.name = QStringLiteral("WinState"),
                              .defaultValue = QStringLiteral("0")};
// Twips; the caller's default is a quarter of the window width.
inline const Setting TreeWidth{.name = QStringLiteral("TreeWidth")};
// The main window's size in twips, also stored outside its placement section; never read.
inline const Setting WindowWidth{.name = QStringLiteral("Width")};
inline const Setting WindowHeight{.name = QStringLiteral("Height")};
// The text of the font-name box; never read.
inline const Setting FontName{.name = QStringLiteral("Font")};
// The path most recently added to the recent files.
inline const Setting LastFileName{.name = QStringLiteral("LastFileName")};
// The folder the open and import choosers start in (stored with a trailing separator).
inline const Setting OpenPath{.name = QStringLiteral("OpenPath"), .runtimeDefault = &programFolder};
// The folder of the last file chosen in the file chooser; never read.
inline const Setting ImportPath{.name = QStringLiteral("ImportPath")};

// ---------------------------------------------------------------- "Options", user scope

inline const Setting AutoOpen{.name = QStringLiteral("AutoOpen"),
                              .section = QStringLiteral("Options"),
                              .defaultValue = QStringLiteral("0")};
// "1": dialogs store their placement when they close.
inline const Setting SaveWinProp{.name = QStringLiteral("SaveWinProp"),
                                 .section = QStringLiteral("Options"),
                                 .defaultValue = QStringLiteral("1")};
// Background colours as decimal 32-bit values (red in the lowest byte).
inline const Setting TreeColor{.name = QStringLiteral("TreeColor"),
                               .section = QStringLiteral("Options"),
                               .defaultValue = QStringLiteral("16777215")};
inline const Setting GridColor{.name = QStringLiteral("GridColor"),
                               .section = QStringLiteral("Options"),
                               .defaultValue = QStringLiteral("16777215")};
// The Options dialog offers colours of its own until one is stored; applying it unchanged
// stores them.
inline const Setting OptionsTreeColor = withDefault(TreeColor, QStringLiteral("15524823"));
inline const Setting OptionsGridColor = withDefault(GridColor, QStringLiteral("14745341"));
// The grid's font size in points.
inline const Setting FontSize{.name = QStringLiteral("FontSize"),
                              .section = QStringLiteral("Options"),
                              .defaultValue = QStringLiteral("8")};
// The prefix of accessory-group designations.
inline const Setting TbhPrefix{.name = QStringLiteral("TbhPrefix"),
                               .section = QStringLiteral("Options"),
                               .defaultValue = QStringLiteral("TILLB")};

// ---------------------------------------------------------------- toolbar layout, user scope

// QMainWindow::saveState() in base64.
inline const Setting BarLayout{.name = QStringLiteral("State"),
                               .section = QStringLiteral("Layout")};
// How many bars the layout holds; none means the layout was never stored.
inline const Setting BarCount{.name = QStringLiteral("Bars"),
                              .section = QStringLiteral("Layout-Summary"),
                              .defaultValue = QStringLiteral("0")};

// ---------------------------------------------------------------- machine scope

// The program version (major.minor.revision) that last closed.
inline const Setting Version{.name = QStringLiteral("Version"),
                             .scope = Scope::Machine,
                             .defaultValue = QStringLiteral("0")};
// An installation-wide accessory prefix; without one, the user's.
inline const Setting AccessoriesPrefix{.name = QStringLiteral("AccessoriesPrefix"),
                                       .section = QStringLiteral("Options"),
                                       .scope = Scope::Machine,
                                       .fallback = &TbhPrefix};

// ---------------------------------------------------------------- numbered names

// A window's placement in twips, in its section ("Main", "Options", ...). Height and width take
// the window's own default size, which the caller passes.
Setting placementTop(const QString &section);
Setting placementLeft(const QString &section);
Setting placementHeight(const QString &section);
Setting placementWidth(const QString &section);

// The width in twips of grid column n: "<n>Col" at the top level.
Setting columnWidth(int column);

// Recent-file slot 0 (most recent) to 3: "<n>RecentFile" in section "Main".
Setting recentFile(int slot);

} // namespace Settings
