// Benchmarks of the store on a realistic permanence: several casinos, tables "T 01" to "T 05",
// 400 coups per day over many days, appended a month at a time per casino and table as the
// import does. Every benchmark runs on a 100 000-coup and on a 10 000 000-coup database, so the
// report shows whether a cost grows with the size of the table.
//
// The databases are built once and cached (bench/benchdatenbank.h); each benchmark process works
// on a scratch copy, opened through the data module exactly as the program opens its files.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "bench/benchdatenbank.h"
#include "capture/eingabe.h"
#include "kern/kontext.h"
#include "kern/sitzung.h"
#include "kern/strecke.h"
#include "store/bulk_writer.h"
#include "store/cursor.h"
#include "store/database.h"
#include "store/datamodule.h"
#include "store/schema.h"
#include "store/sqlite.h"
#include "store/value.h"

namespace spinalyst::store {
namespace {

namespace fs = std::filesystem;
using namespace bench;

constexpr int kSinglePosts = 1000;
constexpr int kMonthDays = 31;
constexpr int kMonthCoups = 12'000;

const char* const kStretchSql =
    "SELECT * FROM Permanenz WHERE ID_Casino = ? AND Tisch = ? AND Datum >= ? AND Datum <= ? "
    "ORDER BY Datum ASC, ID_Zahl ASC";

const std::vector<std::pair<std::string, std::string>> kPermanenzLink = {
    {"ID_Casino", "ID_Casino"}, {"Tisch", "Tisch"}, {"Datum", "Datum"}};
const std::vector<std::pair<std::string, std::string>> kTagLink = {{"ID_Casino", "ID_Casino"},
                                                                   {"Tisch", "Tisch"}};
const std::vector<std::pair<std::string, std::string>> kAbarbeitungLink = {
    {"ID_Zahl", "Permanenz_ID_Zahl"}};

Date bulkMonth() {
    return Date::fromYmd(2030, 1, 1);
}

struct Tag {
    int casino;
    std::string tisch;
    Date datum;
};

Tag randomDay(const Shape& shape, Zufall& zufall, int lastDay) {
    const int casino = 1 + zufall.below(shape.casinos);
    const int tisch = zufall.below(kTische);
    return {casino, tischName(tisch), firstDay().addDays(zufall.below(lastDay + 1))};
}

// Moves the selection to a casino, table and day and posts it, as the main window does on a
// change of the date picker; the detail cursors of Wahl follow on the post.
void selectDay(Fixture& f, const Tag& tag) {
    auto& wahl = f.dm().TdbTable_Wahl;
    f.sitzung().gewaehlter_tag = tag.datum;
    wahl.setInteger("ID_Casino", tag.casino);
    wahl.setText("Tisch", tag.tisch);
    wahl.setDate("Datum", tag.datum);
    wahl.post();
}

// Prepares the data module for a bulk write of coups as the import does (master links of the
// permanence and of the bets removed, bulk-write flag on), and restores it when done.
class BulkWrite {
  public:
    BulkWrite(Fixture& f, bool withDayRows) : f_(f), withDayRows_(withDayRows) {
        auto& dm = f_.dm();
        dm.TdbTable_Permanenz.clearMasterLink();
        dm.TdbTable_Systeme_Abarbeitung.clearMasterLink();
        if (withDayRows_) {
            dm.TdbTable_Permanenz_Tag_Zusammenfassung.clearMasterLink();
            dm.TdbTable_Permanenz_Tag_Zusammenfassung.setFiltered(false);
        }
        f_.sitzung().massenschreiben = true;
    }
    ~BulkWrite() {
        auto& dm = f_.dm();
        try {
            dm.TdbTable_Permanenz.setMasterLink(&dm.TdbTable_Wahl, kPermanenzLink);
            if (withDayRows_) {
                dm.TdbTable_Permanenz_Tag_Zusammenfassung.setMasterLink(&dm.TdbTable_Wahl,
                                                                        kTagLink);
                dm.TdbTable_Permanenz_Tag_Zusammenfassung.setFiltered(true);
            }
            f_.sitzung().massenschreiben = false;
            dm.TdbTable_Systeme_Abarbeitung.setMasterLink(&dm.TdbTable_Permanenz, kAbarbeitungLink);
        } catch (const std::exception& e) {
            std::cerr << "spinalyst_bench: cannot restore the data module: " << e.what() << '\n';
        }
    }
    BulkWrite(const BulkWrite&) = delete;
    BulkWrite& operator=(const BulkWrite&) = delete;

  private:
    Fixture& f_;
    bool withDayRows_;
};

std::int64_t maxRowid(Connection& c, const char* table) {
    Statement s(c, std::string("SELECT COALESCE(MAX(rowid), 0) FROM \"") + table + "\"");
    s.step();
    return s.int64(0);
}

void deleteAfter(Connection& c, const char* table, std::int64_t rowid) {
    Statement s(c, std::string("DELETE FROM \"") + table + "\" WHERE rowid > ?");
    s.bind(1, rowid);
    s.run();
}

// Runs a benchmark body; a store error ends the benchmark with its message instead of the
// process.
template <class Body>
void guarded(benchmark::State& state, Body body) {
    try {
        body();
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}

// ---- Benchmarks ------------------------------------------------------------------------------

// Opening a day: the selection moves to another casino, table and day and is posted; the
// permanence cursor follows through its master link and every coup of the day is read by
// walking the cursor, as the operations walk it. Each iteration picks another day.
void BM_OpenDay(benchmark::State& state) {
    guarded(state, [&] {
        Fixture& f = fixture(state.range(0));
        auto& p = f.dm().TdbTable_Permanenz;
        Zufall zufall(7u);
        std::int64_t coups = 0;
        double selectSeconds = 0;
        double walkSeconds = 0;
        for (auto _ : state) {
            const auto start = Clock::now();
            selectDay(f, randomDay(f.shape(), zufall, f.shape().days - 1));
            const auto selected = Clock::now();
            std::int64_t sum = 0;
            int n = 0;
            for (p.first(); !p.eof(); p.next()) {
                sum += p.integer("Zahl");
                ++n;
            }
            benchmark::DoNotOptimize(sum);
            selectSeconds += std::chrono::duration<double>(selected - start).count();
            walkSeconds += secondsSince(selected);
            if (n != kCoupsPerDay) {
                state.SkipWithError("the linked cursor does not show the coups of the day");
                break;
            }
            coups += n;
        }
        // Where the time goes: the post of the selection with the re-reads of every detail of
        // Wahl, and the walk over the coups (each move lets the bets cursor follow).
        state.counters["post_us"] =
            benchmark::Counter(selectSeconds * 1e6, benchmark::Counter::kAvgIterations);
        state.counters["walk_us"] =
            benchmark::Counter(walkSeconds * 1e6, benchmark::Counter::kAvgIterations);
        state.SetItemsProcessed(coups);
    });
}

// Loading a stretch: the coups of one casino and table over 30 days in Datum, ID_Zahl order,
// through a query cursor with bound parameters, every row read.
void BM_LoadStretch(benchmark::State& state) {
    guarded(state, [&] {
        Fixture& f = fixture(state.range(0));
        QueryCursor q("Bench_Strecke", f.dm().TdbDatabase_Roulette);
        Zufall zufall(11u);
        std::int64_t coups = 0;
        for (auto _ : state) {
            const Tag from = randomDay(f.shape(), zufall, f.shape().days - kStretchDays);
            q.setSql(kStretchSql, {Value(from.casino), Value(from.tisch), Value(from.datum),
                                   Value(from.datum.addDays(kStretchDays - 1))});
            q.open();
            const int zahl = q.fieldIndex("Zahl");
            std::int64_t sum = 0;
            int n = 0;
            for (; const Row* r = q.rowAt(n); ++n) {
                sum += r->values[static_cast<std::size_t>(zahl)].toInt64();
            }
            benchmark::DoNotOptimize(sum);
            if (n != kStretchDays * kCoupsPerDay) {
                state.SkipWithError("the query does not return the coups of the stretch");
                break;
            }
            coups += n;
        }
        q.close();
        state.SetItemsProcessed(coups);
    });
}

// The same stretch through the stretch reader: one prepared statement straight into an array of
// coups, as the evaluations load their coups. Side by side with BM_LoadStretch (the cursor path).
void BM_LoadStretchArray(benchmark::State& state) {
    guarded(state, [&] {
        Fixture& f = fixture(state.range(0));
        kern::Streckenleser leser(f.dm().TdbDatabase_Roulette.connection());
        std::vector<kern::Coup> coups;
        Zufall zufall(11u);
        std::int64_t gelesen = 0;
        for (auto _ : state) {
            const Tag from = randomDay(f.shape(), zufall, f.shape().days - kStretchDays);
            kern::Streckenauswahl auswahl;
            auswahl.casino = from.casino;
            auswahl.tisch = from.tisch;
            auswahl.von = from.datum;
            auswahl.bis = from.datum.addDays(kStretchDays - 1);
            leser.laden(auswahl, coups);
            std::int64_t sum = 0;
            for (const kern::Coup& c : coups) {
                sum += c.zahl;
            }
            benchmark::DoNotOptimize(sum);
            if (coups.size() != static_cast<std::size_t>(kStretchDays * kCoupsPerDay)) {
                state.SkipWithError("the reader does not return the coups of the stretch");
                break;
            }
            gelesen += static_cast<std::int64_t>(coups.size());
        }
        state.SetItemsProcessed(gelesen);
    });
}

// Posting single coups: the selection is on a new day and 1000 coups are appended one by one
// through the linked permanence cursor, each post committed on its own (no transaction), as
// number entry does. Every post is timed; the counters give the median and the tail in µs.
void BM_PostedAppend(benchmark::State& state) {
    guarded(state, [&] {
        Fixture& f = fixture(state.range(0));
        auto& p = f.dm().TdbTable_Permanenz;
        Zufall zufall(13u);
        std::vector<double> micros;
        for (auto _ : state) {
            state.PauseTiming();
            selectDay(f, {f.postCasino(), tischName(0), f.freshDay()});
            state.ResumeTiming();
            for (int i = 0; i < kSinglePosts; ++i) {
                const std::vector<Value> coup = {Value(), Value(), Value(), Value(),
                                                 Value(zufall.below(37))};
                const auto start = Clock::now();
                p.appendRecord(coup);
                micros.push_back(
                    std::chrono::duration<double, std::micro>(Clock::now() - start).count());
            }
        }
        if (micros.empty()) {
            return;
        }
        std::sort(micros.begin(), micros.end());
        auto at = [&](double q) {
            return micros[static_cast<std::size_t>(q * static_cast<double>(micros.size() - 1))];
        };
        double total = 0;
        for (double m : micros) {
            total += m;
        }
        state.counters["mean_us"] = total / static_cast<double>(micros.size());
        state.counters["median_us"] = at(0.5);
        state.counters["p90_us"] = at(0.9);
        state.counters["p99_us"] = at(0.99);
        state.counters["max_us"] = micros.back();
        state.SetItemsProcessed(static_cast<std::int64_t>(micros.size()));
    });
}

// Appends one month of coups (31 days, 12 000 coups) of one casino and table in one transaction
// through the permanence cursor with its master link removed, as the import writes them. With
// day rows, every day also gets its row through the day-row cursor (link and filter off), as the
// import appends it. The appended rows are deleted again outside the timing, so every iteration
// writes into a table of the same size.
void bulkMonth(benchmark::State& state, bool withDayRows) {
    guarded(state, [&] {
        Fixture& f = fixture(state.range(0));
        auto& dm = f.dm();
        Connection& c = dm.TdbDatabase_Roulette.connection();
        const std::int64_t lastCoup = maxRowid(c, "Permanenz");
        const std::int64_t lastTag = maxRowid(c, "Permanenz_Tag_Zusammenfassung");
        Zufall zufall(17u);
        const Value casino(f.bulkCasino());
        const Value tisch(tischName(0));
        {
            BulkWrite bulk(f, withDayRows);
            for (auto _ : state) {
                Transaction tx(c);
                for (int d = 0; d < kMonthDays; ++d) {
                    const Value day(bulkMonth().addDays(d));
                    const int coups =
                        kMonthCoups / kMonthDays + (d < kMonthCoups % kMonthDays ? 1 : 0);
                    for (int n = 0; n < coups; ++n) {
                        dm.TdbTable_Permanenz.appendRecord(
                            {casino, tisch, day, Value(), Value(zufall.below(37))});
                    }
                    if (withDayRows) {
                        dm.TdbTable_Permanenz_Tag_Zusammenfassung.appendRecord(
                            {casino, tisch, day, Value(), Value(), Value(), Value(), Value(coups)});
                    }
                }
                tx.commit();

                state.PauseTiming();
                deleteAfter(c, "Permanenz", lastCoup);
                deleteAfter(c, "Permanenz_Tag_Zusammenfassung", lastTag);
                // Back to the state the import starts from: the unlinked cursors re-read.
                dm.TdbTable_Permanenz.clearMasterLink();
                if (withDayRows) {
                    dm.TdbTable_Permanenz_Tag_Zusammenfassung.clearMasterLink();
                }
                state.ResumeTiming();
            }
        }
        state.SetItemsProcessed(state.iterations() * kMonthCoups);
    });
}

void BM_BulkMonth(benchmark::State& state) {
    bulkMonth(state, false);
}

void BM_BulkMonthWithDayRows(benchmark::State& state) {
    bulkMonth(state, true);
}

// A month of 31 days × 400 coups (12 400) with its 31 day rows, as a run writes it: through the
// bulk writer (BM_MonthBulkWriter) and, as the limit, through a plain loop of one prepared INSERT
// per row in one transaction (BM_MonthPlainInsert). The rows are deleted again outside the
// timing, so that every iteration writes into a table of the same size.
constexpr int kRunCoupsPerDay = 400;

void monthWrite(benchmark::State& state, bool bulkWriter) {
    guarded(state, [&] {
        Fixture& f = fixture(state.range(0));
        Database& db = f.dm().TdbDatabase_Roulette;
        Connection& c = db.connection();
        const std::int64_t lastCoup = maxRowid(c, "Permanenz");
        const std::int64_t lastTag = maxRowid(c, "Permanenz_Tag_Zusammenfassung");
        Zufall zufall(19u);
        const std::int64_t casino = f.bulkCasino();
        const std::string tisch = tischName(0);
        for (auto _ : state) {
            if (bulkWriter) {
                BulkWriter w(db);
                auto& coup = w.insert("Permanenz", {"ID_Casino", "Tisch", "Datum", "Zahl"});
                auto& tag = w.insert("Permanenz_Tag_Zusammenfassung",
                                     {"ID_Casino", "Tisch", "Datum", "Coups_Anzahl"});
                const Value casinoWert(casino);
                const Value tischWert(tisch);
                for (int d = 0; d < kMonthDays; ++d) {
                    const Value day(bulkMonth().addDays(d));
                    for (int n = 0; n < kRunCoupsPerDay; ++n) {
                        coup.write({casinoWert, tischWert, day, Value(zufall.below(37))});
                    }
                    tag.write({casinoWert, tischWert, day, Value(kRunCoupsPerDay)});
                }
                w.commit();
            } else {
                Transaction tx(c);
                Statement coup(c,
                               "INSERT INTO Permanenz (ID_Casino, Tisch, Datum, Zahl) "
                               "VALUES (?, ?, ?, ?)");
                Statement tag(c,
                              "INSERT INTO Permanenz_Tag_Zusammenfassung (ID_Casino, Tisch, "
                              "Datum, Coups_Anzahl) VALUES (?, ?, ?, ?)");
                for (int d = 0; d < kMonthDays; ++d) {
                    const std::string day = bulkMonth().addDays(d).iso();
                    for (int n = 0; n < kRunCoupsPerDay; ++n) {
                        coup.bind(1, casino);
                        coup.bind(2, std::string_view(tisch));
                        coup.bind(3, std::string_view(day));
                        coup.bind(4, std::int64_t{zufall.below(37)});
                        coup.run();
                    }
                    tag.bind(1, casino);
                    tag.bind(2, std::string_view(tisch));
                    tag.bind(3, std::string_view(day));
                    tag.bind(4, std::int64_t{kRunCoupsPerDay});
                    tag.run();
                }
                tx.commit();
            }
            state.PauseTiming();
            deleteAfter(c, "Permanenz", lastCoup);
            deleteAfter(c, "Permanenz_Tag_Zusammenfassung", lastTag);
            state.ResumeTiming();
        }
        state.SetItemsProcessed(state.iterations() * kMonthDays * (kRunCoupsPerDay + 1));
    });
}

void BM_MonthBulkWriter(benchmark::State& state) {
    monthWrite(state, true);
}

void BM_MonthPlainInsert(benchmark::State& state) {
    monthWrite(state, false);
}

// With --benchmark_repetitions the fastest run is reported too: on a shared machine it is the
// best estimate of the store's own cost.

// Storing one typed number as the table does it: on a day that already holds 500 coups (with its
// day row, and N = 10 days in the window), each number is posted into the coup about to be
// played, the next one appended, the day row's count and the totals row recomputed. Every store
// is timed; the counters give the median and the tail in ms.
void BM_StoreNumber(benchmark::State& state) {
    guarded(state, [&] {
        Fixture& f = fixture(state.range(0));
        kern::UnattendedUserInterface user;
        kern::Ansicht ansicht;
        kern::Kontext k{f.dm(), f.sitzung(), user, ansicht};
        auto& wahl = f.dm().TdbTable_Wahl;
        auto& p = f.dm().TdbTable_Permanenz;
        Zufall zufall(17u);
        std::vector<double> millis;
        for (auto _ : state) {
            state.PauseTiming();
            selectDay(f, {f.postCasino(), tischName(1), f.freshDay()});
            wahl.edit();
            wahl.setInteger("System_Tage_Anzahl", 10);
            wahl.post();
            {
                Transaction tx(f.dm().TdbDatabase_Roulette.connection());
                for (int i = 0; i < 500; ++i) {
                    p.appendRecord({Value(), Value(), Value(), Value(), Value(zufall.below(37))});
                }
                tx.commit();
            }
            capture::Tageszeile_Pflegen(k, 500);
            capture::MenuItem_Permanenzen_EingabeClick(k);
            state.ResumeTiming();
            for (int i = 0; i < 100; ++i) {
                wahl.edit();
                wahl.setInteger("Permanenz_Zahl", zufall.below(37));
                const auto start = Clock::now();
                capture::BitBtn_Permanenz_ZahlClick(k);
                millis.push_back(
                    std::chrono::duration<double, std::milli>(Clock::now() - start).count());
            }
            state.PauseTiming();
            capture::Deaktiviere_manuellen_Eingabemodus(k);
            state.ResumeTiming();
        }
        if (millis.empty()) {
            return;
        }
        std::sort(millis.begin(), millis.end());
        auto at = [&](double q) {
            return millis[static_cast<std::size_t>(q * static_cast<double>(millis.size() - 1))];
        };
        state.counters["median_ms"] = at(0.5);
        state.counters["p90_ms"] = at(0.9);
        state.counters["max_ms"] = millis.back();
        state.SetItemsProcessed(static_cast<std::int64_t>(millis.size()));
    });
}

void sizes(benchmark::internal::Benchmark* b) {
    b->ArgName("rows")->Arg(kSmall)->Arg(kLarge)->UseRealTime();
    b->ComputeStatistics(
        "min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); });
}

BENCHMARK(BM_OpenDay)->Apply(sizes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadStretch)->Apply(sizes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadStretchArray)->Apply(sizes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PostedAppend)->Apply(sizes)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BulkMonth)->Apply(sizes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StoreNumber)->Apply(sizes)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BulkMonthWithDayRows)->Apply(sizes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MonthBulkWriter)->Apply(sizes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MonthPlainInsert)->Apply(sizes)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace spinalyst::store

int main(int argc, char** argv) {
    return spinalyst::bench::Benchmarks_Ausfuehren(argc, argv, "spinalyst_bench");
}
