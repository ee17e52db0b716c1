#include "events/zaehlung.h"

#include <algorithm>

namespace spinalyst::events {

namespace {

// The rows of one result table with a row index per (event, length) and per (class, length).
// Event rows are keyed by the identifier (the position of its first event), as the table is.
class Zeilen {
  public:
    Zeilen(std::size_t ereignisse, std::size_t klassen)
        : proEreignis_(ereignisse), proKlasse_(klassen) {}

    void zaehle(int ereignis, int schluessel, int klasse, int gruppe, int laenge) {
        erhoehe(proEreignis_[static_cast<std::size_t>(schluessel)], {ereignis, gruppe, laenge, 0});
        erhoehe(proKlasse_[static_cast<std::size_t>(klasse)], {-1, gruppe, laenge, 0});
    }

    std::vector<Zaehlzeile> zeilen;

  private:
    void erhoehe(std::vector<int>& nachLaenge, const Zaehlzeile& neu) {
        const auto l = static_cast<std::size_t>(neu.laenge);
        if (nachLaenge.size() <= l) {
            nachLaenge.resize(l + 1, -1);
        }
        int& index = nachLaenge[l];
        if (index < 0) {
            index = static_cast<int>(zeilen.size());
            zeilen.push_back(neu);
        }
        ++zeilen[static_cast<std::size_t>(index)].anzahl;
    }

    std::vector<std::vector<int>> proEreignis_;
    std::vector<std::vector<int>> proKlasse_;
};

}  // namespace

// Only the events a coup hits are visited. A series of event e ends at the first coup after it
// that misses e, so the series ending at a coup are those of the events the previous coup hit;
// an absence ends at a hit and is the distance to the event's previous hit in the segment. The
// working fields that a row-by-row walk updates at every miss (the running absence, the marks)
// follow at the end from the last hit, the segment start and the last coup.
Zaehlergebnis zaehlen(const kern::Ereigniskatalog& katalog, std::span<const Coup> coups,
                      const Zaehlparameter& parameter, std::span<const Kennzeichen> vorher,
                      const NachCoup& nachCoup) {
    const auto& ev = katalog.ereignisse();
    const std::size_t n = ev.size();
    const bool mitSerien = parameter.modus == 'S' || parameter.modus == 'A';
    const bool mitRueckstaenden = parameter.modus == 'R' || parameter.modus == 'A';

    std::vector<int> schluessel(n);
    std::vector<int> klasse(n);
    const std::vector<int> klassen = katalog.klassen();
    for (std::size_t e = 0; e < n; ++e) {
        schluessel[e] = katalog.position(ev[e].id);
        klasse[e] = static_cast<int>(
            std::lower_bound(klassen.begin(), klassen.end(), ev[e].gruppe) - klassen.begin());
    }

    Zaehlergebnis ergebnis;
    Zeilen serien(n, klassen.size());
    Zeilen rueckstaende(n, klassen.size());
    std::vector<int> anzahl(n, 0);
    std::vector<int> serie(n, 0);  // `Serien`, valid while serieIn == segment
    std::vector<int> serieIn(n, 0);
    std::vector<int> letzterTreffer(n, 0);  // q of the last hit, 0 for none

    auto schliesseSerie = [&](int e) {
        auto& s = serie[static_cast<std::size_t>(e)];
        if (s >= 1) {
            serien.zaehle(e, schluessel[static_cast<std::size_t>(e)],
                          klasse[static_cast<std::size_t>(e)],
                          ev[static_cast<std::size_t>(e)].gruppe, s);
        }
        s = 0;
    };

    int q = 0;
    int segment = 0;
    int segmentAnfang = 1;  // q of the first coup of the current segment
    const std::vector<int>* vorigeTreffer =
        nullptr;  // events hit by the previous coup of the segment
    int letzteZahl = 0;
    store::Date tag = coups.empty() ? store::Date() : coups.front().tag;

    for (const Coup& coup : coups) {
        if (coup.tag != tag) {
            tag = coup.tag;
            if (!parameter.uebergreifend) {
                if (mitSerien && vorigeTreffer != nullptr) {
                    for (int e : *vorigeTreffer) {
                        schliesseSerie(e);
                    }
                }
                ++segment;
                ergebnis.abschnitte.push_back(q - segmentAnfang + 1);
                segmentAnfang = q + 1;
                vorigeTreffer = nullptr;
            }
        }
        ++q;
        if (coup.zahl >= 0 && coup.zahl <= kern::kHoechsteZahl) {
            ++ergebnis.zahlen[static_cast<std::size_t>(coup.zahl)];
        }
        const std::vector<int>& treffer = katalog.ereignisseMit(coup.zahl);
        if (mitSerien && vorigeTreffer != nullptr) {
            for (int e : *vorigeTreffer) {
                if (!ev[static_cast<std::size_t>(e)].enthaelt(coup.zahl)) {
                    schliesseSerie(e);
                }
            }
        }
        for (int e : treffer) {
            const auto i = static_cast<std::size_t>(e);
            ++anzahl[i];
            if (serieIn[i] != segment) {
                serieIn[i] = segment;
                serie[i] = 0;
            }
            ++serie[i];
            if (mitRueckstaenden) {
                if (letzterTreffer[i] >= segmentAnfang) {
                    rueckstaende.zaehle(e, schluessel[i], klasse[i], ev[i].gruppe,
                                        q - letzterTreffer[i] - 1);
                }
            }
            letzterTreffer[i] = q;
        }
        vorigeTreffer = &treffer;
        letzteZahl = coup.zahl;

        if (nachCoup && nachCoup(q, coup)) {
            ergebnis.abgebrochen = true;
            break;
        }
        if (parameter.hoechstens > 0 && q == parameter.hoechstens) {
            break;
        }
    }
    // Series still running at the oldest coup end there.
    if (mitSerien && vorigeTreffer != nullptr) {
        for (int e : *vorigeTreffer) {
            schliesseSerie(e);
        }
    }

    ergebnis.coups = q;
    if (q >= segmentAnfang) {
        ergebnis.abschnitte.push_back(q - segmentAnfang + 1);
    }
    ergebnis.felder.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        Arbeitsfelder& f = ergebnis.felder[i];
        const Kennzeichen alt = i < vorher.size() ? vorher[i] : Kennzeichen{};
        const bool imSegment = letzterTreffer[i] >= segmentAnfang;
        const char zuletzt = q > 0 && ev[i].enthaelt(letzteZahl) ? 'x' : 'o';
        f.zahlenAnzahl = anzahl[i];
        f.serien = serieIn[i] == segment ? serie[i] : 0;
        if (mitRueckstaenden) {
            f.rueckstaendigkeit = imSegment ? q - letzterTreffer[i] : q - segmentAnfang + 1;
            f.erstesEreignis = imSegment;
        }
        if (mitSerien || mitRueckstaenden) {
            // The marks are set afresh at every coup; after the closing step the series marks
            // all read "o".
            f.kennzeichen.serien = mitSerien ? 'o' : (q > 0 ? zuletzt : alt.serien);
            f.kennzeichen.rueckstaendigkeit = q > 0 ? zuletzt : alt.rueckstaendigkeit;
        } else {
            // Frequency only: a hit marks the event, nothing clears the marks.
            f.kennzeichen = anzahl[i] > 0 ? Kennzeichen{'x', 'x'} : alt;
        }
    }
    ergebnis.serien = std::move(serien.zeilen);
    ergebnis.rueckstaende = std::move(rueckstaende.zeilen);
    return ergebnis;
}

}  // namespace spinalyst::events
