#pragma once

#include "cli/argumente.h"

// Online play as a subcommand of spinalyst-cli.
namespace spinalyst::cli {

// Adds the subcommand
// `online DIR CASINO_ID TABLE YYYY-MM-DD --system ID [--all] [--across] [--] [NUMBER ...]`: opens
// online play as the menu does on the selection set from the arguments (casino, gaming table,
// day; all marked systems with --all, days overlapping with --across), showing the kind and
// chance class of the given system, which is the selected one; enters each NUMBER as the online
// window's entry does, then closes it as the window's close does. After the opening and after
// every NUMBER (also one that was not stored: below 0 or above 36) it prints one JSON line
//   {"coup": ID_Zahl or null, "stake": Angriff_Satz or null,
//    "signals": [[ID_System, ID_Instanz, ID_Ereignis, Satz], ...]}
// with the coup about to be played (null when the day does not end with one), the total to
// place on it, and its bets in table order. Numbers after `--` may be negative. The stored
// selection (casino, table, day) is put back afterwards. Exit code 0 done, 1 failed (unknown
// casino or system, more than 7 marked systems with --all, store error), 2 wrong arguments.
void onlineBefehl(CLI::App& programm, Befehle& befehle);

}  // namespace spinalyst::cli
