#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "store/database.h"
#include "store/sqlite.h"
#include "store/value.h"

// A stretch of coups in memory: the coups of one casino, gaming table and range of days, read
// with one prepared statement straight into a compact array. The evaluations, the engine, online
// play and data mining walk such arrays instead of cursors.
namespace spinalyst::kern {

// The number of a coup about to be played (no number yet).
inline constexpr std::int8_t kKeineZahl = -1;

// One coup: its day, its running number `ID_Zahl` and its number (kKeineZahl for the coup about to
// be played).
struct Coup {
    store::Date tag;
    std::int64_t idZahl = 0;
    std::int8_t zahl = kKeineZahl;

    bool hatZahl() const { return zahl != kKeineZahl; }
    // The number as events compare it: a missing number counts as 0.
    int zahlOderNull() const { return hatZahl() ? zahl : 0; }
    bool operator==(const Coup&) const = default;
};

// Which coups a stretch holds.
struct Streckenauswahl {
    std::int64_t casino = 0;  // `ID_Casino`
    std::string tisch;        // `Tisch`
    store::Date von;          // first day, inclusive
    store::Date bis;          // last day, inclusive
    // Leave out coups without a number (the coup about to be played).
    bool nurMitZahl = false;
    // Newest coup first (`Datum` then `ID_Zahl` descending) instead of oldest first.
    bool neuesteZuerst = false;
};

// Reads stretches from the main database. The statement is prepared once per order and kept, so
// a reader serves any number of loads; it holds no rows between loads. Not for use after the
// connection it was made on is closed.
class Streckenleser {
  public:
    explicit Streckenleser(store::Connection& verbindung);

    // The coups of the stretch in `Datum`, `ID_Zahl` order (or the reverse). A stored number
    // outside 0..36 is refused with store::StoreError. Replaces the contents of `ziel` (its
    // capacity is kept, so a caller loading stretch after stretch allocates once).
    void laden(const Streckenauswahl& auswahl, std::vector<Coup>& ziel);
    std::vector<Coup> laden(const Streckenauswahl& auswahl);

  private:
    store::Statement aufsteigend_;
    store::Statement absteigend_;
};

// One stretch, read with a reader made for the purpose.
std::vector<Coup> Strecke_Laden(store::Database& datenbank, const Streckenauswahl& auswahl);

}  // namespace spinalyst::kern
