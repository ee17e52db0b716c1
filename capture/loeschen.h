#pragma once

#include "kern/kontext.h"

// Deletion of the permanence of the selected casino and gaming table for the selected day or
// for the whole month of that day: its coups and its day rows.
namespace spinalyst::capture {

// "Permanenzen" / "Löschen" / "Tag": asks, deletes the coups and the day row of the selected
// day, updates the stretch of the selection and runs the selection change. An error ends the
// operation with its own message; statements run before it stay done.
void MenuItem_Permanenzen_Loeschen_TagClick(kern::Kontext& k);

// "Permanenzen" / "Löschen" / "Monat": the same for every day of the selected day's month.
void MenuItem_Permanenzen_Loeschen_MonatClick(kern::Kontext& k);

}  // namespace spinalyst::capture
