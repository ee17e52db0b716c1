#include "systems/durchlauf.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <unordered_map>

#include "systems/startpruefung.h"

namespace spinalyst::systems {

int Naechste_Ganzzahl(double x) {
    const double unten = std::floor(x);
    const double rest = x - unten;
    double n = unten;
    if (rest > 0.5 || (rest == 0.5 && std::fmod(unten, 2.0) != 0.0)) {
        n = unten + 1.0;
    }
    return static_cast<int>(n);
}

int Ergebnis_Einfach(int satz, int einsatz, int gewinn, bool treffer) {
    if (!treffer) {
        return -satz;
    }
    const int teil = Naechste_Ganzzahl(static_cast<double>(satz) / einsatz);
    return teil * gewinn - teil * (einsatz - 1);
}

int Ergebnis_Individuell(int satz, int einsatz, int gewinn, bool treffer) {
    if (!treffer) {
        return -satz;
    }
    return Naechste_Ganzzahl(static_cast<double>(satz) / einsatz) * gewinn;
}

int Ergebnis_Progression(const Instanz& instanz, int stufe, int satz, int einsatz, int gewinn,
                         bool treffer) {
    const int erster = instanz.satz(1).value_or(0);
    if (!treffer) {
        return -erster;
    }
    const double teil = static_cast<double>(satz) / einsatz;
    const int inHand =
        Naechste_Ganzzahl(teil * gewinn) - Naechste_Ganzzahl(teil) * (einsatz - 1) + satz;
    if (const std::optional<int> naechster = instanz.satz(stufe + 1)) {
        return *naechster < inHand ? inHand - *naechster : 0;
    }
    return inHand - erster;
}

std::optional<std::pair<int, int>> Chancen_Ereignisse(int chancen) {
    switch (chancen) {
        case 1:
            return std::pair{1, 6};
        case 2:
            return std::pair{7, 12};
        case 5:
            return std::pair{13, 23};
        case 8:
            return std::pair{24, 46};
        case 11:
            return std::pair{47, 58};
        case 17:
            return std::pair{59, 116};
        case 35:
            return std::pair{117, 153};
        default:
            return std::nullopt;
    }
}

std::vector<int> Individuell_Satzsignale(const Pruefstelle& stelle, const System& system,
                                         int chancen, const kern::Ereigniskatalog& katalog) {
    const auto bereich = Chancen_Ereignisse(chancen);
    const Individuellparameter& r = system.regel;
    const int n = r.ereignisse.value_or(0);
    const int w = r.coups.value_or(0);
    const int rueck = r.rueckstaendig.value_or(0);
    if (!bereich || n < 1 || (system.nummer == 1 && (w < 1 || rueck < 1)) ||
        (system.nummer != 1 && system.nummer != 2)) {
        return {};
    }
    const auto [erstes, letztes] = *bereich;
    const std::size_t breite = static_cast<std::size_t>(letztes - erstes + 1);
    // Per identifier of the class: hits in the coups scanned, and how many coups back it last
    // fell (0 for the coup just before the current one; -1 not yet).
    std::vector<int> treffer(breite, 0);
    std::vector<int> zuletzt(breite, -1);
    // Events of the class the catalogue knows; rule 2 waits until each of them has fallen.
    std::size_t offen = 0;
    for (int id = erstes; id <= letztes; ++id) {
        offen += katalog.finden(id) != nullptr ? 1 : 0;
    }
    const auto& ereignisse = katalog.ereignisse();
    const store::Date& tag = stelle.strecke[stelle.aktuell].tag;
    bool selberTag = true;
    bool vollstaendig = false;
    int k = 0;
    for (std::size_t p = stelle.aktuell; p-- > 0;) {
        const kern::Coup& coup = stelle.strecke[p];
        for (const int pos : katalog.ereignisseMit(coup.zahlOderNull())) {
            const int id = ereignisse[static_cast<std::size_t>(pos)].id;
            // An identifier stored twice counts once, as the event found by its identifier.
            if (id < erstes || id > letztes || katalog.position(id) != pos) {
                continue;
            }
            const std::size_t e = static_cast<std::size_t>(id - erstes);
            ++treffer[e];
            if (zuletzt[e] < 0) {
                zuletzt[e] = k;
                --offen;
            }
        }
        if (coup.tag != tag) {
            selberTag = false;
        }
        ++k;
        if (system.nummer == 1 ? k >= w : offen == 0) {
            vollstaendig = true;
            break;
        }
    }
    if (!vollstaendig || !(selberTag || stelle.uebergreifend)) {
        return {};
    }
    std::vector<std::size_t> rang;
    for (std::size_t e = 0; e < breite; ++e) {
        if (system.nummer == 1 ? treffer[e] >= 1 : zuletzt[e] >= 1) {
            rang.push_back(e);
        }
    }
    // Most hits (rule 1) or longest absence (rule 2) first, ties by the lower identifier.
    const std::vector<int>& schluessel = system.nummer == 1 ? treffer : zuletzt;
    std::stable_sort(rang.begin(), rang.end(),
                     [&](std::size_t a, std::size_t b) { return schluessel[a] > schluessel[b]; });
    std::vector<int> saetze;
    for (std::size_t i = 0; i < rang.size() && static_cast<int>(saetze.size()) < n; ++i) {
        if (system.nummer == 1 && (static_cast<int>(i) >= n || zuletzt[rang[i]] < rueck)) {
            continue;
        }
        saetze.push_back(erstes + static_cast<int>(rang[i]));
    }
    return saetze;
}

namespace {

// The walk over one stretch: the bets in memory with an index by coup, the systems' state, the
// day totals.
class Lauf {
  public:
    Lauf(const Durchlauf& lauf, std::vector<System>& systeme, std::vector<Wette> wetten,
         Tagessummen summen, const kern::Ereigniskatalog& katalog)
        : lauf_(lauf),
          strecke_(lauf.strecke),
          systeme_(systeme),
          katalog_(katalog),
          wettenAm_(strecke_.size()) {
        ergebnis_.wetten = std::move(wetten);
        gespeichert_ = ergebnis_.wetten.size();
        ergebnis_.summen = summen;
        // Stored bets by coup; bets on coups outside the stretch are kept but never looked at.
        if (!ergebnis_.wetten.empty()) {
            std::unordered_map<std::int64_t, std::size_t> position;
            position.reserve(strecke_.size());
            for (std::size_t p = 0; p < strecke_.size(); ++p) {
                position.emplace(strecke_[p].idZahl, p);
            }
            for (std::size_t i = 0; i < ergebnis_.wetten.size(); ++i) {
                const auto it = position.find(ergebnis_.wetten[i].idZahl);
                if (it != position.end()) {
                    wettenAm_[it->second].push_back(static_cast<std::uint32_t>(i));
                }
            }
        }
        // The start check of every instance is prepared once for the stretch; one online step
        // checks a single coup and asks the checks directly.
        if (lauf_.nurLetzterCoup) {
            return;
        }
        pruefungen_.reserve(systeme_.size() * 3);
        for (const System& system : systeme_) {
            for (const Instanz& instanz : system.instanzen) {
                pruefungen_.push_back(std::make_unique<Startpruefung>(
                    strecke_, instanz, lauf_.uebergreifend, katalog_));
            }
        }
    }

    Durchlaufergebnis laufen(const Nach_Coup& nachCoup) {
        if (strecke_.empty() || lauf_.beginn >= strecke_.size()) {
            return std::move(ergebnis_);
        }
        std::size_t pos = lauf_.beginn;
        store::Date tag = strecke_[pos].tag;
        std::size_t zaehler = 1;
        std::size_t letzter = pos;
        while (pos < strecke_.size()) {
            if (lauf_.nurLetzterCoup) {
                pos = strecke_.size() - 1;
            }
            for (std::size_t s = 0; s < systeme_.size(); ++s) {
                coupFuerSystem(s, pos);
            }
            if (pos > 0) {
                buchen(pos - 1);
            }
            if (strecke_[pos].tag != tag) {
                ergebnis_.tage.push_back({tag, ergebnis_.summen});
                ergebnis_.summen = {};
                tag = strecke_[pos].tag;
            }
            letzter = pos;
            ++ergebnis_.coups;
            ++zaehler;
            if (nachCoup && nachCoup(zaehler)) {
                ergebnis_.abgebrochen = true;
                break;
            }
            ++pos;
        }
        // The last processed coup is settled when its number is known, then booked.
        if (!lauf_.nurLetzterCoup && strecke_[letzter].hatZahl()) {
            for (System& system : systeme_) {
                abrechnen(system, letzter);
            }
        }
        buchen(letzter);
        if (lauf_.tagAbschliessen) {
            ergebnis_.tage.push_back({tag, ergebnis_.summen});
        }
        return std::move(ergebnis_);
    }

  private:
    // Settle on the previous coup, start an attack, bet on the current coup.
    void coupFuerSystem(std::size_t s, std::size_t pos) {
        System& system = systeme_[s];
        if (pos > 0) {
            abrechnen(system, pos - 1);
        }
        if (system.zustand.stufe == 0 && startet(s, pos)) {
            system.zustand.beendungEinzeln = false;
            system.zustand.stufe = 1;
            system.zustand.aktiv = {true, true, true};
        }
        if (system.individuell()) {
            individuellSetzen(system, pos);
        } else if (system.zustand.stufe >= 1) {
            for (int i = 0; i < 3; ++i) {
                setzen(system, i, pos);
            }
        }
    }

    // The bets of an individual system's rule on the current coup, each with the stake of step 1
    // of instance 1.
    void individuellSetzen(const System& system, std::size_t pos) {
        const std::optional<int> satz = system.instanzen[0].satz(1);
        if (!satz) {
            return;
        }
        const Pruefstelle stelle{strecke_, pos, lauf_.uebergreifend};
        for (const int ereignis :
             Individuell_Satzsignale(stelle, system, lauf_.chancen, katalog_)) {
            const kern::Ereignis* e = katalog_.finden(ereignis);
            if (e == nullptr || e->einsatz < 1) {
                continue;
            }
            wetteAnfuegen(system.id, 1, ereignis, *satz, pos);
        }
    }

    void wetteAnfuegen(std::int64_t system, int instanz, int ereignis, int satz, std::size_t pos) {
        Wette wette;
        wette.idZahl = strecke_[pos].idZahl;
        wette.system = system;
        wette.instanz = instanz;
        wette.ereignis = ereignis;
        wette.satz = satz;
        wettenAm_[pos].push_back(static_cast<std::uint32_t>(ergebnis_.wetten.size()));
        ergebnis_.wetten.push_back(wette);
    }

    bool startet(std::size_t s, std::size_t pos) const {
        const Pruefstelle stelle{strecke_, pos, lauf_.uebergreifend};
        for (std::size_t i = 0; i < 3; ++i) {
            const bool gut = pruefungen_.empty()
                                 ? Angriff_Start_Pruefen(stelle, systeme_[s].instanzen[i], katalog_)
                                 : pruefungen_[s * 3 + i]->pruefen(pos);
            if (!gut) {
                return false;
            }
        }
        return true;
    }

    void abrechnen(System& system, std::size_t q) {
        if (system.individuell()) {
            for (const std::uint32_t w : wettenAm_[q]) {
                Wette& wette = ergebnis_.wetten[w];
                if (wette.system == system.id) {
                    const kern::Ereignis* e = katalog_.finden(wette.ereignis);
                    const bool hit = e != nullptr && e->enthaelt(strecke_[q].zahlOderNull());
                    wette.ergebnis = Ergebnis_Individuell(wette.satz, einsatz(e), gewinn(e), hit);
                    markieren(wette);
                }
            }
            return;
        }
        if (system.zustand.stufe < 1) {
            return;
        }
        for (int i = 0; i < 3; ++i) {
            instanzAbrechnen(system, i, q);
        }
    }

    // Settles the instance's bet on coup q and moves its state; after instance 3 the attack
    // goes on or ends.
    void instanzAbrechnen(System& system, int i, std::size_t q) {
        const Instanz& instanz = system.instanzen[static_cast<std::size_t>(i)];
        Angriffszustand& z = system.zustand;
        const int k = z.stufe;
        bool& aktiv = z.aktiv[static_cast<std::size_t>(i)];
        Wette* wette = findeWette(system.id, i + 1, q);
        bool hit = false;
        if (wette != nullptr) {
            const kern::Ereignis* e = katalog_.finden(wette->ereignis);
            hit = e != nullptr && e->enthaelt(strecke_[q].zahlOderNull());
            switch (instanz.setzart) {
                case 'E':
                case 'K':
                    wette->ergebnis = Ergebnis_Einfach(wette->satz, einsatz(e), gewinn(e), hit);
                    markieren(*wette);
                    break;
                case 'P':
                    wette->ergebnis =
                        Ergebnis_Progression(instanz, k, wette->satz, einsatz(e), gewinn(e), hit);
                    markieren(*wette);
                    break;
                default:
                    break;
            }
        }
        switch (instanz.setzart) {
            case 'E':
                if (wette != nullptr && hit) {
                    z.beendungEinzeln = true;
                    aktiv = false;
                }
                break;
            case 'P':
                if (wette == nullptr || !hit) {
                    aktiv = false;
                }
                break;
            case 'K': {
                const int summe = angriffssumme(system.id, i + 1, q, k);
                if (summe <= instanz.verlustLimit() || summe >= instanz.gewinnLimit()) {
                    z.beendungEinzeln = true;
                    aktiv = false;
                }
                break;
            }
            default:
                break;
        }
        if (!instanz.satz(k + 1)) {
            aktiv = false;
        }
        if (i == 2) {
            const bool weiter = z.aktiv[0] || z.aktiv[1] || z.aktiv[2];
            z.stufe = weiter && (system.beendungEinzelnAlle || !z.beendungEinzeln) ? k + 1 : 0;
        }
    }

    // The results of the instance's bets on coup q and the k - 1 coups before it.
    int angriffssumme(std::int64_t system, int instanz, std::size_t q, int k) const {
        int summe = 0;
        const std::size_t erster = q + 1 >= static_cast<std::size_t>(k) ? q + 1 - k : 0;
        for (std::size_t p = erster; p <= q; ++p) {
            for (const std::uint32_t w : wettenAm_[p]) {
                const Wette& wette = ergebnis_.wetten[w];
                if (wette.system == system && wette.instanz == instanz) {
                    summe += wette.ergebnis.value_or(0);
                }
            }
        }
        return summe;
    }

    void setzen(const System& system, int i, std::size_t pos) {
        const Instanz& instanz = system.instanzen[static_cast<std::size_t>(i)];
        const int k = system.zustand.stufe;
        if (k > kAngriffsstufen || !system.zustand.aktiv[static_cast<std::size_t>(i)]) {
            return;
        }
        const std::optional<int> satz = instanz.satz(k);
        if (!satz || !instanz.setzt()) {
            return;
        }
        const int ereignis = instanz.folge.back().ereignis;
        const kern::Ereignis* e = katalog_.finden(ereignis);
        if (e == nullptr || e->einsatz < 1) {
            return;
        }
        wetteAnfuegen(system.id, i + 1, ereignis, *satz, pos);
    }

    void buchen(std::size_t q) {
        int satz = 0;
        int gewinnVerlust = 0;
        int anzahl = 0;
        for (const std::uint32_t w : wettenAm_[q]) {
            const Wette& wette = ergebnis_.wetten[w];
            satz += wette.satz;
            gewinnVerlust += wette.ergebnis.value_or(0);
            ++anzahl;
        }
        Tagessummen& t = ergebnis_.summen;
        t.gewinnVerlust += gewinnVerlust;
        t.gewinnMaximal = std::max(t.gewinnMaximal, t.gewinnVerlust);
        t.verlustMaximal = std::min(t.verlustMaximal, t.gewinnVerlust);
        t.angriffe += anzahl;
        if (satz > 0) {
            ergebnis_.buchungen.push_back({strecke_[q].idZahl, satz, t.gewinnVerlust});
        }
    }

    Wette* findeWette(std::int64_t system, int instanz, std::size_t q) {
        for (const std::uint32_t w : wettenAm_[q]) {
            Wette& wette = ergebnis_.wetten[w];
            if (wette.system == system && wette.instanz == instanz) {
                return &wette;
            }
        }
        return nullptr;
    }

    // A bet passed in (stored before the walk) that the walk settled.
    void markieren(Wette& wette) const {
        if (static_cast<std::size_t>(&wette - ergebnis_.wetten.data()) < gespeichert_) {
            wette.abgerechnet = true;
        }
    }
    // The pieces of a bet; a stored bet on an event without pieces counts as one piece, so that no
    // settlement divides by zero.
    static int einsatz(const kern::Ereignis* e) {
        return e == nullptr ? 1 : std::max(e->einsatz, 1);
    }
    static int gewinn(const kern::Ereignis* e) { return e == nullptr ? 0 : e->gewinn; }

    const Durchlauf& lauf_;
    std::span<const kern::Coup> strecke_;
    std::vector<System>& systeme_;
    const kern::Ereigniskatalog& katalog_;
    std::vector<std::vector<std::uint32_t>> wettenAm_;
    std::vector<std::unique_ptr<Startpruefung>> pruefungen_;
    Durchlaufergebnis ergebnis_;
    std::size_t gespeichert_ = 0;  // bets passed in come first in ergebnis_.wetten
};

}  // namespace

Durchlaufergebnis Systeme_Durchlaufen(const Durchlauf& lauf, std::vector<System>& systeme,
                                      std::vector<Wette> wetten, Tagessummen summen,
                                      const kern::Ereigniskatalog& katalog,
                                      const Nach_Coup& nachCoup) {
    Lauf l(lauf, systeme, std::move(wetten), summen, katalog);
    return l.laufen(nachCoup);
}

}  // namespace spinalyst::systems
