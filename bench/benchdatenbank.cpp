#include "bench/benchdatenbank.h"

#include <benchmark/benchmark.h>

#include <iostream>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <iostream>
#include <stdexcept>
#include <system_error>
#include <vector>

#include "store/database.h"
#include "store/schema.h"
#include "store/sqlite.h"

namespace spinalyst::bench {

namespace fs = std::filesystem;
using namespace store;

namespace {

// Bump when the generated data changes, so that a cached file of another shape is not reused.
constexpr int kShapeVersion = 1;

}  // namespace

Date firstDay() {
    return Date::fromYmd(2019, 1, 1);
}

Date firstPostDay() {
    return Date::fromYmd(2029, 1, 1);
}

std::string tischName(int index) {
    return "T 0" + std::to_string(index + 1);
}

Shape shapeFor(std::int64_t rows) {
    const int casinos = rows >= 1'000'000 ? 5 : 1;
    const std::int64_t perDay = std::int64_t{casinos} * kTische * kCoupsPerDay;
    const Shape shape{rows, casinos, static_cast<int>(rows / perDay)};
    if (rows % perDay != 0 || shape.days < kStretchDays) {
        throw std::invalid_argument("no database shape for " + std::to_string(rows) + " rows");
    }
    return shape;
}

// ---- Cached databases ------------------------------------------------------------------------

// SPINALYST_BENCH_CACHE, else ${XDG_CACHE_HOME:-~/.cache}/spinalyst-bench, else /var/tmp.
fs::path cacheRoot() {
    if (const char* dir = std::getenv("SPINALYST_BENCH_CACHE"); dir && *dir) {
        return dir;
    }
    if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg && *xdg) {
        return fs::path(xdg) / "spinalyst-bench";
    }
    if (const char* home = std::getenv("HOME"); home && *home) {
        return fs::path(home) / ".cache" / "spinalyst-bench";
    }
    return "/var/tmp/spinalyst-bench";
}

fs::path cachedFile(const Shape& shape) {
    return cacheRoot() /
           ("layout" + std::to_string(kLayoutVersion) + "-shape" + std::to_string(kShapeVersion)) /
           std::to_string(shape.rows) / Database::fileName(DatabaseFile::Roulette);
}

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

namespace {

// Builds a main database of the given shape: the file as the program creates it, then casinos,
// their stretches, the coups with their day rows and the totals rows, all in one transaction
// through prepared statements. The file is made under another name and moved into place when
// complete, so an interrupted build is never taken for a cached database.
void buildDatabase(const fs::path& target, const Shape& shape) {
    const auto start = Clock::now();
    std::cerr << "spinalyst_bench: building " << shape.rows << " coups in " << target << '\n';
    const fs::path work = target.parent_path() / "building";
    fs::remove_all(work);
    fs::create_directories(work);
    const fs::path file = work / target.filename();
    {
        Database db(DatabaseFile::Roulette);
        db.setLocation(file);
        db.connect();
    }
    {
        Connection c(file.string(), Connection::Mode::OpenExisting);
        // A failed build is thrown away, so it needs neither a journal nor syncs.
        c.exec("PRAGMA journal_mode = OFF");
        c.exec("PRAGMA synchronous = OFF");
        c.exec("PRAGMA cache_size = -262144");
        Transaction tx(c);

        // Two casinos more than carry coups: the write benchmarks append to them.
        Statement casino(c,
                         "INSERT INTO Casino (ID_Casino, Casino_Name, Casino_In_Liste, "
                         "Zufallsgenerator) VALUES (?, ?, 'x', 'f')");
        for (int k = 1; k <= shape.casinos + 2; ++k) {
            casino.bind(1, std::int64_t{k});
            casino.bind(2, std::string_view("Casino " + std::to_string(k)));
            casino.run();
        }

        std::vector<std::string> iso;
        for (int d = 0; d < shape.days; ++d) {
            iso.push_back(firstDay().addDays(d).iso());
        }
        Statement coup(c,
                       "INSERT INTO Permanenz (ID_Casino, Tisch, Datum, Zahl) VALUES (?, ?, ?, ?)");
        Statement tag(c,
                      "INSERT INTO Permanenz_Tag_Zusammenfassung (ID_Casino, Tisch, Datum, "
                      "Coups_Anzahl) VALUES (?, ?, ?, ?)");
        Zufall zufall(20190101u);
        std::int64_t written = 0;
        std::int64_t nextReport = 1'000'000;
        for (int from = 0; from < shape.days;) {
            // One month of every casino and table, each appended as one import would.
            const int month = firstDay().addDays(from).month();
            int to = from;
            while (to < shape.days && firstDay().addDays(to).month() == month) {
                ++to;
            }
            for (int k = 1; k <= shape.casinos; ++k) {
                for (int t = 0; t < kTische; ++t) {
                    const std::string tisch = tischName(t);
                    for (int d = from; d < to; ++d) {
                        for (int n = 0; n < kCoupsPerDay; ++n) {
                            coup.bind(1, std::int64_t{k});
                            coup.bind(2, std::string_view(tisch));
                            coup.bind(3, std::string_view(iso[static_cast<std::size_t>(d)]));
                            coup.bind(4, std::int64_t{zufall.below(37)});
                            coup.run();
                        }
                        tag.bind(1, std::int64_t{k});
                        tag.bind(2, std::string_view(tisch));
                        tag.bind(3, std::string_view(iso[static_cast<std::size_t>(d)]));
                        tag.bind(4, std::int64_t{kCoupsPerDay});
                        tag.run();
                        written += kCoupsPerDay;
                        if (written >= nextReport) {
                            std::cerr << "spinalyst_bench:   " << written << " of " << shape.rows
                                      << " coups (" << written * 100 / shape.rows << " %, "
                                      << static_cast<int>(secondsSince(start)) << " s)\n";
                            nextReport += 1'000'000;
                        }
                    }
                }
            }
            from = to;
        }

        Statement stretch(c,
                          "INSERT INTO Casino_Tisch_Datum (ID_Casino, Tisch, Datum_von, "
                          "Datum_bis, Tage) VALUES (?, ?, ?, ?, ?)");
        Statement gesamt(c,
                         "INSERT INTO Permanenz_Tag_Zusammenfassung_G (ID_Casino, Tisch, Tage, "
                         "Coups_Anzahl) VALUES (?, ?, ?, ?)");
        for (int k = 1; k <= shape.casinos; ++k) {
            for (int t = 0; t < kTische; ++t) {
                const std::string tisch = tischName(t);
                stretch.bind(1, std::int64_t{k});
                stretch.bind(2, std::string_view(tisch));
                stretch.bind(3, std::string_view(iso.front()));
                stretch.bind(4, std::string_view(iso.back()));
                stretch.bind(5, std::int64_t{shape.days});
                stretch.run();
                gesamt.bind(1, std::int64_t{k});
                gesamt.bind(2, std::string_view(tisch));
                gesamt.bind(3, std::int64_t{shape.days});
                gesamt.bind(4, std::int64_t{shape.days} * kCoupsPerDay);
                gesamt.run();
            }
        }
        tx.commit();
        // Leave the file in the journal mode the program's files have.
        c.exec("PRAGMA journal_mode = WAL");
    }
    fs::rename(file, target);
    fs::remove_all(work);
    std::cerr << "spinalyst_bench: built in " << static_cast<int>(secondsSince(start)) << " s\n";
}

// ---- Fixture ---------------------------------------------------------------------------------

// Scratch directories of benchmark processes that are no longer running.
void removeStaleScratch(const fs::path& root) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(root, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("scratch-", 0) != 0) {
            continue;
        }
        const long pid = std::strtol(name.c_str() + 8, nullptr, 10);
        if (pid > 0 && kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) {
            fs::remove_all(entry.path(), ec);
        }
    }
}

// Writes a fresh copy through to the disk. Otherwise the first checkpoint of the copy, during a
// timed post, would also flush the whole copy and show up as a post of a second or more.
void syncFile(const fs::path& file) {
    const int fd = ::open(file.c_str(), O_RDONLY);
    if (fd < 0 || ::fsync(fd) != 0) {
        const int error = errno;
        if (fd >= 0) {
            ::close(fd);
        }
        throw std::system_error(error, std::generic_category(), "cannot sync " + file.string());
    }
    ::close(fd);
}

}  // namespace

Fixture::Fixture(std::int64_t rows) : shape_(shapeFor(rows)) {
    const fs::path cached = cachedFile(shape_);
    if (!fs::exists(cached)) {
        buildDatabase(cached, shape_);
    }
    removeStaleScratch(cacheRoot());
    scratch_ = cacheRoot() / ("scratch-" + std::to_string(getpid())) / std::to_string(rows);
    fs::remove_all(scratch_);
    fs::create_directories(scratch_);
    const auto start = Clock::now();
    fs::copy_file(cached, scratch_ / cached.filename());
    syncFile(scratch_ / cached.filename());
    std::cerr << "spinalyst_bench: copied " << cached << " to the scratch directory in "
              << secondsSince(start) << " s\n";
    sitzung_.programmverzeichnis = scratch_.string();
    dm_ = std::make_unique<DataModule_Roulette>(scratch_, sitzung_);
    dm_->open();
}

Fixture::~Fixture() {
    dm_.reset();
    std::error_code ec;
    fs::remove_all(scratch_, ec);
    // The process's scratch directory goes with the last fixture (remove fails while not empty).
    fs::remove(scratch_.parent_path(), ec);
}

std::map<std::int64_t, std::unique_ptr<Fixture>>& fixtures() {
    static std::map<std::int64_t, std::unique_ptr<Fixture>> all;
    return all;
}

Fixture& fixture(std::int64_t rows) {
    auto& f = fixtures()[rows];
    if (!f) {
        f = std::make_unique<Fixture>(rows);
    }
    return *f;
}

int Benchmarks_Ausfuehren(int argc, char** argv, const char* programm) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    int rc = 0;
    try {
        benchmark::RunSpecifiedBenchmarks();
    } catch (const std::exception& e) {
        std::cerr << programm << ": " << e.what() << '\n';
        rc = 1;
    }
    fixtures().clear();
    benchmark::Shutdown();
    return rc;
}

}  // namespace spinalyst::bench
