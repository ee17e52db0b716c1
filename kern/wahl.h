#pragma once

#include "kern/kontext.h"

namespace spinalyst::kern {

// Posts a pending edit of `Wahl` and puts it into edit again, so that what the bound controls
// typed is stored before an operation reads it.
void Wahl_Uebernehmen(Kontext& k);

}  // namespace spinalyst::kern
