#include "mining/bewertung.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <stdexcept>
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
    return r;
}

// Calls `f` with the index of every sequence the numbers before the coup meet (`zahlen[k]`: the
// number k + 1 coups before).
template <class F>
void passendeFolgen(const Folgenraster& r, const std::array<int, 5>& zahlen, F&& f) {
    std::array<const std::vector<std::uint32_t>*, 5> listen{};
    for (std::size_t k = 0; k < r.laenge; ++k) {
        listen[k] = &r.passend[static_cast<std::size_t>(zahlen[k])];
        if (listen[k]->empty()) {
            return;
        }
    }
    std::array<std::size_t, 5> stelle{};
    while (true) {
        std::size_t index = 0;
        for (std::size_t k = 0; k < r.laenge; ++k) {
            index = index * r.basis + (*listen[k])[stelle[k]];
        }
        f(index);
        std::size_t k = r.laenge;
        while (k > 0 && ++stelle[k - 1] == listen[k - 1]->size()) {
            stelle[k - 1] = 0;
            --k;
        }
        if (k == 0) {
            return;
        }
    }
}

// Sums of attacks per candidate, in blocks of 3 C: the counts, the successes, the wins/losses.
class Summenblock {
  public:
    explicit Summenblock(std::size_t kandidaten) : c_(kandidaten) {}

    std::size_t bytesJeBlock() const { return 3 * c_ * sizeof(std::int64_t); }
    std::size_t size() const { return index_.size(); }

    std::int64_t* block(std::uint64_t schluessel) {
        const auto [it, neu] = index_.try_emplace(schluessel, index_.size());
        if (neu) {
            daten_.resize(daten_.size() + 3 * c_, 0);
        }
        return daten_.data() + it->second * 3 * c_;
    }
    void leeren() {
        index_.clear();
        daten_.clear();
    }
    template <class F>
    void durchlaufen(F&& f) const {
        for (const auto& [schluessel, i] : index_) {
            f(schluessel, daten_.data() + i * 3 * c_);
        }
    }

  private:
    std::size_t c_;
    std::unordered_map<std::uint64_t, std::size_t> index_;
    std::vector<std::int64_t> daten_;
};

void addieren(std::int64_t* ziel, const std::int64_t* quelle, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        ziel[i] += quelle[i];
    }
}

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

    // The attacked events and what their attacks pay.
    std::vector<int> ereignisse;
    for (int e = 1; e <= kHoechstesAngriffsereignis; ++e) {
        const std::optional<std::size_t> klasse = chancenIndex(*Chance_Des_Ereignisses(e));
        if (klasse && p.chancen[*klasse]) {
            ereignisse.push_back(e);
        }
    }
    const std::size_t nE = ereignisse.size();
    const std::size_t J = kAngriffslaengeMax;
    const std::size_t C = kAngriffsarten.size() * nE * J;
    // Per kind, event and length: the amount on success and on failure.
    std::vector<std::int64_t> gewinn(C);
    std::vector<std::int64_t> verlust(C);
    std::vector<std::uint64_t> masken(nE);
    for (std::size_t a = 0; a < kAngriffsarten.size(); ++a) {
        for (std::size_t i = 0; i < nE; ++i) {
            masken[i] = maske(katalog, ereignisse[i]);
            for (std::size_t j = 1; j <= J; ++j) {
                const std::size_t c = (a * nE + i) * J + j - 1;
                const char art = kAngriffsarten[a] == '1' ? 'K' : kAngriffsarten[a];
                gewinn[c] = Angriff_Gewinn_Verlust(auszahlungen, art, ereignisse[i], true,
                                                   static_cast<int>(j));
                verlust[c] = Angriff_Gewinn_Verlust(auszahlungen, art, ereignisse[i], false,
                                                    static_cast<int>(j));
            }
        }
    }
    const std::size_t aK = 2;  // position of "K" in kAngriffsarten

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

    // Sums per (combination, numbers before the coup), and per (combination, sequence).
    Summenblock arbeit(C);
    Summenblock ergebnis(C);
    std::unordered_map<std::uint64_t, std::int64_t> coupsJeZahlen;
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
    const auto weitergeben = [&] {
        arbeit.durchlaufen([&](std::uint64_t schluessel, const std::int64_t* summen) {
            const std::uint64_t h = schluessel / zahlenRaum;
            passendeFolgen(raster, zahlenVon(schluessel % zahlenRaum), [&](std::size_t s) {
                addieren(ergebnis.block(h * folgen.size() + s), summen, 3 * C);
            });
        });
        arbeit.leeren();
    };

    std::vector<std::int64_t> ausgang(3 * C);
    std::vector<char> haelt(einstellungen.size());
    std::size_t erledigt = 0;
    const auto fertig = [&] {
        ++erledigt;
        return auftrag.nachCoup && auftrag.nachCoup(erledigt);
    };
    for (std::size_t t = 0; t < N; ++t) {
        if (t < L) {
            // Too few coups before for any sequence.
            if (fertig()) {
                break;
            }
            continue;
        }
        // The numbers of the coups before, the nearest first.
        std::uint64_t u = 0;
        for (std::size_t k = L; k-- > 0;) {
            u = u * kZahlen + static_cast<std::uint64_t>(bereich[t - 1 - k].zahlOderNull());
        }
        ++coupsJeZahlen[u];
        if (C == 0) {
            if (fertig()) {
                break;
            }
            continue;
        }

        // The outcome of every candidate started here.
        std::fill(ausgang.begin(), ausgang.end(), 0);
        std::int64_t* anzahl = ausgang.data();
        std::int64_t* ok = anzahl + C;
        std::int64_t* gv = ok + C;
        const std::size_t n = spielbar[t];
        for (std::size_t i = 0; i < nE; ++i) {
            std::uint32_t treffer = 0;
            for (std::size_t k = 0; k < n; ++k) {
                treffer |= (trifft(masken[i], bereich[t + k]) ? 1u : 0u) << k;
            }
            const std::uint32_t fehl = ~treffer & ((1u << n) - 1u);
            const std::size_t ersterTreffer =
                treffer == 0 ? J + 1 : static_cast<std::size_t>(std::countr_zero(treffer));
            const std::size_t ersterFehl =
                fehl == 0 ? J + 1 : static_cast<std::size_t>(std::countr_zero(fehl));
            for (std::size_t j = 1; j <= J; ++j) {
                const auto setzen = [&](std::size_t a, bool erfolg) {
                    const std::size_t c = (a * nE + i) * J + j - 1;
                    anzahl[c] = 1;
                    ok[c] = erfolg ? 1 : 0;
                    gv[c] = erfolg ? gewinn[c] : verlust[c];
                };
                // "1": the j-th coup alone.
                if (n >= j) {
                    setzen(0, ((treffer >> (j - 1)) & 1u) != 0);
                }
                // "E": until the first hit.
                if (ersterTreffer < j) {
                    setzen(1, true);
                } else if (n >= j) {
                    setzen(1, false);
                }
                // "K": j coups, each paid on its own.
                if (n >= j) {
                    const std::size_t c = (aK * nE + i) * J + j - 1;
                    const auto treffer_j =
                        static_cast<std::int64_t>(std::popcount(treffer & ((1u << j) - 1u)));
                    const std::int64_t summe =
                        treffer_j * gewinn[c] +
                        (static_cast<std::int64_t>(j) - treffer_j) * verlust[c];
                    anzahl[c] = 1;
                    ok[c] = summe > 0 ? 1 : 0;
                    gv[c] = summe;
                }
                // "P": until the first miss.
                if (ersterFehl < j) {
                    setzen(3, false);
                } else if (n >= j) {
                    setzen(3, true);
                }
            }
        }

        // The combinations that hold here.
        for (std::size_t x = 0; x < einstellungen.size(); ++x) {
            haelt[x] =
                filterHaelt(bereich, t, einstellungen[x].art, einstellungen[x].stellung, p, katalog)
                    ? 1
                    : 0;
        }
        for (std::size_t h = 0; h < kombinationen.size(); ++h) {
            const bool gilt = std::all_of(verwendet[h].begin(), verwendet[h].end(), [&](int x) {
                return x < 0 || haelt[static_cast<std::size_t>(x)] != 0;
            });
            if (gilt) {
                addieren(arbeit.block(h * zahlenRaum + u), ausgang.data(), 3 * C);
            }
        }
        if (arbeit.size() * arbeit.bytesJeBlock() >= auftrag.arbeitsspeicher) {
            weitergeben();
        }
        if (fertig()) {
            break;
        }
    }
    weitergeben();
    Zusammenfassung_Zaehlen(bereich.first(erledigt), bewertung);

    for (const auto& [u, coups] : coupsJeZahlen) {
        passendeFolgen(raster, zahlenVon(u),
                       [&](std::size_t s) { bewertung.folgeAnzahl[s] += coups; });
    }

    // The rows, in the order of combination, sequence and candidate.
    std::vector<std::pair<std::uint64_t, const std::int64_t*>> bloecke;
    ergebnis.durchlaufen([&](std::uint64_t schluessel, const std::int64_t* summen) {
        bloecke.emplace_back(schluessel, summen);
    });
    const auto rang = [&](std::uint64_t schluessel) {
        return std::pair(kombinationen[schluessel / folgen.size()].id, schluessel % folgen.size());
    };
    std::sort(bloecke.begin(), bloecke.end(),
              [&](const auto& a, const auto& b) { return rang(a.first) < rang(b.first); });
    for (const auto& [schluessel, summen] : bloecke) {
        const std::size_t h = schluessel / folgen.size();
        const std::size_t s = schluessel % folgen.size();
        for (std::size_t c = 0; c < C; ++c) {
            if (summen[c] == 0) {
                continue;
            }
            Ergebniszeile z;
            z.idHsr = kombinationen[h].id;
            z.idFolge = auftrag.ersteFolgeId + static_cast<std::int64_t>(s);
            z.art = kAngriffsarten[c / (nE * J)];
            z.ereignis = ereignisse[(c / J) % nE];
            z.angriff = static_cast<int>(c % J) + 1;
            z.anzahl = summen[c];
            z.anzahlOk = summen[C + c];
            z.gewinnVerlust = summen[2 * C + c];
            bewertung.zeilen.push_back(z);
        }
    }
    return bewertung;
}

}  // namespace spinalyst::mining
