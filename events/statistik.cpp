#include "events/statistik.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

#include <boost/math/distributions/binomial.hpp>
#include <boost/math/distributions/chi_squared.hpp>

namespace spinalyst::events {

Trefferstatistik Treffer_Statistik(std::int64_t treffer, std::int64_t coups, int zahlen) {
    Trefferstatistik s;
    if (coups <= 0) {
        return s;
    }
    const int m = std::clamp(zahlen, 0, kZahlenImKessel);
    const double p = static_cast<double>(m) / kZahlenImKessel;
    const double q = static_cast<double>(coups);
    s.erwartet = q * p;
    const double abweichung = static_cast<double>(treffer) - s.erwartet;
    const double unendlich = std::numeric_limits<double>::infinity();
    if (treffer < 0 || treffer > coups) {
        s.z = abweichung < 0 ? -unendlich : unendlich;
        s.p = 0;
        return s;
    }
    if (m == 0 || m == kZahlenImKessel) {
        // The event always or never hits: only the certain count can occur.
        const bool sicher = (m == 0 && treffer == 0) || (m == kZahlenImKessel && treffer == coups);
        s.z = sicher ? 0 : (abweichung < 0 ? -unendlich : unendlich);
        s.p = sicher ? 1 : 0;
        return s;
    }
    s.z = abweichung / std::sqrt(q * p * (1 - p));
    const boost::math::binomial_distribution<double> verteilung(q, p);
    const double k = static_cast<double>(treffer);
    const double hoechstens = boost::math::cdf(verteilung, k);
    // P(X ≥ k) = P(X > k − 1), from the complement so that a far upper tail keeps its digits.
    const double mindestens =
        treffer == 0 ? 1.0 : boost::math::cdf(boost::math::complement(verteilung, k - 1));
    s.p = std::min(1.0, 2 * std::min(hoechstens, mindestens));
    return s;
}

std::vector<double> Benjamini_Hochberg(std::span<const double> p) {
    const std::size_t n = p.size();
    std::vector<std::size_t> rang(n);
    std::iota(rang.begin(), rang.end(), std::size_t{0});
    std::stable_sort(rang.begin(), rang.end(),
                     [&](std::size_t a, std::size_t b) { return p[a] < p[b]; });
    std::vector<double> bereinigt(n);
    double kleinstes = 1.0;
    // From the largest value down: each adjusted value is the smallest p(j)·n/j of its rank and
    // every rank above it.
    for (std::size_t i = n; i-- > 0;) {
        const std::size_t j = rang[i];
        kleinstes = std::min(kleinstes, p[j] * static_cast<double>(n) / static_cast<double>(i + 1));
        bereinigt[j] = kleinstes;
    }
    return bereinigt;
}

std::optional<ChiQuadrat> Chi_Quadrat(
    std::span<const std::int64_t, kZahlenImKessel> haeufigkeiten) {
    std::int64_t coups = 0;
    for (std::int64_t h : haeufigkeiten) {
        if (h < 0) {
            return std::nullopt;
        }
        coups += h;
    }
    if (coups == 0) {
        return std::nullopt;
    }
    ChiQuadrat c;
    const double erwartet = static_cast<double>(coups) / kZahlenImKessel;
    for (std::int64_t h : haeufigkeiten) {
        const double d = static_cast<double>(h) - erwartet;
        c.statistik += d * d / erwartet;
    }
    const boost::math::chi_squared_distribution<double> verteilung(c.freiheitsgrade);
    c.p = boost::math::cdf(boost::math::complement(verteilung, c.statistik));
    return c;
}

double Erwartete_Serien(std::int64_t coups, double p, int laenge) {
    if (laenge < 1 || coups < laenge) {
        return 0;
    }
    const double pk = std::pow(p, laenge);
    if (coups == laenge) {
        return pk;
    }
    const double fehl = 1 - p;
    const double innen = static_cast<double>(coups - laenge - 1);
    return pk * (innen * fehl * fehl + 2 * fehl);
}

double Erwartete_Serien(std::span<const std::int64_t> abschnitte, double p, int laenge) {
    double summe = 0;
    for (std::int64_t n : abschnitte) {
        summe += Erwartete_Serien(n, p, laenge);
    }
    return summe;
}

double Erwartete_Rueckstaende(std::int64_t coups, double p, int laenge) {
    if (laenge < 0 || coups < static_cast<std::int64_t>(laenge) + 2) {
        return 0;
    }
    const double stellen = static_cast<double>(coups - laenge - 1);
    return stellen * p * p * std::pow(1 - p, laenge);
}

double Erwartete_Rueckstaende(std::span<const std::int64_t> abschnitte, double p, int laenge) {
    double summe = 0;
    for (std::int64_t n : abschnitte) {
        summe += Erwartete_Rueckstaende(n, p, laenge);
    }
    return summe;
}

}  // namespace spinalyst::events
