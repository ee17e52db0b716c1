#pragma once

#include "kern/kontext.h"
#include "store/csv.h"

// The result list of the last data-mining run (`DM_Gewinn_Verlust`) as CSV.
namespace spinalyst::mining {

// One row per pattern, best win/loss first: its keys "HSR", "Folge", "Art", "Ereignis",
// "Angriff", then "Anzahl", "OK", "Prozent" (successes · 100 / count, one decimal), "G/V"
// (English "hsr", "sequence", "kind", "event", "attack", "count", "successes", "percent",
// "win/loss"). Returns the rows written. Throws kern::KeinErgebnis when the list is empty.
int Ergebnisliste_Exportieren(kern::Kontext& k, store::CsvWriter& w);

// "Export" / "Data-Mining-Ergebnisse...": through the save dialog.
void MenuItem_Export_Data_MiningClick(kern::Kontext& k);

}  // namespace spinalyst::mining
