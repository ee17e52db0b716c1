#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "store/sqlite.h"
#include "tests/cli/system_cli_fixture.h"

namespace spinalyst::cli {
namespace {

using Json = nlohmann::ordered_json;
using store::Value;
using testing::Result;

class MineTest : public testing::SystemCliTest {
  protected:
    MineTest() {
        tag(heute().addDays(-1),
            {Value(std::int64_t{1}), Value(std::int64_t{2}), Value(std::int64_t{0})});
        tag(heute(), {Value(std::int64_t{19}), Value(std::int64_t{32}), Value()});
        // Outside the range.
        tag(heute().addDays(1), {Value(std::int64_t{5})});
    }

    int dataMiningSystem() {
        return system(
            R"({"ID_System_Art": 3, "ID_System_Chancen": 1, "Instanzen": [{"ID_Instanz": 1, )"
            R"("System_Daten": {}}]})");
    }

    Result mine(int idSystem, const std::vector<std::string>& weitere) {
        std::vector<std::string> args = {
            "mine",       dir.path().string(), std::to_string(casino),  "T 01", "2024-03-14",
            "2024-03-15", "--system",          std::to_string(idSystem)};
        args.insert(args.end(), weitere.begin(), weitere.end());
        return testing::runCli(args);
    }

    std::int64_t dmZahl(const std::string& sql) {
        store::Database db(store::DatabaseFile::DmModul);
        db.setLocation(dir.path() / store::Database::fileName(store::DatabaseFile::DmModul));
        db.connect();
        store::Statement s(db.connection(), sql);
        s.step();
        return s.int64(0);
    }
};

TEST_F(MineTest, KleinerBereichSchreibtZeilenUndMeldetSie) {
    const int id = dataMiningSystem();
    const Result r = mine(id, {"--classes", "1,2", "--sequence-length", "1", "--sequence-events",
                               "11", "--negate-sequences", "--across"});
    ASSERT_EQ(r.code, 0) << r.err;
    const Json j = Json::parse(r.out);
    EXPECT_EQ(r.out.find('\n'), r.out.size() - 1);
    // The coups with a number on the two days: 5 on 2 days, the counter one above.
    EXPECT_EQ(j["summary"]["table"], "T 01");
    EXPECT_EQ(j["summary"]["from"], "2024-03-14");
    EXPECT_EQ(j["summary"]["to"], "2024-03-15");
    EXPECT_EQ(j["summary"]["days"], 2);
    EXPECT_EQ(j["summary"]["coups"], 6);
    EXPECT_EQ(j["combinations"], 1);
    EXPECT_EQ(j["sequences"], dmZahl("SELECT COUNT(*) FROM DM_Folge"));
    EXPECT_GT(j["sequences"].get<std::int64_t>(), 0);
    EXPECT_EQ(j["rows"], dmZahl("SELECT COUNT(*) FROM DM_Gewinn_Verlust"));
    EXPECT_GT(j["rows"].get<std::int64_t>(), 0);
    // Only classes 1 and 2 attacked (events 1 to 12).
    EXPECT_EQ(dmZahl("SELECT MAX(ID_Ereignis) FROM DM_Gewinn_Verlust"), 12);
    EXPECT_TRUE(j["seconds"].is_number());
    EXPECT_NE(r.err.find("5 of 5 coups"), std::string::npos) << r.err;

    // Without a sequence length the run walks the coups and keeps no rows.
    const Result ohne = mine(id, {"--classes", "1", "--sequence-length", "0"});
    ASSERT_EQ(ohne.code, 0) << ohne.err;
    EXPECT_EQ(Json::parse(ohne.out)["rows"], 0);
    EXPECT_EQ(dmZahl("SELECT COUNT(*) FROM DM_Gewinn_Verlust"), 0);
}

TEST_F(MineTest, Verweigert) {
    const int standard = system(spinalyst::testing::Zwei_Ereignis_System());
    const int dataMining = dataMiningSystem();
    struct Fall {
        const char* name;
        int system;
        std::vector<std::string> weitere;
        int code;
        const char* meldung;
    };
    const std::vector<Fall> faelle = {
        {"unknown system", dataMining + 10, {}, 1, "no system"},
        {"not data mining", standard, {}, 1, "not a data-mining system"},
        {"class", dataMining, {"--classes", "3"}, 2, "--classes"},
        {"length", dataMining, {"--sequence-length", "6"}, 2, "--sequence-length"},
        {"sequence events", dataMining, {"--sequence-events", "11|31"}, 2, "--sequence-events"},
        {"vary", dataMining, {"--vary", "H,X"}, 2, "--vary"},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.name);
        const Result r = mine(f.system, f.weitere);
        EXPECT_EQ(r.code, f.code) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find(f.meldung), std::string::npos) << r.err;
    }
}

}  // namespace
}  // namespace spinalyst::cli
