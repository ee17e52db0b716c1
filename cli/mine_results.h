#pragma once

#include "cli/argumente.h"

// The result list of the last data-mining run as a subcommand of spinalyst-cli.
namespace spinalyst::cli {

// Adds the subcommand
// `mine-results DIR [--chance C] [--kind E|K|P] [--length J] [--order W|%] [--min G] [--limit N]`:
// prints the result list of the last run as the data-mining window shows it for that selection
// (the selection stored in the program for every option not given; nothing is stored) as CSV
// (RFC 4180, CRLF line ends) with the header
//   pattern,count,successes,percentage,win_loss
// and one line per row: the pattern in words (filters; sequence from the oldest position; the
// attacked event), the attacks, the successful ones, their share ("57.1%") and the win/loss in
// units. Chance 0 lists every event. Exit code 0 done, 1 unusable files, 2 wrong arguments.
void mineResultsBefehl(CLI::App& programm, Befehle& befehle);

}  // namespace spinalyst::cli
