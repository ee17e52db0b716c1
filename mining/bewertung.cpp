#include "mining/bewertung.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <limits>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <unordered_map>

#include "systems/startpruefung.h"

namespace spinalyst::mining {

namespace {

constexpr int kZahlen = kern::kHoechsteZahl + 1;

std::optional<std::size_t> chancenIndex(int chance) {
    for (std::size_t i = 0; i < kChancen.size(); ++i) {
        if (kChancen[i] == chance) {
            return i;
        }
    }
    return std::nullopt;
}

// The system's filter of one kind with the combination's event, negation and on/off in it.
bool filterHaelt(std::span<const kern::Coup> bereich, std::size_t aktuell, Filterart art,
                 const Filterstellung& stellung, const Parameter& p,
                 const kern::Ereigniskatalog& katalog) {
    if (!stellung.aktiv) {
        return true;
    }
    const systems::Pruefstelle stelle{bereich, aktuell, p.uebergreifend};
    const int folgenlaenge = static_cast<int>(p.instanz.folge.size());
    switch (art) {
        case Filterart::Haeufigkeit: {
            systems::Zaehlfilter f = p.instanz.haeufigkeit;
            f.ereignis = stellung.ereignis;
            f.ungleich = stellung.ungleich;
            f.aktiv = true;
            return systems::Haeufigkeit_Filter_Pruefen(stelle, f, folgenlaenge, katalog);
        }
        case Filterart::Serien: {
            systems::Serienfilter f = p.instanz.serien;
            f.ereignis = stellung.ereignis;
            f.ungleich = stellung.ungleich;
            f.aktiv = true;
            return systems::Serien_Filter_Pruefen(stelle, f, folgenlaenge, katalog);
        }
        case Filterart::Rueckstaendigkeit: {
            systems::Zaehlfilter f = p.instanz.rueckstaendigkeit;
            f.ereignis = stellung.ereignis;
            f.ungleich = stellung.ungleich;
            f.aktiv = true;
            return systems::Rueckstaendigkeit_Filter_Pruefen(stelle, f, folgenlaenge, katalog);
        }
    }
    return false;
}

std::uint64_t maske(const kern::Ereigniskatalog& katalog, int ereignis) {
    const kern::Ereignis* e = katalog.finden(ereignis);
    return e == nullptr ? 0 : e->zahlen;
}

bool trifft(std::uint64_t maske, const kern::Coup& coup) {
    return ((maske >> coup.zahlOderNull()) & 1u) != 0;
}

}  // namespace

std::optional<std::size_t> Auszahlungen::index(int chance, char art, int laenge) {
    const std::optional<std::size_t> klasse = chancenIndex(chance);
    std::size_t a = 0;
    switch (art) {
        case 'E':
            a = 0;
            break;
        case 'K':
            a = 1;
            break;
        case 'P':
            a = 2;
            break;
        default:
            return std::nullopt;
    }
    if (!klasse || laenge < 1 || laenge > kAngriffslaengeMax) {
        return std::nullopt;
    }
    return (*klasse * 3 + a) * kAngriffslaengeMax + static_cast<std::size_t>(laenge - 1);
}

void Auszahlungen::setzen(int chance, char art, int laenge, Auszahlung auszahlung) {
    if (const auto i = index(chance, art, laenge)) {
        zeilen_[*i] = auszahlung;
    }
}

const Auszahlung* Auszahlungen::finden(int chance, char art, int laenge) const {
    const auto i = index(chance, art, laenge);
    return i && zeilen_[*i] ? &*zeilen_[*i] : nullptr;
}

int Angriff_Gewinn_Verlust(const Auszahlungen& auszahlungen, char art, int ereignis, bool erfolg,
                           int laenge) {
    const std::optional<int> chance = Chance_Des_Ereignisses(ereignis);
    if (!chance) {
        return 0;
    }
    const Auszahlung* a = auszahlungen.finden(*chance, art == '1' ? 'K' : art, laenge);
    if (a == nullptr) {
        return 0;
    }
    return erfolg ? a->gewinn : -a->verlust;
}

std::optional<Angriffsergebnis> Angriff_Auswerten(std::span<const kern::Coup> bereich,
                                                  std::size_t start, char art, int ereignis,
                                                  int laenge, bool uebergreifend,
                                                  const kern::Ereigniskatalog& katalog,
                                                  const Auszahlungen& auszahlungen) {
    if (start >= bereich.size() || laenge < 1) {
        return std::nullopt;
    }
    // The k-th coup from the first (k = 0: the first) exists and may be played.
    const auto spielbar = [&](int k) {
        const std::size_t p = start + static_cast<std::size_t>(k);
        return p < bereich.size() && (uebergreifend || bereich[p].tag == bereich[start].tag);
    };
    const auto treffer = [&](int k) {
        return katalog.enthaelt(ereignis,
                                bereich[start + static_cast<std::size_t>(k)].zahlOderNull());
    };
    const auto ergebnis = [&](bool erfolg) {
        return Angriffsergebnis{
            erfolg, Angriff_Gewinn_Verlust(auszahlungen, art, ereignis, erfolg, laenge)};
    };
    switch (art) {
        case '1':
            if (!spielbar(laenge - 1)) {
                return std::nullopt;
            }
            return ergebnis(treffer(laenge - 1));
        case 'E':
            for (int k = 0; k < laenge; ++k) {
                if (!spielbar(k)) {
                    return std::nullopt;
                }
                if (treffer(k)) {
                    return ergebnis(true);
                }
            }
            return ergebnis(false);
        case 'P':
            for (int k = 0; k < laenge; ++k) {
                if (!spielbar(k)) {
                    return std::nullopt;
                }
                if (!treffer(k)) {
                    return ergebnis(false);
                }
            }
            return ergebnis(true);
        case 'K': {
            int summe = 0;
            for (int k = 0; k < laenge; ++k) {
                if (!spielbar(k)) {
                    return std::nullopt;
                }
                summe += Angriff_Gewinn_Verlust(auszahlungen, 'K', ereignis, treffer(k), laenge);
            }
            return Angriffsergebnis{summe > 0, summe};
        }
        default:
            return std::nullopt;
    }
}

bool HSR_Kombination_Pruefen(std::span<const kern::Coup> bereich, std::size_t aktuell,
                             const HSR_Kombination& kombination, const Parameter& p,
                             const kern::Ereigniskatalog& katalog) {
    for (const Filterart art : kFilterarten) {
        if (!filterHaelt(bereich, aktuell, art, kombination.stellung(art), p, katalog)) {
            return false;
        }
    }
    return true;
}

bool Folge_Pruefen(std::span<const kern::Coup> bereich, std::size_t aktuell, const Folge& folge,
                   const kern::Ereigniskatalog& katalog) {
    for (std::size_t k = 0; k < folge.codes.size(); ++k) {
        const int code = folge.codes[k];
        if (code == 0) {
            break;
        }
        if (aktuell < k + 1 || aktuell >= bereich.size()) {
            return false;
        }
        const int zahl = bereich[aktuell - k - 1].zahlOderNull();
        const bool treffer = katalog.enthaelt(code < 100 ? code : code - 100, zahl);
        if (treffer != (code < 100)) {
            return false;
        }
    }
    return true;
}

std::vector<Kandidat> Kandidaten_Bilden(const Parameter& p) {
    std::vector<Kandidat> kandidaten;
    for (const char art : kAngriffsarten) {
        for (int e = 1; e <= kHoechstesAngriffsereignis; ++e) {
            const std::optional<std::size_t> klasse = chancenIndex(*Chance_Des_Ereignisses(e));
            if (!klasse || !p.chancen[*klasse]) {
                continue;
            }
            for (int j = 1; j <= kAngriffslaengeMax; ++j) {
                kandidaten.push_back({art, e, j});
            }
        }
    }
    return kandidaten;
}

double Ergebniszeile::prozent() const {
    return anzahl == 0 ? 0.0 : static_cast<double>(anzahlOk) * 100.0 / static_cast<double>(anzahl);
}

std::string Ergebniszeile::prozentText(char dezimaltrenner) const {
    char puffer[32];
    std::snprintf(puffer, sizeof puffer, "%.1f%%", prozent());
    std::string text(puffer);
    std::replace(text.begin(), text.end(), '.', dezimaltrenner);
    return text;
}

void Ergebnis_Addieren(Ergebniszeile& zeile, bool erfolg, std::int64_t gewinnVerlust) {
    ++zeile.anzahl;
    zeile.anzahlOk += erfolg ? 1 : 0;
    zeile.gewinnVerlust += gewinnVerlust;
}

bool Ergebnis_Vor(const Ergebniszeile& a, const Ergebniszeile& b) {
    const auto rang = [](char art) {
        return std::find(kAngriffsarten.begin(), kAngriffsarten.end(), art) -
               kAngriffsarten.begin();
    };
    if (a.idHsr != b.idHsr) {
        return a.idHsr < b.idHsr;
    }
    if (a.idFolge != b.idFolge) {
        return a.idFolge < b.idFolge;
    }
    if (a.art != b.art) {
        return rang(a.art) < rang(b.art);
    }
    if (a.ereignis != b.ereignis) {
        return a.ereignis < b.ereignis;
    }
    return a.angriff < b.angriff;
}

void Zusammenfassung_Zaehlen(std::span<const kern::Coup> bereich, Bewertung& bewertung) {
    bewertung.tage = 1;
    bewertung.coups = 1 + static_cast<std::int64_t>(bereich.size());
    for (std::size_t t = 1; t < bereich.size(); ++t) {
        if (bereich[t].tag != bereich[t - 1].tag) {
            ++bewertung.tage;
        }
    }
}

namespace {

// The sequences as an odometer: every sequence has the same length L, and position k takes one
// of the same R codes, position 1 the slowest, so sequence i has digit (i / R^(L-1-k)) mod R at
// position k.
struct Folgenraster {
    std::size_t laenge = 0;
    std::size_t basis = 0;
    std::vector<int> codes;  // the R codes of a position, in order
    // Per number: the digits (positions in `codes`) whose code that number meets.
    std::array<std::vector<std::uint32_t>, kZahlen> passend;
    // Per digit: the numbers that meet its code.
    std::vector<std::vector<std::uint32_t>> zahlenJe;
    // Per digit of a code "<>e" whose code "e" is a digit too: that digit (every number meets
    // exactly one of the two), otherwise -1; and the other way round.
    std::vector<int> positivVon;
    std::vector<int> negativVon;
};

Folgenraster folgenraster(std::span<const Folge> folgen, const kern::Ereigniskatalog& katalog) {
    Folgenraster r;
    if (folgen.empty()) {
        return r;
    }
    while (r.laenge < folgen[0].codes.size() && folgen[0].codes[r.laenge] != 0) {
        ++r.laenge;
    }
    if (r.laenge == 0) {
        throw std::invalid_argument("sequences without positions");
    }
    // The last position runs fastest: its codes are those of the first sequences until position
    // L - 1 changes.
    for (std::size_t i = 0; i < folgen.size(); ++i) {
        if (i > 0 && (r.laenge == 1 ? false
                                    : !std::equal(folgen[i].codes.begin(),
                                                  folgen[i].codes.begin() +
                                                      static_cast<std::ptrdiff_t>(r.laenge - 1),
                                                  folgen[0].codes.begin()))) {
            break;
        }
        r.codes.push_back(folgen[i].codes[r.laenge - 1]);
    }
    r.basis = r.codes.size();
    std::size_t anzahl = 1;
    for (std::size_t k = 0; k < r.laenge; ++k) {
        anzahl *= r.basis;
    }
    if (anzahl != folgen.size()) {
        throw std::invalid_argument("sequences not in the order they are built in");
    }
    for (std::size_t i = 0; i < folgen.size(); ++i) {
        std::size_t rest = i;
        for (std::size_t k = r.laenge; k-- > 0;) {
            if (folgen[i].codes[k] != r.codes[rest % r.basis]) {
                throw std::invalid_argument("sequences not in the order they are built in");
            }
            rest /= r.basis;
        }
    }
    for (int z = 0; z < kZahlen; ++z) {
        for (std::size_t d = 0; d < r.codes.size(); ++d) {
            const int code = r.codes[d];
            const bool treffer = katalog.enthaelt(code < 100 ? code : code - 100, z);
            if (treffer == (code < 100)) {
                r.passend[static_cast<std::size_t>(z)].push_back(static_cast<std::uint32_t>(d));
            }
        }
    }
    r.zahlenJe.resize(r.basis);
    for (int z = 0; z < kZahlen; ++z) {
        for (const std::uint32_t d : r.passend[static_cast<std::size_t>(z)]) {
            r.zahlenJe[d].push_back(static_cast<std::uint32_t>(z));
        }
    }
    r.positivVon.assign(r.basis, -1);
    r.negativVon.assign(r.basis, -1);
    for (std::size_t d = 0; d < r.basis; ++d) {
        if (r.codes[d] < 100 || r.positivVon[d] >= 0) {
            continue;
        }
        for (std::size_t q = 0; q < r.basis; ++q) {
            if (r.codes[q] == r.codes[d] - 100 && r.negativVon[q] < 0) {
                r.positivVon[d] = static_cast<int>(q);
                r.negativVon[q] = static_cast<int>(d);
                break;
            }
        }
    }
    return r;
}

// Calls `f` with the index of every sequence the numbers before the coup meet (`zahlen[k]`: the
// number k + 1 coups before); from position `ab` on only, the positions before it counted as
// digit 0.
template <class F>
void passendeFolgen(const Folgenraster& r, const std::array<int, 5>& zahlen, F&& f,
                    std::size_t ab = 0) {
    std::array<const std::vector<std::uint32_t>*, 5> listen{};
    for (std::size_t k = ab; k < r.laenge; ++k) {
        listen[k] = &r.passend[static_cast<std::size_t>(zahlen[k])];
        if (listen[k]->empty()) {
            return;
        }
    }
    std::array<std::size_t, 5> stelle{};
    while (true) {
        std::size_t index = 0;
        for (std::size_t k = ab; k < r.laenge; ++k) {
            index = index * r.basis + (*listen[k])[stelle[k]];
        }
        f(index);
        std::size_t k = r.laenge;
        while (k > ab && ++stelle[k - 1] == listen[k - 1]->size()) {
            stelle[k - 1] = 0;
            --k;
        }
        if (k == ab) {
            return;
        }
    }
}

// Sums of attacks per candidate, in blocks of `breite` values. The sums per pattern: 3 C, the
// counts, the successes, the wins/losses, 64-bit. The working sums of a thread: 2 C, the count
// and the successes of a candidate in one value (count + 65536 * successes: both below 65536 as
// the sums are handed on after at most kCoupsJePaket coups), and the wins/losses; 32-bit (less
// memory to stream through per coup) and handed on before they could overflow.
template <class T>
class Summenblock {
  public:
    explicit Summenblock(std::size_t breite) : b_(breite) {}

    std::size_t bytesJeBlock() const { return b_ * sizeof(T); }
    std::size_t size() const { return index_.size(); }

    T* block(std::uint64_t schluessel) {
        const auto [it, neu] = index_.try_emplace(schluessel, index_.size());
        if (neu) {
            // The blocks lie in pieces of kJeStueck that never move: a new block is never a
            // copy of those before it.
            if (it->second / kJeStueck == stuecke_.size()) {
                stuecke_.push_back(std::make_unique_for_overwrite<T[]>(kJeStueck * b_));
            }
            std::fill_n(adresse(it->second), b_, T{0});
        }
        return adresse(it->second);
    }
    const T* finden(std::uint64_t schluessel) const {
        const auto it = index_.find(schluessel);
        return it == index_.end() ? nullptr : adresse(it->second);
    }
    // Empties the sums; the pieces stay for the next blocks (zeroed as they are taken again).
    void leeren() { index_.clear(); }
    template <class F>
    void durchlaufen(F&& f) const {
        for (const auto& [schluessel, i] : index_) {
            f(schluessel, adresse(i));
        }
    }

  private:
    static constexpr std::size_t kJeStueck = 64;

    T* adresse(std::size_t i) const { return stuecke_[i / kJeStueck].get() + (i % kJeStueck) * b_; }

    std::size_t b_;
    std::unordered_map<std::uint64_t, std::size_t> index_;
    std::vector<std::unique_ptr<T[]>> stuecke_;
};

// Coups summed at most before the working sums are handed on (their counts stay below 65536).
constexpr std::int64_t kCoupsJePaket = 32767;
constexpr std::int64_t kZaehlerOk = 65536;

template <class T, class U>
void addieren(T* __restrict ziel, const U* __restrict quelle, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        ziel[i] += quelle[i];
    }
}

}  // namespace

namespace {

// The events (positions in the list of attacked events) one thread scores: [von, bis).
struct Anteil {
    std::size_t von = 0;
    std::size_t bis = 0;
};

// How the coups are handed from the first thread, which calls the progress and stops the run,
// to the others: they may score coup t once t < freigegeben; the high bit marks the final count.
class Freigabe {
  public:
    static constexpr std::size_t kEnde = std::size_t{1} << (sizeof(std::size_t) * 8 - 1);

    void freigeben(std::size_t coups, bool ende) {
        stand_.store(coups | (ende ? kEnde : 0), std::memory_order_release);
        stand_.notify_all();
    }
    // Waits until coup t may be scored; false when the run ended before it.
    bool abwarten(std::size_t t) {
        while (true) {
            const std::size_t s = stand_.load(std::memory_order_acquire);
            if (t < (s & ~kEnde)) {
                return true;
            }
            if ((s & kEnde) != 0) {
                return false;
            }
            stand_.wait(s, std::memory_order_acquire);
        }
    }

  private:
    std::atomic<std::size_t> stand_{0};
};

}  // namespace

Bewertung Bewerten(const Bewertungsauftrag& auftrag) {
    const Parameter& p = *auftrag.parameter;
    const kern::Ereigniskatalog& katalog = *auftrag.katalog;
    const Auszahlungen& auszahlungen = *auftrag.auszahlungen;
    const std::span<const kern::Coup> bereich = auftrag.bereich;
    const std::span<const HSR_Kombination> kombinationen = auftrag.kombinationen;
    const std::span<const Folge> folgen = auftrag.folgen;

    Bewertung bewertung;
    bewertung.folgeAnzahl.assign(folgen.size(), 0);
    if (folgen.empty()) {
        // Nothing to score: the coups are only walked.
        std::size_t erledigt = 0;
        while (erledigt < bereich.size()) {
            ++erledigt;
            if (auftrag.nachCoup && auftrag.nachCoup(erledigt)) {
                break;
            }
        }
        Zusammenfassung_Zaehlen(bereich.first(erledigt), bewertung);
        return bewertung;
    }
    const Folgenraster raster = folgenraster(folgen, katalog);
    const std::size_t L = raster.laenge;

    // The attacked events.
    std::vector<int> ereignisse;
    for (int e = 1; e <= kHoechstesAngriffsereignis; ++e) {
        const std::optional<std::size_t> klasse = chancenIndex(*Chance_Des_Ereignisses(e));
        if (klasse && p.chancen[*klasse]) {
            ereignisse.push_back(e);
        }
    }
    const std::size_t nE = ereignisse.size();
    const std::size_t J = kAngriffslaengeMax;
    const std::size_t aK = 2;  // position of "K" in kAngriffsarten

    // The threads and the events each scores: as many as asked (automatic: both cores on a range
    // worth it), never more than there are events. Worth it: a coup's share of each thread is
    // much more than handing the coup from one thread to the other costs (a few of the simple
    // chances alone are scored faster by one thread).
    std::size_t faeden = auftrag.faeden;
    if (faeden == 0) {
        const unsigned kerne = std::thread::hardware_concurrency();
        faeden = bereich.size() >= 64 && nE >= 32 ? std::clamp<std::size_t>(kerne, 1, 2) : 1;
    }
    faeden = std::max<std::size_t>(1, std::min(faeden, nE));
    std::vector<Anteil> anteile(faeden);
    for (std::size_t f = 0; f < faeden; ++f) {
        anteile[f] = {nE * f / faeden, nE * (f + 1) / faeden};
    }

    // The distinct filter settings of the combinations, each checked once per coup.
    struct Einstellung {
        Filterart art;
        Filterstellung stellung;
    };
    std::vector<Einstellung> einstellungen;
    std::vector<std::array<int, 3>> verwendet(kombinationen.size());
    for (std::size_t h = 0; h < kombinationen.size(); ++h) {
        for (const Filterart art : kFilterarten) {
            const Filterstellung& s = kombinationen[h].stellung(art);
            int index = -1;
            if (s.aktiv) {
                for (std::size_t x = 0; x < einstellungen.size(); ++x) {
                    if (einstellungen[x].art == art && einstellungen[x].stellung == s) {
                        index = static_cast<int>(x);
                    }
                }
                if (index < 0) {
                    index = static_cast<int>(einstellungen.size());
                    einstellungen.push_back({art, s});
                }
            }
            verwendet[h][static_cast<std::size_t>(art)] = index;
        }
    }

    // How many coups from each coup an attack may play: up to the end of the range and, without
    // days overlapping, of the day.
    const std::size_t N = bereich.size();
    std::vector<std::size_t> spielbar(N);
    {
        std::size_t ende = N;
        for (std::size_t t = N; t-- > 0;) {
            if (!p.uebergreifend && t + 1 < N && bereich[t + 1].tag != bereich[t].tag) {
                ende = t + 1;
            }
            spielbar[t] = std::min(J, ende - t);
        }
    }

    std::uint64_t zahlenRaum = 1;
    for (std::size_t k = 0; k < L; ++k) {
        zahlenRaum *= kZahlen;
    }
    const auto zahlenVon = [&](std::uint64_t u) {
        std::array<int, 5> zahlen{};
        for (std::size_t k = 0; k < L; ++k) {
            zahlen[k] = static_cast<int>(u % kZahlen);
            u /= kZahlen;
        }
        return zahlen;
    };
    // The numbers of the coups before coup t, the nearest first, as one key.
    const auto zahlenVor = [&](std::size_t t) {
        std::uint64_t u = 0;
        for (std::size_t k = L; k-- > 0;) {
            u = u * kZahlen + static_cast<std::uint64_t>(bereich[t - 1 - k].zahlOderNull());
        }
        return u;
    };

    // One thread's share: the candidates of its events, in kind, event, length order. Scores coup
    // by coup while `weiter` lets it; its sums per (combination, sequence) end in `ergebnis`.
    struct Teil {
        explicit Teil(std::size_t c) : ergebnis(3 * c) {}
        Summenblock<std::int64_t> ergebnis;
    };
    const std::size_t arbeitsspeicher = auftrag.arbeitsspeicher / faeden;
    std::vector<std::unique_ptr<Teil>> teile;
    const auto bewertenMit = [&](auto typ, std::size_t f, Teil& teil, const auto& weiter) {
        using T = decltype(typ);
        const std::size_t e0 = anteile[f].von;
        const std::size_t nEt = anteile[f].bis - e0;
        const std::size_t C = kAngriffsarten.size() * nEt * J;
        // Per kind, event and length: the amount on success and on failure.
        std::vector<std::int64_t> gewinn(C);
        std::vector<std::int64_t> verlust(C);
        std::vector<std::uint64_t> masken(nEt);
        for (std::size_t a = 0; a < kAngriffsarten.size(); ++a) {
            for (std::size_t i = 0; i < nEt; ++i) {
                const int e = ereignisse[e0 + i];
                masken[i] = maske(katalog, e);
                for (std::size_t j = 1; j <= J; ++j) {
                    const std::size_t c = (a * nEt + i) * J + j - 1;
                    const char art = kAngriffsarten[a] == '1' ? 'K' : kAngriffsarten[a];
                    gewinn[c] =
                        Angriff_Gewinn_Verlust(auszahlungen, art, e, true, static_cast<int>(j));
                    verlust[c] =
                        Angriff_Gewinn_Verlust(auszahlungen, art, e, false, static_cast<int>(j));
                }
            }
        }
        // The largest amount one coup adds to a working sum; the sums are handed on before
        // another coup could take them beyond T.
        std::int64_t groesste = 1;
        for (std::size_t c = 0; c < C; ++c) {
            groesste = std::max({groesste, std::abs(gewinn[c]), std::abs(verlust[c])});
        }
        groesste *= static_cast<std::int64_t>(J);
        const std::int64_t coupsBisVoll =
            std::min(kCoupsJePaket, std::numeric_limits<T>::max() / groesste);
        std::int64_t coupsInArbeit = 0;
        Summenblock<T> arbeit(2 * C);
        // The sets of combinations met so far: per set, one flag per combination.
        std::unordered_map<std::string, std::uint64_t> mengenIndex;
        std::vector<char> mengen;
        std::string menge(kombinationen.size(), '\0');
        // The working sums go to the sequences in groups of the same combination and numbers
        // before but the nearest: per digit of position 1 the sums of the numbers that meet its
        // code, a code "<>e" as the total of the group minus the sum of code "e".
        std::vector<std::pair<std::uint64_t, const T*>> arbeitsschluessel;
        std::vector<std::int64_t> gesamt(2 * C);
        std::vector<std::int64_t> positiv(2 * C);
        std::vector<std::int64_t> negativ(2 * C);
        std::vector<std::size_t> ziele;
        std::vector<std::size_t> treffendeZahlen(raster.basis);
        std::size_t hoch = 1;
        for (std::size_t k = 1; k < L; ++k) {
            hoch *= raster.basis;
        }
        const std::uint64_t gruppenRaum = zahlenRaum / kZahlen;
        const auto abgebenAus = [&](const Summenblock<T>& quelle) {
            arbeitsschluessel.clear();
            quelle.durchlaufen([&](std::uint64_t schluessel, const T* summen) {
                arbeitsschluessel.emplace_back(schluessel, summen);
            });
            std::sort(arbeitsschluessel.begin(), arbeitsschluessel.end());
            for (std::size_t g = 0; g < arbeitsschluessel.size();) {
                const std::uint64_t gruppe = arbeitsschluessel[g].first / kZahlen;
                std::array<const T*, kZahlen> je{};
                std::size_t e = g;
                for (;
                     e < arbeitsschluessel.size() && arbeitsschluessel[e].first / kZahlen == gruppe;
                     ++e) {
                    je[arbeitsschluessel[e].first % kZahlen] = arbeitsschluessel[e].second;
                }
                const std::uint64_t h = gruppe / gruppenRaum;
                const std::array<int, 5> zahlen =
                    zahlenVon(arbeitsschluessel[g].first % zahlenRaum);
                g = e;
                ziele.clear();
                passendeFolgen(
                    raster, zahlen, [&](std::size_t r) { ziele.push_back(r); }, 1);
                if (ziele.empty()) {
                    continue;
                }
                std::fill(treffendeZahlen.begin(), treffendeZahlen.end(), 0);
                std::fill(gesamt.begin(), gesamt.end(), 0);
                for (std::size_t z = 0; z < kZahlen; ++z) {
                    if (je[z] == nullptr) {
                        continue;
                    }
                    addieren(gesamt.data(), je[z], 2 * C);
                    for (const std::uint32_t d : raster.passend[z]) {
                        ++treffendeZahlen[d];
                    }
                }
                const auto abgeben = [&](std::size_t d, const std::int64_t* summen) {
                    for (const std::size_t r : ziele) {
                        std::int64_t* ziel = teil.ergebnis.block(h * folgen.size() + d * hoch + r);
                        for (std::size_t c = 0; c < C; ++c) {
                            ziel[c] += summen[c] % kZaehlerOk;
                            ziel[C + c] += summen[c] / kZaehlerOk;
                        }
                        addieren(ziel + 2 * C, summen + C, C);
                    }
                };
                for (std::size_t d = 0; d < raster.basis; ++d) {
                    if (raster.positivVon[d] >= 0) {
                        continue;  // from its code "e"
                    }
                    const int n = raster.negativVon[d];
                    const bool negativGebraucht =
                        n >= 0 && treffendeZahlen[static_cast<std::size_t>(n)] > 0;
                    if (treffendeZahlen[d] == 0) {
                        // No number of the group meets code "e": "<>e" takes the whole group.
                        if (negativGebraucht) {
                            abgeben(static_cast<std::size_t>(n), gesamt.data());
                        }
                        continue;
                    }
                    std::fill(positiv.begin(), positiv.end(), 0);
                    for (const std::uint32_t z : raster.zahlenJe[d]) {
                        if (je[z] != nullptr) {
                            addieren(positiv.data(), je[z], 2 * C);
                        }
                    }
                    abgeben(d, positiv.data());
                    if (negativGebraucht) {
                        for (std::size_t i = 0; i < 2 * C; ++i) {
                            negativ[i] = gesamt[i] - positiv[i];
                        }
                        abgeben(static_cast<std::size_t>(n), negativ.data());
                    }
                }
            }
        };
        // The working sums are kept per set of combinations that hold together (and numbers
        // before): each coup is added once, and handed on to each combination of its set here.
        Summenblock<T> jeKombination(2 * C);
        const auto weitergeben = [&] {
            for (std::size_t h = 0; h < kombinationen.size(); ++h) {
                arbeit.durchlaufen([&](std::uint64_t schluessel, const T* summen) {
                    const std::uint64_t m = schluessel / zahlenRaum;
                    if (mengen[m * kombinationen.size() + h] != 0) {
                        addieren(jeKombination.block(h * zahlenRaum + schluessel % zahlenRaum),
                                 summen, 2 * C);
                    }
                });
                if (jeKombination.size() > 0) {
                    abgebenAus(jeKombination);
                    jeKombination.leeren();
                }
            }
            arbeit.leeren();
            coupsInArbeit = 0;
        };

        std::vector<T> ausgang(2 * C);
        std::vector<char> haelt(einstellungen.size());
        for (std::size_t t = 0; t < N && weiter(t); ++t) {
            if (t < L || C == 0) {
                // Too few coups before for any sequence, or nothing attacked.
                continue;
            }
            const std::uint64_t u = zahlenVor(t);

            // The outcome of every candidate started here (every entry written: 0 where the
            // attack does not count).
            T* zaehler = ausgang.data();
            T* gv = zaehler + C;
            const std::size_t n = spielbar[t];
            for (std::size_t i = 0; i < nEt; ++i) {
                std::uint32_t treffer = 0;
                for (std::size_t k = 0; k < n; ++k) {
                    treffer |= (trifft(masken[i], bereich[t + k]) ? 1u : 0u) << k;
                }
                const std::uint32_t fehl = ~treffer & ((1u << n) - 1u);
                const std::size_t ersterTreffer =
                    treffer == 0 ? J + 1 : static_cast<std::size_t>(std::countr_zero(treffer));
                const std::size_t ersterFehl =
                    fehl == 0 ? J + 1 : static_cast<std::size_t>(std::countr_zero(fehl));
                std::int64_t trefferBisJ = 0;
                for (std::size_t j = 1; j <= J; ++j) {
                    const auto setzen = [&](std::size_t a, bool erfolg) {
                        const std::size_t c = (a * nEt + i) * J + j - 1;
                        zaehler[c] = static_cast<T>(erfolg ? 1 + kZaehlerOk : 1);
                        gv[c] = static_cast<T>(erfolg ? gewinn[c] : verlust[c]);
                    };
                    const auto nichts = [&](std::size_t a) {
                        const std::size_t c = (a * nEt + i) * J + j - 1;
                        zaehler[c] = 0;
                        gv[c] = 0;
                    };
                    const bool spielt = n >= j;
                    // "1": the j-th coup alone.
                    if (spielt) {
                        const std::uint32_t bit = (treffer >> (j - 1)) & 1u;
                        trefferBisJ += bit;
                        setzen(0, bit != 0);
                    } else {
                        nichts(0);
                    }
                    // "E": until the first hit.
                    if (ersterTreffer < j) {
                        setzen(1, true);
                    } else if (spielt) {
                        setzen(1, false);
                    } else {
                        nichts(1);
                    }
                    // "K": j coups, each paid on its own.
                    if (spielt) {
                        const std::size_t c = (aK * nEt + i) * J + j - 1;
                        const std::int64_t summe =
                            trefferBisJ * gewinn[c] +
                            (static_cast<std::int64_t>(j) - trefferBisJ) * verlust[c];
                        zaehler[c] = static_cast<T>(summe > 0 ? 1 + kZaehlerOk : 1);
                        gv[c] = static_cast<T>(summe);
                    } else {
                        nichts(aK);
                    }
                    // "P": until the first miss.
                    if (ersterFehl < j) {
                        setzen(3, false);
                    } else if (spielt) {
                        setzen(3, true);
                    } else {
                        nichts(3);
                    }
                }
            }

            // The combinations that hold here.
            for (std::size_t x = 0; x < einstellungen.size(); ++x) {
                haelt[x] = filterHaelt(bereich, t, einstellungen[x].art, einstellungen[x].stellung,
                                       p, katalog)
                               ? 1
                               : 0;
            }
            if (coupsInArbeit >= coupsBisVoll) {
                weitergeben();
            }
            ++coupsInArbeit;
            bool irgendeine = false;
            for (std::size_t h = 0; h < kombinationen.size(); ++h) {
                const bool gilt = std::all_of(verwendet[h].begin(), verwendet[h].end(), [&](int x) {
                    return x < 0 || haelt[static_cast<std::size_t>(x)] != 0;
                });
                menge[h] = gilt ? 1 : 0;
                irgendeine = irgendeine || gilt;
            }
            if (irgendeine) {
                const auto [it, neu] =
                    mengenIndex.try_emplace(menge, mengen.size() / kombinationen.size());
                if (neu) {
                    mengen.insert(mengen.end(), menge.begin(), menge.end());
                }
                addieren(arbeit.block(it->second * zahlenRaum + u), ausgang.data(), 2 * C);
            }
            if (arbeit.size() * arbeit.bytesJeBlock() >= arbeitsspeicher) {
                weitergeben();
            }
        }
        weitergeben();
    };
    // 32-bit working sums unless one coup's amounts come near that range.
    const auto bewerten = [&](std::size_t f, Teil& teil, const auto& weiter) {
        std::int64_t groesste = 0;
        for (const int e : ereignisse) {
            for (const char art : {'E', 'K', 'P'}) {
                for (int j = 1; j <= kAngriffslaengeMax; ++j) {
                    for (const bool erfolg : {true, false}) {
                        groesste = std::max<std::int64_t>(
                            groesste, std::abs(static_cast<std::int64_t>(Angriff_Gewinn_Verlust(
                                          auszahlungen, art, e, erfolg, j))));
                    }
                }
            }
        }
        if (groesste * static_cast<std::int64_t>(J) < (std::int64_t{1} << 24)) {
            bewertenMit(std::int32_t{}, f, teil, weiter);
        } else {
            bewertenMit(std::int64_t{}, f, teil, weiter);
        }
    };
    for (std::size_t f = 0; f < faeden; ++f) {
        teile.push_back(
            std::make_unique<Teil>(kAngriffsarten.size() * (anteile[f].bis - anteile[f].von) * J));
    }

    // The first thread scores its share coup by coup, counts the numbers before each coup (for
    // the sequences' counts), reports the progress and decides where the run stops; the others
    // follow it up to that coup.
    Freigabe freigabe;
    std::vector<std::exception_ptr> fehler(faeden);
    std::vector<std::thread> helfer;
    for (std::size_t f = 1; f < faeden; ++f) {
        helfer.emplace_back([&, f] {
            try {
                bewerten(f, *teile[f], [&](std::size_t t) { return freigabe.abwarten(t); });
            } catch (...) {
                fehler[f] = std::current_exception();
            }
        });
    }
    std::unordered_map<std::uint64_t, std::int64_t> coupsJeZahlen;
    std::size_t erledigt = 0;
    bool halt = false;
    try {
        bewerten(0, *teile[0], [&](std::size_t t) {
            if (t > 0) {
                // Coup t - 1 is complete.
                if (t - 1 >= L) {
                    ++coupsJeZahlen[zahlenVor(t - 1)];
                }
                erledigt = t;
                halt = auftrag.nachCoup && auftrag.nachCoup(erledigt);
                freigabe.freigeben(erledigt, halt);
            }
            return !halt;
        });
        if (!halt && N > 0) {
            // The last coup is complete.
            if (N - 1 >= L) {
                ++coupsJeZahlen[zahlenVor(N - 1)];
            }
            erledigt = N;
            if (auftrag.nachCoup) {
                auftrag.nachCoup(erledigt);
            }
        }
    } catch (...) {
        fehler[0] = std::current_exception();
    }
    freigabe.freigeben(erledigt, true);
    for (std::thread& t : helfer) {
        t.join();
    }
    for (const std::exception_ptr& e : fehler) {
        if (e) {
            std::rethrow_exception(e);
        }
    }
    Zusammenfassung_Zaehlen(bereich.first(erledigt), bewertung);

    for (const auto& [u, coups] : coupsJeZahlen) {
        passendeFolgen(raster, zahlenVon(u),
                       [&](std::size_t s) { bewertung.folgeAnzahl[s] += coups; });
    }

    // The rows, in the order of combination, sequence and candidate (kind, event, length): per
    // kind the events of the first thread's share, then those of the next.
    std::vector<std::uint64_t> schluessel;
    for (const auto& teil : teile) {
        teil->ergebnis.durchlaufen(
            [&](std::uint64_t k, const std::int64_t*) { schluessel.push_back(k); });
    }
    const auto rang = [&](std::uint64_t k) {
        return std::pair(kombinationen[k / folgen.size()].id, k % folgen.size());
    };
    std::sort(schluessel.begin(), schluessel.end(),
              [&](std::uint64_t a, std::uint64_t b) { return rang(a) < rang(b); });
    schluessel.erase(std::unique(schluessel.begin(), schluessel.end()), schluessel.end());
    std::vector<std::vector<const std::int64_t*>> summen(faeden);
    std::size_t zeilen = 0;
    for (std::size_t f = 0; f < faeden; ++f) {
        const std::size_t C = kAngriffsarten.size() * (anteile[f].bis - anteile[f].von) * J;
        summen[f].reserve(schluessel.size());
        for (const std::uint64_t k : schluessel) {
            const std::int64_t* s = teile[f]->ergebnis.finden(k);
            summen[f].push_back(s);
            if (s != nullptr) {
                zeilen += static_cast<std::size_t>(
                    std::count_if(s, s + C, [](std::int64_t a) { return a != 0; }));
            }
        }
    }
    bewertung.zeilen.reserve(zeilen);
    for (std::size_t x = 0; x < schluessel.size(); ++x) {
        const std::size_t h = schluessel[x] / folgen.size();
        const std::size_t s = schluessel[x] % folgen.size();
        for (std::size_t a = 0; a < kAngriffsarten.size(); ++a) {
            for (std::size_t f = 0; f < faeden; ++f) {
                const std::int64_t* block = summen[f][x];
                if (block == nullptr) {
                    continue;
                }
                const std::size_t nEt = anteile[f].bis - anteile[f].von;
                const std::size_t C = kAngriffsarten.size() * nEt * J;
                for (std::size_t i = 0; i < nEt; ++i) {
                    for (std::size_t j = 0; j < J; ++j) {
                        const std::size_t c = (a * nEt + i) * J + j;
                        if (block[c] == 0) {
                            continue;
                        }
                        Ergebniszeile& z = bewertung.zeilen.emplace_back();
                        z.idHsr = kombinationen[h].id;
                        z.idFolge = auftrag.ersteFolgeId + static_cast<std::int64_t>(s);
                        z.art = kAngriffsarten[a];
                        z.ereignis = ereignisse[anteile[f].von + i];
                        z.angriff = static_cast<int>(j) + 1;
                        z.anzahl = block[c];
                        z.anzahlOk = block[C + c];
                        z.gewinnVerlust = block[2 * C + c];
                    }
                }
            }
        }
    }
    return bewertung;
}

}  // namespace spinalyst::mining
