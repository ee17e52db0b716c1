#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "mining/parameter.h"
#include "store/datamodule.h"
#include "store/value.h"
#include "systems/system.h"

// A whole data-mining run without a window: the parameters read, the candidate tables built, the
// range's coups scored in memory and the result rows, the sequences' counts and the run summary
// written. The window and the command line both start it.
namespace spinalyst::mining {

struct Laufauftrag {
    std::int64_t casino = 0;  // `ID_Casino`
    std::string tisch;        // `Tisch`
    store::Date von;          // first day of the range, inclusive
    store::Date bis;          // last day, inclusive
    std::int64_t system = 0;  // the data-mining system (`ID_System_AutoInc`)
    // Changes the parameters as read from `Wahl` and the system before the run (nothing stored).
    std::function<void(Parameter&)> anpassen;
    // Called after each completed coup with the coups completed and the coups of the range;
    // returning true stops the run there (the completed coups' results are written).
    std::function<bool(std::size_t, std::size_t)> fortschritt;
    char dezimaltrenner = '.';
};

struct Laufergebnis {
    enum class Status { Gelaufen, KeinSystem, KeinDataMiningSystem };
    Status status = Status::Gelaufen;
    std::int64_t kombinationen = 0;  // rows of `DM_HSR`
    std::int64_t folgen = 0;         // rows of `DM_Folge`
    std::int64_t zeilen = 0;         // rows of `DM_Gewinn_Verlust`
    std::size_t coupsImBereich = 0;  // coups of the range that have a number
    int tage = 1;                    // `DM_Tage_letztes_DM`
    std::int64_t coups = 1;          // `DM_Coups_letztes_DM`
    bool abgebrochen = false;
};

// The run. A system that does not exist or is not of the data-mining kind is refused with
// nothing changed. The system's `System_Daten` row is read only: it holds after the run what it
// held before.
Laufergebnis Data_Mining_Lauf(store::DataModule_Roulette& dm, const Laufauftrag& auftrag);

}  // namespace spinalyst::mining
