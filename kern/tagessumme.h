#pragma once

#include "kern/kontext.h"

namespace spinalyst::kern {

// Recomputes the totals row (`Permanenz_Tag_Zusammenfassung_G`) of the selected casino and gaming
// table from the day rows of the day window, creating it when there is none.
void Tag_Gesamt_Berechnen(Kontext& k);

}  // namespace spinalyst::kern
