#include "mining/bewertung.h"
#include "mining/schaetzung.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "tests/mining/bewertung_referenz.h"
#include "tests/systems/zufallssysteme.h"

namespace spinalyst::mining {
namespace {

// Numbers bit by bit, von..bis inclusive.
std::uint64_t Zahlen(int von, int bis) {
    std::uint64_t m = 0;
    for (int z = von; z <= bis; ++z) {
        m |= std::uint64_t{1} << z;
    }
    return m;
}

kern::Ereignis Ereignis(int id, int gruppe, std::uint64_t zahlen) {
    kern::Ereignis e;
    e.id = id;
    e.gruppe = gruppe;
    e.einsatz = 1;
    e.gewinn = gruppe;
    e.zahlen = zahlen;
    return e;
}

// A small catalogue: 1 = numbers 1..18 ("low"), 2 = 19..36, 7 = 1..12 (a dozen), 117 = zero.
kern::Ereigniskatalog Kleinkatalog() {
    return kern::Ereigniskatalog({Ereignis(1, 1, Zahlen(1, 18)), Ereignis(2, 1, Zahlen(19, 36)),
                                  Ereignis(7, 2, Zahlen(1, 12)), Ereignis(117, 35, Zahlen(0, 0))});
}

constexpr int kTief = 1;  // hit: 1..18, miss: 19..36 and 0

// Coups from day/number pairs, in order; day d is 2026-03-01 + d.
std::vector<kern::Coup> Bereich(const std::vector<std::pair<int, int>>& coups) {
    std::vector<kern::Coup> bereich;
    std::int64_t id = 1;
    for (const auto& [tag, zahl] : coups) {
        kern::Coup c;
        c.tag = store::Date::fromYmd(2026, 3, 1).addDays(tag);
        c.idZahl = id++;
        c.zahl = static_cast<std::int8_t>(zahl);
        bereich.push_back(c);
    }
    return bereich;
}

// Chance 1: "E" wins 10 * j and loses j, "P" wins 100 + j and loses 5, "K" wins and loses 1 (the
// one-coup kind pays from "K" too); length 4 of "E" has no row.
Auszahlungen Kleinauszahlungen() {
    Auszahlungen a;
    for (int j = 1; j <= kAngriffslaengeMax; ++j) {
        if (j != 4) {
            a.setzen(1, 'E', j, {10 * j, j});
        }
        a.setzen(1, 'P', j, {100 + j, 5});
        a.setzen(1, 'K', j, {1, 1});
    }
    return a;
}

std::string Zeigen(const std::optional<Angriffsergebnis>& r) {
    if (!r) {
        return "-";
    }
    return std::string(r->erfolg ? "ok " : "no ") + std::to_string(r->gewinnVerlust);
}

TEST(AngriffAuswerten, ArtenLaengenUndTagesgrenzen) {
    const kern::Ereigniskatalog katalog = Kleinkatalog();
    const Auszahlungen auszahlungen = Kleinauszahlungen();
    struct Fall {
        const char* name;
        std::vector<std::pair<int, int>> coups;  // (day, number); hits of event 1 are 1..18
        std::size_t start;
        char art;
        int laenge;
        bool uebergreifend;
        std::string erwartet;
    };
    const Fall faelle[] = {
        // Three coups: "1" of length 3 only from the first, length 1 from every coup itself.
        {"1 Laenge 3 ab Coup 1", {{0, 5}, {0, 20}, {0, 7}}, 0, '1', 3, false, "ok 1"},
        {"1 Laenge 3 ab Coup 2", {{0, 5}, {0, 20}, {0, 7}}, 1, '1', 3, false, "-"},
        {"1 Laenge 3 ab Coup 3", {{0, 5}, {0, 20}, {0, 7}}, 2, '1', 3, false, "-"},
        {"1 Laenge 1 Coup 2", {{0, 5}, {0, 20}, {0, 7}}, 1, '1', 1, false, "no -1"},
        {"1 Laenge 1 Coup 3", {{0, 5}, {0, 20}, {0, 7}}, 2, '1', 1, false, "ok 1"},
        // "E" of length 3, hit at the second coup: the win of length 3.
        {"E Treffer an 2", {{0, 20}, {0, 3}, {0, 30}}, 0, 'E', 3, false, "ok 30"},
        {"E ohne Treffer", {{0, 20}, {0, 0}, {0, 30}}, 0, 'E', 3, false, "no -3"},
        {"E ohne Treffer zu kurz", {{0, 20}, {0, 0}}, 0, 'E', 3, false, "-"},
        {"E Treffer vor dem Ende", {{0, 20}, {0, 1}}, 0, 'E', 3, false, "ok 30"},
        {"E ohne Zeile gespielt", {{0, 1}, {0, 1}, {0, 1}, {0, 1}}, 0, 'E', 4, false, "ok 0"},
        // "P" of length 2: hit, miss fails; hit, hit succeeds.
        {"P Treffer Fehl", {{0, 2}, {0, 25}}, 0, 'P', 2, false, "no -5"},
        {"P Treffer Treffer", {{0, 2}, {0, 8}}, 0, 'P', 2, false, "ok 102"},
        {"P Fehl vor dem Ende", {{0, 25}}, 0, 'P', 2, false, "no -5"},
        {"P Treffer bis zum Ende", {{0, 2}}, 0, 'P', 2, false, "-"},
        // "K" of length 2 with one hit and one miss at 1 each: sum 0, a failure.
        {"K Treffer Fehl", {{0, 2}, {0, 25}}, 0, 'K', 2, false, "no 0"},
        {"K zwei Treffer", {{0, 2}, {0, 4}}, 0, 'K', 2, false, "ok 2"},
        {"K zwei Fehl", {{0, 0}, {0, 36}}, 0, 'K', 2, false, "no -2"},
        // Day boundaries: the j-th coup on the next day.
        {"1 ueber Tag ohne ueb", {{0, 5}, {1, 5}}, 0, '1', 2, false, "-"},
        {"1 ueber Tag mit ueb", {{0, 5}, {1, 5}}, 0, '1', 2, true, "ok 1"},
        {"K ueber Tag ohne ueb", {{0, 5}, {1, 5}}, 0, 'K', 2, false, "-"},
        {"E Treffer vor der Grenze", {{0, 5}, {1, 5}}, 0, 'E', 2, false, "ok 20"},
        {"E Fehl bis zur Grenze", {{0, 25}, {1, 5}}, 0, 'E', 2, false, "-"},
        {"E Fehl ueber die Grenze mit ueb", {{0, 25}, {1, 5}}, 0, 'E', 2, true, "ok 20"},
        {"P Fehl vor der Grenze", {{0, 25}, {1, 5}}, 0, 'P', 2, false, "no -5"},
        {"P Treffer bis zur Grenze", {{0, 5}, {1, 5}}, 0, 'P', 2, false, "-"},
    };
    for (const Fall& f : faelle) {
        const std::vector<kern::Coup> bereich = Bereich(f.coups);
        EXPECT_EQ(Zeigen(Angriff_Auswerten(bereich, f.start, f.art, kTief, f.laenge,
                                           f.uebergreifend, katalog, auszahlungen)),
                  f.erwartet)
            << f.name;
    }
}

TEST(AngriffGewinnVerlust, ZeileNachKlasseArtUndLaenge) {
    Auszahlungen a;
    a.setzen(35, 'K', 3, {35, 1});
    a.setzen(35, 'E', 3, {12, 3});
    EXPECT_EQ(Angriff_Gewinn_Verlust(a, '1', 117, true, 3), 35);  // "1" reads the "K" row
    EXPECT_EQ(Angriff_Gewinn_Verlust(a, '1', 153, false, 3), -1);
    EXPECT_EQ(Angriff_Gewinn_Verlust(a, 'E', 140, false, 3), -3);
    EXPECT_EQ(Angriff_Gewinn_Verlust(a, 'E', 140, true, 2), 0);  // no row
    EXPECT_EQ(Angriff_Gewinn_Verlust(a, 'E', 116, true, 3), 0);  // class 17
    EXPECT_EQ(Angriff_Gewinn_Verlust(a, 'K', 154, true, 3), 0);  // no class
}

TEST(FolgePruefen, RueckwaertsUeberTagesgrenzenNichtVorDemBereich) {
    const kern::Ereigniskatalog katalog = Kleinkatalog();
    // Day 0: 5, 25; day 1: 0, 9.
    const std::vector<kern::Coup> bereich = Bereich({{0, 5}, {0, 25}, {1, 0}, {1, 9}});
    struct Fall {
        std::array<int, 5> codes;
        std::size_t aktuell;
        bool passt;
    };
    const Fall faelle[] = {
        {{1}, 0, false},            // nothing before the first coup
        {{101}, 0, false},          // not even a negated position
        {{101}, 1, false},          // 5 is low
        {{1}, 1, true},             //
        {{101, 1}, 2, true},        // 25 not low, then 5 low
        {{101, 1, 1}, 2, false},    // the third position lies before the range
        {{2}, 3, false},            // 0 is not 19..36
        {{117, 101, 1}, 3, true},   // 0, not low, low: across the day boundary
        {{117, 2, 101}, 3, false},  //
        {{0, 1}, 3, true},          // a 0 code ends the sequence
    };
    for (const Fall& f : faelle) {
        Folge folge;
        folge.codes = f.codes;
        EXPECT_EQ(Folge_Pruefen(bereich, f.aktuell, folge, katalog), f.passt)
            << f.codes[0] << " " << f.codes[1] << " " << f.codes[2] << " at " << f.aktuell;
    }
}

TEST(HSRKombinationPruefen, AusSchlichtUndNegiert) {
    const kern::Ereigniskatalog katalog = Kleinkatalog();
    // Three low numbers, then a high one, all on one day.
    const std::vector<kern::Coup> bereich = Bereich({{0, 1}, {0, 2}, {0, 3}, {0, 30}});
    Parameter p;
    p.instanz.haeufigkeit.ereignis = 2;
    p.instanz.haeufigkeit.anzahlVon = 2;
    p.instanz.haeufigkeit.anzahlBis = 3;
    p.instanz.haeufigkeit.coupsVon = 1;
    p.instanz.haeufigkeit.coupsBis = 3;
    HSR_Kombination k;
    k.id = 1;
    EXPECT_TRUE(HSR_Kombination_Pruefen(bereich, 0, k, p, katalog));  // all off
    // Event 1 (low) two or three times in the three coups before.
    k.filter[0] = {kTief, false, true};
    EXPECT_FALSE(HSR_Kombination_Pruefen(bereich, 2, k, p, katalog));  // window not complete
    EXPECT_TRUE(HSR_Kombination_Pruefen(bereich, 3, k, p, katalog));
    k.filter[0].ungleich = true;
    EXPECT_FALSE(HSR_Kombination_Pruefen(bereich, 3, k, p, katalog));
    EXPECT_FALSE(HSR_Kombination_Pruefen(bereich, 2, k, p, katalog));
    // The negated absence filter after a passing frequency filter decides.
    k.filter[0].ungleich = false;
    p.instanz.rueckstaendigkeit = p.instanz.haeufigkeit;
    p.instanz.rueckstaendigkeit.anzahlVon = 0;
    p.instanz.rueckstaendigkeit.anzahlBis = 0;
    k.filter[2] = {kTief, true, true};
    EXPECT_TRUE(HSR_Kombination_Pruefen(bereich, 3, k, p, katalog));
    k.filter[2].ungleich = false;
    EXPECT_FALSE(HSR_Kombination_Pruefen(bereich, 3, k, p, katalog));
}

TEST(Ergebniszeile, AddierenUndProzent) {
    Ergebniszeile z;
    EXPECT_EQ(z.prozentText(), "0.0%");
    for (int i = 0; i < 7; ++i) {
        Ergebnis_Addieren(z, i < 4, i < 4 ? 3 : -2);
    }
    EXPECT_EQ(z.anzahl, 7);
    EXPECT_EQ(z.anzahlOk, 4);
    EXPECT_EQ(z.gewinnVerlust, 4 * 3 - 3 * 2);
    EXPECT_EQ(z.prozentText(), "57.1%");
    EXPECT_EQ(z.prozentText(','), "57,1%");
    Ergebniszeile voll;
    Ergebnis_Addieren(voll, true, 1);
    EXPECT_EQ(voll.prozentText(), "100.0%");
    EXPECT_DOUBLE_EQ(voll.prozent(), 100.0);
}

TEST(KandidatenBilden, ReihenfolgeArtEreignisLaenge) {
    Parameter p;
    EXPECT_TRUE(Kandidaten_Bilden(p).empty());
    p.chancen[0] = true;  // chance 1: events 1..6
    p.chancen[6] = true;  // chance 35: events 117..153
    const std::vector<Kandidat> k = Kandidaten_Bilden(p);
    ASSERT_EQ(k.size(), 4u * 43u * 10u);
    EXPECT_EQ(k[0], (Kandidat{'1', 1, 1}));
    EXPECT_EQ(k[9], (Kandidat{'1', 1, 10}));
    EXPECT_EQ(k[60], (Kandidat{'1', 117, 1}));
    EXPECT_EQ(k[430], (Kandidat{'E', 1, 1}));
    EXPECT_EQ(k.back(), (Kandidat{'P', 153, 10}));
}

// The run over three coups on one day, every filter off, sequences of length 1 over "1:1":
// the first coup has no coup before it, so nothing starting there is scored (also the one-coup
// attack of length 3, the only one its range admits); the others score length 1 and 2.
TEST(Bewerten, DreiCoupsArtEins) {
    const kern::Ereigniskatalog katalog = Kleinkatalog();
    const Auszahlungen auszahlungen = Kleinauszahlungen();
    const std::vector<kern::Coup> bereich = Bereich({{0, 5}, {0, 20}, {0, 7}});
    Parameter p;
    p.chancen[0] = true;
    p.folgeAnzahl = 1;
    p.folge11 = true;
    const std::vector<HSR_Kombination> kombinationen = HSR_Kombinationen_Bilden(p);
    const std::vector<Folge> folgen = Folgen_Bilden(p);
    ASSERT_EQ(kombinationen.size(), 1u);
    ASSERT_EQ(folgen.size(), 6u);
    Bewertungsauftrag a;
    a.bereich = bereich;
    a.parameter = &p;
    a.katalog = &katalog;
    a.auszahlungen = &auszahlungen;
    a.kombinationen = kombinationen;
    a.folgen = folgen;
    a.ersteFolgeId = 41;
    const Bewertung b = Bewerten(a);
    EXPECT_EQ(b.tage, 1);
    EXPECT_EQ(b.coups, 4);
    // Sequence "low one coup before" (ID 41) preceded coup 2 (after 5) only; "high" (ID 42)
    // preceded coup 3 (after 20).
    EXPECT_EQ(b.folgeAnzahl, (std::vector<std::int64_t>{1, 1, 0, 0, 0, 0}));
    std::ostringstream text;
    for (const Ergebniszeile& z : b.zeilen) {
        if (z.art == '1' && z.ereignis == kTief) {
            text << z.idFolge << ":" << z.angriff << "=" << z.anzahl << "/" << z.anzahlOk << "/"
                 << z.gewinnVerlust << " ";
        }
    }
    // After 5: coup 2 (20) misses at length 1, coup 3 (7) hits at length 2; after 20: coup 3 hits.
    EXPECT_EQ(text.str(), "41:1=1/0/-1 41:2=1/1/1 42:1=1/1/1 ");
    EXPECT_EQ(b.zeilen, testing::Referenz_Bewerten(bereich, p, katalog, auszahlungen, kombinationen,
                                                   folgen, 41)
                            .zeilen);
}

TEST(Bewerten, LeererBereichUndZusammenfassung) {
    const kern::Ereigniskatalog katalog = Kleinkatalog();
    const Auszahlungen auszahlungen = Kleinauszahlungen();
    Parameter p;
    p.chancen[0] = true;
    p.folgeAnzahl = 1;
    p.folge11 = true;
    const std::vector<HSR_Kombination> kombinationen = HSR_Kombinationen_Bilden(p);
    const std::vector<Folge> folgen = Folgen_Bilden(p);
    Bewertungsauftrag a;
    a.parameter = &p;
    a.katalog = &katalog;
    a.auszahlungen = &auszahlungen;
    a.kombinationen = kombinationen;
    a.folgen = folgen;
    const Bewertung leer = Bewerten(a);
    EXPECT_TRUE(leer.zeilen.empty());
    EXPECT_EQ(leer.tage, 1);
    EXPECT_EQ(leer.coups, 1);
    EXPECT_EQ(leer.folgeAnzahl, std::vector<std::int64_t>(6, 0));

    // Five coups on three days (with a gap): 3 days, counter 6.
    const std::vector<kern::Coup> bereich = Bereich({{0, 1}, {0, 2}, {2, 3}, {3, 4}, {3, 5}});
    a.bereich = bereich;
    const Bewertung b = Bewerten(a);
    EXPECT_EQ(b.tage, 3);
    EXPECT_EQ(b.coups, 6);
    // Cancelled after the third coup: two days met, counter 4, progress reported per coup.
    std::vector<std::size_t> gemeldet;
    a.nachCoup = [&](std::size_t erledigt) {
        gemeldet.push_back(erledigt);
        return erledigt == 3;
    };
    const Bewertung abgebrochen = Bewerten(a);
    EXPECT_EQ(abgebrochen.tage, 2);
    EXPECT_EQ(abgebrochen.coups, 4);
    EXPECT_EQ(gemeldet, (std::vector<std::size_t>{1, 2, 3}));
    // Without sequences nothing is scored; the coups are walked all the same.
    a.folgen = {};
    gemeldet.clear();
    const Bewertung ohneFolgen = Bewerten(a);
    EXPECT_TRUE(ohneFolgen.zeilen.empty());
    EXPECT_EQ(ohneFolgen.coups, 4);
    a.nachCoup = nullptr;
    EXPECT_EQ(Bewerten(a).coups, 6);
}

// ---- The differential test: random ranges and parameters, the run against the plain walk ----

int Wuerfel(std::mt19937& rng, int von, int bis) {
    return std::uniform_int_distribution<int>(von, bis)(rng);
}
bool Muenze(std::mt19937& rng, double p = 0.5) {
    return std::bernoulli_distribution(p)(rng);
}

// Days of a few coups (some of them none), or exactly three coups, or none at all.
std::vector<kern::Coup> Zufallsbereich(std::mt19937& rng) {
    std::vector<std::pair<int, int>> coups;
    const int w = Wuerfel(rng, 0, 9);
    if (w == 0) {
        return {};
    }
    if (w == 1) {
        for (int i = 0; i < 3; ++i) {
            coups.emplace_back(Muenze(rng, 0.2) ? 1 : 0, Wuerfel(rng, 0, 36));
        }
        std::sort(coups.begin(), coups.end(),
                  [](const auto& a, const auto& b) { return a.first < b.first; });
        return Bereich(coups);
    }
    const int tage = Wuerfel(rng, 1, 3);
    int tag = 0;
    for (int t = 0; t < tage; ++t) {
        const int anzahl = Wuerfel(rng, 0, 12);
        for (int i = 0; i < anzahl; ++i) {
            // Mostly numbers 0..12, so that the small events hit in runs.
            coups.emplace_back(tag, Muenze(rng, 0.6) ? Wuerfel(rng, 0, 12) : Wuerfel(rng, 0, 36));
        }
        tag += Wuerfel(rng, 1, 2);
    }
    return Bereich(coups);
}

// A filter of the data-mining system: an event (several classes, one unknown, one above 153,
// sometimes none), small count ranges and windows, sometimes a field missing, sometimes placed
// before the system's sequence.
template <class Filter>
void Zufallsfilter(std::mt19937& rng, Filter& f) {
    const std::vector<int> ereignisse = {1, 2, 3, 5, 6, 7, 9, 13, 20, 30, 99, 117, 200};
    if (!Muenze(rng, 0.1)) {
        f.ereignis = ereignisse[static_cast<std::size_t>(
            Wuerfel(rng, 0, static_cast<int>(ereignisse.size()) - 1))];
    }
    f.anzahlVon = Wuerfel(rng, 0, 2);
    f.anzahlBis = *f.anzahlVon + Wuerfel(rng, 0, 2);
    f.coupsVon = Wuerfel(rng, 1, 3);
    f.coupsBis = *f.coupsVon + Wuerfel(rng, 0, 3);
    if (Muenze(rng, 0.05)) {
        f.coupsBis.reset();
    }
    f.vorEreignisfolge = Muenze(rng, 0.3);
    // Whatever the system itself has here is replaced by each combination.
    f.aktiv = Muenze(rng);
    f.ungleich = Muenze(rng);
}

Parameter Zufallsparameter(std::mt19937& rng) {
    Parameter p;
    p.uebergreifend = Muenze(rng);
    // One or two chance classes, sometimes none; the large classes seldom (the plain walk is slow).
    const int klassen = Wuerfel(rng, 0, 9) == 0 ? 0 : Wuerfel(rng, 1, 2);
    for (int i = 0; i < klassen; ++i) {
        const int w = Wuerfel(rng, 0, 9);
        p.chancen[static_cast<std::size_t>(w < 4   ? 0
                                           : w < 6 ? 1
                                           : w < 8 ? 2
                                                   : Wuerfel(rng, 3, 6))] = true;
    }
    Zufallsfilter(rng, p.instanz.haeufigkeit);
    Zufallsfilter(rng, p.instanz.serien);
    p.instanz.serien.laengeVon = Wuerfel(rng, 1, 2);
    p.instanz.serien.laengeBis = *p.instanz.serien.laengeVon + Wuerfel(rng, 0, 2);
    Zufallsfilter(rng, p.instanz.rueckstaendigkeit);
    // The system's own sequence shifts filters placed before it.
    const int folge = Wuerfel(rng, 0, 3);
    for (int i = 0; i < folge; ++i) {
        p.instanz.folge.push_back({Wuerfel(rng, 1, 6), i + 1 == folge ? "x" : ""});
    }
    // Each filter row varied or not; at most one over its whole class.
    bool alle = false;
    for (Filteroption& o : p.filter) {
        o.aktiv = Muenze(rng, 0.6);
        o.alle = !alle && Muenze(rng, 0.3);
        alle = alle || o.alle;
    }
    const int l = Wuerfel(rng, 0, 9);
    p.folgeAnzahl = l == 0 ? 0 : l < 5 ? 1 : l < 8 ? 2 : 3;
    p.folge11 = Muenze(rng, 0.8);
    p.folge21 = Muenze(rng, 0.3);
    p.folge51 = Muenze(rng, 0.15);
    p.folgeUngleich = Muenze(rng);
    return p;
}

// Keeps the plain walk to a few million look-ups: fewer combinations, then one chance class, then
// shorter sequences.
void Begrenzen(Parameter& p, std::size_t coups) {
    const auto aufwand = [&] {
        return static_cast<double>(std::max<std::size_t>(coups, 1)) *
               static_cast<double>(HSR_Kombinationen_Zaehlen(p)) *
               // at most B to the power L sequences match a coup, negated ones or not
               std::pow(static_cast<double>(Folgen_Obergrenze(p)), Folgen_Laenge(p)) *
               static_cast<double>(std::max<std::size_t>(Kandidaten_Bilden(p).size(), 1));
    };
    constexpr double kGrenze = 1e6;
    for (Filteroption& o : p.filter) {
        if (aufwand() > kGrenze) {
            o.alle = false;
        }
    }
    if (aufwand() > kGrenze) {
        p.chancen = {};
        p.chancen[0] = true;
    }
    while (aufwand() > kGrenze && p.folgeAnzahl > 1) {
        --p.folgeAnzahl;
    }
}

Auszahlungen Zufallsauszahlungen(std::mt19937& rng) {
    Auszahlungen a;
    for (const int chance : kChancen) {
        for (const char art : {'E', 'K', 'P'}) {
            for (int j = 1; j <= kAngriffslaengeMax; ++j) {
                if (!Muenze(rng, 0.1)) {
                    a.setzen(chance, art, j, {Wuerfel(rng, 0, 40), Wuerfel(rng, 0, 12)});
                }
            }
        }
    }
    return a;
}

std::string Zeigen(const Ergebniszeile& z) {
    std::ostringstream s;
    s << z.idHsr << "/" << z.idFolge << "/" << z.art << "/" << z.ereignis << "/" << z.angriff
      << ": " << z.anzahl << " " << z.anzahlOk << " " << z.gewinnVerlust;
    return s.str();
}

TEST(Bewerten, GleichDerSchlichtenReferenz) {
    const kern::Ereigniskatalog katalog = testing::Testkatalog();
    std::mt19937 rng(5404);
    int mitZeilen = 0;
    for (int fall = 0; fall < 150; ++fall) {
        const std::vector<kern::Coup> bereich = Zufallsbereich(rng);
        Parameter p = Zufallsparameter(rng);
        Begrenzen(p, bereich.size());
        const Auszahlungen auszahlungen = Zufallsauszahlungen(rng);
        const std::vector<HSR_Kombination> kombinationen = HSR_Kombinationen_Bilden(p);
        const std::vector<Folge> folgen = Folgen_Bilden(p);
        const std::int64_t ersteId = Wuerfel(rng, 1, 500);
        Bewertungsauftrag a;
        a.bereich = bereich;
        a.parameter = &p;
        a.katalog = &katalog;
        a.auszahlungen = &auszahlungen;
        a.kombinationen = kombinationen;
        a.folgen = folgen;
        a.ersteFolgeId = ersteId;
        // Sometimes the working sums are handed on after every coup.
        if (Muenze(rng, 0.3)) {
            a.arbeitsspeicher = 1;
        }
        // Sometimes the run is cancelled after some coup.
        std::size_t abbruch = static_cast<std::size_t>(-1);
        if (!bereich.empty() && Muenze(rng, 0.2)) {
            abbruch = static_cast<std::size_t>(Wuerfel(rng, 1, static_cast<int>(bereich.size())));
            a.nachCoup = [abbruch](std::size_t erledigt) { return erledigt == abbruch; };
        }
        const Bewertung schlicht = testing::Referenz_Bewerten(
            bereich, p, katalog, auszahlungen, kombinationen, folgen, ersteId, abbruch);
        // One thread, and the events shared by two and by three threads.
        Bewertung schnell;
        for (const std::size_t faeden : {std::size_t{1}, std::size_t{2}, std::size_t{3}}) {
            a.faeden = faeden;
            schnell = Bewerten(a);
            const std::string wo = "case " + std::to_string(fall) + ": " +
                                   std::to_string(bereich.size()) + " coups, " +
                                   std::to_string(kombinationen.size()) + " combinations, " +
                                   std::to_string(folgen.size()) + " sequences, cancel after " +
                                   std::to_string(static_cast<long long>(abbruch)) + ", " +
                                   std::to_string(faeden) + " threads";
            EXPECT_EQ(schnell.tage, schlicht.tage) << wo;
            EXPECT_EQ(schnell.coups, schlicht.coups) << wo;
            EXPECT_EQ(schnell.folgeAnzahl, schlicht.folgeAnzahl) << wo;
            ASSERT_EQ(schnell.zeilen.size(), schlicht.zeilen.size()) << wo;
            for (std::size_t i = 0; i < schnell.zeilen.size(); ++i) {
                ASSERT_EQ(Zeigen(schnell.zeilen[i]), Zeigen(schlicht.zeilen[i]))
                    << wo << ", row " << i;
            }
        }
        // The estimate shown before a run bounds its rows.
        EXPECT_LE(schnell.zeilen.size(), Lauf_Schaetzen(p, bereich.size(), katalog).zeilen)
            << "case " << fall;
        mitZeilen += schnell.zeilen.empty() ? 0 : 1;
    }
    // The cases must exercise the accumulation, not only empty results.
    EXPECT_GT(mitZeilen, 50);
}

}  // namespace
}  // namespace spinalyst::mining
