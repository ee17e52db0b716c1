#include "cli/online.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <sstream>
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

// Online play from the command line on the fixture's casino and day.
class OnlineTest : public testing::SystemCliTest {
  protected:
    Result online(int idSystem, const std::vector<std::string>& weitere) {
        return befehl("online", idSystem, weitere);
    }

    // The printed lines, each parsed.
    static std::vector<Json> zeilen(const Result& r) {
        std::vector<Json> alle;
        std::istringstream in(r.out);
        for (std::string zeile; std::getline(in, zeile);) {
            alle.push_back(Json::parse(zeile));
        }
        return alle;
    }

    // The coups of the chosen day: (ID_Zahl, Zahl or -1), oldest first.
    std::vector<std::pair<std::int64_t, int>> heutigeCoups() {
        const auto db = datenbank();
        store::Statement s(db->connection(),
                           "SELECT ID_Zahl, IFNULL(Zahl, -1) FROM Permanenz WHERE Datum = ? "
                           "ORDER BY ID_Zahl");
        s.bind(1, Value(heute()));
        std::vector<std::pair<std::int64_t, int>> r;
        while (s.step()) {
            r.emplace_back(s.int64(0), static_cast<int>(s.int64(1)));
        }
        return r;
    }
};

// A signal [ID_System, ID_Instanz, ID_Ereignis, Satz] of instance 1.
Json signal(int system, int ereignis, int satz) {
    return Json::array({system, 1, ereignis, satz});
}

// Numbers typed one by one on a day without coups: after red the system bets black with stakes
// 1, 2, 4; a refused number stores nothing and advances nothing, but its line is printed.
TEST_F(OnlineTest, EveryNumberPrintsTheCoupAboutToBePlayedItsStakeAndItsSignals) {
    const int s = system(Zwei_Ereignis_System());
    const Result r = online(s, {"--", "1", "3", "37", "-1", "5", "2", "9"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const std::vector<Json> z = zeilen(r);

    const struct {
        const char* zahl;
        bool gespeichert;
        Json signale;
    } schritte[] = {
        {"opening", false, Json::array()},  // no coup yet, none about to be played
        {"1", true, {signal(s, 2, 1)}},     // red: black, step 1
        {"3", true, {signal(s, 2, 2)}},     // lost: step 2
        {"37", false, {signal(s, 2, 2)}},   // refused
        {"-1", false, {signal(s, 2, 2)}},   // refused
        {"5", true, {signal(s, 2, 4)}},     // lost: step 3
        {"2", true, Json::array()},         // won: the attack ends; black does not trigger
        {"9", true, {signal(s, 2, 1)}},     // a new attack
    };
    ASSERT_EQ(z.size(), std::size(schritte)) << r.out;
    // The day keeps the stored numbers; the coup about to be played is removed at the close.
    const auto coups = heutigeCoups();
    ASSERT_EQ(coups, (std::vector<std::pair<std::int64_t, int>>{{coups[0].first, 1},
                                                                {coups[1].first, 3},
                                                                {coups[2].first, 5},
                                                                {coups[3].first, 2},
                                                                {coups[4].first, 9}}));
    std::size_t gespeichert = 0;
    for (std::size_t i = 0; i < z.size(); ++i) {
        const auto& schritt = schritte[i];
        SCOPED_TRACE(schritt.zahl);
        gespeichert += schritt.gespeichert ? 1 : 0;
        EXPECT_EQ(z[i].at("signals"), schritt.signale);
        // The total to place is the stake of the single signal.
        EXPECT_EQ(z[i].at("stake"),
                  schritt.signale.empty() ? Json(nullptr) : schritt.signale[0][3]);
        if (i == 0) {
            EXPECT_TRUE(z[i].at("coup").is_null());
        } else if (gespeichert < coups.size()) {
            // The coup about to be played is the one the next number goes into.
            EXPECT_EQ(z[i].at("coup"), coups[gespeichert].first);
        } else {
            EXPECT_GT(z[i].at("coup").get<std::int64_t>(), coups.back().first);
        }
    }
    std::vector<std::string> namen;
    for (auto it = z[0].begin(); it != z[0].end(); ++it) {
        namen.push_back(it.key());
    }
    EXPECT_EQ(namen, (std::vector<std::string>{"coup", "stake", "signals"}));
}

// The opening on a day that already has coups: the coup about to be played is appended and the
// day evaluated up to it; with --across the day before is looked back on; with --all every
// marked system of the kind and chance class plays, the signals in table order.
TEST_F(OnlineTest, TheOpeningEvaluatesTheDayAcrossTheDaysAndWithAllMarkedSystems) {
    // The day before ends on red and a lost step 1; today opens on red.
    tag(heute().addDays(-1), {Value(1), Value(3)});
    const auto heutige = tag(heute(), {Value(5)});
    const int s = system(Zwei_Ereignis_System());
    const int rot = system(Zwei_Ereignis_System(2, 1, {1, 3}, "E", "x"));
    const int auchSchwarz = system(Zwei_Ereignis_System(1, 2, {2, 5}, "E", "x"));
    const struct {
        const char* name;
        std::vector<std::string> weitere;
        Json erste;   // the signals after the opening
        Json zweite;  // after black (2)
    } faelle[] = {
        {"the day alone", {"2"}, {signal(s, 2, 1)}, Json::array()},
        // The day before is history: its last coup, red, triggers; black lost at 5: step 2.
        {"across", {"--across", "2"}, {signal(s, 2, 2)}, Json::array()},
        {"all", {"--all", "2"}, {signal(s, 2, 1), signal(auchSchwarz, 2, 2)}, {signal(rot, 1, 1)}},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.name);
        const Result r = online(s, f.weitere);
        ASSERT_EQ(r.code, 0) << r.err;
        const std::vector<Json> z = zeilen(r);
        ASSERT_EQ(z.size(), 2u) << r.out;
        EXPECT_GT(z[0].at("coup").get<std::int64_t>(), heutige.back());
        EXPECT_EQ(z[0].at("signals"), f.erste);
        EXPECT_EQ(z[1].at("signals"), f.zweite);
        // The entered number stays, the open coup after it is gone.
        const auto coups = heutigeCoups();
        ASSERT_EQ(coups.size(), 2u);
        EXPECT_EQ(coups[1], std::pair(z[0].at("coup").get<std::int64_t>(), 2));
        // Each case starts from the same day.
        datenbank()->connection().exec("DELETE FROM Permanenz WHERE ID_Zahl = " +
                                       std::to_string(coups[1].first));
    }
}

TEST_F(OnlineTest, EightMarkedSystemsAreRefusedWithAllAndTheSelectionIsKept) {
    tag(heute(), {Value(1)});
    const int gewaehlt = system(Zwei_Ereignis_System());
    for (int i = 0; i < 8; ++i) {
        system(Zwei_Ereignis_System(1, 2, {1}, "E", "x"));
    }
    auto wahl = [&] {
        const auto db = datenbank();
        store::TableCursor w("w", *db, "Wahl");
        w.open();
        return w.value("ID_Casino").toText() + "|" + w.text("Tisch") + "|" +
               w.value("Datum").toText();
    };
    const std::string vorher = wahl();
    const Result r = online(gewaehlt, {"--all", "2"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "spinalyst-cli: Mehr als 7 aktive Systeme!\n");
    EXPECT_EQ(heutigeCoups().size(), 1u);  // nothing entered
    EXPECT_EQ(wahl(), vorher);
    // Without --all the selected system plays alone.
    const Result e = online(gewaehlt, {"7"});
    EXPECT_EQ(e.code, 0) << e.err;
    EXPECT_EQ(zeilen(e).size(), 2u);
    EXPECT_EQ(wahl(), vorher);
}

TEST_F(OnlineTest, UnknownSystemsAndCasinosAndWrongNumbersFail) {
    const int s = system(Zwei_Ereignis_System());
    Result r = online(s + 1, {});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "spinalyst-cli: there is no system with ID_System_AutoInc " +
                         std::to_string(s + 1) + "\n");
    r = runCli({"online", dir.path().string(), std::to_string(casino + 1), "T 01", "2024-03-15",
                "--system", std::to_string(s), "1"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "spinalyst-cli: unknown casino " + std::to_string(casino + 1) + "\n");
    const struct {
        std::vector<std::string> zahlen;
        std::string meldung;
    } falsch[] = {
        {{"1", "-x"}, "unknown option '-x'"},
        {{"1", "rot"}, "NUMBER must be a whole number, not 'rot'"},
        {{"--", "1.5"}, "NUMBER must be a whole number, not '1.5'"},
    };
    for (const auto& f : falsch) {
        r = online(s, f.zahlen);
        EXPECT_EQ(r.code, 2) << f.meldung;
        EXPECT_EQ(r.out, "");
        EXPECT_TRUE(r.err.starts_with("spinalyst-cli: " + f.meldung + "\n")) << r.err;
    }
    EXPECT_TRUE(heutigeCoups().empty());
}

}  // namespace
}  // namespace spinalyst::cli
