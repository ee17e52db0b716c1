#include "events/trefferbild.h"

#include <bit>
#include <cmath>
#include <numeric>

#include "events/statistik.h"
#include "kern/strecke.h"

namespace spinalyst::events {

namespace {

constexpr double kEinzahl = 1.0 / 37.0;

// Lengths from `erste` to the longest observed, then on while the expectation stays at least
// 0.5.
template <typename Erwartung>
std::vector<Laenge> vergleichen(const std::map<int, std::int64_t>& beobachtet, int erste,
                                std::span<const std::int64_t> segmente, Erwartung erwartung) {
    std::vector<Laenge> zeilen;
    const std::int64_t gesamt = std::accumulate(segmente.begin(), segmente.end(), std::int64_t{0});
    const int laengste = beobachtet.empty() ? erste - 1 : beobachtet.rbegin()->first;
    for (int l = erste; l <= gesamt; ++l) {
        double e = 0;
        for (const std::int64_t n : segmente) {
            e += erwartung(n, l);
        }
        if (l > laengste && e < 0.5) {
            break;
        }
        const auto it = beobachtet.find(l);
        zeilen.push_back({l, it == beobachtet.end() ? 0 : it->second, e});
    }
    return zeilen;
}

}  // namespace

Trefferbild Trefferbild_Berechnen(std::span<const std::int64_t, 37> treffer) {
    Trefferbild b;
    std::copy(treffer.begin(), treffer.end(), b.treffer.begin());
    b.coups = std::accumulate(treffer.begin(), treffer.end(), std::int64_t{0});
    const double q = static_cast<double>(b.coups);
    b.erwartet = q * kEinzahl;
    b.sigma = std::sqrt(q * kEinzahl * (1 - kEinzahl));
    return b;
}

std::vector<Laenge> Serien_Vergleichen(const std::map<int, std::int64_t>& beobachtet,
                                       std::span<const std::int64_t> segmente, double p) {
    return vergleichen(beobachtet, 1, segmente,
                       [p](std::int64_t n, int l) { return Erwartete_Serien(n, p, l); });
}

std::vector<Laenge> Rueckstaende_Vergleichen(const std::map<int, std::int64_t>& beobachtet,
                                             std::span<const std::int64_t> segmente, double p) {
    return vergleichen(beobachtet, 0, segmente,
                       [p](std::int64_t n, int l) { return Erwartete_Rueckstaende(n, p, l); });
}

Permanenzbild Permanenzbild_Laden(kern::Kontext& k, const kern::Ereigniskatalog& katalog) {
    Permanenzbild bild;
    auto& db = k.dm.TdbDatabase_Roulette;
    std::array<std::int64_t, 37> treffer{};
    store::Statement& anzahl =
        db.cached("SELECT ID_Ereignis, Zahlen_Anzahl FROM Ereignisse WHERE Zahlen_Anzahl > 0");
    anzahl.reset();
    while (anzahl.step()) {
        const kern::Ereignis* e = katalog.finden(static_cast<int>(anzahl.int64(0)));
        // The events of a single number.
        if (e != nullptr && std::popcount(e->zahlen) == 1) {
            treffer[static_cast<std::size_t>(std::countr_zero(e->zahlen))] = anzahl.int64(1);
        }
    }
    anzahl.reset();
    bild.zahlen = Trefferbild_Berechnen(treffer);

    const auto lesen = [&db](const char* sql, std::map<int, std::map<int, std::int64_t>>& ziel) {
        store::Statement& s = db.cached(sql);
        s.reset();
        while (s.step()) {
            ziel[static_cast<int>(s.int64(0))][static_cast<int>(s.int64(1))] += s.int64(2);
        }
        s.reset();
    };
    lesen(
        "SELECT ID_Ereignis, Serie, Serie_Anzahl FROM Ereignisse_Serien WHERE ID_Ereignis > 0 "
        "AND Serie IS NOT NULL AND Serie_Anzahl IS NOT NULL",
        bild.serien);
    lesen(
        "SELECT ID_Ereignis, Rueckstaendigkeit, Rueckstaendigkeit_Anzahl FROM "
        "Ereignisse_Rueckstaendigkeit WHERE ID_Ereignis > 0 AND Rueckstaendigkeit IS NOT NULL "
        "AND Rueckstaendigkeit_Anzahl IS NOT NULL",
        bild.rueckstaende);

    // Each day is counted on its own unless days overlap; a cancelled run or coup mode counted
    // part of the stretch only, taken as one piece.
    const auto& w = k.dm.TdbTable_Wahl;
    const int tageAnzahl = w.isOpen() ? w.integer("Auswertung_Tage_Anzahl") : 0;
    if (tageAnzahl > 0 && w.text("Auswertung_Tage_uebergreifend") != "t") {
        kern::Streckenauswahl auswahl;
        auswahl.casino = w.value("ID_Casino").toInt64();
        auswahl.tisch = w.text("Tisch");
        auswahl.bis = k.sitzung.gewaehlter_tag;
        auswahl.von = auswahl.bis.addDays(1 - tageAnzahl);
        auswahl.nurMitZahl = true;
        store::Date tag;
        for (const kern::Coup& c : kern::Strecke_Laden(db, auswahl)) {
            if (bild.segmente.empty() || c.tag != tag) {
                bild.segmente.push_back(0);
                tag = c.tag;
            }
            ++bild.segmente.back();
        }
        if (std::accumulate(bild.segmente.begin(), bild.segmente.end(), std::int64_t{0}) !=
            bild.zahlen.coups) {
            bild.segmente.clear();
        }
    }
    if (bild.segmente.empty() && bild.zahlen.coups > 0) {
        bild.segmente.push_back(bild.zahlen.coups);
    }
    return bild;
}

int Gewaehltes_Ereignis(const kern::Kontext& k) {
    const auto& liste = k.dm.TdbQuery_Ereignisse_Haeufigkeit;
    if (!liste.isOpen() || liste.isEmpty() || liste.isNull("ID_Ereignis")) {
        return 0;
    }
    return static_cast<int>(liste.value("ID_Ereignis").toInt64());
}

}  // namespace spinalyst::events
