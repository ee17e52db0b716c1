#include "capture/import_liste.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "capture/aufnahme.h"
#include "capture/auswahl.h"
#include "capture/permanenz_csv.h"
#include "capture/zufall.h"
#include "kern/csv_export.h"
#include "store/sqlite.h"
#include "store/textimport.h"
#include "tests/support/fault_injection.h"
#include "tests/support/kontext_fixture.h"

namespace spinalyst::capture {
namespace {

using store::Date;
using store::Value;
using namespace std::string_literals;

const Date k1Maerz = Date::fromYmd(2012, 3, 1);

// A list as read, in one line: "01.03.2012:17,0 02.03.2012:5", or its faults
// "2:Zahl:37 3:Unlesbar:x", or "ohne ersten Tag".
std::string gelesen(const Liste& l) {
    static const char* const arten[] = {"Unlesbar", "Zahl",         "Datum",
                                        "OhneTag",  "Trennzeichen", "Anfuehrung"};
    std::string s;
    for (const Listenfehler& f : l.fehler) {
        s += (s.empty() ? "" : " ") + std::to_string(f.zeile) + ":" +
             arten[static_cast<int>(f.art)] + ":" + f.text;
    }
    if (!s.empty()) {
        return s;
    }
    if (l.ohneErstenTag) {
        return "ohne ersten Tag";
    }
    for (const Listentag& t : l.tage) {
        s += (s.empty() ? "" : " ") + t.datum.german() + ":";
        for (std::size_t i = 0; i < t.zahlen.size(); ++i) {
            s += (i == 0 ? "" : ",") + std::to_string(t.zahlen[i]);
        }
    }
    return s;
}

TEST(ListeLesenTest, SeparatorsDaysAndFaults) {
    const struct {
        const char* name;
        std::string text;
        std::optional<Date> ersterTag;
        int proTag;
        std::string erwartet;
    } faelle[] = {
        {"one a line, one day", "17\n0\n36\n", k1Maerz, 0, "01.03.2012:17,0,36"},
        {"commas, blanks and tabs, days of four", "17, 0, 36\n5 6\t7\n", k1Maerz, 4,
         "01.03.2012:17,0,36,5 02.03.2012:6,7"},
        {"tabs only", "17\t0\t36\r\n", k1Maerz, 0, "01.03.2012:17,0,36"},
        {"lines of dashes close days", "1\n2\n---\n3\n-\n-\n4\n", k1Maerz, 0,
         "01.03.2012:1,2 02.03.2012:3 03.03.2012:4"},
        {"dashes and a count together", "1 2 3\n--\n4\n", k1Maerz, 2,
         "01.03.2012:1,2 02.03.2012:3 03.03.2012:4"},
        {"the days run over the month's end", "1 2 3", Date::fromYmd(2012, 2, 28), 1,
         "28.02.2012:1 29.02.2012:2 01.03.2012:3"},
        {"ISO date column", "2012-03-01,17,0\n2012-03-02,5\n", std::nullopt, 0,
         "01.03.2012:17,0 02.03.2012:5"},
        {"German date column with semicolons", "01.03.2012;17;0\n02.03.2012;5\n", std::nullopt, 0,
         "01.03.2012:17,0 02.03.2012:5"},
        {"dates in the file win over the player's choice", "01.03.2012;17\n", k1Maerz.addDays(9), 1,
         "01.03.2012:17"},
        {"date lines with their numbers below", "01.03.2012\n17\n0\n02.03.2012\n5\n", std::nullopt,
         0, "01.03.2012:17,0 02.03.2012:5"},
        {"a day in two places keeps the file's order", "2012-03-02,5\n2012-03-01,17\n2012-03-02,6",
         std::nullopt, 0, "01.03.2012:17 02.03.2012:5,6"},
        {"the program's own export", "date,coup,number\r\n2012-03-01,1,17\r\n2012-03-01,2,0\r\n",
         std::nullopt, 0, "01.03.2012:17,0"},
        {"the German export with semicolons", "Datum;Coup;Zahl\r\n01.03.2012;1;17\r\n",
         std::nullopt, 0, "01.03.2012:17"},
        {"a header of other words is skipped", "Zahlen vom Tisch drei\n1 2 3\n", k1Maerz, 0,
         "01.03.2012:1,2,3"},
        {"quoted numbers", "\"17\",\"0\"\n", k1Maerz, 0, "01.03.2012:17,0"},
        {"no day and no first day", "17 0\n", std::nullopt, 3, "ohne ersten Tag"},
        {"a number 37", "17\n37\n0\n", k1Maerz, 0, "2:Zahl:37"},
        {"a negative number", "17\n-1\n", k1Maerz, 0, "2:Zahl:-1"},
        {"words among the numbers", "17\nabc\n18 x\n", k1Maerz, 0, "2:Unlesbar:abc 3:Unlesbar:x"},
        {"a decimal", "17.0\n", k1Maerz, 0, "1:Unlesbar:17.0"},
        {"a date the calendar does not have", "2012-03-01,5\n31.02.2012,5\n", std::nullopt, 0,
         "2:Datum:31.02.2012"},
        {"numbers before the first date", "5\n01.03.2012,6\n", std::nullopt, 0, "1:OhneTag:"},
        {"commas and semicolons mixed", "1,2\n3\n4;5\n", k1Maerz, 0, "3:Trennzeichen:;"},
        {"semicolons first, then a comma", "1;2\n3,4\n", k1Maerz, 0, "2:Trennzeichen:,"},
        {"a quote not closed", "1,\"2\n3\n", k1Maerz, 0, "1:Anfuehrung:\""},
        {"empty", "", k1Maerz, 0, ""},
        {"blank lines only", "\n \n\t\n", k1Maerz, 5, ""},
    };
    for (const auto& f : faelle) {
        const Liste l = Liste_Lesen(f.text, Listenvorgabe{f.ersterTag, f.proTag});
        EXPECT_EQ(gelesen(l), f.erwartet) << f.name;
    }
}

class ListenimportTest : public testing::KontextTest {
  protected:
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

    std::filesystem::path datei(const std::string& inhalt, const char* name = "liste.csv") {
        const auto pfad = dir.path() / name;
        std::ofstream(pfad, std::ios::binary) << inhalt;
        return pfad;
    }

    // The stored coups of a casino and gaming table: "01.03.2012:17,0 02.03.2012:5", and the
    // day rows with their counts "01.03.2012=2 02.03.2012=1".
    std::string permanenz(int casino, const char* tisch = "T 01") {
        store::Statement q(dm.TdbDatabase_Roulette.connection(),
                           "SELECT Datum, Zahl FROM Permanenz WHERE ID_Casino = ? AND Tisch = ? "
                           "ORDER BY Datum, ID_Zahl");
        q.bind(1, Value(casino));
        q.bind(2, Value(tisch));
        std::string s;
        std::string tag;
        while (q.step()) {
            const std::string d = Date::parse(q.textView(0))->german();
            s += d != tag ? (s.empty() ? "" : " ") + d + ":" : ",";
            tag = d;
            s += std::to_string(q.int64(1));
        }
        return s;
    }
    std::string tageszeilen(int casino, const char* tisch = "T 01") {
        store::Statement q(dm.TdbDatabase_Roulette.connection(),
                           "SELECT Datum, Coups_Anzahl FROM Permanenz_Tag_Zusammenfassung WHERE "
                           "ID_Casino = ? AND Tisch = ? ORDER BY Datum");
        q.bind(1, Value(casino));
        q.bind(2, Value(tisch));
        std::string s;
        while (q.step()) {
            s += (s.empty() ? "" : " ") + Date::parse(q.textView(0))->german() + "=" +
                 std::to_string(q.int64(1));
        }
        return s;
    }
};

TEST_F(ListenimportTest, ABadListStoresNothingAndSaysWhy) {
    // Without a casino in the selection nothing is read.
    EXPECT_EQ(Liste_Meldung(k, Liste_Importieren(k, datei("1 2 3"), Listenvorgabe{k1Maerz, 0})),
              "Zahlenliste: nichts aufgenommen. Kein Casino gewählt.");
    const int casino = neuesCasino();
    waehle(casino, "T 01", k1Maerz);
    const struct {
        const char* name;
        std::string inhalt;
        Listengrund grund;
        std::string meldung;  // German, then English
        std::string message;
    } faelle[] = {
        {"a text file", "Liebe Grüße aus Wiesbaden,\nder Tisch war heute voll.\n",
         Listengrund::Fehler,
         "Zahlenliste: nichts aufgenommen. 1 Zeile(n) der Datei nicht lesbar:\n"
         "Zeile 2: keine Zahl: der",
         "Number list: nothing included. 1 line(s) of the file cannot be read:\n"
         "Line 2: not a number: der"},
        {"mixed separators", "17,0\n36;5\n", Listengrund::Fehler,
         "Zahlenliste: nichts aufgenommen. 1 Zeile(n) der Datei nicht lesbar:\n"
         "Zeile 2: ein Trennzeichen ';' in einer Liste, deren Zeile 1 ',' hat (Kommas und "
         "Semikolons mischen sich nicht)",
         "Number list: nothing included. 1 line(s) of the file cannot be read:\n"
         "Line 2: a separator ';' in a list whose line 1 has ',' (commas and semicolons do not "
         "mix)"},
        {"a number 37", "17\n0\n37\n5\n", Listengrund::Fehler,
         "Zahlenliste: nichts aufgenommen. 1 Zeile(n) der Datei nicht lesbar:\n"
         "Zeile 3: die Zahl 37 liegt nicht zwischen 0 und 36",
         "Number list: nothing included. 1 line(s) of the file cannot be read:\n"
         "Line 3: the number 37 is not between 0 and 36"},
        {"an empty file", "", Listengrund::KeineZahlen,
         "Zahlenliste: nichts aufgenommen. Die Datei enthält keine Zahlen.",
         "Number list: nothing included. The file holds no numbers."},
        {"a bad date", "2012-03-01;17\n2012-02-30;5\n", Listengrund::Fehler,
         "Zahlenliste: nichts aufgenommen. 1 Zeile(n) der Datei nicht lesbar:\n"
         "Zeile 2: kein gültiges Datum: 2012-02-30",
         "Number list: nothing included. 1 line(s) of the file cannot be read:\n"
         "Line 2: not a valid date: 2012-02-30"},
        {"a binary file",
         "\x7F"
         "ELF\x02\x01\x01\0\0\0 17\n"s,
         Listengrund::KeinText, "Zahlenliste: nichts aufgenommen. Die Datei ist keine Textdatei.",
         "Number list: nothing included. The file is not a text file."},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.name);
        const auto bericht = Liste_Importieren(k, datei(f.inhalt), Listenvorgabe{k1Maerz, 0});
        EXPECT_EQ(bericht.grund, f.grund);
        EXPECT_EQ(bericht.tage, 0);
        EXPECT_EQ(bericht.coups, 0);
        EXPECT_EQ(Liste_Meldung(k, bericht), f.meldung);
        sitzung.sprache = store::Sprache::Englisch;
        EXPECT_EQ(Liste_Meldung(k, bericht), f.message);
        sitzung.sprache = store::Sprache::Deutsch;
        EXPECT_EQ(permanenz(casino), "");
        EXPECT_EQ(tageszeilen(casino), "");
        EXPECT_FALSE(ui.busy);
    }
}

TEST_F(ListenimportTest, ManyFaultsShowTheFirstTenAndCountTheRest) {
    const int casino = neuesCasino();
    waehle(casino, "T 01", k1Maerz);
    std::string inhalt = "1\n";
    for (int i = 0; i < 12; ++i) {
        inhalt += "99\n";
    }
    const auto bericht = Liste_Importieren(k, datei(inhalt), Listenvorgabe{k1Maerz, 0});
    ASSERT_EQ(bericht.fehler.size(), 12u);
    const std::string meldung = Liste_Meldung(k, bericht);
    EXPECT_NE(meldung.find("12 Zeile(n)"), std::string::npos);
    EXPECT_NE(meldung.find("Zeile 11: die Zahl 99"), std::string::npos);
    EXPECT_EQ(meldung.find("Zeile 12:"), std::string::npos);
    EXPECT_NE(meldung.find("\n… und 2 weitere"), std::string::npos) << meldung;
}

TEST_F(ListenimportTest, StoredDaysAreSkippedAndTheReportCountsWhatWasStored) {
    const int casino = neuesCasino();
    waehle(casino, "T 01", k1Maerz);
    auto bericht = Liste_Importieren(k, datei("2012-03-02,9,9\n"), Listenvorgabe{std::nullopt, 0});
    EXPECT_EQ(Liste_Meldung(k, bericht), "Zahlenliste: 1 Tag(e), 2 Coups aufgenommen!");

    bericht = Liste_Importieren(k, datei("17 0 36\n---\n5 6\n---\n1\n"), Listenvorgabe{k1Maerz, 0});
    EXPECT_EQ(bericht.tage, 2);
    EXPECT_EQ(bericht.coups, 4);
    EXPECT_EQ(bericht.tageVorhanden, 1);
    EXPECT_EQ(Liste_Meldung(k, bericht),
              "Zahlenliste: 2 Tag(e), 4 Coups aufgenommen!\n"
              "1 Tag(e) der Liste schon aufgenommen, übersprungen.");
    EXPECT_EQ(permanenz(casino), "01.03.2012:17,0,36 02.03.2012:9,9 03.03.2012:1");
    EXPECT_EQ(tageszeilen(casino), "01.03.2012=3 02.03.2012=2 03.03.2012=1");
    // The casino's stretch of recorded days follows.
    store::Statement strecke(dm.TdbDatabase_Roulette.connection(),
                             "SELECT Datum_von, Datum_bis FROM Casino_Tisch_Datum "
                             "WHERE ID_Casino = ? AND Tisch = 'T 01'");
    strecke.bind(1, Value(casino));
    ASSERT_TRUE(strecke.step());
    EXPECT_EQ(strecke.textView(0), "2012-03-01");
    EXPECT_EQ(strecke.textView(1), "2012-03-03");

    bericht = Liste_Importieren(k, datei("17 0 36\n---\n5 6\n---\n1\n"), Listenvorgabe{k1Maerz, 0});
    EXPECT_EQ(bericht.grund, Listengrund::TageSchonVorhanden);
    sitzung.sprache = store::Sprache::Englisch;
    EXPECT_EQ(Liste_Meldung(k, bericht),
              "Number list: nothing included. All 3 day(s) of the list are included already.");
    EXPECT_EQ(permanenz(casino), "01.03.2012:17,0,36 02.03.2012:9,9 03.03.2012:1");
}

TEST_F(ListenimportTest, TheMenuChoosesTheFileAndReports) {
    const int casino = neuesCasino();
    waehle(casino, "T 02", k1Maerz);
    MenuItem_Liste_ImportierenClick(k, Listenvorgabe{k1Maerz, 2});  // cancelled
    EXPECT_TRUE(ui.informed.empty());

    ui.files.push_back(datei("1 2 3").string());
    MenuItem_Liste_ImportierenClick(k, Listenvorgabe{k1Maerz, 2});
    ASSERT_EQ(ui.informed.size(), 1u);
    EXPECT_EQ(ui.informed[0], "Zahlenliste: 2 Tag(e), 3 Coups aufgenommen!");
    EXPECT_EQ(permanenz(casino, "T 02"), "01.03.2012:1,2 02.03.2012:3");

    const auto fehlt = (dir.path() / "fehlt.csv").string();
    ui.files.push_back(fehlt);
    MenuItem_Liste_ImportierenClick(k, Listenvorgabe{k1Maerz, 2});
    ASSERT_EQ(ui.informed.size(), 2u);
    EXPECT_EQ(ui.informed[1], "Datei kann nicht gelesen werden: " + fehlt);
}

TEST_F(ListenimportTest, AFailingWriteStoresNoDayOfTheList) {
    spinalyst::testing::FaultVfs vfs;
    dm.close();
    dm.TdbDatabase_Roulette.setVfs(vfs.name());
    dm.open();
    const int casino = neuesCasino();
    waehle(casino, "T 01", k1Maerz);
    std::string inhalt;
    for (int tag = 1; tag <= 30; ++tag) {
        inhalt += Date::fromYmd(2012, 4, tag).iso();
        for (int i = 0; i < 200; ++i) {
            inhalt += "," + std::to_string((tag * 7 + i) % 37);
        }
        inhalt += "\n";
    }
    const auto pfad = datei(inhalt);
    vfs.failWrites(SQLITE_IOERR_WRITE, 2);
    EXPECT_THROW(Liste_Importieren(k, pfad, {}), store::StoreError);
    EXPECT_GT(vfs.failures(), 0);
    vfs.heal();
    EXPECT_EQ(permanenz(casino), "");
    EXPECT_EQ(tageszeilen(casino), "");
    EXPECT_FALSE(sitzung.massenschreiben);
    EXPECT_EQ(dm.TdbTable_Permanenz.master(), &dm.TdbTable_Wahl);

    const auto bericht = Liste_Importieren(k, pfad, {});
    EXPECT_EQ(bericht.tage, 30);
    EXPECT_EQ(bericht.coups, 6000);
    dm.close();  // before the VFS it goes through is gone
}

// Export a stretch of a generated month and import it into another casino: the same coups.
TEST_F(ListenimportTest, AnExportedStretchImportsIntoAnotherCasinoUnchanged) {
    const int zufall = neuesCasino("t", 50);
    waehle(zufall, "T 01", k1Maerz);
    Zufallsgenerator generator(20120301);
    ASSERT_EQ(Permanenz_Aufnehmen(k, generator, ImportAuftrag{}).tage, 31);
    const Permanenzstrecke strecke{zufall, "T 01", Date::fromYmd(2012, 3, 5),
                                   Date::fromYmd(2012, 3, 9)};
    const std::string erwartet = [&] {
        std::string s;
        const std::string alles = permanenz(zufall);
        // the days 05. to 09.03.2012 of the month
        const auto von = alles.find("05.03.2012:");
        const auto bis = alles.find(" 10.03.2012:");
        s = alles.substr(von, bis - von);
        return s;
    }();

    int ziel = neuesCasino();
    for (store::CsvSeparator trenner :
         {store::CsvSeparator::Comma, store::CsvSeparator::Semicolon}) {
        for (store::Sprache sprache : {store::Sprache::Deutsch, store::Sprache::Englisch}) {
            sitzung.sprache = sprache;
            std::ostringstream text;
            store::CsvWriter w(text, trenner);
            EXPECT_EQ(Permanenz_Exportieren(k, strecke, w), 250);
            waehle(ziel, "T 07", k1Maerz);
            const auto bericht = Liste_Importieren(k, datei(text.str()), {});
            EXPECT_EQ(bericht.tage, 5);
            EXPECT_EQ(bericht.coups, 250);
            EXPECT_EQ(permanenz(ziel, "T 07"), erwartet);
            EXPECT_EQ(tageszeilen(ziel, "T 07"),
                      "05.03.2012=50 06.03.2012=50 07.03.2012=50 08.03.2012=50 09.03.2012=50");
            ziel = neuesCasino();
        }
    }
    // A stretch without coups is refused.
    std::ostringstream leer;
    store::CsvWriter w(leer, store::CsvSeparator::Comma);
    EXPECT_THROW(Permanenz_Exportieren(k, {zufall, "T 02", std::nullopt, std::nullopt}, w),
                 kern::KeinErgebnis);
}

}  // namespace
}  // namespace spinalyst::capture
