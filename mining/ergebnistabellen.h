#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "mining/bewertung.h"
#include "mining/parameter.h"
#include "store/database.h"
#include "store/datamodule.h"
#include "store/value.h"

// The tables of a scoring run: the payout table read into memory, and what a run leaves written
// through the bulk writer: the result rows, the sequences' counts and the run summary in `Wahl`.
namespace spinalyst::mining {

// The payout table `DM_Angriff` of the data-mining database; a null win or loss reads as 0.
Auszahlungen Auszahlungen_Laden(store::Database& dmModul);

// Empties `DM_Gewinn_Verlust` and writes the rows of the run (the percentage text with the given
// decimal separator), and sets `Anzahl` of every sequence (sequence i of the run has `ID_Folge`
// ersteFolgeId + i); one transaction.
void Ergebnisse_Schreiben(store::DataModule_Roulette& dm, const Bewertung& bewertung,
                          std::int64_t ersteFolgeId, char dezimaltrenner);

// Where the run was made: the casino and gaming table texts and the two days of the range.
struct Laufangaben {
    std::string casino;
    std::string tisch;
    std::optional<store::Date> von;
    std::optional<store::Date> bis;
};

// The run summary in `Wahl`: casino, table, days, days met and coup counter, and the copies
// (`DM_Haeufigkeit_...`, `DM_Serien_...`, `DM_Rueckstaendigkeit_...`) of the data-mining system's
// count ranges and windows (a null number as 0) with their "before the sequence" flags.
void Zusammenfassung_Schreiben(store::DataModule_Roulette& dm, const Laufangaben& angaben,
                               const Bewertung& bewertung, const Parameter& p);

}  // namespace spinalyst::mining
