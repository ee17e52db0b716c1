#pragma once

#include <functional>
#include <string>
#include <vector>

#include "events/statistik.h"
#include "kern/kontext.h"
#include "store/csv.h"

// The event table of the last permanence evaluation as CSV.
namespace spinalyst::events {

// One event as the evaluation left it.
struct Ereigniszeile {
    int id = 0;
    int klasse = 0;         // chance class (the payout)
    std::string name;       // in the current language
    std::string zahlen;     // the numbers text, in the current language
    int zahlenAnzahl = 0;   // how many numbers the event holds (m)
    long long treffer = 0;  // hits in the stretch
    long long coups = 0;    // coups evaluated (q), the same for every event
    // What a fair wheel gives beside the hits: expected hits, z-score, exact binomial p-value,
    // and the Benjamini-Hochberg adjusted value over all events of the table.
    Trefferstatistik statistik;
    double q = 1;
};

// A column of the table: its heading in both languages and how a row fills it. Further columns
// (what chance would give beside the hits) are added to Csv_Ereignisspalten.
struct Csv_Ereignisspalte {
    const char* deutsch;
    const char* englisch;
    std::function<void(store::CsvWriter&, const Ereigniszeile&)> schreiben;
};

// The columns in order: event, chance class, name, numbers, hits, percentage (hits · 100 / coups,
// one decimal), expected hits, z, p, adjusted q.
std::vector<Csv_Ereignisspalte> Csv_Ereignisspalten();

// The events of every chance class, by identifier, with the hits of the last evaluation.
// Returns the rows written. Throws kern::KeinErgebnis when no coup was evaluated since the last
// reset.
int Ereignisse_Exportieren(kern::Kontext& k, store::CsvWriter& w);

// "Export" / "Ereignisse...": through the save dialog (kern::Csv_Export_Dialog).
void MenuItem_Export_EreignisseClick(kern::Kontext& k);

}  // namespace spinalyst::events
