#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "kern/kontext.h"
#include "store/csv.h"
#include "store/value.h"

// The permanence of a casino, gaming table and range of days as CSV: one row per coup with a
// number (the coup about to be played has none and is left out).
namespace spinalyst::capture {

struct Permanenzstrecke {
    std::int64_t casino = 0;
    std::string tisch;
    std::optional<store::Date> von;  // none: from the first stored day
    std::optional<store::Date> bis;  // none: to the last stored day
};

// Writes the header "Datum", "Coup", "Zahl" (English "date", "coup", "number") and the coups in
// the order of the permanence (day, then entry); "Coup" counts the numbered coups of each day
// from 1. Returns the rows written. Throws kern::KeinErgebnis when the stretch holds no coup.
int Permanenz_Exportieren(kern::Kontext& k, const Permanenzstrecke& strecke, store::CsvWriter& w);

// The range of days offered in the menu: the month of the selected day.
Permanenzstrecke Permanenzstrecke_Der_Auswahl(kern::Kontext& k);

// "Export" / "Permanenz...": the given stretch through the save dialog (kern::Csv_Export_Dialog).
void MenuItem_Export_PermanenzClick(kern::Kontext& k, const Permanenzstrecke& strecke);

}  // namespace spinalyst::capture
