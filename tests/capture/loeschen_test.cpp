#include "capture/loeschen.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "capture/auswahl.h"
#include "tests/support/kontext_fixture.h"

namespace spinalyst::capture {
namespace {

using store::Date;
using store::Value;

// Two casinos with coups and day rows on gaming tables "T 01" and "T 02" from the 30th of
// January to the 2nd of March 2012; casino A, "T 01" is selected.
class LoeschenTest : public testing::KontextTest {
  protected:
    LoeschenTest() {
        a = neuesCasino("Bank A");
        b = neuesCasino("Bank B");
        store::TableCursor p("p", dm.TdbDatabase_Roulette, "Permanenz");
        store::TableCursor t("t", dm.TdbDatabase_Roulette, "Permanenz_Tag_Zusammenfassung");
        p.open();
        t.open();
        for (int casino : {a, b}) {
            for (const char* tisch : {"T 01", "T 02"}) {
                for (Date d = kVon; d <= kBis; d = d.addDays(1)) {
                    for (int zahl : {d.day(), 36}) {
                        p.appendRecord(
                            {Value(casino), Value(tisch), Value(d), Value(), Value(zahl)});
                    }
                    t.appendRecord({Value(casino), Value(tisch), Value(d), Value(), Value(1),
                                    Value(2), Value(-1), Value(2), Value(1)});
                }
            }
        }
        waehle(a, Date::fromYmd(2012, 2, 15));
        Tisch_Datum_Aktualisieren(k);
    }

    int neuesCasino(const char* name) {
        Casino_Fenster_Zeigen(k);
        const int id = BitBtn_NeuClick(k);
        dm.TdbTable_Casino.setText("Casino_Name", name);
        BitBtn_OKClick(k);
        return id;
    }

    void waehle(int casino, Date tag) {
        auto& w = dm.TdbTable_Wahl;
        w.edit();
        w.setInteger("ID_Casino", casino);
        w.setText("Tisch", "T 01");
        sitzung.gewaehlter_tag = tag;
        Casino_Tisch_DatumChange(k, Ausloeser::Datumsauswahl);
    }

    // The days of a casino and gaming table that have rows in a table, as runs of days:
    // "30.01-14.02,16.02-02.03".
    std::string tage(const char* tabelle, int casino, const char* tisch) {
        store::QueryCursor q("q", dm.TdbDatabase_Roulette);
        q.setSql(std::string("SELECT DISTINCT Datum FROM ") + tabelle +
                     " WHERE ID_Casino = ? AND Tisch = ? ORDER BY Datum",
                 {Value(casino), Value(tisch)});
        q.open();
        std::string s;
        Date anfang;
        Date vorher;
        bool offen = false;
        auto abschluss = [&] {
            if (offen) {
                s += (s.empty() ? "" : ",") + anfang.german().substr(0, 5) + "-" +
                     vorher.german().substr(0, 5);
            }
        };
        for (q.first(); !q.eof(); q.next()) {
            const Date d = q.date("Datum");
            if (!offen || d != vorher.addDays(1)) {
                abschluss();
                anfang = d;
                offen = true;
            }
            vorher = d;
        }
        abschluss();
        return s;
    }
    // The days with coups, then the days with a day row.
    std::string permanenz(int casino, const char* tisch = "T 01") {
        return tage("Permanenz", casino, tisch) + " / " +
               tage("Permanenz_Tag_Zusammenfassung", casino, tisch);
    }

    // The stretch of casino A, "T 01": "dd.mm.yyyy-dd.mm.yyyy n", or "- -" when empty.
    std::string strecke() {
        auto& s = dm.TdbTable_Casino_Tisch_Datum;
        s.setMasterLink(nullptr, {});
        const bool da = s.locate("ID_Casino;Tisch", {Value(a), Value("T 01")});
        std::string text = !da ? "none"
                           : s.isNull("Tage")
                               ? "- -"
                               : s.date("Datum_von").german() + "-" + s.date("Datum_bis").german() +
                                     " " + s.text("Tage");
        s.setMasterLink(&dm.TdbTable_Casino, {{"ID_Casino_AutoInc", "ID_Casino"}});
        return text;
    }

    void verstellen() {
        auto& w = dm.TdbTable_Wahl;
        w.edit();
        w.setInteger("System_Tage_Anzahl", 3);
        w.post();
        auto& bets = dm.TdbTable_Systeme_Abarbeitung;
        bets.clearMasterLink();
        bets.appendRecord({Value(1), Value(1), Value(1), Value(1)});
        bets.setMasterLink(&dm.TdbTable_Permanenz, {{"ID_Zahl", "Permanenz_ID_Zahl"}});
    }

    const Date kVon = Date::fromYmd(2012, 1, 30);
    const Date kBis = Date::fromYmd(2012, 3, 2);
    int a = 0;
    int b = 0;
    const std::string kUnberuehrt = "30.01-02.03 / 30.01-02.03";
};

TEST_F(LoeschenTest, ADayGoesWithItsDayRowAndNothingElse) {
    verstellen();
    MenuItem_Permanenzen_Loeschen_TagClick(k);
    EXPECT_EQ(ui.asked, std::vector<std::string>{"Permanenzen Bank A, T 01, 15.02.2012 löschen?"});
    EXPECT_EQ(ui.informed, std::vector<std::string>{"Permanenz(en) gelöscht!"});
    EXPECT_EQ(permanenz(a), "30.01-14.02,16.02-02.03 / 30.01-14.02,16.02-02.03");
    EXPECT_EQ(permanenz(a, "T 02"), kUnberuehrt);
    EXPECT_EQ(permanenz(b), kUnberuehrt);
    EXPECT_EQ(permanenz(b, "T 02"), kUnberuehrt);
    EXPECT_EQ(strecke(), "30.01.2012-02.03.2012 32");
    // The selection change ran: settings reset, bets emptied, the cursors show the empty day.
    EXPECT_EQ(dm.TdbTable_Wahl.integer("System_Tage_Anzahl"), 10);
    EXPECT_EQ(dm.TdbDatabase_Roulette.rowCount("Systeme_Abarbeitung"), 0);
    EXPECT_TRUE(dm.TdbTable_Permanenz.isEmpty());
    EXPECT_EQ(dm.TdbTable_Permanenz_Tag_Zusammenfassung.recordCount(), 9);
    EXPECT_FALSE(ui.busy);

    // A day without coups is asked and reported all the same; other tables' days stay.
    ui.asked.clear();
    ui.informed.clear();
    MenuItem_Permanenzen_Loeschen_TagClick(k);
    EXPECT_EQ(ui.asked.size(), 1u);
    EXPECT_EQ(ui.informed, std::vector<std::string>{"Permanenz(en) gelöscht!"});
    EXPECT_EQ(dm.TdbDatabase_Roulette.rowCount("Permanenz"), 4 * 33 * 2 - 2);
}

TEST_F(LoeschenTest, TheStretchFollowsToTheLastRemainingDay) {
    const struct {
        Date tag;
        const char* strecke;
    } schritte[] = {
        {kVon, "31.01.2012-02.03.2012 32"},
        {kBis, "31.01.2012-01.03.2012 31"},
    };
    for (const auto& s : schritte) {
        waehle(a, s.tag);
        MenuItem_Permanenzen_Loeschen_TagClick(k);
        EXPECT_EQ(strecke(), s.strecke);
    }
    for (int monat : {1, 2, 3}) {
        waehle(a, Date::fromYmd(2012, monat, 1));
        MenuItem_Permanenzen_Loeschen_MonatClick(k);
    }
    EXPECT_EQ(strecke(), "- -");
    EXPECT_EQ(permanenz(a), " / ");
    EXPECT_EQ(permanenz(b), kUnberuehrt);
}

TEST_F(LoeschenTest, AMonthGoesFromTheFirstToItsLastDay) {
    verstellen();
    MenuItem_Permanenzen_Loeschen_MonatClick(k);
    EXPECT_EQ(ui.asked,
              std::vector<std::string>{"Permanenzen Bank A, T 01, Monat 02/2012 löschen?"});
    EXPECT_EQ(ui.informed, std::vector<std::string>{"Permanenz(en) gelöscht!"});
    EXPECT_EQ(permanenz(a), "30.01-31.01,01.03-02.03 / 30.01-31.01,01.03-02.03");
    EXPECT_EQ(permanenz(a, "T 02"), kUnberuehrt);
    EXPECT_EQ(permanenz(b), kUnberuehrt);
    EXPECT_EQ(strecke(), "30.01.2012-02.03.2012 4");
    EXPECT_EQ(dm.TdbTable_Wahl.integer("System_Tage_Anzahl"), 10);
    EXPECT_EQ(dm.TdbDatabase_Roulette.rowCount("Systeme_Abarbeitung"), 0);
}

TEST_F(LoeschenTest, NoKeepsEverythingAndTheTextsFollowTheLanguage) {
    sitzung.sprache = store::Sprache::Englisch;
    ui.answers = {false, false, true};
    MenuItem_Permanenzen_Loeschen_TagClick(k);
    MenuItem_Permanenzen_Loeschen_MonatClick(k);
    EXPECT_EQ(ui.asked, (std::vector<std::string>{
                            "Permanences Bank A, T 01, 15.02.2012 delete?",
                            "Permanences Bank A, T 01, Month 02/2012 delete?",
                        }));
    EXPECT_EQ(ui.askedDeletion, ui.asked);  // asked with No as the default
    EXPECT_TRUE(ui.informed.empty());
    EXPECT_EQ(permanenz(a), kUnberuehrt);
    MenuItem_Permanenzen_Loeschen_TagClick(k);
    EXPECT_EQ(ui.informed, std::vector<std::string>{"Permanence(s) deleted!"});
}

// An error ends the deletion with its message; statements run before it stay done, and the
// stretch update and the selection change do not run.
TEST_F(LoeschenTest, AnErrorStopsWithItsMessageAndKeepsWhatRan) {
    dm.TdbDatabase_Roulette.connection().exec(
        "CREATE TEMP TRIGGER kaputt BEFORE DELETE ON main.Permanenz_Tag_Zusammenfassung "
        "WHEN OLD.Datum = '2012-02-03' BEGIN SELECT RAISE(ABORT, 'kaputt'); END");
    verstellen();
    for (auto sprache : {store::Sprache::Deutsch, store::Sprache::Englisch}) {
        sitzung.sprache = sprache;
        ui.informed.clear();
        MenuItem_Permanenzen_Loeschen_MonatClick(k);
        EXPECT_EQ(ui.informed,
                  std::vector<std::string>{sitzung.text("Fehler beim Löschen der Permanenz(en)!",
                                                        "Error deleting the permanence!")});
        EXPECT_FALSE(ui.busy);
    }
    EXPECT_EQ(permanenz(a), "30.01-31.01,04.02-02.03 / 30.01-31.01,03.02-02.03");
    EXPECT_EQ(strecke(), "30.01.2012-02.03.2012 33");
    EXPECT_EQ(dm.TdbTable_Wahl.integer("System_Tage_Anzahl"), 3);
}

}  // namespace
}  // namespace spinalyst::capture
