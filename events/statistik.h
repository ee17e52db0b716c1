#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// What chance would give: the figures a fair single-zero wheel leads one to expect beside the
// counts of the permanence evaluation, and how unusual the counts are. Pure functions over
// counts; the distributions come from Boost.Math.
namespace spinalyst::events {

// The numbers of the wheel: 0 to 36.
inline constexpr int kZahlenImKessel = 37;

// The hits of one event over q coups against a fair wheel.
struct Trefferstatistik {
    double erwartet = 0;  // expected hits q·m/37
    double z = 0;         // (hits − q·p) / √(q·p·(1−p))
    double p = 1;         // two-sided p-value of the exact binomial distribution
};

// The hits of an event of `zahlen` numbers (m, 0 to 37) in `coups` coups (q): expected q·m/37,
// z-score (hits − q·p)/√(q·p·(1−p)) with p = m/37, and the two-sided p-value
// min(1, 2·min(P(X ≤ hits), P(X ≥ hits))) for X binomial(q, p). No coup (q = 0): expected 0,
// z 0, p 1. An event that cannot vary (m = 0 or m = 37, and every q): z 0, p 1 when the hits are
// the expected ones, else z ±infinity and p 0. Hits outside 0..q give z of their sign and p 0.
Trefferstatistik Treffer_Statistik(std::int64_t treffer, std::int64_t coups, int zahlen);

// Benjamini–Hochberg adjusted p-values (the step-up false discovery rate), in the order of the
// input: the i-th smallest of n values becomes min over j ≥ i of p(j)·n/j, capped at 1, so the
// adjusted values keep the order of the raw ones. Empty in, empty out.
std::vector<double> Benjamini_Hochberg(std::span<const double> p);

// The chi-square test of a fair wheel over the hits of the 37 numbers.
struct ChiQuadrat {
    double statistik = 0;     // Σ (hits − q/37)² / (q/37)
    int freiheitsgrade = 36;  // 37 numbers − 1
    double p = 1;             // P(χ²(36) ≥ statistik)
};

// The test over the hits of numbers 0 to 36; nullopt when they add up to no coup (or a count is
// negative).
std::optional<ChiQuadrat> Chi_Quadrat(std::span<const std::int64_t, kZahlenImKessel> haeufigkeiten);

// Expected number of series (maximal runs of hits) of exactly `laenge` coups in `coups`
// independent coups of hit probability p, counting the runs at both ends of the stretch, as
// the evaluation counts a series cut off by the end of the stretch: for 1 ≤ k < n
// p^k·[(n−k−1)(1−p)² + 2(1−p)], p^n for k = n, 0 for k > n or k < 1.
double Erwartete_Serien(std::int64_t coups, double p, int laenge);
// The same over a stretch cut into segments that each close their series (the days of an
// evaluation without "übergreifend"): the sum over the segments' coup counts.
double Erwartete_Serien(std::span<const std::int64_t> abschnitte, double p, int laenge);

// Expected number of absences of exactly `laenge` coups (0 or more) in `coups` independent coups
// of hit probability p (the hit probability, not the miss probability). The evaluation counts an
// absence only between two hits of the same segment, never the misses before the first hit or
// after the last, so a run of misses at either end of the stretch is not one: a hit, then
// exactly `laenge` misses, then a hit, (n − A − 1)·p²·(1−p)^A for n ≥ A + 2, else 0. This is not
// the count of runs of misses that Erwartete_Serien would give for the miss probability.
double Erwartete_Rueckstaende(std::int64_t coups, double p, int laenge);
// The same over segments that each start afresh (the days without "übergreifend").
double Erwartete_Rueckstaende(std::span<const std::int64_t> abschnitte, double p, int laenge);

}  // namespace spinalyst::events
