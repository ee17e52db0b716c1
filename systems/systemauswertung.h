#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "kern/katalog.h"
#include "kern/kontext.h"
#include "store/database.h"
#include "systems/systemmodell.h"

// The system evaluation engine over the stored permanence: loads the stretch of the selected
// casino and gaming table and the systems to run, walks them (systems/durchlauf.h) and writes the
// bets, the coup bookings, the day results, the day totals and the systems' run state in one
// transaction, then recomputes the totals row.
namespace spinalyst::systems {

// The settings of one run.
struct Laufparameter {
    // 'E': the selected system alone; 'A': every system of the shown kind and chance class
    // marked "x" in `System_Online_Aktiv`, and the selected system.
    char modus = 'E';
    bool uebergreifend = false;     // days overlapping: the day before is loaded as history
    bool nurGewaehlterTag = false;  // the chosen date alone; no day result at the end
    bool nurLetzterCoup = false;    // one online step (only with nurGewaehlterTag)
    std::int64_t system = 0;        // `ID_System_AutoInc` of the selected system
};

// What a run did.
struct Systemauswertung {
    std::size_t coups = 0;     // coups processed
    bool abgebrochen = false;  // ended by Escape
    // The systems that ran, in run order.
    std::vector<std::int64_t> systeme;
    // An error ended the run early (what was computed until then is written); the windows show
    // nothing of it, the command line reports it.
    std::optional<std::string> fehler;
};

// The systems a run takes from those of the kind and chance class shown (`Wahl.ID_System_Art`,
// `ID_System_Chancen`), in the order of their numbers: in mode 'E' the selected one (none when it
// is not among them), in mode 'A' those marked "x" and the selected one.
std::vector<std::int64_t> Systeme_Auswaehlen(store::Database& datenbank, int art, int chancen,
                                             char modus, std::int64_t gewaehlt);

// The systems with these identifiers, in this order, with their instances' data rows, event
// sequences and stakes. An identifier without a `Systeme` row is left out.
std::vector<System> Systeme_Laden(store::Database& datenbank, std::span<const std::int64_t> ids);

// Runs the engine (`Systemauswertung_Berechnen`). The stretch is the chosen date D (the date
// picker) back to D - n (n = `Wahl.System_Tage_Anzahl`, 0 for a chosen day alone), with the day
// before when days overlap. A run over a whole stretch first empties the bets and clears the
// stakes and results of every coup of the loaded stretch; an online step keeps the stored bets and
// day totals. Escape shows "Berechnung abgebrochen!" / "Calculation is canceled!" once and ends
// the walk; what was computed is written. Store errors end the run quietly (Systemauswertung::
// fehler), keeping what was written. The bulk-write flag is on meanwhile; the engine must not be
// entered again while it runs (the windows disable what would).
Systemauswertung Systemauswertung_Berechnen(kern::Kontext& k, const kern::Ereigniskatalog& katalog,
                                            const Laufparameter& parameter);

// Posts pending edits of `Systeme`, `System_Daten`, `System_Ereignisse` and `System_Angriffe`.
void Systemaenderungen_Speichern(kern::Kontext& k);

// Before a run over a whole stretch: posts pending system edits and, unless the attack state is
// to be kept, sets every shown system idle (`Systemangriff` 0, its instances "f"). Returns how
// many shown systems are marked "x" in `System_Online_Aktiv`.
int Systeme_Vorbereiten(kern::Kontext& k, bool zustandBehalten);

}  // namespace spinalyst::systems
