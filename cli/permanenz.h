#pragma once

#include "cli/argumente.h"

// The permanence subcommands of spinalyst-cli.
namespace spinalyst::cli {

// Adds these subcommands to the program:
// `casino-add DIR NAME [--random-coups N]`: a new casino as the casino window's "Neu" makes it,
// named NAME, generating N coups a day when N is given; prints its ID_Casino_AutoInc.
// `import DIR CASINO_ID TABLE YYYY-MM [FILE]`: the permanence import of the menu for that casino,
// gaming table and month, without questions; prints the report in English. FILE is given for a
// casino whose coups are recorded, and only for such a casino.
void permanenzBefehle(CLI::App& programm, Befehle& befehle);

}  // namespace spinalyst::cli
