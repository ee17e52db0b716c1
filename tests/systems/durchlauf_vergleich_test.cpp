// The engine's walk against the plain reference walk on random permanences and random systems:
// every bet, booking, closed day, the totals, the count and the final attack state of every
// system must agree. A mismatch is shrunk (systems, filters, coups and stored bets taken away
// while it persists) and printed with its seed.

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "systems/durchlauf.h"
#include "tests/systems/referenzlauf.h"
#include "tests/systems/zufallssysteme.h"

namespace spinalyst::testing {
namespace {

using systems::Durchlaufergebnis;
using systems::System;

struct Ausgang {
    std::string engine;
    std::string referenz;
};

// Both walks on the same case; the rendered results of both.
Ausgang beideLaufen(const Zufallsfall& fall, const kern::Ereigniskatalog& katalog) {
    std::vector<System> a = fall.systeme;
    std::vector<System> b = fall.systeme;
    const Durchlaufergebnis ea = systems::Systeme_Durchlaufen(
        fall.lauf(), a, fall.wetten, fall.summen, katalog, fall.nachCoup());
    const Durchlaufergebnis eb = systems::referenz::Systeme_Durchlaufen(
        fall.lauf(), b, fall.wetten, fall.summen, katalog, fall.nachCoup());
    return {Beschreiben(ea, a), Beschreiben(eb, b)};
}

bool verschieden(const Zufallsfall& fall, const kern::Ereigniskatalog& katalog) {
    const Ausgang aus = beideLaufen(fall, katalog);
    return aus.engine != aus.referenz;
}

// Takes away what the mismatch does not need, as long as it persists.
Zufallsfall verkleinern(Zufallsfall fall, const kern::Ereigniskatalog& katalog) {
    bool weiter = true;
    while (weiter) {
        weiter = false;
        std::vector<Zufallsfall> kandidaten;
        if (fall.abbruchBei) {
            Zufallsfall k = fall;
            k.abbruchBei.reset();
            kandidaten.push_back(k);
        }
        for (std::size_t s = 0; fall.systeme.size() > 1 && s < fall.systeme.size(); ++s) {
            Zufallsfall k = fall;
            k.systeme.erase(k.systeme.begin() + static_cast<long>(s));
            kandidaten.push_back(k);
        }
        for (std::size_t s = 0; s < fall.systeme.size(); ++s) {
            for (std::size_t i = 0; i < 3; ++i) {
                const auto& ins = fall.systeme[s].instanzen[i];
                auto aus = [&](auto feld) {
                    Zufallsfall k = fall;
                    feld(k.systeme[s].instanzen[i]);
                    kandidaten.push_back(k);
                };
                if (ins.haeufigkeit.aktiv) {
                    aus([](systems::Instanz& x) { x.haeufigkeit.aktiv = false; });
                }
                if (ins.serien.aktiv) {
                    aus([](systems::Instanz& x) { x.serien.aktiv = false; });
                }
                if (ins.rueckstaendigkeit.aktiv) {
                    aus([](systems::Instanz& x) { x.rueckstaendigkeit.aktiv = false; });
                }
                if (ins.historie.aktiv) {
                    aus([](systems::Instanz& x) { x.historie.aktiv = false; });
                }
                if (ins.folge.size() > 1) {
                    aus([](systems::Instanz& x) { x.folge.erase(x.folge.begin()); });
                }
            }
        }
        for (std::size_t w = 0; w < fall.wetten.size(); ++w) {
            Zufallsfall k = fall;
            k.wetten.erase(k.wetten.begin() + static_cast<long>(w));
            kandidaten.push_back(k);
        }
        if (fall.strecke.size() > fall.beginn + 1) {
            Zufallsfall k = fall;
            k.strecke.pop_back();
            kandidaten.push_back(k);
        }
        if (fall.strecke.size() > 1) {
            Zufallsfall k = fall;
            k.strecke.erase(k.strecke.begin());
            if (k.beginn > 0) {
                --k.beginn;
            }
            kandidaten.push_back(k);
        }
        for (Zufallsfall& k : kandidaten) {
            if (verschieden(k, katalog)) {
                fall = std::move(k);
                weiter = true;
                break;
            }
        }
    }
    return fall;
}

// Reports a mismatch with its seed and the smallest case found.
void melden(unsigned seed, const Zufallsfall& fall, const kern::Ereigniskatalog& katalog) {
    const Zufallsfall klein = verkleinern(fall, katalog);
    const Ausgang aus = beideLaufen(klein, katalog);
    ADD_FAILURE() << "seed " << seed << ", smallest case:\n"
                  << Beschreiben(klein) << "engine:\n"
                  << aus.engine << "reference:\n"
                  << aus.referenz;
}

TEST(DurchlaufVergleich, ZufaelligeSystemeWieReferenz) {
    const kern::Ereigniskatalog katalog = Testkatalog();
    int fehler = 0;
    for (unsigned seed = 1; seed <= 5000 && fehler < 3; ++seed) {
        std::mt19937 rng(seed);
        const Zufallsfall fall = Zufallsfall_Erzeugen(rng);
        if (verschieden(fall, katalog)) {
            melden(seed, fall, katalog);
            ++fehler;
        }
    }
}

// The start checks one by one at every coup of random stretches, with every filter switched on
// (data mining calls the count filters alone); the sequence history also through an index built
// once for the stretch, as the engine uses it.
TEST(DurchlaufVergleich, StartpruefungenWieReferenz) {
    const kern::Ereigniskatalog katalog = Testkatalog();
    int fehler = 0;
    for (unsigned seed = 1; seed <= 600 && fehler < 5; ++seed) {
        std::mt19937 rng(seed * 104729u);
        const std::vector<kern::Coup> s = Zufallsstrecke(rng);
        const System sys = Zufallssystem(rng, 1);
        for (const bool uebergreifend : {false, true}) {
            for (std::size_t i = 0; i < 3; ++i) {
                systems::Instanz ins = sys.instanzen[i];
                if (ins.folge.empty()) {
                    continue;
                }
                ins.haeufigkeit.aktiv = ins.serien.aktiv = ins.rueckstaendigkeit.aktiv = true;
                const bool historie = ins.historie.okVon.has_value();
                ins.historie.aktiv = historie;
                const int n = static_cast<int>(ins.folge.size());
                const systems::Folgenhistorie index(s, ins, uebergreifend, katalog);
                for (std::size_t c = 0; c < s.size(); ++c) {
                    const systems::Pruefstelle st{s, c, uebergreifend};
                    namespace r = systems::referenz;
                    const std::vector<std::pair<const char*, std::pair<bool, bool>>> ergebnisse = {
                        {"Ereignisfolge_Pruefen",
                         {systems::Ereignisfolge_Pruefen(st, ins, katalog),
                          r::Ereignisfolge_Pruefen(st, ins, katalog)}},
                        {"Haeufigkeit_Filter_Pruefen",
                         {systems::Haeufigkeit_Filter_Pruefen(st, ins.haeufigkeit, n, katalog),
                          r::Haeufigkeit_Filter_Pruefen(st, ins.haeufigkeit, n, katalog)}},
                        {"Serien_Filter_Pruefen",
                         {systems::Serien_Filter_Pruefen(st, ins.serien, n, katalog),
                          r::Serien_Filter_Pruefen(st, ins.serien, n, katalog)}},
                        {"Rueckstaendigkeit_Filter_Pruefen",
                         {systems::Rueckstaendigkeit_Filter_Pruefen(st, ins.rueckstaendigkeit, n,
                                                                    katalog),
                          r::Rueckstaendigkeit_Filter_Pruefen(st, ins.rueckstaendigkeit, n,
                                                              katalog)}},
                        {"Ereignisfolge_Historie_Pruefen",
                         {historie && systems::Ereignisfolge_Historie_Pruefen(st, ins, katalog),
                          historie && r::Ereignisfolge_Historie_Pruefen(st, ins, katalog)}},
                        {"Ereignisfolge_Historie_Pruefen (index)",
                         {historie && systems::Ereignisfolge_Historie_Pruefen(st, ins, index),
                          historie && r::Ereignisfolge_Historie_Pruefen(st, ins, katalog)}},
                        {"Angriff_Start_Pruefen",
                         {systems::Angriff_Start_Pruefen(st, ins, katalog,
                                                         historie ? &index : nullptr),
                          r::Angriff_Start_Pruefen(st, ins, katalog)}},
                    };
                    for (const auto& [name, paar] : ergebnisse) {
                        if (paar.first != paar.second && fehler < 5) {
                            Zufallsfall fall;
                            fall.strecke = s;
                            fall.uebergreifend = uebergreifend;
                            ADD_FAILURE() << "seed " << seed << ": " << name << " at coup " << c
                                          << " of instance " << i + 1 << ": engine " << paar.first
                                          << ", reference " << paar.second << "\n"
                                          << Beschreiben(fall)
                                          << Beschreiben(System{.id = 1,
                                                                .art = 1,
                                                                .instanzen = {ins, {}, {}},
                                                                .zustand = {},
                                                                .regel = {}});
                            ++fehler;
                        }
                    }
                }
            }
        }
    }
}

// The rules of the individual systems at every coup of random stretches, for every chance class,
// with and without days overlapping.
TEST(DurchlaufVergleich, IndividuelleSignaleWieReferenz) {
    const kern::Ereigniskatalog katalog = Testkatalog();
    std::vector<int> klassen = kChancenklassen;
    klassen.push_back(0);
    int fehler = 0;
    for (unsigned seed = 1; seed <= 100 && fehler < 5; ++seed) {
        std::mt19937 rng(seed * 15485863u);
        const std::vector<kern::Coup> s =
            Zufallsstrecke(rng, std::bernoulli_distribution(0.3)(rng));
        System sys = Zufallssystem(rng, 1);
        while (!sys.individuell()) {
            sys = Zufallssystem(rng, 1);
        }
        for (const int chancen : klassen) {
            for (const bool uebergreifend : {false, true}) {
                for (std::size_t c = 0; c < s.size() && fehler < 5; ++c) {
                    const systems::Pruefstelle st{s, c, uebergreifend};
                    const std::vector<int> engine =
                        systems::Individuell_Satzsignale(st, sys, chancen, katalog);
                    const std::vector<int> referenz =
                        systems::referenz::Individuell_Satzsignale(st, sys, chancen, katalog);
                    if (engine != referenz) {
                        Zufallsfall fall;
                        fall.strecke = s;
                        fall.uebergreifend = uebergreifend;
                        fall.chancen = chancen;
                        ::testing::Message m;
                        m << "seed " << seed << ": Individuell_Satzsignale at coup " << c
                          << ": engine";
                        for (const int e : engine) {
                            m << " " << e;
                        }
                        m << ", reference";
                        for (const int e : referenz) {
                            m << " " << e;
                        }
                        ADD_FAILURE() << m << "\n" << Beschreiben(fall) << Beschreiben(sys);
                        ++fehler;
                    }
                }
            }
        }
    }
}

// Online play: one step per coup, each step with the last coup of the stretch about to be
// played and the bets, state and totals the step before left (as long as both agree, they are
// the same for both).
TEST(DurchlaufVergleich, OnlineSchritteWieReferenz) {
    const kern::Ereigniskatalog katalog = Testkatalog();
    int fehler = 0;
    for (unsigned seed = 1; seed <= 300 && fehler < 2; ++seed) {
        std::mt19937 rng(seed * 7919u);
        const int chancen = Zufallschancen(rng);
        const std::vector<kern::Coup> alle =
            Zufallsstrecke(rng, std::bernoulli_distribution(0.1)(rng));
        std::vector<System> systeme;
        const int anzahl = std::uniform_int_distribution<int>(1, 3)(rng);
        for (int i = 0; i < anzahl; ++i) {
            systeme.push_back(Zufallssystem(rng, 200 + i));
        }
        const bool uebergreifend = std::bernoulli_distribution(0.5)(rng);
        std::vector<systems::Wette> wetten;
        systems::Tagessummen summen;
        for (std::size_t m = 1; m <= alle.size(); ++m) {
            Zufallsfall fall;
            fall.strecke.assign(alle.begin(), alle.begin() + static_cast<long>(m));
            fall.strecke.back().zahl = kern::kKeineZahl;
            fall.uebergreifend = uebergreifend;
            fall.chancen = chancen;
            fall.nurLetzterCoup = true;
            fall.tagAbschliessen = false;
            while (fall.beginn + 1 < m &&
                   fall.strecke[fall.beginn].tag != fall.strecke.back().tag) {
                ++fall.beginn;
            }
            fall.systeme = systeme;
            fall.wetten = wetten;
            for (std::size_t i = 0; i < fall.wetten.size(); ++i) {
                fall.wetten[i].abgerechnet = false;
                fall.wetten[i].rowid = static_cast<std::int64_t>(i) + 1;
            }
            fall.summen = summen;
            if (verschieden(fall, katalog)) {
                melden(seed, fall, katalog);
                ++fehler;
                break;
            }
            const Durchlaufergebnis e = systems::referenz::Systeme_Durchlaufen(
                fall.lauf(), systeme, fall.wetten, fall.summen, katalog);
            wetten = e.wetten;
            summen = e.summen;
        }
    }
}

}  // namespace
}  // namespace spinalyst::testing
