#pragma once

#include "kern/kontext.h"

// Results of system evaluations shown with the permanence.
namespace spinalyst::systems {

// Clears the previous system-evaluation results: stakes and results of the coups of the chosen
// day, the result fields of the day rows in the day window (coup counts stay), then recomputes
// the totals row.
void Vorherige_Ergebnisse_Zuruecksetzen(kern::Kontext& k);

}  // namespace spinalyst::systems
