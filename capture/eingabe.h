#pragma once

#include "kern/kontext.h"

// Number entry, the coup about to be played, day rows and the totals row of the day window.
namespace spinalyst::capture {

// Installs the delete upkeep on the permanence cursor: after a coup is deleted (while the upkeep
// is armed) the day row's coup count and the totals are recomputed. The Kontext must outlive
// the data module's cursors.
void Permanenz_Hooks_Installieren(kern::Kontext& k);

// "Permanenzen" / "Eingabe": starts the number-entry mode; a day whose last coup has a number
// gets the coup about to be played (not when the selection names no stored casino).
void MenuItem_Permanenzen_EingabeClick(kern::Kontext& k);

// Stores `Wahl.Permanenz_Zahl` (0 to 36; anything else stores nothing) in the coup on which the
// permanence cursor stands, moves on (appending the next coup about to be played), updates the
// day row's coup count and the totals, and clears the number field. When the selection names no
// stored casino nothing is stored: the number is dropped and the player is told why.
void BitBtn_Permanenz_ZahlClick(kern::Kontext& k);

// Ends the number-entry mode: the coup about to be played is removed when it has no number, the
// cursor returns to the coup it stood on. Never fails visibly.
void Deaktiviere_manuellen_Eingabemodus(kern::Kontext& k);

// The delete upkeep (run by the after-delete hook of the permanence cursor).
void TdbTable_PermanenzAfterDelete(kern::Kontext& k);

// The number of coups of the selected day that have a number (from the permanence cursor).
int Coups_mit_Zahl(kern::Kontext& k);

// Positions the day-row cursor on the day row of the selection, looked up by its key also when
// the day lies outside the day window; appends it (and updates the stretch) when there is none.
// The cursor's filter is on again afterwards; returns with the cursor on that row when the day
// lies inside the window.
void Tageszeile_Pflegen(kern::Kontext& k, int coupsAnzahl);

}  // namespace spinalyst::capture
