#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <span>
#include <vector>

#include "events/statistik.h"
#include "kern/katalog.h"
#include "kern/kontext.h"

// What the chart of a permanence evaluation shows, read from the stored results: the hits of the
// 37 numbers beside what a fair wheel gives (expected count and a band of two standard
// deviations), and for every event its series and absence lengths observed against the counts
// expected under independence.
namespace spinalyst::events {

// The hits of the numbers 0 to 36.
struct Trefferbild {
    std::array<std::int64_t, 37> treffer{};
    std::int64_t coups = 0;  // the coups counted (the sum of the hits)
    double erwartet = 0;     // coups / 37
    double sigma = 0;        // √(coups · p · (1 − p)), p = 1/37
};

Trefferbild Trefferbild_Berechnen(std::span<const std::int64_t, 37> treffer);

// One length of a series or an absence.
struct Laenge {
    int laenge = 0;
    std::int64_t beobachtet = 0;
    double erwartet = 0;
};

// The lengths observed (length -> count) together with the expected counts over the segments (a
// segment is a stretch counted on its own: a day, or the whole stretch when days overlap).
// Lengths run from the shortest (1 for series, 0 for absences) to the longest observed and on
// while the expectation is at least 0.5.
std::vector<Laenge> Serien_Vergleichen(const std::map<int, std::int64_t>& beobachtet,
                                       std::span<const std::int64_t> segmente, double p);
std::vector<Laenge> Rueckstaende_Vergleichen(const std::map<int, std::int64_t>& beobachtet,
                                             std::span<const std::int64_t> segmente, double p);

// The stored results of the last evaluation, for the chart.
struct Permanenzbild {
    Trefferbild zahlen;
    // Coups per segment of the evaluation.
    std::vector<std::int64_t> segmente;
    // Per event (`ID_Ereignis`): counts of the series and absence lengths.
    std::map<int, std::map<int, std::int64_t>> serien;
    std::map<int, std::map<int, std::int64_t>> rueckstaende;
};

// Reads `Zahlen_Anzahl` of the events of single numbers and the rows of `Ereignisse_Serien` and
// `Ereignisse_Rueckstaendigkeit`; the segments from the settings in `Wahl` (day mode without
// "übergreifend": the counted coups of each day; otherwise one segment).
Permanenzbild Permanenzbild_Laden(kern::Kontext& k, const kern::Ereigniskatalog& katalog);

// The event the frequency list shows as its current row, 0 when none.
int Gewaehltes_Ereignis(const kern::Kontext& k);

}  // namespace spinalyst::events
