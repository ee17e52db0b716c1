#pragma once

#include <string>

#include "kern/kontext.h"

// Taking a catalogue event into the current system: as the filter event of the frequency,
// series or absence filter, or as the next event of the event sequence. The current system,
// instance and data row are those the data module's system cursors stand on (`TdbTable_Systeme`
// with its details `TdbTable_System_Daten` and `TdbTable_System_Ereignisse`).
namespace spinalyst::events {

// "Aufnahme" of the event choice window (`BitBtn_Aufnahme_EreignisClick`) in the mode
// Sitzung::ereigniswahl_modus ('H', 'S', 'R' or 'E'; any other mode changes nothing) with the
// event that is the current row of the filtered `TdbTable_Ereignisse` (identifier 0 and an
// empty text when it shows none). aufnahme is the tick box `CheckBox_Aufnahme_Ausgang`:
//  - H, S, R ticked: the filter's event identifier and its numbers text (current language)
//    written into `System_Daten`; unticked: the whole filter removed (event, bounds and windows
//    emptied, its flags "f"), the other filters untouched.
//  - E ticked: the event appended to the sequence of the shown instance
//    (systems::Ereignisfolge_Anfuegen; the "x" of the attacked event moves to it). E unticked: the
//    sequence stays, the sequence filter of `System_Daten` is removed.
// The window closes afterwards; that is the window's part.
void BitBtn_Aufnahme_EreignisClick(kern::Kontext& k, bool aufnahme);

// Popup "Aufnehmen" of the event-sequence and absence lists (`MenuItem_Ereignis_AufnehmenClick`):
// the event choice in mode 'E', ticked, without the window, with the event of the current row of
// the frequency list (`TdbQuery_Ereignisse_Haeufigkeit`). "Löschen" is
// systems::MenuItem_Ereignis_LoeschenClick.
void MenuItem_Ereignis_AufnehmenClick(kern::Kontext& k);

}  // namespace spinalyst::events
