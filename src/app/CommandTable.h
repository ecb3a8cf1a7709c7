#pragma once

#include <QString>

#include <vector>

// Every command has one identifier; a toolbar twin of a menu command has the identifier + 1000
// and runs the same operation.
namespace CommandId {
enum : int {
    Exit = 100,
    OpenMDB = 101,
    SaveAs = 102,
    CloseMDB = 103,
    OpenTDS = 104,
    SaveTDS = 105,
    Copy = 201,
    Cut = 202,
    Paste = 203,
    Replace = 204,
    FillDown = 205,
    FillUp = 206,
    FillDownStep1 = 207, // 207..211: fill down with step 1..5
    FillDownStep5 = 211,
    Options = 301,
    ChangePrefix = 302,
    NewArticleGroup = 303,
    NewAccessoryGroup = 304,
    About = 502,
    InsertArticle = 901,
    AppendArticle = 902,
    CopyArticle = 903,
    DeleteArticle = 904,
    PasteArticle = 908,
    AppendArticles = 912,
    Save = 955,
    Ignore = 956,
    Scheme0 = 1000, // 1000..1005: colour schemes 0..5 (1006 sets the default scheme 6)
    Scheme6 = 1006,
    ToolbarTwin = 1000,
    RecentFile0 = 2000, // 2000..2003: the recent files
    RecentFile3 = 2003,
};
} // namespace CommandId

struct MenuItemSpec
{
    int id;
    const char *caption;
    char shortcut;  // Ctrl + this key, 0 for none
    bool separator; // starts a new group
};

struct MenuSpec
{
    const char *title;
    const char *objectName;
    std::vector<MenuItemSpec> items;
};

struct ToolbarItemSpec
{
    int id;
    const char *caption;
    const char *toolTip;
    bool separator;
};

// The menus in order. "&Visa" lists only the colour schemes here; the toolbar list beside them
// is built from the toolbars themselves.
const std::vector<MenuSpec> &menuTable();
// The "Standard" and "Spara ändringar" toolbars' buttons.
const std::vector<ToolbarItemSpec> &standardToolbar();
const std::vector<ToolbarItemSpec> &saveToolbar();
// The schemes' captions for 1000..1005.
const std::vector<MenuItemSpec> &schemeItems();

// A twin's identifier maps to the menu command it shares.
inline int menuCommandOf(int id)
{
    if ((id >= 1101 && id <= 1105) || id == 1955 || id == 1956)
        return id - CommandId::ToolbarTwin;
    return id;
}
