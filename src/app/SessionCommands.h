#pragma once

class CatalogueSession;
class CommandRegistry;

// The catalogue's commands: open, close, save as, import, export, save and ignore the grid's
// edits, and the recent files (each action carries its path).
void registerSessionCommands(CommandRegistry &commands, CatalogueSession &session);
