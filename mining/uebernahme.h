#pragma once

#include <cstdint>

#include "kern/katalog.h"
#include "kern/kontext.h"

// The take-over of a data-mining result: the chosen row of the result list becomes the
// data-mining system (its filters, its event sequence with the attacked event, its stakes and its
// kind of attack). The system is changed in place; no system is created.
namespace spinalyst::mining {

enum class Uebernahmeergebnis {
    Nichts,       // the result list is not open (or shows no row): nothing happened
    Abgelehnt,    // the user was told why, nothing was changed
    Uebernommen,  // the system holds the pattern; the window closes
};

// `BitBtn_UebernahmeClick`: takes the chosen row of `TdbQuery_DM_Ergebnisse` over into instance 1
// of the data-mining system `system` (`ID_System_AutoInc`):
//  - refused with "Chance Angriff <> Chance System Hauptdialog!" / "Chance attack <> Chance
//    System main dialog!" when `Wahl.DM_Chance` differs from `Wahl.ID_System_Chancen`;
//  - refused with a message, too, when the candidate tables no longer hold the row's filter
//    combination or sequence (a count emptied them since the run), or `DM_Angriff` has no stake
//    row for a step 1 to `DM_Anzahl_Angriffe` of the class and kind;
//  - otherwise, in one transaction: the filters of the `DM_HSR` row with the count ranges and
//    windows of the run's snapshot in `Wahl` (-1 clears a field), the event texts of the filter
//    labels, the sequence filter off; the system's events replaced by the sequence from the
//    oldest position and the attacked event "x"; every numbered stake cleared and steps 1 to
//    `DM_Anzahl_Angriffe` given the stakes of `DM_Angriff` (a missing stake row of the system is
//    added); `Setzart` = `DM_Art_Angriff`. The system cursors are read again afterwards.
// Pending edits of the system tables are posted first. A store error rolls everything back and
// propagates.
Uebernahmeergebnis BitBtn_UebernahmeClick(kern::Kontext& k, std::int64_t system,
                                          const kern::Ereigniskatalog& katalog);

}  // namespace spinalyst::mining
