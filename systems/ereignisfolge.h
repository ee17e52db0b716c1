#pragma once

#include "kern/kontext.h"

// The event sequence of the shown instance (`TdbTable_System_Ereignisse`): its last row is the
// attacked event and carries "x"; an earlier row may carry "<>" (the coup must not hit it).
namespace spinalyst::systems {

// Appends an event to the sequence of the current system's shown instance (the event choice in
// mode E, and the popup entry "Aufnehmen"); the new row becomes the last and the only one with
// "x". Does nothing when there is no current system.
void Ereignisfolge_Anfuegen(kern::Kontext& k, int idEreignis);

// Popup "Löschen": deletes the current row of the sequence; the new last row gets the "x".
void MenuItem_Ereignis_LoeschenClick(kern::Kontext& k);

// What the "<>" box shows for the current sequence row: ticked exactly for "<>".
bool CheckBox_ungleich_Ereignis_Angehakt(const kern::Kontext& k);

// The "<>" box was ticked (angehakt) or cleared by the user: writes "<>" into, or clears, the
// current row's mark, unless the sequence is empty or the row is the attacked one. The box's own
// write does not reach the box again (negation-edit guard). Returns what the box must show now.
bool CheckBox_ungleich_EreignisClick(kern::Kontext& k, bool angehakt);

// The data-change hook of a sequence cursor: shows the box for its current row, except while the
// box itself writes.
void DataSource_Tdb_System_EreignisseDataChange(kern::Kontext& k, store::Cursor& folge);

}  // namespace spinalyst::systems
