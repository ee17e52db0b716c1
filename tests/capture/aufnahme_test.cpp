#include "capture/aufnahme.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "capture/auswahl.h"
#include "capture/zufall.h"
#include "store/textimport.h"
#include "tests/support/fault_injection.h"
#include "tests/support/kontext_fixture.h"
#include "tests/support/utf16.h"

namespace spinalyst::capture {
namespace {

using store::Date;
using store::Value;
using namespace std::string_literals;

const Date k1Maerz = Date::fromYmd(2012, 3, 1);

TEST(ZufallsgeneratorTest, FirstNumbersOfAFixedSeed) {
    Zufallsgenerator null(0);
    std::vector<int> zahlen;
    for (int i = 0; i < 5; ++i) {
        zahlen.push_back(null.naechsteZahl());
    }
    EXPECT_EQ(zahlen, (std::vector<int>{0, 1, 31, 7, 10}));

    Zufallsgenerator z(20120301);
    zahlen.clear();
    for (int i = 0; i < 10; ++i) {
        zahlen.push_back(z.naechsteZahl());
    }
    EXPECT_EQ(zahlen, (std::vector<int>{30, 19, 19, 9, 11, 33, 17, 19, 32, 15}));
    // The state wraps modulo 2^32, and the largest state gives 36.
    Zufallsgenerator gross(0xFFFFFFFFu);
    EXPECT_EQ(gross.naechsteZahl(), 35);
    EXPECT_EQ(gross.zustand(), 4160191484u);
    Zufallsgenerator oben(1298181734u);  // advances to 0xFFFFFFFF
    EXPECT_EQ(oben.naechsteZahl(), 36);
    EXPECT_EQ(oben.zustand(), 0xFFFFFFFFu);
}

TEST(DatumSuchenTest, TheLastTenCharacterWindowDecides) {
    const std::string x24(24, 'x');
    const struct {
        std::string zeile;
        int tag;  // day of March 2012, 0 for none
    } cases[] = {
        {"01.03.2012", 1},
        {"Datum: 01.03.2012", 1},
        {"01.03.2012 Donnerstag", 0},  // a trailing word cancels the date
        {"01.03.2012x", 0},
        {"2012-03-01", 1},  // second pass
        {"1.3.2012", 0},    // not 10 characters
        {"01.04.2012", 0},  // another month
        {"01.03.2011", 0},  // another year
        {"31.02.2012", 0},  // no calendar day
        {"  05.03.2012  ", 5},
        {x24 + "07.03.2012", 7},         // starts at position 25
        {x24 + "x07.03.2012", 0},        // starts at position 26
        {"M\xC3\xA4rz: 09.03.2012", 9},  // positions count characters, not bytes
        {"Spielb\xC3\xA4nk M\xC3\xBCnchen  \xC3\xA4\xC3\xB6\xC3\xBC 08.03.2012", 8},
        {"01.03.2012 2012-03-05", 0},  // the first pass found a day: no second pass
        {"2012-03-05 01.03.2012", 1},
        {"2012-03-05 Montag", 0},
        {"01.03.2012\t", 1},
        {"", 0},
        {"17", 0},
    };
    for (const auto& c : cases) {
        const auto tag = Datum_Suchen(c.zeile, 3, 2012);
        if (c.tag == 0) {
            EXPECT_FALSE(tag.has_value()) << c.zeile << " gave " << tag->german();
        } else {
            ASSERT_TRUE(tag.has_value()) << c.zeile;
            EXPECT_EQ(*tag, Date::fromYmd(2012, 3, c.tag)) << c.zeile;
        }
    }
}

TEST(ZeileAlsZahlTest, OnlyAWholeDecimalIntegerIsANumber) {
    const struct {
        const char* zeile;
        int zahl;
    } cases[] = {
        {"17", 17},   {"0", 0},    {"36", 36},  {"37", 37},          {"+5", 5}, {"007", 7},
        {"-5", -5},   {"-1", -1},  {"", -1},    {"17 Rot", -1},      {"a", -1}, {"1e3", -1},
        {"0x10", -1}, {"+-5", -1}, {" 17", -1}, {"99999999999", -1}, {"-", -1}, {"1.5", -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Zeile_Als_Zahl(c.zeile), c.zahl) << c.zeile;
    }
}

class AufnahmeTest : public testing::KontextTest {
  protected:
    // Creates a casino through the casino window and selects it with gaming table "T 01".
    int neuesCasino(const char* zufallsgenerator = "f", int coups = 0) {
        Casino_Fenster_Zeigen(k);
        const int id = BitBtn_NeuClick(k);
        auto& casino = dm.TdbTable_Casino;
        casino.edit();
        casino.setText("Casino_Name", "Bank " + std::to_string(id));
        casino.setText("Zufallsgenerator", zufallsgenerator);
        casino.setInteger("Zufallsgenerator_Coups", coups);
        casino.post();
        BitBtn_OKClick(k);
        return id;
    }

    void waehle(int casino, const char* tisch, Date tag) {
        auto& w = dm.TdbTable_Wahl;
        w.edit();
        w.setInteger("ID_Casino", casino);
        w.setText("Tisch", tisch);
        sitzung.gewaehlter_tag = tag;
        Casino_Tisch_DatumChange(k, Ausloeser::Datumsauswahl);
    }

    std::filesystem::path datei(const std::string& inhalt, const char* name = "monat.txt") {
        const auto pfad = dir.path() / name;
        std::ofstream(pfad, std::ios::binary) << inhalt;
        return pfad;
    }

    ImportBericht importiere(const std::filesystem::path& pfad) {
        return Permanenz_Aufnehmen(k, zufall, ImportAuftrag{pfad});
    }

    // The stored coups of a casino and gaming table, one group per day in day order:
    // "01.03.2012:17,0,36 02.03.2012:5".
    std::string permanenz(int casino, const char* tisch = "T 01") {
        store::QueryCursor q("q", dm.TdbDatabase_Roulette);
        q.setSql(
            "SELECT Datum, Zahl FROM Permanenz WHERE ID_Casino = ? AND Tisch = ? "
            "ORDER BY Datum, ID_Zahl",
            {Value(casino), Value(tisch)});
        q.open();
        std::string s;
        std::string tag;
        for (q.first(); !q.eof(); q.next()) {
            const std::string d = q.date("Datum").german();
            if (d != tag) {
                s += (s.empty() ? "" : " ") + d + ":";
                tag = d;
            } else {
                s += ",";
            }
            s += q.isNull("Zahl") ? "-" : q.text("Zahl");
        }
        return s;
    }

    // The day rows of a casino and gaming table: "01.03.2012=3 02.03.2012=1".
    std::string tageszeilen(int casino, const char* tisch = "T 01") {
        store::QueryCursor q("q", dm.TdbDatabase_Roulette);
        q.setSql(
            "SELECT Datum, Coups_Anzahl FROM Permanenz_Tag_Zusammenfassung "
            "WHERE ID_Casino = ? AND Tisch = ? ORDER BY Datum",
            {Value(casino), Value(tisch)});
        q.open();
        std::string s;
        for (q.first(); !q.eof(); q.next()) {
            s += (s.empty() ? "" : " ") + q.date("Datum").german() + "=" + q.text("Coups_Anzahl");
        }
        return s;
    }

    // After every import the cursors are linked and filtered as before, the flag is off, the
    // grids are attached again, and the work table holds none of the file's lines, which its open
    // cursor shows.
    void erwarteWiederhergestellt() {
        store::QueryCursor q("q", dm.TdbDatabase_Roulette);
        q.setSql("SELECT COUNT(*) AS n FROM Permanenz_Aufnahme", {});
        q.open();
        EXPECT_EQ(q.integer("n"), 0);
        EXPECT_TRUE(dm.TdbTable_Permanenz_Aufnahme.isOpen());
        EXPECT_TRUE(dm.TdbTable_Permanenz_Aufnahme.isEmpty());
        EXPECT_EQ(dm.TdbTable_Permanenz.master(), &dm.TdbTable_Wahl);
        EXPECT_EQ(dm.TdbTable_Permanenz_Tag_Zusammenfassung.master(), &dm.TdbTable_Wahl);
        EXPECT_TRUE(dm.TdbTable_Permanenz_Tag_Zusammenfassung.filtered());
        EXPECT_EQ(dm.TdbTable_Permanenz_Tag_Zusammenfassung.indexName(), "Index_Datum");
        EXPECT_EQ(dm.TdbTable_Systeme_Abarbeitung.master(), &dm.TdbTable_Permanenz);
        EXPECT_FALSE(sitzung.massenschreiben);
        EXPECT_FALSE(ui.busy);
        ASSERT_FALSE(ansicht.calls.empty());
        const auto getrennt =
            std::find(ansicht.calls.begin(), ansicht.calls.end(), "permanenzGridsTrennen");
        const auto verbunden =
            std::find(ansicht.calls.begin(), ansicht.calls.end(), "permanenzGridsVerbinden");
        EXPECT_TRUE(getrennt < verbunden && verbunden != ansicht.calls.end());
    }

    Zufallsgenerator zufall{20120301};
};

// The base file of the examples: two days of March 2012.
const char* const kMaerz =
    "01.03.2012\n17\n0\n36\na\nb\n"
    "02.03.2012\n5\n-\n-\n";

TEST_F(AufnahmeTest, FilesAndWhatTheyStore) {
    const struct {
        const char* name;
        std::string inhalt;
        int tage;
        int coups;
        const char* permanenz;
        const char* tageszeilen;
    } cases[] = {
        {"two days", kMaerz, 2, 4, "01.03.2012:17,0,36 02.03.2012:5", "01.03.2012=3 02.03.2012=1"},
        {"text before the date", "Spielbank: 01.03.2012\n17\nx\ny\n", 1, 1, "01.03.2012:17",
         "01.03.2012=1"},
        {"trailing word cancels the date", "01.03.2012 Donnerstag\n17\nx\ny\n", 0, 0, "", ""},
        {"iso date", "2012-03-01\n17\nx\ny\n", 1, 1, "01.03.2012:17", "01.03.2012=1"},
        {"short date", "1.3.2012\n17\nx\ny\n", 0, 0, "", ""},
        {"first field and blanks", "01.03.2012\n17,Rot\n  18  \n19 Rot\n20\nx\ny\n", 1, 3,
         "01.03.2012:17,18,20", "01.03.2012=3"},
        {"above 36 ignored, no separator", "01.03.2012\n5\n37\n99\n6\nx\ny\n", 1, 2,
         "01.03.2012:5,6", "01.03.2012=2"},
        {"more than five lines lose the day",
         "01.03.2012\n5\nx\n40\n41\n42\n43\n44\n6\n02.03.2012\n7\nx\ny\n", 1, 1, "02.03.2012:7",
         "02.03.2012=1"},
        {"four lines between keep it", "01.03.2012\n5\nx\n40\n41\n42\n6\nx\ny\n", 1, 2,
         "01.03.2012:5,6", "01.03.2012=2"},
        {"end of file closes the day", "01.03.2012\n17\n18", 1, 2, "01.03.2012:17,18",
         "01.03.2012=2"},
        {"one separator before the end", "01.03.2012\n17\nx\n", 1, 1, "01.03.2012:17",
         "01.03.2012=1"},
        {"a date line alone makes no day", "01.03.2012\nx\ny\n", 0, 0, "", ""},
        {"separators before the first number", "01.03.2012\nx\ny\n5\nx\ny\n", 1, 1, "01.03.2012:5",
         "01.03.2012=1"},
        {"a day twice in the file", "01.03.2012\n5\nx\ny\n01.03.2012\n6\nx\ny\n", 1, 1,
         "01.03.2012:5", "01.03.2012=1"},
        {"other months skipped", "29.02.2012\n1\nx\ny\n01.03.2012\n2\nx\ny\n01.04.2012\n3\n", 1, 1,
         "01.03.2012:2", "01.03.2012=1"},
        {"a date inside an open day is a separator", "01.03.2012\n5\n02.03.2012\n6\nx\ny\n", 1, 2,
         "01.03.2012:5,6", "01.03.2012=2"},
        {"minus one is a separator", "01.03.2012\n5\n-1\n-1\n6\n", 1, 1, "01.03.2012:5",
         "01.03.2012=1"},
        {"CRLF, BOM and empty lines",
         "\xEF\xBB\xBF"
         "01.03.2012\r\n17\r\n\r\n\r\n4\r\nx\r\ny\r\n",
         1, 2, "01.03.2012:17,4", "01.03.2012=2"},
        {"CR only", "01.03.2012\r17\rx\ry\r", 1, 1, "01.03.2012:17", "01.03.2012=1"},
        {"Windows-1252 text before the date", "M\xFCnchen \x80 01.03.2012\n3\nx\ny\n", 1, 1,
         "01.03.2012:3", "01.03.2012=1"},
        {"NUL reads as a blank",
         "01.03.2012\n\0"
         "17\0\nx\ny\n"s,
         1, 1, "01.03.2012:17", "01.03.2012=1"},
        {"quoted fields", "\"01.03.2012\",Do\n\"17\"\n\"x\"\n\"y\"\n", 1, 1, "01.03.2012:17",
         "01.03.2012=1"},
        {"empty file", "", 0, 0, "", ""},
        {"binary", "\x01\xFF\xFE\x00\x89PNG\r\n\x1A\n\x00\x00"s, 0, 0, "", ""},
    };
    int casino = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        casino = neuesCasino();
        waehle(casino, "T 01", Date::fromYmd(2012, 3, 15));
        ansicht.calls.clear();
        const auto bericht = importiere(datei(c.inhalt));
        EXPECT_EQ(bericht.tage, c.tage);
        EXPECT_EQ(bericht.coups, c.coups);
        EXPECT_EQ(permanenz(casino), c.permanenz);
        EXPECT_EQ(tageszeilen(casino), c.tageszeilen);
        erwarteWiederhergestellt();
    }
}

TEST_F(AufnahmeTest, ASecondImportAndAnotherMonthStoreNothing) {
    const int casino = neuesCasino();
    waehle(casino, "T 05", Date::fromYmd(2012, 4, 2));
    const auto pfad = datei(std::string(kMaerz) + "03.03.2012\n9\n8");
    auto april = importiere(pfad);
    EXPECT_EQ(april.tage + april.coups, 0);

    waehle(casino, "T 05", Date::fromYmd(2012, 3, 2));
    const auto erste = importiere(pfad);
    EXPECT_EQ(erste.tage, 3);
    EXPECT_EQ(erste.coups, 6);
    // The day that reached the end of the file got its day row, so it is not stored twice.
    const auto zweite = importiere(pfad);
    EXPECT_EQ(zweite.tage, 0);
    EXPECT_EQ(zweite.coups, 0);
    EXPECT_EQ(permanenz(casino, "T 05"), "01.03.2012:17,0,36 02.03.2012:5 03.03.2012:9,8");
    EXPECT_EQ(tageszeilen(casino, "T 05"), "01.03.2012=3 02.03.2012=1 03.03.2012=2");
}

// A second import finds every day the first one stored, the month's last day included, also in
// the last month a date can have (whose following day, "10000-01-01", sorts before it as text).
TEST_F(AufnahmeTest, ASecondImportOfAMonthAtTheEndOfTheCalendarStoresNothing) {
    const int casino = neuesCasino();
    const struct {
        const char* datei;
        Date tag;
        const char* gespeichert;
    } faelle[] = {
        {"01.12.9999\n5\n6\na\nb\n31.12.9999\n7\n", Date::fromYmd(9999, 12, 1),
         "01.12.9999:5,6 31.12.9999:7"},
        {"01.12.2012\n1\na\nb\n31.12.2012\n2\n3\n", Date::fromYmd(2012, 12, 31),
         "01.12.2012:1 31.12.2012:2,3"},
        {"01.02.2012\n4\na\nb\n29.02.2012\n8\n", Date::fromYmd(2012, 2, 29),
         "01.02.2012:4 29.02.2012:8"},
    };
    const char* tische[] = {"T 01", "T 02", "T 03"};
    for (std::size_t i = 0; i < std::size(faelle); ++i) {
        const auto& f = faelle[i];
        SCOPED_TRACE(f.gespeichert);
        waehle(casino, tische[i], f.tag);
        const auto pfad = datei(f.datei);
        const auto erste = importiere(pfad);
        EXPECT_EQ(erste.tage, 2);
        const auto zweite = importiere(pfad);
        EXPECT_EQ(zweite.tage, 0);
        EXPECT_EQ(zweite.coups, 0);
        EXPECT_EQ(permanenz(casino, tische[i]), f.gespeichert);
    }
}

using spinalyst::testing::utf16;

// A file that gives no day says why, in both languages, on a line after the usual report; a
// report with a day keeps the one line.
TEST_F(AufnahmeTest, AFileThatGivesNoDaySaysWhy) {
    const std::string kopfDe = "Permanenz: 0 Tag(e), 0 Coups aufgenommen!\n";
    const std::string kopfEn = "Permanence: 0 Day(s), 0 Coups included!\n";
    const struct {
        const char* name;
        std::string inhalt;
        bool zweimal;  // imported twice, the second report counts
        std::string deutsch;
        std::string english;
    } cases[] = {
        {"empty file", "", false, kopfDe + "Die Datei ist leer.", kopfEn + "The file is empty."},
        {"only empty lines", "\r\n\n  \n", false,
         kopfDe + "Keine Zeile der Datei enthält einen Tag des Monats 03.2012.",
         kopfEn + "No line of the file holds a day of the month 03.2012."},
        {"another month", "01.04.2012\n17\nx\ny\n", false,
         kopfDe + "Keine Zeile der Datei enthält einen Tag des Monats 03.2012.",
         kopfEn + "No line of the file holds a day of the month 03.2012."},
        {"binary", "\x01\xFF\xFE\x00\x89PNG\r\n\x1A\n\x00\x00"s, false,
         kopfDe + "Die Datei enthält keinen lesbaren Text (keine Textdatei oder eine unbekannte "
                  "Kodierung).",
         kopfEn + "The file holds no readable text (not a text file, or an unknown encoding)."},
        {"UTF-16 without byte-order mark",
         "0\x001\x00.\x000\x003\x00.\x002\x000\x001\x002\x00\n\x00"s, false,
         kopfDe + "Die Datei enthält keinen lesbaren Text (keine Textdatei oder eine unbekannte "
                  "Kodierung).",
         kopfEn + "The file holds no readable text (not a text file, or an unknown encoding)."},
        {"UTF-16 of another month", utf16(u"01.04.2012\r\n17\r\nx\r\ny\r\n", true), false,
         kopfDe + "Keine Zeile der Datei enthält einen Tag des Monats 03.2012.",
         kopfEn + "No line of the file holds a day of the month 03.2012."},
        {"days stored already", kMaerz, true,
         kopfDe + "Die Tage des Monats 03.2012 in der Datei sind schon aufgenommen oder haben "
                  "keine Zahlen.",
         kopfEn + "The file's days of the month 03.2012 are included already or hold no numbers."},
        {"a date line without numbers", "01.03.2012\nx\ny\n", false,
         kopfDe + "Die Tage des Monats 03.2012 in der Datei sind schon aufgenommen oder haben "
                  "keine Zahlen.",
         kopfEn + "The file's days of the month 03.2012 are included already or hold no numbers."},
        {"a day stored", "\x01\x02" + std::string(kMaerz), false,
         "Permanenz: 2 Tag(e), 4 Coups aufgenommen!", "Permanence: 2 Day(s), 4 Coups included!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const int casino = neuesCasino();
        waehle(casino, "T 01", Date::fromYmd(2012, 3, 15));
        const auto pfad = datei(c.inhalt);
        auto bericht = importiere(pfad);
        if (c.zweimal) {
            bericht = importiere(pfad);
        }
        sitzung.sprache = store::Sprache::Deutsch;
        EXPECT_EQ(Aufnahme_Meldung(k, bericht), c.deutsch);
        sitzung.sprache = store::Sprache::Englisch;
        EXPECT_EQ(Aufnahme_Meldung(k, bericht), c.english);
    }
    sitzung.sprache = store::Sprache::Deutsch;

    // The generator has no file to explain.
    const int zg = neuesCasino("t", 2);
    waehle(zg, "T 01", Date::fromYmd(2012, 3, 15));
    importiere({});
    EXPECT_EQ(Aufnahme_Meldung(k, importiere({})), "Permanenz: 0 Tag(e), 0 Coups aufgenommen!");
}

// A file saved as UTF-16 with its byte-order mark, or as UTF-8 with one, imports as the same
// text in UTF-8 does.
TEST_F(AufnahmeTest, Utf16AndMarkedUtf8FilesImportAsUtf8) {
    const std::u16string text =
        u"Spielbank M\u00fcnchen \U0001F3B2 01.03.2012\r\n17\r\n0\r\n36\r\na\r\nb\r\n"
        u"02.03.2012\r\n5\r\n-\r\n-\r\n";
    const std::string utf8 =
        "Spielbank M\xC3\xBCnchen \xF0\x9F\x8E\xB2 01.03.2012\r\n17\r\n0\r\n36\r\na\r\nb\r\n"
        "02.03.2012\r\n5\r\n-\r\n-\r\n";
    const struct {
        const char* name;
        std::string inhalt;
    } cases[] = {
        {"UTF-8", utf8},
        {"UTF-8 with mark", "\xEF\xBB\xBF" + utf8},
        {"UTF-16 little endian", utf16(text, false)},
        {"UTF-16 big endian", utf16(text, true)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const int casino = neuesCasino();
        waehle(casino, "T 01", Date::fromYmd(2012, 3, 15));
        const auto bericht = importiere(datei(c.inhalt));
        EXPECT_EQ(bericht.tage, 2);
        EXPECT_EQ(bericht.coups, 4);
        EXPECT_EQ(Aufnahme_Meldung(k, bericht), "Permanenz: 2 Tag(e), 4 Coups aufgenommen!");
        EXPECT_EQ(permanenz(casino), "01.03.2012:17,0,36 02.03.2012:5");
        EXPECT_EQ(tageszeilen(casino), "01.03.2012=3 02.03.2012=1");
    }
}

TEST_F(AufnahmeTest, TheSelectionShowsTheImportedMonthAfterwards) {
    const int casino = neuesCasino();
    waehle(casino, "T 03", Date::fromYmd(2012, 3, 2));
    auto& w = dm.TdbTable_Wahl;
    w.edit();
    w.setInteger("System_Tage_Anzahl", 1);  // day window: the 2nd only
    w.post();
    importiere(datei(kMaerz));

    EXPECT_EQ(w.integer("ID_Casino"), casino);
    EXPECT_EQ(w.text("Tisch"), "T 03");
    EXPECT_EQ(w.date("Datum"), Date::fromYmd(2012, 3, 2));
    auto& p = dm.TdbTable_Permanenz;
    ASSERT_EQ(p.recordCount(), 1);
    EXPECT_EQ(p.integer("Zahl"), 5);
    auto& t = dm.TdbTable_Permanenz_Tag_Zusammenfassung;
    ASSERT_EQ(t.recordCount(), 1);
    EXPECT_EQ(t.date("Datum"), Date::fromYmd(2012, 3, 2));
    auto& g = dm.TdbTable_Permanenz_Tag_Zusammenfassung_G;
    EXPECT_EQ(g.integer("Tage"), 1);
    EXPECT_EQ(g.integer("Coups_Anzahl"), 1);
    auto& strecke = dm.TdbTable_Casino_Tisch_Datum;
    ASSERT_TRUE(strecke.locate("Tisch", {Value("T 03")}));
    EXPECT_EQ(strecke.date("Datum_von"), k1Maerz);
    EXPECT_EQ(strecke.date("Datum_bis"), Date::fromYmd(2012, 3, 2));
    EXPECT_EQ(strecke.integer("Tage"), 2);
}

TEST_F(AufnahmeTest, ADayWithADayRowIsSkippedWhateverTheFileHolds) {
    const int casino = neuesCasino();
    waehle(casino, "T 01", Date::fromYmd(2012, 3, 2));
    importiere(datei("02.03.2012\n1\n2\nx\ny\n", "erst.txt"));
    const auto bericht = importiere(datei(kMaerz));
    EXPECT_EQ(bericht.tage, 1);
    EXPECT_EQ(bericht.coups, 3);
    EXPECT_EQ(permanenz(casino), "01.03.2012:17,0,36 02.03.2012:1,2");
    // Other casinos and gaming tables of the same days are a different permanence.
    waehle(casino, "T 02", Date::fromYmd(2012, 3, 2));
    EXPECT_EQ(importiere(datei(kMaerz)).tage, 2);
    EXPECT_EQ(permanenz(casino), "01.03.2012:17,0,36 02.03.2012:1,2");
}

TEST_F(AufnahmeTest, ARandomGeneratorCasinoGetsEveryMissingDayOfTheMonth) {
    const int casino = neuesCasino("t", 300);
    waehle(casino, "T 02", Date::fromYmd(2012, 2, 10));
    importiere(datei("10.02.2012\n4\n5\n"));  // ignored: the casino generates
    EXPECT_EQ(permanenz(casino, "T 02").substr(0, 13), "01.02.2012:30");

    // A second casino with one day present before the generation.
    const int zweites = neuesCasino("f");
    waehle(zweites, "T 02", Date::fromYmd(2012, 2, 10));
    importiere(datei("10.02.2012\n4\n5\n"));
    auto& casinoCursor = dm.TdbTable_Casino;
    ASSERT_TRUE(casinoCursor.locate("ID_Casino_AutoInc", {Value(zweites)}));
    casinoCursor.edit();
    casinoCursor.setText("Zufallsgenerator", "t");
    casinoCursor.setInteger("Zufallsgenerator_Coups", 300);
    casinoCursor.post();
    Zufallsgenerator erwartet(77);
    zufall = Zufallsgenerator(77);
    const auto bericht = importiere({});
    EXPECT_EQ(bericht.tage, 28);
    EXPECT_EQ(bericht.coups, 28 * 300);
    const std::string p = permanenz(zweites, "T 02");
    EXPECT_NE(p.find("10.02.2012:4,5 "), std::string::npos);
    std::string ersterTag = "01.02.2012:";
    for (int i = 0; i < 300; ++i) {
        ersterTag += (i ? "," : "") + std::to_string(erwartet.naechsteZahl());
    }
    EXPECT_EQ(p.substr(0, ersterTag.size() + 1), ersterTag + " ");
    store::QueryCursor q("q", dm.TdbDatabase_Roulette);
    q.setSql(
        "SELECT COUNT(*) AS n FROM Permanenz_Tag_Zusammenfassung WHERE ID_Casino = ? "
        "AND Coups_Anzahl = 300",
        {Value(zweites)});
    q.open();
    EXPECT_EQ(q.integer("n"), 28);
    erwarteWiederhergestellt();
}

TEST_F(AufnahmeTest, ZeroGeneratedCoupsGiveEmptyDayRows) {
    const int casino = neuesCasino("t", 0);
    waehle(casino, "T 01", Date::fromYmd(2011, 2, 1));
    const auto bericht = importiere({});
    EXPECT_EQ(bericht.tage, 28);
    EXPECT_EQ(bericht.coups, 0);
    EXPECT_EQ(permanenz(casino), "");
    const std::string zeilen = tageszeilen(casino);
    EXPECT_EQ(zeilen.substr(0, 25), "01.02.2011=0 02.02.2011=0");
    EXPECT_EQ(zeilen.substr(zeilen.size() - 12), "28.02.2011=0");
    // A casino with neither flag imports nothing.
    const int weder = neuesCasino("?", 10);
    waehle(weder, "T 01", Date::fromYmd(2011, 2, 1));
    EXPECT_EQ(importiere(datei(kMaerz)).tage, 0);
}

// A day that fails while it is written is stored not at all, the days before it wholly.
TEST_F(AufnahmeTest, AFailingDayIsRolledBackAndTheEarlierOnesStay) {
    int casino = neuesCasino();
    waehle(casino, "T 01", k1Maerz);
    const auto pfad = datei(std::string(kMaerz) + "03.03.2012\n9\nx\ny\n");
    // The write that fails: the day row, or a coup, of the second day. A temporary trigger
    // refuses it as the disk would.
    struct Fall {
        const char* name;
        const char* tabelle;
    } faelle[] = {{"day row", "Permanenz_Tag_Zusammenfassung"}, {"coup", "Permanenz"}};
    auto& verbindung = dm.TdbDatabase_Roulette.connection();
    for (auto& f : faelle) {
        SCOPED_TRACE(f.name);
        verbindung.exec(std::string("CREATE TEMP TRIGGER fehlschlag BEFORE INSERT ON main.") +
                        f.tabelle +
                        " WHEN NEW.Datum = '2012-03-02' BEGIN SELECT RAISE(ABORT, 'disk full'); "
                        "END");
        ansicht.calls.clear();
        EXPECT_THROW(importiere(pfad), store::StoreError);
        verbindung.exec("DROP TRIGGER temp.fehlschlag");
        EXPECT_EQ(permanenz(casino), "01.03.2012:17,0,36");
        EXPECT_EQ(tageszeilen(casino), "01.03.2012=3");
        erwarteWiederhergestellt();
        // The cursors show what is stored, not the rolled-back rows.
        EXPECT_EQ(dm.TdbTable_Permanenz.recordCount(), 3);
        EXPECT_EQ(dm.TdbTable_Permanenz_Tag_Zusammenfassung.recordCount(), 1);

        // Imported again, the file adds exactly the days that failed.
        const auto bericht = importiere(pfad);
        EXPECT_EQ(bericht.tage, 2);
        EXPECT_EQ(bericht.coups, 2);
        EXPECT_EQ(permanenz(casino), "01.03.2012:17,0,36 02.03.2012:5 03.03.2012:9");
        EXPECT_EQ(tageszeilen(casino), "01.03.2012=3 02.03.2012=1 03.03.2012=1");

        casino = neuesCasino();
        waehle(casino, "T 01", k1Maerz);
    }
}

TEST_F(AufnahmeTest, TheMenuAsksChoosesAndReports) {
    const int casino = neuesCasino();
    waehle(casino, "T 04", Date::fromYmd(2012, 3, 9));
    datei(kMaerz, "maerz.txt");

    // No, a cancelled dialog and a name of two characters do nothing.
    ui.answers = {false};
    MenuItem_Permanenzen_AufnahmeClick(k, zufall);
    ui.files = {"ab"};
    MenuItem_Permanenzen_AufnahmeClick(k, zufall);
    MenuItem_Permanenzen_AufnahmeClick(k, zufall);
    EXPECT_TRUE(ui.informed.empty());
    EXPECT_EQ(std::count(ansicht.calls.begin(), ansicht.calls.end(), "permanenzGridsTrennen"), 0);
    const std::string frage =
        "Aufnahme Permanenzen, Bank " + std::to_string(casino) + ", T 04, Monat 03/2012";
    EXPECT_EQ(ui.asked, std::vector<std::string>(3, frage));
    EXPECT_TRUE(ui.askedDeletion.empty());  // the import deletes nothing: Yes is the default

    // ".txt" is appended to a name without extension.
    ui.files = {(dir.path() / "maerz").string()};
    MenuItem_Permanenzen_AufnahmeClick(k, zufall);
    EXPECT_EQ(ui.informed, std::vector<std::string>{"Permanenz: 2 Tag(e), 4 Coups aufgenommen!"});

    sitzung.sprache = store::Sprache::Englisch;
    ui.asked.clear();
    ui.files = {(dir.path() / "maerz.txt").string()};
    MenuItem_Permanenzen_AufnahmeClick(k, zufall);
    EXPECT_EQ(ui.asked.back(),
              "Include Permanences, Bank " + std::to_string(casino) + ", T 04, Month 03/2012");
    EXPECT_EQ(ui.informed.back(),
              "Permanence: 0 Day(s), 0 Coups included!\nThe file's days of the month 03.2012 "
              "are included already or hold no numbers.");

    // A random-generator casino: no dialog, the question names the coups per day.
    const int zg = neuesCasino("t", 3);
    waehle(zg, "T 04", Date::fromYmd(2012, 3, 9));
    ui.files = {"nicht gefragt"};
    MenuItem_Permanenzen_AufnahmeClick(k, zufall);
    EXPECT_EQ(ui.asked.back(), "Include Permanences, Bank " + std::to_string(zg) +
                                   ", T 04, Month 03/2012\n3 Coups/Day with random generator!");
    EXPECT_EQ(ui.informed.back(), "Permanence: 31 Day(s), 93 Coups included!");
    EXPECT_EQ(ui.files.size(), 1u);
    sitzung.sprache = store::Sprache::Deutsch;
    MenuItem_Permanenzen_AufnahmeClick(k, zufall);
    EXPECT_EQ(ui.asked.back(), "Aufnahme Permanenzen, Bank " + std::to_string(zg) +
                                   ", T 04, Monat 03/2012\n3 Coups pro Tag werden durch "
                                   "Zufallsgenerator erzeugt!");
}

TEST_F(AufnahmeTest, AFileThatCannotBeReadStoresNothingAndSaysSo) {
    const int casino = neuesCasino();
    waehle(casino, "T 01", k1Maerz);
    std::filesystem::create_directory(dir.path() / "ordner.txt");
    const auto gesperrt = datei(kMaerz, "gesperrt.txt");
    std::filesystem::permissions(gesperrt, std::filesystem::perms::none);
    const bool alsRoot = geteuid() == 0;  // root reads a file without permissions
    // The file system refuses what the permissions refuse everyone but root, and fails reading a
    // file of more than one read buffer part-way.
    const auto verweigert = datei(kMaerz, "verweigert.txt");
    std::string lang = kMaerz;
    while (lang.size() < (3u << 20) / 2) {
        lang += "17," + std::string(200, 'x') + "\n";
    }
    const auto abbrechend = datei(lang, "abbrechend.txt");
    spinalyst::testing::FaultFileSystem fehlerhaft;
    fehlerhaft.refuseOpening(verweigert);
    fehlerhaft.failReadingAfter(abbrechend, 1u << 20);
    const store::FileSystem& echt = store::realFileSystem();

    // A pipe would block the import on opening, a device give bytes without end.
    const auto pipe = dir.path() / "pipe.txt";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const auto geraet = dir.path() / "null.txt";
    std::filesystem::create_symlink("/dev/zero", geraet);

    const struct {
        std::filesystem::path gewaehlt;
        std::filesystem::path gemeldet;
        store::Sprache sprache;
        const store::FileSystem& dateien;
    } cases[] = {
        {dir.path() / "fehlt", dir.path() / "fehlt.txt", store::Sprache::Deutsch, echt},
        {dir.path() / "ordner.txt", dir.path() / "ordner.txt", store::Sprache::Englisch, echt},
        {gesperrt, gesperrt, store::Sprache::Deutsch, echt},
        {pipe, pipe, store::Sprache::Deutsch, echt},
        {geraet, geraet, store::Sprache::Englisch, echt},
        {verweigert, verweigert, store::Sprache::Deutsch, fehlerhaft},
        {dir.path() / "verweigert", verweigert, store::Sprache::Englisch, fehlerhaft},
        {abbrechend, abbrechend, store::Sprache::Deutsch, fehlerhaft},
    };
    for (const auto& c : cases) {
        if (alsRoot && c.gewaehlt == gesperrt) {
            continue;  // the refusing file system stands in for the permissions
        }
        SCOPED_TRACE(c.gewaehlt.string());
        sitzung.sprache = c.sprache;
        ui.files = {c.gewaehlt.string()};
        ui.informed.clear();
        ansicht.calls.clear();
        MenuItem_Permanenzen_AufnahmeClick(k, zufall, c.dateien);
        ASSERT_EQ(ui.informed.size(), 1u);
        EXPECT_EQ(ui.informed[0],
                  (c.sprache == store::Sprache::Englisch ? "File cannot be read: "
                                                         : "Datei kann nicht gelesen werden: ") +
                      c.gemeldet.string());
        EXPECT_EQ(permanenz(casino), "");
        EXPECT_EQ(tageszeilen(casino), "");
        erwarteWiederhergestellt();
    }
    EXPECT_THROW(importiere(dir.path() / "fehlt.txt"), store::ImportFileError);
    EXPECT_THROW(Permanenz_Aufnehmen(k, zufall, ImportAuftrag{verweigert, &fehlerhaft}),
                 store::ImportFileError);
    // Through the real file system the stand-in's files are read.
    EXPECT_EQ(importiere(verweigert).tage, 2);
    EXPECT_EQ(permanenz(casino), "01.03.2012:17,0,36 02.03.2012:5");
}

// A full disk or a failing device while the month is written: nothing of the month is stored,
// the error names the database and says why, links, grids and flags are restored, and once the
// disk has room again the month is imported wholly.
TEST_F(AufnahmeTest, AFailingWriteStoresNothingOfTheMonthAndSaysWhy) {
    spinalyst::testing::FaultVfs vfs;
    dm.close();
    dm.TdbDatabase_Roulette.setVfs(vfs.name());
    dm.open();
    const int casino = neuesCasino();
    waehle(casino, "T 01", k1Maerz);
    const auto pfad = datei(kMaerz);
    const struct {
        const char* name;
        int rc;
        int schreibenVorher;
        const char* meldung;
    } faelle[] = {
        {"full disk", SQLITE_FULL, 0, "database or disk is full"},
        {"device error part-way", SQLITE_IOERR_WRITE, 2, "disk I/O error"},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.name);
        vfs.failWrites(f.rc, f.schreibenVorher);
        ansicht.calls.clear();
        try {
            importiere(pfad);
            ADD_FAILURE() << "imported";
        } catch (const store::StoreError& e) {
            const std::string meldung = e.what();
            EXPECT_EQ(meldung.rfind("Datenbank_Roulette.tdbd: ", 0), 0u) << meldung;
            EXPECT_NE(meldung.find(f.meldung), std::string::npos) << meldung;
            EXPECT_EQ(e.code(), f.rc & 0xff);
        }
        EXPECT_GT(vfs.failures(), 0);
        vfs.heal();
        EXPECT_EQ(permanenz(casino), "");
        EXPECT_EQ(tageszeilen(casino), "");
        erwarteWiederhergestellt();
    }
    const auto bericht = importiere(pfad);
    EXPECT_EQ(bericht.tage, 2);
    EXPECT_EQ(bericht.coups, 4);
    EXPECT_EQ(permanenz(casino), "01.03.2012:17,0,36 02.03.2012:5");
    EXPECT_EQ(tageszeilen(casino), "01.03.2012=3 02.03.2012=1");
    dm.close();  // before the VFS it goes through is gone
}

TEST_F(AufnahmeTest, HostileFilesEndWithAReport) {
    std::mt19937 zufallsbytes(5);
    std::string binaer(1 << 20, '\0');
    for (char& c : binaer) {
        c = static_cast<char>(zufallsbytes());
    }
    // One line of 8 MB that starts with a date (cancelled by what follows it), then a day.
    const std::string langeZeile =
        "01.03.2012" + std::string(8 << 20, '7') + "\n02.03.2012\n5\nx\ny\n";
    std::string vieleZeilen;
    for (int i = 0; i < 50000; ++i) {
        vieleZeilen += "01.03.2012\n";
    }
    vieleZeilen += "3\n";
    const struct {
        const char* name;
        std::string inhalt;
        const char* permanenz;
    } cases[] = {
        {"binary", binaer + "\n01.03.2012\n4\n", "01.03.2012:4"},
        {"one long line", langeZeile, "02.03.2012:5"},
        {"many date lines", vieleZeilen, "01.03.2012:3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const int id = neuesCasino();
        waehle(id, "T 01", k1Maerz);
        importiere(datei(c.inhalt));
        EXPECT_EQ(permanenz(id), c.permanenz);
    }
}

}  // namespace
}  // namespace spinalyst::capture
