#include "systems/verlauf.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace spinalyst::systems {
namespace {

using store::Date;

Date tag(int d) {
    return Date::fromYmd(2024, 3, d);
}

// Coups with `ID_Zahl` 100, 101, ... over the given days (coups per day), numbers 0, 1, 2, ...
std::vector<Verlaufscoup> coups(const std::vector<int>& proTag) {
    std::vector<Verlaufscoup> c;
    for (std::size_t t = 0; t < proTag.size(); ++t) {
        for (int i = 0; i < proTag[t]; ++i) {
            c.push_back({tag(10 + static_cast<int>(t)), 100 + static_cast<std::int64_t>(c.size()),
                         static_cast<int>(c.size() % 37)});
        }
    }
    return c;
}

Wette wette(std::int64_t idZahl, std::int64_t system, int satz, std::optional<int> ergebnis) {
    Wette w;
    w.idZahl = idZahl;
    w.system = system;
    w.satz = satz;
    w.ergebnis = ergebnis;
    return w;
}

std::string staende(const std::vector<int>& s) {
    std::string t;
    for (const int v : s) {
        t += (t.empty() ? "" : " ") + std::to_string(v);
    }
    return t;
}

std::string gesamt(const Verlauf& v) {
    std::vector<int> s;
    for (const Verlaufspunkt& p : v.punkte) {
        s.push_back(p.stand);
    }
    return staende(s);
}

TEST(VerlaufTest, LargestDrawdown) {
    const struct {
        std::vector<int> stand;
        std::optional<Einbruch> erwartet;
    } faelle[] = {
        {{}, std::nullopt},
        {{1, 2, 2, 5}, std::nullopt},
        // A loss at once falls from the start.
        {{-3, -1}, Einbruch{0, 1, 3}},
        // The fall runs on through a partial recovery (5, 1, 4, -2).
        {{2, 5, 1, 4, -2, 3}, Einbruch{2, 5, 7}},
        // A deeper fall from a later high replaces the first one.
        {{4, 1, 9, 2, 3}, Einbruch{3, 4, 7}},
        // Of two equal falls the first holds.
        {{3, 0, 3, 0}, Einbruch{1, 2, 3}},
    };
    for (const auto& f : faelle) {
        const std::optional<Einbruch> e = Groesster_Einbruch(f.stand);
        ASSERT_EQ(e.has_value(), f.erwartet.has_value()) << staende(f.stand);
        if (e) {
            EXPECT_EQ(e->von, f.erwartet->von) << staende(f.stand);
            EXPECT_EQ(e->bis, f.erwartet->bis) << staende(f.stand);
            EXPECT_EQ(e->tiefe, f.erwartet->tiefe) << staende(f.stand);
        }
    }
}

// Two systems over three days: every coup is a point, the running total sums both systems'
// results, the days keep their coups and results, and each system has its own line.
TEST(VerlaufTest, CoupsDaysAndOneLinePerSystem) {
    const auto c = coups({3, 2, 4});
    const std::vector<Wette> wetten = {
        wette(100, 7, 1, 1), wette(101, 7, 2, -2), wette(101, 9, 1, 5), wette(103, 9, 4, -4),
        wette(105, 7, 1, -1), wette(105, 9, 2, -2),
        // Unsettled (coup about to be played) counts 0 but its stake is shown.
        wette(108, 7, 3, std::nullopt),
        // A bet on a coup outside the stretch is left aside.
        wette(99, 7, 10, 10), wette(500, 9, 10, -10)};
    const std::vector<std::int64_t> systeme = {9, 7};
    const Verlauf v = Verlauf_Berechnen(c, wetten, systeme, true);

    ASSERT_EQ(v.punkte.size(), 9u);
    EXPECT_EQ(gesamt(v), "1 4 4 0 0 -3 -3 -3 -3");
    EXPECT_EQ(v.punkte[1].satz, 3);
    EXPECT_EQ(v.punkte[1].ergebnis, 3);
    EXPECT_EQ(v.punkte[8].satz, 3);
    EXPECT_EQ(v.punkte[8].ergebnis, 0);
    // Places within the day, day and number.
    EXPECT_EQ(v.punkte[3].coup, 1);
    EXPECT_EQ(v.punkte[3].tag, tag(11));
    EXPECT_EQ(v.punkte[6].coup, 2);
    EXPECT_EQ(v.punkte[6].zahl, 6);

    ASSERT_EQ(v.tage.size(), 3u);
    EXPECT_EQ(v.tage[0].tag, tag(10));
    EXPECT_EQ(v.tage[0].erster, 0u);
    EXPECT_EQ(v.tage[0].coups, 3u);
    EXPECT_EQ(v.tage[0].ergebnis, 4);
    EXPECT_EQ(v.tage[1].erster, 3u);
    EXPECT_EQ(v.tage[1].coups, 2u);
    EXPECT_EQ(v.tage[1].ergebnis, -4);
    EXPECT_EQ(v.tage[2].erster, 5u);
    EXPECT_EQ(v.tage[2].coups, 4u);
    EXPECT_EQ(v.tage[2].ergebnis, -3);

    // In the order of the run, system 9 first.
    ASSERT_EQ(v.systeme.size(), 2u);
    EXPECT_EQ(v.systeme[0].system, 9);
    EXPECT_EQ(staende(v.systeme[0].stand), "0 5 5 1 1 -1 -1 -1 -1");
    EXPECT_EQ(v.systeme[1].system, 7);
    EXPECT_EQ(staende(v.systeme[1].stand), "1 -1 -1 -1 -1 -2 -2 -2 -2");

    ASSERT_TRUE(v.einbruch);
    EXPECT_EQ(v.einbruch->von, 2u);
    EXPECT_EQ(v.einbruch->bis, 6u);
    EXPECT_EQ(v.einbruch->tiefe, 7);

    // Mode "E": the total alone.
    EXPECT_TRUE(Verlauf_Berechnen(c, wetten, systeme, false).systeme.empty());
}

TEST(VerlaufTest, AStretchWithoutCoupsOrBets) {
    const Verlauf leer = Verlauf_Berechnen({}, {}, {}, true);
    EXPECT_TRUE(leer.punkte.empty());
    EXPECT_TRUE(leer.tage.empty());
    EXPECT_FALSE(leer.einbruch);

    // A system that placed no bet has a flat line.
    const auto c = coups({2});
    const std::vector<std::int64_t> systeme = {4};
    const Verlauf flach = Verlauf_Berechnen(c, {}, systeme, true);
    EXPECT_EQ(gesamt(flach), "0 0");
    ASSERT_EQ(flach.systeme.size(), 1u);
    EXPECT_EQ(staende(flach.systeme[0].stand), "0 0");
    EXPECT_FALSE(flach.einbruch);
}

}  // namespace
}  // namespace spinalyst::systems
