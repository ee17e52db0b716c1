#include "events/statistik.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <map>
#include <vector>

#include "events/auswertungsstatistik.h"
#include "events/zaehlung.h"
#include "kern/katalog.h"

// The statistics against values worked out here independently: binomial tails by exact
// summation of the terms in long double, the chi-square tail by its closed form for an even
// number of degrees of freedom, Benjamini–Hochberg by hand, and the expected series and absences
// by enumerating every sequence of hits and misses of short stretches.
namespace spinalyst::events {
namespace {

using Real = long double;

// P(X = k) for X binomial(n, p), from the logarithm of the binomial coefficient.
Real binomialTerm(std::int64_t n, std::int64_t k, Real p) {
    const Real log = std::lgamma(static_cast<Real>(n) + 1) - std::lgamma(static_cast<Real>(k) + 1) -
                     std::lgamma(static_cast<Real>(n - k) + 1) +
                     static_cast<Real>(k) * std::log(p) + static_cast<Real>(n - k) * std::log1p(-p);
    return std::exp(log);
}

// Two-sided p-value min(1, 2·min(P(X ≤ k), P(X ≥ k))) by summing the terms of each tail.
Real zweiseitigesP(std::int64_t n, std::int64_t k, Real p) {
    Real unten = 0;
    for (std::int64_t i = 0; i <= k; ++i) {
        unten += binomialTerm(n, i, p);
    }
    Real oben = 0;
    for (std::int64_t i = k; i <= n; ++i) {
        oben += binomialTerm(n, i, p);
    }
    return std::min<Real>(1, 2 * std::min(unten, oben));
}

// Expects a value within a relative tolerance (or an absolute one near 0).
void nahe(double ist, Real soll, Real relativ, const char* was) {
    const Real abstand = std::fabs(static_cast<Real>(ist) - soll);
    EXPECT_LE(abstand, relativ * std::max<Real>(std::fabs(soll), 1e-300L))
        << was << ": " << ist << " against " << static_cast<double>(soll);
}

TEST(TrefferStatistik, AgainstExactBinomialSums) {
    const struct {
        const char* was;
        std::int64_t treffer, coups;
        int zahlen;
    } faelle[] = {
        {"fair: red exactly as expected", 180, 370, 18},
        {"fair: red a little short", 172, 370, 18},
        {"fair: a dozen over a day", 112, 400, 12},
        {"fair: a single number over a day", 13, 400, 1},
        {"biased: a single number hot over a month", 420, 12400, 1},
        {"biased: red short over a month", 5800, 12400, 18},
        {"biased: a six-line cold", 1700, 12400, 6},
        {"never hit", 0, 50, 1},
        {"always hit", 20, 20, 18},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.was);
        const Real p = static_cast<Real>(f.zahlen) / 37;
        const Real q = static_cast<Real>(f.coups);
        const Trefferstatistik s = Treffer_Statistik(f.treffer, f.coups, f.zahlen);
        nahe(s.erwartet, q * p, 1e-12L, "expected");
        const Real z = (static_cast<Real>(f.treffer) - q * p) / std::sqrt(q * p * (1 - p));
        EXPECT_NEAR(s.z, static_cast<double>(z), 1e-9);
        nahe(s.p, zweiseitigesP(f.coups, f.treffer, p), 1e-8L, "p");
    }
}

TEST(TrefferStatistik, SmallCasesAsFractions) {
    // Three coups on red (18 of 37): P(no red) = (19/37)³ = 6859/50653, doubled.
    EXPECT_NEAR(Treffer_Statistik(0, 3, 18).p, 2.0 * 6859 / 50653, 1e-14);
    // Three reds in three: P(X ≥ 3) = (18/37)³ = 5832/50653, doubled.
    EXPECT_NEAR(Treffer_Statistik(3, 3, 18).p, 2.0 * 5832 / 50653, 1e-14);
    // One coup on zero: P(X = 1) = 1/37; both tails of the miss are above 1/2.
    EXPECT_NEAR(Treffer_Statistik(1, 1, 1).p, 2.0 / 37, 1e-14);
    EXPECT_DOUBLE_EQ(Treffer_Statistik(0, 1, 1).p, 1.0);
    // 370 coups on red, 180 hits: exactly the expectation, z 0, p capped at 1.
    const Trefferstatistik mitte = Treffer_Statistik(180, 370, 18);
    EXPECT_DOUBLE_EQ(mitte.erwartet, 180.0);
    EXPECT_DOUBLE_EQ(mitte.z, 0.0);
    EXPECT_DOUBLE_EQ(mitte.p, 1.0);
}

TEST(TrefferStatistik, EdgesWithoutAVariance) {
    // No coup: nothing to expect, nothing unusual.
    for (int zahlen : {0, 1, 18, 37}) {
        const Trefferstatistik s = Treffer_Statistik(0, 0, zahlen);
        EXPECT_EQ(s.erwartet, 0.0);
        EXPECT_EQ(s.z, 0.0);
        EXPECT_EQ(s.p, 1.0);
    }
    // An event of no number or of every number: only the certain count has probability.
    EXPECT_EQ(Treffer_Statistik(0, 10, 0).p, 1.0);
    EXPECT_EQ(Treffer_Statistik(10, 10, 37).p, 1.0);
    EXPECT_EQ(Treffer_Statistik(10, 10, 37).erwartet, 10.0);
    EXPECT_EQ(Treffer_Statistik(3, 10, 0).p, 0.0);
    EXPECT_TRUE(std::isinf(Treffer_Statistik(3, 10, 0).z));
    EXPECT_GT(Treffer_Statistik(3, 10, 0).z, 0);
    // More hits than coups cannot come from any wheel.
    EXPECT_EQ(Treffer_Statistik(11, 10, 18).p, 0.0);
}

// Survival function of chi-square with 2k degrees of freedom: e^(−x/2)·Σ_{i<k} (x/2)^i / i!.
Real chiQuadratUeber(Real x, int freiheitsgrade) {
    const Real h = x / 2;
    Real term = 1;
    Real summe = 0;
    for (int i = 0; i < freiheitsgrade / 2; ++i) {
        if (i > 0) {
            term *= h / i;
        }
        summe += term;
    }
    return std::exp(-h) * summe;
}

TEST(ChiQuadratTest, AgainstTheClosedFormTail) {
    std::array<std::int64_t, 37> gleich{};
    gleich.fill(10);
    // A fair-looking month: 31 days × 400 coups spread a little around 335.
    std::array<std::int64_t, 37> fair{};
    std::int64_t summe = 0;
    for (int z = 0; z < 37; ++z) {
        fair[static_cast<std::size_t>(z)] = 335 + (z * 7 % 23) - 11;
        summe += fair[static_cast<std::size_t>(z)];
    }
    fair[0] += 12400 - summe;
    // A biased wheel: 17 runs hot.
    std::array<std::int64_t, 37> schief = fair;
    schief[17] += 120;
    schief[3] -= 120;
    // Only zero fell.
    std::array<std::int64_t, 37> nurNull{};
    nurNull[0] = 37;

    for (const auto* zaehlung : {&gleich, &fair, &schief, &nurNull}) {
        std::int64_t q = 0;
        for (std::int64_t h : *zaehlung) {
            q += h;
        }
        const Real e = static_cast<Real>(q) / 37;
        Real statistik = 0;
        for (std::int64_t h : *zaehlung) {
            statistik += (static_cast<Real>(h) - e) * (static_cast<Real>(h) - e) / e;
        }
        const auto test = Chi_Quadrat(std::span<const std::int64_t, 37>(*zaehlung));
        ASSERT_TRUE(test.has_value());
        EXPECT_EQ(test->freiheitsgrade, 36);
        nahe(test->statistik, statistik, 1e-12L, "statistic");
        nahe(test->p, chiQuadratUeber(statistik, 36), 1e-9L, "p");
    }
    // Equal counts: statistic 0, p 1; 37 zeros: statistic 36·37, p far below anything shown.
    EXPECT_EQ(Chi_Quadrat(std::span<const std::int64_t, 37>(gleich))->p, 1.0);
    EXPECT_NEAR(Chi_Quadrat(std::span<const std::int64_t, 37>(nurNull))->statistik, 36.0 * 37,
                1e-9);
    // The published 5 % point of chi-square with 36 degrees of freedom is 50.998.
    EXPECT_NEAR(static_cast<double>(chiQuadratUeber(50.998L, 36)), 0.05, 1e-4);
}

TEST(ChiQuadratTest, NoCoupGivesNoTest) {
    const std::array<std::int64_t, 37> leer{};
    EXPECT_FALSE(Chi_Quadrat(std::span<const std::int64_t, 37>(leer)).has_value());
    std::array<std::int64_t, 37> negativ{};
    negativ[1] = 5;
    negativ[2] = -1;
    EXPECT_FALSE(Chi_Quadrat(std::span<const std::int64_t, 37>(negativ)).has_value());
}

TEST(BenjaminiHochberg, HandWorkedTables) {
    const struct {
        const char* was;
        std::vector<double> p, q;
    } faelle[] = {
        // Ranks 4 1 3 2 5: p·n/rank = .025 .025 .05 .05 .5, already rising.
        {"mixed order", {0.01, 0.04, 0.03, 0.005, 0.5}, {0.025, 0.05, 0.05, 0.025, 0.5}},
        // .04·3/1 = .12 and .041·3/2 = .0615 are cut down to the .042 above them.
        {"step-up takes the smaller value from above", {0.04, 0.041, 0.042}, {0.042, 0.042, 0.042}},
        {"ties", {0.02, 0.02}, {0.02, 0.02}},
        // .8·2/1 = 1.6 is cut to .9; nothing exceeds 1.
        {"large values", {0.9, 0.8}, {0.9, 0.9}},
        {"one value stays", {0.3}, {0.3}},
        {"none", {}, {}},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.was);
        const std::vector<double> q = Benjamini_Hochberg(f.p);
        ASSERT_EQ(q.size(), f.q.size());
        for (std::size_t i = 0; i < q.size(); ++i) {
            EXPECT_NEAR(q[i], f.q[i], 1e-12) << i;
            EXPECT_LE(q[i], 1.0);
            EXPECT_GE(q[i], f.p[i]);
        }
    }
}

// Every sequence of hits and misses of n coups with its probability.
template <typename Besuch>
void jedeFolge(int n, double p, Besuch besuch) {
    for (std::uint32_t bits = 0; bits < (1u << n); ++bits) {
        double w = 1;
        std::vector<bool> folge(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i) {
            folge[static_cast<std::size_t>(i)] = ((bits >> i) & 1u) != 0;
            w *= folge[static_cast<std::size_t>(i)] ? p : 1 - p;
        }
        besuch(folge, w);
    }
}

TEST(ErwarteteSerien, MaximalRunsOfShortStretchesEnumerated) {
    for (double p : {18.0 / 37, 1.0 / 37, 12.0 / 37, 0.9}) {
        for (int n = 1; n <= 10; ++n) {
            std::map<int, double> erwartet;  // length -> Σ weight × runs of that length
            jedeFolge(n, p, [&](const std::vector<bool>& folge, double w) {
                int lauf = 0;
                for (std::size_t i = 0; i <= folge.size(); ++i) {
                    if (i < folge.size() && folge[i]) {
                        ++lauf;
                    } else if (lauf > 0) {
                        erwartet[lauf] += w;
                        lauf = 0;
                    }
                }
            });
            for (int k = 0; k <= n + 1; ++k) {
                EXPECT_NEAR(Erwartete_Serien(n, p, k), erwartet[k], 1e-12)
                    << "p " << p << " n " << n << " k " << k;
            }
        }
    }
}

// The expectations match what the evaluation itself counts: every hit/miss sequence of a short
// stretch (hit 5, miss 7, for an event of the number 5) counted by the counting of the run,
// weighted by its probability, over one day or two days with and without "übergreifend".
TEST(ErwarteteSerien, MatchTheCountingOfTheEvaluationEnumerated) {
    kern::Ereignis fuenf;
    fuenf.id = 1;
    fuenf.gruppe = 35;
    fuenf.zahlen = std::uint64_t{1} << 5;
    fuenf.name = fuenf.nameEnglisch = "5";
    const kern::Ereigniskatalog katalog({fuenf});
    const store::Date heute = store::Date::fromYmd(2024, 3, 15);

    const struct {
        const char* was;
        std::vector<std::int64_t> tage;  // coups per day, newest first
        bool uebergreifend;
    } faelle[] = {
        {"one day of 9", {9}, false},
        {"days of 4 and 5", {4, 5}, false},
        {"days of 4 and 5 across", {4, 5}, true},
        {"three days of 3", {3, 3, 3}, false},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.was);
        int n = 0;
        for (std::int64_t t : f.tage) {
            n += static_cast<int>(t);
        }
        const double p = 0.4;
        std::map<int, double> serien, rueckstaende;
        std::vector<std::int64_t> abschnitte;
        jedeFolge(n, p, [&](const std::vector<bool>& folge, double w) {
            std::vector<kern::Coup> coups;
            std::size_t i = 0;
            for (std::size_t tag = 0; tag < f.tage.size(); ++tag) {
                for (std::int64_t c = 0; c < f.tage[tag]; ++c, ++i) {
                    coups.push_back({heute.addDays(-static_cast<int>(tag)),
                                     static_cast<std::int64_t>(i),
                                     folge[i] ? std::int8_t{5} : std::int8_t{7}});
                }
            }
            Zaehlparameter parameter;
            parameter.modus = 'A';
            parameter.uebergreifend = f.uebergreifend;
            const Zaehlergebnis e = zaehlen(katalog, coups, parameter, {});
            for (const Zaehlzeile& z : e.serien) {
                if (z.ereignis >= 0) {
                    serien[z.laenge] += w * z.anzahl;
                }
            }
            for (const Zaehlzeile& z : e.rueckstaende) {
                if (z.ereignis >= 0) {
                    rueckstaende[z.laenge] += w * z.anzahl;
                }
            }
            abschnitte = e.abschnitte;
        });
        const std::vector<std::int64_t> erwarteteAbschnitte =
            f.uebergreifend ? std::vector<std::int64_t>{n} : f.tage;
        EXPECT_EQ(abschnitte, erwarteteAbschnitte);
        for (int k = 0; k <= n + 1; ++k) {
            EXPECT_NEAR(Erwartete_Serien(abschnitte, p, k), serien[k], 1e-12) << "series " << k;
            EXPECT_NEAR(Erwartete_Rueckstaende(abschnitte, p, k), rueckstaende[k], 1e-12)
                << "absence " << k;
        }
    }
}

TEST(ErwarteteSerien, OutsideTheStretchNothing) {
    EXPECT_EQ(Erwartete_Serien(5, 0.5, 0), 0.0);
    EXPECT_EQ(Erwartete_Serien(5, 0.5, 6), 0.0);
    EXPECT_EQ(Erwartete_Serien(0, 0.5, 1), 0.0);
    EXPECT_EQ(Erwartete_Rueckstaende(5, 0.5, -1), 0.0);
    EXPECT_EQ(Erwartete_Rueckstaende(5, 0.5, 4), 0.0);  // needs a hit on both sides
    EXPECT_DOUBLE_EQ(Erwartete_Rueckstaende(5, 0.5, 3), 0.5 * 0.5 * 0.125);
}

TEST(StatistikTexte, DecimalSeparatorAndRanges) {
    EXPECT_EQ(Dezimal_Text(1.235, 2, ","), "1,24");
    EXPECT_EQ(Dezimal_Text(-0.001, 2, ","), "0,00");
    EXPECT_EQ(Dezimal_Text(-2.5, 1, "."), "-2.5");
    EXPECT_EQ(P_Text(0.04321, ","), "0,043");
    EXPECT_EQ(P_Text(0.0005, ","), "0,001");
    EXPECT_EQ(P_Text(0.00049, ","), "<0,001");
    EXPECT_EQ(P_Text(1e-9, ","), "<0,001");
    EXPECT_EQ(P_Text(1, "."), "1.000");
    EXPECT_EQ(Erwartet_Text(0, ","), "0");
    EXPECT_EQ(Erwartet_Text(335.135, ","), "335,1");
    EXPECT_EQ(Erwartet_Text(3.14159, ","), "3,14");
    EXPECT_EQ(Erwartet_Text(0.036412, ","), "0,0364");
    EXPECT_EQ(Erwartet_Text(0.5, "."), "0.500");
    EXPECT_EQ(Erwartet_Text(1e-9, ","), "<0,000001");
    const ChiQuadrat c{41.234, 36, 0.25311};
    EXPECT_EQ(Chi_Quadrat_Zeile(c, store::Sprache::Deutsch, ","),
              "Chi-Quadrat-Test der 37 Zahlen: χ² = 41,23; 36 FG; p = 0,253");
    EXPECT_EQ(Chi_Quadrat_Zeile(c, store::Sprache::Englisch, "."),
              "Chi-square test of the 37 numbers: χ² = 41.23; 36 df; p = 0.253");
    const ChiQuadrat weit{252.6, 36, 1e-30};
    EXPECT_EQ(Chi_Quadrat_Zeile(weit, store::Sprache::Deutsch, ","),
              "Chi-Quadrat-Test der 37 Zahlen: χ² = 252,60; 36 FG; p < 0,001");
    EXPECT_EQ(Chi_Quadrat_Zeile(std::nullopt, store::Sprache::Deutsch, ","), "");
}

// The figures of the shown events: the adjusted values are taken over the ids asked for only.
TEST(Ereigniswerte, AdjustedOverTheShownEvents) {
    Auswertungsgrundlage g;
    g.coups = 12400;
    g.abschnitte = {12400};
    g.ereignisse[1] = {1, 18, 6300};   // red, a little high
    g.ereignisse[2] = {1, 18, 5900};   // black, low
    g.ereignisse[117] = {35, 1, 420};  // a number, hot
    g.ereignisse[118] = {35, 1, 330};  // a number, ordinary
    const std::vector<int> beide = {1, 2};
    const auto werte = Ereigniswerte_Berechnen(g, beide);
    ASSERT_EQ(werte.size(), 2u);
    const std::vector<double> p = {werte.at(1).statistik.p, werte.at(2).statistik.p};
    const std::vector<double> q = Benjamini_Hochberg(p);
    EXPECT_DOUBLE_EQ(werte.at(1).q, q[0]);
    EXPECT_DOUBLE_EQ(werte.at(2).q, q[1]);
    const std::vector<int> zahlen = {117, 118, 999};
    const auto einzeln = Ereigniswerte_Berechnen(g, zahlen);
    EXPECT_EQ(einzeln.size(), 2u);  // 999 is no event of the run
    EXPECT_TRUE(einzeln.at(117).auffaellig);
    EXPECT_FALSE(einzeln.at(118).auffaellig);
    // The class total of the numbers: the sum over its events.
    EXPECT_NEAR(Erwartete_Serien_Anzahl(g, 0, 35, 2),
                Erwartete_Serien_Anzahl(g, 117, 35, 2) + Erwartete_Serien_Anzahl(g, 118, 35, 2),
                1e-12);
    EXPECT_EQ(Erwartete_Rueckstaende_Anzahl(g, 5, 1, 0), 0.0);
}

}  // namespace
}  // namespace spinalyst::events
