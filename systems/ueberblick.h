#pragma once

#include <cstdint>
#include <string>

#include "kern/kontext.h"

// The overview of a system's past evaluations: the summary rows the evaluation of one system left
// in `Systeme_Auswertungen_Ueberblick` (shown through `TdbTable_Systeme_Auswertungen_Ueberblick`,
// the detail of the current row of `TdbTable_Systeme`), their totals, the share of positive days
// and the average result per day, the change warning and the reset. The window only shows what
// these return.
namespace spinalyst::systems {

// The totals over the shown rows and what the window derives from them.
struct Ueberblick_Summen {
    std::int64_t tage = 0;           // T: sum of `Tage`
    std::int64_t tagePositiv = 0;    // T+: sum of `Tage_positiv`
    std::int64_t gewinnVerlust = 0;  // G: sum of `Gewinn_Verlust`
    int prozent = 0;          // P: T+ x 100 / T, nearest integer, halves to even; 0 when T = 0
    double durchschnitt = 0;  // A: G / T; 0 when T = 0
};

// P for the totals: T+ x 100 / T to the nearest integer, a value exactly halfway going to the
// even neighbour (62.5 gives 62, 87.5 gives 88); 0 when T is 0 or less. Exact, without floating
// point.
int Prozent_Positiv(std::int64_t tagePositiv, std::int64_t tage);

// The totals of the rows shown for the current system (none: all zero). Reads the rows through
// the cursor's views of its rows; the cursor is not moved.
Ueberblick_Summen Ueberblick_Berechnen(kern::Kontext& k);

// The text of `Label_Gesamtinfo` in the session's language: P as an integer and A in fixed
// notation with one decimal (halves away from zero), written with the given decimal separator
// (the locale's).
std::string Gesamtinfo_Text(const kern::Kontext& k, const Ueberblick_Summen& summen,
                            char dezimaltrenner);

// The window caption: the fixed part in the session's language and the current system's name.
std::string Ueberblick_Titel(const kern::Kontext& k);

// Whether the change warning shows: the current system's `Systemaenderung_erfolgt` is "t" (set
// whenever the details mode is switched on).
bool Systemaenderung_Hinweis(const kern::Kontext& k);

// "Zurücksetzen" (`BitBtn_Loeschen`), without a question: the current system's
// `Systemaenderung_erfolgt` becomes "f" and every overview row of that system (and of no other)
// is deleted, in one transaction; the overview cursor is read again. Nothing without a current
// stored system.
void BitBtn_LoeschenClick(kern::Kontext& k);

}  // namespace spinalyst::systems
