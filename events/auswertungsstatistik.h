#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "events/statistik.h"
#include "kern/katalog.h"
#include "store/zustand.h"

// The figures beside the results of the permanence evaluation: for each event its expected hits,
// z-score, p-value and the adjusted value over the events shown together, the chi-square test of
// the 37 numbers, and the expected count of each series and absence length. Computed from what a
// run counted (Auswertungsgrundlage), written as texts with the locale's decimal separator.
namespace spinalyst::events {

struct Zaehlergebnis;

// What a run counted that the statistics rest on; empty (no coup) until the first run.
struct Auswertungsgrundlage {
    struct Ereignisdaten {
        int gruppe = 0;            // chance class
        int zahlen = 0;            // member numbers (m)
        std::int64_t treffer = 0;  // hits in the stretch
    };
    std::int64_t coups = 0;  // q
    // Coups per segment (a day without "übergreifend", else the whole stretch).
    std::vector<std::int64_t> abschnitte;
    std::array<std::int64_t, kZahlenImKessel> zahlen{};  // hits of numbers 0 to 36
    // By `ID_Ereignis`; the first catalogue event of an identifier, as the tables key them.
    std::map<int, Ereignisdaten> ereignisse;

    static Auswertungsgrundlage aus(const kern::Ereigniskatalog& katalog,
                                    const Zaehlergebnis& ergebnis);
};

// The figures of one event among the events shown together.
struct Ereigniswerte {
    Trefferstatistik statistik;
    double q = 1;             // Benjamini–Hochberg adjusted p-value over the events shown
    bool auffaellig = false;  // q below kAuffaellig
};

// Below this adjusted p-value an event is marked as unusual.
inline constexpr double kAuffaellig = 0.05;

// The figures of the given events (identifiers of the grundlage; others are left out), the
// adjusted values taken over exactly these events.
std::map<int, Ereigniswerte> Ereigniswerte_Berechnen(const Auswertungsgrundlage& g,
                                                     std::span<const int> ids);

// The chi-square test of the counted numbers; nullopt when no coup was counted.
inline std::optional<ChiQuadrat> Chi_Quadrat(const Auswertungsgrundlage& g) {
    return Chi_Quadrat(std::span<const std::int64_t, kZahlenImKessel>(g.zahlen));
}

// Expected count of series / absences of this length for an event (id > 0) or, for id 0, the
// class total (the sum over the events of chance class `gruppe`); 0 for an unknown event.
double Erwartete_Serien_Anzahl(const Auswertungsgrundlage& g, int id, int gruppe, int laenge);
double Erwartete_Rueckstaende_Anzahl(const Auswertungsgrundlage& g, int id, int gruppe, int laenge);

// Texts, with the given decimal separator:
// "12,35": fixed notation with that many decimals ("-" before a negative value, "∞" / "-∞").
std::string Dezimal_Text(double wert, int nachkomma, std::string_view dezimaltrenner);
// A p-value: three decimals, "<0,001" below what they show.
std::string P_Text(double p, std::string_view dezimaltrenner);
// An expected count: "0" for none, one decimal from 100, two from 1, below 1 three significant
// digits ("0,0364"), "<0,000001" below that.
std::string Erwartet_Text(double erwartet, std::string_view dezimaltrenner);
// The line under the evaluation: "Chi-Quadrat-Test der 37 Zahlen: χ² = 41,23; 36 FG; p = 0,253"
// (English "Chi-square test of the 37 numbers: χ² = 41.23; 36 df; p = 0.253"; "p < 0,001" below
// that); empty for no test.
std::string Chi_Quadrat_Zeile(const std::optional<ChiQuadrat>& test, store::Sprache sprache,
                              std::string_view dezimaltrenner);

}  // namespace spinalyst::events
