#include "events/auswertungsstatistik.h"

#include <bit>
#include <charconv>
#include <cmath>

#include "events/zaehlung.h"

namespace spinalyst::events {

Auswertungsgrundlage Auswertungsgrundlage::aus(const kern::Ereigniskatalog& katalog,
                                               const Zaehlergebnis& ergebnis) {
    Auswertungsgrundlage g;
    g.coups = ergebnis.coups;
    g.abschnitte = ergebnis.abschnitte;
    g.zahlen = ergebnis.zahlen;
    const auto& ev = katalog.ereignisse();
    for (std::size_t i = 0; i < ev.size(); ++i) {
        const int zahlen =
            std::popcount(ev[i].zahlen & ((std::uint64_t{1} << kZahlenImKessel) - 1));
        const std::int64_t treffer =
            i < ergebnis.felder.size() ? ergebnis.felder[i].zahlenAnzahl : 0;
        g.ereignisse.try_emplace(ev[i].id, Ereignisdaten{ev[i].gruppe, zahlen, treffer});
    }
    return g;
}

std::map<int, Ereigniswerte> Ereigniswerte_Berechnen(const Auswertungsgrundlage& g,
                                                     std::span<const int> ids) {
    std::vector<int> gezeigt;
    std::vector<Trefferstatistik> statistik;
    std::vector<double> p;
    for (int id : ids) {
        auto it = g.ereignisse.find(id);
        if (it == g.ereignisse.end()) {
            continue;
        }
        gezeigt.push_back(id);
        statistik.push_back(Treffer_Statistik(it->second.treffer, g.coups, it->second.zahlen));
        p.push_back(statistik.back().p);
    }
    const std::vector<double> q = Benjamini_Hochberg(p);
    std::map<int, Ereigniswerte> werte;
    for (std::size_t i = 0; i < gezeigt.size(); ++i) {
        werte[gezeigt[i]] = {statistik[i], q[i], q[i] < kAuffaellig};
    }
    return werte;
}

namespace {

template <typename Erwartung>
double Erwartete_Anzahl(const Auswertungsgrundlage& g, int id, int gruppe, int laenge,
                        Erwartung erwartung) {
    auto einzeln = [&](const Auswertungsgrundlage::Ereignisdaten& e) {
        return erwartung(std::span<const std::int64_t>(g.abschnitte),
                         static_cast<double>(e.zahlen) / kZahlenImKessel, laenge);
    };
    if (id != 0) {
        auto it = g.ereignisse.find(id);
        return it == g.ereignisse.end() ? 0.0 : einzeln(it->second);
    }
    double summe = 0;
    for (const auto& [_, e] : g.ereignisse) {
        if (e.gruppe == gruppe) {
            summe += einzeln(e);
        }
    }
    return summe;
}

}  // namespace

double Erwartete_Serien_Anzahl(const Auswertungsgrundlage& g, int id, int gruppe, int laenge) {
    return Erwartete_Anzahl(
        g, id, gruppe, laenge,
        [](std::span<const std::int64_t> a, double p, int l) { return Erwartete_Serien(a, p, l); });
}

double Erwartete_Rueckstaende_Anzahl(const Auswertungsgrundlage& g, int id, int gruppe,
                                     int laenge) {
    return Erwartete_Anzahl(g, id, gruppe, laenge,
                            [](std::span<const std::int64_t> a, double p, int l) {
                                return Erwartete_Rueckstaende(a, p, l);
                            });
}

std::string Dezimal_Text(double wert, int nachkomma, std::string_view dezimaltrenner) {
    if (std::isinf(wert)) {
        return wert < 0 ? "-∞" : "∞";
    }
    if (std::isnan(wert)) {
        return {};
    }
    // to_chars ignores the C locale, so the separator is the one given, whatever the program's
    // locale is.
    char puffer[64];
    const auto [ende, fehler] =
        std::to_chars(puffer, puffer + sizeof puffer, wert, std::chars_format::fixed, nachkomma);
    if (fehler != std::errc()) {
        return {};
    }
    std::string text(puffer, ende);
    if (text.find_first_not_of("-0.") == std::string::npos) {
        text.erase(0, text.front() == '-' ? 1 : 0);  // no "-0,00"
    }
    if (const auto punkt = text.find('.'); punkt != std::string::npos) {
        text.replace(punkt, 1, dezimaltrenner);
    }
    return text;
}

std::string P_Text(double p, std::string_view dezimaltrenner) {
    if (p < 0.0005) {
        std::string text = Dezimal_Text(0.001, 3, dezimaltrenner);
        text.insert(text.begin(), '<');
        return text;
    }
    return Dezimal_Text(p, 3, dezimaltrenner);
}

std::string Erwartet_Text(double erwartet, std::string_view dezimaltrenner) {
    if (erwartet <= 0) {
        return "0";
    }
    if (erwartet >= 100) {
        return Dezimal_Text(erwartet, 1, dezimaltrenner);
    }
    if (erwartet >= 1) {
        return Dezimal_Text(erwartet, 2, dezimaltrenner);
    }
    if (erwartet < 0.0000005) {
        std::string text = Dezimal_Text(0.000001, 6, dezimaltrenner);
        text.insert(text.begin(), '<');
        return text;
    }
    // Three significant digits: 0.0364 has its first digit at the second place.
    const int erste = static_cast<int>(std::floor(-std::log10(erwartet))) + 1;
    return Dezimal_Text(erwartet, std::min(erste + 2, 6), dezimaltrenner);
}

std::string Chi_Quadrat_Zeile(const std::optional<ChiQuadrat>& test, store::Sprache sprache,
                              std::string_view dezimaltrenner) {
    if (!test) {
        return {};
    }
    const bool deutsch = sprache == store::Sprache::Deutsch;
    std::string zeile = deutsch ? "Chi-Quadrat-Test der 37 Zahlen: χ² = "
                                : "Chi-square test of the 37 numbers: χ² = ";
    zeile += Dezimal_Text(test->statistik, 2, dezimaltrenner);
    zeile += "; " + std::to_string(test->freiheitsgrade) + (deutsch ? " FG; p " : " df; p ");
    const std::string p = P_Text(test->p, dezimaltrenner);
    zeile += p.front() == '<' ? "< " + p.substr(1) : "= " + p;
    return zeile;
}

}  // namespace spinalyst::events
