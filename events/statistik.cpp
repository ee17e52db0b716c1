#include "events/statistik.h"

#include <algorithm>
#include <boost/math/distributions/binomial.hpp>
#include <boost/math/distributions/chi_squared.hpp>
#include <cmath>
#include <numeric>

namespace spinalyst::events {

namespace {

constexpr double kFelder = 37.0;

}  // namespace

Trefferstatistik Treffer_Statistik(std::int64_t treffer, std::int64_t coups, int zahlen) {
    Trefferstatistik s;
    if (coups <= 0 || zahlen <= 0) {
        return s;
    }
    const double p = std::min(1.0, zahlen / kFelder);
    const double q = static_cast<double>(coups);
    s.erwartet = q * p;
    const double sigma = std::sqrt(q * p * (1 - p));
    s.z = sigma > 0 ? (static_cast<double>(treffer) - s.erwartet) / sigma : 0;
    if (p >= 1) {
        s.p = 1;
        return s;
    }
    const boost::math::binomial_distribution<double> verteilung(q, p);
    const double k = static_cast<double>(std::clamp<std::int64_t>(treffer, 0, coups));
    const double unten = boost::math::cdf(verteilung, k);
    const double oben = k <= 0 ? 1.0 : boost::math::cdf(boost::math::complement(verteilung, k - 1));
    s.p = std::min(1.0, 2 * std::min(unten, oben));
    return s;
}

std::vector<double> Benjamini_Hochberg(std::span<const double> p) {
    const std::size_t m = p.size();
    std::vector<std::size_t> ordnung(m);
    std::iota(ordnung.begin(), ordnung.end(), std::size_t{0});
    std::stable_sort(ordnung.begin(), ordnung.end(),
                     [&](std::size_t a, std::size_t b) { return p[a] < p[b]; });
    std::vector<double> q(m, 1.0);
    double kleinste = 1.0;
    for (std::size_t r = m; r-- > 0;) {
        const std::size_t i = ordnung[r];
        kleinste = std::min(kleinste, p[i] * static_cast<double>(m) / static_cast<double>(r + 1));
        q[i] = std::min(1.0, kleinste);
    }
    return q;
}

std::optional<ChiQuadrat> Chi_Quadrat(std::span<const std::int64_t, 37> haeufigkeiten) {
    const std::int64_t n =
        std::accumulate(haeufigkeiten.begin(), haeufigkeiten.end(), std::int64_t{0});
    if (n <= 0) {
        return std::nullopt;
    }
    const double erwartet = static_cast<double>(n) / kFelder;
    ChiQuadrat c;
    for (const std::int64_t h : haeufigkeiten) {
        const double d = static_cast<double>(h) - erwartet;
        c.statistik += d * d / erwartet;
    }
    const boost::math::chi_squared_distribution<double> verteilung(c.freiheitsgrade);
    c.p = boost::math::cdf(boost::math::complement(verteilung, c.statistik));
    return c;
}

double Erwartete_Serien(std::int64_t coups, double p, int laenge) {
    const std::int64_t n = coups;
    const std::int64_t k = laenge;
    if (k < 1 || n < 1 || k > n) {
        return 0;
    }
    if (k == n) {
        return std::pow(p, static_cast<double>(n));
    }
    const double q = 1 - p;
    return std::pow(p, static_cast<double>(k)) * (static_cast<double>(n - k - 1) * q * q + 2 * q);
}

}  // namespace spinalyst::events
