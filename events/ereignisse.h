#pragma once

#include "kern/kontext.h"

// The operations of the event lists: the chance-class choice of the evaluation and the events
// overview window.
namespace spinalyst::events {

// Change of the evaluation chance class (`DBLookupComboBox_Chancen_PermanenzCloseUp`; the lists
// of the events overview and of the event choice call it too): the display mode
// `Auswertung_H_S_R` := "H" and `Wahl` posted, the evaluation display rebuilt
// (Ansicht::auswertungAnzeigen), the chance-class filter of `Ereignisse` applied afresh and
// `Ereignisse` moved to its first visible row. Expects the list to have written the new
// `ID_Chancen_Auswertung` into `Wahl` (edit buffer or posted).
void DBLookupComboBox_Chancen_PermanenzCloseUp(kern::Kontext& k);

// Events overview window: on show `Ereignis_Zahl` becomes a detail of `Ereignisse` (by
// `ID_Ereignis`), so its grid lists the members of the selected event, and both cursors are
// refreshed; on close the link is removed again, so `Ereignis_Zahl` shows all rows.
void Ereignisse_Fenster_Zeigen(kern::Kontext& k);
void Ereignisse_Fenster_Schliessen(kern::Kontext& k);

}  // namespace spinalyst::events
