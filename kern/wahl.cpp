#include "kern/wahl.h"

namespace spinalyst::kern {

void Wahl_Uebernehmen(Kontext& k) {
    auto& w = k.dm.TdbTable_Wahl;
    if (w.isEditing()) {
        w.post();
        w.edit();
    }
}

}  // namespace spinalyst::kern
