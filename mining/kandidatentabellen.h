#pragma once

#include <cstdint>

#include "mining/parameter.h"
#include "store/datamodule.h"

// The candidate tables of the data-mining database: `DM_HSR` and `DM_Folge` emptied and, unless
// only counted, filled with the combinations and sequences of the parameters in their order, in
// one transaction each through the bulk writer; the cursors over them are read again after the
// commit.
namespace spinalyst::mining {

// Empties `DM_HSR`; unless `nurZaehlen`, writes one row per combination (`ID_HSR` 1, 2, ..., then
// per filter its event and its flags "t"/"f"). Returns the number of combinations either way.
std::int64_t HSR_Kombinationen_Schreiben(store::DataModule_Roulette& dm, const Parameter& p,
                                         bool nurZaehlen);

// What writing the sequences did.
struct Folgen_Geschrieben {
    std::int64_t anzahl = 0;  // number of sequences (also when only counted)
    // `ID_Folge` the table gave the first sequence written (0 when none was written); the table
    // numbers the rows of one writing consecutively, so sequence i of Folgen_Bilden has
    // ersteId + i. The numbers go on from earlier runs: an emptied table never reuses them.
    std::int64_t ersteId = 0;

    bool operator==(const Folgen_Geschrieben&) const = default;
};

// Empties `DM_Folge`; unless `nurZaehlen`, appends one row per sequence: its kind code, kind
// text (cut to the field's 40 characters), the codes of positions 1 to 5, `Anzahl` 0 and
// `Geprueft` empty.
Folgen_Geschrieben Folgen_Schreiben(store::DataModule_Roulette& dm, const Parameter& p,
                                    bool nurZaehlen);

}  // namespace spinalyst::mining
