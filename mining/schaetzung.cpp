#include "mining/schaetzung.h"

#include <algorithm>
#include <array>
#include <cfenv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>
#include <system_error>

#include "mining/bewertung.h"
#include "mining/kandidaten.h"

namespace spinalyst::mining {

namespace {

constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();

std::uint64_t mal(std::uint64_t a, std::uint64_t b) {
    if (a != 0 && b > kMax / a) {
        return kMax;
    }
    return a * b;
}

std::uint64_t plus(std::uint64_t a, std::uint64_t b) {
    return b > kMax - a ? kMax : a + b;
}

// The most sequence codes of one position a single number meets.
std::uint64_t hoechstePassende(const Parameter& p, const kern::Ereigniskatalog& katalog) {
    const int b = Folgen_Obergrenze(p);
    std::uint64_t hoechste = 0;
    for (int z = 0; z <= kern::kHoechsteZahl; ++z) {
        std::uint64_t passend = 0;
        for (int e = 1; e <= b; ++e) {
            const bool drin = katalog.enthaelt(e, z);
            passend += drin ? 1 : (p.folgeUngleich ? 1 : 0);
        }
        hoechste = std::max(hoechste, passend);
    }
    return hoechste;
}

// Digits grouped by threes with the separator.
std::string gruppiert(std::uint64_t zahl, char trenner) {
    std::string ziffern = std::to_string(zahl);
    std::string text;
    for (std::size_t i = 0; i < ziffern.size(); ++i) {
        if (i > 0 && (ziffern.size() - i) % 3 == 0) {
            text += trenner;
        }
        text += ziffern[i];
    }
    return text;
}

// Rounds to the nearest integer, halves to the even neighbour.
double runden(double x) {
    const int vorher = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double r = std::nearbyint(x);
    std::fesetround(vorher);
    return r;
}

}  // namespace

Schaetzung Lauf_Schaetzen(const Parameter& p, std::size_t coups,
                          const kern::Ereigniskatalog& katalog, std::size_t arbeitsspeicher) {
    Schaetzung s;
    const auto kombinationen = static_cast<std::uint64_t>(HSR_Kombinationen_Zaehlen(p));
    const auto folgen = static_cast<std::uint64_t>(Folgen_Zaehlen(p));
    const auto kandidaten = static_cast<std::uint64_t>(Kandidaten_Bilden(p).size());
    const auto laenge = static_cast<std::size_t>(std::max(Folgen_Laenge(p), 0));

    // Patterns (combination, sequence) the range can reach.
    std::uint64_t muster = 0;
    if (folgen > 0 && coups > laenge) {
        std::uint64_t jeCoup = kombinationen;
        const std::uint64_t m = hoechstePassende(p, katalog);
        for (std::size_t k = 0; k < laenge; ++k) {
            jeCoup = mal(jeCoup, m);
        }
        muster = std::min(mal(kombinationen, folgen), mal(coups - laenge, jeCoup));
    }
    s.zeilen = mal(muster, kandidaten);

    s.bytesPlatte = mal(2, plus(mal(s.zeilen, kBytesJeErgebniszeile), mal(folgen, kBytesJeFolge)));

    // Sums: a block of three 8-byte sums per candidate for each pattern reached, the working sums
    // (their bound and one block beyond it), the rows, the sequences and the coups.
    const std::uint64_t block = mal(3 * sizeof(std::int64_t), kandidaten);
    std::uint64_t speicher = mal(muster, block);
    speicher = plus(speicher, kandidaten == 0 ? 0 : plus(arbeitsspeicher, block));
    speicher = plus(speicher, mal(s.zeilen, sizeof(Ergebniszeile)));
    speicher = plus(speicher, mal(folgen, sizeof(Folge) + sizeof(std::int64_t)));
    speicher = plus(speicher, mal(coups, sizeof(kern::Coup) + sizeof(std::size_t)));
    s.bytesSpeicher = speicher;
    return s;
}

Laufpruefung Lauf_Pruefen(const Schaetzung& s, std::uint64_t freiPlatte,
                          std::uint64_t freiSpeicher) {
    if (s.bytesPlatte > freiPlatte) {
        return Laufpruefung::ZuWenigPlatte;
    }
    if (s.bytesSpeicher > freiSpeicher) {
        return Laufpruefung::ZuWenigSpeicher;
    }
    return Laufpruefung::Erlaubt;
}

std::optional<std::uint64_t> Freier_Plattenplatz(const std::filesystem::path& verzeichnis) {
    std::error_code fehler;
    const std::filesystem::space_info platz = std::filesystem::space(verzeichnis, fehler);
    if (fehler) {
        return std::nullopt;
    }
    return platz.available;
}

std::optional<std::uint64_t> Freier_Arbeitsspeicher() {
    std::ifstream datei("/proc/meminfo");
    std::string name;
    std::uint64_t wert = 0;
    std::string einheit;
    while (datei >> name >> wert >> einheit) {
        if (name == "MemAvailable:") {
            return mal(wert, 1024);
        }
    }
    return std::nullopt;
}

std::string Bytes_Text(std::uint64_t bytes, bool englisch) {
    constexpr std::array<const char*, 5> einheiten = {"KB", "MB", "GB", "TB", "PB"};
    double wert = static_cast<double>(bytes) / 1024.0;
    std::size_t e = 0;
    while (wert >= 1024.0 && e + 1 < einheiten.size()) {
        wert /= 1024.0;
        ++e;
    }
    char puffer[48];
    if (wert < 10.0 && e > 0) {
        std::snprintf(puffer, sizeof puffer, "%.1f %s", wert, einheiten[e]);
    } else {
        std::snprintf(puffer, sizeof puffer, "%.0f %s", std::ceil(wert), einheiten[e]);
    }
    std::string text(puffer);
    if (!englisch) {
        std::replace(text.begin(), text.end(), '.', ',');
    }
    return text;
}

std::string Schaetzung_Text(const Schaetzung& s, bool englisch) {
    if (englisch) {
        return "Estimated at most " + gruppiert(s.zeilen, ',') + " result rows, " +
               Bytes_Text(s.bytesPlatte, true) + " disk, " + Bytes_Text(s.bytesSpeicher, true) +
               " memory";
    }
    return "Geschätzt höchstens " + gruppiert(s.zeilen, '.') + " Ergebniszeilen, " +
           Bytes_Text(s.bytesPlatte, false) + " Festplatte, " + Bytes_Text(s.bytesSpeicher, false) +
           " Arbeitsspeicher";
}

std::string Ablehnung_Text(Laufpruefung pruefung, const Schaetzung& s, std::uint64_t frei,
                           bool englisch) {
    const bool platte = pruefung == Laufpruefung::ZuWenigPlatte;
    const std::string schaetzung = Schaetzung_Text(s, englisch);
    if (englisch) {
        return std::string(platte ? "Not enough free disk space" : "Not enough free memory") +
               " for the results (" + Bytes_Text(frei, true) + " free)!\n" + schaetzung +
               ".\nCalculation not started.";
    }
    return std::string(platte ? "Zu wenig freier Platz auf der Festplatte"
                              : "Zu wenig freier Arbeitsspeicher") +
           " für die Ergebnisse (" + Bytes_Text(frei, false) + " frei)!\n" + schaetzung +
           ".\nBerechnung nicht gestartet.";
}

std::optional<std::string> Fortschritt_Text(std::size_t fertig, std::size_t n, std::int64_t ms,
                                            bool englisch) {
    if (fertig == 0 || fertig + 1 > n) {
        return std::nullopt;
    }
    const double rest = runden(static_cast<double>(ms) / static_cast<double>(fertig) *
                               static_cast<double>(n - fertig));
    const auto minuten = static_cast<long long>(runden(rest / 60000.0));
    const std::string j = std::to_string(fertig + 1);
    const std::string m = std::to_string(minuten);
    if (englisch) {
        return j + " of " + std::to_string(n) + " Coups (ca. more " + m + " min)";
    }
    return j + " von " + std::to_string(n) + " Coups (ca. noch " + m + " min)";
}

}  // namespace spinalyst::mining
