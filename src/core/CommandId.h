#pragma once

// Every command of the window has one identifier: menus, toolbars, shortcuts and the grid's
// popup all run commands by it. The numbers are the ones the product has always used.
enum class CommandId : int {
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
    FillDownStep1 = 207,
    FillDownStep2 = 208,
    FillDownStep3 = 209,
    FillDownStep4 = 210,
    FillDownStep5 = 211,
    Find = 220, // beyond the original command set, as are undo, redo and help
    Undo = 221,
    Redo = 222,
    Help = 223,
    Options = 301,
    ChangePrefix = 302,
    NewArticleGroup = 303,
    NewAccessoryGroup = 304,
    CheckCatalogue = 305, // beyond the original command set, as are the ones below
    CompareCatalogue = 306,
    ExportSheet = 310,
    UpdateFromList = 320,
    About = 502,
    InsertArticle = 901,
    AppendArticle = 902,
    CopyArticle = 903,
    DeleteArticle = 904,
    PasteArticle = 908,
    PasteArticlesAsNew = 909, // beyond the original, as are moving rows from the menu
    AppendArticles = 912,
    MoveRowsUp = 913,
    MoveRowsDown = 914,
    Save = 955,
    Ignore = 956,
    SchemeOfficeXP = 1000,
    SchemeStandard = 1001,
    SchemeOffice2003 = 1002,
    SchemeNormalXP = 1003,
    SchemeVisualStudio2005 = 1004,
    SchemeOffice2007 = 1005,
    RecentFile0 = 2000,
    RecentFile1 = 2001,
    RecentFile2 = 2002,
    RecentFile3 = 2003,
};

// The step of a "fill down +n" command, 0 for any other command.
constexpr int fillDownStep(CommandId id)
{
    const int n = int(id) - int(CommandId::FillDownStep1) + 1;
    return n >= 1 && n <= 5 ? n : 0;
}
constexpr CommandId fillDownStepCommand(int step)
{
    return CommandId(int(CommandId::FillDownStep1) + step - 1);
}

// Colour scheme n (0-5) of the "Färgschema" menu, and back; -1 for any other command.
constexpr int schemeOf(CommandId id)
{
    const int n = int(id) - int(CommandId::SchemeOfficeXP);
    return n >= 0 && n <= 5 ? n : -1;
}
constexpr CommandId schemeCommand(int scheme)
{
    return CommandId(int(CommandId::SchemeOfficeXP) + scheme);
}

// Slot n (0-3) of the recent files, and back; -1 for any other command.
constexpr int recentFileSlot(CommandId id)
{
    const int n = int(id) - int(CommandId::RecentFile0);
    return n >= 0 && n <= 3 ? n : -1;
}
constexpr CommandId recentFileCommand(int slot)
{
    return CommandId(int(CommandId::RecentFile0) + slot);
}
