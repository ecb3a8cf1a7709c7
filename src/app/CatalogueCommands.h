#pragma once

class QTextStream;
class Prompter;
struct CommandLine;

// --diff and --merge without a window. Each returns the exit code of diff(1): 0 same or merged
// cleanly, 1 differences or conflicts, 2 an error (told on stderr in Swedish).
namespace CatalogueCommands {

int diff(const CommandLine &commandLine, QTextStream &out, Prompter &prompter);
int merge(const CommandLine &commandLine, QTextStream &out, Prompter &prompter);

} // namespace CatalogueCommands
