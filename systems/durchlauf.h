#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "kern/katalog.h"
#include "kern/strecke.h"
#include "systems/startpruefung.h"
#include "systems/systemmodell.h"

// The engine's walk over a stretch of coups in memory: at every coup each system settles its
// bets on the previous coup, starts an attack when its instances' start checks pass, and places
// the bets of its running attack; then the previous coup is booked and a change of day closes the
// day's totals. No database is touched: the caller loads the stretch, the systems and the stored
// bets, and writes what comes back.
namespace spinalyst::systems {

// Nearest integer, a value exactly halfway going to the even neighbour (2.5 -> 2, 3.5 -> 4).
int Naechste_Ganzzahl(double x);

// Result of a settled bet of stake `satz` on an event of `einsatz` pieces paying `gewinn` per
// winning piece (u = satz / einsatz): settlement "E" and "K" give
// Nearest(u) * gewinn - Nearest(u) * (einsatz - 1) on a hit and -satz on a miss; individual
// systems Nearest(u) * gewinn on a hit and -satz on a miss. `einsatz` must be at least 1.
int Ergebnis_Einfach(int satz, int einsatz, int gewinn, bool treffer);
int Ergebnis_Individuell(int satz, int einsatz, int gewinn, bool treffer);
// Settlement "P" (winnings ride on) of step k of the instance: R = Nearest(u * gewinn) -
// Nearest(u) * (einsatz - 1) + satz is the money in hand after a hit; with a next stake s' the
// result is R - s' when s' < R, else 0; without a next step R - s1; a miss gives -s1.
int Ergebnis_Progression(const Instanz& instanz, int stufe, int satz, int einsatz, int gewinn,
                         bool treffer);

// The catalogue identifiers of the events of a chance class (1: 1..6, 2: 7..12, 5: 13..23,
// 8: 24..46, 11: 47..58, 17: 59..116, 35: 117..153); nothing for any other class.
std::optional<std::pair<int, int>> Chancen_Ereignisse(int chancen);

// The rule of an individual system (kind 2) at the current coup of `stelle`: the events it bets
// on, in betting order. Rule 1 (`nummer` 1, parameters N, W, R) ranks the events of the chance
// class by their hits in the last W coups (most first, ties by lower identifier) and bets those
// among the first N ranks that have not fallen in the last R coups. Rule 2 (`nummer` 2,
// parameter N) bets the N events absent longest, once every event of the class has fallen in
// the coups scanned. No bets for missing or non-positive parameters, for another number, while
// the scanned coups are too few or, without days overlapping, reach into another day. Each system
// uses its own number and parameters. The scan is linear in the coups it looks at.
std::vector<int> Individuell_Satzsignale(const Pruefstelle& stelle, const System& system,
                                         int chancen, const kern::Ereigniskatalog& katalog);

// What a walk is asked to do.
struct Durchlauf {
    std::span<const kern::Coup> strecke;  // the loaded stretch, in coup order
    std::size_t beginn = 0;               // position of the first coup to evaluate
    bool uebergreifend = false;           // days overlapping
    bool nurLetzterCoup = false;          // one online step: only the last coup is processed
    // Close the day in progress at the end (a run over a whole stretch, not a chosen day alone).
    bool tagAbschliessen = true;
    // The chance class of the systems shown: the events the individual rules consider.
    int chancen = 0;
};

// What a walk did.
struct Durchlaufergebnis {
    // Every bet: those passed in (in their order, settled ones marked), then the bets placed, in
    // the order they were placed.
    std::vector<Wette> wetten;
    // The coups booked with a stake, in the order of booking (a coup may be booked twice in an
    // online step: the later booking holds).
    std::vector<Buchung> buchungen;
    // The days whose totals were closed, in order (all days, result days or not).
    std::vector<Tagesabschluss> tage;
    Tagessummen summen;     // the day totals at the end
    std::size_t coups = 0;  // coups processed
    bool abgebrochen = false;
};

// Called after every processed coup with the count (which starts at 1 before the first coup, so
// the first call gets 2); returns true to stop the walk after this coup.
using Nach_Coup = std::function<bool(std::size_t zaehler)>;

// Walks the systems over the stretch. `systeme` are run in the given order and their run state
// (Angriffszustand) is updated in place; `wetten` are the bets stored before (an online step
// settles and sums them); `summen` the day totals at the start. Kind-2 systems bet by their rule
// (Individuell_Satzsignale) with the stake of step 1 of instance 1 (no stake: no bets), and their
// bets are settled at the following coup. An attack event the catalogue does not know, or one of
// fewer than 1 piece, places no bet.
Durchlaufergebnis Systeme_Durchlaufen(const Durchlauf& lauf, std::vector<System>& systeme,
                                      std::vector<Wette> wetten, Tagessummen summen,
                                      const kern::Ereigniskatalog& katalog,
                                      const Nach_Coup& nachCoup = {});

}  // namespace spinalyst::systems
