#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "store/datamodule.h"
#include "store/value.h"

// The event catalogue: the events (named sets of numbers) of `Ereignisse` with their members in
// `Ereignis_Zahl`, read once into memory. The catalogue is reference data the program never
// changes, so every lookup (membership of a number, event by identifier, texts in a language) is
// answered from memory; the permanence evaluation, the engine and data mining ask for membership
// per coup and per event.
namespace spinalyst::kern {

// The numbers of the wheel are 0 to kHoechsteZahl.
inline constexpr int kHoechsteZahl = 36;

// One catalogue event.
struct Ereignis {
    int id = 0;       // `ID_Ereignis`
    int gruppe = 0;   // `ID_Gruppe_Ereignis`: the chance class (its payout)
    int einsatz = 0;  // `Ereignis_Einsatz`: pieces per bet
    int gewinn = 0;   // `Ereignis_Gewinn`: payout of the winning piece
    std::string name;
    std::string nameEnglisch;
    std::string info;  // numbers text
    std::string infoEnglisch;
    // Bit z is set when number z belongs to the event.
    std::uint64_t zahlen = 0;
    // Row of `Ereignisse` holding the event (its working fields are written there).
    std::int64_t rowid = 0;

    // True when the number belongs to the event; numbers outside 0..36 belong to no event.
    bool enthaelt(int zahl) const {
        return zahl >= 0 && zahl <= kHoechsteZahl && ((zahlen >> zahl) & 1u) != 0;
    }
    // Name and numbers text in a language (German `Ereignis`, `Ereignis_Info`; English the
    // `_Englisch` fields).
    const std::string& nameText(store::Sprache sprache) const {
        return sprache == store::Sprache::Englisch ? nameEnglisch : name;
    }
    const std::string& infoText(store::Sprache sprache) const {
        return sprache == store::Sprache::Englisch ? infoEnglisch : info;
    }
};

// The catalogue as the caller's own immutable object: loaded once after the data module has
// opened (laden) and then passed to whoever needs it. Events keep the stored order of
// `Ereignisse` ("table order"), which is the order the evaluation visits them in.
class Ereigniskatalog {
  public:
    // An empty catalogue (no events).
    Ereigniskatalog() = default;
    // A catalogue of the given events, in this order (tests, benchmarks). The first event of an
    // identifier is the one found by identifier.
    explicit Ereigniskatalog(std::vector<Ereignis> ereignisse);

    // Reads `Ereignisse` and `Ereignis_Zahl` through cursors of their own, so the data module's
    // cursors keep their filters, links and positions. Requires a connected main database.
    static Ereigniskatalog laden(store::DataModule_Roulette& dm);

    // All events in table order.
    const std::vector<Ereignis>& ereignisse() const { return ereignisse_; }
    std::size_t size() const { return ereignisse_.size(); }

    // The event with the identifier, nullptr when the catalogue has none.
    const Ereignis* finden(int id) const;
    // Position of the event with the identifier in ereignisse(), -1 when none.
    int position(int id) const;

    // Membership of a number: false for an unknown event and for a number outside 0..36.
    bool enthaelt(int id, int zahl) const {
        const Ereignis* e = finden(id);
        return e != nullptr && e->enthaelt(zahl);
    }
    // The same for a stored number; a missing (null) number counts as 0.
    bool enthaelt(int id, const store::Value& zahl) const { return enthaelt(id, zahl.toInt()); }

    // Positions in ereignisse() of the events a number belongs to, in table order; empty for a
    // number outside 0..36.
    const std::vector<int>& ereignisseMit(int zahl) const;

    // Name and numbers text of an event in a language; empty for an unknown event.
    std::string name(int id, store::Sprache sprache) const;
    std::string info(int id, store::Sprache sprache) const;

    // The chance classes that occur, ascending.
    std::vector<int> klassen() const;
    // The events of a chance class, by ascending identifier.
    std::vector<const Ereignis*> klasse(int gruppe) const;

  private:
    // Identifiers below this bound are found through a table, others through a hash map.
    static constexpr int kDichteIds = 4096;

    std::vector<Ereignis> ereignisse_;
    std::vector<int> dicht_;  // identifier -> position, -1 when none
    std::unordered_map<int, int> weit_;
    std::array<std::vector<int>, kHoechsteZahl + 1> mitZahl_;
};

}  // namespace spinalyst::kern
