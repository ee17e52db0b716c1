#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kern/katalog.h"
#include "store/sqlite.h"
#include "tests/cli/system_cli_fixture.h"

namespace spinalyst::cli {
namespace {

using store::Value;
using testing::Result;

// Results of a run written straight into the data-mining file: one combination (frequency not
// Red), one sequence (not event 9, then event 3), rows of two kinds.
class MineResultsTest : public testing::SystemCliTest {
  protected:
    MineResultsTest() {
        kern::Sitzung sitzung;
        store::DataModule_Roulette dm(dir.path(), sitzung);
        dm.open();
        katalog = kern::Ereigniskatalog::laden(dm);
        store::Connection& c = dm.TdbDatabase_DM_Modul.connection();
        c.exec("INSERT INTO DM_HSR VALUES (1, 3, 't', 't', 0, 'f', 'f', 0, 'f', 'f')");
        c.exec(
            "INSERT INTO DM_Folge (Gleiche_Art, Gleiche_Art_Ansicht, Ereignis_1_vor_Angriff, "
            "Ereignis_2_vor_Angriff, Ereignis_3_vor_Angriff, Ereignis_4_vor_Angriff, "
            "Ereignis_5_vor_Angriff, Anzahl) VALUES (11, '', 3, 109, 0, 0, 0, 4)");
        // ID_HSR, ID_Folge, Art, ID_Ereignis, ID_Angriff, Anzahl, Anzahl_OK, %, %-text, G/V
        c.exec(
            "INSERT INTO DM_Gewinn_Verlust VALUES (1, 1, 'E', 2, 1, 7, 4, 57.142857, '57,1%', 5)");
        c.exec(
            "INSERT INTO DM_Gewinn_Verlust VALUES (1, 1, 'E', 4, 1, 7, 6, 85.714285, '85,7%', 3)");
        c.exec(
            "INSERT INTO DM_Gewinn_Verlust VALUES (1, 1, 'E', 5, 1, 7, 1, 14.285714, '14,3%', -3)");
        c.exec("INSERT INTO DM_Gewinn_Verlust VALUES (1, 1, 'K', 30, 3, 2, 1, 50.0, '50,0%', 8)");
        c.exec("INSERT INTO DM_Gewinn_Verlust VALUES (1, 1, 'K', 2, 3, 2, 1, 50.0, '50,0%', 9)");
    }
    Result results(std::vector<std::string> weitere) {
        std::vector<std::string> args = {"mine-results", dir.path().string()};
        args.insert(args.end(), weitere.begin(), weitere.end());
        return testing::runCli(args);
    }
    std::string name(int e) { return katalog.name(e, store::Sprache::Englisch); }
    // The pattern of every row, quoted: it holds commas.
    std::string muster(int angriff) {
        return "\"H not " + name(3) + ", S off, R off; not " + name(9) + ", " + name(3) +
               "; attack " + name(angriff) + "\"";
    }

    kern::Ereigniskatalog katalog;
};

TEST_F(MineResultsTest, PrintsTheStoredSelectionsListAsCsv) {
    // The program's selection: chance 1, length 1, kind "E", by win/loss, above 0.
    const Result r = results({});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "pattern,count,successes,percentage,win_loss\r\n" + muster(2) +
                         ",7,4,57.1%,5\r\n" + muster(4) + ",7,6,85.7%,3\r\n");
}

TEST_F(MineResultsTest, OptionsChangeSelectionOrderAndNumberOfRows) {
    struct Fall {
        std::vector<std::string> optionen;
        std::vector<std::string> zeilen;  // the lines after the header, without the pattern
    };
    for (const Fall& f : std::vector<Fall>{
             {{"--order", "%"}, {",7,6,85.7%,3", ",7,4,57.1%,5"}},
             {{"--min", "-5"}, {",7,4,57.1%,5", ",7,6,85.7%,3", ",7,1,14.3%,-3"}},
             {{"--limit", "1"}, {",7,4,57.1%,5"}},
             {{"--kind", "K", "--length", "3", "--chance", "8"}, {",2,1,50.0%,8"}},
             {{"--kind", "K", "--length", "3", "--chance", "0"}, {",2,1,50.0%,9", ",2,1,50.0%,8"}},
             {{"--kind", "P"}, {}}}) {
        const Result r = results(f.optionen);
        ASSERT_EQ(r.code, 0) << r.err;
        std::vector<std::string> zeilen;
        std::size_t anfang = r.out.find("\r\n") + 2;
        while (anfang < r.out.size()) {
            const std::size_t ende = r.out.find("\r\n", anfang);
            const std::string zeile = r.out.substr(anfang, ende - anfang);
            zeilen.push_back(zeile.substr(zeile.rfind('"') + 1));
            anfang = ende + 2;
        }
        EXPECT_EQ(zeilen, f.zeilen) << f.optionen.front();
    }
}

TEST_F(MineResultsTest, RefusesWrongOptions) {
    for (const std::vector<std::string>& falsch :
         std::vector<std::vector<std::string>>{{"--kind", "X"},
                                               {"--chance", "3"},
                                               {"--length", "11"},
                                               {"--order", "Q"},
                                               {"--limit", "0"}}) {
        const Result r = results(falsch);
        EXPECT_EQ(r.code, 2) << falsch.front();
        EXPECT_TRUE(r.out.empty());
    }
}

}  // namespace
}  // namespace spinalyst::cli
