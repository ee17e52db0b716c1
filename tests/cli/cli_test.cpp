#include "cli/cli.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tests/store/store_fixture.h"

namespace spinalyst::cli {
namespace {

using store::testing::TempDir;

struct Result {
    int code;
    std::string out;
    std::string err;
};

Result runCli(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    const int code = run(args, out, err);
    return {code, out.str(), err.str()};
}

TEST(CliInitTest, CreatesThenFindsBothFiles) {
    TempDir dir;
    const auto first = runCli({"init", dir.path().string()});
    ASSERT_EQ(first.code, 0) << first.err;
    EXPECT_EQ(first.out,
              "Datenbank_Roulette.tdbd: created, 22 tables, 727 reference rows\n"
              "Datenbank_DM_Modul.tdbd: created, 7 tables, 210 reference rows\n");
    const auto second = runCli({"init", dir.path().string()});
    ASSERT_EQ(second.code, 0) << second.err;
    EXPECT_NE(second.out.find("Datenbank_Roulette.tdbd: found, 22 tables"), std::string::npos);
}

TEST(CliInitTest, BadArgumentsAndDamagedFilesFailWithAMessage) {
    TempDir dir;
    { std::ofstream(dir.path() / "Datenbank_Roulette.tdbd") << "beschädigt"; }
    const struct {
        std::vector<std::string> args;
        int code;
        const char* message;
    } cases[] = {
        {{}, 2, "usage"},
        {{"init"}, 2, "usage: spinalyst-cli init DIR"},
        {{"init", (dir.path() / "fehlt").string()}, 1, "is not a directory"},
        {{"init", dir.path().string()}, 1, "Datenbank_Roulette.tdbd"},
        {{"unbekannt"}, 2, "unknown command"},
    };
    for (const auto& c : cases) {
        const auto r = runCli(c.args);
        EXPECT_EQ(r.code, c.code) << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
}

}  // namespace
}  // namespace spinalyst::cli
