#include "tests/mining/bewertung_referenz.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

namespace spinalyst::testing {

namespace {

struct Rechenzeile {
    char art;
    int ereignis;
    int angriff;
    bool ok;
    int gewinnVerlust;
};

int rang(char art) {
    for (std::size_t i = 0; i < mining::kAngriffsarten.size(); ++i) {
        if (mining::kAngriffsarten[i] == art) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

}  // namespace

mining::Bewertung Referenz_Bewerten(std::span<const kern::Coup> bereich, const mining::Parameter& p,
                                    const kern::Ereigniskatalog& katalog,
                                    const mining::Auszahlungen& auszahlungen,
                                    std::span<const mining::HSR_Kombination> kombinationen,
                                    std::span<const mining::Folge> folgen,
                                    std::int64_t ersteFolgeId, std::size_t coups) {
    mining::Bewertung bewertung;
    bewertung.folgeAnzahl.assign(folgen.size(), 0);
    std::vector<bool> geprueft(folgen.size(), false);
    // The key of a result row packed into one number (combination, sequence, kind, event, length).
    using Schluessel = std::uint64_t;
    std::unordered_map<Schluessel, mining::Ergebniszeile> tabelle;

    bewertung.tage = 1;
    bewertung.coups = 1;
    if (bereich.empty()) {
        return bewertung;
    }
    store::Date letzterTag = bereich.front().tag;
    for (std::size_t t = 0; t < bereich.size() && t < coups; ++t) {
        // The scratch table of the coup.
        std::vector<Rechenzeile> berechnung;
        for (const char art : mining::kAngriffsarten) {
            for (int e = 1; e <= 153; ++e) {
                const int chance = *mining::Chance_Des_Ereignisses(e);
                bool gewaehlt = false;
                for (std::size_t k = 0; k < mining::kChancen.size(); ++k) {
                    gewaehlt = gewaehlt || (mining::kChancen[k] == chance && p.chancen[k]);
                }
                if (!gewaehlt) {
                    continue;
                }
                for (int j = 1; j <= 10; ++j) {
                    const auto r = mining::Angriff_Auswerten(bereich, t, art, e, j, p.uebergreifend,
                                                             katalog, auszahlungen);
                    if (r) {
                        berechnung.push_back({art, e, j, r->erfolg, r->gewinnVerlust});
                    }
                }
            }
        }
        int i = 0;
        for (const mining::HSR_Kombination& k : kombinationen) {
            if (!mining::HSR_Kombination_Pruefen(bereich, t, k, p, katalog)) {
                continue;
            }
            ++i;
            for (std::size_t s = 0; s < folgen.size(); ++s) {
                bool passt = false;
                if (i > 1 && geprueft[s]) {
                    passt = true;
                } else {
                    passt = mining::Folge_Pruefen(bereich, t, folgen[s], katalog);
                }
                if (i == 1) {
                    geprueft[s] = false;
                    if (passt) {
                        ++bewertung.folgeAnzahl[s];
                        geprueft[s] = true;
                    }
                }
                if (!passt) {
                    continue;
                }
                const std::int64_t idFolge = ersteFolgeId + static_cast<std::int64_t>(s);
                for (const Rechenzeile& r : berechnung) {
                    const Schluessel schluessel =
                        (((static_cast<Schluessel>(k.id) << 26 | static_cast<Schluessel>(idFolge))
                              << 2 |
                          static_cast<Schluessel>(rang(r.art)))
                             << 8 |
                         static_cast<Schluessel>(r.ereignis))
                            << 4 |
                        static_cast<Schluessel>(r.angriff);
                    auto it = tabelle.find(schluessel);
                    if (it == tabelle.end()) {
                        mining::Ergebniszeile neu;
                        neu.idHsr = k.id;
                        neu.idFolge = idFolge;
                        neu.art = r.art;
                        neu.ereignis = r.ereignis;
                        neu.angriff = r.angriff;
                        it = tabelle.emplace(schluessel, neu).first;
                    }
                    mining::Ergebnis_Addieren(it->second, r.ok, r.gewinnVerlust);
                }
            }
        }
        if (bereich[t].tag != letzterTag) {
            ++bewertung.tage;
            letzterTag = bereich[t].tag;
        }
        ++bewertung.coups;
    }
    for (const auto& [schluessel, zeile] : tabelle) {
        bewertung.zeilen.push_back(zeile);
    }
    std::sort(bewertung.zeilen.begin(), bewertung.zeilen.end(), mining::Ergebnis_Vor);
    return bewertung;
}

}  // namespace spinalyst::testing
