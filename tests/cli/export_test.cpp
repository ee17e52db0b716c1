#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "store/csv.h"
#include "tests/cli/system_cli_fixture.h"
#include "tests/support/systemdaten.h"

namespace spinalyst::cli {
namespace {

using store::Value;
using testing::Result;
using testing::runCli;
using Json = nlohmann::ordered_json;

std::string lesen(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class ExportTest : public testing::SystemCliTest {
  protected:
    std::string d() const { return dir.path().string(); }
};

// A generated month, a stretch of it exported from the command line and imported into another
// casino: the other casino's export is the same file.
TEST_F(ExportTest, AnExportedStretchImportsIntoAnotherCasinoUnchanged) {
    ASSERT_EQ(runCli({"casino-add", d(), "Zufall", "--random-coups", "40"}).code, 0);
    ASSERT_EQ(runCli({"import", d(), "2", "T 04", "2012-03"}).out,
              "Permanence: 31 Day(s), 1240 Coups included!\n");
    for (const char* trenner : {"comma", "semicolon"}) {
        SCOPED_TRACE(trenner);
        const auto datei = dir.path() / (std::string(trenner) + ".csv");
        const Result aus = runCli({"export", d(), "permanence", "--casino", "2", "--table", "T 04",
                                   "--from", "2012-03-10", "--to", "2012-03-12", "--separator",
                                   trenner, "--out", datei.string()});
        ASSERT_EQ(aus.code, 0) << aus.err;
        EXPECT_EQ(aus.out, "");
        const std::string text = lesen(datei);
        const auto zeilen = store::readCsv(text, std::string(trenner) == "comma" ? ',' : ';');
        ASSERT_EQ(zeilen.size(), 121u);
        EXPECT_EQ(zeilen[0].fields, (std::vector<std::string>{"date", "coup", "number"}));
        EXPECT_EQ(zeilen[1].fields[0], "2012-03-10");
        EXPECT_EQ(zeilen[1].fields[1], "1");
        EXPECT_EQ(zeilen[120].fields[0], "2012-03-12");
        EXPECT_EQ(zeilen[120].fields[1], "40");

        const Result neu = runCli({"casino-add", d(), std::string("Archiv ") + trenner});
        const std::string id = neu.out.substr(0, neu.out.find('\n'));
        const Result ein =
            runCli({"import-list", d(), datei.string(), "--casino", id, "--table", "T 09"});
        ASSERT_EQ(ein.code, 0) << ein.err;
        EXPECT_EQ(ein.out, "Number list: 3 Day(s), 120 Coups included!\n");
        const Result wieder = runCli({"export", d(), "permanence", "--casino", id, "--table",
                                      "T 09", "--separator", trenner});
        EXPECT_EQ(wieder.out, text);
    }
}

TEST_F(ExportTest, ABadListIsRefusedWithItsLinesAndNothingStored) {
    const auto datei = dir.path() / "liste.txt";
    std::ofstream(datei) << "17\n0\n37\n";
    const std::string id = std::to_string(casino);
    const Result r = runCli({"import-list", d(), datei.string(), "--casino", id, "--table", "T 01",
                             "--first-day", "2024-03-01", "--per-day", "2"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err,
              "spinalyst-cli: Number list: nothing included. 1 line(s) of the file cannot be "
              "read:\nLine 3: the number 37 is not between 0 and 36\n");
    EXPECT_EQ(runCli({"export", d(), "permanence", "--casino", id, "--table", "T 01"}).err,
              "spinalyst-cli: No coups in this range of days.\n");

    std::ofstream(datei) << "17\n0\n36\n";
    const Result ohneTag =
        runCli({"import-list", d(), datei.string(), "--casino", id, "--table", "T 01"});
    EXPECT_EQ(ohneTag.code, 1);
    EXPECT_EQ(ohneTag.err,
              "spinalyst-cli: Number list: nothing included. The list has no dates: give the "
              "first day.\n");
    const Result gut = runCli({"import-list", d(), datei.string(), "--casino", id, "--table",
                               "T 01", "--first-day", "2024-03-01", "--per-day", "2"});
    EXPECT_EQ(gut.out, "Number list: 2 Day(s), 3 Coups included!\n");
    EXPECT_EQ(runCli({"export", d(), "permanence", "--casino", id, "--table", "T 01"}).out,
              "date,coup,number\r\n2024-03-01,1,17\r\n2024-03-01,2,0\r\n2024-03-02,1,36\r\n");

    const Result fehlt = runCli(
        {"import-list", d(), (dir.path() / "fehlt").string(), "--casino", id, "--table", "T 01"});
    EXPECT_EQ(fehlt.code, 1);
    EXPECT_EQ(fehlt.err,
              "spinalyst-cli: File cannot be read: " + (dir.path() / "fehlt").string() + "\n");
    EXPECT_EQ(runCli({"import-list", d(), datei.string(), "--casino", "99", "--table", "T 01"}).err,
              "spinalyst-cli: unknown casino 99\n");
}

TEST_F(ExportTest, WrongArgumentsAreNamed) {
    const struct {
        std::vector<std::string> args;
        std::string meldung;
    } faelle[] = {
        {{"export", d(), "bets"}, "WHAT must be permanence, events, system or mining, not 'bets'"},
        {{"export", d(), "events", "--separator", "tab"},
         "--separator must be comma or semicolon, not 'tab'"},
        {{"export", d(), "system", "--part", "all"}, "--part must be days, totals or bets"},
        {{"export", d(), "permanence", "--table", "T 26"}, "--table must be \"T 01\" to \"T 25\""},
        {{"export", d(), "permanence", "--from", "1.3.2012"}, "--from must be a day given as"},
        {{"import-list", d(), "x.csv", "--casino", "1"}, "--table is required"},
        {{"import-list", d(), "x.csv", "--casino", "1", "--table", "T 01", "--per-day", "-1"},
         "--per-day"},
    };
    for (const auto& f : faelle) {
        const Result r = runCli(f.args);
        EXPECT_EQ(r.code, 2) << f.meldung;
        EXPECT_NE(r.err.find(f.meldung), std::string::npos) << r.err;
    }
}

TEST_F(ExportTest, TheResultsOfTheLastEvaluations) {
    tag(heute().addDays(-1), {Value(1), Value(2), Value(3), Value(6), Value(8), Value(5)});
    tag(heute(), {Value(7), Value(0), Value(9), Value(10)});
    EXPECT_EQ(runCli({"export", d(), "events"}).err,
              "spinalyst-cli: No permanence evaluation to export.\n");
    EXPECT_EQ(runCli({"export", d(), "mining"}).err,
              "spinalyst-cli: No data-mining results to export.\n");

    const std::string id = std::to_string(casino);
    const Result auswertung =
        runCli({"evaluate", d(), id, "T 01", "2024-03-15", "--days", "2", "--mode", "A"});
    ASSERT_EQ(auswertung.code, 0) << auswertung.err;
    const Result ereignisse = runCli({"export", d(), "events", "--separator", "semicolon"});
    ASSERT_EQ(ereignisse.code, 0) << ereignisse.err;
    const auto zeilen = store::readCsv(ereignisse.out, ';');
    EXPECT_EQ(zeilen[0].fields,
              (std::vector<std::string>{"event", "chance", "name", "numbers", "hits", "percent",
                                        "expected", "z", "p", "q"}));
    // Red: 1, 3, 5, 7, 9 of the ten coups; with a semicolon the decimal is a comma. Expected
    // 10 · 18 / 37 = 4.86 hits; z and the p-values are those the evaluation reports.
    ASSERT_EQ(zeilen[1].fields.size(), 10u);
    EXPECT_EQ(std::vector<std::string>(zeilen[1].fields.begin(), zeilen[1].fields.begin() + 7),
              (std::vector<std::string>{"1", "1", "Red", "18 red numbers", "5", "50,0", "4,86"}));
    const auto zahl = [](std::string s) {
        std::replace(s.begin(), s.end(), ',', '.');
        return std::stod(s);
    };
    const Json rot = Json::parse(auswertung.out)["events"][0];
    ASSERT_EQ(rot["id"], 1) << rot.dump();
    EXPECT_NEAR(zahl(zeilen[1].fields[7]), rot["z"].get<double>(), 1e-3);
    EXPECT_NEAR(zahl(zeilen[1].fields[8]), rot["p"].get<double>(), 1e-6);
    EXPECT_NEAR(zahl(zeilen[1].fields[9]), rot["q"].get<double>(), 1e-6);

    const int s = system(spinalyst::testing::Zwei_Ereignis_System());
    const Result lauf = befehl("system-run", s, {"--days", "2"});
    ASSERT_EQ(lauf.code, 0) << lauf.err;
    const Json j = Json::parse(lauf.out);
    const std::string bis = "2024-03-15";
    const Result tage = runCli({"export", d(), "system", "--casino", id, "--table", "T 01",
                                "--from", "2024-03-14", "--to", bis});
    ASSERT_EQ(tage.code, 0) << tage.err;
    const auto t = store::readCsv(tage.out, ',');
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[0].fields, (std::vector<std::string>{"day", "win/loss", "max +", "max -", "coups",
                                                     "attacks", "system"}));
    EXPECT_EQ(t[1].fields[0], "2024-03-14");
    EXPECT_EQ(t[2].fields[0], "2024-03-15");
    EXPECT_EQ(t[2].fields[4], "4");
    const Result saetze = runCli({"export", d(), "system", "--casino", id, "--table", "T 01",
                                  "--to", bis, "--from", "2024-03-14", "--part", "bets"});
    ASSERT_EQ(saetze.code, 0) << saetze.err;
    const auto b = store::readCsv(saetze.out, ',');
    ASSERT_FALSE(j["bets"].empty());
    EXPECT_EQ(b.size(), j["bets"].size() + 1);
    EXPECT_EQ(b[0].fields.back(), "win/loss");
    const Result gesamt = runCli({"export", d(), "system", "--casino", id, "--table", "T 01",
                                  "--to", bis, "--from", "2024-03-14", "--part", "totals"});
    const auto g = store::readCsv(gesamt.out, ',');
    ASSERT_EQ(g.size(), 2u);
    EXPECT_EQ(g[1].fields[0], "2");
    EXPECT_EQ(g[1].fields[1], j["totals"]["Gewinn_Verlust"].dump());
}

}  // namespace
}  // namespace spinalyst::cli
