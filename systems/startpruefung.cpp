#include "systems/startpruefung.h"

#include <algorithm>
#include <array>
#include <memory>

namespace spinalyst::systems {

namespace {

// Series longer than this are not counted.
constexpr int kLaengsteSerie = 25;

using Pos = std::ptrdiff_t;

// The members of an event as a bit set (bit z for number z); empty for an event the catalogue does
// not know.
std::uint64_t maske(const kern::Ereigniskatalog& katalog, int ereignis) {
    const kern::Ereignis* e = katalog.finden(ereignis);
    return e == nullptr ? 0 : e->zahlen;
}

bool trifft(std::uint64_t maske, const kern::Coup& coup) {
    return ((maske >> coup.zahlOderNull()) & 1u) != 0;
}

// The window of a count filter in positions of the stretch. Index i lies at position
// aktuell - i - verschiebung; the walk runs from the previous coup to the far end of the window.
struct Fenster {
    Pos fern = 0;  // position of the window's last index (the farthest coup walked)
    Pos nah = 0;   // position of the window's first index that lies before the current coup
    bool vollstaendig = false;
};

Fenster fenster(const Pruefstelle& stelle, int von, int bis, bool vorFolge, int folgenlaenge) {
    const Pos verschiebung = vorFolge ? std::max(folgenlaenge, 1) - 1 : 0;
    const Pos aktuell = static_cast<Pos>(stelle.aktuell);
    Fenster f;
    f.fern = aktuell - bis - verschiebung;
    f.nah = std::min(aktuell - 1, aktuell - von - verschiebung);
    // The window's last coup must exist before the current coup; without days overlapping every
    // coup walked (the stretch is in day order, so the farthest suffices) lies on the current day.
    f.vollstaendig =
        f.fern >= 0 && f.fern < aktuell &&
        (stelle.uebergreifend || stelle.strecke[static_cast<std::size_t>(f.fern)].tag ==
                                     stelle.strecke[stelle.aktuell].tag);
    return f;
}

bool ergebnis(bool bedingung, bool ungleich) {
    return ungleich ? !bedingung : bedingung;
}

// Where the filters read hits: straight from the coups through the event's members, or from a
// list computed once per stretch.
struct Maskenquelle {
    std::span<const kern::Coup> strecke;
    std::uint64_t m;
    bool trifft(Pos p) const { return systems::trifft(m, strecke[static_cast<std::size_t>(p)]); }
    // Hits at positions von..bis (inclusive; none when von > bis).
    int anzahl(Pos von, Pos bis) const {
        int n = 0;
        for (Pos p = von; p <= bis; ++p) {
            n += trifft(p) ? 1 : 0;
        }
        return n;
    }
};

struct Listenquelle {
    const Trefferliste& liste;
    bool trifft(Pos p) const { return liste.trifft(static_cast<std::size_t>(p)); }
    int anzahl(Pos von, Pos bis) const { return von > bis ? 0 : liste.anzahl(von, bis); }
};

bool zaehlfelder(const Zaehlfilter& f) {
    return f.ereignis && f.anzahlVon && f.anzahlBis && f.coupsVon && f.coupsBis;
}

template <class Quelle>
bool haeufigkeit(const Pruefstelle& stelle, const Zaehlfilter& filter, int folgenlaenge,
                 const Quelle& q) {
    const Fenster f =
        fenster(stelle, *filter.coupsVon, *filter.coupsBis, filter.vorEreignisfolge, folgenlaenge);
    if (!f.vollstaendig) {
        return false;
    }
    const int anzahl = q.anzahl(f.fern, f.nah);
    return ergebnis(*filter.anzahlVon <= anzahl && anzahl <= *filter.anzahlBis, filter.ungleich);
}

template <class Quelle>
bool rueckstaendigkeit(const Pruefstelle& stelle, const Zaehlfilter& filter, int folgenlaenge,
                       const Quelle& q) {
    const Fenster f =
        fenster(stelle, *filter.coupsVon, *filter.coupsBis, filter.vorEreignisfolge, folgenlaenge);
    if (!f.vollstaendig) {
        return false;
    }
    // The coups walked over nearer than the window: the event has been absent there.
    if (q.anzahl(f.nah + 1, static_cast<Pos>(stelle.aktuell) - 1) > 0) {
        return false;
    }
    const int anzahl = q.anzahl(f.fern, f.nah);
    return ergebnis(*filter.anzahlVon <= anzahl && anzahl <= *filter.anzahlBis, filter.ungleich);
}

bool serienfelder(const Serienfilter& f) {
    return f.ereignis && f.anzahlVon && f.anzahlBis && f.laengeVon && f.laengeBis && f.coupsVon &&
           f.coupsBis;
}

template <class Quelle>
bool serien(const Pruefstelle& stelle, const Serienfilter& filter, int folgenlaenge,
            const Quelle& q) {
    const Fenster f =
        fenster(stelle, *filter.coupsVon, *filter.coupsBis, filter.vorEreignisfolge, folgenlaenge);
    if (!f.vollstaendig) {
        return false;
    }
    std::array<int, kLaengsteSerie + 1> anzahlen{};
    int laenge = 0;
    const auto aufzeichnen = [&] {
        if (laenge > 0 && laenge <= kLaengsteSerie) {
            ++anzahlen[static_cast<std::size_t>(laenge)];
        }
        laenge = 0;
    };
    // Walking order: from the window's first index (nearest coup) to its last.
    for (Pos p = f.nah; p >= f.fern; --p) {
        if (q.trifft(p)) {
            ++laenge;
        } else {
            aufzeichnen();
        }
    }
    // The coup beyond the window closes a series touching the far edge when it is a miss.
    if (f.fern >= 1 && !q.trifft(f.fern - 1)) {
        aufzeichnen();
    }
    int anzahl = 0;
    for (int l = std::max(*filter.laengeVon, 1); l <= std::min(*filter.laengeBis, kLaengsteSerie);
         ++l) {
        anzahl += anzahlen[static_cast<std::size_t>(l)];
    }
    return ergebnis(*filter.anzahlVon <= anzahl && anzahl <= *filter.anzahlBis, filter.ungleich);
}

// The trigger sequence with the members of each row resolved: a row is met when the coup's
// number is in `masken` (a "<>" row stores the complement, so every row is one bit test).
struct Folgenmasken {
    std::vector<std::uint64_t> masken;  // the trigger rows, in sequence order
};

Folgenmasken folgenmasken(const Instanz& instanz, const kern::Ereigniskatalog& katalog) {
    Folgenmasken f;
    for (std::size_t j = 0; j + 1 < instanz.folge.size(); ++j) {
        const std::uint64_t m = maske(katalog, instanz.folge[j].ereignis);
        f.masken.push_back(instanz.folge[j].ungleich() ? ~m : m);
    }
    return f;
}

bool folge(const Pruefstelle& stelle, const Folgenmasken& f) {
    const std::size_t c = stelle.aktuell;
    if (c == 0 || c >= stelle.strecke.size()) {
        return false;
    }
    const store::Date& tag = stelle.strecke[c].tag;
    if (!stelle.uebergreifend && stelle.strecke[c - 1].tag != tag) {
        return false;
    }
    const std::size_t zeilen = f.masken.size();
    for (std::size_t j = 0; j < zeilen; ++j) {
        // The row before the attack event is compared with the previous coup, and so on back.
        if (j + 1 > c) {
            return false;
        }
        const kern::Coup& coup = stelle.strecke[c - 1 - j];
        if (!stelle.uebergreifend && coup.tag != tag) {
            return false;
        }
        if (!trifft(f.masken[zeilen - 1 - j], coup)) {
            return false;
        }
    }
    return true;
}

}  // namespace

Trefferliste::Trefferliste(std::span<const kern::Coup> strecke, std::uint64_t zahlen)
    : treffer_(strecke.size()), summe_(strecke.size() + 1, 0) {
    for (std::size_t p = 0; p < strecke.size(); ++p) {
        treffer_[p] = systems::trifft(zahlen, strecke[p]) ? 1 : 0;
        summe_[p + 1] = summe_[p] + treffer_[p];
    }
}

bool Ereignisfolge_Pruefen(const Pruefstelle& stelle, const Instanz& instanz,
                           const kern::Ereigniskatalog& katalog) {
    return folge(stelle, folgenmasken(instanz, katalog));
}

bool Haeufigkeit_Filter_Pruefen(const Pruefstelle& stelle, const Zaehlfilter& filter,
                                int folgenlaenge, const kern::Ereigniskatalog& katalog) {
    return zaehlfelder(filter) &&
           haeufigkeit(stelle, filter, folgenlaenge,
                       Maskenquelle{stelle.strecke, maske(katalog, *filter.ereignis)});
}

bool Rueckstaendigkeit_Filter_Pruefen(const Pruefstelle& stelle, const Zaehlfilter& filter,
                                      int folgenlaenge, const kern::Ereigniskatalog& katalog) {
    return zaehlfelder(filter) &&
           rueckstaendigkeit(stelle, filter, folgenlaenge,
                             Maskenquelle{stelle.strecke, maske(katalog, *filter.ereignis)});
}

bool Serien_Filter_Pruefen(const Pruefstelle& stelle, const Serienfilter& filter, int folgenlaenge,
                           const kern::Ereigniskatalog& katalog) {
    return serienfelder(filter) &&
           serien(stelle, filter, folgenlaenge,
                  Maskenquelle{stelle.strecke, maske(katalog, *filter.ereignis)});
}

Folgenhistorie::Folgenhistorie(std::span<const kern::Coup> strecke, const Instanz& instanz,
                               bool uebergreifend, const kern::Ereigniskatalog& katalog)
    : folge_(strecke.size(), -1),
      treffer_(strecke.size() + 1, static_cast<std::int32_t>(strecke.size())) {
    const Folgenmasken masken = folgenmasken(instanz, katalog);
    Pruefstelle stelle{strecke, 0, uebergreifend};
    std::int32_t letzte = -1;
    for (std::size_t p = 0; p < strecke.size(); ++p) {
        stelle.aktuell = p;
        if (folge(stelle, masken)) {
            letzte = static_cast<std::int32_t>(p);
        }
        folge_[p] = letzte;
    }
    const std::uint64_t m =
        instanz.folge.empty() ? 0 : maske(katalog, instanz.folge.back().ereignis);
    for (std::size_t p = strecke.size(); p-- > 0;) {
        treffer_[p] = trifft(m, strecke[p]) ? static_cast<std::int32_t>(p) : treffer_[p + 1];
    }
}

std::int32_t Folgenhistorie::letzteFolgeBis(std::size_t q) const {
    return folge_.empty() ? -1 : folge_[std::min(q, folge_.size() - 1)];
}

std::int32_t Folgenhistorie::naechsterTrefferAb(std::size_t q) const {
    return treffer_[std::min(q, treffer_.size() - 1)];
}

bool Ereignisfolge_Historie_Pruefen(const Pruefstelle& stelle, const Instanz& instanz,
                                    const Folgenhistorie& historie) {
    const Historienfilter& h = instanz.historie;
    if (!h.okVon || !h.okBis || !h.folgenVon || !h.folgenBis) {
        return false;
    }
    const Pos aktuell = static_cast<Pos>(stelle.aktuell);
    const Pos start = aktuell - static_cast<Pos>(instanz.folge.size());
    if (start < 0) {
        return false;
    }
    const store::Date& tag = stelle.strecke[stelle.aktuell].tag;
    bool gescheitert = false;
    bool vollstaendig = false;
    int nummer = 1;
    for (Pos p = historie.letzteFolgeBis(static_cast<std::size_t>(start)); p >= 0;
         p = p == 0 ? -1 : historie.letzteFolgeBis(static_cast<std::size_t>(p - 1)), ++nummer) {
        if (nummer >= *h.folgenVon && nummer <= *h.folgenBis && !gescheitert) {
            // Position j of the attack event counted from the occurrence (its own coup is 1);
            // only coups before the current coup have been played.
            const Pos treffer = historie.naechsterTrefferAb(static_cast<std::size_t>(p));
            if (treffer < aktuell) {
                const Pos j = treffer - p + 1;
                gescheitert = j < *h.okVon || j > *h.okBis;
            } else {
                // Not come yet: failed once the OK window has passed.
                gescheitert = p + static_cast<Pos>(*h.okBis) - 1 < aktuell;
            }
        }
        if (!stelle.uebergreifend && stelle.strecke[static_cast<std::size_t>(p)].tag != tag) {
            return false;
        }
        if (nummer > *h.folgenBis) {
            vollstaendig = true;
            break;
        }
    }
    return vollstaendig && ergebnis(!gescheitert, h.ungleich);
}

bool Ereignisfolge_Historie_Pruefen(const Pruefstelle& stelle, const Instanz& instanz,
                                    const kern::Ereigniskatalog& katalog) {
    const Folgenhistorie historie(stelle.strecke, instanz, stelle.uebergreifend, katalog);
    return Ereignisfolge_Historie_Pruefen(stelle, instanz, historie);
}

bool Angriff_Start_Pruefen(const Pruefstelle& stelle, const Instanz& instanz,
                           const kern::Ereigniskatalog& katalog, const Folgenhistorie* historie) {
    if (!Ereignisfolge_Pruefen(stelle, instanz, katalog)) {
        return false;
    }
    const int n = static_cast<int>(instanz.folge.size());
    if (instanz.haeufigkeit.aktiv &&
        !Haeufigkeit_Filter_Pruefen(stelle, instanz.haeufigkeit, n, katalog)) {
        return false;
    }
    if (instanz.serien.aktiv && !Serien_Filter_Pruefen(stelle, instanz.serien, n, katalog)) {
        return false;
    }
    if (instanz.rueckstaendigkeit.aktiv &&
        !Rueckstaendigkeit_Filter_Pruefen(stelle, instanz.rueckstaendigkeit, n, katalog)) {
        return false;
    }
    if (instanz.historie.aktiv) {
        return historie != nullptr ? Ereignisfolge_Historie_Pruefen(stelle, instanz, *historie)
                                   : Ereignisfolge_Historie_Pruefen(stelle, instanz, katalog);
    }
    return true;
}

Startpruefung::Startpruefung(std::span<const kern::Coup> strecke, const Instanz& instanz,
                             bool uebergreifend, const kern::Ereigniskatalog& katalog)
    : strecke_(strecke),
      instanz_(instanz),
      uebergreifend_(uebergreifend),
      folge_(strecke, instanz, uebergreifend, katalog) {
    const auto liste = [&](bool aktiv, const std::optional<int>& ereignis) {
        return aktiv && ereignis
                   ? std::make_unique<Trefferliste>(strecke, maske(katalog, *ereignis))
                   : nullptr;
    };
    haeufigkeit_ = liste(instanz.haeufigkeit.aktiv, instanz.haeufigkeit.ereignis);
    serien_ = liste(instanz.serien.aktiv, instanz.serien.ereignis);
    rueckstaendigkeit_ = liste(instanz.rueckstaendigkeit.aktiv, instanz.rueckstaendigkeit.ereignis);
}

bool Startpruefung::pruefen(std::size_t aktuell) const {
    if (aktuell >= strecke_.size() || folge_.letzteFolgeBis(aktuell) != static_cast<Pos>(aktuell)) {
        return false;
    }
    const Pruefstelle stelle{strecke_, aktuell, uebergreifend_};
    const int n = static_cast<int>(instanz_.folge.size());
    const Instanz& i = instanz_;
    if (i.haeufigkeit.aktiv &&
        !(zaehlfelder(i.haeufigkeit) &&
          haeufigkeit(stelle, i.haeufigkeit, n, Listenquelle{*haeufigkeit_}))) {
        return false;
    }
    if (i.serien.aktiv &&
        !(serienfelder(i.serien) && serien(stelle, i.serien, n, Listenquelle{*serien_}))) {
        return false;
    }
    if (i.rueckstaendigkeit.aktiv &&
        !(zaehlfelder(i.rueckstaendigkeit) &&
          rueckstaendigkeit(stelle, i.rueckstaendigkeit, n, Listenquelle{*rueckstaendigkeit_}))) {
        return false;
    }
    return !i.historie.aktiv || Ereignisfolge_Historie_Pruefen(stelle, i, folge_);
}

}  // namespace spinalyst::systems
