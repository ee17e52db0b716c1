#pragma once

#include "cli/argumente.h"

// The data-mining run as a subcommand of spinalyst-cli.
namespace spinalyst::cli {

// Adds the subcommand
// `mine DIR CASINO_ID TABLE FROM TO --system ID [--classes C,...] [--sequence-length N]
//  [--sequence-events 11|21|51] [--negate-sequences] [--vary H,S,R] [--all-events H,S,R]
//  [--across]`:
// runs the data-mining search of the data-mining system ID over the coups of the casino, gaming
// table and days FROM to TO without asking, on the search options stored in the program and the
// system's filters, changed for this run only by the options given. Progress goes to stderr; one
// JSON line on stdout:
//   {"summary": {"casino", "table", "from", "to", "days", "coups"}, "combinations": N,
//    "sequences": N, "rows": N, "seconds": S}
// Exit code 0 done, 1 failed (unknown casino or system, a system that is not a data-mining
// system, store error), 2 wrong arguments.
void mineBefehl(CLI::App& programm, Befehle& befehle);

}  // namespace spinalyst::cli
