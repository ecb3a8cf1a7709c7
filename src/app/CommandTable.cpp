#include "app/CommandTable.h"

const std::vector<MenuItemSpec> &schemeItems()
{
    static const std::vector<MenuItemSpec> items = {
        {1000, "Office XP", 0, false},          {1001, "Standard", 0, false},
        {1002, "Office 2003", 0, false},        {1003, "Normal XP", 0, false},
        {1004, "Visual Studio 2005", 0, false}, {1005, "Office 2007", 0, false},
    };
    return items;
}

const std::vector<MenuSpec> &menuTable()
{
    static const std::vector<MenuSpec> menus = {
        {"&Arkiv",
         "mnuFile",
         {
             {101, "&Öppna databas", 'O', false},
             {102, "Spara so&m", 0, false},
             {103, "St&äng", 0, false},
             {104, "Im&portera artikeldatabas", 0, true},
             {105, "E&xportera databas", 0, false},
             {2000, "", 0, true},
             {2001, "", 0, false},
             {2002, "", 0, false},
             {2003, "", 0, false},
             {100, "&Avsluta", 0, true},
         }},
        {"&Redigera",
         "mnuEdit",
         {
             {202, "Kl&ipp ut", 'X', false},
             {201, "K&opiera", 'C', false},
             {203, "K&listra in", 'V', false},
             {204, "Sök och &ersätt", 'H', true},
             {205, "Fyll &nedåt", 'D', true},
             {206, "Fyll &uppåt", 'U', false},
             {207, "&Fyll nedåt+&1", '1', true},
             {208, "&Fyll nedåt+&2", '2', false},
             {209, "&Fyll nedåt+&3", '3', false},
             {210, "&Fyll nedåt+&4", '4', false},
             {211, "&Fyll nedåt+&5", '5', false},
         }},
        {"&Visa", "mnuView", {}},
        {"Ver&ktyg",
         "mnuTools",
         {
             {955, "Spara ändringar", 'S', true},
             {956, "Ignorera ändringar", 'Z', false},
             {302, "Byt databasens prefix (Bibliotek)", 0, true},
             {303, "Ny artikelgrupp", 0, false},
             {304, "Ny tillbehörsgrupp", 0, false},
             {301, "Al&ternativ", 0, true},
         }},
        {"&Hjälp", "mnuHelp", {{502, "&Om Ravelund...", 0, false}}},
    };
    return menus;
}

const std::vector<ToolbarItemSpec> &standardToolbar()
{
    static const std::vector<ToolbarItemSpec> items = {
        {1101, "Öppna databas", "Öppna Access-databas", false},
        {1103, "Stäng databas", "Stäng Access-databas", false},
        {1102, "Spara som", "Sparar Access-databas med nytt namn", false},
        {1104, "Importera artikeldatabas", "Importerar artikeldatabas från VOLTMARK TDS-fil",
         false},
        {1105, "Exportera artikeldatabas", "Exporterar artikeldatabas till VOLTMARK TDS-fil", true},
    };
    return items;
}

const std::vector<ToolbarItemSpec> &saveToolbar()
{
    static const std::vector<ToolbarItemSpec> items = {
        {1955, "Spara ändringar", "Spara ändringar", false},
        {1956, "Ignorera ändringar", "Ignorera ändringar", false},
    };
    return items;
}
