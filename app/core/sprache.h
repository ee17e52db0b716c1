#pragma once

#include "kern/sitzung.h"
#include "store/datamodule.h"

namespace spinalyst::app {

// The part of the language switch that works on the data. For each of the three filter events
// of the current `System_Daten` row that is found in `TdbQuery_Ereignisse`, its info text is
// rewritten with the event's numbers text in `sprache` (the info field is made writable for that
// post only). Events not found, or not set, keep their text. All three info fields are
// read-only afterwards. Then
// the event sequences and the bets are re-read so that their calculated event names follow the
// language. Cursors that are closed are left alone. Store errors propagate.
void Systemtexte_Sprache_Anwenden(store::DataModule_Roulette& dm, store::Sprache sprache);

// Start-up values of the system selection: `ID_System_Art`, `ID_System_Chancen` and
// `ID_Instanz` of `Wahl` become 1, and the row is posted. Does nothing while `Wahl` is closed.
void Systemwahl_Startwerte(store::TableCursor& wahl);

}  // namespace spinalyst::app
