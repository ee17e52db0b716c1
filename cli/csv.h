#pragma once

#include "cli/argumente.h"

// The CSV subcommands of spinalyst-cli.
namespace spinalyst::cli {

// Adds these subcommands to the program:
// `export DIR WHAT [--casino ID] [--table T] [--from D] [--to D] [--part P] [--separator S]
// [--out FILE]`: WHAT is permanence (the coups of a casino, gaming table and range of days),
// events (the event table of the last permanence evaluation), system (the day results, the
// totals or the bets of the last system evaluation, as --part days|totals|bets says) or mining
// (the data-mining result list); the CSV goes to FILE or to stdout. Casino, table and days
// default to the stored selection (for system: the result days up to its day).
// `import-list DIR FILE --casino ID --table T [--first-day D] [--per-day N]`: the number-list
// import for that casino and gaming table; prints the report in English.
void csvBefehle(CLI::App& programm, Befehle& befehle);

}  // namespace spinalyst::cli
