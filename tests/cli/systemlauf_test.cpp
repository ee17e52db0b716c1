#include "cli/systemlauf.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "capture/auswahl.h"
#include "store/sqlite.h"
#include "systems/austausch.h"
#include "tests/cli/system_cli_fixture.h"
#include "tests/support/kontext_fixture.h"
#include "tests/support/systemdaten.h"

namespace spinalyst::cli {
namespace {

using spinalyst::testing::Tag_Schreiben;
using spinalyst::testing::Zwei_Ereignis_System;
using store::Date;
using store::Value;
using testing::Result;
using testing::runCli;
using Json = nlohmann::ordered_json;

// The system evaluation from the command line on the fixture's casino and day.
class SystemRunTest : public testing::SystemCliTest {
  protected:
    Result lauf(int idSystem, const std::vector<std::string>& optionen) {
        return befehl("system-run", idSystem, optionen);
    }

    Json dokument(int idSystem, std::vector<std::string> optionen) {
        const Result r = lauf(idSystem, std::move(optionen));
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(r.err, "");
        return r.code == 0 ? Json::parse(r.out) : Json();
    }

    // The three days of the worked example: after red bet black, "E", stakes 1, 2, 4. The first
    // day ends on red.
    void dreiTage() {
        c = tag(heute().addDays(-2), {Value(1), Value(2), Value(3), Value(6), Value(8), Value(5)});
        const auto c2 = tag(heute().addDays(-1), {Value(7), Value(0), Value(9), Value(10)});
        const auto c3 = tag(heute(), {Value(11), Value(12), Value(13)});
        c.insert(c.end(), c2.begin(), c2.end());
        c.insert(c.end(), c3.begin(), c3.end());
    }
    std::string id(int i) const { return std::to_string(c[static_cast<std::size_t>(i)]); }

    std::vector<std::int64_t> c;  // ID_Zahl of the coups of dreiTage, oldest first
};

TEST_F(SystemRunTest, PrintsBetsBookingsDaysTotalsSummaryAndState) {
    dreiTage();
    const int s = system(Zwei_Ereignis_System());
    // Three result days: the engine also walks D-3, which has no coups.
    const Json d = dokument(s, {"--days", "3"});
    std::vector<std::string> namen;
    for (auto it = d.begin(); it != d.end(); ++it) {
        namen.push_back(it.key());
    }
    EXPECT_EQ(namen,
              (std::vector<std::string>{"bets", "coups", "days", "totals", "summary", "state"}));
    const auto wette = [&](int coup, int satz, int ergebnis) {
        return Json::array({c[static_cast<std::size_t>(coup)], s, 1, 2, satz, ergebnis});
    };
    // Red then black (hit), red then black (hit); red at the end of the day starts nothing on the
    // next day; red, then 0 (miss), 9 (miss), 10 (hit at step 3); the last coup is settled at the
    // end.
    EXPECT_EQ(d.at("bets"), Json::array({wette(1, 1, 1), wette(3, 1, 1), wette(7, 1, -1),
                                         wette(8, 2, -2), wette(9, 4, 4), wette(12, 1, 1)}));
    Json coups = Json::object();
    coups[id(1)] = {1, 1};
    coups[id(3)] = {1, 2};
    coups[id(7)] = {1, -1};
    coups[id(8)] = {2, -3};
    coups[id(9)] = {4, 1};
    coups[id(12)] = {1, 1};
    EXPECT_EQ(d.at("coups"), coups);
    EXPECT_EQ(d.at("days"), Json::parse(R"({"2024-03-13": [2, 2, 0, 2],
                                             "2024-03-14": [1, 1, -3, 3],
                                             "2024-03-15": [1, 1, 0, 1]})"));
    const Json& g = d.at("totals");
    EXPECT_EQ(g.at("ID_Casino"), casino);
    EXPECT_EQ(g.at("Tisch"), "T 01");
    EXPECT_EQ(g.at("Tage"), 3);
    EXPECT_EQ(g.at("Gewinn_Verlust"), 4);
    EXPECT_EQ(g.at("Gewinn_Maximal"), 2);
    EXPECT_EQ(g.at("Verlust_Maximal"), -3);
    EXPECT_EQ(g.at("Coups_Anzahl"), 13);
    EXPECT_EQ(g.at("Angriffe"), 6);
    const Json& u = d.at("summary");
    EXPECT_EQ(u.at("ID_System"), s);
    EXPECT_EQ(u.at("Datum_von"), "2024-03-13");
    EXPECT_EQ(u.at("Datum_bis"), "2024-03-15");
    EXPECT_EQ(u.at("Casino_Name"), "Casino");
    EXPECT_EQ(u.at("Tage"), 3);
    EXPECT_EQ(u.at("Tage_positiv"), 3);
    EXPECT_EQ(u.at("Gewinn_Verlust"), 4);
    EXPECT_EQ(u.at("Angriffe"), 6);
    Json zustand = Json::object();
    zustand[std::to_string(s)] = {0, "f", "f", "f"};
    EXPECT_EQ(d.at("state"), zustand);
}

// The days, the change of day and the last coup about to be played.
TEST_F(SystemRunTest, DaysAndAcrossChooseTheStretchAndTheResultDays) {
    dreiTage();
    const auto offen = tag(heute().addDays(1), {Value(1), Value()});
    const int s = system(Zwei_Ereignis_System());
    const struct {
        std::vector<std::string> optionen;
        const char* tage;
        const char* von;
        std::size_t wetten;
        std::string ersteWette;  // ID_Zahl of the first bet
    } faelle[] = {
        // n = 0: the chosen day alone, no result day; the summary runs from D+1 to D.
        {{"--days", "0"}, "{}", "2024-03-16", 1, id(12)},
        // n = 1: the day before is evaluated too, without a day result.
        {{}, R"({"2024-03-15": [1, 1, 0, 1]})", "2024-03-15", 4, id(7)},
        {{"--days", "2"},
         R"({"2024-03-14": [1, 1, -3, 3], "2024-03-15": [1, 1, 0, 1]})",
         "2024-03-14",
         6,
         id(1)},
        // Across the days the first coup of day 2 follows red on day 1 and bets: 7, 0, 9 miss
        // (the attack ends after step 3), 9 is red again and 10 wins.
        {{"--days", "1", "--across"}, R"({"2024-03-15": [1, 1, 0, 1]})", "2024-03-15", 5, id(6)},
        {{"--days", "2", "--across"},
         R"({"2024-03-14": [-6, 0, -7, 4], "2024-03-15": [1, 1, 0, 1]})",
         "2024-03-14",
         7,
         id(1)},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.optionen.empty() ? std::string("default") : f.optionen.back());
        const Json d = dokument(s, f.optionen);
        EXPECT_EQ(d.at("days"), Json::parse(f.tage));
        EXPECT_EQ(d.at("summary").at("Datum_von"), f.von);
        EXPECT_EQ(d.at("summary").at("Datum_bis"), "2024-03-15");
        ASSERT_EQ(d.at("bets").size(), f.wetten);
        EXPECT_EQ(std::to_string(d.at("bets")[0][0].get<std::int64_t>()), f.ersteWette);
        // The coup about to be played on the next day lies outside every stretch.
        EXPECT_FALSE(d.at("coups").contains(std::to_string(offen[1])));
    }
    // n = 0: no result day, so 0 days and no result in the totals.
    const Json d = dokument(s, {"--days", "0"});
    EXPECT_EQ(d.at("totals").at("Tage"), 0);
    EXPECT_EQ(d.at("summary").at("Tage"), 0);
}

TEST_F(SystemRunTest, AllMarkedSystemsRunWithoutSummaryUpToSeven) {
    dreiTage();
    const int gewaehlt = system(Zwei_Ereignis_System());
    std::vector<int> markiert;
    for (int i = 0; i < 7; ++i) {
        markiert.push_back(system(
            Zwei_Ereignis_System(i % 2 == 0 ? 1 : 2, i % 2 == 0 ? 2 : 1, {1, 2, 4}, "E", "x")));
    }
    const Json d = dokument(gewaehlt, {"--all"});
    EXPECT_TRUE(d.at("summary").is_null());
    EXPECT_EQ(d.at("state").size(), 8u);  // the seven marked and the selected one
    std::set<std::int64_t> gewettet;
    for (const auto& w : d.at("bets")) {
        gewettet.insert(w[1].get<std::int64_t>());
    }
    EXPECT_EQ(gewettet.size(), 8u);

    // An eighth marked system: refused before anything runs.
    system(Zwei_Ereignis_System(1, 2, {1}, "E", "x"));
    const Result r = lauf(gewaehlt, {"--all"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "spinalyst-cli: Mehr als 7 aktive Systeme!\n");
    // Without --all only the selected system runs.
    EXPECT_EQ(dokument(gewaehlt, {}).at("state").size(), 1u);
}

TEST_F(SystemRunTest, AFailedSystemCheckWarnsAndRunsAnyway) {
    dreiTage();
    // Falling stakes.
    const int s = system(Zwei_Ereignis_System(1, 2, {2, 1}));
    const Result r = lauf(s, {});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "spinalyst-cli: warning: system " + std::to_string(s) +
                         ": Instance 1: the stake of step 2 is below the one before\n"
                         "spinalyst-cli: warning: evaluating system " +
                         std::to_string(s) + " anyway\n");
    EXPECT_EQ(Json::parse(r.out).at("bets").size(), 4u);
}

TEST_F(SystemRunTest, UnknownSystemsAndCasinosAndStoreErrorsFail) {
    dreiTage();
    const int s = system(Zwei_Ereignis_System());
    Result r = lauf(s + 1, {});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "spinalyst-cli: there is no system with ID_System_AutoInc " +
                         std::to_string(s + 1) + "\n");
    r = runCli({"system-run", dir.path().string(), std::to_string(casino + 1), "T 01", "2024-03-15",
                "--system", std::to_string(s)});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "spinalyst-cli: unknown casino " + std::to_string(casino + 1) + "\n");

    // The store refuses the bets: the run ends with the error and no document.
    sql("CREATE TRIGGER kein_Satz BEFORE INSERT ON Systeme_Abarbeitung "
        "BEGIN SELECT RAISE(ABORT, 'no room for bets'); END");
    r = lauf(s, {});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("no room for bets"), std::string::npos) << r.err;
    sql("DROP TRIGGER kein_Satz");
    EXPECT_EQ(dokument(s, {}).at("bets").size(), 4u);
}

TEST_F(SystemRunTest, TheStoredSelectionIsKept) {
    dreiTage();
    const int s = system(Zwei_Ereignis_System());
    auto wahl = [&] {
        const auto db = datenbank();
        store::TableCursor w("w", *db, "Wahl");
        w.open();
        return w.value("ID_Casino").toText() + "|" + w.text("Tisch") + "|" +
               w.value("Datum").toText();
    };
    const std::string vorher = wahl();
    EXPECT_EQ(lauf(s, {"--days", "2"}).code, 0);
    EXPECT_EQ(wahl(), vorher);
}

}  // namespace
}  // namespace spinalyst::cli
