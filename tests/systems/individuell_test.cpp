// The rules of the individual systems (most frequent events now absent; events absent longest)
// on the program's own event catalogue, alone and inside the walk.
#include <gtest/gtest.h>

#include <vector>

#include "kern/katalog.h"
#include "systems/durchlauf.h"
#include "tests/support/kontext_fixture.h"

namespace spinalyst::systems {
namespace {

using kern::Coup;
using store::Date;

class IndividuellTest : public testing::KontextTest {
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
        return Individuell_Satzsignale(stelle, s, chancen, katalog);
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

TEST_F(IndividuellTest, FrequencyRuleBetsTheFrequentEventsThatAreAbsentNow) {
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

TEST_F(IndividuellTest, AbsenceRuleBetsTheLongestAbsentOnceEveryNumberHasFallen) {
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
}

TEST_F(IndividuellTest, EveryIndividualSystemPlaysItsOwnRuleInTheWalk) {
    const std::vector<int> zehn = {2, 4, 6, 8, 10, 11, 3, 5, 0, 1};
    const std::vector<Coup> strecke = tag(heute, zehn);
    std::vector<System> systeme = {regel(1, 2, 10, 2), regel(2, 1)};
    systeme[1].instanzen[0].saetze[1] = 3;
    Durchlauf lauf;
    lauf.strecke = strecke;
    lauf.chancen = 1;
    const Durchlaufergebnis e = Systeme_Durchlaufen(lauf, systeme, {}, {}, katalog);
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
    const Durchlaufergebnis e2 = Systeme_Durchlaufen(lauf, systeme, {}, {}, katalog);
    zuletzt.clear();
    for (const Wette& w : e2.wetten) {
        if (w.idZahl == strecke2.back().idZahl) {
            zuletzt.emplace_back(w.system, w.ereignis, w.satz);
        }
    }
    EXPECT_EQ(zuletzt, (std::vector<std::tuple<std::int64_t, int, int>>{{11, 2, 5}, {12, 6, 3}}));
}

}  // namespace
}  // namespace spinalyst::systems
