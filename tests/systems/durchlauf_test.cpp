// The engine's walk over small stretches: settlement "E", "K" and "P" with the attack's progress,
// the end of an attack with one or all instances, rounding, the first coup, an empty stretch, a
// change of day, the coup about to be played, a cancelled walk and an online step. Every table
// runs through the engine and through the plain reference.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "systems/durchlauf.h"
#include "tests/systems/pruef_fixture.h"
#include "tests/systems/referenzlauf.h"

namespace spinalyst::testing {
namespace {

using systems::Durchlaufergebnis;
using systems::Instanz;
using systems::System;
using systems::Tagessummen;
using systems::Wette;
using namespace testereignis;

struct Engine {
    const char* name;
    Durchlaufergebnis (*laufen)(const systems::Durchlauf&, std::vector<System>&, std::vector<Wette>,
                                Tagessummen, const kern::Ereigniskatalog&,
                                const systems::Nach_Coup&);
};

const Engine kEngine{"Engine", &systems::Systeme_Durchlaufen};
const Engine kReferenz{"Referenz", &systems::referenz::Systeme_Durchlaufen};

// A walk to run: a stretch with its options and what is passed in.
struct Lauf {
    std::vector<kern::Coup> strecke;
    std::size_t beginn = 0;
    bool uebergreifend = false;
    bool nurLetzterCoup = false;
    bool tagAbschliessen = true;
    int chancen = 0;
    std::vector<Wette> wetten;
    Tagessummen summen;
    systems::Nach_Coup nachCoup;
};

// A system (kind 1) of up to three instances; instances left out have no rows and no stakes.
System system(Instanz i1, Instanz i2 = {}, Instanz i3 = {}, bool einzelnAlle = false) {
    System s;
    s.id = 7;
    s.art = 1;
    s.beendungEinzelnAlle = einzelnAlle;
    s.instanzen = {std::move(i1), std::move(i2), std::move(i3)};
    return s;
}

// The bets as "#ID_Zahl/instance:stake=result", in result order.
std::string wetten(const Durchlaufergebnis& e) {
    std::ostringstream out;
    for (const Wette& w : e.wetten) {
        out << (out.tellp() > 0 ? " " : "") << "#" << w.idZahl << "/" << w.instanz << ":" << w.satz
            << "=" << (w.ergebnis ? std::to_string(*w.ergebnis) : "null");
    }
    return out.str();
}

std::string buchungen(const Durchlaufergebnis& e) {
    std::ostringstream out;
    for (const systems::Buchung& b : e.buchungen) {
        out << (out.tellp() > 0 ? " " : "") << "#" << b.idZahl << ":" << b.satz << "/"
            << b.gewinnVerlust;
    }
    return out.str();
}

std::string summen(const Tagessummen& s) {
    return std::to_string(s.gewinnVerlust) + " " + std::to_string(s.gewinnMaximal) + " " +
           std::to_string(s.verlustMaximal) + " " + std::to_string(s.angriffe);
}

std::string tage(const Durchlaufergebnis& e) {
    std::string out;
    for (const systems::Tagesabschluss& t : e.tage) {
        out += (out.empty() ? "" : ", ") + std::to_string(t.tag.days() - testtag(0).days()) + ": " +
               summen(t.summen);
    }
    return out;
}

// "step active-flags ended-singly", e.g. "2 tff f".
std::string zustand(const System& s) {
    auto tf = [](bool b) { return b ? "t" : "f"; };
    return std::to_string(s.zustand.stufe) + " " + tf(s.zustand.aktiv[0]) + tf(s.zustand.aktiv[1]) +
           tf(s.zustand.aktiv[2]) + " " + tf(s.zustand.beendungEinzeln);
}

class Durchlauf : public ::testing::TestWithParam<Engine> {
  protected:
    Durchlaufergebnis laufen(const Lauf& l, std::vector<System>& systeme) const {
        systems::Durchlauf d;
        d.strecke = l.strecke;
        d.beginn = l.beginn;
        d.uebergreifend = l.uebergreifend;
        d.nurLetzterCoup = l.nurLetzterCoup;
        d.tagAbschliessen = l.tagAbschliessen;
        d.chancen = l.chancen;
        return GetParam().laufen(d, systeme, l.wetten, l.summen, katalog, l.nachCoup);
    }
    Durchlaufergebnis laufen(const std::vector<kern::Coup>& s, System& sys) const {
        std::vector<System> systeme{sys};
        Lauf l;
        l.strecke = s;
        Durchlaufergebnis e = laufen(l, systeme);
        sys = systeme.front();
        return e;
    }

    const kern::Ereigniskatalog katalog = Testkatalog();
};

// One instance without trigger on one day: numbers (the first coup has no previous coup and
// starts nothing), stakes, settlement kind, event; the bets and the final state.
struct Einzelfall {
    const char* name;
    std::string zahlen;  // R red 1, B black 2, Z zero
    char setzart;
    std::vector<int> saetze;
    int ereignis;
    std::string wetten;
    std::string zustand;
    std::string summen;
};

TEST_P(Durchlauf, EineInstanz) {
    const std::vector<int> fuenfzigEinsen(50, 1);
    const std::vector<int> zehner(50, 10);
    const std::vector<Einzelfall> faelle = {
        {"P dreimal Treffer",
         "BRRR",
         'P',
         {1, 2, 4},
         kRot,
         "#2/1:1=0 #3/1:2=0 #4/1:4=7",
         "0 fff f",
         "7 7 0 3"},
        {"P Fehl auf Stufe 3",
         "BRRB",
         'P',
         {1, 2, 4},
         kRot,
         "#2/1:1=0 #3/1:2=0 #4/1:4=-1",
         "0 fff f",
         "-1 0 -1 3"},
        {"P 1,1,1",
         "BRRR",
         'P',
         {1, 1, 1},
         kRot,
         "#2/1:1=1 #3/1:1=1 #4/1:1=1",
         "0 fff f",
         "3 3 0 3"},
        {"P 1,1,1 Fehl auf Stufe 2",
         "BRB",
         'P',
         {1, 1, 1},
         kRot,
         "#2/1:1=1 #3/1:1=-1",
         "0 fff f",
         "0 1 0 2"},
        {"P eine Stufe Treffer", "BR", 'P', {3}, kRot, "#2/1:3=3", "0 fff f", "3 3 0 1"},
        {"P eine Stufe Fehl", "BB", 'P', {3}, kRot, "#2/1:3=-3", "0 fff f", "-3 0 -3 1"},
        // The attack ends on the winning coup, a new one bets on the coup after it.
        {"E Fehl Fehl Treffer",
         "BBBRR",
         'E',
         {1, 2, 4},
         kRot,
         "#2/1:1=-1 #3/1:2=-2 #4/1:4=4 #5/1:1=1",
         "0 fff t",
         "2 2 -3 4"},
        {"E Fehl bis zum Ende",
         "BBBB",
         'E',
         {1, 2, 4},
         kRot,
         "#2/1:1=-1 #3/1:2=-2 #4/1:4=-4",
         "0 fff f",
         "-7 0 -7 3"},
        {"E 50 Fehl", std::string(51, 'B'), 'E', fuenfzigEinsen, kNull,
         [] {
             std::string s;
             for (int id = 2; id <= 51; ++id) {
                 s += (id > 2 ? " #" : "#") + std::to_string(id) + "/1:1=-1";
             }
             return s;
         }(),
         "0 fff f", "-50 0 -50 50"},
        {"K bis zum Gewinnlimit", "B" + std::string(10, 'R'), 'K', zehner, kRot,
         "#2/1:10=10 #3/1:10=10 #4/1:10=10 #5/1:10=10 #6/1:10=10 #7/1:10=10 #8/1:10=10 "
         "#9/1:10=10 #10/1:10=10 #11/1:10=10",
         "0 fff t", "100 100 0 10"},
        {"K Stufen zu Ende",
         "BRB",
         'K',
         {10, 10},
         kRot,
         "#2/1:10=10 #3/1:10=-10",
         "0 fff f",
         "0 10 0 2"},
        // Event not marked "x": the attack runs through its steps without bets.
        {"E ohne x", "BRR", 'E', {1, 2, 3}, -kRot, "", "3 tff f", "0 0 0 0"},
        {"K ohne x", "BRR", 'K', {1, 2, 3}, -kRot, "", "3 tff f", "0 0 0 0"},
        {"P ohne x", "BRR", 'P', {1, 2, 3}, -kRot, "", "0 fff f", "0 0 0 0"},
        // Rounding: u = 2.5 -> 2, 3.5 -> 4 (2 pieces paying 2); a single number pays 35.
        {"E 5 auf 2 Stuecke", "BR", 'E', {5}, kUnten, "#2/1:5=2", "0 fff t", "2 2 0 1"},
        {"E 7 auf 2 Stuecke", "BR", 'E', {7}, kUnten, "#2/1:7=4", "0 fff t", "4 4 0 1"},
        {"E 5 auf 2 Stuecke Fehl", "BZ", 'E', {5}, kUnten, "#2/1:5=-5", "0 fff f", "-5 0 -5 1"},
        {"K 5 auf 2 Stuecke", "BR", 'K', {5}, kUnten, "#2/1:5=2", "0 fff f", "2 2 0 1"},
        {"P 5 auf 2 Stuecke", "BR", 'P', {5}, kUnten, "#2/1:5=3", "0 fff f", "3 3 0 1"},
        {"P 7 auf 2 Stuecke", "BR", 'P', {7}, kUnten, "#2/1:7=3", "0 fff f", "3 3 0 1"},
        {"E 2 auf Zahl 0", "BZ", 'E', {2}, kNull, "#2/1:2=70", "0 fff t", "70 70 0 1"},
        {"P 2 auf Zahl 0", "BZ", 'P', {2}, kNull, "#2/1:2=70", "0 fff f", "70 70 0 1"},
        // An event of 0 pieces or one the catalogue does not know places no bet.
        {"Ereignis ohne Einsatz", "BRR", 'E', {1, 2, 3}, kOhneEinsatz, "", "3 tff f", "0 0 0 0"},
        {"unbekanntes Ereignis", "BRR", 'E', {1, 2, 3}, kUnbekannt, "", "3 tff f", "0 0 0 0"},
        // Another settlement kind: bets stay unsettled, the attack ends when the steps do.
        {"Setzart 0", "BRR", 0, {1, 2}, kRot, "#2/1:1=null #3/1:2=null", "0 fff f", "0 0 0 2"},
    };
    for (const Einzelfall& f : faelle) {
        const int ereignis = f.ereignis < 0 ? -f.ereignis : f.ereignis;
        System s =
            system(instanz({glied(ereignis, f.ereignis < 0 ? "" : "x")}, f.setzart, f.saetze));
        const Durchlaufergebnis e = laufen(strecke({{0, zahlenAus(f.zahlen)}}), s);
        EXPECT_EQ(wetten(e), f.wetten) << f.name;
        EXPECT_EQ(zustand(s), f.zustand) << f.name;
        EXPECT_EQ(summen(e.summen), f.summen) << f.name;
        EXPECT_EQ(e.coups, f.zahlen.size()) << f.name;
    }
}

TEST_P(Durchlauf, KSummiertNurDieCoupsDesAngriffs) {
    Instanz k = instanz({glied(kRot, "x")}, 'K', std::vector<int>(50, 10));
    k.limitGewinn = 30;
    k.limitVerlust = -20;
    System s = system(k);
    const Durchlaufergebnis e = laufen(strecke({{0, zahlenAus("BRBBBB")}}), s);
    // +10, 0, -10, -20: the loss limit ends the attack; the next one starts at 0 again.
    EXPECT_EQ(wetten(e), "#2/1:10=10 #3/1:10=-10 #4/1:10=-10 #5/1:10=-10 #6/1:10=-10");
    EXPECT_EQ(zustand(s), "2 tff f");
    EXPECT_EQ(buchungen(e), "#2:10/10 #3:10/0 #4:10/-10 #5:10/-20 #6:10/-30");
}

TEST_P(Durchlauf, BeendungEinzelnAlle) {
    // Instance 1 wins on step 2; instance 2 (the zero) never hits.
    const Instanz rot = instanz({glied(kRot, "x")}, 'E', {1, 1, 1, 1});
    const Instanz null = instanz({glied(kNull, "x")}, 'E', {1, 1, 1, 1});
    const auto s = strecke({{0, zahlenAus("BBRB")}});

    System einzeln = system(rot, null, {}, false);
    Durchlaufergebnis e = laufen(s, einzeln);
    // The whole attack ends with instance 1; a new one starts on the next coup.
    EXPECT_EQ(wetten(e), "#2/1:1=-1 #2/2:1=-1 #3/1:1=1 #3/2:1=-1 #4/1:1=-1 #4/2:1=-1");
    EXPECT_EQ(zustand(einzeln), "2 ttf f");

    System alle = system(rot, null, {}, true);
    e = laufen(s, alle);
    // Instance 2 goes on alone.
    EXPECT_EQ(wetten(e), "#2/1:1=-1 #2/2:1=-1 #3/1:1=1 #3/2:1=-1 #4/2:1=-1");
    EXPECT_EQ(zustand(alle), "4 ftf t");
}

TEST_P(Durchlauf, LeereStreckeAendertNichts) {
    std::vector<System> systeme{system(instanz({glied(kRot, "x")}))};
    Lauf l;
    Wette w;
    w.idZahl = 3;
    w.system = 7;
    w.satz = 2;
    w.rowid = 9;
    l.wetten = {w};
    l.summen = {3, 4, -1, 2};
    const Durchlaufergebnis e = laufen(l, systeme);
    EXPECT_EQ(wetten(e), "#3/1:2=null");
    EXPECT_FALSE(e.wetten.front().abgerechnet);
    EXPECT_EQ(buchungen(e), "");
    EXPECT_EQ(tage(e), "");
    EXPECT_EQ(summen(e.summen), "3 4 -1 2");
    EXPECT_EQ(e.coups, 0u);
    EXPECT_EQ(zustand(systeme.front()), "0 fff f");
}

TEST_P(Durchlauf, ErsterCoupStartetNichts) {
    System s = system(instanz({glied(kRot, "x")}));
    const Durchlaufergebnis e = laufen(strecke({{0, {1}}}), s);
    EXPECT_EQ(wetten(e), "");
    EXPECT_EQ(zustand(s), "0 fff f");
    EXPECT_EQ(tage(e), "0: 0 0 0 0");
    EXPECT_EQ(e.coups, 1u);
}

// Days overlapping: the day before is history, the walk begins on the next day and may use it.
TEST_P(Durchlauf, VortagAlsVorgeschichte) {
    const Instanz rotRot = instanz({glied(kRot), glied(kRot), glied(kRot, "x")}, 'E', {1, 2});
    for (const bool uebergreifend : {false, true}) {
        std::vector<System> systeme{system(rotRot)};
        Lauf l;
        l.strecke = strecke({{0, zahlenAus("RR")}, {1, zahlenAus("BB")}});
        l.beginn = 2;
        l.uebergreifend = uebergreifend;
        const Durchlaufergebnis e = laufen(l, systeme);
        EXPECT_EQ(wetten(e), uebergreifend ? "#3/1:1=-1 #4/1:2=-2" : "") << uebergreifend;
        EXPECT_EQ(tage(e), uebergreifend ? "1: -3 0 -3 2" : "1: 0 0 0 0") << uebergreifend;
        EXPECT_EQ(e.coups, 2u);
    }
}

// An attack running at the last coup of a day goes on at the first coup of the next day; its
// bet on the last coup counts for the earlier day.
TEST_P(Durchlauf, AngriffUeberDenTageswechsel) {
    System s = system(instanz({glied(kRot, "x")}, 'E', {1, 2, 4}));
    const Durchlaufergebnis e = laufen(strecke({{0, zahlenAus("BB")}, {2, zahlenAus("BR")}}), s);
    EXPECT_EQ(wetten(e), "#2/1:1=-1 #3/1:2=-2 #4/1:4=4");
    EXPECT_EQ(buchungen(e), "#2:1/-1 #3:2/-2 #4:4/2");
    EXPECT_EQ(tage(e), "0: -1 0 -1 1, 2: 2 2 -2 2");
    EXPECT_EQ(zustand(s), "0 fff t");
}

// The coup about to be played: its bets are placed and booked with their stake, not settled.
TEST_P(Durchlauf, LetzterCoupOhneZahl) {
    System s = system(instanz({glied(kRot, "x")}, 'E', {1, 2, 4}));
    const Durchlaufergebnis e = laufen(strecke({{0, {2, 2, -1}}}), s);
    EXPECT_EQ(wetten(e), "#2/1:1=-1 #3/1:2=null");
    EXPECT_EQ(buchungen(e), "#2:1/-1 #3:2/-1");
    EXPECT_EQ(summen(e.summen), "-1 0 -1 2");
    EXPECT_EQ(zustand(s), "2 tff f");
}

// Escape: the walk stops after the coup, which is still settled and booked, and the day closed.
TEST_P(Durchlauf, AbbruchNachEinemCoup) {
    std::vector<System> systeme{system(instanz({glied(kRot, "x")}, 'E', {1, 2, 4}))};
    std::vector<std::size_t> zaehler;
    Lauf l;
    l.strecke = strecke({{0, zahlenAus("BBBB")}});
    l.nachCoup = [&](std::size_t z) {
        zaehler.push_back(z);
        return z == 3;
    };
    const Durchlaufergebnis e = laufen(l, systeme);
    EXPECT_EQ(zaehler, (std::vector<std::size_t>{2, 3}));
    EXPECT_TRUE(e.abgebrochen);
    EXPECT_EQ(e.coups, 2u);
    EXPECT_EQ(wetten(e), "#2/1:1=-1");
    EXPECT_EQ(buchungen(e), "#2:1/-1");
    EXPECT_EQ(tage(e), "0: -1 0 -1 1");
    EXPECT_EQ(zustand(systeme.front()), "2 tff f");

    // Without cancelling, the count runs on to the last coup.
    zaehler.clear();
    l.nachCoup = [&](std::size_t z) {
        zaehler.push_back(z);
        return false;
    };
    systeme = {system(instanz({glied(kRot, "x")}, 'E', {1, 2, 4}))};
    EXPECT_FALSE(laufen(l, systeme).abgebrochen);
    EXPECT_EQ(zaehler, (std::vector<std::size_t>{2, 3, 4, 5}));
}

// One online step: the stored bet on the coup just entered is settled and booked again, the next
// bet placed on the coup about to be played; the totals go on from those passed in.
TEST_P(Durchlauf, OnlineSchritt) {
    System s = system(instanz({glied(kRot, "x")}, 'E', {1, 2, 4}));
    s.zustand.stufe = 1;
    s.zustand.aktiv = {true, false, false};
    std::vector<System> systeme{s};
    Lauf l;
    l.strecke = strecke({{0, {2, 2, -1}}});
    l.beginn = 0;
    l.nurLetzterCoup = true;
    l.tagAbschliessen = false;
    Wette w;
    w.idZahl = 2;
    w.system = 7;
    w.instanz = 1;
    w.ereignis = kRot;
    w.satz = 1;
    w.rowid = 5;
    l.wetten = {w};
    l.summen = {1, 1, 0, 4};
    const Durchlaufergebnis e = laufen(l, systeme);
    EXPECT_EQ(wetten(e), "#2/1:1=-1 #3/1:2=null");
    EXPECT_TRUE(e.wetten[0].abgerechnet);
    EXPECT_EQ(e.wetten[0].rowid, 5);
    EXPECT_EQ(e.wetten[1].rowid, 0);
    EXPECT_EQ(buchungen(e), "#2:1/0 #3:2/0");
    EXPECT_EQ(summen(e.summen), "0 1 0 6");
    EXPECT_EQ(tage(e), "");
    EXPECT_EQ(e.coups, 1u);
    EXPECT_EQ(zustand(systeme.front()), "2 tff f");
}

// Without a chance class kind 2 places no bets; its stored bets are settled with the individual
// rule (Nearest(u) times the payout on a hit).
TEST_P(Durchlauf, IndividuelleWettenAbrechnen) {
    System s = system(instanz({}, 'E', {5}));
    s.art = 2;
    std::vector<System> systeme{s};
    Lauf l;
    l.strecke = strecke({{0, {2, 2, -1}}});
    l.nurLetzterCoup = true;
    l.tagAbschliessen = false;
    auto wette = [](int ereignis, int satz) {
        Wette w;
        w.idZahl = 2;
        w.system = 7;
        w.instanz = 1;
        w.ereignis = ereignis;
        w.satz = satz;
        return w;
    };
    // 2 is black and in 1..24: 5 on 2 pieces -> Nearest(2.5) * 2, 7 -> Nearest(3.5) * 2.
    l.wetten = {wette(kUnten, 5), wette(kUnten, 7), wette(kRot, 3)};
    const Durchlaufergebnis e = laufen(l, systeme);
    EXPECT_EQ(wetten(e), "#2/1:5=4 #2/1:7=8 #2/1:3=-3");
    EXPECT_EQ(buchungen(e), "#2:15/9");
}

// The absence rule over the dozens and columns of the test catalogue, N = 1: once all six have
// fallen it bets the one absent longest (ties by the lower identifier) with the stake of step 1,
// and the next coup settles it. The second column is of 2 pieces paying 4: 5 pieces win
// Nearest(2.5) * 4 = 8; the first dozen pays 5 * 2.
TEST_P(Durchlauf, IndividuelleRegelSetztUndRechnetAb) {
    System s = system(instanz({}, 'E', {5}));
    s.art = 2;
    s.nummer = 2;
    s.regel.ereignisse = 1;
    std::vector<System> systeme{s};
    Lauf l;
    l.strecke = strecke({{0, {2, 13, 27, 4, 5, -1}}});
    l.chancen = 2;
    const Durchlaufergebnis e = laufen(l, systeme);
    EXPECT_EQ(wetten(e), "#4/1:5=10 #5/1:5=8 #6/1:5=null");
    std::vector<int> ereignisse;
    for (const Wette& w : e.wetten) {
        ereignisse.push_back(w.ereignis);
    }
    EXPECT_EQ(ereignisse, (std::vector<int>{7, 11, 8}));
    EXPECT_EQ(buchungen(e), "#4:5/10 #5:5/18 #6:5/18");
    EXPECT_EQ(summen(e.summen), "18 18 0 3");
}

INSTANTIATE_TEST_SUITE_P(Beide, Durchlauf, ::testing::Values(kEngine, kReferenz),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(Ergebnis, NaechsteGanzzahlGehtBeiHalbenZurGeraden) {
    const std::vector<std::pair<double, int>> faelle = {{0.5, 0},  {1.5, 2},   {2.5, 2},
                                                        {3.5, 4},  {2.4, 2},   {2.6, 3},
                                                        {-0.5, 0}, {-1.5, -2}, {7.0, 7}};
    for (const auto& [x, n] : faelle) {
        EXPECT_EQ(systems::Naechste_Ganzzahl(x), n) << x;
    }
}

TEST(Ergebnis, EinfachIndividuellUndProgression) {
    EXPECT_EQ(systems::Ergebnis_Einfach(5, 2, 2, true), 2);
    EXPECT_EQ(systems::Ergebnis_Einfach(5, 2, 2, false), -5);
    EXPECT_EQ(systems::Ergebnis_Einfach(2, 1, 35, true), 70);
    EXPECT_EQ(systems::Ergebnis_Individuell(5, 2, 2, true), 4);
    EXPECT_EQ(systems::Ergebnis_Individuell(5, 2, 2, false), -5);
    const Instanz p = instanz({glied(kRot, "x")}, 'P', {1, 2, 4});
    EXPECT_EQ(systems::Ergebnis_Progression(p, 1, 1, 1, 1, true), 0);
    EXPECT_EQ(systems::Ergebnis_Progression(p, 3, 4, 1, 1, true), 7);
    EXPECT_EQ(systems::Ergebnis_Progression(p, 3, 4, 1, 1, false), -1);
    // R = 3 < next stake 4: nothing is taken out.
    const Instanz q = instanz({glied(kUnten, "x")}, 'P', {2, 4});
    EXPECT_EQ(systems::Ergebnis_Progression(q, 1, 2, 2, 2, true), 0);
}

}  // namespace
}  // namespace spinalyst::testing
