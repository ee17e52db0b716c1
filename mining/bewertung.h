#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "kern/katalog.h"
#include "kern/strecke.h"
#include "mining/kandidaten.h"
#include "mining/parameter.h"

// The scoring run of a data-mining search, in memory: every candidate attack is played from every
// coup of the range, and its outcome is added to the result row of every pattern (filter
// combination, sequence before the coup, candidate) that holds there.
//
// The range holds only coups with a number, in day and `ID_Zahl` order; the filters and the
// sequences look back only within it, and attacks play forward only within it.
namespace spinalyst::mining {

// The attack kinds in the order the run plays them: "1" (only the j-th coup), "E" (until the
// first hit), "K" (exactly j coups, summed), "P" (until the first miss).
inline constexpr std::array<char, 4> kAngriffsarten = {'1', 'E', 'K', 'P'};
// Attack lengths run from 1 to this.
inline constexpr int kAngriffslaengeMax = 10;
// Events 1 to this may be attacked (those of a checked chance class).
inline constexpr int kHoechstesAngriffsereignis = 153;

// One row of the payout table `DM_Angriff`: units won on success (for kind "K": per winning coup)
// and lost on failure (per losing coup).
struct Auszahlung {
    int gewinn = 0;
    int verlust = 0;

    bool operator==(const Auszahlung&) const = default;
};

// The payout table in memory, by chance class, kind "E", "K", "P" and length 1 to 10.
class Auszahlungen {
  public:
    // Sets a row; a class, kind or length outside the table is ignored.
    void setzen(int chance, char art, int laenge, Auszahlung auszahlung);
    // The row, nullptr when it is not set.
    const Auszahlung* finden(int chance, char art, int laenge) const;

  private:
    static std::optional<std::size_t> index(int chance, char art, int laenge);
    std::array<std::optional<Auszahlung>, 7 * 3 * kAngriffslaengeMax> zeilen_{};
};

// The units an attack wins (positive) or loses (negative) (`Angriff_Gewinn_Verlust`): the row of
// the event's chance class, the kind ("1" is looked up as "K") and the length; its `gewinn` on
// success, minus its `verlust` on failure, 0 when there is no such row or the event has no class.
int Angriff_Gewinn_Verlust(const Auszahlungen& auszahlungen, char art, int ereignis, bool erfolg,
                           int laenge);

// The outcome of one candidate attack.
struct Angriffsergebnis {
    bool erfolg = false;
    int gewinnVerlust = 0;

    bool operator==(const Angriffsergebnis&) const = default;
};

// Plays one candidate attack (`Angriff_Auswerten`) of kind `art`, event `ereignis` and length
// `laenge` from the coup `start` of the range on. Nothing when it does not count: it would need a
// coup after the end of the range, or (without days overlapping) a coup it plays lies on another
// day than its first coup.
std::optional<Angriffsergebnis> Angriff_Auswerten(std::span<const kern::Coup> bereich,
                                                  std::size_t start, char art, int ereignis,
                                                  int laenge, bool uebergreifend,
                                                  const kern::Ereigniskatalog& katalog,
                                                  const Auszahlungen& auszahlungen);

// Whether a filter combination holds at the coup `aktuell` (`HSR_Kombination_Pruefen`): the
// system's filters with the combination's event, negation and on/off, checked in the order
// frequency, series, absence; a filter placed before the sequence is shifted by the length of the
// system's own sequence. A combination with every filter off always holds.
bool HSR_Kombination_Pruefen(std::span<const kern::Coup> bereich, std::size_t aktuell,
                             const HSR_Kombination& kombination, const Parameter& p,
                             const kern::Ereigniskatalog& katalog);

// Whether a sequence precedes the coup `aktuell` (`Folge_Pruefen`): position k (until the first
// code 0) is compared with the k-th coup before, across day boundaries. A position before the
// first coup of the range does not match.
bool Folge_Pruefen(std::span<const kern::Coup> bereich, std::size_t aktuell, const Folge& folge,
                   const kern::Ereigniskatalog& katalog);

// One candidate attack.
struct Kandidat {
    char art = '1';
    int ereignis = 0;
    int laenge = 1;

    bool operator==(const Kandidat&) const = default;
};

// The candidate attacks in the order the run plays them: kind "1", "E", "K", "P"; the events 1 to
// 153 of the checked chance classes; lengths 1 to 10.
std::vector<Kandidat> Kandidaten_Bilden(const Parameter& p);

// A result row (`DM_Gewinn_Verlust`): one pattern and its accumulated attacks.
struct Ergebniszeile {
    int idHsr = 0;             // `ID_HSR`
    std::int64_t idFolge = 0;  // `ID_Folge`
    char art = '1';            // `Art`
    int ereignis = 0;          // `ID_Ereignis`
    int angriff = 0;           // `ID_Angriff`: the attack length
    std::int64_t anzahl = 0;
    std::int64_t anzahlOk = 0;
    std::int64_t gewinnVerlust = 0;

    // `Anzahl_OK_Prozent`: successes * 100 / attacks, 0 without attacks.
    double prozent() const;
    // `Anzahl_OK_Prozent_String`: the percentage with one decimal and "%" ("57.1%").
    std::string prozentText(char dezimaltrenner = '.') const;

    bool operator==(const Ergebniszeile&) const = default;
};

// Adds one attack to its pattern's row (`Ergebnis_Addieren`).
void Ergebnis_Addieren(Ergebniszeile& zeile, bool erfolg, std::int64_t gewinnVerlust);

// The order of result rows the run hands out: `ID_HSR`, `ID_Folge`, kind in play order, event,
// length.
bool Ergebnis_Vor(const Ergebniszeile& a, const Ergebniszeile& b);

// What a run works on. The combinations and sequences are those of the parameters in their order
// (HSR_Kombinationen_Bilden, Folgen_Bilden); sequence i gets `ID_Folge` ersteFolgeId + i.
struct Bewertungsauftrag {
    std::span<const kern::Coup> bereich;  // the coups of the range that have a number
    const Parameter* parameter = nullptr;
    const kern::Ereigniskatalog* katalog = nullptr;
    const Auszahlungen* auszahlungen = nullptr;
    std::span<const HSR_Kombination> kombinationen;
    std::span<const Folge> folgen;
    std::int64_t ersteFolgeId = 1;
    // The working sums kept before they are handed on to the result rows (memory bound; the
    // result does not depend on it).
    std::size_t arbeitsspeicher = std::size_t{128} << 20;
    // Threads that score at once, each the candidates of a part of the attacked events; 0: both
    // cores of the machine once the range is worth it. The rows do not depend on it.
    std::size_t faeden = 0;
    // Called after each completed coup with the number of coups completed so far (progress),
    // on the thread that called Bewerten;
    // returning true stops the run there: the rows, the sequences' counts and the summary then
    // cover the completed coups (their attacks still play the coups after them), and nothing of
    // the coup in progress.
    std::function<bool(std::size_t)> nachCoup;
};

// What a run leaves.
struct Bewertung {
    // The rows of the patterns that occurred, in Ergebnis_Vor order.
    std::vector<Ergebniszeile> zeilen;
    // Per sequence (Folgen_Bilden order): the number of coups it preceded (`DM_Folge.Anzahl`).
    std::vector<std::int64_t> folgeAnzahl;
    // The run summary: days met (`DM_Tage_letztes_DM`, 1 for an empty range) and the coup counter
    // (`DM_Coups_letztes_DM`: the number of coups + 1).
    int tage = 1;
    std::int64_t coups = 1;
};

// The run summary of a range without the scoring: days met and the coup counter.
void Zusammenfassung_Zaehlen(std::span<const kern::Coup> bereich, Bewertung& bewertung);

// The scoring run. Each candidate's outcome is computed once per coup (from the hits of its
// event over the next coups), which combinations hold once per coup; the outcomes are summed per
// set of combinations that hold together and the numbers of the coups before the attack coup (all
// a sequence tests), and the sums then go to each combination of the set and every sequence those
// numbers match (a code "<>e" as the total minus the sum of code "e"). Gives the rows the plain
// per-pattern walk gives.
Bewertung Bewerten(const Bewertungsauftrag& auftrag);

}  // namespace spinalyst::mining
