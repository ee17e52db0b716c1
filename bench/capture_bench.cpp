// Benchmarks of the permanence import, end to end as the menu runs it (without the questions):
// a month of 31 days × 400 coups read from a file, and a month of 31 × 300 coups generated for a
// random-generator casino. Each runs on a fresh database and on ones that already hold two and ten
// years of permanence (400 coups a day) of another gaming table, so the report shows whether the
// cost grows with the size of the tables.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <string>

#include "capture/aufnahme.h"
#include "capture/auswahl.h"
#include "capture/zufall.h"
#include "kern/kontext.h"
#include "kern/sitzung.h"
#include "store/datamodule.h"

namespace spinalyst::capture {
namespace {

namespace fs = std::filesystem;
using store::Date;

constexpr int kCoupsDatei = 400;
constexpr int kCoupsErzeugt = 300;

// A program directory of its own with an opened data module, a casino whose permanences come
// from files (key 1) and a random-generator casino (key 2), and the import file of March 2012.
fs::path neuesVerzeichnis(int n) {
    const fs::path dir =
        fs::temp_directory_path() /
        ("spinalyst-capture-bench-" + std::to_string(::getpid()) + "-" + std::to_string(n));
    fs::create_directories(dir);
    return dir;
}

struct Umgebung {
    explicit Umgebung(int vorhandeneMonate)
        : dir_(neuesVerzeichnis(vorhandeneMonate)), dm_(dir_, sitzung_) {
        dm_.open();
        Casino_Fenster_Zeigen(k);
        BitBtn_NeuClick(k);
        BitBtn_NeuClick(k);
        auto& casino = dm_.TdbTable_Casino;
        casino.edit();
        casino.setText("Zufallsgenerator", "t");
        casino.setInteger("Zufallsgenerator_Coups", kCoupsDatei);
        casino.post();
        Casino_Fenster_Schliessen(k);

        // Earlier permanence on another gaming table, generated a month at a time.
        for (int m = 0; m < vorhandeneMonate; ++m) {
            waehle(2, "T 09", Date::fromYmd(2010 + m / 12, m % 12 + 1, 1));
            Permanenz_Aufnehmen(k, zufall, {});
        }
        casino.setFiltered(false);
        casino.locate("ID_Casino_AutoInc", {store::Value(2)});
        casino.edit();
        casino.setInteger("Zufallsgenerator_Coups", kCoupsErzeugt);
        casino.post();
        casino.setFiltered(true);

        datei_ = dir_ / "maerz.txt";
        std::ofstream out(datei_, std::ios::binary);
        Zufallsgenerator z(1);
        for (int tag = 1; tag <= 31; ++tag) {
            out << Date::fromYmd(2012, 3, tag).german() << "\r\n";
            for (int i = 0; i < kCoupsDatei; ++i) {
                out << z.naechsteZahl() << "\r\n";
            }
            out << "-\r\n-\r\n";
        }
    }
    ~Umgebung() {
        dm_.close();
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    void waehle(int casino, const char* tisch, Date tag) {
        auto& w = dm_.TdbTable_Wahl;
        w.edit();
        w.setInteger("ID_Casino", casino);
        w.setText("Tisch", tisch);
        sitzung_.gewaehlter_tag = tag;
        Casino_Tisch_DatumChange(k, Ausloeser::Datumsauswahl);
    }

    // Removes March 2012 of the selection again.
    void aufraeumen() {
        auto& c = dm_.TdbDatabase_Roulette.connection();
        c.exec("DELETE FROM Permanenz WHERE Tisch = 'T 01'");
        c.exec("DELETE FROM Permanenz_Tag_Zusammenfassung WHERE Tisch = 'T 01'");
        dm_.TdbTable_Permanenz.refresh();
        dm_.TdbTable_Permanenz_Tag_Zusammenfassung.refresh();
    }

    const fs::path& datei() const { return datei_; }

    fs::path dir_;
    kern::Sitzung sitzung_;
    kern::UnattendedUserInterface ui_;
    kern::Ansicht ansicht_;
    store::DataModule_Roulette dm_;
    kern::Kontext k{dm_, sitzung_, ui_, ansicht_};
    Zufallsgenerator zufall{20120301};
    fs::path datei_;
};

// One environment per number of earlier months, built once for all runs of a benchmark (building
// ten years takes seconds) and removed at exit.
Umgebung& umgebung(int vorhandeneMonate) {
    static std::map<int, std::unique_ptr<Umgebung>> umgebungen;
    auto& u = umgebungen[vorhandeneMonate];
    if (!u) {
        u = std::make_unique<Umgebung>(vorhandeneMonate);
    }
    return *u;
}

void laufen(benchmark::State& state, int casino, bool ausDatei) {
    Umgebung& u = umgebung(static_cast<int>(state.range(0)));
    int coups = 0;
    for (auto _ : state) {
        state.PauseTiming();
        u.waehle(casino, "T 01", Date::fromYmd(2012, 3, 15));
        state.ResumeTiming();
        ImportAuftrag auftrag;
        if (ausDatei) {
            auftrag.datei = u.datei();
        }
        const auto bericht = Permanenz_Aufnehmen(u.k, u.zufall, auftrag);
        state.PauseTiming();
        coups = bericht.coups;
        if (bericht.tage != 31) {
            state.SkipWithError("the month was not imported whole");
            break;
        }
        u.aufraeumen();
        state.ResumeTiming();
    }
    state.counters["coups"] = coups;
}

// A month of 31 days × 400 coups from a file: reading it into the work table, the file walk,
// one transaction per day, restoring the cursors, the stretch and the totals.
void BM_ImportMonthFromFile(benchmark::State& state) {
    laufen(state, 1, true);
}
BENCHMARK(BM_ImportMonthFromFile)
    ->ArgName("months_before")
    ->Arg(0)
    ->Arg(24)
    ->Arg(120)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// A month of 31 days × 300 generated coups.
void BM_GenerateMonth(benchmark::State& state) {
    laufen(state, 2, false);
}
BENCHMARK(BM_GenerateMonth)
    ->ArgName("months_before")
    ->Arg(0)
    ->Arg(24)
    ->Arg(120)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace spinalyst::capture

BENCHMARK_MAIN();
