#pragma once

#include "kern/kontext.h"
#include "store/csv.h"

// The results of the last system evaluation as CSV, one table per part: the day results of the
// result days, the totals row, the bets.
namespace spinalyst::systems {

enum class Systemteil { Tage, Gesamt, Saetze };

// Writes the part for the selected casino and gaming table and the result days (the N days up to
// the chosen day, N = `System_Tage_Anzahl`) with a header row:
// Tage: "Tag", "G/V", "Max +", "Max -", "Coups", "Angriffe", "System" (the day results);
// Gesamt: "Tage", "G/V", "Max +", "Max -", "Coups", "Angriffe" (the totals row);
// Saetze: "Tag", "Coup", "Zahl", "System", "Instanz", "Ereignis", "Name", "Satz", "G/V" (every
// bet of the evaluated stretch; "Coup" counts the coups of each day from 1).
// English headings "day", "win/loss", "max +", "max -", "coups", "attacks", "system", "days",
// "coup", "number", "instance", "event", "name", "stake". Returns the rows written. A run in which
// no system bet leaves the results empty; such rows are written as they are. Throws
// kern::KeinErgebnis when there is no totals row, no day in the range or (for the bets) no bet.
int Systemergebnisse_Exportieren(kern::Kontext& k, Systemteil teil, store::CsvWriter& w);

// "Export" / "Systemauswertung" / the three parts: through the save dialog.
void MenuItem_Export_SystemClick(kern::Kontext& k, Systemteil teil);

}  // namespace spinalyst::systems
