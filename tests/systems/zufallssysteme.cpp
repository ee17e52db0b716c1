#include "tests/systems/zufallssysteme.h"

#include <algorithm>
#include <sstream>
#include <utility>

namespace spinalyst::testing {
namespace {

using systems::Folgenglied;
using systems::Instanz;
using systems::System;
using systems::Wette;

std::uint64_t zahlen(int von, int bis) {
    std::uint64_t bits = 0;
    for (int z = von; z <= bis; ++z) {
        bits |= std::uint64_t{1} << z;
    }
    return bits;
}

kern::Ereignis ereignis(int id, int gruppe, int einsatz, int gewinn, std::uint64_t bits) {
    kern::Ereignis e;
    e.id = id;
    e.gruppe = gruppe;
    e.einsatz = einsatz;
    e.gewinn = gewinn;
    e.name = "E" + std::to_string(id);
    e.nameEnglisch = e.name;
    e.zahlen = bits;
    return e;
}

int wuerfel(std::mt19937& rng, int von, int bis) {
    return std::uniform_int_distribution<int>(von, bis)(rng);
}

bool chance(std::mt19937& rng, double p) {
    return std::bernoulli_distribution(p)(rng);
}

template <typename T>
T eines(std::mt19937& rng, const std::vector<T>& werte) {
    return werte[static_cast<std::size_t>(wuerfel(rng, 0, static_cast<int>(werte.size()) - 1))];
}

// Events the filters and trigger rows look at (membership only).
const std::vector<int> kFilterereignisse = {
    testereignis::kRot,   testereignis::kSchwarz,   testereignis::kGerade, testereignis::kManque,
    testereignis::kPasse, testereignis::kKeineNull, testereignis::kUnten,  testereignis::kDutzend,
    testereignis::kNull,  testereignis::kSiebzehn};

int angriffsereignis(std::mt19937& rng) {
    const int w = wuerfel(rng, 0, 99);
    if (w < 55) {
        return eines(
            rng, std::vector<int>{testereignis::kRot, testereignis::kSchwarz, testereignis::kGerade,
                                  testereignis::kManque, testereignis::kPasse});
    }
    if (w < 75) {
        return eines(rng, std::vector<int>{testereignis::kUnten, testereignis::kOben});
    }
    if (w < 85) {
        return eines(rng, std::vector<int>{testereignis::kNull, testereignis::kSiebzehn,
                                           testereignis::kDutzend});
    }
    if (w < 92) {
        return testereignis::kKeineNull;
    }
    return eines(rng, std::vector<int>{testereignis::kOhneEinsatz, testereignis::kUnbekannt});
}

// A field that is null now and then.
std::optional<int> feld(std::mt19937& rng, int wert, double nullAnteil) {
    if (chance(rng, nullAnteil)) {
        return std::nullopt;
    }
    return wert;
}

systems::Zaehlfilter zaehlfilter(std::mt19937& rng, bool rueckstaendigkeit) {
    systems::Zaehlfilter f;
    const int w = wuerfel(rng, 0, 9);
    if (w < 6) {
        // Off: fields set or not, they must not matter.
        f.aktiv = false;
        if (w < 2) {
            return f;
        }
    } else {
        f.aktiv = true;
    }
    const double nullAnteil = 0.05;
    f.ereignis = feld(rng, eines(rng, kFilterereignisse), nullAnteil);
    const int von = rueckstaendigkeit ? wuerfel(rng, 1, 6) : wuerfel(rng, 1, 4);
    f.coupsVon = feld(rng, von, nullAnteil);
    f.coupsBis = feld(rng, von + wuerfel(rng, 0, 10), nullAnteil);
    const int anzahlVon = rueckstaendigkeit ? wuerfel(rng, 0, 2) : wuerfel(rng, 0, 4);
    f.anzahlVon = feld(rng, anzahlVon, nullAnteil);
    f.anzahlBis = feld(rng, anzahlVon + wuerfel(rng, 0, 4), nullAnteil);
    f.ungleich = chance(rng, 0.4);
    f.vorEreignisfolge = chance(rng, 0.4);
    return f;
}

systems::Serienfilter serienfilter(std::mt19937& rng) {
    systems::Serienfilter f;
    const int w = wuerfel(rng, 0, 9);
    if (w < 6) {
        f.aktiv = false;
        if (w < 2) {
            return f;
        }
    } else {
        f.aktiv = true;
    }
    const double nullAnteil = 0.05;
    const bool lang = chance(rng, 0.25);  // windows over 25 coups: long series
    f.ereignis =
        feld(rng, lang ? testereignis::kKeineNull : eines(rng, kFilterereignisse), nullAnteil);
    const int von = wuerfel(rng, 1, 4);
    f.coupsVon = feld(rng, von, nullAnteil);
    f.coupsBis = feld(rng, von + (lang ? wuerfel(rng, 24, 34) : wuerfel(rng, 0, 14)), nullAnteil);
    const int laengeVon = lang ? wuerfel(rng, 20, 26) : wuerfel(rng, 1, 3);
    f.laengeVon = feld(rng, laengeVon, nullAnteil);
    f.laengeBis =
        feld(rng, laengeVon + (lang ? wuerfel(rng, 3, 10) : wuerfel(rng, 0, 3)), nullAnteil);
    const int anzahlVon = wuerfel(rng, 0, 2);
    f.anzahlVon = feld(rng, anzahlVon, nullAnteil);
    f.anzahlBis = feld(rng, anzahlVon + (lang ? 0 : wuerfel(rng, 0, 3)), nullAnteil);
    f.ungleich = chance(rng, 0.4);
    f.vorEreignisfolge = chance(rng, 0.4);
    return f;
}

systems::Historienfilter historienfilter(std::mt19937& rng) {
    systems::Historienfilter f;
    const int w = wuerfel(rng, 0, 9);
    if (w < 7) {
        f.aktiv = false;
        if (w < 4) {
            return f;
        }
    } else {
        f.aktiv = true;
    }
    const int okVon = wuerfel(rng, 1, 3);
    f.okVon = okVon;
    f.okBis = okVon + wuerfel(rng, 0, 3);
    const int folgenVon = wuerfel(rng, 1, 3);
    f.folgenVon = folgenVon;
    f.folgenBis = folgenVon + wuerfel(rng, 0, 3);
    f.ungleich = chance(rng, 0.4);
    return f;
}

Instanz zufallsinstanz(std::mt19937& rng, bool benutzt) {
    Instanz ins;
    const std::vector<char> arten = {'E', 'K', 'P', 'E', 'K', 'P', 0};
    ins.setzart = eines(rng, arten);
    // Stakes: a run of steps, sometimes with a gap, now and then all 50.
    const int w = wuerfel(rng, 0, 19);
    const int stufen = w == 0 ? systems::kAngriffsstufen : wuerfel(rng, 1, 8);
    for (int k = 1; k <= stufen; ++k) {
        ins.saetze[static_cast<std::size_t>(k)] =
            chance(rng, 0.05) ? 0
                              : (chance(rng, 0.5) ? 1 << std::min(k - 1, 5) : wuerfel(rng, 1, 10));
    }
    if (stufen > 2 && chance(rng, 0.2)) {
        ins.saetze[static_cast<std::size_t>(wuerfel(rng, 2, stufen))] = std::nullopt;
    }
    if (chance(rng, 0.5)) {
        ins.limitGewinn = wuerfel(rng, 2, 30);
    }
    if (chance(rng, 0.5)) {
        ins.limitVerlust = -wuerfel(rng, 2, 30);
    }
    if (!benutzt) {
        // An instance the system does not use: no rows, no filters (its stakes may be there).
        return ins;
    }
    const int zeilen = chance(rng, 0.1) ? 4 : wuerfel(rng, 1, 3);
    for (int z = 0; z + 1 < zeilen; ++z) {
        Folgenglied g;
        g.ereignis = eines(rng, kFilterereignisse);
        g.angriff = chance(rng, 0.25) ? "<>" : (chance(rng, 0.5) ? "" : "x");
        ins.folge.push_back(g);
    }
    Folgenglied angriff;
    angriff.ereignis = angriffsereignis(rng);
    angriff.angriff = chance(rng, 0.9) ? "x" : (chance(rng, 0.5) ? "" : "<>");
    ins.folge.push_back(angriff);
    ins.haeufigkeit = zaehlfilter(rng, false);
    ins.serien = serienfilter(rng);
    ins.rueckstaendigkeit = zaehlfilter(rng, true);
    ins.historie = historienfilter(rng);
    return ins;
}

const char* janein(bool b) {
    return b ? "t" : "f";
}

std::string optional(const std::optional<int>& v) {
    return v ? std::to_string(*v) : std::string("null");
}

void zaehlfilterBeschreiben(std::ostringstream& out, const char* name,
                            const systems::Zaehlfilter& f) {
    if (!f.aktiv) {
        return;
    }
    out << " " << name << "(E" << optional(f.ereignis) << " coups " << optional(f.coupsVon) << ".."
        << optional(f.coupsBis) << " anzahl " << optional(f.anzahlVon) << ".."
        << optional(f.anzahlBis) << (f.ungleich ? " ungleich" : "")
        << (f.vorEreignisfolge ? " vor" : "") << ")";
}

// An event an individual system may have bet on before: one of the class, or another one.
int individuellesEreignis(std::mt19937& rng, int chancen) {
    if (const auto bereich = systems::Chancen_Ereignisse(chancen); bereich && chance(rng, 0.7)) {
        const int id = wuerfel(rng, bereich->first, bereich->second);
        if (id != testereignis::kOhneEinsatz && id != testereignis::kUnbekannt) {
            return id;
        }
    }
    return eines(rng,
                 std::vector<int>{testereignis::kRot, testereignis::kUnten, testereignis::kNull});
}

}  // namespace

kern::Ereigniskatalog Testkatalog() {
    std::uint64_t rot = 0;
    for (int z : {1, 3, 5, 7, 9, 12, 14, 16, 18, 19, 21, 23, 25, 27, 30, 32, 34, 36}) {
        rot |= std::uint64_t{1} << z;
    }
    std::uint64_t gerade = 0;
    for (int z = 2; z <= 36; z += 2) {
        gerade |= std::uint64_t{1} << z;
    }
    using namespace testereignis;
    std::vector<kern::Ereignis> alle = {
        ereignis(kRot, 1, 1, 1, rot),
        ereignis(kSchwarz, 1, 1, 1, zahlen(1, 36) & ~rot),
        ereignis(kGerade, 1, 1, 1, gerade),
        ereignis(kManque, 1, 1, 1, zahlen(1, 18)),
        ereignis(kPasse, 1, 1, 1, zahlen(19, 36)),
        ereignis(kKeineNull, 1, 1, 1, zahlen(1, 36)),
        ereignis(kUnten, 2, 2, 2, zahlen(1, 24)),
        ereignis(kOben, 2, 2, 2, zahlen(13, 36)),
        ereignis(kNull, 3, 1, 35, zahlen(0, 0)),
        ereignis(kSiebzehn, 3, 1, 35, zahlen(17, 17)),
        ereignis(kDutzend, 4, 1, 2, zahlen(1, 12)),
        ereignis(kOhneEinsatz, 1, 0, 1, zahlen(1, 18)),
    };
    // The rest of each class range, in order of identifier, skipping the identifiers taken above
    // and kUnbekannt; `einsatz(i)` gives the pieces of the i-th event filled in.
    auto fuellen = [&](int erstes, int letztes, int klasse,
                       const std::vector<std::uint64_t>& mengen, auto einsatz) {
        std::size_t i = 0;
        for (int id = erstes; id <= letztes && i < mengen.size(); ++id) {
            const bool belegt = std::any_of(alle.begin(), alle.end(),
                                            [id](const kern::Ereignis& e) { return e.id == id; });
            if (belegt || id == kUnbekannt) {
                continue;
            }
            const int stuecke = einsatz(i);
            alle.push_back(ereignis(id, klasse, stuecke, klasse * stuecke, mengen[i]));
            ++i;
        }
    };
    std::vector<std::uint64_t> mengen;
    for (int d = 0; d < 3; ++d) {
        mengen.push_back(zahlen(12 * d + 1, 12 * d + 12));  // dozens
    }
    for (int k = 1; k <= 3; ++k) {
        std::uint64_t spalte = 0;
        for (int z = k; z <= 36; z += 3) {
            spalte |= std::uint64_t{1} << z;
        }
        mengen.push_back(spalte);  // columns
    }
    fuellen(7, 12, 2, mengen, [](std::size_t i) { return i == 4 ? 2 : 1; });
    mengen.clear();
    for (int r = 0; r < 11; ++r) {
        mengen.push_back(zahlen(3 * r + 1, 3 * r + 6));  // six-lines
    }
    fuellen(13, 23, 5, mengen, [](std::size_t i) { return i == 0 ? 2 : 1; });
    mengen = {zahlen(0, 3)};  // the first four
    for (int z = 1; z <= 32; ++z) {
        if (z % 3 != 0) {
            mengen.push_back((std::uint64_t{1} << z) | (std::uint64_t{1} << (z + 1)) |
                             (std::uint64_t{1} << (z + 3)) | (std::uint64_t{1} << (z + 4)));
        }
    }
    fuellen(24, 46, 8, mengen, [](std::size_t i) { return i == 2 ? 3 : 1; });
    mengen.clear();
    for (int r = 0; r < 12; ++r) {
        mengen.push_back(zahlen(3 * r + 1, 3 * r + 3));  // streets
    }
    fuellen(47, 58, 11, mengen, [](std::size_t) { return 1; });
    mengen.clear();
    for (int z = 1; z <= 35; ++z) {
        if (z % 3 != 0) {
            mengen.push_back(zahlen(z, z + 1));  // splits side by side
        }
    }
    for (int z = 1; z <= 33; ++z) {
        mengen.push_back((std::uint64_t{1} << z) | (std::uint64_t{1} << (z + 3)));  // one above
    }
    fuellen(59, 116, 17, mengen, [](std::size_t i) { return i % 20 == 7 ? 2 : 1; });
    mengen.clear();
    for (int z = 0; z <= kern::kHoechsteZahl; ++z) {
        mengen.push_back(zahlen(z, z));
    }
    fuellen(117, 153, 35, mengen, [](std::size_t) { return 1; });
    return kern::Ereigniskatalog(std::move(alle));
}

std::vector<kern::Coup> Zufallsstrecke(std::mt19937& rng, bool lang) {
    std::vector<kern::Coup> strecke;
    store::Date tag = store::Date::fromYmd(2026, 3, 1).addDays(wuerfel(rng, 0, 30));
    std::int64_t id = wuerfel(rng, 1, 1000);
    const int tage = lang ? wuerfel(rng, 1, 2) : wuerfel(rng, 1, 4);
    for (int t = 0; t < tage; ++t) {
        const int w = wuerfel(rng, 0, 9);
        int anzahl = w < 2 ? 0 : (w >= 8 ? wuerfel(rng, 25, 45) : wuerfel(rng, 1, 20));
        if (lang && w >= 4) {
            anzahl = wuerfel(rng, 60, 170);
        }
        for (int i = 0; i < anzahl; ++i) {
            kern::Coup c;
            c.tag = tag;
            c.idZahl = id;
            id += wuerfel(rng, 1, 3);
            c.zahl = static_cast<std::int8_t>(wuerfel(rng, 0, kern::kHoechsteZahl));
            strecke.push_back(c);
        }
        tag = tag.addDays(wuerfel(rng, 1, 2));
    }
    if (!strecke.empty() && chance(rng, 0.3)) {
        strecke.back().zahl = kern::kKeineZahl;
    }
    return strecke;
}

System Zufallssystem(std::mt19937& rng, std::int64_t id) {
    System s;
    s.id = id;
    s.art = chance(rng, 0.3) ? 2 : 1;
    s.nummer = wuerfel(rng, 1, 9);
    s.beendungEinzelnAlle = chance(rng, 0.5);
    const int benutzt = wuerfel(rng, 1, 3);
    for (int i = 0; i < 3; ++i) {
        s.instanzen[static_cast<std::size_t>(i)] = zufallsinstanz(rng, i < benutzt);
    }
    if (s.individuell()) {
        const int w = wuerfel(rng, 0, 19);
        s.nummer = w < 9 ? 1 : (w < 18 ? 2 : eines(rng, std::vector<int>{0, 3, -1}));
        // A parameter field: mostly a small value, sometimes null, 0 or negative.
        auto parameter = [&](int von, int bis) -> std::optional<int> {
            const int art = wuerfel(rng, 0, 19);
            if (art == 0) {
                return std::nullopt;
            }
            if (art == 1) {
                return 0;
            }
            if (art == 2) {
                return -wuerfel(rng, 1, 3);
            }
            return wuerfel(rng, von, bis);
        };
        s.regel.ereignisse = chance(rng, 0.1) ? parameter(7, 60) : parameter(1, 6);
        s.regel.coups = parameter(1, 40);
        s.regel.rueckstaendig = chance(rng, 0.1) ? parameter(20, 50) : parameter(1, 8);
        if (s.nummer == 2 && chance(rng, 0.5)) {
            // Rule 2 uses only N: its row has no W and R.
            s.regel.coups.reset();
            s.regel.rueckstaendig.reset();
        }
        // The stake of step 1 of instance 1: sometimes none, sometimes 0, odd values for the
        // rounding of events of several pieces.
        const int satz = wuerfel(rng, 0, 19);
        auto& erster = s.instanzen[0].saetze[1];
        erster = satz == 0 ? std::nullopt : std::optional<int>(satz == 1 ? 0 : wuerfel(rng, 1, 11));
    }
    return s;
}

int Zufallschancen(std::mt19937& rng) {
    return chance(rng, 0.05) ? eines(rng, std::vector<int>{0, 36, 4}) : eines(rng, kChancenklassen);
}

Zufallsfall Zufallsfall_Erzeugen(std::mt19937& rng) {
    Zufallsfall fall;
    fall.chancen = Zufallschancen(rng);
    // Long days for the classes with many events, so that rule 2 finds all of them fallen.
    const bool viele = fall.chancen == 17 || fall.chancen == 35;
    fall.strecke = Zufallsstrecke(rng, viele && chance(rng, 0.3));
    fall.uebergreifend = chance(rng, 0.5);
    // With days overlapping the first loaded day is history: the walk begins on the first coup
    // of the next date, or on the first loaded coup when that date has none.
    if (fall.uebergreifend && !fall.strecke.empty() && chance(rng, 0.7)) {
        const store::Date erster = fall.strecke.front().tag;
        const store::Date evaluiert = erster.addDays(1);
        fall.beginn = 0;
        for (std::size_t p = 0; p < fall.strecke.size(); ++p) {
            if (fall.strecke[p].tag == evaluiert) {
                fall.beginn = p;
                break;
            }
        }
    }
    const int anzahl = wuerfel(rng, 1, 3);
    for (int i = 0; i < anzahl; ++i) {
        fall.systeme.push_back(Zufallssystem(rng, 100 + i));
    }
    fall.tagAbschliessen = chance(rng, 0.8);
    // Now and then an attack already running when the walk begins (a run continuing a state).
    for (System& s : fall.systeme) {
        if (chance(rng, 0.08)) {
            s.zustand.stufe = wuerfel(rng, 1, 3);
            for (auto& a : s.zustand.aktiv) {
                a = chance(rng, 0.7);
            }
            s.zustand.beendungEinzeln = chance(rng, 0.3);
        }
    }
    if (chance(rng, 0.15) && !fall.strecke.empty()) {
        fall.abbruchBei = static_cast<std::size_t>(
            wuerfel(rng, 2, static_cast<int>(fall.strecke.size() - fall.beginn) + 1));
    }
    if (fall.strecke.size() >= 2 && chance(rng, 0.25)) {
        // One online step: the state and bets an earlier step left.
        fall.nurLetzterCoup = true;
        fall.tagAbschliessen = false;
        const std::size_t letzter = fall.strecke.size() - 1;
        for (System& s : fall.systeme) {
            if (chance(rng, 0.6)) {
                s.zustand.stufe = wuerfel(rng, 1, 4);
                for (auto& a : s.zustand.aktiv) {
                    a = chance(rng, 0.7);
                }
                s.zustand.beendungEinzeln = chance(rng, 0.2);
            }
            // Bets on the coups of the running attack, settled except the one on the previous
            // coup.
            const int k = std::max(s.zustand.stufe, 1);
            for (int schritt = 1; schritt <= k; ++schritt) {
                if (static_cast<int>(letzter) - schritt < 0) {
                    break;
                }
                const auto& c = fall.strecke[letzter - static_cast<std::size_t>(schritt)];
                for (int i = 1; i <= (s.individuell() ? 1 : 3); ++i) {
                    const Instanz& ins = s.instanzen[static_cast<std::size_t>(i - 1)];
                    const int stufe = k - schritt + 1;
                    const bool setzt = s.individuell() ? chance(rng, 0.7)
                                                       : (s.zustand.stufe >= 1 && ins.setzt() &&
                                                          ins.satz(stufe) && chance(rng, 0.9));
                    if (!setzt) {
                        continue;
                    }
                    const int wie = s.individuell() ? wuerfel(rng, 1, 2) : 1;
                    for (int n = 0; n < wie; ++n) {
                        Wette w;
                        w.idZahl = c.idZahl;
                        w.system = s.id;
                        w.instanz = i;
                        w.ereignis = s.individuell() ? individuellesEreignis(rng, fall.chancen)
                                                     : ins.folge.back().ereignis;
                        if (w.ereignis == testereignis::kOhneEinsatz ||
                            w.ereignis == testereignis::kUnbekannt) {
                            continue;
                        }
                        w.satz = s.individuell() ? wuerfel(rng, 1, 5) : *ins.satz(stufe);
                        if (schritt > 1) {
                            w.ergebnis = wuerfel(rng, -8, 8);
                        }
                        w.rowid = static_cast<std::int64_t>(fall.wetten.size()) + 1;
                        fall.wetten.push_back(w);
                    }
                }
            }
        }
        fall.summen.gewinnVerlust = wuerfel(rng, -5, 5);
        fall.summen.gewinnMaximal = std::max(fall.summen.gewinnVerlust, wuerfel(rng, 0, 8));
        fall.summen.verlustMaximal = std::min(fall.summen.gewinnVerlust, -wuerfel(rng, 0, 8));
        fall.summen.angriffe = wuerfel(rng, 0, 9);
    }
    return fall;
}

std::string Beschreiben(const System& s) {
    std::ostringstream out;
    out << "system " << s.id << " art " << s.art << " nummer " << s.nummer;
    if (s.individuell()) {
        out << " regel N " << optional(s.regel.ereignisse) << " W " << optional(s.regel.coups)
            << " R " << optional(s.regel.rueckstaendig);
    }
    out << " einzelnAlle " << janein(s.beendungEinzelnAlle) << " zustand " << s.zustand.stufe << "/"
        << janein(s.zustand.aktiv[0]) << janein(s.zustand.aktiv[1]) << janein(s.zustand.aktiv[2])
        << "/" << janein(s.zustand.beendungEinzeln) << "\n";
    for (int i = 0; i < 3; ++i) {
        const Instanz& ins = s.instanzen[static_cast<std::size_t>(i)];
        out << "  instanz " << i + 1 << " setzart " << (ins.setzart == 0 ? '0' : ins.setzart)
            << " folge";
        for (const Folgenglied& g : ins.folge) {
            out << " " << g.ereignis << (g.angriff.empty() ? "" : g.angriff);
        }
        out << " saetze";
        for (int k = 1; k <= systems::kAngriffsstufen; ++k) {
            if (ins.satz(k)) {
                out << " " << k << ":" << *ins.satz(k);
            }
        }
        out << " G " << optional(ins.limitGewinn) << " V " << optional(ins.limitVerlust);
        zaehlfilterBeschreiben(out, "haeufigkeit", ins.haeufigkeit);
        if (ins.serien.aktiv) {
            const auto& f = ins.serien;
            out << " serien(E" << optional(f.ereignis) << " coups " << optional(f.coupsVon) << ".."
                << optional(f.coupsBis) << " laenge " << optional(f.laengeVon) << ".."
                << optional(f.laengeBis) << " anzahl " << optional(f.anzahlVon) << ".."
                << optional(f.anzahlBis) << (f.ungleich ? " ungleich" : "")
                << (f.vorEreignisfolge ? " vor" : "") << ")";
        }
        zaehlfilterBeschreiben(out, "rueckstaendigkeit", ins.rueckstaendigkeit);
        if (ins.historie.aktiv) {
            const auto& f = ins.historie;
            out << " historie(ok " << optional(f.okVon) << ".." << optional(f.okBis) << " folgen "
                << optional(f.folgenVon) << ".." << optional(f.folgenBis)
                << (f.ungleich ? " ungleich" : "") << ")";
        }
        out << "\n";
    }
    return out.str();
}

std::string Beschreiben(const Zufallsfall& fall) {
    std::ostringstream out;
    out << "chancen " << fall.chancen << " beginn " << fall.beginn << " uebergreifend "
        << janein(fall.uebergreifend) << " nurLetzterCoup " << janein(fall.nurLetzterCoup)
        << " tagAbschliessen " << janein(fall.tagAbschliessen) << " abbruchBei "
        << (fall.abbruchBei ? std::to_string(*fall.abbruchBei) : "-") << "\ncoups:";
    for (std::size_t p = 0; p < fall.strecke.size(); ++p) {
        const auto& c = fall.strecke[p];
        if (p == 0 || c.tag != fall.strecke[p - 1].tag) {
            out << "\n  " << c.tag.iso() << ":";
        }
        out << " " << p << "#" << c.idZahl << "=";
        if (c.hatZahl()) {
            out << static_cast<int>(c.zahl);
        } else {
            out << "-";
        }
    }
    out << "\n";
    for (const System& s : fall.systeme) {
        out << Beschreiben(s);
    }
    for (const Wette& w : fall.wetten) {
        out << "gespeichert #" << w.idZahl << " s" << w.system << " i" << w.instanz << " E"
            << w.ereignis << " satz " << w.satz << " ergebnis " << optional(w.ergebnis) << "\n";
    }
    out << "summen " << fall.summen.gewinnVerlust << " " << fall.summen.gewinnMaximal << " "
        << fall.summen.verlustMaximal << " " << fall.summen.angriffe << "\n";
    return out.str();
}

std::string Beschreiben(const systems::Durchlaufergebnis& e, const std::vector<System>& systeme) {
    std::ostringstream out;
    for (const Wette& w : e.wetten) {
        out << "wette #" << w.idZahl << " s" << w.system << " i" << w.instanz << " E" << w.ereignis
            << " satz " << w.satz << " ergebnis " << optional(w.ergebnis) << " rowid " << w.rowid
            << (w.abgerechnet ? " abgerechnet" : "") << "\n";
    }
    for (const systems::Buchung& b : e.buchungen) {
        out << "buchung #" << b.idZahl << " satz " << b.satz << " stand " << b.gewinnVerlust
            << "\n";
    }
    auto summen = [&](const systems::Tagessummen& s) {
        out << s.gewinnVerlust << " " << s.gewinnMaximal << " " << s.verlustMaximal << " "
            << s.angriffe;
    };
    for (const systems::Tagesabschluss& t : e.tage) {
        out << "tag " << t.tag.iso() << " ";
        summen(t.summen);
        out << "\n";
    }
    out << "summen ";
    summen(e.summen);
    out << "\ncoups " << e.coups << (e.abgebrochen ? " abgebrochen" : "") << "\n";
    for (const System& s : systeme) {
        out << "zustand s" << s.id << " " << s.zustand.stufe << "/" << janein(s.zustand.aktiv[0])
            << janein(s.zustand.aktiv[1]) << janein(s.zustand.aktiv[2]) << "/"
            << janein(s.zustand.beendungEinzeln) << "\n";
    }
    return out.str();
}

}  // namespace spinalyst::testing
