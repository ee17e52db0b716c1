#pragma once

#include <ostream>
#include <string>
#include <vector>

// The systems subcommands of spinalyst-cli. Each takes the whole command line (without the
// program name), writes results to out and messages to err, and returns the exit code: 0 done,
// 1 failed, 2 wrong arguments.
namespace spinalyst::cli {

// `systems DIR`: one line per system, tab-separated: ID_System_AutoInc, kind, chance class,
// number, name; by kind, chance class and number.
int systemListe(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// `system-export DIR SYSTEM_ID`: the system as one JSON document.
int systemExport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// `system-import DIR FILE`: creates a new system from a JSON document and prints its
// ID_System_AutoInc. A document that is refused leaves the database as it was.
int systemImport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace spinalyst::cli
