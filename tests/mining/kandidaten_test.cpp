#include "mining/kandidaten.h"

#include <gtest/gtest.h>

#include <limits>
#include <set>
#include <string>
#include <vector>

namespace spinalyst::mining {
namespace {

// Parameters with the options of the filter rows and the system's filter events.
Parameter Filterparameter(Filteroption h, int hEreignis, Filteroption s = {}, int sEreignis = 0,
                          Filteroption r = {}, int rEreignis = 0) {
    Parameter p;
    p.option(Filterart::Haeufigkeit) = h;
    p.option(Filterart::Serien) = s;
    p.option(Filterart::Rueckstaendigkeit) = r;
    if (hEreignis != 0) {
        p.instanz.haeufigkeit.ereignis = hEreignis;
    }
    if (sEreignis != 0) {
        p.instanz.serien.ereignis = sEreignis;
    }
    if (rEreignis != 0) {
        p.instanz.rueckstaendigkeit.ereignis = rEreignis;
    }
    return p;
}

Parameter Folgenparameter(int laenge, bool f11, bool f21, bool f51, bool ungleich) {
    Parameter p;
    p.folgeAnzahl = laenge;
    p.folge11 = f11;
    p.folge21 = f21;
    p.folge51 = f51;
    p.folgeUngleich = ungleich;
    return p;
}

// A filter as "." (not varied), "<e>+" plain, "<e>-" negated, "<e>o" off with its event.
std::string Zeigen(const Filterstellung& f) {
    if (f.ereignis == 0 && !f.aktiv && !f.ungleich) {
        return ".";
    }
    return std::to_string(f.ereignis) + (!f.aktiv     ? (f.ungleich ? "?" : "o")
                                         : f.ungleich ? "-"
                                                      : "+");
}

// The combinations in order, "H/S/R" each, separated by blanks; the identifiers must run 1, 2, ...
std::string Zeigen(const std::vector<HSR_Kombination>& kombinationen) {
    std::string text;
    for (std::size_t i = 0; i < kombinationen.size(); ++i) {
        const HSR_Kombination& k = kombinationen[i];
        EXPECT_EQ(k.id, static_cast<int>(i) + 1);
        text += (i == 0 ? "" : " ") + Zeigen(k.filter[0]) + "/" + Zeigen(k.filter[1]) + "/" +
                Zeigen(k.filter[2]);
    }
    return text;
}

constexpr Filteroption kAus{false, false};
constexpr Filteroption kEreignis{true, false};
constexpr Filteroption kKlasse{true, true};

TEST(EreignisBereich, GrenzenNachOptionenUndKlasse) {
    struct Fall {
        Filteroption option;
        int ereignis;
        int untere;
        int obere;
    };
    const Fall faelle[] = {
        {kAus, 3, 0, 0},           // row not varied
        {{false, true}, 3, 0, 0},  // "all events" alone does not vary it
        {kEreignis, 9, 9, 9},      // the event itself
        {kEreignis, 200, 200, 200},
        {kEreignis, 0, 0, 0},  // null event
        {kKlasse, 3, 1, 6},
        {kKlasse, 7, 7, 12},
        {kKlasse, 23, 13, 23},
        {kKlasse, 24, 24, 46},
        {kKlasse, 58, 47, 58},
        {kKlasse, 59, 59, 116},
        {kKlasse, 153, 117, 153},
        {kKlasse, 154, 0, 0},  // beyond the classes
        {kKlasse, 0, 0, 0},
    };
    for (const Fall& f : faelle) {
        for (const Filterart art : kFilterarten) {
            SCOPED_TRACE(::testing::Message()
                         << "art " << static_cast<int>(art) << " event " << f.ereignis);
            Parameter p;
            p.option(art) = f.option;
            EXPECT_EQ(Ereignis_Bereich(p, art, f.ereignis, Grenze::Untere), f.untere);
            EXPECT_EQ(Ereignis_Bereich(p, art, f.ereignis, Grenze::Obere), f.obere);
            // Each kind follows its own option row only.
            for (const Filterart andere : kFilterarten) {
                if (andere != art) {
                    EXPECT_EQ(Ereignis_Bereich(p, andere, f.ereignis, Grenze::Obere), 0);
                }
            }
        }
    }
}

TEST(HSRKombinationen, ReihenfolgeUndZustaende) {
    struct Fall {
        const char* name;
        Parameter p;
        std::int64_t anzahl;
        const char* erwartet;  // empty: the rows are not spelled out
    };
    const Fall faelle[] = {
        {"every filter off", Filterparameter(kAus, 3, kAus, 3, kAus, 3), 1, "././."},
        {"frequency over the class of event 3", Filterparameter(kKlasse, 3), 13,
         "1+/./. 1-/./. 1o/./. 2+/./. 2-/./. 3+/./. 3-/./. 4+/./. 4-/./. 5+/./. 5-/./. 6+/./. "
         "6-/./."},
        {"frequency on event 9 alone", Filterparameter(kEreignis, 9), 3, "9+/./. 9-/./. 9o/./."},
        {"all events of a filter whose event is beyond the classes", Filterparameter(kKlasse, 200),
         1, "././."},
        {"varied without an event", Filterparameter(kKlasse, 0, kEreignis, 0), 1, "././."},
        {"series over the class of event 8, absence on event 30",
         Filterparameter(kAus, 3, kKlasse, 8, kEreignis, 30), 13 * 3, ""},
        {"frequency outermost, absence innermost",
         Filterparameter(kEreignis, 9, kAus, 0, kEreignis, 3), 9,
         "9+/./3+ 9+/./3- 9+/./3o 9-/./3+ 9-/./3- 9-/./3o 9o/./3+ 9o/./3- 9o/./3o"},
        {"all three", Filterparameter(kEreignis, 1, kEreignis, 2, kEreignis, 3), 27, ""},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.name);
        const std::vector<HSR_Kombination> k = HSR_Kombinationen_Bilden(f.p);
        EXPECT_EQ(static_cast<std::int64_t>(k.size()), f.anzahl);
        EXPECT_EQ(HSR_Kombinationen_Zaehlen(f.p), f.anzahl);
        if (*f.erwartet != '\0') {
            EXPECT_EQ(Zeigen(k), f.erwartet);
        }
    }
}

TEST(HSRKombinationen, JedeKombinationEinmalMitEinerAusZeile) {
    // Frequency over class 1 (6 events), series over class 2 (6), absence over class 35 (37).
    const Parameter p = Filterparameter(kKlasse, 4, kKlasse, 11, kKlasse, 120);
    const std::vector<HSR_Kombination> k = HSR_Kombinationen_Bilden(p);
    ASSERT_EQ(k.size(), 13u * 13u * 75u);
    EXPECT_EQ(HSR_Kombinationen_Zaehlen(p), 13 * 13 * 75);
    std::set<std::string> gesehen;
    int alleAus = 0;
    for (std::size_t i = 0; i < k.size(); ++i) {
        ASSERT_EQ(k[i].id, static_cast<int>(i) + 1);
        const std::string z =
            Zeigen(k[i].filter[0]) + "/" + Zeigen(k[i].filter[1]) + "/" + Zeigen(k[i].filter[2]);
        EXPECT_TRUE(gesehen.insert(z).second) << z;
        if (z == "1o/7o/117o") {
            ++alleAus;
        }
        // The off state of a varied filter carries the first event of its range only.
        EXPECT_TRUE(k[i].filter[0].aktiv || k[i].filter[0].ereignis == 1) << z;
        EXPECT_TRUE(k[i].filter[2].aktiv || k[i].filter[2].ereignis == 117) << z;
    }
    EXPECT_EQ(alleAus, 1);
    EXPECT_EQ(Zeigen(k.back().filter[0]) + "/" + Zeigen(k.back().filter[1]) + "/" +
                  Zeigen(k.back().filter[2]),
              "6-/12-/153-");
}

TEST(Folgen, AnzahlCodesUndArten) {
    struct Fall {
        const char* name;
        Parameter p;
        std::int64_t anzahl;
        const char* ersteCodes;  // codes of positions 1.. of the first sequences, ";" between them
    };
    const Fall faelle[] = {
        {"length 1 over 1:1", Folgenparameter(1, true, false, false, false), 6, "1;2;3;4;5;6"},
        {"length 1 over 1:1 with negation", Folgenparameter(1, true, false, false, true), 12,
         "1;101;2;102;3;103;4;104;5;105;6;106"},
        {"length 2 over 2:1 with negation", Folgenparameter(2, false, true, false, true), 576,
         "1,1;1,101;1,2;1,102"},
        {"the largest class checked wins", Folgenparameter(1, true, false, true, false), 23, "1;2"},
        {"length 3 over 1:1", Folgenparameter(3, true, false, false, false), 216,
         "1,1,1;1,1,2;1,1,3"},
        {"length 0", Folgenparameter(0, true, true, true, true), 0, ""},
        {"no class", Folgenparameter(3, false, false, false, true), 0, ""},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.name);
        const std::vector<Folge> folgen = Folgen_Bilden(f.p);
        ASSERT_EQ(static_cast<std::int64_t>(folgen.size()), f.anzahl);
        EXPECT_EQ(Folgen_Zaehlen(f.p), f.anzahl);
        const int laenge = Folgen_Laenge(f.p);
        std::string codes;
        const std::string erwartet = f.ersteCodes;
        for (std::size_t i = 0; i < folgen.size() && codes.size() < erwartet.size(); ++i) {
            codes += i == 0 ? "" : ";";
            for (int k = 0; k < laenge; ++k) {
                codes += (k == 0 ? "" : ",") + std::to_string(folgen[i].codes[k]);
            }
        }
        EXPECT_EQ(codes, erwartet);
        std::set<std::array<int, 5>> verschieden;
        for (const Folge& folge : folgen) {
            verschieden.insert(folge.codes);
            for (int k = laenge; k < 5; ++k) {
                EXPECT_EQ(folge.codes[static_cast<std::size_t>(k)], 0);
            }
            EXPECT_EQ(folge.gleicheArt, Gleiche_Art_Code(folge.codes));
        }
        EXPECT_EQ(verschieden.size(), folgen.size());
    }
}

TEST(Folgen, SechsFolgenDerArtEins) {
    for (const Folge& f : Folgen_Bilden(Folgenparameter(1, true, false, false, false))) {
        EXPECT_EQ(f.gleicheArt, 1);
        EXPECT_EQ(Gleiche_Art_Text(f.gleicheArt), "1-1 ");
    }
}

TEST(Folgen, NichtAchtDannZweiUnter576) {
    const std::vector<Folge> folgen = Folgen_Bilden(Folgenparameter(2, false, true, false, true));
    ASSERT_EQ(folgen.size(), 576u);
    // Position 1 takes 1, 101, 2, 102, ...: 108 is its 16th choice, 2 the 3rd of position 2.
    const Folge& f = folgen[15 * 24 + 2];
    EXPECT_EQ(f.codes, (std::array<int, 5>{108, 2, 0, 0, 0}));
    EXPECT_EQ(f.gleicheArt, 1001);
    EXPECT_EQ(Gleiche_Art_Text(f.gleicheArt), "1-1 , <> 2-1 ");
    EXPECT_EQ(folgen.back().codes, (std::array<int, 5>{112, 112, 0, 0, 0}));
    EXPECT_EQ(Gleiche_Art_Text(folgen.back().gleicheArt), "<> 2-1 , <> 2-1 ");
}

TEST(Folgen, LaengeAusserhalbNullBisFuenf) {
    EXPECT_EQ(Folgen_Zaehlen(Folgenparameter(7, true, false, false, false)), 6 * 6 * 6 * 6 * 6);
    EXPECT_EQ(Folgen_Zaehlen(Folgenparameter(-1, true, false, false, false)), 0);
}

TEST(GleicheArt, CodeUndText) {
    struct Fall {
        std::array<int, 5> ereignisse;
        std::array<int, 5> vorzeichen;
        int code;
        const char* text;
    };
    const Fall faelle[] = {
        {{3, 0, 0, 0, 0}, {1, 1, 1, 1, 1}, 1, "1-1 "},
        {{1, 2, 7, 0, 0}, {1, 1, 1, 1, 1}, 102, "1-1 , 1-1 , 2-1 "},
        {{8, 2, 0, 0, 0}, {2, 1, 0, 0, 0}, 1001, "1-1 , <> 2-1 "},
        {{13, 23, 5, 12, 1}, {2, 1, 2, 1, 2}, 110120, "<> 1-1 , <> 1-1 , 2-1 , 5-1 , <> 5-1 "},
        // An event outside 1 to 23 and an unused position add nothing, whatever their sign.
        {{24, 0, 6, 0, 0}, {1, 2, 1, 2, 2}, 1, "1-1 "},
        {{0, 0, 0, 0, 0}, {2, 2, 2, 2, 2}, 0, ""},
        {{23, 13, 20, 14, 15},
         {2, 2, 2, 2, 2},
         500000,
         "<> 5-1 , <> 5-1 , <> 5-1 , <> 5-1 , <> 5-1 "},
        {{6, 6, 6, 6, 6}, {1, 2, 1, 2, 1}, 23, "1-1 , 1-1 , 1-1 , <> 1-1 , <> 1-1 "},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.code);
        EXPECT_EQ(Gleiche_Art_Code(f.ereignisse, f.vorzeichen), f.code);
        EXPECT_EQ(Gleiche_Art_Text(f.code), f.text);
    }
}

TEST(KombinationenAnzahl, NullZaehltAlsEinsUndUeber32Bit) {
    struct Fall {
        const char* name;
        Parameter p;
        std::int64_t anzahl;
    };
    Parameter gross = Filterparameter(kKlasse, 3);
    gross.folgeAnzahl = 5;
    gross.folge51 = true;
    gross.folgeUngleich = true;
    Parameter sechs = Folgenparameter(1, true, false, false, false);
    Parameter dreizehn = Filterparameter(kKlasse, 3);
    Parameter alle = Filterparameter(kKlasse, 59, kKlasse, 117, kKlasse, 24);
    alle.folgeAnzahl = 5;
    alle.folge51 = true;
    alle.folgeUngleich = true;
    const Fall faelle[] = {
        {"nothing varied, no sequence", Parameter{}, 1},
        {"sequences only", sechs, 6},
        {"combinations only", dreizehn, 13},
        {"13 combinations times 46^5 sequences", gross, 13LL * 205'962'976LL},
        {"the largest classes", alle, 117LL * 75LL * 47LL * 205'962'976LL},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.name);
        EXPECT_EQ(Kombinationen_Anzahl(f.p), f.anzahl);
    }
    EXPECT_GT(Kombinationen_Anzahl(gross), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(Folgen_Zaehlen(gross), 205'962'976);
}

TEST(ChanceDesEreignisses, KlassengrenzenUndAusserhalb) {
    const std::pair<int, std::optional<int>> faelle[] = {
        {0, std::nullopt},
        {1, 1},
        {6, 1},
        {7, 2},
        {12, 2},
        {13, 5},
        {23, 5},
        {24, 8},
        {46, 8},
        {47, 11},
        {58, 11},
        {59, 17},
        {116, 17},
        {117, 35},
        {153, 35},
        {154, std::nullopt},
        {-3, std::nullopt},
    };
    for (const auto& [ereignis, chance] : faelle) {
        EXPECT_EQ(Chance_Des_Ereignisses(ereignis), chance) << ereignis;
    }
}

}  // namespace
}  // namespace spinalyst::mining
