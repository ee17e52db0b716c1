#include "events/auswertung.h"
#include "events/ereignisse.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/events/permanenz_fixture.h"

namespace spinalyst::events {
namespace {

using store::Date;
using store::Value;
using testing::PermanenzTest;
using testing::plein;

constexpr const char* kSerien = "Ereignisse_Serien";
constexpr const char* kRst = "Ereignisse_Rueckstaendigkeit";

TEST(ProzentText, OneDecimalHalvesUpWithTheGivenSeparator) {
    const struct {
        long long anzahl, gesamt;
        const char* trenner;
        const char* text;
    } faelle[] = {
        {1, 3, ",", "33,3%"},    {2, 3, ",", "66,7%"},          {0, 5, ",", "0,0%"},
        {5, 5, ".", "100.0%"},   {1, 8, ".", "12.5%"},          {1, 16, ".", "6.3%"},  // 6.25
        {1, 400, ",", "0,3%"},                                                         // 0.25
        {3, 400, ",", "0,8%"},                                                         // 0.75
        {1, 12400, ".", "0.0%"}, {12399, 12400, ".", "100.0%"}, {1, 7, "\u066B", "14\u066B3%"},
    };
    for (const auto& f : faelle) {
        EXPECT_EQ(Prozent_Text(f.anzahl, f.gesamt, f.trenner), f.text)
            << f.anzahl << "/" << f.gesamt;
    }
}

// The edge cases of the counting, each a day (or two) of numbers given newest first, for one
// event, as the result tables hold them after the run.
TEST_F(PermanenzTest, SeriesAndAbsencesOfSmallStretches) {
    const Date gestern = heute().addDays(-1);
    const struct {
        const char* was;
        std::vector<int> heute, gestern;  // newest first
        char modus;
        int tage;
        bool uebergreifend;
        int ereignis;
        const char* serien;
        const char* rueckstaende;
    } faelle[] = {
        {"5 5 7: one series of 2", {5, 5, 7}, {}, 'S', 1, false, plein(5), "2:1", ""},
        {"7 5 7 7 5 5: absences 2 and 0, not the leading miss",
         {7, 5, 7, 7, 5, 5},
         {},
         'R',
         1,
         false,
         plein(5),
         "",
         "0:1 2:1"},
        {"mode A counts both",
         {7, 5, 7, 7, 5, 5},
         {},
         'A',
         1,
         false,
         plein(5),
         "1:1 2:1",
         "0:1 2:1"},
        {"mode H counts neither", {7, 5, 7, 7, 5, 5}, {}, 'H', 1, false, plein(5), "", ""},
        {"a series over the day boundary is two",
         {7, 5},
         {5, 7},
         'S',
         2,
         false,
         plein(5),
         "1:2",
         ""},
        {"... and one across days", {7, 5}, {5, 7}, 'S', 2, true, plein(5), "2:1", ""},
        {"absences start afresh each day", {5, 7}, {7, 5}, 'R', 2, false, plein(5), "", ""},
        {"... and run on across days", {5, 7}, {7, 5}, 'R', 2, true, plein(5), "", "2:1"},
        {"one day only: yesterday is not evaluated",
         {5},
         {5, 5},
         'S',
         1,
         false,
         plein(5),
         "1:1",
         ""},
        {"red runs", {1, 3, 2, 0, 5, 7, 9}, {}, 'A', 1, false, testing::kRot, "2:1 3:1", "0:3 2:1"},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.was);
        std::vector<int> alt(f.gestern.rbegin(), f.gestern.rend());
        std::vector<int> neu(f.heute.rbegin(), f.heute.rend());
        tagAnfuegen(gestern, alt);
        tagAnfuegen(heute(), neu);
        waehle(heute(), f.tage, 100, f.uebergreifend);
        const Auswertungslauf l = lauf(f.modus);
        EXPECT_EQ(l.coups, static_cast<int>(f.heute.size() + (f.tage > 1 ? f.gestern.size() : 0)));
        EXPECT_FALSE(l.abgebrochen);
        EXPECT_EQ(zeilen(kSerien, f.ereignis), f.serien);
        EXPECT_EQ(zeilen(kRst, f.ereignis), f.rueckstaende);
        // The class total holds the event's counts (here the only event of its class hit in
        // runs of these lengths or more).
        const int gruppe = katalog.finden(f.ereignis)->gruppe;
        if (*f.serien != 0) {
            EXPECT_NE(zeilen(kSerien, 0, gruppe), "");
        }
        // Next case on fresh days.
        capture::Casino_Tisch_DatumChange(k, capture::Ausloeser::Datumsauswahl);
        dm.TdbQuery_Data_Alles.setSql("DELETE FROM Permanenz");
        dm.TdbQuery_Data_Alles.execute();
    }
}

TEST_F(PermanenzTest, ClassTotalsSumTheEventsOfTheClass) {
    tagAnfuegen(heute(), {7, 5, 5});  // newest first: 5 5 7
    waehle(heute(), 1, 100, false);
    lauf('S');
    EXPECT_EQ(zeilen(kSerien, plein(5)), "2:1");
    EXPECT_EQ(zeilen(kSerien, plein(7)), "1:1");
    EXPECT_EQ(zeilen(kSerien, 0, 35), "1:1 2:1");
    // Red: 5 5 7 is one series of 3.
    EXPECT_EQ(zeilen(kSerien, testing::kRot), "3:1");
    // Odd (event 4): the same 3; even (3) never ran; class 1 sums red, odd, low (5) ...
    EXPECT_EQ(zeilen(kSerien, 0, 1), "3:3");
    store::TableCursor t("t", dm.TdbDatabase_Roulette, kSerien);
    t.open();
    ASSERT_TRUE(t.locate("ID_Ereignis;ID_Ereignis_Gruppe;Serie", {0, 35, 2}));
    EXPECT_EQ(t.text("Ereignis"), "Chance gesamt");
    EXPECT_EQ(t.text("Ereignis_Info"), "Chance gesamt");
    ASSERT_TRUE(t.locate("ID_Ereignis;Serie", {plein(5), 2}));
    EXPECT_EQ(t.text("Ereignis"), "Plein 5");
    EXPECT_EQ(t.integer("ID_Ereignis_Gruppe"), 35);
}

TEST_F(PermanenzTest, FrequencyPercentagesAndTheNeverHitEvent) {
    tagAnfuegen(heute(), {0, 5, 7});
    waehle(heute(), 1, 100, false);
    lauf('H');
    EXPECT_EQ(feld(plein(5), "Zahlen_Anzahl"), Value(1));
    EXPECT_EQ(feld(plein(5), "Zahlen_Prozent"), Value("33,3%"));
    EXPECT_EQ(feld(testing::kRot, "Zahlen_Prozent"), Value("66,7%"));
    EXPECT_EQ(feld(plein(1), "Zahlen_Anzahl"), Value());
    EXPECT_EQ(feld(plein(1), "Zahlen_Prozent"), Value("0,0%"));
    // The frequency list shows the chance class with those figures.
    auto& h = dm.TdbQuery_Ereignisse_Haeufigkeit;
    ASSERT_EQ(h.recordCount(), 6);
    EXPECT_EQ(h.text("Zahlen_Prozent"), "66,7%");
}

TEST_F(PermanenzTest, EmptyStretchLeavesEverythingEmptyAndSaysNothing) {
    tagAnfuegen(heute().addDays(-1), {5, 5});
    coupsAnfuegen(heute(), {Value()});  // only the coup about to be played
    for (int tage : {0, 1}) {
        for (char modus : {'H', 'S', 'R', 'A'}) {
            waehle(heute(), tage, 100, false);
            const Auswertungslauf l = lauf(modus);
            EXPECT_EQ(l.coups, 0);
            for (int e : {testing::kRot, plein(5)}) {
                EXPECT_EQ(feld(e, "Zahlen_Anzahl"), Value());
                EXPECT_EQ(feld(e, "Zahlen_Prozent"), Value());
            }
            EXPECT_EQ(dm.TdbDatabase_Roulette.rowCount(kSerien), 0);
            EXPECT_EQ(dm.TdbDatabase_Roulette.rowCount(kRst), 0);
        }
    }
    EXPECT_TRUE(ui.informed.empty());
    EXPECT_FALSE(ui.busy);
}

TEST_F(PermanenzTest, CoupModeCountsBackFromTheSelectedCoupWithinTheDay) {
    tagAnfuegen(heute().addDays(-1), std::vector<int>(50, 5));
    std::vector<Value> tag;
    for (int i = 0; i < 40; ++i) {
        tag.emplace_back(i % 37);
    }
    tag.emplace_back();  // the coup about to be played
    const auto ids = coupsAnfuegen(heute(), tag);
    const struct {
        std::int64_t gewaehlt;  // 0: the coup about to be played
        int coups;
        int erwartet;
    } faelle[] = {
        {ids[29], 100, 30},                    // 30 coups up to the selected one, none of yesterday
        {ids[29], 10, 10},  {ids[29], 0, 30},  // 0 = no limit
        {ids[0], 100, 1},   {0, 100, 40},      // a coup without number: from the newest
        {0, 40, 40},        {ids[39], 7, 7},
    };
    for (const auto& f : faelle) {
        waehle(heute(), 0, f.coups, false);
        auto& p = dm.TdbTable_Permanenz;
        ASSERT_TRUE(p.locate("ID_Zahl", {f.gewaehlt == 0 ? ids.back() : f.gewaehlt}));
        const Auswertungslauf l = lauf('A');
        EXPECT_EQ(l.coups, f.erwartet) << f.gewaehlt << " / " << f.coups;
        // Number 5 fell once, at index 5: counted when the window of coups reaches it.
        const auto von = f.gewaehlt == 0
                             ? std::ptrdiff_t{39}
                             : std::find(ids.begin(), ids.end(), f.gewaehlt) - ids.begin();
        const bool fuenf = von >= 5 && von - f.erwartet + 1 <= 5;
        EXPECT_EQ(feld(plein(5), "Zahlen_Anzahl"), fuenf ? Value(1) : Value()) << f.gewaehlt;
    }
}

TEST_F(PermanenzTest, DayModeTakesTheDaysUpToTheSelectedOneAndIgnoresTheCoupCount) {
    for (int d = 0; d < 5; ++d) {
        tagAnfuegen(heute().addDays(-d), std::vector<int>(10 + d, d));
    }
    const struct { int tage, erwartet; } faelle[] = {{1, 10}, {3, 10 + 11 + 12}, {5, 60}, {9, 60}};
    for (const auto& f : faelle) {
        waehle(heute(), f.tage, 5, false);
        EXPECT_EQ(lauf('H').coups, f.erwartet) << f.tage;
    }
    // A day in the past: the days before it only.
    waehle(heute().addDays(-3), 2, 5, false);
    EXPECT_EQ(lauf('H').coups, 13 + 14);
    EXPECT_EQ(feld(plein(3), "Zahlen_Anzahl"), Value(13));
    EXPECT_EQ(feld(plein(0), "Zahlen_Anzahl"), Value());
}

TEST_F(PermanenzTest, EscapeKeepsThePartialResultsAndSaysSoOnce) {
    tagAnfuegen(heute(), {7, 7, 5, 5, 7, 5, 7, 5, 5, 5, 7, 7, 5, 7, 5});
    const struct {
        store::Sprache sprache;
        const char* text;
    } sprachen[] = {{store::Sprache::Deutsch, "Berechnung abgebrochen!"},
                    {store::Sprache::Englisch, "Calculation is canceled!"}};
    for (const auto& s : sprachen) {
        sitzung.sprache = s.sprache;
        // The newest 6 coups in coup mode, then the whole day cancelled after 6 coups.
        waehle(heute(), 0, 6, false);
        dm.TdbTable_Permanenz.last();
        ui.polls = 0;
        ui.escapeAfter = -1;
        ui.informed.clear();
        lauf('A');
        EXPECT_TRUE(ui.informed.empty());
        const std::string serien = zeilen(kSerien, plein(5));
        const std::string rst = zeilen(kRst, plein(5));
        const std::string klasse = zeilen(kRst, 0, 35);
        const Value anzahl = feld(plein(5), "Zahlen_Anzahl");
        EXPECT_EQ(ui.polls, 6);

        waehle(heute(), 1, 100, false);
        ui.polls = 0;
        ui.escapeAfter = 5;  // Escape is down at the 6th poll
        ansicht.calls.clear();
        const Auswertungslauf l = lauf('A');
        EXPECT_TRUE(l.abgebrochen);
        EXPECT_EQ(l.coups, 6);
        EXPECT_EQ(ui.informed, std::vector<std::string>{s.text});
        EXPECT_EQ(zeilen(kSerien, plein(5)), serien);  // the series running at the end counted
        EXPECT_EQ(zeilen(kRst, plein(5)), rst);
        EXPECT_EQ(zeilen(kRst, 0, 35), klasse);
        EXPECT_EQ(feld(plein(5), "Zahlen_Anzahl"), anzahl);
        EXPECT_EQ(feld(plein(5), "Zahlen_Prozent"), Value("50,0%"));
        // Reset and display at the start, the display again at the end.
        EXPECT_EQ(std::count(ansicht.calls.begin(), ansicht.calls.end(), "auswertungAnzeigen"), 2);
        EXPECT_FALSE(ui.busy);
    }
}

TEST_F(PermanenzTest, RepaintsEveryTenCoupsAndPollsEveryCoup) {
    tagAnfuegen(heute(), std::vector<int>(35, 1));
    waehle(heute(), 1, 100, false);
    ui.polls = 0;
    ansicht.calls.clear();
    lauf('H');
    EXPECT_EQ(ui.polls, 35);
    EXPECT_EQ(std::count(ansicht.calls.begin(), ansicht.calls.end(), "neuZeichnen"), 3);
    EXPECT_EQ(std::count(ansicht.calls.begin(), ansicht.calls.end(), "systemdetailsAus"), 1);
}

// Mode "A" computes everything once; the display then switches between the lists, the chance
// classes and the class totals without another run.
TEST_F(PermanenzTest, DisplaySwitchesListsClassesAndTotalsWithoutANewRun) {
    tagAnfuegen(heute(), {7, 5, 5, 7, 7, 5, 7, 5, 5, 5, 1, 1});  // oldest first
    waehle(heute(), 1, 100, false);
    lauf('A');
    EXPECT_EQ(ansicht.gezeigt, Auswertungsliste::Haeufigkeit);
    const int polls = ui.polls;

    auto& w = dm.TdbTable_Wahl;
    auto zeigen = [&](const char* modus) {
        w.setText("Auswertung_H_S_R", modus);  // the display list writes into `Wahl`
        return DBComboBox_Haufigkeit_Serien_RueckstaendigkeitChange(k, auswertung);
    };
    auto liste = [](store::Cursor& q, const char* laenge, const char* prozent) {
        std::string s;
        for (int i = 0; const store::Row* r = q.rowAt(i); ++i) {
            s += (s.empty() ? "" : " ") +
                 r->values[static_cast<std::size_t>(q.fieldIndex(laenge))].toText() + "=" +
                 r->values[static_cast<std::size_t>(q.fieldIndex(prozent))].toText();
        }
        return s;
    };
    auto& serienListe = dm.TdbQuery_Ereignisse_Serien;
    auto& rstListe = dm.TdbQuery_Ereignisse_Rueckstaendigkeit;

    // Class 1, first event red: newest first 1 1 5 5 5 7 5 7 7 5 5 7, all red but 0 there is
    // none: one series of 12.
    EXPECT_EQ(zeigen("S"), Auswertungsliste::Serien);
    EXPECT_EQ(liste(serienListe, "Serie", "Serie_Prozent"), "12=100,0%");
    EXPECT_EQ(zeigen("R"), Auswertungsliste::Rueckstaendigkeit);
    EXPECT_EQ(liste(rstListe, "Rueckstaendigkeit", "Rueckstaendigkeit_Prozent"), "0=100,0%");

    // Class 35 through the chance-class list: the frequency list moves to plein 0.
    w.setInteger("ID_Chancen_Auswertung", 35);
    DBLookupComboBox_Chancen_PermanenzCloseUp(k);
    EXPECT_EQ(dm.TdbQuery_Ereignisse_Haeufigkeit.integer("ID_Ereignis"), plein(0));
    auto& h = dm.TdbQuery_Ereignisse_Haeufigkeit;
    ASSERT_TRUE(h.locate("ID_Ereignis", {plein(5)}));
    w.edit();
    // Plein 5, newest first: 1 1 5 5 5 7 5 7 7 5 5 7: series 3, 1, 2; absences 1, 2, 0, 0, 0.
    EXPECT_EQ(zeigen("S"), Auswertungsliste::Serien);
    EXPECT_EQ(liste(serienListe, "Serie", "Serie_Prozent"), "1=33,3% 2=33,3% 3=33,3%");
    EXPECT_EQ(zeigen("R"), Auswertungsliste::Rueckstaendigkeit);
    EXPECT_EQ(liste(rstListe, "Rueckstaendigkeit", "Rueckstaendigkeit_Prozent"),
              "0=60,0% 1=20,0% 2=20,0%");

    // Class totals of class 35: the absences of plein 1 (0), plein 5 (as above) and plein 7
    // (1, 0, 2).
    EXPECT_EQ(DBGrid_Ereignisse_Rueckstaendigkeit_AuswertungDblClick(k, auswertung),
              Auswertungsliste::Rueckstaendigkeit);
    EXPECT_TRUE(auswertung.klassensummen());
    EXPECT_EQ(zeilen(kRst, 0, 35), "0:5 1:2 2:2");
    EXPECT_EQ(liste(rstListe, "Rueckstaendigkeit", "Rueckstaendigkeit_Prozent"),
              "0=55,6% 1=22,2% 2=22,2%");
    for (int i = 0; const store::Row* r = rstListe.rowAt(i); ++i) {
        EXPECT_EQ(r->values[static_cast<std::size_t>(rstListe.fieldIndex("Ereignis_Info"))],
                  Value("Chance gesamt"));
    }
    // The second double click returns to the event.
    EXPECT_EQ(DBGrid_Ereignisse_Rueckstaendigkeit_AuswertungDblClick(k, auswertung),
              Auswertungsliste::Rueckstaendigkeit);
    EXPECT_FALSE(auswertung.klassensummen());
    EXPECT_EQ(liste(rstListe, "Rueckstaendigkeit", "Rueckstaendigkeit_Prozent"),
              "0=60,0% 1=20,0% 2=20,0%");
    EXPECT_EQ(zeigen("S"), Auswertungsliste::Serien);
    EXPECT_EQ(DBGrid_Ereignisse_Serien_AuswertungDblClick(k, auswertung), Auswertungsliste::Serien);
    EXPECT_EQ(liste(serienListe, "Serie", "Serie_Prozent"), "1=42,9% 2=42,9% 3=14,3%");
    // Mode A shows the frequency list.
    EXPECT_EQ(zeigen("A"), Auswertungsliste::Haeufigkeit);
    EXPECT_FALSE(auswertung.klassensummen());
    EXPECT_EQ(ui.polls, polls);  // nothing was computed again
}

TEST_F(PermanenzTest, ResetEmptiesTheResultsAndKeepsTheMarks) {
    tagAnfuegen(heute(), {5, 7, 5});
    waehle(heute(), 1, 100, false);
    lauf('A');
    ASSERT_NE(dm.TdbDatabase_Roulette.rowCount(kSerien), 0);
    EXPECT_EQ(feld(plein(5), "Rueckstaendigkeit_Kennzeichen"), Value("x"));
    EXPECT_EQ(feld(plein(7), "Rueckstaendigkeit"), Value(1));

    for (bool filterEin : {false, true}) {
        Auswertung_Zuruecksetzen(k, filterEin);
        EXPECT_EQ(dm.TdbTable_Ereignisse.filtered(), filterEin);
        EXPECT_EQ(dm.TdbTable_Ereignisse.recordCount(), filterEin ? 6 : 153);
        EXPECT_EQ(dm.TdbDatabase_Roulette.rowCount(kSerien), 0);
        EXPECT_EQ(dm.TdbDatabase_Roulette.rowCount(kRst), 0);
        EXPECT_EQ(feld(plein(5), "Zahlen_Anzahl"), Value());
        EXPECT_EQ(feld(plein(5), "Zahlen_Prozent"), Value());
        EXPECT_EQ(feld(plein(7), "Rueckstaendigkeit"), Value(0));
        EXPECT_EQ(feld(plein(5), "Rueckstaendigkeit_1_Ereignis"), Value("f"));
        EXPECT_EQ(feld(plein(5), "Rueckstaendigkeit_Kennzeichen"), Value("x"));
        EXPECT_EQ(feld(plein(5), "Serien_Kennzeichen"), Value("o"));
    }

    // The selection change resets them too.
    lauf('A');
    ASSERT_NE(dm.TdbDatabase_Roulette.rowCount(kRst), 0);
    capture::Casino_Tisch_DatumChange(k, capture::Ausloeser::Datumsauswahl);
    EXPECT_EQ(dm.TdbDatabase_Roulette.rowCount(kRst), 0);
    EXPECT_EQ(feld(plein(5), "Zahlen_Anzahl"), Value());
}

TEST_F(PermanenzTest, ResultsUseTheLanguageOfTheRun) {
    tagAnfuegen(heute(), {5, 5});
    sitzung.sprache = store::Sprache::Englisch;
    waehle(heute(), 1, 100, false);
    lauf('S');
    store::TableCursor t("t", dm.TdbDatabase_Roulette, kSerien);
    t.open();
    ASSERT_TRUE(t.locate("ID_Ereignis;Serie", {plein(5), 2}));
    EXPECT_EQ(t.text("Ereignis"), "Number 5");
    ASSERT_TRUE(t.locate("ID_Ereignis;ID_Ereignis_Gruppe", {0, 35}));
    EXPECT_EQ(t.text("Ereignis"), "Chance all");
}

}  // namespace
}  // namespace spinalyst::events
