#pragma once

#include "kern/kontext.h"

// The parameter rows of the two individual rules as their windows work them: the menu checks
// that the current system is the right individual system, the empty row created on the first
// opening, and the post on closing. Rule (1) keeps its parameters in `Individuell_1_Daten`
// (`TdbTable_Individuell_Daten_1`), rule (2) in `Individuell_2_Daten`
// (`TdbTable_Individuell_Daten_2`); both cursors are details of `TdbTable_Systeme`, so the window
// edits the row of the current system.
namespace spinalyst::systems {

// The detail cursor of the parameters of rule 1 or 2.
store::TableCursor& Individuell_Daten(store::DataModule_Roulette& dm, int regel);

// Menu "Individuell" / "Satzsignale (1)" and "(2)": true when the current system has
// `ID_System_Nummer` equal to the rule (1 or 2) and `ID_System_Art` 2, so that its window may
// open; otherwise the user is told "Richtiges System "Individuell" wählen!" / "Correct system
// "Individual" selected!?" and the result is false.
bool MenuItem_Individuell_Satzsignale_1Click(kern::Kontext& k);
bool MenuItem_Individuell_Satzsignale_2Click(kern::Kontext& k);

// Showing the window of a rule (1 or 2): when the current system is numbered as the rule and has
// no parameter row yet, a row holding only `ID_System` is appended and posted. The detail cursor
// is left on the system's row.
void Individuell_Fenster_Zeigen(kern::Kontext& k, int regel);

// Closing the window of a rule: a pending edit of the parameter row is posted.
void Individuell_Fenster_Schliessen(kern::Kontext& k, int regel);

}  // namespace spinalyst::systems
