#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "store/value.h"

// A betting system as the engine runs it: one `Systeme` row with the data row, the event sequence
// and the stakes of each of its three instances, read into memory once per run. The start
// checks, the settlement and the engine work on these objects, never on cursors; the run state
// they change is written back to `Systeme` at the end of the run.
namespace spinalyst::systems {

// A frequency or absence filter of an instance (`Haeufigkeit_...`, `Rueckstaendigkeit_...`).
// A null field is an empty optional.
struct Zaehlfilter {
    bool aktiv = false;             // `_Filterung_aktiv` is "t"
    std::optional<int> ereignis;    // `ID_Ereignis_...`
    std::optional<int> anzahlVon;   // `_Anzahl_von`
    std::optional<int> anzahlBis;   // `_Anzahl_bis`
    std::optional<int> coupsVon;    // `_Coups_zurueck_von`
    std::optional<int> coupsBis;    // `_Coups_zurueck_bis`
    bool ungleich = false;          // `_ungleich` is anything but "f": the condition must fail
    bool vorEreignisfolge = false;  // `_vor_Ereignisfolge` is "t": indices start before the trigger

    bool operator==(const Zaehlfilter&) const = default;
};

// The series filter of an instance (`Serien_...`).
struct Serienfilter {
    bool aktiv = false;
    std::optional<int> ereignis;   // `ID_Ereignis_Serien`
    std::optional<int> anzahlVon;  // `Serien_Anzahl_von`: how many series at least
    std::optional<int> anzahlBis;  // `Serien_Anzahl_bis`
    std::optional<int> laengeVon;  // `Serien_von`: shortest series length counted
    std::optional<int> laengeBis;  // `Serien_bis`
    std::optional<int> coupsVon;   // `Serien_Coups_zurueck_von`
    std::optional<int> coupsBis;   // `Serien_Coups_zurueck_bis`
    bool ungleich = false;
    bool vorEreignisfolge = false;

    bool operator==(const Serienfilter&) const = default;
};

// The sequence-history filter of an instance (`Ereignisfolge...`).
struct Historienfilter {
    bool aktiv = false;            // `Ereignisfolge_Filterung_aktiv` is "t"
    std::optional<int> okVon;      // `Ereignisfolge_Angriff_OK_von`
    std::optional<int> okBis;      // `Ereignisfolge_Angriff_OK_bis`
    std::optional<int> folgenVon;  // `Ereignisfolgen_zurueck_von`
    std::optional<int> folgenBis;  // `Ereignisfolgen_zurueck_bis`
    bool ungleich = false;         // `Ereignisfolge_ungleich` is anything but "f"

    bool operator==(const Historienfilter&) const = default;
};

// One row of an instance's event sequence (`System_Ereignisse`, in `Nr_Ereignis` order).
struct Folgenglied {
    int ereignis = 0;     // `ID_Ereignis`
    std::string angriff;  // `Angriff`: "x" on the attacked event, "<>" for "must not hit"

    bool ungleich() const { return angriff == "<>"; }
    bool operator==(const Folgenglied&) const = default;
};

// Number of attack steps; the stake table of an instance has steps 1 to kStufen.
inline constexpr int kAngriffsstufen = 50;

// One instance (1 to 3) of a system.
struct Instanz {
    std::vector<Folgenglied> folge;  // the last row is the attack event, the rows before trigger
    Zaehlfilter haeufigkeit;
    Serienfilter serien;
    Zaehlfilter rueckstaendigkeit;
    Historienfilter historie;
    // `Setzart`: 'E', 'K' or 'P'; any other stored value (or none) is kept as 0, whose bets stay
    // unsettled.
    char setzart = 'E';
    // The stakes of steps 1 to 50 (`System_Angriffe` rows "1" to "50"); index 0 is unused. A
    // missing row or a null stake is an empty optional: the step does not exist.
    std::array<std::optional<int>, kAngriffsstufen + 1> saetze{};
    std::optional<int> limitGewinn;   // row "G"; null counts as 100
    std::optional<int> limitVerlust;  // row "V"; null counts as -100

    // Stake of step k, or nothing when the step does not exist (also for k outside 1..50).
    std::optional<int> satz(int k) const {
        return k >= 1 && k <= kAngriffsstufen ? saetze[static_cast<std::size_t>(k)] : std::nullopt;
    }
    int gewinnLimit() const { return limitGewinn.value_or(100); }
    int verlustLimit() const { return limitVerlust.value_or(-100); }
    // The attack event and whether the instance bets on it (its `Angriff` is "x").
    const Folgenglied* angriffsereignis() const { return folge.empty() ? nullptr : &folge.back(); }
    bool setzt() const { return !folge.empty() && folge.back().angriff == "x"; }

    bool operator==(const Instanz&) const = default;
};

// The run state of a system (fields of its `Systeme` row, kept between runs).
struct Angriffszustand {
    int stufe = 0;                 // `Systemangriff`: 0 idle, k the step of the next bet
    std::array<bool, 3> aktiv{};   // `Systemangriff_Instanz_1` .. `_3` are "t"
    bool beendungEinzeln = false;  // `Systemangriff_Beendung_Einzeln` is "t"

    bool operator==(const Angriffszustand&) const = default;
};

// The parameter row of an individual system's rule (`Individuell_1_Daten` for rule 1,
// `Individuell_2_Daten` for rule 2, which uses only the number of events).
struct Individuellparameter {
    std::optional<int> ereignisse;     // `Anzahl_Ereignisse`: N, events bet on a coup at most
    std::optional<int> coups;          // `Anzahl_Coups_zurueck`: W, the coups counted (rule 1)
    std::optional<int> rueckstaendig;  // `Anzahl_Coups_rueckstaendig`: R, least absence (rule 1)

    bool operator==(const Individuellparameter&) const = default;
};

// One system with its three instances.
struct System {
    std::int64_t id = 0;  // `ID_System_AutoInc`
    int nummer = 0;       // `ID_System_Nummer`; for kind 2 the rule: 1 frequency, 2 absence
    int art = 0;          // `ID_System_Art`; kind 2 (individual) places no event-sequence bets
    // `Systemangriff_Beendung_Einzeln_Alle` is "t": an attack goes on while any instance is active.
    bool beendungEinzelnAlle = false;
    std::array<Instanz, 3> instanzen;
    Angriffszustand zustand;
    // Kind 2: the system's own rule parameters (none: the rule places no bets).
    Individuellparameter regel;

    bool individuell() const { return art == 2; }
    bool operator==(const System&) const = default;
};

// One bet (`Systeme_Abarbeitung` row).
struct Wette {
    std::int64_t idZahl = 0;      // `Permanenz_ID_Zahl`: the coup the bet is placed on
    std::int64_t system = 0;      // `ID_System`
    int instanz = 1;              // `ID_Instanz`
    int ereignis = 0;             // `ID_Ereignis`
    int satz = 0;                 // `Satz`
    std::optional<int> ergebnis;  // `Gewinn_Verlust`; empty until settled

    // The stored row this bet was read from; 0 for a bet placed by the run.
    std::int64_t rowid = 0;
    // The run settled a stored bet (its result is to be written back).
    bool abgerechnet = false;

    // Same bet, leaving aside where it is stored.
    bool gleich(const Wette& o) const {
        return idZahl == o.idZahl && system == o.system && instanz == o.instanz &&
               ereignis == o.ereignis && satz == o.satz && ergebnis == o.ergebnis;
    }
};

// The day totals of `Wahl` (`Tag_Gewinn_Verlust`, `Tag_Gewinn_Maximal`, `Tag_Verlust_Maximal`,
// `Tag_Angriffe`).
struct Tagessummen {
    int gewinnVerlust = 0;
    int gewinnMaximal = 0;
    int verlustMaximal = 0;
    int angriffe = 0;

    bool operator==(const Tagessummen&) const = default;
};

// The booking of one coup: the total stake on it and the day's running win/loss after it
// (`Permanenz.Angriff_Satz`, `Permanenz.Gewinn_Verlust`). Only coups with a stake above 0 are
// booked.
struct Buchung {
    std::int64_t idZahl = 0;
    int satz = 0;
    int gewinnVerlust = 0;

    bool operator==(const Buchung&) const = default;
};

// The totals of a finished day, to be written into its day row when it is a result day.
struct Tagesabschluss {
    store::Date tag;
    Tagessummen summen;

    bool operator==(const Tagesabschluss&) const = default;
};

}  // namespace spinalyst::systems
