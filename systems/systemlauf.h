#pragma once

#include "kern/katalog.h"
#include "kern/kontext.h"
#include "systems/systemauswertung.h"

// The player's system evaluation in the main window: check the selected system, clear the
// previous results, run the engine over the chosen days and store a summary of the evaluation.
namespace spinalyst::systems {

// How the evaluation ended.
struct Systemlauf {
    bool gelaufen = false;  // the engine ran (false: refused by the user or by the 7-system limit)
    // What the engine did; its `fehler` also holds an error that ended the evaluation before or
    // after the engine (the windows show nothing of it, the command line reports it).
    Systemauswertung auswertung;
};

// The button "(System)" and the menu entry Systeme / "Auswertung": the system check (on a
// finding the question "Angriffsereignisse, Systemeinsätze möglichweise fehlerhaft!" /
// "Trotzdem berechnen?", No ends it), instance 1 shown and details mode off, the previous results
// reset, the systems prepared ("Mehr als 7 aktive Systeme!" in mode "A" ends it), the engine over
// the whole stretch, and in mode "E" the summary row of `Systeme_Auswertungen_Ueberblick`
// written. Afterwards the remembered system is current again with its instance 1 shown, also when
// something failed.
Systemlauf BitBtn_Berechnung_System_AuswertungClick(kern::Kontext& k,
                                                    const kern::Ereigniskatalog& katalog);

// The `ID_System_AutoInc` of the system selected in the main window (the current row of the
// systems list), 0 when there is none.
std::int64_t Gewaehltes_System(const kern::Kontext& k);

// Makes the system current again (when it is still listed) and shows its instance 1.
void System_Wieder_Zeigen(kern::Kontext& k, std::int64_t system);

// `System_Tage_Anzahl` changed: posts `Wahl`, clears the previous results and leaves `Wahl` in
// edit state again.
void DBEdit_Tage_SystemChange(kern::Kontext& k);

}  // namespace spinalyst::systems
