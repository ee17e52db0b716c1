#include "events/trefferbild.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <vector>

#include "tests/events/permanenz_fixture.h"

namespace spinalyst::events {
namespace {

using testing::PermanenzTest;
using testing::plein;

// Expected absences counted over every sequence of n coups, each weighed by its probability.
double abgezaehlt(int n, double p, int laenge) {
    double summe = 0;
    for (int maske = 0; maske < (1 << n); ++maske) {
        int treffer = 0;
        int zahl = 0;
        int letzter = -1;
        for (int i = 0; i < n; ++i) {
            if ((maske >> i) & 1) {
                ++treffer;
                if (letzter >= 0 && i - letzter - 1 == laenge) {
                    ++zahl;
                }
                letzter = i;
            }
        }
        summe += zahl * std::pow(p, treffer) * std::pow(1 - p, n - treffer);
    }
    return summe;
}

TEST(TrefferbildTest, ExpectedAbsencesAgreeWithCountingEverySequence) {
    for (const int n : {1, 2, 5, 9}) {
        for (const double p : {1.0 / 37, 18.0 / 37, 0.5}) {
            for (int laenge = 0; laenge <= n; ++laenge) {
                EXPECT_NEAR(Erwartete_Rueckstaende(n, p, laenge), abgezaehlt(n, p, laenge), 1e-12)
                    << "n " << n << " p " << p << " length " << laenge;
            }
        }
    }
}

TEST(TrefferbildTest, ExpectedHitsAndBandOfTheNumbers) {
    std::array<std::int64_t, 37> treffer{};
    treffer[0] = 10;
    treffer[17] = 64;
    treffer[36] = 0;
    for (int z = 1; z <= 35; ++z) {
        if (z != 17) {
            treffer[static_cast<std::size_t>(z)] = 10;
        }
    }
    const Trefferbild b = Trefferbild_Berechnen(treffer);
    EXPECT_EQ(b.coups, 35 * 10 + 64);
    EXPECT_DOUBLE_EQ(b.erwartet, 414.0 / 37);
    EXPECT_DOUBLE_EQ(b.sigma, std::sqrt(414.0 * (1.0 / 37) * (36.0 / 37)));

    const Trefferbild leer = Trefferbild_Berechnen(std::array<std::int64_t, 37>{});
    EXPECT_EQ(leer.coups, 0);
    EXPECT_EQ(leer.erwartet, 0);
    EXPECT_EQ(leer.sigma, 0);
}

// The lengths run from the shortest to the longest observed and on while at least half a series
// is expected; the expectation sums over the segments.
TEST(TrefferbildTest, LengthsShownObservedAgainstExpected) {
    const std::map<int, std::int64_t> beobachtet = {{2, 3}, {5, 1}};
    const std::vector<std::int64_t> zwei = {100, 50};
    const auto zeilen = Rueckstaende_Vergleichen(beobachtet, zwei, 0.5);
    ASSERT_GE(zeilen.size(), 6u);
    EXPECT_EQ(zeilen.front().laenge, 0);
    for (std::size_t i = 0; i < zeilen.size(); ++i) {
        const Laenge& z = zeilen[i];
        EXPECT_EQ(z.laenge, static_cast<int>(i));
        EXPECT_EQ(z.beobachtet, z.laenge == 2 ? 3 : z.laenge == 5 ? 1 : 0);
        EXPECT_DOUBLE_EQ(z.erwartet, Erwartete_Rueckstaende(100, 0.5, z.laenge) +
                                         Erwartete_Rueckstaende(50, 0.5, z.laenge));
        if (z.laenge > 5) {
            EXPECT_GE(z.erwartet, 0.5);
        }
    }
    EXPECT_LT(Erwartete_Rueckstaende(100, 0.5, zeilen.back().laenge + 1) +
                  Erwartete_Rueckstaende(50, 0.5, zeilen.back().laenge + 1),
              0.5);

    // Series start at length 1; a long observed series is shown although it is not expected.
    const std::map<int, std::int64_t> lang = {{1, 4}, {30, 1}};
    const std::vector<std::int64_t> eins = {200};
    const auto serien = Serien_Vergleichen(lang, eins, 1.0 / 37);
    ASSERT_EQ(serien.size(), 30u);
    EXPECT_EQ(serien.front().laenge, 1);
    EXPECT_EQ(serien.back().laenge, 30);
    EXPECT_EQ(serien.back().beobachtet, 1);

    // Nothing counted: nothing to show.
    EXPECT_TRUE(Serien_Vergleichen({}, {}, 0.5).empty());
}

class PermanenzbildTest : public PermanenzTest {};

// The chart reads what the evaluation stored: the hits of the single numbers, the series and
// absences of each event, and one segment per day unless days overlap.
TEST_F(PermanenzbildTest, ReadsTheStoredResultsOfAnEvaluation) {
    const store::Date d = heute();
    tagAnfuegen(d.addDays(-1), {5, 5, 7, 0, 5});
    tagAnfuegen(d, {17, 17, 17, 5, 36, 7});
    waehle(d, 2, 0, false);
    ASSERT_EQ(lauf('A').coups, 11);

    const Permanenzbild b = Permanenzbild_Laden(k, katalog);
    EXPECT_EQ(b.zahlen.coups, 11);
    EXPECT_EQ(b.zahlen.treffer[5], 4);
    EXPECT_EQ(b.zahlen.treffer[17], 3);
    EXPECT_EQ(b.zahlen.treffer[7], 2);
    EXPECT_EQ(b.zahlen.treffer[0], 1);
    EXPECT_EQ(b.zahlen.treffer[36], 1);
    EXPECT_EQ(b.zahlen.treffer[1], 0);
    EXPECT_EQ(b.segmente, (std::vector<std::int64_t>{5, 6}));

    // 17: one series of 3; 5: series 2 and 1 on the first day, 1 on the second; absences of 5
    // between its hits on the first day: 0 and 2.
    const auto serien = [&](int ereignis) {
        const auto it = b.serien.find(ereignis);
        return it == b.serien.end() ? std::map<int, std::int64_t>{} : it->second;
    };
    EXPECT_EQ(serien(plein(17)), (std::map<int, std::int64_t>{{3, 1}}));
    EXPECT_EQ(serien(plein(5)), (std::map<int, std::int64_t>{{1, 2}, {2, 1}}));
    EXPECT_EQ(b.rueckstaende.at(plein(5)), (std::map<int, std::int64_t>{{0, 1}, {2, 1}}));
    EXPECT_FALSE(b.serien.contains(0)) << "class totals are not an event";

    waehle(d, 2, 0, true);
    lauf('A');
    EXPECT_EQ(Permanenzbild_Laden(k, katalog).segmente, (std::vector<std::int64_t>{11}));

    // The frequency list's current row is the selected event.
    auto& liste = dm.TdbQuery_Ereignisse_Haeufigkeit;
    ASSERT_TRUE(liste.isOpen());
    ASSERT_FALSE(liste.isEmpty());
    EXPECT_EQ(Gewaehltes_Ereignis(k), liste.integer("ID_Ereignis"));
}

}  // namespace
}  // namespace spinalyst::events
