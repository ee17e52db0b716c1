#include "mining/kandidaten.h"

#include <algorithm>

#include "systems/durchlauf.h"

namespace spinalyst::mining {

namespace {

// The (event, state) choices of one filter in the order a combination takes them.
std::vector<Filterstellung> Stellungen(const Parameter& p, Filterart art) {
    const int ereignis = Systemereignis(p, art);
    const int von = Ereignis_Bereich(p, art, ereignis, Grenze::Untere);
    const int bis = Ereignis_Bereich(p, art, ereignis, Grenze::Obere);
    if (von < 1) {
        return {Filterstellung{}};
    }
    std::vector<Filterstellung> stellungen;
    for (int e = von; e <= bis; ++e) {
        stellungen.push_back({e, false, true});
        stellungen.push_back({e, true, true});
        if (e == von) {
            stellungen.push_back({e, false, false});
        }
    }
    return stellungen;
}

// The event codes one position of a sequence takes, in order.
std::vector<int> Positionscodes(const Parameter& p) {
    std::vector<int> codes;
    const int b = Folgen_Obergrenze(p);
    for (int e = 1; e <= b; ++e) {
        codes.push_back(e);
        if (p.folgeUngleich) {
            codes.push_back(e + 100);
        }
    }
    return codes;
}

int Gewicht(int ereignis, bool negiert) {
    int gewicht = 0;
    if (ereignis >= 1 && ereignis <= 6) {
        gewicht = 1;
    } else if (ereignis >= 7 && ereignis <= 12) {
        gewicht = 100;
    } else if (ereignis >= 13 && ereignis <= 23) {
        gewicht = 10000;
    }
    return negiert ? gewicht * 10 : gewicht;
}

}  // namespace

std::optional<int> Chance_Des_Ereignisses(int ereignis) {
    for (const int chance : kChancen) {
        const auto bereich = systems::Chancen_Ereignisse(chance);
        if (bereich && ereignis >= bereich->first && ereignis <= bereich->second) {
            return chance;
        }
    }
    return std::nullopt;
}

int Ereignis_Bereich(const Parameter& p, Filterart art, int ereignis, Grenze grenze) {
    const Filteroption& option = p.option(art);
    if (!option.aktiv) {
        return 0;
    }
    if (!option.alle) {
        return ereignis;
    }
    const std::optional<int> chance = Chance_Des_Ereignisses(ereignis);
    if (!chance) {
        return 0;
    }
    const auto bereich = systems::Chancen_Ereignisse(*chance);
    return grenze == Grenze::Untere ? bereich->first : bereich->second;
}

std::vector<HSR_Kombination> HSR_Kombinationen_Bilden(const Parameter& p) {
    const auto h = Stellungen(p, Filterart::Haeufigkeit);
    const auto s = Stellungen(p, Filterart::Serien);
    const auto r = Stellungen(p, Filterart::Rueckstaendigkeit);
    std::vector<HSR_Kombination> kombinationen;
    kombinationen.reserve(h.size() * s.size() * r.size());
    for (const Filterstellung& hs : h) {
        for (const Filterstellung& ss : s) {
            for (const Filterstellung& rs : r) {
                const int id = static_cast<int>(kombinationen.size()) + 1;
                kombinationen.push_back({id, {hs, ss, rs}});
            }
        }
    }
    return kombinationen;
}

std::int64_t HSR_Kombinationen_Zaehlen(const Parameter& p) {
    std::int64_t anzahl = 1;
    for (const Filterart art : kFilterarten) {
        const int ereignis = Systemereignis(p, art);
        const int von = Ereignis_Bereich(p, art, ereignis, Grenze::Untere);
        const int bis = Ereignis_Bereich(p, art, ereignis, Grenze::Obere);
        if (von >= 1) {
            anzahl *= 2 * std::int64_t{std::max(0, bis - von + 1)} + 1;
        }
    }
    return anzahl;
}

int Folgen_Obergrenze(const Parameter& p) {
    if (p.folge51) {
        return 23;
    }
    if (p.folge21) {
        return 12;
    }
    return p.folge11 ? 6 : 0;
}

int Folgen_Laenge(const Parameter& p) {
    return std::clamp(p.folgeAnzahl, 0, 5);
}

void Folgen_Durchlaufen(const Parameter& p, const std::function<void(const Folge&)>& folge) {
    const int laenge = Folgen_Laenge(p);
    const std::vector<int> codes = Positionscodes(p);
    if (laenge == 0 || codes.empty()) {
        return;
    }
    // An odometer over the positions, position 1 the slowest.
    std::array<std::size_t, 5> stelle{};
    const auto l = static_cast<std::size_t>(laenge);
    while (true) {
        Folge f;
        for (std::size_t k = 0; k < l; ++k) {
            f.codes[k] = codes[stelle[k]];
        }
        f.gleicheArt = Gleiche_Art_Code(f.codes);
        folge(f);
        std::size_t k = l;
        while (k > 0 && ++stelle[k - 1] == codes.size()) {
            stelle[k - 1] = 0;
            --k;
        }
        if (k == 0) {
            return;
        }
    }
}

std::vector<Folge> Folgen_Bilden(const Parameter& p) {
    std::vector<Folge> folgen;
    folgen.reserve(static_cast<std::size_t>(Folgen_Zaehlen(p)));
    Folgen_Durchlaufen(p, [&](const Folge& f) { folgen.push_back(f); });
    return folgen;
}

std::int64_t Folgen_Zaehlen(const Parameter& p) {
    const int laenge = Folgen_Laenge(p);
    const std::int64_t je = Folgen_Obergrenze(p) * (p.folgeUngleich ? 2 : 1);
    if (laenge == 0 || je == 0) {
        return 0;
    }
    std::int64_t anzahl = 1;
    for (int k = 0; k < laenge; ++k) {
        anzahl *= je;
    }
    return anzahl;
}

int Gleiche_Art_Code(const std::array<int, 5>& ereignisse, const std::array<int, 5>& vorzeichen) {
    int code = 0;
    for (std::size_t k = 0; k < ereignisse.size(); ++k) {
        if (ereignisse[k] > 0) {
            code += Gewicht(ereignisse[k], vorzeichen[k] == 2);
        }
    }
    return code;
}

int Gleiche_Art_Code(const std::array<int, 5>& codes) {
    std::array<int, 5> ereignisse{};
    std::array<int, 5> vorzeichen{};
    for (std::size_t k = 0; k < codes.size(); ++k) {
        const bool negiert = codes[k] >= 100;
        ereignisse[k] = negiert ? codes[k] - 100 : codes[k];
        vorzeichen[k] = negiert ? 2 : 1;
    }
    return Gleiche_Art_Code(ereignisse, vorzeichen);
}

std::string Gleiche_Art_Text(int code) {
    static constexpr std::array<const char*, 6> kTeile = {"1-1 ",    "<> 1-1 ", "2-1 ",
                                                          "<> 2-1 ", "5-1 ",    "<> 5-1 "};
    std::string text;
    if (code <= 0) {
        return text;
    }
    for (const char* teil : kTeile) {
        for (int d = code % 10; d > 0; --d) {
            if (!text.empty()) {
                text += ", ";
            }
            text += teil;
        }
        code /= 10;
    }
    return text;
}

std::int64_t Kombinationen_Anzahl(const Parameter& p) {
    return std::max<std::int64_t>(1, HSR_Kombinationen_Zaehlen(p)) *
           std::max<std::int64_t>(1, Folgen_Zaehlen(p));
}

}  // namespace spinalyst::mining
