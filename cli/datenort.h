#pragma once

#include "cli/argumente.h"

// Where the desktop program keeps its databases, as a subcommand of spinalyst-cli.
namespace spinalyst::cli {

// Adds the subcommand `where [--program-dir DIR] [--data-dir DIR]`: prints on one line the
// directory of the database files that the desktop program in the program directory (that of
// this executable unless --program-dir names another) would use, decided as the desktop program
// decides: --data-dir, the user's data directory for an installed program, the program
// directory when it can be written, else the user's data directory. Creates and writes nothing.
// Exit code 0; 1 when the user's data directory is needed and neither XDG_DATA_HOME nor HOME
// is set.
void whereBefehl(CLI::App& programm, Befehle& befehle);

}  // namespace spinalyst::cli
