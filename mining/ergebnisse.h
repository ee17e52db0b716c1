#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "kern/katalog.h"
#include "kern/kontext.h"
#include "mining/kandidaten.h"
#include "store/database.h"
#include "store/value.h"

// The results side of data mining: the result list of the last run selected and ordered as
// `Wahl` asks, the single-coup profile behind a row, the pattern of the chosen row in
// `DM_Folge_Anzeige` with what the three filter labels show, and the data of the window
// "Ereignisfolgen" (the kinds of the sequences in `DM_Gleiche_Art`, the sequences of a kind with
// their frequencies). The windows and the command line only show what these give.
namespace spinalyst::mining {

// The result selection of `Wahl`.
struct Ergebnisauswahl {
    int chance = 0;  // `DM_Chance`: chance class of the attacked event; another value: any event
    int laenge = 1;  // `DM_Anzahl_Angriffe`: the attack length
    std::string art = "E";         // `DM_Art_Angriff`: "E", "K" or "P"
    std::string sortierung = "W";  // `DM_Sortierung`: "%" by success rate, else by win/loss
    std::int64_t minimum = 0;      // `DM_Sortierung_G_V_Minimum`: only win/loss above it
};

// The selection from the current row of the `Wahl` cursor (its edit buffer while editing); a
// null field reads as 0 or an empty text.
Ergebnisauswahl Ergebnisauswahl_Lesen(const store::Cursor& wahl);

// A statement over `DM_Gewinn_Verlust` or `DM_Folge` with its bound parameters.
struct Abfrage {
    std::string sql;
    std::vector<store::Value> parameter;
};

// The result list: rows with a win/loss above the minimum, an attacked event of the chance
// class (any event for another class value), the attack length and the kind; ordered by
// win/loss descending, or with "%" by success rate and then win/loss descending. Rows that tie
// keep the order the table holds them in.
Abfrage Ergebnisliste_Abfrage(const Ergebnisauswahl& auswahl);

// The single-coup profile of a pattern: its rows of kind "1" (coups 1 to 10 after the attack
// coup), by length ascending.
Abfrage Profil_Abfrage(std::int64_t idHsr, std::int64_t idFolge, int ereignis);

// The sequences of a kind, the most frequent first (ties in table order).
Abfrage Folgen_Abfrage(std::optional<std::int64_t> gleicheArt);

// A value as a share of the coups of the last run: wert * 100 / coups (`DM_Coups_letztes_DM`,
// the coup counter of the run) with one decimal, the given decimal separator and "%"
// ("10.0%" for 20 and 201). Empty when there is no such count (no run, or a counter below 1).
std::string Prozent_Text(std::int64_t wert, std::optional<std::int64_t> coups, char dezimaltrenner);

// One row of the pattern display `DM_Folge_Anzeige`: an event and its mark, "<>" for a negated
// sequence position, empty for a plain one, "x" for the attacked event.
struct Anzeigeereignis {
    int ereignis = 0;
    std::string angriff;

    bool operator==(const Anzeigeereignis&) const = default;
};

// The display rows of a sequence: its positions from the oldest (5) to the newest (1), those
// with a code above 0, a code of 100 or more as the event code - 100 marked "<>"; then the
// attacked event marked "x" when given.
std::vector<Anzeigeereignis> Folge_Ereignisse(const std::array<int, 5>& codes,
                                              std::optional<int> angriffsereignis);

// What the label and the two display boxes of one filter show for a pattern: the event's numbers
// text (the German `Ereignis_Info` in both languages) or "..." for a filter without event; "<>"
// when negated, "A" when applied.
struct Filteranzeige {
    std::string text = "...";
    bool ungleich = false;
    bool aktiv = false;

    bool operator==(const Filteranzeige&) const = default;
};
using Musteranzeige = std::array<Filteranzeige, 3>;  // H, S, R, indexed by Filterart

// The labels of a filter combination; every filter "..." and unchecked without one.
Musteranzeige Filter_Anzeigen(const std::optional<HSR_Kombination>& kombination,
                              const kern::Ereigniskatalog& katalog);

// The `DM_HSR` row with the identity, the codes of the `DM_Folge` row with the identity; nothing
// when the candidate tables no longer hold it (they were emptied by a count since the run).
std::optional<HSR_Kombination> HSR_Zeile_Lesen(store::Database& dmModul, std::int64_t idHsr);
std::optional<std::array<int, 5>> Folge_Zeile_Lesen(store::Database& dmModul, std::int64_t idFolge);

// A pattern in words for lists: the filters, the sequence from the oldest position and the
// attacked event, by event name in the language ("H Red, S off, R not Odd; not Red, Black;
// attack Manque"). Filters or a sequence no longer in the candidate tables read "?".
std::string Muster_Text(const std::optional<HSR_Kombination>& kombination,
                        const std::optional<std::array<int, 5>>& codes, int angriffsereignis,
                        const kern::Ereigniskatalog& katalog, store::Sprache sprache);

// --- The data-mining window -------------------------------------------------------------------

// Whether the result list is open (between a show and the next focus on a selection control,
// the opening of "Ereignisfolgen" or the closing of the window).
bool Ergebnisliste_Offen(const store::DataModule_Roulette& dm);

// `BitBtn_Anzeige_ErgebnisseClick`: posts `Wahl` and opens the result list of its selection on
// `TdbQuery_DM_Ergebnisse`, on its first row, with the calculated field `Gewinn_Verlust_Prozent`
// (Prozent_Text of the win/loss and the run's coup counter).
void BitBtn_Anzeige_ErgebnisseClick(kern::Kontext& k, char dezimaltrenner);

// `DBGrid_AuswertungDblClick`: on a row of kind "1" the result list again, on any other row the
// single-coup profile of its pattern. Nothing while the list is closed or empty.
void DBGrid_AuswertungDblClick(kern::Kontext& k, char dezimaltrenner);

// `DataSource_Tdb_Query_DM_ErgebnisseDataChange`: `DM_Folge_Anzeige` refilled with the pattern of
// the chosen row (its sequence, then its attacked event "x"; names and texts in the session's
// language) and what the filter labels show. Without rows the display is emptied and nothing is
// returned (the labels keep their texts). A pattern whose filters or sequence the candidate
// tables no longer hold is shown without them.
std::optional<Musteranzeige> DataSource_Tdb_Query_DM_ErgebnisseDataChange(
    kern::Kontext& k, const kern::Ereigniskatalog& katalog);

// `DBLookup_AuswertungEnter`: a result-selection control got the focus: the result list is
// closed and the display emptied.
void DBLookup_AuswertungEnter(kern::Kontext& k);

// Closing the data-mining window, results part: the result list closed, the display emptied.
void Data_Mining_Ergebnisse_Schliessen(kern::Kontext& k);

// --- The window "Ereignisfolgen" ----------------------------------------------------------------

// The kinds of the sequences of `DM_Folge` (code and kind text of its first sequence), by code
// ascending.
std::vector<std::pair<int, std::string>> Gleiche_Arten_Lesen(store::Database& dmModul);

// `FormShow`: the result list closed, the display emptied, `DM_Gleiche_Art` rebuilt from the
// kinds of `DM_Folge` (lowest code first) and on its first row, then Folgen_Anzeigen.
void Ereignisfolgen_FormShow(kern::Kontext& k, char dezimaltrenner);

// `Folgen_Anzeigen`: the sequences of the chosen kind of `DM_Gleiche_Art` on
// `TdbQuery_Gleiche_Art`, the most frequent first, with the calculated field `Anzahl_Prozent`.
void Folgen_Anzeigen(kern::Kontext& k, char dezimaltrenner);

// `DataSource_Query_Gleiche_ArtDataChange`: `DM_Folge_Anzeige` refilled with the positions of the
// chosen sequence (no attacked event); emptied when there is none.
void DataSource_Query_Gleiche_ArtDataChange(kern::Kontext& k, const kern::Ereigniskatalog& katalog);

// `FormClose`: the display emptied, the sequences query closed.
void Ereignisfolgen_FormClose(kern::Kontext& k);

}  // namespace spinalyst::mining
