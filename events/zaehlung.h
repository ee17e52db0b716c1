#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "kern/katalog.h"
#include "kern/strecke.h"
#include "store/value.h"

// The counting of the permanence evaluation, in memory: frequency, series and absences of every
// catalogue event over a stretch of coups, with the working fields each event is left with. It
// touches no store; the run (auswertung.h) loads the coups, calls it and writes the results.
namespace spinalyst::events {

using kern::Coup;

// The marks of an event row: 'x' hit at the current coup, 'o' not, 0 for an empty field.
struct Kennzeichen {
    char serien = 0;             // `Serien_Kennzeichen`
    char rueckstaendigkeit = 0;  // `Rueckstaendigkeit_Kennzeichen`
    bool operator==(const Kennzeichen&) const = default;
};

// The working fields of one `Ereignisse` row after a run.
struct Arbeitsfelder {
    int zahlenAnzahl = 0;  // `Zahlen_Anzahl`; 0 stands for the empty field (never hit)
    int serien = 0;
    int rueckstaendigkeit = 0;
    bool erstesEreignis = false;  // `Rueckstaendigkeit_1_Ereignis` "t"
    Kennzeichen kennzeichen;
    bool operator==(const Arbeitsfelder&) const = default;
};

// One row of `Ereignisse_Serien` or `Ereignisse_Rueckstaendigkeit`.
struct Zaehlzeile {
    int ereignis = -1;  // position in the catalogue of the event that made the row; -1: class total
    int gruppe = 0;     // `ID_Ereignis_Gruppe`
    int laenge = 0;     // `Serie` or `Rueckstaendigkeit`
    int anzahl = 0;     // `Serie_Anzahl` or `Rueckstaendigkeit_Anzahl`
    bool operator==(const Zaehlzeile&) const = default;
};

struct Zaehlparameter {
    // "H" frequency, "S" with series, "R" with absences, "A" all; any other mode counts like "H".
    char modus = 'H';
    // Series and absences run on across day boundaries.
    bool uebergreifend = false;
    // Coup mode: stop after this many coups; 0 or less never stops early.
    int hoechstens = 0;
};

struct Zaehlergebnis {
    int coups = 0;                      // coups evaluated (q)
    bool abgebrochen = false;           // stopped by the after-coup callback
    std::vector<Arbeitsfelder> felder;  // per catalogue event, in catalogue order
    // Rows of the two result tables in the order they come into being: the order a row-by-row
    // evaluation appends them in.
    std::vector<Zaehlzeile> serien;
    std::vector<Zaehlzeile> rueckstaende;
    // What the expected counts beside the results are computed from: the coups of each segment
    // (a day, or the whole stretch with uebergreifend), newest first, adding up to `coups`; and
    // the hits of each number 0 to 36.
    std::vector<std::int64_t> abschnitte;
    std::array<std::int64_t, kern::kHoechsteZahl + 1> zahlen{};
};

// Called after every coup with the coup counter q (1, 2, ...) and the coup; true stops the
// counting after that coup (the closing steps still run).
using NachCoup = std::function<bool(int q, const Coup& coup)>;

// Counts the coups, newest first, starting at coups[0], whose day is taken as the current day.
// A series is a run of consecutive coups hitting the event, counted by its length when it ends
// (a miss, a day boundary unless uebergreifend, the end of the stretch); an absence is the
// number of misses between two hits within one segment (a day, or the whole stretch with
// uebergreifend). `vorher` holds the marks the event rows had before the run (they survive the
// reset), one per catalogue event; missing entries count as empty. Every other working field
// starts as the reset leaves it.
Zaehlergebnis zaehlen(const kern::Ereigniskatalog& katalog, std::span<const Coup> coups,
                      const Zaehlparameter& parameter, std::span<const Kennzeichen> vorher,
                      const NachCoup& nachCoup = {});

}  // namespace spinalyst::events
