#pragma once

#include "cli/argumente.h"

// The permanence evaluation as a subcommand of spinalyst-cli.
namespace spinalyst::cli {

// Adds the subcommand
// `evaluate DIR CASINO_ID TABLE YYYY-MM-DD [--mode H|S|R|A] [--days N] [--coups N]
// [--from-coup ID_ZAHL] [--across]`: the run of the evaluation button on the selection set from
// the arguments (casino, gaming table "T 01" to "T 25", day; then the evaluation settings: mode
// default "H", days default 1, coups default 100, 0 = no limit, "übergreifend" with --across).
// Day mode for --days N ≥ 1; coup mode for --days 0, counting back from --from-coup (default
// the newest coup of the day). Prints one JSON object:
//   {"coups": q, "events": [{"id", "hits", "percent", "expected", "z", "p", "q", "series",
//    "absences"} ...], "classes": [{"class", "series", "absences"} ...],
//    "chi2": {"statistic", "df", "p"}}
// with every catalogue event in identifier order ("hits" null for an empty count, "percent"
// null when no coup was evaluated, decimal point '.'), what a fair wheel gives for its hits (the
// expected hits, z-score, two-sided binomial p-value and the Benjamini–Hochberg adjusted value
// over all events listed; with no coup 0, 0, 1, 1), the series and absence counts of the result
// tables keyed by length, one entry per chance class from the class-total rows, and the
// chi-square test of the 37 numbers (null when no coup was evaluated). The
// stored selection (casino, table, day) is put back afterwards. Exit code 0 done, 1 failed
// (unknown casino, store error), 2 wrong arguments.
void evaluateBefehl(CLI::App& programm, Befehle& befehle);

}  // namespace spinalyst::cli
