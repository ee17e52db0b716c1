#pragma once

#include "cli/argumente.h"

// The systems subcommands of spinalyst-cli.
namespace spinalyst::cli {

// Adds these subcommands to the program; none of them creates a database: a DIR without one fails
// with exit code 1.
// `systems DIR`: one line per system, tab-separated: ID_System_AutoInc, kind, chance class,
// number, name; by kind, chance class and number.
// `system-export DIR SYSTEM_ID`: the system as one JSON document.
// `system-import DIR FILE`: creates a new system from a JSON document and prints its
// ID_System_AutoInc. A document that is refused leaves the database as it was.
void systemBefehle(CLI::App& programm, Befehle& befehle);

}  // namespace spinalyst::cli
