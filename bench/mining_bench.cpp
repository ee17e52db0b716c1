// Benchmarks of the data-mining run on 30 days × 400 coups (12 000 coups) of casino 1, table
// "T 01" of the 100 000-coup benchmark database (bench/benchdatenbank.h): the frequency filter
// varied over the class of its event (13 combinations), sequences of one "5:1" event with "<>"
// (46), all seven chance classes attacked (6 120 candidate attacks):
//  - BM_Lauf: the whole run, Data_Mining_Lauf: parameters, candidate tables, the coups loaded,
//    scored (both cores) and the result rows, sequence counts and summary written. Counters: the
//    rows, the peak memory of the process (ru_maxrss) in MB. Goal: at most twice BM_Schreiber,
//    peak under 1 GB.
//  - BM_Schreiber: the bulk writer alone writing the same result rows (Ergebnisse_Schreiben).
//  - BM_Bewerten/1, /2: the scoring alone with one thread and with two.
//  - BM_Referenz and BM_Scheibe: the plain reference of the tests and the scoring on a slice of
//    the same work it finishes in a few seconds (the first five days, 2 000 coups, chance 1
//    attacked); the ratio of the two is the speed-up (goal: at least 1000 times).
// The CPU column of the benchmarks that score counts every thread of the process.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdint>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "bench/benchdatenbank.h"
#include "mining/ergebnistabellen.h"
#include "mining/lauf.h"
#include "store/sqlite.h"
#include "systems/austausch.h"
#include "tests/mining/bewertung_referenz.h"

namespace spinalyst::mining {
namespace {

using bench::Fixture;
using Json = nlohmann::ordered_json;

constexpr int kCasino = 1;
const char* const kTisch = "T 01";

double spitzeMb() {
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    return static_cast<double>(r.ru_maxrss) / 1024.0;
}

// The data-mining system: its frequency filter watches red (event 3's class is chance 1) with a
// complete range and window; and the run's order with the options above.
struct Aufbau {
    Laufauftrag auftrag;
    Laufdaten daten;  // read and with its candidates, for the parts
    std::unique_ptr<Bewertung> bewertung;
};

Aufbau& aufbau() {
    static std::unique_ptr<Aufbau> a;
    if (a) {
        return *a;
    }
    a = std::make_unique<Aufbau>();
    Fixture& f = bench::fixture(bench::kSmall);
    Json daten = {{"ID_Ereignis_Haeufigkeit", 3},
                  {"Haeufigkeit_Anzahl_von", 2},
                  {"Haeufigkeit_Anzahl_bis", 5},
                  {"Haeufigkeit_Coups_zurueck_von", 1},
                  {"Haeufigkeit_Coups_zurueck_bis", 8}};
    Json dokument = {{"ID_System_Art", 3},
                     {"ID_System_Chancen", 1},
                     {"System_Name", "Bench Mining"},
                     {"Instanzen", Json::array({{{"ID_Instanz", 1}, {"System_Daten", daten}}})}};
    Laufauftrag& auftrag = a->auftrag;
    auftrag.system = systems::System_Importieren(f.dm(), dokument.dump());
    auftrag.casino = kCasino;
    auftrag.tisch = kTisch;
    auftrag.von = bench::firstDay();
    auftrag.bis = bench::firstDay().addDays(bench::kStretchDays - 1);
    auftrag.anpassen = [](Parameter& p) {
        p.chancen.fill(true);
        p.filter = {};
        p.filter[0].aktiv = true;
        p.filter[0].alle = true;
        p.folgeAnzahl = 1;
        p.folge11 = p.folge21 = false;
        p.folge51 = true;
        p.folgeUngleich = true;
        p.uebergreifend = false;
    };
    a->daten = Data_Mining_Laden(f.dm(), auftrag);
    Kandidaten_Schreiben(f.dm(), a->daten);
    return *a;
}

const Bewertung& bewertung() {
    Aufbau& a = aufbau();
    if (!a.bewertung) {
        a.bewertung = std::make_unique<Bewertung>(Data_Mining_Bewerten(a.daten, {}));
    }
    return *a.bewertung;
}

void BM_Lauf(benchmark::State& state) {
    Aufbau& a = aufbau();
    Fixture& f = bench::fixture(bench::kSmall);
    Laufergebnis e;
    for (auto _ : state) {
        e = Data_Mining_Lauf(f.dm(), a.auftrag);
    }
    state.counters["combinations"] = static_cast<double>(e.kombinationen);
    state.counters["sequences"] = static_cast<double>(e.folgen);
    state.counters["coups"] = static_cast<double>(e.coupsImBereich);
    state.counters["rows"] = static_cast<double>(e.zeilen);
    state.counters["peak_MB"] = spitzeMb();
}

void BM_Schreiber(benchmark::State& state) {
    Aufbau& a = aufbau();
    const Bewertung& b = bewertung();
    Fixture& f = bench::fixture(bench::kSmall);
    for (auto _ : state) {
        Ergebnisse_Schreiben(f.dm(), b, a.daten.ersteFolgeId, '.');
    }
    state.counters["rows"] = static_cast<double>(b.zeilen.size());
    state.counters["peak_MB"] = spitzeMb();
}

void BM_Bewerten(benchmark::State& state) {
    Aufbau& a = aufbau();
    std::size_t zeilen = 0;
    for (auto _ : state) {
        const Bewertung b =
            Data_Mining_Bewerten(a.daten, {}, static_cast<std::size_t>(state.range(0)));
        zeilen = b.zeilen.size();
    }
    state.counters["rows"] = static_cast<double>(zeilen);
}

// The slice: the first five days, chance 1 attacked.
const Laufdaten& scheibe() {
    static std::unique_ptr<Laufdaten> s;
    if (!s) {
        s = std::make_unique<Laufdaten>(aufbau().daten);
        s->bereich.resize(std::min<std::size_t>(s->bereich.size(), 5 * bench::kCoupsPerDay));
        s->parameter.chancen = {};
        s->parameter.chancen[0] = true;
    }
    return *s;
}

void BM_Referenz(benchmark::State& state) {
    const Laufdaten& s = scheibe();
    std::size_t zeilen = 0;
    for (auto _ : state) {
        const Bewertung b =
            testing::Referenz_Bewerten(s.bereich, s.parameter, s.katalog, s.auszahlungen,
                                       s.kombinationen, s.folgen, s.ersteFolgeId);
        zeilen = b.zeilen.size();
    }
    state.counters["rows"] = static_cast<double>(zeilen);
}

void BM_Scheibe(benchmark::State& state) {
    const Laufdaten& s = scheibe();
    std::size_t zeilen = 0;
    for (auto _ : state) {
        const Bewertung b = Data_Mining_Bewerten(s, {});
        zeilen = b.zeilen.size();
    }
    state.counters["rows"] = static_cast<double>(zeilen);
}

// First: the peak memory of the whole run is measured before the other benchmarks hold theirs.
BENCHMARK(BM_Lauf)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Iterations(3);
BENCHMARK(BM_Schreiber)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_Bewerten)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK(BM_Scheibe)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_Referenz)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace
}  // namespace spinalyst::mining

int main(int argc, char** argv) {
    return spinalyst::bench::Benchmarks_Ausfuehren(argc, argv, "spinalyst_mining_bench");
}
