#include "cli/evaluate.h"

#include <gtest/gtest.h>

#include "tests/cli/cli_fixture.h"

#include <cmath>
#include <sstream>

#include <nlohmann/json.hpp>

#include "capture/auswahl.h"
#include "cli/cli.h"
#include "store/sqlite.h"
#include "tests/support/kontext_fixture.h"

namespace spinalyst::cli {
namespace {

using testing::Result;
using testing::runCli;

using store::Date;
using store::Value;
using Json = nlohmann::ordered_json;

// A program directory with one casino; coups are written straight into `Permanenz`.
class EvaluateTest : public ::testing::Test {
  protected:
    EvaluateTest() {
        kern::Sitzung sitzung;
        store::DataModule_Roulette dm(dir.path(), sitzung);
        dm.open();
        spinalyst::testing::ScriptedUi ui;
        kern::Ansicht ansicht;
        kern::Kontext k{dm, sitzung, ui, ansicht};
        casino = capture::BitBtn_NeuClick(k);
    }

    static Date heute() { return Date::fromYmd(2024, 3, 15); }

    // Numbers oldest first; returns the `ID_Zahl` of each coup.
    std::vector<std::int64_t> tag(Date d, const std::vector<Value>& zahlen,
                                  const char* tisch = "T 01") {
        store::Database db(store::DatabaseFile::Roulette);
        db.setLocation(dir.path() / store::Database::fileName(store::DatabaseFile::Roulette));
        db.connect();
        store::TableCursor p("p", db, "Permanenz");
        p.open();
        std::vector<std::int64_t> ids;
        for (const Value& z : zahlen) {
            p.appendRecord({casino, tisch, d, Value(), z});
            ids.push_back(p.value("ID_Zahl").toInt64());
        }
        return ids;
    }

    Result evaluate(std::vector<std::string> optionen, std::string datum = "2024-03-15") {
        std::vector<std::string> args = {"evaluate", dir.path().string(), std::to_string(casino),
                                         "T 01", std::move(datum)};
        args.insert(args.end(), optionen.begin(), optionen.end());
        return runCli(args);
    }

    // The parsed output of a run that must succeed.
    Json dokument(std::vector<std::string> optionen) {
        const Result r = evaluate(std::move(optionen));
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(r.err, "");
        return Json::parse(r.out);
    }

    static const Json& ereignis(const Json& d, int id) {
        return d.at("events").at(static_cast<std::size_t>(id - 1));
    }
    static const Json& klasse(const Json& d, int gruppe) {
        for (const auto& c : d.at("classes")) {
            if (c.at("class") == gruppe) {
                return c;
            }
        }
        throw std::runtime_error("no class " + std::to_string(gruppe));
    }
    // An event without the figures of a fair wheel.
    static Json ohneStatistik(Json e) {
        for (const char* feld : {"expected", "z", "p", "q"}) {
            e.erase(feld);
        }
        return e;
    }
    static std::vector<std::string> namen(const Json& objekt) {
        std::vector<std::string> n;
        for (auto it = objekt.begin(); it != objekt.end(); ++it) {
            n.push_back(it.key());
        }
        return n;
    }

    store::testing::TempDir dir;
    int casino = 0;
};

constexpr int kPlein5 = 117 + 5;
constexpr int kPlein7 = 117 + 7;

TEST_F(EvaluateTest, PrintsEveryEventWithItsCountsAndTheClassTotals) {
    tag(heute().addDays(-1), {Value(5), Value(5)});
    tag(heute(), {Value(7), Value(5), Value(5), Value()});  // newest first: 5 5 7
    const Json d = dokument({"--mode", "A"});
    EXPECT_EQ(namen(d), (std::vector<std::string>{"coups", "events", "classes", "chi2"}));
    EXPECT_EQ(d.at("coups"), 3);
    const auto& ev = d.at("events");
    ASSERT_EQ(ev.size(), 153u);
    for (std::size_t i = 0; i < ev.size(); ++i) {
        EXPECT_EQ(ev[i].at("id"), i + 1);
        EXPECT_EQ(namen(ev[i]), (std::vector<std::string>{"id", "hits", "percent", "expected", "z",
                                                          "p", "q", "series", "absences"}));
    }
    EXPECT_EQ(ohneStatistik(ereignis(d, kPlein5)),
              Json::parse(R"({"id": 122, "hits": 2, "percent": "66.7%",
                              "series": {"2": 1}, "absences": {"0": 1}})"));
    EXPECT_EQ(ohneStatistik(ereignis(d, kPlein7)),
              Json::parse(R"({"id": 124, "hits": 1, "percent": "33.3%",
                              "series": {"1": 1}, "absences": {}})"));
    // Never hit: no count, but a percentage.
    EXPECT_TRUE(ereignis(d, 118).at("hits").is_null());
    EXPECT_EQ(ereignis(d, 118).at("percent"), "0.0%");
    EXPECT_EQ(ereignis(d, 1).at("series").at("3"), 1);  // red: 5 5 7

    std::vector<std::int64_t> klassen;
    for (const auto& c : d.at("classes")) {
        klassen.push_back(c.at("class").get<std::int64_t>());
    }
    EXPECT_EQ(klassen, (std::vector<std::int64_t>{1, 2, 5, 8, 11, 17, 35}));
    EXPECT_EQ(klasse(d, 35).at("series"), Json::parse(R"({"1":1,"2":1})"));
    EXPECT_EQ(klasse(d, 35).at("absences"), Json::parse(R"({"0":1})"));
}

TEST_F(EvaluateTest, DaysCoupsAndAcrossSelectTheStretch) {
    tag(heute().addDays(-1), {Value(1), Value(5)});                 // newest first 5 1
    const auto ids = tag(heute(), {Value(5), Value(9), Value(9)});  // newest first 9 9 5
    const struct {
        std::vector<std::string> optionen;
        int coups;
        const char* serienPlein5;
    } faelle[] = {
        {{"--mode", "S"}, 3, R"({"1": 1})"},
        {{"--mode", "S", "--days", "2"}, 5, R"({"1": 2})"},
        {{"--mode", "S", "--days", "2", "--across"}, 5, R"({"2": 1})"},
        {{"--days", "0"}, 3, "{}"},  // mode H counts no series
        {{"--mode", "S", "--days", "0", "--coups", "2"}, 2, "{}"},
        {{"--mode", "S", "--days", "0", "--from-coup", std::to_string(ids[1])}, 2, R"({"1": 1})"},
        {{"--mode", "S", "--days", "0", "--from-coup", std::to_string(ids[1]), "--coups", "1"},
         1,
         "{}"},
        {{"--mode", "S", "--days", "0", "--coups", "0"}, 3, R"({"1": 1})"},
    };
    for (const auto& f : faelle) {
        std::string was;
        for (const auto& o : f.optionen) {
            was += o + " ";
        }
        const Json d = dokument(f.optionen);
        EXPECT_EQ(d.at("coups"), f.coups) << was;
        EXPECT_EQ(ereignis(d, kPlein5).at("series"), Json::parse(f.serienPlein5)) << was;
    }
}

TEST_F(EvaluateTest, AnEmptyStretchHasNoCountsAndNoPercentages) {
    tag(heute().addDays(-1), {Value(5)});
    const Json d = dokument({"--mode", "A"});
    EXPECT_EQ(d.at("coups"), 0);
    for (const auto& e : d.at("events")) {
        EXPECT_TRUE(e.at("hits").is_null());
        EXPECT_TRUE(e.at("percent").is_null());
        EXPECT_EQ(e.at("series").size(), 0u);
        // Nothing to expect from no coup, nothing unusual.
        EXPECT_EQ(e.at("expected"), 0.0);
        EXPECT_EQ(e.at("z"), 0.0);
        EXPECT_EQ(e.at("p"), 1.0);
        EXPECT_EQ(e.at("q"), 1.0);
    }
    EXPECT_TRUE(d.at("chi2").is_null());
}

// What a fair wheel gives, worked out here: a day with every number once, and a day on which
// only 5 fell.
TEST_F(EvaluateTest, EveryEventCarriesWhatAFairWheelGivesAndTheChiSquareTest) {
    std::vector<Value> jedeZahl;
    for (int z = 0; z <= 36; ++z) {
        jedeZahl.emplace_back(z);
    }
    tag(heute().addDays(-1), jedeZahl);
    tag(heute(), std::vector<Value>(20, Value(5)));

    const Json schief = dokument({"--days", "1"});
    const Json gleich = [&] {
        const Result r = evaluate({}, "2024-03-14");
        EXPECT_EQ(r.code, 0) << r.err;
        return Json::parse(r.out);
    }();
    ASSERT_EQ(gleich.at("coups"), 37);
    EXPECT_EQ(gleich.at("chi2"), Json::parse(R"({"statistic": 0.0, "df": 36, "p": 1.0})"));
    for (const auto& e : gleich.at("events")) {
        // Every event of m numbers hit m times in 37 coups: exactly the expectation.
        EXPECT_NEAR(e.at("expected").get<double>(), e.at("hits").get<double>(), 1e-9) << e;
        EXPECT_NEAR(e.at("z").get<double>(), 0.0, 1e-9) << e;
        EXPECT_EQ(e.at("p"), 1.0) << e;
        EXPECT_EQ(e.at("q"), 1.0) << e;
    }

    ASSERT_EQ(schief.at("coups"), 20);
    const Json& fuenf = ereignis(schief, kPlein5);
    const double e = 20.0 / 37;
    EXPECT_NEAR(fuenf.at("expected").get<double>(), e, 1e-12);
    EXPECT_NEAR(fuenf.at("z").get<double>(), (20 - e) / std::sqrt(20 * (1.0 / 37) * (36.0 / 37)),
                1e-9);
    // P(X ≥ 20) = (1/37)^20, doubled.
    EXPECT_NEAR(fuenf.at("p").get<double>() / (2 * std::pow(1.0 / 37, 20)), 1.0, 1e-9);
    EXPECT_LT(fuenf.at("q").get<double>(), 0.05);
    for (const auto& ev : schief.at("events")) {
        EXPECT_GE(ev.at("q").get<double>(), ev.at("p").get<double>()) << ev;
        EXPECT_LE(ev.at("q").get<double>(), 1.0) << ev;
    }
    // Never hit in 20 coups: zero (1 number) has P(X = 0) = (36/37)^20, above 1/2 doubled.
    EXPECT_EQ(ereignis(schief, 117).at("p"), 1.0);
    // χ² = (20 − e)²/e + 36·e; with 36 degrees of freedom far out in the tail.
    const double chi = (20 - e) * (20 - e) / e + 36 * e;
    EXPECT_NEAR(schief.at("chi2").at("statistic").get<double>(), chi, 1e-9);
    EXPECT_EQ(schief.at("chi2").at("df"), 36);
    EXPECT_LT(schief.at("chi2").at("p").get<double>(), 1e-100);
}

TEST_F(EvaluateTest, AnUnknownCoupCountsFromTheNewestAndSaysSo) {
    tag(heute(), {Value(5), Value(9), Value(9)});
    const Result r = evaluate({"--days", "0", "--from-coup", "99999"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(Json::parse(r.out).at("coups"), 3);
    EXPECT_NE(r.err.find("counting from the newest coup"), std::string::npos) << r.err;
}

TEST_F(EvaluateTest, TheStoredSelectionIsKept) {
    tag(heute(), {Value(5)});
    auto wahl = [&] {
        store::Database db(store::DatabaseFile::Roulette);
        db.setLocation(dir.path() / store::Database::fileName(store::DatabaseFile::Roulette));
        db.connect();
        store::TableCursor w("w", db, "Wahl");
        w.open();
        return w.value("ID_Casino").toText() + "|" + w.text("Tisch") + "|" +
               w.value("Datum").toText();
    };
    const std::string vorher = wahl();
    EXPECT_EQ(evaluate({}).code, 0);
    EXPECT_EQ(wahl(), vorher);
}

TEST_F(EvaluateTest, WrongArgumentsAreRefused) {
    const struct {
        std::vector<std::string> args;
        int code;
        const char* meldung;
    } faelle[] = {
        {{"evaluate", dir.path().string()}, 2, "wrong number of arguments"},
        {{"evaluate", (dir.path() / "fehlt").string(), "1", "T 01", "2024-03-15"},
         1,
         "is not a directory"},
        {{"evaluate", dir.path().string(), "x", "T 01", "2024-03-15"}, 2, "CASINO_ID"},
        {{"evaluate", dir.path().string(), "1", "T 26", "2024-03-15"}, 2, "TABLE"},
        {{"evaluate", dir.path().string(), "1", "T1", "2024-03-15"}, 2, "TABLE"},
        {{"evaluate", dir.path().string(), "1", "T 01", "15.03.2024"}, 2, "YYYY-MM-DD"},
        {{"evaluate", dir.path().string(), "1", "T 01", "2024-02-30"}, 2, "YYYY-MM-DD"},
        {{"evaluate", dir.path().string(), "1", "T 01", "2024-03-15", "--mode", "X"}, 2, "--mode"},
        {{"evaluate", dir.path().string(), "1", "T 01", "2024-03-15", "--mode", "HS"}, 2, "--mode"},
        {{"evaluate", dir.path().string(), "1", "T 01", "2024-03-15", "--days", "-1"}, 2, "--days"},
        {{"evaluate", dir.path().string(), "1", "T 01", "2024-03-15", "--coups"},
         2,
         "needs a value"},
        {{"evaluate", dir.path().string(), "1", "T 01", "2024-03-15", "--from-coup", "0"},
         2,
         "--from-coup"},
        {{"evaluate", dir.path().string(), "1", "T 01", "2024-03-15", "--verbose"},
         2,
         "unknown option"},
        {{"evaluate", dir.path().string(), "99", "T 01", "2024-03-15"}, 1, "unknown casino 99"},
    };
    for (const auto& f : faelle) {
        std::ostringstream out;
        std::ostringstream err;
        EXPECT_EQ(run(f.args, out, err), f.code) << err.str();
        EXPECT_NE(err.str().find(f.meldung), std::string::npos) << err.str();
        EXPECT_EQ(out.str(), "");
        if (f.code == 2) {
            EXPECT_NE(err.str().find("usage: spinalyst-cli evaluate"), std::string::npos);
        }
    }
}

}  // namespace
}  // namespace spinalyst::cli
