#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "kern/katalog.h"
#include "kern/strecke.h"
#include "mining/bewertung.h"
#include "mining/ergebnistabellen.h"
#include "mining/kandidaten.h"
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
// held before. The steps below in a row: Data_Mining_Laden, Kandidaten_Schreiben,
// Data_Mining_Bewerten, Data_Mining_Schreiben.
Laufergebnis Data_Mining_Lauf(store::DataModule_Roulette& dm, const Laufauftrag& auftrag);

// What a run works on, read before the scoring and owned here, so the scoring needs no database.
struct Laufdaten {
    Laufergebnis::Status status = Laufergebnis::Status::Gelaufen;
    Parameter parameter;              // as read and adjusted
    std::vector<kern::Coup> bereich;  // the coups of the range that have a number
    kern::Ereigniskatalog katalog;
    Auszahlungen auszahlungen;
    Laufangaben angaben;  // casino and table texts, the range
    char dezimaltrenner = '.';
    // Filled by Kandidaten_Schreiben.
    std::vector<HSR_Kombination> kombinationen;
    std::vector<Folge> folgen;
    std::int64_t ersteFolgeId = 1;
};

// Step 1, reading only: the system checked, the parameters read and adjusted, the range, the
// catalogue and the payouts loaded. A refused run has its status set and nothing else.
Laufdaten Data_Mining_Laden(store::DataModule_Roulette& dm, const Laufauftrag& auftrag);

// Step 2: `DM_HSR` and `DM_Folge` emptied and written, the combinations and sequences built.
void Kandidaten_Schreiben(store::DataModule_Roulette& dm, Laufdaten& daten);

// Step 3, on any thread, no database: the scoring (Bewerten, with `faeden` threads, 0 both
// cores). `fortschritt` as in Laufauftrag.
Bewertung Data_Mining_Bewerten(const Laufdaten& daten,
                               const std::function<bool(std::size_t, std::size_t)>& fortschritt,
                               std::size_t faeden = 0);

// Step 4: the rows, the sequences' counts and the run summary written (also after a cancel:
// the summary then counts the completed coups).
Laufergebnis Data_Mining_Schreiben(store::DataModule_Roulette& dm, const Laufdaten& daten,
                                   const Bewertung& bewertung);

// Step 3 on a thread of its own, so that a window stays responsive: started at construction,
// progress and cancel through atomics, the result taken once it is done. The destructor cancels
// and waits.
class Hintergrundbewertung {
  public:
    explicit Hintergrundbewertung(const Laufdaten& daten, std::size_t faeden = 0);
    ~Hintergrundbewertung();
    Hintergrundbewertung(const Hintergrundbewertung&) = delete;
    Hintergrundbewertung& operator=(const Hintergrundbewertung&) = delete;

    std::size_t erledigt() const { return erledigt_.load(std::memory_order_relaxed); }
    std::size_t coups() const { return coups_; }
    bool fertig() const { return fertig_.load(std::memory_order_acquire); }
    // Stops the scoring after the coup in progress.
    void abbrechen() { abbrechen_.store(true, std::memory_order_relaxed); }
    bool abgebrochen() const { return abbrechen_.load(std::memory_order_relaxed); }
    // Waits for the end and hands out the result (once); rethrows what the scoring threw.
    Bewertung ergebnis();

  private:
    std::size_t coups_;
    std::atomic<std::size_t> erledigt_{0};
    std::atomic<bool> abbrechen_{false};
    std::atomic<bool> fertig_{false};
    Bewertung bewertung_;
    std::exception_ptr fehler_;
    std::thread faden_;
};

}  // namespace spinalyst::mining
