#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "store/database.h"
#include "store/value.h"
#include "systems/systemmodell.h"

// The parameters of a data-mining search: the options of the single `Wahl` row and the filters of
// the data-mining system (instance 1 of a system of kind 3), read into memory once, so that the
// candidates and the scoring run work on plain values and never on cursors.
namespace spinalyst::mining {

// The three filters a search varies, in the order the combinations nest them.
enum class Filterart { Haeufigkeit = 0, Serien = 1, Rueckstaendigkeit = 2 };
inline constexpr std::array<Filterart, 3> kFilterarten = {Filterart::Haeufigkeit, Filterart::Serien,
                                                          Filterart::Rueckstaendigkeit};

// The chance classes a search can attack, in the order of their options `DM_Chancen_1` ...
// `DM_Chancen_35`.
inline constexpr std::array<int, 7> kChancen = {1, 2, 5, 8, 11, 17, 35};

// The option row of one filter (`DM_Haeufigkeit_aktiv` / `_Ereignisse_alle`, the same for
// `DM_Serien_` and `DM_Rueckstaendigkeit_`).
struct Filteroption {
    bool aktiv = false;  // the filter is varied; otherwise it stays off in every combination
    bool alle = false;   // every event of the class of the system's event, not that event alone

    bool operator==(const Filteroption&) const = default;
};

struct Parameter {
    // From `Wahl`; a flag is set only when it reads "t".
    std::optional<store::Date> datumVon;   // `DM_Datum_von`
    std::optional<store::Date> datumBis;   // `DM_Datum_bis`
    bool uebergreifend = false;            // `DM_Tage_uebergreifend`
    std::array<bool, 7> chancen{};         // `DM_Chancen_1` ... `DM_Chancen_35`, order of kChancen
    std::array<Filteroption, 3> filter{};  // rows H, S, R, indexed by Filterart
    int folgeAnzahl = 0;                   // `DM_Ereignisfolge_Anzahl`; null reads as 0
    bool folge11 = false;                  // `DM_Ereignisfolge_11`
    bool folge21 = false;                  // `DM_Ereignisfolge_21`
    bool folge51 = false;                  // `DM_Ereignisfolge_51`
    bool folgeUngleich = false;            // `DM_Ereignisfolge_ungleich`

    // The data-mining system (`ID_System_AutoInc`) and its instance 1: the events, count ranges,
    // windows and "before the sequence" settings of its three filters, and its own event sequence
    // (whose length shifts a filter placed before it).
    std::int64_t system = 0;
    systems::Instanz instanz;

    const Filteroption& option(Filterart art) const {
        return filter[static_cast<std::size_t>(art)];
    }
    Filteroption& option(Filterart art) { return filter[static_cast<std::size_t>(art)]; }

    bool operator==(const Parameter&) const = default;
};

// The event of the system's filter of that kind (`ID_Ereignis_Haeufigkeit`, `ID_Ereignis_Serien`,
// `ID_Ereignis_Rueckstaendigkeit` of instance 1); null reads as 0.
int Systemereignis(const Parameter& p, Filterart art);

// Whether the option row of a filter may be changed: every field the filter needs in the
// system's data row is set (frequency and absence: the event, the count range and the window;
// series: also the range of series lengths). A row that may not be changed shows its boxes
// unchecked; the stored flags keep their values and the search still follows them.
bool Optionszeile_Frei(const systems::Instanz& instanz, Filterart art);

// Reads the parameters from the stored `Wahl` row and the data-mining system `system`
// (`ID_System_AutoInc`) with its instance 1, as they are in the database: pending edits of the
// cursors must be posted first. Nothing when the system does not exist. A missing `Wahl` row
// reads as every option off.
std::optional<Parameter> Parameter_Laden(store::Database& roulette, std::int64_t system);

}  // namespace spinalyst::mining
