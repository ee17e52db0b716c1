#include "tests/systems/referenzlauf.h"

#include <cmath>
#include <cstddef>
#include <optional>
#include <vector>

namespace spinalyst::systems::referenz {
namespace {

using Position = long;

const kern::Coup& coup(const Pruefstelle& stelle, Position p) {
    return stelle.strecke[static_cast<std::size_t>(p)];
}

// The number of a coup as events compare it: a missing number counts as 0.
int zahl(const kern::Coup& c) {
    return c.zahl == kern::kKeineZahl ? 0 : c.zahl;
}

bool trifft(const kern::Ereigniskatalog& katalog, int ereignis, const kern::Coup& c) {
    return katalog.enthaelt(ereignis, zahl(c));
}

// Same-day rule for the coup at p.
bool gleicherTag(const Pruefstelle& stelle, Position p) {
    return stelle.uebergreifend ||
           coup(stelle, p).tag == coup(stelle, static_cast<Position>(stelle.aktuell)).tag;
}

// Position of the coup with the given index: index 1 is the previous coup, or, before the
// sequence, the coup just before the trigger coups (the previous coup then has index 2 - n).
Position positionVonIndex(const Pruefstelle& stelle, int index, bool vorEreignisfolge, int n) {
    const auto c = static_cast<Position>(stelle.aktuell);
    return vorEreignisfolge ? c + 1 - n - index : c - index;
}

int indexVonPosition(const Pruefstelle& stelle, Position p, bool vorEreignisfolge, int n) {
    const auto c = static_cast<Position>(stelle.aktuell);
    return static_cast<int>(vorEreignisfolge ? c + 1 - n - p : c - p);
}

// Nearest integer; exactly halfway goes to the even neighbour.
int naechste(double x) {
    const double unten = std::floor(x);
    const double rest = x - unten;
    double ergebnis = unten;
    if (rest > 0.5) {
        ergebnis = unten + 1;
    } else if (rest == 0.5) {
        ergebnis = std::fmod(unten, 2.0) == 0.0 ? unten : unten + 1;
    }
    return static_cast<int>(ergebnis);
}

}  // namespace

bool Ereignisfolge_Pruefen(const Pruefstelle& stelle, const Instanz& instanz,
                           const kern::Ereigniskatalog& katalog) {
    const auto c = static_cast<Position>(stelle.aktuell);
    // 1. Without a previous coup the check fails.
    if (c < 1) {
        return false;
    }
    // 2. Same-day rule for the previous coup.
    if (!gleicherTag(stelle, c - 1)) {
        return false;
    }
    // 3. The trigger rows, pairwise backwards from the second-to-last row and the previous coup.
    const auto n = static_cast<Position>(instanz.folge.size());
    Position p = c - 1;
    for (Position zeile = n - 2; zeile >= 0; --zeile) {
        if (zeile < n - 2) {
            --p;
            if (p < 0) {
                return false;
            }
            if (!gleicherTag(stelle, p)) {
                return false;
            }
        }
        const Folgenglied& glied = instanz.folge[static_cast<std::size_t>(zeile)];
        const bool treffer = trifft(katalog, glied.ereignis, coup(stelle, p));
        if (glied.ungleich() ? treffer : !treffer) {
            return false;
        }
    }
    return true;
}

bool Haeufigkeit_Filter_Pruefen(const Pruefstelle& stelle, const Zaehlfilter& filter,
                                int folgenlaenge, const kern::Ereigniskatalog& katalog) {
    if (!filter.ereignis || !filter.anzahlVon || !filter.anzahlBis || !filter.coupsVon ||
        !filter.coupsBis) {
        return false;
    }
    const auto c = static_cast<Position>(stelle.aktuell);
    const Position letzter =
        positionVonIndex(stelle, *filter.coupsBis, filter.vorEreignisfolge, folgenlaenge);
    if (letzter < 0) {
        return false;  // the window is not complete
    }
    int anzahl = 0;
    for (Position p = c - 1; p >= letzter; --p) {
        if (!gleicherTag(stelle, p)) {
            return false;
        }
        const int index = indexVonPosition(stelle, p, filter.vorEreignisfolge, folgenlaenge);
        if (index >= *filter.coupsVon && index <= *filter.coupsBis &&
            trifft(katalog, *filter.ereignis, coup(stelle, p))) {
            ++anzahl;
        }
    }
    const bool bedingung = *filter.anzahlVon <= anzahl && anzahl <= *filter.anzahlBis;
    return filter.ungleich ? !bedingung : bedingung;
}

bool Serien_Filter_Pruefen(const Pruefstelle& stelle, const Serienfilter& filter, int folgenlaenge,
                           const kern::Ereigniskatalog& katalog) {
    if (!filter.ereignis || !filter.anzahlVon || !filter.anzahlBis || !filter.laengeVon ||
        !filter.laengeBis || !filter.coupsVon || !filter.coupsBis) {
        return false;
    }
    const auto c = static_cast<Position>(stelle.aktuell);
    const Position letzter =
        positionVonIndex(stelle, *filter.coupsBis, filter.vorEreignisfolge, folgenlaenge);
    if (letzter < 0) {
        return false;
    }
    for (Position p = c - 1; p >= letzter; --p) {
        if (!gleicherTag(stelle, p)) {
            return false;
        }
    }
    int tabelle[26] = {};
    auto aufnehmen = [&](int laenge) {
        if (laenge >= 1 && laenge <= 25) {
            ++tabelle[laenge];
        }
    };
    int laufend = 0;
    for (int index = *filter.coupsVon; index <= *filter.coupsBis; ++index) {
        const Position p = positionVonIndex(stelle, index, filter.vorEreignisfolge, folgenlaenge);
        if (trifft(katalog, *filter.ereignis, coup(stelle, p))) {
            ++laufend;
        } else {
            if (laufend > 0) {
                aufnehmen(laufend);
            }
            laufend = 0;
        }
    }
    // The coup just beyond the window closes a series touching the far edge when it misses.
    const Position jenseits = letzter - 1;
    if (jenseits >= 0 && !trifft(katalog, *filter.ereignis, coup(stelle, jenseits)) &&
        laufend > 0) {
        aufnehmen(laufend);
    }
    int summe = 0;
    for (int laenge = 1; laenge <= 25; ++laenge) {
        if (laenge >= *filter.laengeVon && laenge <= *filter.laengeBis) {
            summe += tabelle[laenge];
        }
    }
    const bool bedingung = *filter.anzahlVon <= summe && summe <= *filter.anzahlBis;
    return filter.ungleich ? !bedingung : bedingung;
}

bool Rueckstaendigkeit_Filter_Pruefen(const Pruefstelle& stelle, const Zaehlfilter& filter,
                                      int folgenlaenge, const kern::Ereigniskatalog& katalog) {
    if (!filter.ereignis || !filter.anzahlVon || !filter.anzahlBis || !filter.coupsVon ||
        !filter.coupsBis) {
        return false;
    }
    const auto c = static_cast<Position>(stelle.aktuell);
    const Position letzter =
        positionVonIndex(stelle, *filter.coupsBis, filter.vorEreignisfolge, folgenlaenge);
    if (letzter < 0) {
        return false;
    }
    int anzahl = 0;
    for (Position p = c - 1; p >= letzter; --p) {
        if (!gleicherTag(stelle, p)) {
            return false;
        }
        if (!trifft(katalog, *filter.ereignis, coup(stelle, p))) {
            continue;
        }
        const int index = indexVonPosition(stelle, p, filter.vorEreignisfolge, folgenlaenge);
        if (index < *filter.coupsVon) {
            return false;  // not absent since the window: fails whatever `_ungleich` says
        }
        if (index <= *filter.coupsBis) {
            ++anzahl;
        }
    }
    const bool bedingung = *filter.anzahlVon <= anzahl && anzahl <= *filter.anzahlBis;
    return filter.ungleich ? !bedingung : bedingung;
}

bool Ereignisfolge_Historie_Pruefen(const Pruefstelle& stelle, const Instanz& instanz,
                                    const kern::Ereigniskatalog& katalog) {
    const Historienfilter& h = instanz.historie;
    // Reading of this reference: a null field fails the filter, like the count filters.
    if (instanz.folge.empty() || !h.okVon || !h.okBis || !h.folgenVon || !h.folgenBis) {
        return false;
    }
    const int angriff = instanz.folge.back().ereignis;
    const auto c = static_cast<Position>(stelle.aktuell);
    const auto n = static_cast<Position>(instanz.folge.size());
    // 1. n coups back from the current coup.
    const Position start = c - n;
    if (start < 0) {
        return false;
    }
    // 2. Walk back to the first loaded coup; every position where the sequence is met is an
    // occurrence.
    int nummer = 0;
    bool gescheitert = false;
    bool vollstaendig = false;
    for (Position p = start; p >= 0; --p) {
        const Pruefstelle dort{stelle.strecke, static_cast<std::size_t>(p), stelle.uebergreifend};
        if (!referenz::Ereignisfolge_Pruefen(dort, instanz, katalog)) {
            continue;
        }
        ++nummer;
        if (nummer >= *h.folgenVon && nummer <= *h.folgenBis) {
            // Scan forward from p (p itself is 1), only over coups before the current coup.
            std::optional<Position> j;
            for (Position q = p; q < c; ++q) {
                if (trifft(katalog, angriff, coup(stelle, q))) {
                    j = q - p + 1;
                    break;
                }
            }
            if (j) {
                if (*j < *h.okVon || *j > *h.okBis) {
                    gescheitert = true;
                }
            } else if (*h.okBis <= c - p) {
                // The OK window has passed before the current coup without the attack event.
                gescheitert = true;
            }
        }
        if (!gleicherTag(stelle, p)) {
            return false;
        }
        if (nummer > *h.folgenBis) {
            vollstaendig = true;
            break;
        }
    }
    if (!vollstaendig) {
        return false;
    }
    return h.ungleich ? gescheitert : !gescheitert;
}

bool Angriff_Start_Pruefen(const Pruefstelle& stelle, const Instanz& instanz,
                           const kern::Ereigniskatalog& katalog) {
    if (!referenz::Ereignisfolge_Pruefen(stelle, instanz, katalog)) {
        return false;
    }
    const int n = static_cast<int>(instanz.folge.size());
    if (instanz.haeufigkeit.aktiv &&
        !referenz::Haeufigkeit_Filter_Pruefen(stelle, instanz.haeufigkeit, n, katalog)) {
        return false;
    }
    if (instanz.serien.aktiv &&
        !referenz::Serien_Filter_Pruefen(stelle, instanz.serien, n, katalog)) {
        return false;
    }
    if (instanz.rueckstaendigkeit.aktiv && !referenz::Rueckstaendigkeit_Filter_Pruefen(
                                               stelle, instanz.rueckstaendigkeit, n, katalog)) {
        return false;
    }
    if (instanz.historie.aktiv &&
        !referenz::Ereignisfolge_Historie_Pruefen(stelle, instanz, katalog)) {
        return false;
    }
    return true;
}

std::vector<int> Individuell_Satzsignale(const Pruefstelle& stelle, const System& system,
                                         int chancen, const kern::Ereigniskatalog& katalog) {
    // 1. The identifier range of the chance class; hits[e] := 0, recent[e] := -1.
    int erstes = 0;
    int letztes = 0;
    switch (chancen) {
        case 1:
            erstes = 1, letztes = 6;
            break;
        case 2:
            erstes = 7, letztes = 12;
            break;
        case 5:
            erstes = 13, letztes = 23;
            break;
        case 8:
            erstes = 24, letztes = 46;
            break;
        case 11:
            erstes = 47, letztes = 58;
            break;
        case 17:
            erstes = 59, letztes = 116;
            break;
        case 35:
            erstes = 117, letztes = 153;
            break;
        default:
            return {};  // no event is considered
    }
    // hits[e] and recent[e], for the identifiers e of the range.
    const auto breite = static_cast<std::size_t>(letztes - erstes + 1);
    std::vector<int> hitsFeld(breite);
    std::vector<int> recentFeld(breite);
    auto hits = [&](int e) -> int& { return hitsFeld[static_cast<std::size_t>(e - erstes)]; };
    auto recent = [&](int e) -> int& { return recentFeld[static_cast<std::size_t>(e - erstes)]; };
    for (int e = erstes; e <= letztes; ++e) {
        hits(e) = 0;
        recent(e) = -1;
    }

    // 2. Parameters.
    const Individuellparameter& p = system.regel;
    const bool regel1 = system.nummer == 1;
    const bool regel2 = system.nummer == 2;
    int w = 0;
    int n = 0;
    int r = 0;
    if (regel1) {
        if (!p.coups || !p.ereignisse || !p.rueckstaendig) {
            return {};
        }
        w = *p.coups;
        n = *p.ereignisse;
        r = *p.rueckstaendig;
        if (!(w >= 1 && n >= 1 && r >= 1)) {
            return {};
        }
    } else if (regel2) {
        if (!p.ereignisse || *p.ereignisse < 1) {
            return {};
        }
        n = *p.ereignisse;
    } else {
        return {};  // a kind-2 system with another number
    }

    // 3. Scan back from the coup before C.
    const auto c = static_cast<Position>(stelle.aktuell);
    const store::Date datum = coup(stelle, c).tag;
    int k = 0;
    bool sameDay = true;
    bool vollstaendig = false;
    for (Position q = c - 1; q >= 0; --q) {
        const kern::Coup& dort = coup(stelle, q);
        // 3.1 Membership for every identifier of the range.
        for (int e = erstes; e <= letztes; ++e) {
            if (trifft(katalog, e, dort)) {
                hits(e) = hits(e) + 1;
                if (recent(e) == -1) {
                    recent(e) = k;
                }
            }
        }
        // 3.2
        if (dort.tag != datum) {
            sameDay = false;
        }
        // 3.3
        k = k + 1;
        // 3.4
        if (regel1 && k >= w) {
            vollstaendig = true;
            break;
        }
        // 3.5
        if (regel2) {
            bool alle = true;
            for (int e = erstes; e <= letztes; ++e) {
                if (katalog.finden(e) != nullptr && recent(e) == -1) {
                    alle = false;
                }
            }
            if (alle) {
                vollstaendig = true;
                break;
            }
        }
    }

    // 4., 5.
    if (stelle.uebergreifend) {
        sameDay = true;
    }
    if (!sameDay || !vollstaendig) {
        return {};
    }

    std::vector<int> saetze;
    int placed = 0;
    if (regel1) {
        // 6. For M from W down to 1, within each M the identifiers in ascending order.
        int rank = 0;
        for (int m = w; m >= 1; --m) {
            for (int e = erstes; e <= letztes; ++e) {
                if (hits(e) != m) {
                    continue;
                }
                rank = rank + 1;
                if (recent(e) >= r && rank <= n && placed < n) {
                    saetze.push_back(e);
                    placed = placed + 1;
                }
            }
        }
    } else {
        // 7. A, the largest recent value; for M from A down to 1.
        int a = -1;
        for (int e = erstes; e <= letztes; ++e) {
            if (recent(e) > a) {
                a = recent(e);
            }
        }
        for (int m = a; m >= 1; --m) {
            for (int e = erstes; e <= letztes; ++e) {
                if (recent(e) == m && placed < n) {
                    saetze.push_back(e);
                    placed = placed + 1;
                }
            }
        }
    }
    return saetze;
}

namespace {

// One walk: the stretch, the bet list and the totals, as the run keeps them.
class Lauf {
  public:
    Lauf(const Durchlauf& lauf, std::vector<Wette> wetten, Tagessummen summen,
         const kern::Ereigniskatalog& katalog)
        : lauf_(lauf), katalog_(katalog), gespeichert_(wetten.size()) {
        ergebnis_.wetten = std::move(wetten);
        ergebnis_.summen = summen;
    }

    Durchlaufergebnis ausfuehren(std::vector<System>& systeme, const Nach_Coup& nachCoup) {
        const auto& strecke = lauf_.strecke;
        if (strecke.empty() || lauf_.beginn >= strecke.size()) {
            return ergebnis_;
        }
        std::size_t aktuell = lauf_.beginn;
        store::Date tag = strecke[aktuell].tag;
        std::size_t zaehler = 1;
        std::size_t zuletzt = aktuell;
        while (aktuell < strecke.size()) {
            if (lauf_.nurLetzterCoup) {
                aktuell = strecke.size() - 1;
            }
            for (System& system : systeme) {
                // Settle the bets on the previous coup.
                if (aktuell > 0) {
                    abrechnen(system, aktuell - 1);
                }
                // Start.
                if (system.zustand.stufe == 0) {
                    bool alle = true;
                    for (const Instanz& instanz : system.instanzen) {
                        const Pruefstelle stelle{strecke, aktuell, lauf_.uebergreifend};
                        if (!referenz::Angriff_Start_Pruefen(stelle, instanz, katalog_)) {
                            alle = false;
                            break;
                        }
                    }
                    if (alle) {
                        system.zustand.beendungEinzeln = false;
                        system.zustand.stufe = 1;
                        system.zustand.aktiv = {true, true, true};
                    }
                }
                // Bet.
                if (system.individuell()) {
                    individuellSetzen(system, aktuell);
                } else if (system.zustand.stufe >= 1) {
                    for (int i = 0; i < 3; ++i) {
                        setzen(system, i, aktuell);
                    }
                }
            }
            if (aktuell > 0) {
                buchen(aktuell - 1);
            }
            if (strecke[aktuell].tag != tag) {
                ergebnis_.tage.push_back({tag, ergebnis_.summen});
                ergebnis_.summen = {};
                tag = strecke[aktuell].tag;
            }
            ++zaehler;
            ++ergebnis_.coups;
            zuletzt = aktuell;
            if (nachCoup && nachCoup(zaehler)) {
                ergebnis_.abgebrochen = true;
                break;
            }
            ++aktuell;
        }
        // Final settlement of the last processed coup.
        if (!lauf_.nurLetzterCoup && strecke[zuletzt].zahl != kern::kKeineZahl) {
            for (System& system : systeme) {
                abrechnen(system, zuletzt);
            }
        }
        buchen(zuletzt);
        if (lauf_.tagAbschliessen) {
            ergebnis_.tage.push_back({tag, ergebnis_.summen});
        }
        return ergebnis_;
    }

  private:
    const kern::Coup& coup(std::size_t p) const { return lauf_.strecke[p]; }

    bool gespeichert(const Wette& w) const {
        return static_cast<std::size_t>(&w - ergebnis_.wetten.data()) < gespeichert_;
    }

    // Settles a system's bets on the coup at q, as the coup loop does with the previous coup.
    void abrechnen(System& system, std::size_t q) {
        if (system.individuell()) {
            individuellAbrechnen(system, q);
        } else if (system.zustand.stufe >= 1) {
            for (int i = 0; i < 3; ++i) {
                instanzAbrechnen(system, i, q);
            }
        }
    }

    void individuellAbrechnen(const System& system, std::size_t q) {
        for (Wette& w : ergebnis_.wetten) {
            if (w.idZahl != coup(q).idZahl || w.system != system.id) {
                continue;
            }
            const kern::Ereignis* e = katalog_.finden(w.ereignis);
            if (e == nullptr || e->einsatz < 1) {
                continue;
            }
            const double u = static_cast<double>(w.satz) / e->einsatz;
            w.ergebnis = trifft(katalog_, w.ereignis, coup(q)) ? naechste(u) * e->gewinn : -w.satz;
            if (gespeichert(w)) {
                w.abgerechnet = true;
            }
        }
    }

    void instanzAbrechnen(System& system, int i, std::size_t q) {
        Angriffszustand& z = system.zustand;
        const Instanz& instanz = system.instanzen[static_cast<std::size_t>(i)];
        const int k = z.stufe;
        const char art = instanz.setzart;
        auto& aktiv = z.aktiv[static_cast<std::size_t>(i)];

        // 1. The instance's bet on the settled coup.
        Wette* wette = nullptr;
        for (Wette& w : ergebnis_.wetten) {
            if (w.idZahl == coup(q).idZahl && w.system == system.id && w.instanz == i + 1) {
                wette = &w;
                break;
            }
        }
        bool treffer = false;
        if (wette != nullptr) {
            treffer = trifft(katalog_, wette->ereignis, coup(q));
            const kern::Ereignis* e = katalog_.finden(wette->ereignis);
            if (e != nullptr && e->einsatz >= 1 && (art == 'E' || art == 'K' || art == 'P')) {
                const int s = wette->satz;
                const int einsatz = e->einsatz;
                const int gewinn = e->gewinn;
                const double u = static_cast<double>(s) / einsatz;
                if (art == 'E' || art == 'K') {
                    wette->ergebnis =
                        treffer ? naechste(u) * gewinn - naechste(u) * (einsatz - 1) : -s;
                } else {
                    const int s1 = instanz.satz(1).value_or(0);
                    if (!treffer) {
                        wette->ergebnis = -s1;
                    } else {
                        const int r = naechste(u * gewinn) - naechste(u) * (einsatz - 1) + s;
                        const std::optional<int> naechster = instanz.satz(k + 1);
                        if (naechster) {
                            wette->ergebnis = *naechster < r ? r - *naechster : 0;
                        } else {
                            wette->ergebnis = r - s1;
                        }
                    }
                }
                if (gespeichert(*wette)) {
                    wette->abgerechnet = true;
                }
            }
        }

        // 2. The run state of the instance.
        if (art == 'E') {
            if (wette != nullptr && treffer) {
                z.beendungEinzeln = true;
                aktiv = false;
            }
        } else if (art == 'P') {
            if (wette == nullptr || !treffer) {
                aktiv = false;
            }
        } else if (art == 'K') {
            // The results of the instance's bets on the settled coup and the k - 1 coups before.
            int summe = 0;
            long p = static_cast<long>(q);
            for (int schritt = 0; schritt < k && p >= 0; ++schritt, --p) {
                for (const Wette& w : ergebnis_.wetten) {
                    if (w.idZahl == coup(static_cast<std::size_t>(p)).idZahl &&
                        w.system == system.id && w.instanz == i + 1) {
                        summe += w.ergebnis.value_or(0);
                    }
                }
            }
            if (summe <= instanz.verlustLimit() || summe >= instanz.gewinnLimit()) {
                z.beendungEinzeln = true;
                aktiv = false;
            }
        }
        if (!instanz.satz(k + 1)) {
            aktiv = false;
        }

        // 3. After instance 3: the attack goes on or ends.
        if (i == 2) {
            const bool einer = z.aktiv[0] || z.aktiv[1] || z.aktiv[2];
            if (einer && (system.beendungEinzelnAlle || !z.beendungEinzeln)) {
                z.stufe = k + 1;
            } else {
                z.stufe = 0;
            }
        }
    }

    void setzen(const System& system, int i, std::size_t c) {
        const int k = system.zustand.stufe;
        const Instanz& instanz = system.instanzen[static_cast<std::size_t>(i)];
        if (k > kAngriffsstufen || !system.zustand.aktiv[static_cast<std::size_t>(i)] ||
            !instanz.satz(k)) {
            return;
        }
        if (instanz.folge.empty() || instanz.folge.back().angriff != "x") {
            return;
        }
        const int ereignis = instanz.folge.back().ereignis;
        const kern::Ereignis* e = katalog_.finden(ereignis);
        if (e == nullptr || e->einsatz < 1) {
            return;
        }
        Wette w;
        w.idZahl = coup(c).idZahl;
        w.system = system.id;
        w.instanz = i + 1;
        w.ereignis = ereignis;
        w.satz = *instanz.satz(k);
        ergebnis_.wetten.push_back(w);
    }

    // The bets of an individual system's rule on the coup at c, each with the stake of step 1 of
    // instance 1.
    void individuellSetzen(const System& system, std::size_t c) {
        const std::optional<int> satz = system.instanzen[0].satz(1);
        if (!satz) {
            return;
        }
        const Pruefstelle stelle{lauf_.strecke, c, lauf_.uebergreifend};
        const std::vector<int> ereignisse =
            referenz::Individuell_Satzsignale(stelle, system, lauf_.chancen, katalog_);
        for (const int ereignis : ereignisse) {
            const kern::Ereignis* e = katalog_.finden(ereignis);
            if (e == nullptr || e->einsatz < 1) {
                continue;
            }
            Wette w;
            w.idZahl = coup(c).idZahl;
            w.system = system.id;
            w.instanz = 1;
            w.ereignis = ereignis;
            w.satz = *satz;
            ergebnis_.wetten.push_back(w);
        }
    }

    void buchen(std::size_t q) {
        int satz = 0;
        int gewinnVerlust = 0;
        int anzahl = 0;
        for (const Wette& w : ergebnis_.wetten) {
            if (w.idZahl == coup(q).idZahl) {
                satz += w.satz;
                gewinnVerlust += w.ergebnis.value_or(0);
                ++anzahl;
            }
        }
        Tagessummen& s = ergebnis_.summen;
        s.gewinnVerlust += gewinnVerlust;
        if (s.gewinnVerlust > s.gewinnMaximal) {
            s.gewinnMaximal = s.gewinnVerlust;
        }
        if (s.gewinnVerlust < s.verlustMaximal) {
            s.verlustMaximal = s.gewinnVerlust;
        }
        s.angriffe += anzahl;
        if (satz > 0) {
            ergebnis_.buchungen.push_back({coup(q).idZahl, satz, s.gewinnVerlust});
        }
    }

    const Durchlauf& lauf_;
    const kern::Ereigniskatalog& katalog_;
    std::size_t gespeichert_;
    Durchlaufergebnis ergebnis_;
};

}  // namespace

Durchlaufergebnis Systeme_Durchlaufen(const Durchlauf& lauf, std::vector<System>& systeme,
                                      std::vector<Wette> wetten, Tagessummen summen,
                                      const kern::Ereigniskatalog& katalog,
                                      const Nach_Coup& nachCoup) {
    Lauf walk(lauf, std::move(wetten), summen, katalog);
    return walk.ausfuehren(systeme, nachCoup);
}

}  // namespace spinalyst::systems::referenz
