#pragma once

#include "core/CommandId.h"

#include <QKeySequence>

#include <vector>

// When a command can run; one function derives it from the session's state.
enum class Enabling {
    Always,
    DatabaseOpen,   // a database is open
    DatabaseClosed, // one must be closed before another is opened or imported
    Edits,          // the grid holds unsaved edits (or a cell editor is open)
    UndoSteps,      // the grid's history has a step to take back
    RedoSteps,      // ... or one to do again
};

// One row per command: where it appears, how it reads and when it can run.
struct CommandSpec
{
    CommandId id;
    const char *menu;    // object name of its menu; nullptr for the grid's popup only
    const char *caption; // in the menu (the popup builds its own, counting the rows)
    char shortcut;       // Ctrl + this key; 0 for none
    bool separator;      // starts a new group in its menu
    Enabling enabling;
    const char *toolbarCaption = nullptr; // its toolbar button's text, when it has one
    const char *toolTip = nullptr;
    const char *icon = nullptr; // the drawing's name in the icon resources
    const char *keys = nullptr; // a shortcut other than Ctrl + a key, in QKeySequence's form
};

struct MenuSpec
{
    const char *title;
    const char *objectName;
};

struct ToolbarItem
{
    CommandId id;
    bool separator = false;
};

struct ToolbarSpec
{
    const char *title;
    const char *objectName;
    bool textBesideIcon;
    std::vector<ToolbarItem> items;
};

// The state the enabling rules read.
struct CommandState
{
    bool databaseOpen = false;
    bool edited = false;
    bool editing = false; // a cell editor is open: saving commits it first
    bool canUndo = false;
    bool canRedo = false;
};

// Every command, menus in order.
const std::vector<CommandSpec> &commandTable();
const CommandSpec *commandSpec(CommandId id);
// The menu bar's menus in order; "&Visa" gets its toolbar and scheme lists from the window.
const std::vector<MenuSpec> &menuTable();
// The command toolbars ("Standard", "Spara ändringar"; the hidden scheme bar).
const std::vector<ToolbarSpec> &toolbarTable();

// The command's keyboard shortcut; empty for none.
QKeySequence shortcutOf(const CommandSpec &spec);

bool commandEnabled(Enabling rule, const CommandState &state);
