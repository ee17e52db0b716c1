#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "mining/parameter.h"

// The candidates of a data-mining search, built in memory from its parameters: the filter
// combinations (what `DM_HSR` holds), the sequences before the attack coup (what `DM_Folge`
// holds) with their kind codes and texts, and the number of patterns shown before a run.
namespace spinalyst::mining {

// The chance class (1, 2, 5, 8, 11, 17, 35) of a standard event by its identifier; nothing for
// an identifier outside 1 to 153.
std::optional<int> Chance_Des_Ereignisses(int ereignis);

enum class Grenze { Untere, Obere };

// The low or high bound of the events a filter takes in the search (`Ereignis_Bereich`): 0 when
// its row is not varied; the system's event `ereignis` itself unless every event of the class is
// asked for; else the bound of the event's chance class, 0 for an event outside 1 to 153. A
// result below 1 means the filter is not varied.
int Ereignis_Bereich(const Parameter& p, Filterart art, int ereignis, Grenze grenze);

// One filter of a combination: off (aktiv false, ungleich false), plain (aktiv) or negated
// (aktiv and ungleich). `ereignis` is 0 for a filter the search does not vary.
struct Filterstellung {
    int ereignis = 0;
    bool ungleich = false;
    bool aktiv = false;

    bool operator==(const Filterstellung&) const = default;
};

// A filter combination (a `DM_HSR` row).
struct HSR_Kombination {
    int id = 0;                              // `ID_HSR`: 1, 2, ... in the order of generation
    std::array<Filterstellung, 3> filter{};  // indexed by Filterart

    const Filterstellung& stellung(Filterart art) const {
        return filter[static_cast<std::size_t>(art)];
    }
    bool operator==(const HSR_Kombination&) const = default;
};

// The filter combinations (`HSR_Kombinationen_Bilden`), nested frequency outermost, then series,
// then absence. A varied filter runs over the events of its range (Ereignis_Bereich), each plain
// then negated, with the off state once, after the negated state of the first event; a filter
// not varied is off with event 0. The combination with every filter off always exists.
std::vector<HSR_Kombination> HSR_Kombinationen_Bilden(const Parameter& p);
// Their number without building them: the product over the filters of 2 n + 1 (n events in the
// range of a varied filter) or 1.
std::int64_t HSR_Kombinationen_Zaehlen(const Parameter& p);

// The largest sequence event B: 23 with "5:1", else 12 with "2:1", else 6 with "1:1", else 0.
int Folgen_Obergrenze(const Parameter& p);
// The sequence length L: `DM_Ereignisfolge_Anzahl`, below 0 as 0, above 5 as 5.
int Folgen_Laenge(const Parameter& p);

// One sequence (a `DM_Folge` row without its identity and run counts). `codes[k]` is what the
// coup k + 1 before the attack coup must show: event e (its number belongs to e) or e + 100 (it
// does not); 0 from position L on.
struct Folge {
    std::array<int, 5> codes{};
    int gleicheArt = 0;  // `Gleiche_Art`, the kind code of the codes

    bool operator==(const Folge&) const = default;
};

// The sequences (`Folgen_Bilden`) in their order: the event of position 1 outermost, then its
// sign (plain, then negated when `DM_Ereignisfolge_ungleich` is set), then position 2, and so on
// to position L. None when L is 0 or no sequence class is checked.
std::vector<Folge> Folgen_Bilden(const Parameter& p);
// The same sequences one by one, in the same order, without holding them all.
void Folgen_Durchlaufen(const Parameter& p, const std::function<void(const Folge&)>& folge);
// Their number, (B * signs) to the power L, or 0.
std::int64_t Folgen_Zaehlen(const Parameter& p);

// The kind code (`Gleiche_Art_Code`): over the positions with an event above 0, plain (sign 1) or
// negated (sign 2) adds 1 or 10 for events 1 to 6, 100 or 1000 for 7 to 12, 10000 or 100000 for
// 13 to 23; any other event adds nothing.
int Gleiche_Art_Code(const std::array<int, 5>& ereignisse, const std::array<int, 5>& vorzeichen);
// The same from the event codes of a sequence (e or e + 100).
int Gleiche_Art_Code(const std::array<int, 5>& codes);

// The kind text (`Gleiche_Art_Ansicht`): the digits of the code from the last to the sixth from
// last, each digit d giving d items "1-1 ", "<> 1-1 ", "2-1 ", "<> 2-1 ", "5-1 ", "<> 5-1 "
// (by digit), joined by ", ". The same in both languages. Empty for 0 and negative codes.
std::string Gleiche_Art_Text(int code);

// The number of patterns shown before a run: combinations times sequences, each 0 counted as 1.
std::int64_t Kombinationen_Anzahl(const Parameter& p);

}  // namespace spinalyst::mining
