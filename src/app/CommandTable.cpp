#include "app/CommandTable.h"

namespace {

constexpr const char *kFile = "mnuFile";
constexpr const char *kEdit = "mnuEdit";
constexpr const char *kSchemes = "mnuSchemes";
constexpr const char *kTools = "mnuTools";
constexpr const char *kHelp = "mnuHelp";

} // namespace

const std::vector<CommandSpec> &commandTable()
{
    using C = CommandId;
    using E = Enabling;
    static const std::vector<CommandSpec> table = {
        {C::OpenMDB, kFile, "&Öppna databas", 'O', false, E::DatabaseClosed, "Öppna databas",
         "Öppna Access-databas", "open-database"},
        {C::SaveAs, kFile, "Spara so&m", 0, false, E::DatabaseOpen, "Spara som",
         "Sparar Access-databas med nytt namn", "save-as"},
        {C::CloseMDB, kFile, "St&äng", 0, false, E::DatabaseOpen, "Stäng databas",
         "Stäng Access-databas", "close-database"},
        {C::OpenTDS, kFile, "Im&portera artikeldatabas", 0, true, E::DatabaseClosed,
         "Importera artikeldatabas", "Importerar artikeldatabas från VOLTMARK TDS-fil", "import"},
        {C::SaveTDS, kFile, "E&xportera databas", 0, false, E::DatabaseOpen,
         "Exportera artikeldatabas", "Exporterar artikeldatabas till VOLTMARK TDS-fil", "export"},
        {C::ExportSheet, kFile, "Exportera till &kalkylblad...", 0, false, E::DatabaseOpen},
        {C::UpdateFromList, kFile, "&Uppdatera från lista...", 0, false, E::DatabaseOpen},
        {C::RecentFile0, kFile, "", 0, true, E::Always},
        {C::RecentFile1, kFile, "", 0, false, E::Always},
        {C::RecentFile2, kFile, "", 0, false, E::Always},
        {C::RecentFile3, kFile, "", 0, false, E::Always},
        {C::Exit, kFile, "&Avsluta", 0, true, E::Always},

        {C::Undo, kEdit, "&Ångra", 0, false, E::UndoSteps, nullptr, nullptr, nullptr,
         "Alt+Backspace"},
        {C::Redo, kEdit, "&Gör om", 0, false, E::RedoSteps, nullptr, nullptr, nullptr, "Ctrl+Y"},
        {C::Cut, kEdit, "Kl&ipp ut", 'X', true, E::DatabaseOpen},
        {C::Copy, kEdit, "K&opiera", 'C', false, E::DatabaseOpen},
        {C::Paste, kEdit, "K&listra in", 'V', false, E::DatabaseOpen},
        {C::Replace, kEdit, "Sök och &ersätt", 'H', true, E::DatabaseOpen},
        {C::FillDown, kEdit, "Fyll &nedåt", 'D', true, E::DatabaseOpen},
        {C::FillUp, kEdit, "Fyll &uppåt", 'U', false, E::DatabaseOpen},
        {C::FillDownStep1, kEdit, "&Fyll nedåt+&1", '1', true, E::DatabaseOpen},
        {C::FillDownStep2, kEdit, "&Fyll nedåt+&2", '2', false, E::DatabaseOpen},
        {C::FillDownStep3, kEdit, "&Fyll nedåt+&3", '3', false, E::DatabaseOpen},
        {C::FillDownStep4, kEdit, "&Fyll nedåt+&4", '4', false, E::DatabaseOpen},
        {C::FillDownStep5, kEdit, "&Fyll nedåt+&5", '5', false, E::DatabaseOpen},
        {C::Find, kEdit, "&Sök i katalogen...", 'F', true, E::DatabaseOpen},

        {C::SchemeOfficeXP, kSchemes, "&Office XP", 0, false, E::Always},
        {C::SchemeStandard, kSchemes, "&Standard", 0, false, E::Always},
        {C::SchemeOffice2003, kSchemes, "Office &2003", 0, false, E::Always},
        {C::SchemeNormalXP, kSchemes, "&Normal XP", 0, false, E::Always},
        {C::SchemeVisualStudio2005, kSchemes, "&Visual Studio 2005", 0, false, E::Always},
        {C::SchemeOffice2007, kSchemes, "Office 200&7", 0, false, E::Always},

        {C::Save, kTools, "&Spara ändringar", 'S', true, E::Edits, "Spara ändringar",
         "Spara ändringar", "save-changes"},
        {C::Ignore, kTools, "&Ignorera ändringar", 'Z', false, E::Edits, "Ignorera ändringar",
         "Ignorera ändringar", "discard-changes"},
        {C::ChangePrefix, kTools, "Byt databasens &prefix (Bibliotek)", 0, true, E::DatabaseOpen},
        {C::NewArticleGroup, kTools, "Ny &artikelgrupp", 0, false, E::DatabaseOpen},
        {C::NewAccessoryGroup, kTools, "Ny till&behörsgrupp", 0, false, E::DatabaseOpen},
        {C::CheckCatalogue, kTools, "&Kontrollera katalog", 0, true, E::DatabaseOpen},
        {C::CompareCatalogue, kTools, "&Jämför med katalog...", 0, false, E::DatabaseOpen},
        {C::Options, kTools, "Al&ternativ", 0, true, E::Always},

        {.id = C::Help,
         .menu = kHelp,
         .caption = "&Användarhandbok",
         .shortcut = 0,
         .separator = false,
         .enabling = E::Always,
         .keys = "F1"},
        {C::About, kHelp, "&Om Ravelund...", 0, false, E::Always},

        // The grid's row commands, in the menu too so the keyboard reaches them; the popup
        // builds its own captions, counting the rows.
        {C::InsertArticle, kEdit, "Infoga ar&tiklar", 0, true, E::DatabaseOpen, nullptr, nullptr,
         nullptr, "Ctrl++"},
        {C::AppendArticle, kEdit, "&Addera artiklar", 0, false, E::DatabaseOpen, nullptr, nullptr,
         nullptr, "Ctrl+Shift++"},
        {C::AppendArticles, kEdit, "Addera &valfritt antal artiklar...", 0, false, E::DatabaseOpen},
        {C::DeleteArticle, kEdit, "&Radera artiklar", 0, false, E::DatabaseOpen, nullptr, nullptr,
         nullptr, "Ctrl+-"},
        {C::CopyArticle, kEdit, "&Kopiera artiklar", 0, true, E::DatabaseOpen, nullptr, nullptr,
         nullptr, "Ctrl+Shift+C"},
        {C::PasteArticle, kEdit, "Klistra in ko&pierade artiklar", 0, false, E::DatabaseOpen,
         nullptr, nullptr, nullptr, "Ctrl+Shift+V"},
        {C::PasteArticlesAsNew, kEdit, "Klistra in som n&ya artiklar", 0, false, E::DatabaseOpen,
         nullptr, nullptr, nullptr, "Ctrl+Alt+V"},
        {C::MoveRowsUp, kEdit, "Flytta ra&der uppåt", 0, true, E::DatabaseOpen, nullptr, nullptr,
         nullptr, "Ctrl+Alt+Up"},
        {C::MoveRowsDown, kEdit, "Flytta rader &nedåt", 0, false, E::DatabaseOpen, nullptr, nullptr,
         nullptr, "Ctrl+Alt+Down"},
    };
    return table;
}

const CommandSpec *commandSpec(CommandId id)
{
    for (const CommandSpec &spec : commandTable()) {
        if (spec.id == id)
            return &spec;
    }
    return nullptr;
}

const std::vector<MenuSpec> &menuTable()
{
    static const std::vector<MenuSpec> menus = {
        {"&Arkiv", kFile},    {"&Redigera", kEdit}, {"&Visa", "mnuView"},
        {"Ver&ktyg", kTools}, {"&Hjälp", kHelp},
    };
    return menus;
}

const std::vector<ToolbarSpec> &toolbarTable()
{
    using C = CommandId;
    static const std::vector<ToolbarSpec> bars = {
        {"Standard",
         "tbStandard",
         false,
         {{C::OpenMDB}, {C::CloseMDB}, {C::SaveAs}, {C::OpenTDS}, {C::SaveTDS, true}}},
        {"&Färgschema",
         "tbSchemes",
         false,
         {{C::SchemeOfficeXP},
          {C::SchemeStandard},
          {C::SchemeOffice2003},
          {C::SchemeNormalXP},
          {C::SchemeVisualStudio2005},
          {C::SchemeOffice2007}}},
        {"Spara ändringar", "tbSave", true, {{C::Save}, {C::Ignore}}},
    };
    return bars;
}

QKeySequence shortcutOf(const CommandSpec &spec)
{
    if (spec.keys)
        return QKeySequence(QString::fromLatin1(spec.keys), QKeySequence::PortableText);
    if (spec.shortcut)
        return QKeySequence(Qt::CTRL | Qt::Key(spec.shortcut));
    return {};
}

bool commandEnabled(Enabling rule, const CommandState &state)
{
    switch (rule) {
    case Enabling::Always:
        return true;
    case Enabling::DatabaseOpen:
        return state.databaseOpen;
    case Enabling::DatabaseClosed:
        return !state.databaseOpen;
    case Enabling::Edits:
        return state.databaseOpen && (state.edited || state.editing);
    case Enabling::UndoSteps:
        return state.databaseOpen && (state.canUndo || state.editing);
    case Enabling::RedoSteps:
        return state.databaseOpen && state.canRedo;
    }
    return false;
}
