#include "cli/cli.h"

#include <gtest/gtest.h>

#include "tests/cli/cli_fixture.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
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
    EXPECT_EQ(zweite.out,
              "Permanence: 0 Day(s), 0 Coups included!\nThe file's days of the month 03.2012 "
              "are included already or hold no numbers.\n");

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

TEST_F(CliPermanenzTest, NumbersAreDecimalAndALaterOptionOverridesAnEarlierOne) {
    const struct {
        std::vector<std::string> optionen;
        int coupsAmTag;
    } faelle[] = {
        {{"--random-coups", "010"}, 10},
        {{"--random-coups=7"}, 7},
        {{"--random-coups", "4", "--random-coups", "2"}, 2},
    };
    int casino = 0;
    for (const auto& f : faelle) {
        std::vector<std::string> args = {"casino-add", d, "Zufall"};
        args.insert(args.end(), f.optionen.begin(), f.optionen.end());
        const auto neu = runCli(args);
        ASSERT_EQ(neu.code, 0) << neu.err;
        EXPECT_EQ(neu.out, std::to_string(++casino) + "\n");
        const auto monat = runCli({"import", d, "0" + std::to_string(casino), "T 01", "2012-02"});
        EXPECT_EQ(monat.out, "Permanence: 29 Day(s), " + std::to_string(29 * f.coupsAmTag) +
                                 " Coups included!\n")
            << f.optionen[0];
    }
}

// Command lines refused before any database is touched.
class CliArgumenteTest : public ::testing::Test {
  protected:
    TempDir dir;
    const std::string d = dir.path().string();
};

TEST_F(CliArgumenteTest, BadInvocationsExitWithTwoNamingTheProblemAndShowingTheUsage) {
    const std::vector<std::string> tag = {"evaluate", d, "1", "T 01", "2024-03-15"};
    const auto mit = [&](std::initializer_list<std::string> optionen) {
        std::vector<std::string> args = tag;
        args.insert(args.end(), optionen);
        return args;
    };
    const struct {
        std::vector<std::string> args;
        std::string meldung;
    } faelle[] = {
        // Missing arguments and values.
        {{"init"}, "wrong number of arguments: DIR is required"},
        {{"system-import", d}, "wrong number of arguments: FILE is required"},
        {{"evaluate", d, "1", "T 01"}, "wrong number of arguments: YYYY-MM-DD is required"},
        {mit({"--mode"}), "--mode needs a value"},
        {{"casino-add", d, ""}, "the casino needs a name"},
        // Not whole numbers in decimal.
        {{"system-export", d, "zwei"}, "SYSTEM_ID must be a whole number of 1 or more, not 'zwei'"},
        {mit({"--coups", "1.5"}), "--coups must be a whole number of 0 or more, not '1.5'"},
        {mit({"--days", "0x10"}), "--days must be a whole number of 0 or more, not '0x10'"},
        {mit({"--days", "+2"}), "--days must be a whole number of 0 or more, not '+2'"},
        {mit({"--days", " 2"}), "--days must be a whole number of 0 or more, not ' 2'"},
        // Out of range.
        {{"casino-add", d, "X", "--random-coups", "100001"},
         "--random-coups must be a whole number from 0 to 100000, not '100001'"},
        {{"import", d, "0", "T 01", "2012-03"},
         "CASINO_ID must be a whole number of 1 or more, not '0'"},
        {{"system-export", d, "-3"}, "SYSTEM_ID must be a whole number of 1 or more, not '-3'"},
        {mit({"--days", "2147483648"}),
         "--days must be a whole number of 0 or more, not '2147483648'"},
        {mit({"--from-coup", "9223372036854775808"}),
         "--from-coup must be a whole number of 1 or more, not '9223372036854775808'"},
        {{"evaluate", d, "1", "T 00", "2024-03-15"},
         "TABLE must be \"T 01\" to \"T 25\", not 'T 00'"},
        // Unknown subcommands and options, arguments too many.
        {{"evaluation", d}, "unknown command 'evaluation'"},
        {{"--version"}, "unknown option '--version'"},
        {{"systems", d, "--all"}, "unknown option '--all'"},
        {{"casino-add", d, "-n", "X"}, "unknown option '-n'"},
        {{"systems", d, "mehr"}, "unexpected argument 'mehr'"},
        {{"import", d, "1", "T 01", "2012-03", "a.txt", "b.txt"}, "unexpected argument 'b.txt'"},
        // Bad months and days.
        {{"import", d, "1", "T 01", "2012-3"}, "the month must be given as YYYY-MM, not '2012-3'"},
        {{"import", d, "1", "T 01", "2012-03-01"},
         "the month must be given as YYYY-MM, not '2012-03-01'"},
        {{"evaluate", d, "1", "T 01", "2023-02-29"},
         "the day must be given as YYYY-MM-DD, not '2023-02-29'"},
        {{"evaluate", d, "1", "T 01", "2024-3-15"},
         "the day must be given as YYYY-MM-DD, not '2024-3-15'"},
        // The system run: the system is required, the days are limited.
        {{"system-run", d, "1", "T 01", "2024-03-15"}, "--system is required"},
        {{"system-run", d, "1", "T 01", "2024-03-15", "--system"}, "--system needs a value"},
        {{"system-run", d, "1", "T 01", "2024-03-15", "--system", "0"},
         "--system must be a whole number of 1 or more, not '0'"},
        {{"system-run", d, "1", "T 01", "2024-03-15", "--system", "1", "--days", "-1"},
         "--days must be a whole number from 0 to 100000, not '-1'"},
        {{"system-run", d, "1", "T 01", "2024-03-15", "--system", "1", "--days", "100001"},
         "--days must be a whole number from 0 to 100000, not '100001'"},
        {{"system-run", d, "1", "T 01", "2024-03-15", "--system", "1", "--mode", "A"},
         "unknown option '--mode'"},
        // Online play: the system is required, the numbers are whole numbers.
        {{"online", d, "1", "T 01", "2024-03-15", "7"}, "--system is required"},
        {{"online", d, "1", "T 01", "2024-03-15", "--system", "1", "--days", "2"},
         "unknown option '--days'"},
        {{"online", d, "1", "T 01", "2024-03-15", "--system", "1", "--", "7", "sieben"},
         "NUMBER must be a whole number, not 'sieben'"},
        {{"online", d, "1", "T 01", "2024-03-15", "--system", "1", "99999999999999999999"},
         "NUMBER must be a whole number, not '99999999999999999999'"},
        // Bad modes.
        {mit({"--mode", "h"}), "--mode must be H, S, R or A, not 'h'"},
        {mit({"--mode", "SR"}), "--mode must be H, S, R or A, not 'SR'"},
    };
    const std::set<std::string> befehle = {"init",          "casino-add", "import",
                                           "evaluate",      "systems",    "system-export",
                                           "system-import", "system-run", "online"};
    for (const auto& f : faelle) {
        const auto r = runCli(f.args);
        // Every subcommand's usage starts with DIR; a wrong subcommand gets the program's usage.
        const std::string gebrauch = befehle.contains(f.args[0])
                                         ? "usage: spinalyst-cli " + f.args[0] + " DIR"
                                         : "usage: spinalyst-cli COMMAND [ARGUMENTS]\n";
        EXPECT_EQ(r.code, 2) << f.meldung;
        EXPECT_EQ(r.out, "") << f.meldung;
        EXPECT_TRUE(r.err.starts_with("spinalyst-cli: " + f.meldung + "\n" + gebrauch)) << r.err;
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST_F(CliArgumenteTest, UnusableDirectoriesAndDatabasesExitWithOneAndNoUsage) {
    const std::string datei = d + "/datei";
    std::ofstream(datei) << "keine Datenbank";
    const std::string fremd = d + "/fremd";
    std::filesystem::create_directory(fremd);
    std::ofstream(fremd + "/Datenbank_Roulette.tdbd") << "keine Datenbank";
    const std::string keinVerzeichnis = datei + " is not a directory";
    const std::string keineDatenbank = "not a database of this program, or damaged";
    const struct {
        std::vector<std::string> args;
        std::string meldung;
    } faelle[] = {
        {{"init", datei}, keinVerzeichnis},
        {{"casino-add", datei, "X"}, keinVerzeichnis},
        {{"import", datei, "1", "T 01", "2012-03", datei}, keinVerzeichnis},
        {{"evaluate", datei, "1", "T 01", "2024-03-15"}, keinVerzeichnis},
        {{"systems", datei}, keinVerzeichnis},
        {{"system-run", datei, "1", "T 01", "2024-03-15", "--system", "1"}, keinVerzeichnis},
        {{"system-export", datei, "1"}, keinVerzeichnis},
        {{"system-import", datei, datei}, keinVerzeichnis},
        {{"init", fremd}, keineDatenbank},
        {{"casino-add", fremd, "X"}, keineDatenbank},
        {{"import", fremd, "1", "T 01", "2012-03", datei}, keineDatenbank},
        {{"evaluate", fremd, "1", "T 01", "2024-03-15"}, keineDatenbank},
        {{"systems", fremd}, keineDatenbank},
        {{"system-run", fremd, "1", "T 01", "2024-03-15", "--system", "1"}, keineDatenbank},
        {{"online", datei, "1", "T 01", "2024-03-15", "--system", "1", "7"}, keinVerzeichnis},
        {{"online", fremd, "1", "T 01", "2024-03-15", "--system", "1", "7"}, keineDatenbank},
    };
    for (const auto& f : faelle) {
        const auto r = runCli(f.args);
        EXPECT_EQ(r.code, 1) << f.args[0] << " " << f.meldung;
        EXPECT_TRUE(r.err.starts_with("spinalyst-cli: ")) << r.err;
        EXPECT_NE(r.err.find(f.meldung), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find("usage"), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
    std::ifstream gelesen(fremd + "/Datenbank_Roulette.tdbd");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(gelesen), {}), "keine Datenbank");
}

TEST_F(CliArgumenteTest, EverySubcommandHasAHelpThatBeginsWithTheUsageItsErrorsShow) {
    const struct {
        const char* befehl;
        std::string gebrauch;
        std::vector<std::string> zeilen;
    } faelle[] = {
        {"init", "usage: spinalyst-cli init DIR\n", {"  DIR "}},
        {"casino-add",
         "usage: spinalyst-cli casino-add DIR NAME [--random-coups N]\n",
         {"  NAME ", "  --random-coups N "}},
        {"import",
         "usage: spinalyst-cli import DIR CASINO_ID TABLE YYYY-MM [FILE]\n",
         {"  CASINO_ID ", "  TABLE ", "  YYYY-MM ", "  FILE "}},
        {"evaluate",
         "usage: spinalyst-cli evaluate DIR CASINO_ID TABLE YYYY-MM-DD [--mode H|S|R|A] [--days N] "
         "[--coups N]\n"
         "                              [--from-coup ID_ZAHL] [--across]\n",
         {"  YYYY-MM-DD ", "  --mode H|S|R|A ", "  --days N ", "  --coups N ",
          "  --from-coup ID_ZAHL ", "  --across "}},
        {"systems", "usage: spinalyst-cli systems DIR\n", {"  DIR "}},
        {"system-export", "usage: spinalyst-cli system-export DIR SYSTEM_ID\n", {"  SYSTEM_ID "}},
        {"system-import", "usage: spinalyst-cli system-import DIR FILE\n", {"  FILE "}},
        {"system-run",
         "usage: spinalyst-cli system-run DIR CASINO_ID TABLE YYYY-MM-DD --system ID [--all] "
         "[--days N]\n"
         "                                [--across]\n",
         {"  --system ID ", "  --all ", "  --days N ", "  --across "}},
        {"online",
         "usage: spinalyst-cli online DIR CASINO_ID TABLE YYYY-MM-DD --system ID [--all] "
         "[--across] "
         "[--]\n"
         "                            [NUMBER ...]\n",
         {"  NUMBER ", "  --system ID ", "  --all ", "  --across "}},
    };
    const auto programm = runCli({"--help"});
    EXPECT_EQ(programm.code, 0);
    EXPECT_EQ(programm.err, "");
    EXPECT_TRUE(programm.out.starts_with("usage: spinalyst-cli COMMAND [ARGUMENTS]\n"))
        << programm.out;
    for (const auto& f : faelle) {
        for (const char* hilfe : {"--help", "-h"}) {
            const auto r = runCli({f.befehl, hilfe});
            EXPECT_EQ(r.code, 0) << f.befehl;
            EXPECT_EQ(r.err, "") << f.befehl;
            EXPECT_TRUE(r.out.starts_with(f.gebrauch)) << r.out;
            for (const auto& zeile : f.zeilen) {
                EXPECT_NE(r.out.find("\n" + zeile), std::string::npos) << zeile << "\n" << r.out;
            }
        }
        // Every subcommand needs DIR.
        const auto falsch = runCli({f.befehl});
        EXPECT_EQ(falsch.code, 2);
        EXPECT_NE(falsch.err.find("\n" + f.gebrauch), std::string::npos) << falsch.err;
        EXPECT_NE(programm.out.find("\n  " + std::string(f.befehl) + " DIR"), std::string::npos)
            << f.befehl;
    }
    // Help does not run the command, even when its arguments are complete.
    const auto vollstaendig = runCli({"casino-add", d, "X", "--random-coups", "3", "--help"});
    EXPECT_EQ(vollstaendig.code, 0);
    EXPECT_TRUE(vollstaendig.out.starts_with(faelle[1].gebrauch));
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));

    EXPECT_EQ(runCli({"help"}).out, programm.out);
    EXPECT_EQ(runCli({"-h"}).out, programm.out);
    const auto leer = runCli({});
    EXPECT_EQ(leer.code, 2);
    EXPECT_EQ(leer.err, "spinalyst-cli: no command given\n" + programm.out);
}

// `where` answers as the desktop program decides, from the environment's data directory, and
// makes nothing.
TEST(CliWhereTest, PrintsTheDirectoryTheDesktopProgramWouldUse) {
    TempDir dir;
    namespace fs = std::filesystem;
    const fs::path portabel = dir.path() / "portabel";
    const fs::path installiert = dir.path() / "usr" / "bin";
    fs::create_directories(portabel);
    fs::create_directories(installiert);
    fs::create_directories(dir.path() / "usr" / "share" / "spinalyst");
    const std::string home = (dir.path() / "home").string();
    const std::string xdg = (dir.path() / "xdg").string();
    const struct {
        std::vector<std::string> args;
        const char* xdgDataHome;  // nullptr: unset
        std::string erwartet;
    } faelle[] = {
        {{"where", "--program-dir", portabel.string()}, nullptr, portabel.string()},
        {{"where", "--program-dir", installiert.string()},
         nullptr,
         home + "/.local/share/Spinalyst"},
        {{"where", "--program-dir", installiert.string()}, xdg.c_str(), xdg + "/Spinalyst"},
        {{"where", "--program-dir", installiert.string(), "--data-dir", dir.path() / "eigen"},
         nullptr,
         (dir.path() / "eigen").string()},
    };
    const char* altesHome = std::getenv("HOME");
    const std::string gesichert = altesHome != nullptr ? altesHome : "";
    for (const auto& f : faelle) {
        ::setenv("HOME", home.c_str(), 1);
        if (f.xdgDataHome != nullptr) {
            ::setenv("XDG_DATA_HOME", f.xdgDataHome, 1);
        } else {
            ::unsetenv("XDG_DATA_HOME");
        }
        const Result r = runCli(f.args);
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(r.out, f.erwartet + "\n");
        EXPECT_EQ(r.err, "");
    }
    ::unsetenv("XDG_DATA_HOME");
    ::setenv("HOME", gesichert.c_str(), 1);
    // Nothing was made, the user's directory and the option's directory included.
    EXPECT_FALSE(fs::exists(home));
    EXPECT_FALSE(fs::exists(dir.path() / "eigen"));
    EXPECT_TRUE(fs::is_empty(portabel));
}

}  // namespace
}  // namespace spinalyst::cli
