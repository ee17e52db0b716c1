#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "store/database.h"
#include "store/datamodule.h"
#include "store/sqlite.h"
#include "store/zustand.h"
#include "tests/cli/system_cli_fixture.h"

// `spinalyst-cli mine` killed with SIGKILL while it scores or writes leaves both database files
// intact: SQLite finds nothing wrong, the program opens them, and the result table holds either
// the rows from before the run or all rows of the run, never a part of them.
namespace spinalyst::cli {
namespace {

namespace fs = std::filesystem;
using store::Value;

constexpr int kTage = 6;
constexpr int kCoupsProTag = 400;

class MineKillTest : public testing::SystemCliTest {
  protected:
    MineKillTest() {
        std::mt19937 zufall(1404);
        std::uniform_int_distribution<int> zahl(0, 36);
        for (int t = kTage - 1; t >= 0; --t) {
            std::vector<Value> zahlen;
            for (int i = 0; i < kCoupsProTag; ++i) {
                zahlen.emplace_back(std::int64_t{zahl(zufall)});
            }
            tag(heute().addDays(-t), zahlen);
        }
        system_ = system(
            R"({"ID_System_Art": 3, "ID_System_Chancen": 1, "Instanzen": [{"ID_Instanz": 1, )"
            R"("System_Daten": {}}]})");
    }

    std::vector<std::string> argumente(const fs::path& d) const {
        return {SPINALYST_CLI,
                "mine",
                d.string(),
                std::to_string(casino),
                "T 01",
                heute().addDays(-(kTage - 1)).iso(),
                heute().iso(),
                "--system",
                std::to_string(system_),
                "--classes",
                "1,2,5,8,11,17,35",
                "--sequence-length",
                "1",
                "--sequence-events",
                "51",
                "--negate-sequences"};
    }

    // Starts the command on the directory; its progress lines come through `lesen`.
    pid_t starten(const fs::path& d, FILE*& lesen) const {
        int rohr[2];
        EXPECT_EQ(::pipe(rohr), 0);
        std::vector<std::string> args = argumente(d);
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::dup2(rohr[1], 2);
            ::close(rohr[0]);
            ::close(rohr[1]);
            const int leer = ::open("/dev/null", O_WRONLY);
            ::dup2(leer, 1);
            std::vector<char*> argv;
            for (std::string& a : args) {
                argv.push_back(a.data());
            }
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        ::close(rohr[1]);
        lesen = ::fdopen(rohr[0], "r");
        return pid;
    }

    // Reads progress lines until one says `coups` coups are done (or the output ends).
    static bool bisCoups(FILE* lesen, int coups) {
        char zeile[256];
        const std::string gesucht = "mine: " + std::to_string(coups) + " of ";
        while (std::fgets(zeile, sizeof zeile, lesen) != nullptr) {
            if (std::string(zeile).rfind(gesucht, 0) == 0) {
                return true;
            }
        }
        return false;
    }

    // The check of both files; the count of result rows, -1 when a file is damaged.
    static std::int64_t pruefen(const fs::path& d) {
        for (const store::DatabaseFile f :
             {store::DatabaseFile::Roulette, store::DatabaseFile::DmModul}) {
            store::Connection c((d / store::Database::fileName(f)).string(),
                                store::Connection::Mode::OpenExisting);
            store::Statement s(c, "PRAGMA integrity_check");
            if (!s.step() || s.text(0) != "ok") {
                ADD_FAILURE() << store::Database::fileName(f) << ": " << s.text(0);
                return -1;
            }
        }
        // The program's own check of the layout opens them.
        store::Modulzustand zustand;
        store::DataModule_Roulette dm(d, zustand);
        dm.open();
        store::Statement n(dm.TdbDatabase_DM_Modul.connection(),
                           "SELECT COUNT(*) FROM DM_Gewinn_Verlust");
        n.step();
        const std::int64_t zeilen = n.int64(0);
        dm.close();
        return zeilen;
    }

    int system_ = 0;
};

TEST_F(MineKillTest, KilledWhileScoringOrWritingLeavesIntactFiles) {
    const fs::path vorlage = dir.path();
    // The whole run, uninterrupted: how many rows it writes.
    const fs::path ganz = vorlage.parent_path() / (vorlage.filename().string() + "-ganz");
    fs::copy(vorlage, ganz, fs::copy_options::recursive);
    FILE* lesen = nullptr;
    const pid_t p = starten(ganz, lesen);
    while (bisCoups(lesen, -1)) {
    }
    std::fclose(lesen);
    int status = 0;
    ::waitpid(p, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    const std::int64_t alle = pruefen(ganz);
    ASSERT_GT(alle, 0);
    fs::remove_all(ganz);

    // Killed after some coups, after all coups (while the rows are written) and a little later.
    const int n = kTage * kCoupsProTag;
    struct Moment {
        int coups;
        int wartenMs;
    };
    for (const Moment m : {Moment{n / 10, 0}, Moment{n / 2, 0}, Moment{n, 0}, Moment{n, 20},
                           Moment{n, 100}, Moment{n, 400}}) {
        SCOPED_TRACE(std::to_string(m.coups) + " coups + " + std::to_string(m.wartenMs) + " ms");
        const fs::path d =
            vorlage.parent_path() / (vorlage.filename().string() + "-" + std::to_string(m.coups) +
                                     "-" + std::to_string(m.wartenMs));
        fs::copy(vorlage, d, fs::copy_options::recursive);
        FILE* aus = nullptr;
        const pid_t pid = starten(d, aus);
        ASSERT_TRUE(bisCoups(aus, m.coups));
        std::this_thread::sleep_for(std::chrono::milliseconds(m.wartenMs));
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        std::fclose(aus);
        const std::int64_t zeilen = pruefen(d);
        EXPECT_TRUE(zeilen == 0 || zeilen == alle) << zeilen << " of " << alle << " rows stored";
        fs::remove_all(d);
    }
}

}  // namespace
}  // namespace spinalyst::cli
