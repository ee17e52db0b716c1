#pragma once

#include "cli/argumente.h"

// The system evaluation as a subcommand of spinalyst-cli.
namespace spinalyst::cli {

// Adds the subcommand
// `system-run DIR CASINO_ID TABLE YYYY-MM-DD --system ID [--all] [--days N] [--across]`: the run
// of the "(System)" button on the selection set from the arguments (casino, gaming table, day;
// `System_Tage_Anzahl` = N, default 1; "übergreifend" with --across; all marked systems with
// --all), showing the kind and chance class of the given system, which is the selected one. A
// finding of the system check is printed to stderr as a warning and the run goes on; more than 7
// marked systems with --all refuse the run. Prints one JSON object:
//   {"bets": [[ID_Zahl, ID_System, ID_Instanz, ID_Ereignis, Satz, Gewinn_Verlust], ...],
//    "coups": {"<ID_Zahl>": [Angriff_Satz, Gewinn_Verlust], ...},
//    "days": {"yyyy-mm-dd": [Gewinn_Verlust, Gewinn_Maximal, Verlust_Maximal, Angriffe], ...},
//    "totals": {...}, "summary": {...} or null, "state": {"<ID_System>": [Systemangriff,
//    Systemangriff_Instanz_1, _2, _3], ...}}
// with the bets in table order, the coups of the loaded stretch that hold a stake or a result,
// the result days that have a day row, the totals row and the summary row field by field (the
// summary null in mode "A"), and the run state of the systems that ran. Null fields are null.
// The stored selection (casino, table, day) is put back afterwards. Exit code 0 done, 1 failed
// (unknown casino or system, more than 7 marked systems, store error), 2 wrong arguments.
void systemlaufBefehl(CLI::App& programm, Befehle& befehle);

}  // namespace spinalyst::cli
