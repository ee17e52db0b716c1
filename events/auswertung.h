#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "events/auswertungsstatistik.h"
#include "kern/katalog.h"
#include "kern/kontext.h"

// The permanence evaluation: frequency, series and absences of every catalogue event over a
// stretch of the selected casino and gaming table, stored in the working fields of `Ereignisse`
// and in the result tables `Ereignisse_Serien` and `Ereignisse_Rueckstaendigkeit`, and the
// display of those results for one chance class at a time.
//
// How the main window uses it: it owns one Permanenzauswertung (after the data module) and the
// catalogue; its Ansicht::auswertungAnzeigen() calls
// DBComboBox_Haufigkeit_Serien_RueckstaendigkeitChange and shows the list that returns; the
// evaluation button and the menu entries call the run; the double clicks call the toggles.
namespace spinalyst::events {

// The three lists of the evaluation area; one is shown at a time.
enum class Auswertungsliste { Haeufigkeit, Serien, Rueckstaendigkeit };

// The figures beside an event's hits in the frequency list.
enum class Ereignisspalte { Erwartet, Z, P, Q };

// Display state of the evaluation area, held by the main window (not stored): the class-totals
// flag and the decimal separator of the user's locale for the percentages. Installs the row
// filters of both result tables (`TdbTable_Ereignisse_SerienFilterRecord`,
// `TdbTable_Ereignisse_RueckstaendigkeitFilterRecord`) on the data module's cursors and removes
// them again when destroyed, so it must not outlive the data module. Flag false: a result table
// shows the rows of the current event of the frequency list (`TdbQuery_Ereignisse_Haeufigkeit`;
// none while that list is closed or empty); flag true: the class-total rows of the chance
// class `Wahl.ID_Chancen_Auswertung`.
class Permanenzauswertung {
  public:
    Permanenzauswertung(store::DataModule_Roulette& dm, std::string dezimaltrenner);
    ~Permanenzauswertung();
    Permanenzauswertung(const Permanenzauswertung&) = delete;
    Permanenzauswertung& operator=(const Permanenzauswertung&) = delete;

    const std::string& dezimaltrenner() const { return dezimaltrenner_; }
    // The class-totals flag; set by the display and the toggle below.
    bool klassensummen() const { return klassensummen_; }
    void setzeKlassensummen(bool an) { klassensummen_ = an; }

    // What the last run counted for the statistics beside the results (set by the run).
    const Auswertungsgrundlage& grundlage() const { return grundlage_; }
    void setzeGrundlage(Auswertungsgrundlage g) { grundlage_ = std::move(g); }
    // The statistics of the events of a chance class (the events the frequency list shows) and
    // the chi-square test, taken afresh by the display of the results: only when the rows of
    // `ereignisse` (`Ereignisse`, any chance class) hold results of the last run (a percentage,
    // the hits it counted); the adjusted values are taken over the events of the class.
    void Statistik_Aktualisieren(store::Cursor& ereignisse, int klasse);
    const Ereigniswerte* werte(int id) const;
    const std::optional<ChiQuadrat>& chiQuadrat() const { return chiQuadrat_; }

    // The texts the lists show beside the counts, for a row of the frequency list (by
    // `ID_Ereignis`: expected hits with one decimal, z with one, p and q with three) or of the
    // series or absence list (`ID_Ereignis`, `ID_Ereignis_Gruppe` and the length); empty where
    // there is no figure. Auffaellig: the event's adjusted value is below 0.05.
    std::string Ereignis_Text(const store::RowView& zeile, Ereignisspalte spalte) const;
    bool Auffaellig(const store::RowView& zeile) const;
    std::string Erwartet_Text(Auswertungsliste liste, const store::RowView& zeile) const;
    // The chi-square line under the lists; empty when no results are shown.
    std::string Chi_Quadrat_Text(store::Sprache sprache) const;

  private:
    bool zeigt(const store::RowView& zeile) const;

    store::DataModule_Roulette& dm_;
    std::string dezimaltrenner_;
    bool klassensummen_ = false;
    Auswertungsgrundlage grundlage_;
    bool gueltig_ = false;  // the stored results are those of grundlage_
    std::map<int, Ereigniswerte> werte_;
    std::optional<ChiQuadrat> chiQuadrat_;
};

// "33,3%": anzahl × 100 / gesamt in fixed notation with one decimal and the given separator,
// then "%". Exact halves of the last digit round up (1 of 400 gives "0,3%"). Requires gesamt > 0.
std::string Prozent_Text(long long anzahl, long long gesamt, std::string_view dezimaltrenner);

// Resets the results (`Auswertung_Zuruecksetzen`), only while `Ereignisse` is open: every event's
// `Zahlen_Anzahl` and `Zahlen_Prozent` emptied, `Serien` and `Rueckstaendigkeit` 0,
// `Rueckstaendigkeit_1_Ereignis` "f" (the marks stay); the chance-class filter of `Ereignisse`
// switched on again when filterEin; both result tables emptied. Called with filterEin when the
// coup count, the day count or the "übergreifend" box change and by the selection change.
void Auswertung_Zuruecksetzen(kern::Kontext& k, bool filterEin);

// What a run did.
struct Auswertungslauf {
    int coups = 0;             // coups evaluated
    bool abgebrochen = false;  // ended by Escape
};

// The run (`BitBtn_Berechnung_Permanenz_AuswertungClick`) in the mode `Wahl.Auswertung_H_S_R`
// over the stretch `Wahl` describes: day mode (`Auswertung_Tage_Anzahl` = d ≥ 1) the coups of
// the d days up to the picker day (Sitzung::gewaehlter_tag); coup mode (d = 0) the picker day
// only, from the coup selected in `TdbTable_Permanenz` (the newest when that one has no number
// or none is selected) back for at most `Auswertung_Coups_Anzahl` coups (0: all). Every event of
// every chance class is counted. Shows the hourglass, resets and shows the emptied results,
// switches the system details off, then counts in memory, letting the window repaint every 10
// coups (Ansicht::neuZeichnen) and polling Escape after every coup; Escape shows "Berechnung
// abgebrochen!" / "Calculation is canceled!" once and keeps what was counted. Writes the
// working fields and both result tables in one transaction and shows the results. Store errors
// propagate; the filters and display updates it suspended are restored first.
Auswertungslauf BitBtn_Berechnung_Permanenz_AuswertungClick(kern::Kontext& k,
                                                            Permanenzauswertung& a,
                                                            const kern::Ereigniskatalog& katalog);

// The menu "Ereignisse" / "Auswertung": "Häufigkeit" ('H'), "Häufigkeit / Serien" ('S'),
// "Häufigkeit / Rückständigkeit" ('R'), "Komplett" ('A'): sets `Auswertung_H_S_R` (edit, post,
// edit again), then runs.
Auswertungslauf Permanenz_Auswertung_Modus(kern::Kontext& k, Permanenzauswertung& a,
                                           const kern::Ereigniskatalog& katalog, char modus);

// Shows the results (`DBComboBox_Haufigkeit_Serien_RueckstaendigkeitChange`) for the display mode
// `Wahl.Auswertung_H_S_R`; never recomputes. Class-totals flag off; a pending edit of `Wahl`
// posted (and edited again). "H", "A" (and any other mode): the frequency query reopened on the
// chance class `ID_Chancen_Auswertung`, ordered by identifier. "S" / "R": the percentages of the
// current event's rows of `Ereignisse_Serien` / `Ereignisse_Rueckstaendigkeit` written
// (`Serie_Prozent` / `Rueckstaendigkeit_Prozent`, share among that event's rows) and the series /
// absence query reopened on that event, ordered by length. Before, the statistics beside the
// counts are taken afresh for the shown chance class. Returns the list to show.
Auswertungsliste DBComboBox_Haufigkeit_Serien_RueckstaendigkeitChange(kern::Kontext& k,
                                                                      Permanenzauswertung& a);

// Class totals (double click on the series or absence list): when the flag is on, the results
// are shown again for the selected event (as above); otherwise the flag goes on, the percentages
// of the class-total rows of the shown chance class are written and the list's query shows
// those rows. Returns the list to show.
Auswertungsliste Klassensummen_Umschalten(kern::Kontext& k, Permanenzauswertung& a,
                                          Auswertungsliste liste);
inline Auswertungsliste DBGrid_Ereignisse_Serien_AuswertungDblClick(kern::Kontext& k,
                                                                    Permanenzauswertung& a) {
    return Klassensummen_Umschalten(k, a, Auswertungsliste::Serien);
}
inline Auswertungsliste DBGrid_Ereignisse_Rueckstaendigkeit_AuswertungDblClick(
    kern::Kontext& k, Permanenzauswertung& a) {
    return Klassensummen_Umschalten(k, a, Auswertungsliste::Rueckstaendigkeit);
}

}  // namespace spinalyst::events
