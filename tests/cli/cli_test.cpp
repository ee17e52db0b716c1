#include "cli/cli.h"

#include <gtest/gtest.h>

#include "tests/cli/cli_fixture.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "store/cursor.h"
#include "store/database.h"
#include "tests/store/store_fixture.h"

namespace spinalyst::cli {
namespace {

using testing::Result;
using testing::runCli;

using store::testing::TempDir;

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

// The permanence commands: a casino, a month imported from a file or generated.
class CliPermanenzTest : public ::testing::Test {
  protected:
    std::string datei(const char* name, const std::string& inhalt) {
        const auto pfad = dir.path() / name;
        std::ofstream(pfad, std::ios::binary) << inhalt;
        return pfad.string();
    }
    int zeilen(const char* tabelle) {
        store::Database db(store::DatabaseFile::Roulette);
        db.setLocation(dir.path() / "Datenbank_Roulette.tdbd");
        db.connect();
        return db.rowCount(tabelle);
    }
    // ID_Casino, Tisch and Datum of the stored selection.
    std::string auswahl() {
        store::Database db(store::DatabaseFile::Roulette);
        db.setLocation(dir.path() / "Datenbank_Roulette.tdbd");
        db.connect();
        store::TableCursor w("w", db, "Wahl");
        w.open();
        return w.text("ID_Casino") + "|" + w.text("Tisch") + "|" + w.text("Datum");
    }

    TempDir dir;
    const std::string d = dir.path().string();
};

TEST_F(CliPermanenzTest, ImportsAFileAndGeneratesAMonth) {
    const auto a = runCli({"casino-add", d, "Spielbank"});
    ASSERT_EQ(a.code, 0) << a.err;
    EXPECT_EQ(a.out, "1\n");
    const auto b = runCli({"casino-add", d, "Zufall", "--random-coups", "300"});
    ASSERT_EQ(b.code, 0) << b.err;
    EXPECT_EQ(b.out, "2\n");
    const std::string vorher = auswahl();

    const auto datei1 = datei("maerz.txt", "01.03.2012\n17\n0\n36\na\nb\n02.03.2012\n5\n");
    const auto erste = runCli({"import", d, "1", "T 05", "2012-03", datei1});
    ASSERT_EQ(erste.code, 0) << erste.err;
    EXPECT_EQ(erste.out, "Permanence: 2 Day(s), 4 Coups included!\n");
    // Without extension the name gets ".txt"; the days are there already.
    const auto zweite =
        runCli({"import", d, "1", "T 05", "2012-03", (dir.path() / "maerz").string()});
    EXPECT_EQ(zweite.out, "Permanence: 0 Day(s), 0 Coups included!\n");

    const auto erzeugt = runCli({"import", d, "2", "T 01", "2012-02"});
    ASSERT_EQ(erzeugt.code, 0) << erzeugt.err;
    EXPECT_EQ(erzeugt.out, "Permanence: 29 Day(s), 8700 Coups included!\n");
    EXPECT_EQ(zeilen("Permanenz"), 4 + 8700);
    EXPECT_EQ(zeilen("Permanenz_Tag_Zusammenfassung"), 2 + 29);
    EXPECT_EQ(auswahl(), vorher);
}

TEST_F(CliPermanenzTest, WrongArgumentsAndFilesFailWithAMessage) {
    ASSERT_EQ(runCli({"casino-add", d, "Spielbank"}).code, 0);
    ASSERT_EQ(runCli({"casino-add", d, "Zufall", "--random-coups", "3"}).code, 0);
    const auto gut = datei("gut.txt", "01.03.2012\n17\n");
    std::filesystem::create_directory(dir.path() / "ordner.txt");
    const struct {
        std::vector<std::string> args;
        int code;
        std::string message;
    } cases[] = {
        {{"casino-add", d}, 2, "usage: spinalyst-cli casino-add DIR NAME [--random-coups N]"},
        {{"casino-add", d, "X", "--random-coups"}, 2, "usage: spinalyst-cli casino-add"},
        {{"casino-add", d, "X", "--random", "3"}, 2, "unknown option '--random'"},
        {{"casino-add", d, "X", "--random-coups", "-1"}, 2, "--random-coups must be"},
        {{"casino-add", d, "X", "--random-coups", "3x"}, 2, "--random-coups must be"},
        {{"casino-add", d + "/fehlt", "X"}, 1, "is not a directory"},
        {{"import", d, "1", "T 05"}, 2, "usage: spinalyst-cli import DIR CASINO_ID TABLE"},
        {{"import", d, "eins", "T 05", "2012-03", gut}, 2, "CASINO_ID must be"},
        {{"import", d, "1", "T 26", "2012-03", gut}, 2, "TABLE must be \"T 01\" to \"T 25\""},
        {{"import", d, "1", "T5", "2012-03", gut}, 2, "TABLE must be"},
        {{"import", d, "1", "T +5", "2012-03", gut}, 2, "TABLE must be"},
        {{"import", d, "1", "T 05", "2012-13", gut}, 2, "YYYY-MM"},
        {{"import", d, "1", "T 05", "03.2012", gut}, 2, "YYYY-MM"},
        {{"import", d, "9", "T 05", "2012-03", gut}, 1, "unknown casino 9"},
        {{"import", d, "1", "T 05", "2012-03"}, 2, "give the FILE"},
        {{"import", d, "2", "T 05", "2012-03", gut}, 2, "give no FILE"},
        {{"import", d, "1", "T 05", "2012-03", d + "/fehlt"},
         1,
         "File cannot be read: " + d + "/fehlt.txt"},
        {{"import", d, "1", "T 05", "2012-03", d + "/ordner.txt"}, 1, "File cannot be read"},
    };
    for (const auto& c : cases) {
        const auto r = runCli(c.args);
        EXPECT_EQ(r.code, c.code) << c.message << "\n" << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "") << c.message;
    }
    EXPECT_EQ(zeilen("Permanenz"), 0);
    EXPECT_EQ(zeilen("Casino"), 2);
}

}  // namespace
}  // namespace spinalyst::cli
