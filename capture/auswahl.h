#pragma once

#include "kern/kontext.h"

// Casinos and the current selection (casino, gaming table, day) held in the single `Wahl` row.
namespace spinalyst::capture {

// Who started a selection change: only the casino list chooses the gaming table anew.
enum class Ausloeser { Hauptfenster, CasinoListe, TischListe, Datumsauswahl };

// The gaming tables the selection bar offers, "T 01" to "T 25".
inline constexpr int kTischAnzahl = 25;

// The selection change: details mode off; after a casino change the gaming table of the casino's
// first recorded stretch (or "T 01"); the evaluation settings of `Wahl` reset to their fixed
// values and the day of the date picker (Sitzung::gewaehlter_tag) taken over; the results of the
// permanence and system evaluations reset; the bets emptied. Leaves `Wahl` in edit state.
void Casino_Tisch_DatumChange(kern::Kontext& k, Ausloeser ausloeser);

// Recomputes the stretch of recorded days (`Casino_Tisch_Datum`) of the selected casino and
// gaming table from its day rows. Errors are swallowed: the stretch then stays as it was.
void Tisch_Datum_Aktualisieren(kern::Kontext& k);

// Casino window: on show the list filter is off and the casino cursor stands on the selected
// casino; on close a pending edit of the casino is posted and the filter is on again.
void Casino_Fenster_Zeigen(kern::Kontext& k);
void Casino_Fenster_Schliessen(kern::Kontext& k);
// "Neu": appends a casino numbered after all casinos, in the main list at once; it becomes the
// current casino. Returns its `ID_Casino_AutoInc`.
int BitBtn_NeuClick(kern::Kontext& k);
// "OK": the current casino becomes the selected one, then the selection change runs.
void BitBtn_OKClick(kern::Kontext& k);

}  // namespace spinalyst::capture
