// Benchmarks of the permanence evaluation on 31 days × 400 coups (12 400 coups, all 153 events of
// the standard catalogue), mode "A" (frequency, series and absences):
//  - BM_Zaehlen: the counting alone, in memory, over the loaded stretch (after-coup callback
//    included, as the run polls after every coup). Target: under 50 ms.
//  - BM_Lauf: the whole run of the evaluation button: reset, the permanence query, counting,
//    writing the working fields and both result tables, re-reading the cursors and showing the
//    results (the display step runs as the main window's view runs it). Target: under 0.5 s.
//  - BM_Strecke_Laden, BM_Zuruecksetzen: two parts of the run on their own.
// Every benchmark works on one database, built at start in a directory of its own and removed at
// exit; the numbers come from a fixed seed.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "capture/auswahl.h"
#include "events/auswertung.h"
#include "events/zaehlung.h"
#include "kern/katalog.h"
#include "kern/kontext.h"
#include "kern/sitzung.h"
#include "kern/strecke.h"
#include "store/datamodule.h"
#include "store/sqlite.h"

namespace spinalyst::events {
namespace {

namespace fs = std::filesystem;
using store::Date;
using store::Value;

constexpr int kTage = 31;
constexpr int kCoupsProTag = 400;

// The main window's view as far as the run uses it: the display step shows the results.
class Anzeige : public kern::Ansicht {
  public:
    void auswertungAnzeigen() override {
        if (k != nullptr && a != nullptr) {
            DBComboBox_Haufigkeit_Serien_RueckstaendigkeitChange(*k, *a);
        }
    }
    kern::Kontext* k = nullptr;
    Permanenzauswertung* a = nullptr;
};

Date letzterTag() {
    return Date::fromYmd(2024, 3, 31);
}

fs::path neuesVerzeichnis() {
    const fs::path dir =
        fs::temp_directory_path() / ("spinalyst-events-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    return dir;
}

struct Umgebung {
    Umgebung() : dir(neuesVerzeichnis()), dm(dir, sitzung) {
        dm.open();
        ansicht.k = &k;
        auswertung = std::make_unique<Permanenzauswertung>(dm, ",");
        ansicht.a = auswertung.get();
        katalog = kern::Ereigniskatalog::laden(dm);
        capture::BitBtn_NeuClick(k);
        capture::BitBtn_OKClick(k);

        std::mt19937 zufall(20240331);
        std::uniform_int_distribution<int> zahl(0, 36);
        {
            store::TableCursor p("Benchpermanenz", dm.TdbDatabase_Roulette, "Permanenz");
            p.open();
            const Value casino = dm.TdbTable_Wahl.value("ID_Casino");
            store::Transaction tx(dm.TdbDatabase_Roulette.connection());
            for (int t = kTage - 1; t >= 0; --t) {
                for (int c = 0; c < kCoupsProTag; ++c) {
                    p.appendRecord(
                        {casino, "T 01", letzterTag().addDays(-t), Value(), zahl(zufall)});
                }
            }
            tx.commit();
        }
        sitzung.gewaehlter_tag = letzterTag();
        capture::Casino_Tisch_DatumChange(k, capture::Ausloeser::Datumsauswahl);
        auto& w = dm.TdbTable_Wahl;
        w.setInteger("Auswertung_Tage_Anzahl", kTage);
        w.setText("Auswertung_H_S_R", "A");
        w.post();
        w.edit();
    }
    ~Umgebung() {
        auswertung.reset();
        dm.close();
        std::error_code ec;
        fs::remove_all(dir, ec);
    }

    // The stretch as the run loads it, newest first.
    std::vector<Coup> strecke() {
        kern::Streckenauswahl auswahl;
        auswahl.casino = dm.TdbTable_Wahl.value("ID_Casino").toInt64();
        auswahl.tisch = "T 01";
        auswahl.von = letzterTag().addDays(-kTage + 1);
        auswahl.bis = letzterTag();
        auswahl.nurMitZahl = true;
        auswahl.neuesteZuerst = true;
        return kern::Strecke_Laden(dm.TdbDatabase_Roulette, auswahl);
    }

    fs::path dir;
    kern::Sitzung sitzung;
    kern::UnattendedUserInterface ui;
    Anzeige ansicht;
    store::DataModule_Roulette dm;
    kern::Kontext k{dm, sitzung, ui, ansicht};
    std::unique_ptr<Permanenzauswertung> auswertung;
    kern::Ereigniskatalog katalog;
};

Umgebung& umgebung() {
    static Umgebung u;
    return u;
}

void BM_Zaehlen(benchmark::State& state) {
    Umgebung& u = umgebung();
    const std::vector<Coup> coups = u.strecke();
    const std::vector<Kennzeichen> vorher(u.katalog.size());
    Zaehlparameter p;
    p.modus = 'A';
    p.uebergreifend = state.range(0) != 0;
    kern::UnattendedUserInterface nutzer;
    kern::UserInterface& ui = nutzer;
    const NachCoup nachCoup = [&ui](int, const Coup&) { return ui.processEventsAndCheckEscape(); };
    std::size_t zeilen = 0;
    for (auto _ : state) {
        const Zaehlergebnis e = zaehlen(u.katalog, coups, p, vorher, nachCoup);
        zeilen = e.serien.size() + e.rueckstaende.size();
        benchmark::DoNotOptimize(zeilen);
    }
    state.counters["coups"] = static_cast<double>(coups.size());
    state.counters["result_rows"] = static_cast<double>(zeilen);
}
BENCHMARK(BM_Zaehlen)
    ->ArgName("across")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_Lauf(benchmark::State& state) {
    Umgebung& u = umgebung();
    int coups = 0;
    for (auto _ : state) {
        coups = BitBtn_Berechnung_Permanenz_AuswertungClick(u.k, *u.auswertung, u.katalog).coups;
    }
    state.counters["coups"] = coups;
    state.counters["series_rows"] = u.dm.TdbDatabase_Roulette.rowCount("Ereignisse_Serien");
    state.counters["absence_rows"] =
        u.dm.TdbDatabase_Roulette.rowCount("Ereignisse_Rueckstaendigkeit");
}
BENCHMARK(BM_Lauf)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Strecke_Laden(benchmark::State& state) {
    Umgebung& u = umgebung();
    for (auto _ : state) {
        benchmark::DoNotOptimize(u.strecke());
    }
}
BENCHMARK(BM_Strecke_Laden)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Zuruecksetzen(benchmark::State& state) {
    Umgebung& u = umgebung();
    for (auto _ : state) {
        state.PauseTiming();
        BitBtn_Berechnung_Permanenz_AuswertungClick(u.k, *u.auswertung, u.katalog);
        state.ResumeTiming();
        Auswertung_Zuruecksetzen(u.k, true);
    }
}
BENCHMARK(BM_Zuruecksetzen)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

}  // namespace
}  // namespace spinalyst::events

BENCHMARK_MAIN();
