// The start check of an instance: the trigger sequence and the frequency, series, absence and
// sequence-history filters on small stretches, each table run through the engine's checks and
// through the plain reference.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "systems/startpruefung.h"
#include "tests/systems/pruef_fixture.h"
#include "tests/systems/referenzlauf.h"

namespace spinalyst::testing {
namespace {

using systems::Instanz;
using systems::Pruefstelle;
using systems::Serienfilter;
using systems::Zaehlfilter;
using namespace testereignis;

// The checks of one implementation.
struct Pruefer {
    const char* name;
    bool (*folge)(const Pruefstelle&, const Instanz&, const kern::Ereigniskatalog&);
    bool (*haeufigkeit)(const Pruefstelle&, const Zaehlfilter&, int, const kern::Ereigniskatalog&);
    bool (*serien)(const Pruefstelle&, const Serienfilter&, int, const kern::Ereigniskatalog&);
    bool (*rueckstaendigkeit)(const Pruefstelle&, const Zaehlfilter&, int,
                              const kern::Ereigniskatalog&);
    bool (*historie)(const Pruefstelle&, const Instanz&, const kern::Ereigniskatalog&);
    bool (*start)(const Pruefstelle&, const Instanz&, const kern::Ereigniskatalog&);
};

const Pruefer kEngine{
    "Engine",
    &systems::Ereignisfolge_Pruefen,
    &systems::Haeufigkeit_Filter_Pruefen,
    &systems::Serien_Filter_Pruefen,
    &systems::Rueckstaendigkeit_Filter_Pruefen,
    [](const Pruefstelle& s, const Instanz& i, const kern::Ereigniskatalog& k) {
        return systems::Ereignisfolge_Historie_Pruefen(s, i, k);
    },
    [](const Pruefstelle& s, const Instanz& i, const kern::Ereigniskatalog& k) {
        return systems::Angriff_Start_Pruefen(s, i, k);
    },
};

const Pruefer kReferenz{
    "Referenz",
    &systems::referenz::Ereignisfolge_Pruefen,
    &systems::referenz::Haeufigkeit_Filter_Pruefen,
    &systems::referenz::Serien_Filter_Pruefen,
    &systems::referenz::Rueckstaendigkeit_Filter_Pruefen,
    &systems::referenz::Ereignisfolge_Historie_Pruefen,
    &systems::referenz::Angriff_Start_Pruefen,
};

class Startpruefung : public ::testing::TestWithParam<Pruefer> {
  protected:
    const kern::Ereigniskatalog katalog = Testkatalog();
};

// The coups before the current coup as letters (R red, B black, Z zero), oldest first, on day 1,
// and optionally some on day 0 before them; the current coup follows (a black number).
struct Vorlauf {
    std::string vortag;
    std::string tag;
};

std::vector<kern::Coup> mitAktuellem(const Vorlauf& v, const std::string& danach = "B") {
    return strecke({{0, zahlenAus(v.vortag)}, {1, zahlenAus(v.tag + danach)}});
}

Pruefstelle stelle(const std::vector<kern::Coup>& s, const Vorlauf& v, bool uebergreifend) {
    return Pruefstelle{s, v.vortag.size() + v.tag.size(), uebergreifend};
}

TEST_P(Startpruefung, Ereignisfolge) {
    struct Fall {
        const char* name;
        Vorlauf vorlauf;
        std::vector<systems::Folgenglied> folge;
        bool ohneUebergreifend;
        bool mitUebergreifend;
    };
    const std::vector<Fall> faelle = {
        {"rot rot", {"", "BRR"}, {glied(kRot), glied(kRot), glied(kRot, "x")}, true, true},
        {"nur ein rot", {"", "RBR"}, {glied(kRot), glied(kRot), glied(kRot, "x")}, false, false},
        {"zu wenige Coups", {"", "R"}, {glied(kRot), glied(kRot), glied(kRot, "x")}, false, false},
        {"rot rot ueber den Tageswechsel",
         {"R", "R"},
         {glied(kRot), glied(kRot), glied(kRot, "x")},
         false,
         true},
        {"<> mit der 0", {"", "Z"}, {glied(kRot, "<>"), glied(kSchwarz, "x")}, true, true},
        {"<> mit schwarz", {"", "B"}, {glied(kRot, "<>"), glied(kSchwarz, "x")}, true, true},
        {"<> mit rot", {"", "R"}, {glied(kRot, "<>"), glied(kSchwarz, "x")}, false, false},
        {"erster Coup des Tages ohne Folge", {"RR", ""}, {glied(kRot, "x")}, false, true},
        {"erster Coup des Tages ohne Zeilen", {"RR", ""}, {}, false, true},
        {"ohne Zeilen", {"", "B"}, {}, true, true},
        {"kein vorheriger Coup", {"", ""}, {glied(kRot, "x")}, false, false},
    };
    for (const Fall& f : faelle) {
        const auto s = mitAktuellem(f.vorlauf);
        Instanz ins = instanz(f.folge);
        EXPECT_EQ(GetParam().folge(stelle(s, f.vorlauf, false), ins, katalog), f.ohneUebergreifend)
            << f.name;
        EXPECT_EQ(GetParam().folge(stelle(s, f.vorlauf, true), ins, katalog), f.mitUebergreifend)
            << f.name << " (days overlapping)";
        // Without filters the start check is the sequence check.
        EXPECT_EQ(GetParam().start(stelle(s, f.vorlauf, true), ins, katalog), f.mitUebergreifend)
            << f.name << " (start check)";
    }
}

Zaehlfilter zaehlfilter(int ereignis, int coupsVon, int coupsBis, int anzahlVon, int anzahlBis,
                        bool vor = false) {
    Zaehlfilter f;
    f.aktiv = true;
    f.ereignis = ereignis;
    f.coupsVon = coupsVon;
    f.coupsBis = coupsBis;
    f.anzahlVon = anzahlVon;
    f.anzahlBis = anzahlBis;
    f.vorEreignisfolge = vor;
    return f;
}

// A count filter case: the result with `_ungleich` "f" and with any other value.
struct Zaehlfall {
    const char* name;
    Vorlauf vorlauf;
    Zaehlfilter filter;
    int folgenlaenge;
    bool uebergreifend;
    bool gleich;
    bool ungleich;
};

TEST_P(Startpruefung, Haeufigkeit) {
    const Zaehlfilter rot = zaehlfilter(kRot, 1, 10, 3, 5);
    Zaehlfilter ohneEreignis = rot;
    ohneEreignis.ereignis.reset();
    Zaehlfilter ohneBis = rot;
    ohneBis.coupsBis.reset();
    const std::vector<Zaehlfall> faelle = {
        {"3 von 10", {"", "RBRBBBBBRB"}, rot, 1, false, true, false},
        {"5 von 10", {"", "RRRRRBBBBB"}, rot, 1, false, true, false},
        {"6 von 10", {"", "RRRRRRBBBB"}, rot, 1, false, false, true},
        {"2 von 10", {"", "BBBBBBBBRR"}, rot, 1, false, false, true},
        {"0 von 10", {"", "ZZZZZZZZZZ"}, rot, 1, false, false, true},
        {"Index 11 zaehlt nicht", {"", "RRBBBBBBBBR"}, rot, 1, false, false, true},
        {"nur 9 Coups", {"", "RRRBBBBBB"}, rot, 1, false, false, false},
        {"Tageswechsel im Fenster", {"RRR", "BBBBBBB"}, rot, 1, false, false, false},
        {"Tageswechsel im Fenster uebergreifend", {"RRR", "BBBBBBB"}, rot, 1, true, true, false},
        {"Tageswechsel jenseits des Fensters", {"R", "RRRBBBBBBB"}, rot, 1, false, true, false},
        {"Ereignis null", {"", "RRRBBBBBBB"}, ohneEreignis, 1, false, false, false},
        {"Fensterende null", {"", "RRRBBBBBBB"}, ohneBis, 1, false, false, false},
        // Two trigger rows: the window 1..5 covers the five coups before the two trigger coups.
        {"vor der Folge",
         {"", "RRRRRBB"},
         zaehlfilter(kRot, 1, 5, 5, 5, true),
         3,
         false,
         true,
         false},
        {"nicht vor der Folge",
         {"", "RRRRRBB"},
         zaehlfilter(kRot, 1, 5, 5, 5),
         3,
         false,
         false,
         true},
        {"vor der Folge ohne Vorlauf",
         {"", "RRRRBB"},
         zaehlfilter(kRot, 1, 5, 4, 5, true),
         3,
         false,
         false,
         false},
    };
    for (const Zaehlfall& f : faelle) {
        const auto s = mitAktuellem(f.vorlauf);
        Zaehlfilter filter = f.filter;
        EXPECT_EQ(GetParam().haeufigkeit(stelle(s, f.vorlauf, f.uebergreifend), filter,
                                         f.folgenlaenge, katalog),
                  f.gleich)
            << f.name;
        filter.ungleich = true;
        EXPECT_EQ(GetParam().haeufigkeit(stelle(s, f.vorlauf, f.uebergreifend), filter,
                                         f.folgenlaenge, katalog),
                  f.ungleich)
            << f.name << " (ungleich)";
    }
}

TEST_P(Startpruefung, Rueckstaendigkeit) {
    const Zaehlfilter abwesend = zaehlfilter(kRot, 5, 20, 0, 0);
    const std::string zwanzig(20, 'B');
    auto mitRot = [&](int index) {
        std::string s = zwanzig;
        s[s.size() - static_cast<std::size_t>(index)] = 'R';
        return s;
    };
    const std::vector<Zaehlfall> faelle = {
        {"20 Coups ohne rot", {"", zwanzig}, abwesend, 1, false, true, false},
        {"rot an Index 3", {"", mitRot(3)}, abwesend, 1, false, false, false},
        {"rot an Index 12", {"", mitRot(12)}, abwesend, 1, false, false, true},
        {"rot an Index 21", {"", "R" + zwanzig}, abwesend, 1, false, true, false},
        {"nur 19 Coups", {"", std::string(19, 'B')}, abwesend, 1, false, false, false},
        {"Vortag im Fenster", {"BBBBB", std::string(15, 'B')}, abwesend, 1, false, false, false},
        {"Vortag im Fenster uebergreifend",
         {"BBBBB", std::string(15, 'B')},
         abwesend,
         1,
         true,
         true,
         false},
        // Before the sequence (2 rows): the trigger coup has index 0, below the window.
        {"vor der Folge: rot auf dem Ausloeser",
         {"", std::string(20, 'B') + "R"},
         zaehlfilter(kRot, 1, 20, 0, 0, true),
         2,
         false,
         false,
         false},
        {"vor der Folge: Fenster davor",
         {"", "R" + std::string(20, 'B') + "B"},
         zaehlfilter(kRot, 1, 20, 0, 0, true),
         2,
         false,
         true,
         false},
    };
    for (const Zaehlfall& f : faelle) {
        const auto s = mitAktuellem(f.vorlauf);
        Zaehlfilter filter = f.filter;
        EXPECT_EQ(GetParam().rueckstaendigkeit(stelle(s, f.vorlauf, f.uebergreifend), filter,
                                               f.folgenlaenge, katalog),
                  f.gleich)
            << f.name;
        filter.ungleich = true;
        EXPECT_EQ(GetParam().rueckstaendigkeit(stelle(s, f.vorlauf, f.uebergreifend), filter,
                                               f.folgenlaenge, katalog),
                  f.ungleich)
            << f.name << " (ungleich)";
    }
}

Serienfilter serienfilter(int ereignis, int coupsVon, int coupsBis, int laengeVon, int laengeBis,
                          int anzahlVon, int anzahlBis) {
    Serienfilter f;
    f.aktiv = true;
    f.ereignis = ereignis;
    f.coupsVon = coupsVon;
    f.coupsBis = coupsBis;
    f.laengeVon = laengeVon;
    f.laengeBis = laengeBis;
    f.anzahlVon = anzahlVon;
    f.anzahlBis = anzahlBis;
    return f;
}

TEST_P(Startpruefung, Serien) {
    struct Fall {
        const char* name;
        Vorlauf vorlauf;
        Serienfilter filter;
        bool uebergreifend;
        bool gleich;
        bool ungleich;
    };
    // Newest first: hit, hit, miss, hit, miss, hit, hit, hit, miss, miss, miss, miss; beyond: miss.
    const std::string beispiel = "BBBBBRRRBRBRR";
    const std::string lang = std::string(4, 'Z') + std::string(27, 'R');
    const std::vector<Fall> faelle = {
        {"Laenge 2..3 zaehlt 2",
         {"", beispiel},
         serienfilter(kRot, 1, 12, 2, 3, 2, 2),
         false,
         true,
         false},
        {"Laenge 2..3 zaehlt nicht 3",
         {"", beispiel},
         serienfilter(kRot, 1, 12, 2, 3, 3, 3),
         false,
         false,
         true},
        {"Laenge 1 einmal",
         {"", beispiel},
         serienfilter(kRot, 1, 12, 1, 1, 1, 1),
         false,
         true,
         false},
        {"Fenster ab 2 schneidet die erste Serie",
         {"", beispiel},
         serienfilter(kRot, 2, 12, 1, 1, 2, 2),
         false,
         true,
         false},
        {"Serie am fernen Rand",
         {"", "BRRR"},
         serienfilter(kRot, 1, 3, 3, 3, 1, 1),
         false,
         true,
         false},
        {"Serie geht ueber das Fenster hinaus",
         {"", "RRRR"},
         serienfilter(kRot, 1, 3, 3, 3, 1, 1),
         false,
         false,
         true},
        {"kein Coup jenseits des Fensters",
         {"", "RRR"},
         serienfilter(kRot, 1, 3, 3, 3, 1, 1),
         false,
         false,
         true},
        {"Coup jenseits am Vortag",
         {"B", "RRR"},
         serienfilter(kRot, 1, 3, 3, 3, 1, 1),
         false,
         true,
         false},
        {"Fenster nicht vollstaendig",
         {"", "RR"},
         serienfilter(kRot, 1, 3, 2, 2, 0, 5),
         false,
         false,
         false},
        {"Serie ueber 25 wird nicht gezaehlt",
         {"", lang},
         serienfilter(kKeineNull, 1, 30, 25, 30, 1, 1),
         false,
         false,
         true},
        {"Serie ueber 25 zaehlt nicht als 25",
         {"", lang},
         serienfilter(kKeineNull, 1, 30, 1, 30, 0, 0),
         false,
         true,
         false},
    };
    for (const Fall& f : faelle) {
        const auto s = mitAktuellem(f.vorlauf);
        Serienfilter filter = f.filter;
        EXPECT_EQ(GetParam().serien(stelle(s, f.vorlauf, f.uebergreifend), filter, 1, katalog),
                  f.gleich)
            << f.name;
        filter.ungleich = true;
        EXPECT_EQ(GetParam().serien(stelle(s, f.vorlauf, f.uebergreifend), filter, 1, katalog),
                  f.ungleich)
            << f.name << " (ungleich)";
    }
}

TEST_P(Startpruefung, Ereignisfolge_Historie) {
    struct Fall {
        const char* name;
        Vorlauf vorlauf;
        std::string abAktuell;  // the current coup and the coups after it (not yet played)
        int okVon, okBis, folgenVon, folgenBis;
        bool uebergreifend;
        bool gleich;
        bool ungleich;
    };
    // Trigger black, attack red: an occurrence is a coup after a black one.
    const std::vector<Fall> faelle = {
        {"vier Vorkommen, Rot gleich danach",
         {"", "ZBRZBZRZBRZBRZ"},
         "Z",
         1,
         2,
         1,
         3,
         false,
         true,
         false},
        {"nur drei Vorkommen", {"", "ZBZRZBRZBRZ"}, "Z", 1, 2, 1, 3, false, false, false},
        {"drittes Vorkommen zu spaet",
         {"", "ZBRZBZZRZBRZBRZ"},
         "Z",
         1,
         2,
         1,
         3,
         false,
         false,
         true},
        {"viertes Vorkommen zu spaet zaehlt nicht",
         {"", "ZBZZRZBRZBRZBRZ"},
         "Z",
         1,
         2,
         1,
         3,
         false,
         true,
         false},
        {"nur das vierte geprueft", {"", "ZBZZRZBRZBRZBRZ"}, "Z", 1, 2, 4, 4, false, false, false},
        {"viertes Vorkommen am Vortag",
         {"ZBR", "ZBRZBRZBRZ"},
         "Z",
         1,
         2,
         1,
         3,
         false,
         false,
         false},
        {"viertes Vorkommen am Vortag uebergreifend",
         {"ZBR", "ZBRZBRZBRZ"},
         "Z",
         1,
         2,
         1,
         3,
         true,
         true,
         false},
        // The latest occurrence had no red on its two coups before the current coup: with OK
        // window 1..4 it is still open (the red that comes later is not looked at).
        {"Fenster noch offen", {"", "ZBRZBRZBRZBZZ"}, "ZZR", 1, 4, 1, 3, false, true, false},
        // With OK window 1..2 it has passed without red: failed, though red never comes.
        {"Fenster vorbei", {"", "ZBRZBRZBRZBZZ"}, "ZZZ", 1, 2, 1, 3, false, false, true},
        {"Fenster 3..4 noch offen",
         {"", "ZBZZRZBZZRZBZZRZBZZ"},
         "Z",
         3,
         4,
         1,
         3,
         false,
         true,
         false},
    };
    for (const Fall& f : faelle) {
        const auto s = strecke(
            {{0, zahlenAus(f.vorlauf.vortag)}, {1, zahlenAus(f.vorlauf.tag + f.abAktuell)}});
        Instanz ins = instanz({glied(kSchwarz), glied(kRot, "x")});
        ins.historie.aktiv = true;
        ins.historie.okVon = f.okVon;
        ins.historie.okBis = f.okBis;
        ins.historie.folgenVon = f.folgenVon;
        ins.historie.folgenBis = f.folgenBis;
        const Pruefstelle st = stelle(s, f.vorlauf, f.uebergreifend);
        EXPECT_EQ(GetParam().historie(st, ins, katalog), f.gleich) << f.name;
        ins.historie.ungleich = true;
        EXPECT_EQ(GetParam().historie(st, ins, katalog), f.ungleich) << f.name << " (ungleich)";
    }
}

// The start check needs the sequence and every filter switched on; a filter switched off is not
// looked at, whatever its fields.
TEST_P(Startpruefung, StartPrueftFolgeUndEingeschalteteFilter) {
    const Vorlauf v{"", "BRRRBBBBBBB"};  // 3 red in the last 10, black before the current coup
    const auto s = mitAktuellem(v);
    Instanz ins = instanz({glied(kSchwarz), glied(kRot, "x")});
    ins.haeufigkeit = zaehlfilter(kRot, 1, 10, 3, 5);
    ins.serien = serienfilter(kRot, 1, 10, 3, 3, 1, 1);
    ins.rueckstaendigkeit = zaehlfilter(kRot, 5, 10, 0, 0);
    ins.rueckstaendigkeit.aktiv = false;  // would fail: red at 8..10
    const Pruefstelle st = stelle(s, v, false);
    EXPECT_TRUE(GetParam().start(st, ins, katalog));
    ins.rueckstaendigkeit.aktiv = true;
    EXPECT_FALSE(GetParam().start(st, ins, katalog));
    ins.rueckstaendigkeit.aktiv = false;
    ins.serien.anzahlVon = 2;
    ins.serien.anzahlBis = 2;
    EXPECT_FALSE(GetParam().start(st, ins, katalog));
    ins.serien.aktiv = false;
    ins.folge.front().ereignis = kRot;  // the trigger fails
    EXPECT_FALSE(GetParam().start(st, ins, katalog));
}

INSTANTIATE_TEST_SUITE_P(Beide, Startpruefung, ::testing::Values(kEngine, kReferenz),
                         [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace spinalyst::testing
