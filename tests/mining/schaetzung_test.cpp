#include "mining/schaetzung.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "mining/bewertung.h"
#include "mining/kandidaten.h"

// What a run is told before it starts: the bound of its rows, disk and memory, the refusal, and
// the progress caption while it runs.
namespace spinalyst::mining {
namespace {

std::uint64_t Zahlen(int von, int bis) {
    std::uint64_t m = 0;
    for (int z = von; z <= bis; ++z) {
        m |= std::uint64_t{1} << z;
    }
    return m;
}

// Events 1 to 6 alternate low and high halves (a number 1..36 belongs to three of them, 0 to
// none); 7 to 23 the first dozen.
kern::Ereigniskatalog Katalog() {
    std::vector<kern::Ereignis> ereignisse;
    for (int e = 1; e <= 23; ++e) {
        kern::Ereignis x;
        x.id = e;
        x.zahlen = e > 6 ? Zahlen(1, 12) : e % 2 == 1 ? Zahlen(1, 18) : Zahlen(19, 36);
        ereignisse.push_back(x);
    }
    return kern::Ereigniskatalog(std::move(ereignisse));
}

// The benchmark's run: frequency varied over chance 1 (13 combinations), sequences of one
// "5:1" event with "<>" (46), all seven classes (6 120 candidates).
Parameter Grosser_Lauf() {
    Parameter p;
    p.chancen.fill(true);
    p.instanz.haeufigkeit.ereignis = 3;
    p.filter[0].aktiv = true;
    p.filter[0].alle = true;
    p.folgeAnzahl = 1;
    p.folge51 = true;
    p.folgeUngleich = true;
    return p;
}

TEST(LaufSchaetzen, ZeilenBegrenztDurchMusterUndBereich) {
    const kern::Ereigniskatalog katalog = Katalog();
    Parameter gross = Grosser_Lauf();
    ASSERT_EQ(HSR_Kombinationen_Zaehlen(gross), 13);
    ASSERT_EQ(Folgen_Zaehlen(gross), 46);
    ASSERT_EQ(Kandidaten_Bilden(gross).size(), 6120u);

    Parameter eins;  // one combination, the six "1:1" sequences of one event, chance 1 attacked
    eins.chancen[0] = true;
    eins.folgeAnzahl = 1;
    eins.folge11 = true;
    Parameter ohneFolge = eins;
    ohneFolge.folgeAnzahl = 0;
    Parameter zwei = eins;  // two positions: 36 sequences, a number meets 3 codes per position
    zwei.folgeAnzahl = 2;

    struct Fall {
        const char* name;
        const Parameter* p;
        std::size_t coups;
        std::uint64_t zeilen;
    };
    const std::vector<Fall> faelle = {
        // Every pattern reachable: 13 × 46 patterns of 6 120 candidates.
        {"month", &gross, 12000, 13ull * 46 * 6120},
        // Two coups: one coup has a coup before it, 13 combinations × 23 sequences at most.
        {"two coups", &gross, 2, 13ull * 23 * 6120},
        {"one coup", &gross, 1, 0},
        {"empty range", &gross, 0, 0},
        {"no sequences", &ohneFolge, 1000, 0},
        {"six sequences, many coups", &eins, 1000, 6ull * 240},
        // 2 coups with one before them: a number meets 3 of the 6 codes.
        {"six sequences, two coups", &eins, 2, 3ull * 240},
        // 3 coups, one of them with two before it: 3 × 3 of the 36 sequences.
        {"two positions, three coups", &zwei, 3, 9ull * 240},
        {"two positions, many coups", &zwei, 500, 36ull * 240},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.name);
        const Schaetzung s = Lauf_Schaetzen(*f.p, f.coups, katalog);
        EXPECT_EQ(s.zeilen, f.zeilen);
        EXPECT_GE(s.bytesPlatte, 2 * f.zeilen * kBytesJeErgebniszeile);
        EXPECT_GE(s.bytesSpeicher, f.zeilen * sizeof(Ergebniszeile));
    }

    // The month: sums of 13 × 46 patterns × 6 120 candidates × 3 × 8 bytes, the working sums and
    // the rows; well under a gigabyte.
    const Schaetzung monat = Lauf_Schaetzen(gross, 12000, katalog);
    EXPECT_GT(monat.bytesSpeicher, 13ull * 46 * 6120 * 24 + (std::uint64_t{128} << 20));
    EXPECT_LT(monat.bytesSpeicher, std::uint64_t{1} << 30);

    // Five positions of every "5:1" event and its negation: more than 2^64 bytes saturate.
    Parameter riesig = gross;
    riesig.folgeAnzahl = 5;
    const Schaetzung r = Lauf_Schaetzen(riesig, 1'000'000, katalog);
    EXPECT_EQ(r.zeilen, 13ull * 205'962'976ull * 6120);
    EXPECT_GT(r.bytesPlatte, std::uint64_t{1} << 50);
}

TEST(LaufPruefen, PlatteVorSpeicherGrenzenEinschliesslich) {
    Schaetzung s;
    s.bytesPlatte = 1000;
    s.bytesSpeicher = 500;
    struct Fall {
        std::uint64_t platte;
        std::uint64_t speicher;
        Laufpruefung erwartet;
    };
    for (const Fall& f : std::vector<Fall>{
             {1000, 500, Laufpruefung::Erlaubt},
             {999, 500, Laufpruefung::ZuWenigPlatte},
             {1000, 499, Laufpruefung::ZuWenigSpeicher},
             {0, 0, Laufpruefung::ZuWenigPlatte},
         }) {
        EXPECT_EQ(Lauf_Pruefen(s, f.platte, f.speicher), f.erwartet)
            << f.platte << "/" << f.speicher;
    }
}

TEST(SchaetzungText, FrageZeileUndAblehnung) {
    Schaetzung s;
    s.zeilen = 3659760;
    s.bytesPlatte = std::uint64_t{470} << 20;
    s.bytesSpeicher = std::uint64_t{3} << 29;  // 1.5 GB
    EXPECT_EQ(Schaetzung_Text(s, false),
              "Geschätzt höchstens 3.659.760 Ergebniszeilen, 470 MB Festplatte, 1,5 GB "
              "Arbeitsspeicher");
    EXPECT_EQ(Schaetzung_Text(s, true),
              "Estimated at most 3,659,760 result rows, 470 MB disk, 1.5 GB memory");
    EXPECT_EQ(Ablehnung_Text(Laufpruefung::ZuWenigPlatte, s, std::uint64_t{100} << 20, false),
              "Zu wenig freier Platz auf der Festplatte für die Ergebnisse (100 MB frei)!\n" +
                  Schaetzung_Text(s, false) + ".\nBerechnung nicht gestartet.");
    EXPECT_EQ(Ablehnung_Text(Laufpruefung::ZuWenigSpeicher, s, std::uint64_t{1} << 30, true),
              "Not enough free memory for the results (1.0 GB free)!\n" + Schaetzung_Text(s, true) +
                  ".\nCalculation not started.");
    EXPECT_EQ(Bytes_Text(512, false), "1 KB");
    EXPECT_EQ(Bytes_Text(0, true), "0 KB");
}

TEST(FortschrittText, RestzeitGerundetHalbeZurGeradenZahl) {
    struct Fall {
        std::size_t fertig;
        std::size_t n;
        std::int64_t ms;
        bool englisch;
        std::optional<std::string> text;
    };
    const std::vector<Fall> faelle = {
        // 3000 ms for the first of 1000 coups: 2 997 000 ms left, 49.95 minutes.
        {1, 1000, 3000, false, "2 von 1000 Coups (ca. noch 50 min)"},
        {1, 1000, 3000, true, "2 of 1000 Coups (ca. more 50 min)"},
        // 150 000 ms left: 2.5 minutes go to 2, 210 000 ms: 3.5 go to 4.
        {1, 2, 150000, false, "2 von 2 Coups (ca. noch 2 min)"},
        {1, 2, 210000, false, "2 von 2 Coups (ca. noch 4 min)"},
        // 1.5 ms left go to 2 ms, 0 minutes.
        {2, 3, 3, false, "3 von 3 Coups (ca. noch 0 min)"},
        // 89 999 ms: 1.49998 minutes, 1.
        {10, 20, 89999, false, "11 von 20 Coups (ca. noch 1 min)"},
        // The last coup done: no caption; nor before the first.
        {1000, 1000, 5000, false, std::nullopt},
        {0, 1000, 0, false, std::nullopt},
        {0, 0, 0, true, std::nullopt},
    };
    for (const Fall& f : faelle) {
        EXPECT_EQ(Fortschritt_Text(f.fertig, f.n, f.ms, f.englisch), f.text)
            << f.fertig << " of " << f.n << " after " << f.ms << " ms";
    }
}

TEST(FreierPlatz, DasVerzeichnisUndDerSpeicherSindLesbar) {
    EXPECT_TRUE(Freier_Plattenplatz(std::filesystem::temp_directory_path()).has_value());
    EXPECT_FALSE(Freier_Plattenplatz("/gibt/es/nicht").has_value());
    const std::optional<std::uint64_t> speicher = Freier_Arbeitsspeicher();
    ASSERT_TRUE(speicher.has_value());
    EXPECT_GT(*speicher, 0u);
}

}  // namespace
}  // namespace spinalyst::mining
