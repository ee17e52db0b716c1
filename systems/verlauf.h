#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "store/database.h"
#include "store/value.h"
#include "systems/systemmodell.h"

// The course of a system evaluation coup by coup, as its chart shows it: the running win/loss
// over the coups of the result days (in total and per system), the day boundaries with each
// day's result, and the largest drawdown. Read from what the evaluation stored (the coups of the
// stretch and the bets of `Systeme_Abarbeitung`); nothing is run again.
namespace spinalyst::systems {

// One coup of the stretch as the course needs it.
struct Verlaufscoup {
    store::Date tag;
    std::int64_t idZahl = 0;
    std::optional<int> zahl;  // none for the coup about to be played
};

// The course at one coup.
struct Verlaufspunkt {
    store::Date tag;
    int coup = 0;             // the coup's place in its day, from 1
    std::optional<int> zahl;  // the number that fell
    int satz = 0;             // total stake on the coup, all systems
    int ergebnis = 0;         // total result of the coup's bets (unsettled ones count 0)
    int stand = 0;            // running win/loss after the coup, from 0 at the start
};

// The running win/loss of one system, one value per coup (the same coups as the total).
struct Systemlinie {
    std::int64_t system = 0;  // `ID_System_AutoInc`
    int nummer = 0;           // `ID_System_Nummer`
    std::string name;         // `System_Name`
    std::vector<int> stand;
};

// One day of the stretch.
struct Verlaufstag {
    store::Date tag;
    std::size_t erster = 0;  // index of its first coup in Verlauf::punkte
    std::size_t coups = 0;
    int ergebnis = 0;  // the day's win/loss
};

// The largest drop of the running total from a high to a later low. Positions count coups:
// 0 is the start (before the first coup, where the total is 0), i the state after coup i.
struct Einbruch {
    std::size_t von = 0;  // where the high was reached
    std::size_t bis = 0;  // the low after it
    int tiefe = 0;        // high minus low, above 0
};

struct Verlauf {
    std::vector<Verlaufspunkt> punkte;
    std::vector<Systemlinie> systeme;  // empty unless one line per system was asked for
    std::vector<Verlaufstag> tage;
    std::optional<Einbruch> einbruch;  // none when the total never fell below an earlier high
};

// The course over `coups` (in coup order) from the `wetten` placed on them; bets on other coups
// are left aside. With `proSystem` one line per system of `systeme`, in that order (a system
// without bets gets a flat line).
Verlauf Verlauf_Berechnen(std::span<const Verlaufscoup> coups, std::span<const Wette> wetten,
                          std::span<const std::int64_t> systeme, bool proSystem);

// The largest drawdown of a running total (values after each coup, starting from 0).
std::optional<Einbruch> Groesster_Einbruch(std::span<const int> stand);

// Which evaluation to read.
struct Verlaufsauswahl {
    std::int64_t casino = 0;
    std::string tisch;
    store::Date von;                    // the first result day
    store::Date bis;                    // the chosen day
    std::vector<std::int64_t> systeme;  // the systems that ran, in run order
    bool proSystem = false;             // mode "A": one line per system
};

// Reads the coups of the result days and the stored bets and computes the course; names and
// numbers of the systems come from `Systeme`.
Verlauf Verlauf_Laden(store::Database& datenbank, const Verlaufsauswahl& auswahl);

}  // namespace spinalyst::systems
