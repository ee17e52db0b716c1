#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// What a fair single-zero wheel would give: the expected hits of an event with their z-score and
// two-sided binomial p-value, the Benjamini-Hochberg adjustment of many p-values, the chi-square
// test of the 37 numbers and the expected count of series of a length.
namespace spinalyst::events {

struct Trefferstatistik {
    double erwartet = 0;
    double z = 0;
    double p = 1;
};

// An event of `zahlen` numbers hit `treffer` times in `coups` coups.
Trefferstatistik Treffer_Statistik(std::int64_t treffer, std::int64_t coups, int zahlen);

// The adjusted p-values, in the order given.
std::vector<double> Benjamini_Hochberg(std::span<const double> p);

struct ChiQuadrat {
    double statistik = 0;
    int freiheitsgrade = 36;
    double p = 1;
};

// Nothing when no coup was counted.
std::optional<ChiQuadrat> Chi_Quadrat(std::span<const std::int64_t, 37> haeufigkeiten);

// Expected number of maximal series of exactly `laenge` hits in `coups` independent coups, each
// hit with probability p.
double Erwartete_Serien(std::int64_t coups, double p, int laenge);

}  // namespace spinalyst::events
