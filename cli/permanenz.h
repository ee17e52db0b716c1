#pragma once

#include <ostream>
#include <string>
#include <vector>

// The permanence subcommands of spinalyst-cli. Each takes the whole command line (without the
// program name), writes results to out and messages to err, and returns the exit code: 0 done,
// 1 failed, 2 wrong arguments.
namespace spinalyst::cli {

// `casino-add DIR NAME [--random-coups N]`: a new casino as the casino window's "Neu" makes it,
// named NAME, generating N coups a day when N is given; prints its ID_Casino_AutoInc.
int casinoAdd(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// `import DIR CASINO_ID TABLE YYYY-MM [FILE]`: the permanence import of the menu for that casino,
// gaming table and month, without questions; prints the report in English.
int permanenzImport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace spinalyst::cli
