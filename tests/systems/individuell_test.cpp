// The rules of the individual systems (most frequent events now absent; events absent longest)
// on the program's own event catalogue, alone and inside the walk. Every case runs through the
// engine and through the plain reference.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "kern/katalog.h"
#include "systems/durchlauf.h"
#include "tests/support/kontext_fixture.h"
#include "tests/systems/referenzlauf.h"

namespace spinalyst::systems {
namespace {

using kern::Coup;
using store::Date;

// The rule and the walk of one implementation.
struct Umsetzung {
    const char* name;
    std::vector<int> (*signale)(const Pruefstelle&, const System&, int,
                                const kern::Ereigniskatalog&);
    Durchlaufergebnis (*laufen)(const Durchlauf&, std::vector<System>&, std::vector<Wette>,
                                Tagessummen, const kern::Ereigniskatalog&, const Nach_Coup&);
};

const Umsetzung kEngine{"Engine", &Individuell_Satzsignale, &Systeme_Durchlaufen};
const Umsetzung kReferenz{"Referenz", &referenz::Individuell_Satzsignale,
                          &referenz::Systeme_Durchlaufen};

class IndividuellTest : public testing::KontextTest,
                        public ::testing::WithParamInterface<Umsetzung> {
  protected:
    IndividuellTest() : katalog(kern::Ereigniskatalog::laden(dm)) {}

    // Coups of one day (oldest first), then the coup about to be played.
    static std::vector<Coup> tag(Date d, const std::vector<int>& zahlen, std::int64_t ab = 1) {
        std::vector<Coup> coups;
        for (int z : zahlen) {
            coups.push_back({d, ab++, static_cast<std::int8_t>(z)});
        }
        coups.push_back({d, ab, kern::kKeineZahl});
        return coups;
    }
    static System regel(int nummer, std::optional<int> n, std::optional<int> w = {},
                        std::optional<int> r = {}) {
        System s;
        s.id = 10 + nummer;
        s.art = 2;
        s.nummer = nummer;
        s.regel = {n, w, r};
        s.instanzen[0].saetze[1] = 5;
        return s;
    }
    std::vector<int> signale(const std::vector<Coup>& strecke, const System& s, int chancen,
                             bool uebergreifend = false) const {
        const Pruefstelle stelle{strecke, strecke.size() - 1, uebergreifend};
        return GetParam().signale(stelle, s, chancen, katalog);
    }
    Durchlaufergebnis laufen(const Durchlauf& lauf, std::vector<System>& systeme,
                             std::vector<Wette> wetten = {}, Tagessummen summen = {}) const {
        return GetParam().laufen(lauf, systeme, std::move(wetten), summen, katalog, {});
    }
    // The bets on a coup as (system, event, stake), in the order placed.
    static std::vector<std::tuple<std::int64_t, int, int>> wettenAuf(const Durchlaufergebnis& e,
                                                                     std::int64_t idZahl) {
        std::vector<std::tuple<std::int64_t, int, int>> auf;
        for (const Wette& w : e.wetten) {
            if (w.idZahl == idZahl) {
                auf.emplace_back(w.system, w.ereignis, w.satz);
            }
        }
        return auf;
    }
    // The single-number event of a number.
    int plein(int zahl) const {
        for (int id = 117; id <= 153; ++id) {
            const kern::Ereignis* e = katalog.finden(id);
            if (e != nullptr && e->zahlen == (std::uint64_t{1} << zahl)) {
                return id;
            }
        }
        ADD_FAILURE() << "no single-number event for " << zahl;
        return 0;
    }

    kern::Ereigniskatalog katalog;
    const Date heute = Date::fromYmd(2026, 3, 10);
};

TEST_P(IndividuellTest, FrequencyRuleBetsTheFrequentEventsThatAreAbsentNow) {
    // Newest last: 1 (red, odd, low) fell just before; black hit 6 of 10 and last fell 5 coups
    // back; low hit 9 of 10 but fell just before.
    const std::vector<int> zehn = {2, 4, 6, 8, 10, 11, 3, 5, 0, 1};
    const struct {
        const char* was;
        std::vector<Coup> strecke;
        System system;
        bool uebergreifend;
        std::vector<int> erwartet;
    } faelle[] = {
        {"rank 1 fell just before, rank 2 is bet",
         tag(heute, zehn),
         regel(1, 2, 10, 2),
         false,
         {2}},
        {"N = 3 also bets rank 3 (even, absent 5)",
         tag(heute, zehn),
         regel(1, 3, 10, 2),
         false,
         {2, 3}},
        {"R = 6: rank 2 fell 4 coups back", tag(heute, zehn), regel(1, 2, 10, 6), false, {}},
        {"only 9 coups of the day",
         tag(heute, {4, 6, 8, 10, 11, 3, 5, 0, 1}),
         regel(1, 2, 10, 2),
         false,
         {}},
        {"no number: no parameters", tag(heute, zehn), regel(1, std::nullopt, 10, 2), false, {}},
        {"W = 0", tag(heute, zehn), regel(1, 2, 0, 2), false, {}},
        {"R = 0", tag(heute, zehn), regel(1, 2, 10, 0), false, {}},
        {"no W", tag(heute, zehn), regel(1, 2, std::nullopt, 2), false, {}},
        // Every event hit once: red (19, just before) ranks first by its lower identifier.
        {"ties by the lower identifier", tag(heute, {2, 19, 0}), regel(1, 2, 3, 2), false, {2}},
        {"black ranks second, beyond N = 1", tag(heute, {2, 19, 0}), regel(1, 1, 3, 2), false, {}},
        {"N beyond the events bets all that are absent",
         tag(heute, {2, 19, 0}),
         regel(1, 9, 3, 1),
         false,
         {1, 2, 3, 4, 5, 6}},
        {"events without a hit are never bet", tag(heute, {0, 0, 0}), regel(1, 6, 3, 1), false, {}},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.was);
        EXPECT_EQ(signale(f.strecke, f.system, 1, f.uebergreifend), f.erwartet);
    }

    // The window reaching into the day before counts only when days overlap.
    std::vector<Coup> zwei = tag(heute.addDays(-1), {2}, 1);
    zwei.pop_back();
    for (const Coup& c : tag(heute, {4, 6, 8, 10, 11, 3, 5, 0, 1}, 2)) {
        zwei.push_back(c);
    }
    EXPECT_EQ(signale(zwei, regel(1, 2, 10, 2), 1, false), std::vector<int>{});
    EXPECT_EQ(signale(zwei, regel(1, 2, 10, 2), 1, true), std::vector<int>{2});
    // Another chance class or another rule number bets nothing.
    EXPECT_EQ(signale(tag(heute, zehn), regel(1, 2, 10, 2), 3), std::vector<int>{});
    EXPECT_EQ(signale(tag(heute, zehn), regel(3, 2, 10, 2), 1), std::vector<int>{});
}

TEST_P(IndividuellTest, AbsenceRuleBetsTheLongestAbsentOnceEveryNumberHasFallen) {
    std::vector<int> alle;
    for (int z = 0; z <= 36; ++z) {
        alle.push_back(z);
    }
    // 0 is absent longest, then 1 and 2; 36 fell just before and is never bet.
    EXPECT_EQ(signale(tag(heute, alle), regel(2, 3), 35),
              (std::vector<int>{plein(0), plein(1), plein(2)}));
    // 36 has not fallen yet today: the scan is incomplete.
    std::vector<int> ohne36(alle.begin(), alle.end() - 1);
    EXPECT_EQ(signale(tag(heute, ohne36), regel(2, 3), 35), std::vector<int>{});
    // Repeats make a number's last fall the one that counts: 0 falls again near the end.
    std::vector<int> wieder = alle;
    wieder.insert(wieder.end() - 1, 0);
    EXPECT_EQ(signale(tag(heute, wieder), regel(2, 2), 35), (std::vector<int>{plein(1), plein(2)}));
    // Even chances: N = 6 bets only those not fallen just before, longest absent first.
    EXPECT_EQ(signale(tag(heute, {20, 2, 4, 1}), regel(2, 6), 1), (std::vector<int>{6, 2, 3}));
    // No N: no bets (W and R are not looked at).
    EXPECT_EQ(signale(tag(heute, alle), regel(2, std::nullopt, 5, 5), 35), std::vector<int>{});
    EXPECT_EQ(signale(tag(heute, alle), regel(2, 0), 35), std::vector<int>{});

    // 36 fell only the day before: the scan completes there, which counts only when days overlap;
    // then 36 is absent longest.
    std::vector<Coup> zweiTage = {{heute.addDays(-1), 1, 36}};
    for (const Coup& c : tag(heute, ohne36, 2)) {
        zweiTage.push_back(c);
    }
    EXPECT_EQ(signale(zweiTage, regel(2, 3), 35, false), std::vector<int>{});
    EXPECT_EQ(signale(zweiTage, regel(2, 3), 35, true),
              (std::vector<int>{plein(36), plein(0), plein(1)}));
}

TEST_P(IndividuellTest, EveryIndividualSystemPlaysItsOwnRuleInTheWalk) {
    const std::vector<int> zehn = {2, 4, 6, 8, 10, 11, 3, 5, 0, 1};
    const std::vector<Coup> strecke = tag(heute, zehn);
    std::vector<System> systeme = {regel(1, 2, 10, 2), regel(2, 1)};
    systeme[1].instanzen[0].saetze[1] = 3;
    Durchlauf lauf;
    lauf.strecke = strecke;
    lauf.chancen = 1;
    const Durchlaufergebnis e = laufen(lauf, systeme);
    // The bets on the coup about to be played: rule 1 black with its 5 pieces; rule 2 none, since
    // "high" has not fallen today.
    std::vector<std::tuple<std::int64_t, int, int>> zuletzt;
    for (const Wette& w : e.wetten) {
        if (w.idZahl == strecke.back().idZahl) {
            zuletzt.emplace_back(w.system, w.ereignis, w.satz);
            EXPECT_FALSE(w.ergebnis.has_value());
        }
    }
    EXPECT_EQ(zuletzt, (std::vector<std::tuple<std::int64_t, int, int>>{{11, 2, 5}}));

    // With "high" fallen early in the day rule 2 bets it (absent longest) with its own stake.
    std::vector<int> mitHoch = {20};
    mitHoch.insert(mitHoch.end(), zehn.begin(), zehn.end());
    const std::vector<Coup> strecke2 = tag(heute, mitHoch);
    lauf.strecke = strecke2;
    systeme = {regel(1, 2, 10, 2), regel(2, 1)};
    systeme[1].instanzen[0].saetze[1] = 3;
    const Durchlaufergebnis e2 = laufen(lauf, systeme);
    zuletzt.clear();
    for (const Wette& w : e2.wetten) {
        if (w.idZahl == strecke2.back().idZahl) {
            zuletzt.emplace_back(w.system, w.ereignis, w.satz);
        }
    }
    EXPECT_EQ(zuletzt, (std::vector<std::tuple<std::int64_t, int, int>>{{11, 2, 5}, {12, 6, 3}}));
}

// The bets of a rule in the walk: each with the stake of step 1, none without that stake, and
// settled with the individual result at the next coup (or by the final settlement, or by the
// next online step).
TEST_P(IndividuellTest, RuleBetsCarryTheFirstStakeAndAreSettledAtTheNextCoup) {
    std::vector<int> alle;
    for (int z = 0; z <= 36; ++z) {
        alle.push_back(z);
    }
    const std::vector<Coup> vollerTag = tag(heute, alle);
    const std::int64_t letzter = vollerTag.back().idZahl;
    Durchlauf lauf;
    lauf.strecke = vollerTag;
    lauf.chancen = 35;
    const struct {
        const char* was;
        std::optional<int> satz;
        std::vector<std::tuple<std::int64_t, int, int>> erwartet;
    } staende[] = {
        {"stake 5", 5, {{12, plein(0), 5}, {12, plein(1), 5}, {12, plein(2), 5}}},
        {"stake 0", 0, {{12, plein(0), 0}, {12, plein(1), 0}, {12, plein(2), 0}}},
        {"no stake", std::nullopt, {}},
    };
    for (const auto& f : staende) {
        SCOPED_TRACE(f.was);
        std::vector<System> systeme = {regel(2, 3)};
        systeme[0].instanzen[0].saetze[1] = f.satz;
        const Durchlaufergebnis e = laufen(lauf, systeme);
        EXPECT_EQ(wettenAuf(e, letzter), f.erwartet);
        EXPECT_EQ(e.wetten.size(), f.erwartet.size());
        // Only a stake above 0 books the coup; every bet counts.
        EXPECT_EQ(e.buchungen.size(), f.satz.value_or(0) > 0 ? 1u : 0u);
        EXPECT_EQ(e.summen.angriffe, static_cast<int>(f.erwartet.size()));
    }

    // Rule 1 bets black (5 pieces) on coup #11; the number of #11 settles it.
    const std::vector<int> zehn = {2, 4, 6, 8, 10, 11, 3, 5, 0, 1};
    const struct {
        const char* was;
        int zahl;
        bool zuSpielen;  // a coup about to be played follows
        int ergebnis;
    } abrechnungen[] = {
        {"black hits at the next coup", 2, true, 5},
        {"red misses", 1, true, -5},
        {"zero misses", 0, true, -5},
        {"final settlement of the last coup", 2, false, 5},
    };
    for (const auto& f : abrechnungen) {
        SCOPED_TRACE(f.was);
        std::vector<int> zahlen = zehn;
        zahlen.push_back(f.zahl);
        std::vector<Coup> strecke = tag(heute, zahlen);
        if (!f.zuSpielen) {
            strecke.pop_back();
        }
        lauf.strecke = strecke;
        lauf.chancen = 1;
        std::vector<System> systeme = {regel(1, 2, 10, 2)};
        const Durchlaufergebnis e = laufen(lauf, systeme);
        ASSERT_EQ(wettenAuf(e, 11), (std::vector<std::tuple<std::int64_t, int, int>>{{11, 2, 5}}));
        const Wette& w = e.wetten.front();
        EXPECT_EQ(w.ergebnis, f.ergebnis);
        EXPECT_EQ(e.summen.gewinnVerlust, f.ergebnis);
        ASSERT_FALSE(e.buchungen.empty());
        EXPECT_EQ(e.buchungen.front(), (Buchung{11, 5, f.ergebnis}));
    }

    // An online step settles the bet the step before left on the coup just entered.
    std::vector<int> zahlen = zehn;
    zahlen.push_back(1);
    const std::vector<Coup> strecke = tag(heute, zahlen);
    lauf.strecke = strecke;
    lauf.beginn = 0;
    lauf.nurLetzterCoup = true;
    lauf.tagAbschliessen = false;
    Wette gespeichert;
    gespeichert.idZahl = 11;
    gespeichert.system = 11;
    gespeichert.ereignis = 2;
    gespeichert.satz = 5;
    gespeichert.rowid = 40;
    std::vector<System> systeme = {regel(1, 2, 10, 2)};
    const Durchlaufergebnis e = laufen(lauf, systeme, {gespeichert}, {3, 4, 0, 7});
    ASSERT_FALSE(e.wetten.empty());
    EXPECT_EQ(e.wetten.front().ergebnis, -5);
    EXPECT_TRUE(e.wetten.front().abgerechnet);
    // After the miss black is bet again, on the coup about to be played; both bets are counted.
    EXPECT_EQ(wettenAuf(e, 12), (std::vector<std::tuple<std::int64_t, int, int>>{{11, 2, 5}}));
    EXPECT_EQ(e.summen, (Tagessummen{-2, 4, -2, 9}));
}

INSTANTIATE_TEST_SUITE_P(Umsetzungen, IndividuellTest, ::testing::Values(kEngine, kReferenz),
                         [](const ::testing::TestParamInfo<Umsetzung>& p) {
                             return std::string(p.param.name);
                         });

}  // namespace
}  // namespace spinalyst::systems
