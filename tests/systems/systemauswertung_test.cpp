#include "systems/systemauswertung.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <set>
#include <string>
#include <vector>

#include "capture/auswahl.h"
#include "kern/katalog.h"
#include "store/sqlite.h"
#include "systems/austausch.h"
#include "systems/systemlauf.h"
#include "systems/verlauf.h"
#include "tests/support/fault_injection.h"
#include "tests/support/systemdaten.h"
#include "tests/systems/system_fixture.h"

namespace spinalyst::systems {
namespace {

using spinalyst::testing::Tag_Schreiben;
using spinalyst::testing::Zwei_Ereignis_System;
using store::Date;
using store::Value;

// The evaluation run over coups and day rows written straight into the main database, with
// systems from documents. Coups are named by their position in `c` (oldest first), days by their
// distance from the chosen day D.
class SystemauswertungTest : public spinalyst::testing::SystemTest {
  protected:
    SystemauswertungTest() {
        casino = capture::BitBtn_NeuClick(k);
        capture::BitBtn_OKClick(k);
        katalog = kern::Ereigniskatalog::laden(dm);
    }

    static Date D() { return Date::fromYmd(2024, 3, 15); }

    void tag(int abstand, const std::vector<Value>& zahlen, bool tageszeile = true) {
        const auto ids = Tag_Schreiben(dm.TdbDatabase_Roulette, casino, "T 01",
                                       D().addDays(abstand), zahlen, tageszeile);
        c.insert(c.end(), ids.begin(), ids.end());
    }

    // The worked example: D-2 1 2 3 6 8 5, D-1 7 0 9 10, D 11 12 13.
    void dreiTage() {
        tag(-2, {Value(1), Value(2), Value(3), Value(6), Value(8), Value(5)});
        tag(-1, {Value(7), Value(0), Value(9), Value(10)});
        tag(0, {Value(11), Value(12), Value(13)});
    }

    // Selects the chosen day, the number of days and the run settings, as the main window does.
    void waehle(Date tag, int n, bool alle = false, bool uebergreifend = false) {
        sitzung.gewaehlter_tag = tag;
        capture::Casino_Tisch_DatumChange(k, capture::Ausloeser::Datumsauswahl);
        auto& w = dm.TdbTable_Wahl;
        w.setInteger("System_Tage_Anzahl", n);
        w.setText("System_Online_Alle", alle ? "t" : "f");
        w.setText("System_Online_Tage_uebergreifend", uebergreifend ? "t" : "f");
        w.post();
    }

    int system(const std::string& dokument) {
        const int id = System_Importieren(dm, dokument);
        auswaehlen(id);
        return id;
    }
    void auswaehlen(int id) {
        ASSERT_TRUE(dm.TdbTable_Systeme.locate("ID_System_AutoInc", {Value(id)}));
        DataSource_Tdb_SystemeDataChange(k);
    }

    Systemlauf auswerten() { return BitBtn_Berechnung_System_AuswertungClick(k, katalog); }

    std::string coup(std::int64_t idZahl) const {
        for (std::size_t i = 0; i < c.size(); ++i) {
            if (c[i] == idZahl) {
                return "c" + std::to_string(i);
            }
        }
        return "?" + std::to_string(idZahl);
    }
    static std::string text(const Value& v) { return v.isNull() ? "-" : v.toText(); }

    std::vector<std::vector<Value>> zeilen(const std::string& sql) {
        store::Statement s(dm.TdbDatabase_Roulette.connection(), sql);
        std::vector<std::vector<Value>> alle;
        while (s.step()) {
            std::vector<Value> z;
            for (int i = 0; i < s.columnCount(); ++i) {
                z.push_back(s.value(i));
            }
            alle.push_back(std::move(z));
        }
        return alle;
    }

    // The bets in table order: "coup:stake:result" (system and instance when asked for).
    std::string wetten(bool mitSystem = false) {
        std::string s;
        for (const auto& z :
             zeilen("SELECT Permanenz_ID_Zahl, ID_System, ID_Instanz, ID_Ereignis, "
                    "Satz, Gewinn_Verlust FROM Systeme_Abarbeitung ORDER BY rowid")) {
            s += (s.empty() ? "" : " ") + coup(z[0].toInt64()) + ":" +
                 (mitSystem ? text(z[1]) + ":" + text(z[2]) + ":" : "") + text(z[4]) + ":" +
                 text(z[5]);
        }
        return s;
    }
    // The coups with a stake or result: "coup=stake/running".
    std::string buchungen() {
        std::string s;
        for (const auto& z : zeilen("SELECT ID_Zahl, Angriff_Satz, Gewinn_Verlust FROM Permanenz "
                                    "WHERE Angriff_Satz IS NOT NULL OR Gewinn_Verlust IS NOT NULL "
                                    "ORDER BY Datum, ID_Zahl")) {
            s +=
                (s.empty() ? "" : " ") + coup(z[0].toInt64()) + "=" + text(z[1]) + "/" + text(z[2]);
        }
        return s;
    }
    // Every day row: "distance=win/max/min/bets".
    std::string tage() {
        std::string s;
        for (const auto& z : zeilen("SELECT Datum, Gewinn_Verlust, Gewinn_Maximal, "
                                    "Verlust_Maximal, Angriffe FROM Permanenz_Tag_Zusammenfassung "
                                    "ORDER BY Datum")) {
            const int abstand = Date::parse(z[0].toText())->days() - D().days();
            s += (s.empty() ? "" : " ") + std::to_string(abstand) + "=" + text(z[1]) + "/" +
                 text(z[2]) + "/" + text(z[3]) + "/" + text(z[4]);
        }
        return s;
    }
    // The totals row: "days win/max/min coups bets".
    std::string gesamt() {
        const auto z = zeilen(
            "SELECT Tage, Gewinn_Verlust, Gewinn_Maximal, Verlust_Maximal, "
            "Coups_Anzahl, Angriffe FROM Permanenz_Tag_Zusammenfassung_G");
        if (z.size() != 1) {
            return std::to_string(z.size()) + " rows";
        }
        return text(z[0][0]) + " " + text(z[0][1]) + "/" + text(z[0][2]) + "/" + text(z[0][3]) +
               " " + text(z[0][4]) + " " + text(z[0][5]);
    }
    // The summary rows: "system from..to casino days positive win/max/min coups bets".
    std::string ueberblick() {
        std::string s;
        for (const auto& z :
             zeilen("SELECT ID_System, Datum_von, Datum_bis, Casino_Name, Tage, Tage_positiv, "
                    "Gewinn_Verlust, Gewinn_Maximal, Verlust_Maximal, Coups_Anzahl, Angriffe FROM "
                    "Systeme_Auswertungen_Ueberblick ORDER BY rowid")) {
            const auto abstand = [&](const Value& v) {
                return std::to_string(Date::parse(v.toText())->days() - D().days());
            };
            s += std::string(s.empty() ? "" : " | ") + text(z[0]) + " " + abstand(z[1]) + ".." +
                 abstand(z[2]) + " " + text(z[3]) + " " + text(z[4]) + " " + text(z[5]) + " " +
                 text(z[6]) + "/" + text(z[7]) + "/" + text(z[8]) + " " + text(z[9]) + " " +
                 text(z[10]);
        }
        return s;
    }
    // The run state of a system: "step i1 i2 i3".
    std::string zustand(int id) {
        const auto z = zeilen(
            "SELECT Systemangriff, Systemangriff_Instanz_1, "
            "Systemangriff_Instanz_2, Systemangriff_Instanz_3 FROM Systeme "
            "WHERE ID_System_AutoInc = " +
            std::to_string(id));
        return text(z.at(0)[0]) + " " + text(z[0][1]) + text(z[0][2]) + text(z[0][3]);
    }
    // The day totals of `Wahl`.
    std::string tagessummen() {
        const auto z = zeilen(
            "SELECT Tag_Gewinn_Verlust, Tag_Gewinn_Maximal, "
            "Tag_Verlust_Maximal, Tag_Angriffe FROM Wahl");
        return text(z.at(0)[0]) + "/" + text(z[0][1]) + "/" + text(z[0][2]) + "/" + text(z[0][3]);
    }

    int casino = 0;
    kern::Ereigniskatalog katalog;
    std::vector<std::int64_t> c;
};

// The worked example's results with n = 3 (D-3 has no coups, so the walk starts on D-2).
constexpr const char* kWetten = "c1:1:1 c3:1:1 c7:1:-1 c8:2:-2 c9:4:4 c12:1:1";
constexpr const char* kBuchungen = "c1=1/1 c3=1/2 c7=1/-1 c8=2/-3 c9=4/1 c12=1/1";

TEST_F(SystemauswertungTest, ATwoEventSystemOverThreeDays) {
    dreiTage();
    const int s = system(Zwei_Ereignis_System());
    waehle(D(), 3);
    const Systemlauf lauf = auswerten();
    ASSERT_TRUE(lauf.gelaufen);
    EXPECT_FALSE(lauf.auswertung.fehler);
    EXPECT_FALSE(lauf.auswertung.abgebrochen);
    EXPECT_EQ(lauf.auswertung.coups, 13u);
    EXPECT_EQ(lauf.auswertung.systeme, std::vector<std::int64_t>{s});
    EXPECT_TRUE(ui.asked.empty());
    EXPECT_TRUE(ui.informed.empty());
    EXPECT_FALSE(ui.busy);
    EXPECT_FALSE(sitzung.massenschreiben);

    // Red then black wins twice on D-2; the red at its end starts nothing on D-1 (no days
    // overlapping); on D-1 black misses on 0 and 9 and wins step 3 on 10; on D the last coup is
    // settled at the end.
    EXPECT_EQ(wetten(), kWetten);
    EXPECT_EQ(buchungen(), kBuchungen);
    EXPECT_EQ(tage(), "-2=2/2/0/2 -1=1/1/-3/3 0=1/1/0/1");
    EXPECT_EQ(gesamt(), "3 4/2/-3 13 6");
    EXPECT_EQ(ueberblick(), std::to_string(s) + " -2..0 Casino 3 3 4/2/-3 13 6");
    EXPECT_EQ(zustand(s), "0 fff");
    EXPECT_EQ(tagessummen(), "1/1/0/1");
    // The selected system stays current with its instance 1.
    EXPECT_EQ(dm.TdbTable_Systeme.value("ID_System_AutoInc").toInt(), s);
    EXPECT_EQ(dm.TdbTable_Wahl.integer("ID_Instanz"), 1);
}

// n = 0: the chosen day alone, no result day. n = 3 with coups on D-3: that day is evaluated
// (its bet on 2 wins, settled on the first coup of D-2) but gets no day result.
TEST_F(SystemauswertungTest, TheNumberOfDaysChoosesTheEvaluatedAndTheResultDays) {
    tag(-3, {Value(1), Value(2)});
    dreiTage();
    const int s = system(Zwei_Ereignis_System());
    const struct {
        int n;
        const char* wetten;
        const char* tage;
        const char* gesamt;
        const char* ueberblick;
    } faelle[] = {
        {0, "c14:1:1", "-3=-/-/-/- -2=-/-/-/- -1=-/-/-/- 0=-/-/-/-", "0 -/-/- 0 -",
         " 1..0 Casino 0 0 -/-/- 0 -"},
        {3, "c1:1:1 c3:1:1 c5:1:1 c9:1:-1 c10:2:-2 c11:4:4 c14:1:1",
         "-3=-/-/-/- -2=2/2/0/2 -1=1/1/-3/3 0=1/1/0/1", "3 4/2/-3 13 6",
         " -2..0 Casino 3 3 4/2/-3 13 6"},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.n);
        waehle(D(), f.n);
        ASSERT_TRUE(auswerten().gelaufen);
        EXPECT_EQ(wetten(), f.wetten);
        EXPECT_EQ(tage(), f.tage);
        EXPECT_EQ(gesamt(), f.gesamt);
        // The latest summary row is the one of this evaluation.
        const std::string u = ueberblick();
        EXPECT_TRUE(u.ends_with(std::to_string(s) + f.ueberblick)) << u;
    }
}

TEST_F(SystemauswertungTest, TheSameEvaluationUpdatesItsSummaryRowAnotherAppendsOne) {
    dreiTage();
    const int s = system(Zwei_Ereignis_System());
    const std::string id = std::to_string(s);
    waehle(D(), 3);
    ASSERT_TRUE(auswerten().gelaufen);
    // A further red coup on D changes nothing; after it black is bet and misses on red 16.
    tag(0, {Value(14)}, false);
    ASSERT_TRUE(auswerten().gelaufen);
    EXPECT_EQ(ueberblick(), id + " -2..0 Casino 3 3 4/2/-3 13 6");
    tag(0, {Value(16)}, false);
    ASSERT_TRUE(auswerten().gelaufen);
    EXPECT_EQ(wetten(), std::string(kWetten) + " c14:1:-1");
    EXPECT_EQ(ueberblick(), id + " -2..0 Casino 3 2 3/2/-3 13 7");
    waehle(D(), 2);
    ASSERT_TRUE(auswerten().gelaufen);
    waehle(D().addDays(-1), 2);
    ASSERT_TRUE(auswerten().gelaufen);
    EXPECT_EQ(ueberblick(), id + " -2..0 Casino 3 2 3/2/-3 13 7 | " + id +
                                " -1..0 Casino 2 1 1/1/-3 7 5 | " + id +
                                " -2..-1 Casino 2 2 3/2/-3 10 5");
}

TEST_F(SystemauswertungTest, ModeAllRefusesMoreThanSevenMarkedSystems) {
    dreiTage();
    std::vector<int> markiert;
    for (int i = 0; i < 8; ++i) {
        markiert.push_back(System_Importieren(dm, Zwei_Ereignis_System(1, 2, {1}, "E", "x")));
    }
    // Marked in another chance class: neither counted nor run.
    System_Importieren(dm, R"({"ID_System_Art": 1, "ID_System_Chancen": 2,
                              "System_Online_Aktiv": "x"})");
    System_Art_Chancen_Waehlen(k, 1, 1);
    const int gewaehlt = system(Zwei_Ereignis_System());
    waehle(D(), 3, true);
    // The results of an evaluation in mode "E" are cleared before the refusal.
    auto& w = dm.TdbTable_Wahl;
    w.edit();
    w.setText("System_Online_Alle", "f");
    w.post();
    ASSERT_TRUE(auswerten().gelaufen);
    w.edit();
    w.setText("System_Online_Alle", "t");
    w.post();

    const Systemlauf abgelehnt = auswerten();
    EXPECT_FALSE(abgelehnt.gelaufen);
    EXPECT_EQ(ui.informed, std::vector<std::string>{"Mehr als 7 aktive Systeme!"});
    EXPECT_EQ(tage(), "-2=-/-/-/- -1=-/-/-/- 0=-/-/-/-");
    EXPECT_EQ(dm.TdbTable_Systeme.value("ID_System_AutoInc").toInt(), gewaehlt);

    auswaehlen(markiert.back());
    dm.TdbTable_Systeme.edit();
    dm.TdbTable_Systeme.setText("System_Online_Aktiv", "");
    Systeme_Posten(dm.TdbTable_Systeme);
    auswaehlen(gewaehlt);
    ui.informed.clear();
    const std::size_t ueberblickVorher = ueberblick().size();
    const Systemlauf lauf = auswerten();
    ASSERT_TRUE(lauf.gelaufen);
    EXPECT_TRUE(ui.informed.empty());
    // The seven marked in the order of their numbers, then the selected one.
    std::vector<std::int64_t> erwartet(markiert.begin(), markiert.end() - 1);
    erwartet.push_back(gewaehlt);
    EXPECT_EQ(lauf.auswertung.systeme, erwartet);
    // No summary in mode "A".
    EXPECT_EQ(ueberblick().size(), ueberblickVorher);
    std::set<std::string> gewettet;
    for (const auto& z : zeilen("SELECT DISTINCT ID_System FROM Systeme_Abarbeitung")) {
        gewettet.insert(z[0].toText());
    }
    EXPECT_EQ(gewettet.size(), 8u);
}

TEST_F(SystemauswertungTest, NoToTheCheckQuestionRunsNothing) {
    dreiTage();
    system(Zwei_Ereignis_System());
    waehle(D(), 3);
    ASSERT_TRUE(auswerten().gelaufen);
    const std::string vorher = wetten() + buchungen() + tage() + gesamt() + ueberblick();
    // Falling stakes: the check finds a problem.
    system(Zwei_Ereignis_System(1, 2, {4, 2}));
    ui.answers = {false};
    const Systemlauf lauf = auswerten();
    EXPECT_FALSE(lauf.gelaufen);
    EXPECT_EQ(ui.asked, std::vector<std::string>{"Angriffsereignisse, Systemeinsätze möglichweise "
                                                 "fehlerhaft!\nTrotzdem berechnen?"});
    EXPECT_EQ(wetten() + buchungen() + tage() + gesamt() + ueberblick(), vorher);
    // Yes runs it.
    ui.answers = {true};
    EXPECT_TRUE(auswerten().gelaufen);
    EXPECT_NE(wetten(), std::string(kWetten));
}

TEST_F(SystemauswertungTest, EscapeKeepsWhatWasComputedAndClosesTheDayInProgress) {
    dreiTage();
    const int s = system(Zwei_Ereignis_System());
    waehle(D(), 3);
    // The walk is cancelled after coup c7 (0): its bet is settled in the final settlement.
    ui.escapeAfter = 7;
    const Systemlauf lauf = auswerten();
    ASSERT_TRUE(lauf.gelaufen);
    EXPECT_TRUE(lauf.auswertung.abgebrochen);
    EXPECT_EQ(lauf.auswertung.coups, 8u);
    EXPECT_EQ(ui.informed, std::vector<std::string>{"Berechnung abgebrochen!"});
    EXPECT_EQ(wetten(), "c1:1:1 c3:1:1 c7:1:-1");
    EXPECT_EQ(buchungen(), "c1=1/1 c3=1/2 c7=1/-1");
    EXPECT_EQ(tage(), "-2=2/2/0/2 -1=-1/0/-1/1 0=-/-/-/-");
    EXPECT_EQ(zustand(s), "2 tff");
    // The summary of a cancelled run is stored, from what was evaluated.
    EXPECT_EQ(ueberblick(), std::to_string(s) + " -2..0 Casino 3 1 1/2/-1 13 3");
}

TEST_F(SystemauswertungTest, AStretchWithoutCoupsWritesNothing) {
    tag(-5, {Value(1), Value(2)});
    const int s = system(Zwei_Ereignis_System());
    waehle(D(), 3);
    const Systemlauf lauf = auswerten();
    ASSERT_TRUE(lauf.gelaufen);
    EXPECT_EQ(lauf.auswertung.coups, 0u);
    EXPECT_FALSE(lauf.auswertung.fehler);
    EXPECT_EQ(wetten(), "");
    EXPECT_EQ(buchungen(), "");
    EXPECT_EQ(tage(), "-5=-/-/-/-");
    EXPECT_EQ(gesamt(), "0 -/-/- 0 -");
    EXPECT_EQ(zustand(s), "0 fff");
}

// A run over a whole stretch whose last coup is the coup about to be played: its bet is placed and
// booked, not settled; its stake shows what to place.
TEST_F(SystemauswertungTest, TheCoupAboutToBePlayedIsBookedWithItsUnsettledBet) {
    tag(-1, {Value(1), Value(2)});
    tag(0, {Value(3), Value(4), Value(5), Value()});
    const int s = system(Zwei_Ereignis_System());
    waehle(D(), 2);
    ASSERT_TRUE(auswerten().gelaufen);
    EXPECT_EQ(wetten(), "c1:1:1 c3:1:1 c5:1:-");
    EXPECT_EQ(buchungen(), "c1=1/1 c3=1/1 c5=1/1");
    EXPECT_EQ(tage(), "-1=1/1/0/1 0=1/1/0/2");
    EXPECT_EQ(zustand(s), "1 ttt");
}

// A second system evaluated after the first leaves no coup showing the first one's stakes.
TEST_F(SystemauswertungTest, AnotherSystemLeavesNoStakesOfTheEarlierOne) {
    dreiTage();
    system(Zwei_Ereignis_System());
    waehle(D(), 3);
    ASSERT_TRUE(auswerten().gelaufen);
    ASSERT_EQ(buchungen(), kBuchungen);
    // After black bet red, one step.
    system(Zwei_Ereignis_System(2, 1, {1}));
    ASSERT_TRUE(auswerten().gelaufen);
    EXPECT_EQ(wetten(), "c2:1:1 c4:1:-1 c5:1:1 c11:1:1");
    EXPECT_EQ(buchungen(), "c2=1/1 c4=1/0 c5=1/1 c11=1/1");
    EXPECT_EQ(tage(), "-2=1/1/0/3 -1=0/0/0/0 0=1/1/0/1");
}

// Online play: the chosen day alone, then one step per entered number, continuing from the
// stored bets, day totals and run state.
TEST_F(SystemauswertungTest, AnOnlineStepContinuesFromTheStoredBetsAndDayTotals) {
    tag(-1, {Value(1), Value(2)});
    tag(0, {Value(1), Value()});
    const int s = system(Zwei_Ereignis_System());
    waehle(D(), 1);
    Laufparameter p;
    p.system = s;
    p.nurGewaehlterTag = true;
    Systeme_Vorbereiten(k, false);
    Systemauswertung a = Systemauswertung_Berechnen(k, katalog, p);
    ASSERT_FALSE(a.fehler);
    // The bet on the coup about to be played stays unsettled; no day result.
    EXPECT_EQ(wetten(), "c3:1:-");
    EXPECT_EQ(buchungen(), "c3=1/0");
    EXPECT_EQ(tagessummen(), "0/0/0/1");
    EXPECT_EQ(zustand(s), "1 ttt");

    // The number 2 is entered (black wins) and the next coup appended; the step settles it.
    const auto weiter = [&](int zahl) {
        store::Statement z(dm.TdbDatabase_Roulette.connection(),
                           "UPDATE Permanenz SET Zahl = ? WHERE ID_Zahl = ?");
        z.bind(1, std::int64_t{zahl});
        z.bind(2, c.back());
        z.run();
        tag(0, {Value()}, false);
        p.nurLetzterCoup = true;
        return Systemauswertung_Berechnen(k, katalog, p);
    };
    a = weiter(2);
    ASSERT_FALSE(a.fehler);
    EXPECT_EQ(a.coups, 1u);
    EXPECT_EQ(wetten(), "c3:1:1");
    EXPECT_EQ(buchungen(), "c3=1/1");
    // The coup is counted a second time when booked with its result.
    EXPECT_EQ(tagessummen(), "1/1/0/2");
    EXPECT_EQ(zustand(s), "0 fff");
    // Red: the next step starts an attack and bets on the coup about to be played.
    a = weiter(3);
    ASSERT_FALSE(a.fehler);
    EXPECT_EQ(wetten(), "c3:1:1 c5:1:-");
    EXPECT_EQ(buchungen(), "c3=1/1 c5=1/1");
    EXPECT_EQ(tagessummen(), "1/1/0/3");
    EXPECT_EQ(zustand(s), "1 ttt");
    EXPECT_EQ(tage(), "-1=-/-/-/- 0=-/-/-/-");
}

// A store error part-way through the engine's run ends it quietly: what was committed stays, the
// file is intact, the bets are those of the earlier evaluation or of the whole run, never a part.
TEST_F(SystemauswertungTest, AStoreErrorEndsTheRunQuietlyWithTheFileIntact) {
    spinalyst::testing::FaultVfs vfs;
    dm.close();
    dm.TdbDatabase_Roulette.setVfs(vfs.name());
    dm.open();
    dreiTage();
    const int s = system(Zwei_Ereignis_System());
    const std::string neu = "c7:1:-1 c8:2:-2 c9:4:4 c12:1:1";
    Laufparameter p;
    p.system = s;
    std::set<std::string> ausgaenge;
    for (const int schreibenVorher : {0, 1, 2, 4, 8, 16, 64}) {
        SCOPED_TRACE(schreibenVorher);
        // The earlier evaluation over three days, then one result day: the walk starts on D-1.
        waehle(D(), 3);
        ASSERT_TRUE(auswerten().gelaufen);
        ASSERT_EQ(wetten(), kWetten);
        auto& w = dm.TdbTable_Wahl;
        w.edit();
        w.setInteger("System_Tage_Anzahl", 1);
        DBEdit_Tage_SystemChange(k);
        Systeme_Vorbereiten(k, false);

        const int vorher = vfs.failures();
        vfs.failWrites(SQLITE_FULL, schreibenVorher);
        Systemauswertung a;
        EXPECT_NO_THROW(a = Systemauswertung_Berechnen(k, katalog, p));
        vfs.heal();
        EXPECT_TRUE(ui.informed.empty());
        EXPECT_FALSE(sitzung.massenschreiben);
        EXPECT_EQ(zeilen("PRAGMA integrity_check").at(0).at(0).toText(), "ok");
        const std::string jetzt = wetten();
        EXPECT_TRUE(jetzt == kWetten || jetzt == neu) << jetzt;
        if (jetzt == kWetten) {
            // The engine's write failed and says why.
            ASSERT_TRUE(a.fehler);
            EXPECT_NE(a.fehler->find("database or disk is full"), std::string::npos) << *a.fehler;
            EXPECT_EQ(zustand(s), "0 fff");
            ausgaenge.insert("alt");
        } else {
            EXPECT_EQ(tage(), "-2=2/2/0/2 -1=1/1/-3/3 0=1/1/0/1");
            ausgaenge.insert(vfs.failures() > vorher ? "neu, Fehler danach" : "neu");
        }
    }
    // The faults met the engine's write and what comes after it.
    EXPECT_TRUE(ausgaenge.contains("alt"));
    EXPECT_TRUE(ausgaenge.contains("neu, Fehler danach"));
    // Healed, the evaluation runs wholly.
    ASSERT_TRUE(auswerten().gelaufen);
    EXPECT_EQ(wetten(), neu);
    dm.close();  // before the VFS it goes through is gone
}

// The chart's course read back from what the worked example stored: a point for every coup of
// the result days, the running total ending at the totals row's result, the day results of the
// day rows, and the drawdown from +2 (after c3) to -1 (after c8).
TEST_F(SystemauswertungTest, TheStoredEvaluationReadsBackAsItsCourse) {
    dreiTage();
    const int s = system(Zwei_Ereignis_System());
    waehle(D(), 3);
    const Systemlauf lauf = auswerten();
    ASSERT_TRUE(lauf.gelaufen);

    Verlaufsauswahl a;
    a.casino = casino;
    a.tisch = "T 01";
    a.von = D().addDays(-2);
    a.bis = D();
    a.systeme = lauf.auswertung.systeme;
    a.proSystem = true;
    const Verlauf v = Verlauf_Laden(dm.TdbDatabase_Roulette, a);
    std::string stand;
    for (const Verlaufspunkt& p : v.punkte) {
        stand += (stand.empty() ? "" : " ") + std::to_string(p.stand);
    }
    EXPECT_EQ(stand, "0 1 1 2 2 2 2 1 -1 3 3 3 4");
    ASSERT_EQ(v.tage.size(), 3u);
    EXPECT_EQ(v.tage[0].ergebnis, 2);
    EXPECT_EQ(v.tage[1].ergebnis, 1);
    EXPECT_EQ(v.tage[2].ergebnis, 1);
    EXPECT_EQ(v.punkte[8].satz, 2);
    EXPECT_EQ(v.punkte[8].zahl, 9);
    ASSERT_TRUE(v.einbruch);
    EXPECT_EQ(v.einbruch->von, 4u);
    EXPECT_EQ(v.einbruch->bis, 9u);
    EXPECT_EQ(v.einbruch->tiefe, 3);
    ASSERT_EQ(v.systeme.size(), 1u);
    EXPECT_EQ(v.systeme[0].system, s);
    EXPECT_EQ(v.systeme[0].stand.back(), 4);
}

}  // namespace
}  // namespace spinalyst::systems
