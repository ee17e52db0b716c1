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
        // The sequence history is indexed once per instance that uses it.
        historien_.resize(systeme_.size() * 3);
        for (std::size_t s = 0; s < systeme_.size(); ++s) {
            for (std::size_t i = 0; i < 3; ++i) {
                const Instanz& instanz = systeme_[s].instanzen[i];
                if (instanz.historie.aktiv) {
                    historien_[s * 3 + i] = std::make_unique<Folgenhistorie>(
                        strecke_, instanz, lauf_.uebergreifend, katalog_);
                }
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
        if (!system.individuell() && system.zustand.stufe >= 1) {
            for (int i = 0; i < 3; ++i) {
                setzen(system, i, pos);
            }
        }
    }

    bool startet(std::size_t s, std::size_t pos) const {
        const Pruefstelle stelle{strecke_, pos, lauf_.uebergreifend};
        for (std::size_t i = 0; i < 3; ++i) {
            if (!Angriff_Start_Pruefen(stelle, systeme_[s].instanzen[i], katalog_,
                                       historien_[s * 3 + i].get())) {
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
        Wette wette;
        wette.idZahl = strecke_[pos].idZahl;
        wette.system = system.id;
        wette.instanz = i + 1;
        wette.ereignis = ereignis;
        wette.satz = *satz;
        wettenAm_[pos].push_back(static_cast<std::uint32_t>(ergebnis_.wetten.size()));
        ergebnis_.wetten.push_back(wette);
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
    std::vector<std::unique_ptr<Folgenhistorie>> historien_;
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
