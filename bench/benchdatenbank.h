#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "kern/sitzung.h"
#include "store/datamodule.h"
#include "store/value.h"

// The benchmark databases: a realistic permanence (several casinos, tables "T 01" to "T 05", 400
// coups per day over many days, appended a month at a time per casino and table as the import
// does) of 100 000 or 10 000 000 coups, built once and cached (see cacheRoot). Each benchmark
// process works on a scratch copy, opened through the data module exactly as the program opens
// its files.
namespace spinalyst::bench {

using Clock = std::chrono::steady_clock;

constexpr std::int64_t kSmall = 100'000;
constexpr std::int64_t kLarge = 10'000'000;

constexpr int kTische = 5;
constexpr int kCoupsPerDay = 400;
constexpr int kStretchDays = 30;

// The first generated day.
store::Date firstDay();
// Days the write benchmarks append to lie far behind the generated permanence.
store::Date firstPostDay();

// "T 01" for index 0, and so on.
std::string tischName(int index);

// The size of a generated database. Every casino has the same tables and days; the small file
// has one casino, the large one five, so that both hold 30-day stretches of 400 coups a day.
struct Shape {
    std::int64_t rows;
    int casinos;
    int days;  // days of permanence per casino and table, from firstDay()
};

Shape shapeFor(std::int64_t rows);

// The program's pseudo-random generator (32-bit state, state * 134775813 + 1), seeded fixed, so
// every build of a database and every run picks the same numbers and days.
class Zufall {
  public:
    explicit Zufall(std::uint32_t seed) : state_(seed) {}
    // A number from 0 to n - 1.
    int below(int n) {
        state_ = state_ * 134775813u + 1u;
        return static_cast<int>((std::uint64_t{state_} * static_cast<std::uint64_t>(n)) >> 32);
    }

  private:
    std::uint32_t state_;
};

// SPINALYST_BENCH_CACHE, else ${XDG_CACHE_HOME:-~/.cache}/spinalyst-bench, else /var/tmp.
std::filesystem::path cacheRoot();
// The cached main database of a shape (built by Fixture when missing).
std::filesystem::path cachedFile(const Shape& shape);

double secondsSince(Clock::time_point start);

// One database of a given size, copied from the cache into this process's scratch directory and
// opened through the data module as the program opens its files. All benchmarks of that size
// in a process share it; the write benchmarks append to casinos and days the read benchmarks
// never pick.
class Fixture {
  public:
    explicit Fixture(std::int64_t rows);
    ~Fixture();
    Fixture(const Fixture&) = delete;
    Fixture& operator=(const Fixture&) = delete;

    store::DataModule_Roulette& dm() { return *dm_; }
    kern::Sitzung& sitzung() { return sitzung_; }
    const Shape& shape() const { return shape_; }
    // A day no coup has been appended to yet, for one casino without generated coups.
    store::Date freshDay() { return firstPostDay().addDays(freshDays_++); }
    int postCasino() const { return shape_.casinos + 1; }
    int bulkCasino() const { return shape_.casinos + 2; }

  private:
    Shape shape_;
    std::filesystem::path scratch_;
    kern::Sitzung sitzung_;
    std::unique_ptr<store::DataModule_Roulette> dm_;
    int freshDays_ = 0;
};

// The fixture of a size, made on first use; clear() closes the databases and removes the scratch
// copies (main does so before it returns).
std::map<std::int64_t, std::unique_ptr<Fixture>>& fixtures();

// The main program of a benchmark binary that uses the cached databases: runs the benchmarks
// chosen on the command line, reports an error under the program's name, then closes the databases
// and removes the scratch copies. Returns the exit code.
int Benchmarks_Ausfuehren(int argc, char** argv, const char* programm);
Fixture& fixture(std::int64_t rows);

}  // namespace spinalyst::bench
