#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "kern/katalog.h"
#include "kern/strecke.h"
#include "systems/durchlauf.h"
#include "systems/systemmodell.h"

// Random permanences and random systems for comparing the engine with its plain reference.
namespace spinalyst::testing {

// Events of the small test catalogue.
namespace testereignis {
inline constexpr int kRot = 1;           // red, 1 piece paying 1
inline constexpr int kSchwarz = 2;       // black
inline constexpr int kGerade = 3;        // even
inline constexpr int kManque = 4;        // 1 to 18
inline constexpr int kPasse = 5;         // 19 to 36
inline constexpr int kKeineNull = 6;     // 1 to 36: long series
inline constexpr int kUnten = 20;        // 1 to 24, 2 pieces paying 2 each
inline constexpr int kOben = 21;         // 13 to 36, 2 pieces paying 2 each
inline constexpr int kNull = 30;         // the number 0, 1 piece paying 35
inline constexpr int kSiebzehn = 31;     // the number 17, 1 piece paying 35
inline constexpr int kDutzend = 40;      // 1 to 12, 1 piece paying 2
inline constexpr int kOhneEinsatz = 50;  // 1 to 18 with 0 pieces: never bet on
inline constexpr int kUnbekannt = 99;    // not in the catalogue
}  // namespace testereignis

// The small catalogue above, with the identifier ranges of the chance classes filled around its
// events: dozens and columns (7..12), six-lines (13..23), the first four and corners (24..46),
// streets (47..58), splits (59..116, 99 left out) and single numbers (117..153), some of them
// of several pieces.
kern::Ereigniskatalog Testkatalog();

// The chance classes of the individual rules, and one that has no events.
inline const std::vector<int> kChancenklassen = {1, 2, 5, 8, 11, 17, 35, 3};

// One walk to run: the stretch, the systems with their state, the stored bets and totals.
struct Zufallsfall {
    std::vector<kern::Coup> strecke;
    std::size_t beginn = 0;
    bool uebergreifend = false;
    int chancen = 0;  // the chance class of the shown systems
    bool nurLetzterCoup = false;
    bool tagAbschliessen = true;
    std::vector<systems::System> systeme;
    std::vector<systems::Wette> wetten;
    systems::Tagessummen summen;
    // The walk is stopped (as by Escape) when the count reaches this value.
    std::optional<std::size_t> abbruchBei;

    systems::Durchlauf lauf() const {
        systems::Durchlauf l;
        l.strecke = strecke;
        l.beginn = beginn;
        l.uebergreifend = uebergreifend;
        l.nurLetzterCoup = nurLetzterCoup;
        l.tagAbschliessen = tagAbschliessen;
        l.chancen = chancen;
        return l;
    }
    systems::Nach_Coup nachCoup() const {
        if (!abbruchBei) {
            return {};
        }
        const std::size_t bei = *abbruchBei;
        return [bei](std::size_t zaehler) { return zaehler == bei; };
    }
};

// A random stretch of one to four days (days without coups left out, gaps between dates), the
// last coup possibly without a number. `lang`: days of up to a few hundred coups, so that every
// single number falls within a day now and then.
std::vector<kern::Coup> Zufallsstrecke(std::mt19937& rng, bool lang = false);
// A random system of 1 to 3 instances over the test catalogue, idle. Now and then an individual
// system (kind 2): rule 1, rule 2 or another number, with a random parameter row (fields null,
// 0, negative or small) and a random stake of step 1 (sometimes none or 0).
systems::System Zufallssystem(std::mt19937& rng, std::int64_t id);
// A random chance class for the shown systems: mostly one of the classes, now and then another
// value.
int Zufallschancen(std::mt19937& rng);
// A whole-stretch run or an online step with stored bets and a running state.
Zufallsfall Zufallsfall_Erzeugen(std::mt19937& rng);

// Compact readable renderings for failure messages and comparisons.
std::string Beschreiben(const Zufallsfall& fall);
std::string Beschreiben(const systems::System& system);
std::string Beschreiben(const systems::Durchlaufergebnis& ergebnis,
                        const std::vector<systems::System>& systeme);

}  // namespace spinalyst::testing
