#include "systems/verlauf.h"

#include <algorithm>
#include <unordered_map>

#include "kern/strecke.h"

namespace spinalyst::systems {

std::optional<Einbruch> Groesster_Einbruch(std::span<const int> stand) {
    int hoch = 0;
    std::size_t hochBei = 0;
    Einbruch groesster;
    for (std::size_t i = 0; i < stand.size(); ++i) {
        const int s = stand[i];
        if (s > hoch) {
            hoch = s;
            hochBei = i + 1;
        }
        if (hoch - s > groesster.tiefe) {
            groesster = {hochBei, i + 1, hoch - s};
        }
    }
    if (groesster.tiefe <= 0) {
        return std::nullopt;
    }
    return groesster;
}

Verlauf Verlauf_Berechnen(std::span<const Verlaufscoup> coups, std::span<const Wette> wetten,
                          std::span<const std::int64_t> systeme, bool proSystem) {
    Verlauf v;
    std::unordered_map<std::int64_t, std::size_t> stelle;
    stelle.reserve(coups.size());
    v.punkte.reserve(coups.size());
    for (std::size_t i = 0; i < coups.size(); ++i) {
        const Verlaufscoup& c = coups[i];
        stelle.emplace(c.idZahl, i);
        if (v.tage.empty() || v.tage.back().tag != c.tag) {
            v.tage.push_back({c.tag, i, 0, 0});
        }
        ++v.tage.back().coups;
        Verlaufspunkt p;
        p.tag = c.tag;
        p.coup = static_cast<int>(v.tage.back().coups);
        p.zahl = c.zahl;
        v.punkte.push_back(p);
    }
    // Per system, the result of each coup.
    std::vector<std::vector<int>> systemErgebnis;
    std::unordered_map<std::int64_t, std::size_t> linie;
    if (proSystem) {
        for (const std::int64_t s : systeme) {
            if (linie.emplace(s, v.systeme.size()).second) {
                Systemlinie l;
                l.system = s;
                v.systeme.push_back(std::move(l));
                systemErgebnis.emplace_back(coups.size(), 0);
            }
        }
    }
    for (const Wette& w : wetten) {
        const auto it = stelle.find(w.idZahl);
        if (it == stelle.end()) {
            continue;
        }
        Verlaufspunkt& p = v.punkte[it->second];
        p.satz += w.satz;
        p.ergebnis += w.ergebnis.value_or(0);
        if (const auto l = linie.find(w.system); l != linie.end()) {
            systemErgebnis[l->second][it->second] += w.ergebnis.value_or(0);
        }
    }
    int stand = 0;
    for (Verlaufspunkt& p : v.punkte) {
        stand += p.ergebnis;
        p.stand = stand;
    }
    for (Verlaufstag& t : v.tage) {
        for (std::size_t i = t.erster; i < t.erster + t.coups; ++i) {
            t.ergebnis += v.punkte[i].ergebnis;
        }
    }
    for (std::size_t s = 0; s < v.systeme.size(); ++s) {
        int laufend = 0;
        v.systeme[s].stand.reserve(coups.size());
        for (const int e : systemErgebnis[s]) {
            laufend += e;
            v.systeme[s].stand.push_back(laufend);
        }
    }
    std::vector<int> gesamt;
    gesamt.reserve(v.punkte.size());
    for (const Verlaufspunkt& p : v.punkte) {
        gesamt.push_back(p.stand);
    }
    v.einbruch = Groesster_Einbruch(gesamt);
    return v;
}

Verlauf Verlauf_Laden(store::Database& datenbank, const Verlaufsauswahl& auswahl) {
    kern::Streckenauswahl strecke;
    strecke.casino = auswahl.casino;
    strecke.tisch = auswahl.tisch;
    strecke.von = auswahl.von;
    strecke.bis = auswahl.bis;
    std::vector<Verlaufscoup> coups;
    for (const kern::Coup& c : kern::Strecke_Laden(datenbank, strecke)) {
        Verlaufscoup v{c.tag, c.idZahl, std::nullopt};
        if (c.hatZahl()) {
            v.zahl = c.zahl;
        }
        coups.push_back(v);
    }
    std::vector<Wette> wetten;
    if (!coups.empty()) {
        const auto [min, max] = std::minmax_element(
            coups.begin(), coups.end(),
            [](const Verlaufscoup& a, const Verlaufscoup& b) { return a.idZahl < b.idZahl; });
        store::Statement& s = datenbank.cached(
            "SELECT Permanenz_ID_Zahl, ID_System, ID_Instanz, ID_Ereignis, Satz, Gewinn_Verlust "
            "FROM Systeme_Abarbeitung WHERE Permanenz_ID_Zahl BETWEEN ? AND ? ORDER BY rowid");
        s.reset();
        s.bind(1, min->idZahl);
        s.bind(2, max->idZahl);
        while (s.step()) {
            Wette w;
            w.idZahl = s.int64(0);
            w.system = s.isNull(1) ? 0 : s.int64(1);
            w.instanz = s.isNull(2) ? 0 : static_cast<int>(s.int64(2));
            w.ereignis = s.isNull(3) ? 0 : static_cast<int>(s.int64(3));
            w.satz = s.isNull(4) ? 0 : static_cast<int>(s.int64(4));
            if (!s.isNull(5)) {
                w.ergebnis = static_cast<int>(s.int64(5));
            }
            wetten.push_back(w);
        }
        s.reset();
    }
    Verlauf v = Verlauf_Berechnen(coups, wetten, auswahl.systeme, auswahl.proSystem);
    store::Statement& name = datenbank.cached(
        "SELECT ID_System_Nummer, System_Name FROM Systeme WHERE ID_System_AutoInc = ?");
    for (Systemlinie& l : v.systeme) {
        name.reset();
        name.bind(1, l.system);
        if (name.step()) {
            l.nummer = name.isNull(0) ? 0 : static_cast<int>(name.int64(0));
            l.name = name.isNull(1) ? std::string() : name.text(1);
        }
        name.reset();
    }
    return v;
}

}  // namespace spinalyst::systems
