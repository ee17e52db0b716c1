#include "capture/eingabe.h"
#include "kern/tagessumme.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "capture/auswahl.h"
#include "tests/support/kontext_fixture.h"

namespace spinalyst::capture {
namespace {

using store::Date;
using store::Value;

// The numbers of the shown coups, "-" for the coup about to be played.
std::string coups(store::Cursor& p) {
    std::string s;
    for (int i = 0; const store::Row* r = p.rowAt(i); ++i) {
        const Value& z = r->values[static_cast<std::size_t>(p.fieldIndex("Zahl"))];
        s += (s.empty() ? "" : " ") + (z.isNull() ? std::string("-") : z.toText());
    }
    return s;
}

class EingabeTest : public testing::KontextTest {
  protected:
    EingabeTest() {
        Permanenz_Hooks_Installieren(k);
        BitBtn_NeuClick(k);
        BitBtn_OKClick(k);
    }

    void tippe(const Value& zahl) {
        auto& w = dm.TdbTable_Wahl;
        w.edit();
        w.setValue("Permanenz_Zahl", zahl);
        BitBtn_Permanenz_ZahlClick(k);
    }

    void waehleTag(Date tag) {
        sitzung.gewaehlter_tag = tag;
        Casino_Tisch_DatumChange(k, Ausloeser::Datumsauswahl);
    }

    int tagesCoups() {
        store::TableCursor t("t", dm.TdbDatabase_Roulette, "Permanenz_Tag_Zusammenfassung");
        t.open();
        const auto& w = dm.TdbTable_Wahl;
        int found = 0;
        int count = -1;
        for (t.first(); !t.eof(); t.next()) {
            if (t.integer("ID_Casino") == w.integer("ID_Casino") &&
                t.text("Tisch") == w.text("Tisch") && t.date("Datum") == w.date("Datum")) {
                ++found;
                count = t.integer("Coups_Anzahl");
            }
        }
        EXPECT_LE(found, 1) << "a day has a second day row";
        return count;
    }
};

TEST_F(EingabeTest, OnlyNumbersFrom0To36AreStored) {
    MenuItem_Permanenzen_EingabeClick(k);
    EXPECT_TRUE(sitzung.eingabemodus);
    EXPECT_EQ(dm.TdbTable_Permanenz.recordCount(), 0);  // a day without coups gets none
    const struct {
        Value typed;
        const char* shown;
        int count;
    } cases[] = {
        {Value(0), "0 -", 1},        {Value(17), "0 17 -", 2},    {Value(36), "0 17 36 -", 3},
        {Value(37), "0 17 36 -", 3}, {Value(-1), "0 17 36 -", 3}, {Value(), "0 17 36 -", 3},
    };
    for (const auto& c : cases) {
        tippe(c.typed);
        EXPECT_EQ(coups(dm.TdbTable_Permanenz), c.shown) << c.typed.toText();
        EXPECT_EQ(tagesCoups(), c.count) << c.typed.toText();
        EXPECT_TRUE(dm.TdbTable_Wahl.isNull("Permanenz_Zahl"));  // the field is cleared
    }
    Deaktiviere_manuellen_Eingabemodus(k);
    EXPECT_FALSE(sitzung.eingabemodus);
    EXPECT_EQ(coups(dm.TdbTable_Permanenz), "0 17 36");
    EXPECT_TRUE(sitzung.loeschpflege);
    EXPECT_EQ(tagesCoups(), 3);
    // Starting again on a day whose last coup has a number adds the coup about to be played.
    MenuItem_Permanenzen_EingabeClick(k);
    EXPECT_EQ(coups(dm.TdbTable_Permanenz), "0 17 36 -");
}

TEST_F(EingabeTest, ASelectedEarlierCoupIsReplacedAndEntryGoesOnAfterIt) {
    MenuItem_Permanenzen_EingabeClick(k);
    for (int n : {1, 2, 3}) {
        tippe(Value(n));
    }
    auto& p = dm.TdbTable_Permanenz;
    p.first();
    p.next();
    tippe(Value(5));
    EXPECT_EQ(coups(p), "1 5 3 -");
    EXPECT_EQ(tagesCoups(), 3);
    EXPECT_EQ(p.integer("Zahl"), 3);  // the cursor went on to the third coup
    tippe(Value(9));
    EXPECT_EQ(coups(p), "1 5 9 -");
}

TEST_F(EingabeTest, EndingTheModeReturnsToTheRememberedCoup) {
    MenuItem_Permanenzen_EingabeClick(k);
    for (int n : {1, 2, 3}) {
        tippe(Value(n));
    }
    auto& p = dm.TdbTable_Permanenz;
    p.first();
    p.next();
    Deaktiviere_manuellen_Eingabemodus(k);
    EXPECT_EQ(p.integer("Zahl"), 2);
    MenuItem_Permanenzen_EingabeClick(k);
    Deaktiviere_manuellen_Eingabemodus(k);  // it stood on the removed coup: back to the first
    EXPECT_EQ(p.integer("Zahl"), 1);
    EXPECT_EQ(coups(p), "1 2 3");
}

TEST_F(EingabeTest, DeletingACoupUpdatesOnlyTheSelectedDay) {
    const Date tag = dm.TdbTable_Wahl.date("Datum");
    waehleTag(tag.addDays(1));
    MenuItem_Permanenzen_EingabeClick(k);
    tippe(Value(7));
    Deaktiviere_manuellen_Eingabemodus(k);
    waehleTag(tag);
    MenuItem_Permanenzen_EingabeClick(k);
    for (int n : {1, 2, 3}) {
        tippe(Value(n));
    }
    auto& p = dm.TdbTable_Permanenz;
    p.first();
    p.remove();  // in the mode
    EXPECT_EQ(tagesCoups(), 2);
    Deaktiviere_manuellen_Eingabemodus(k);
    p.first();
    p.remove();  // out of the mode
    EXPECT_EQ(tagesCoups(), 1);
    p.first();
    p.remove();  // the last coup: the day row stays with 0
    EXPECT_EQ(tagesCoups(), 0);
    waehleTag(tag.addDays(1));
    EXPECT_EQ(tagesCoups(), 1);
}

// N = 10, days recorded on the 1st to the 20th, the 15th selected.
TEST_F(EingabeTest, TheDayWindowAndTheTotalsCoverTheLastNDays) {
    const Date erster = Date::fromYmd(2012, 3, 1);
    store::TableCursor t("t", dm.TdbDatabase_Roulette, "Permanenz_Tag_Zusammenfassung");
    t.open();
    const int casino = dm.TdbTable_Wahl.integer("ID_Casino");
    for (int d = 0; d < 20; ++d) {
        // Day d + 1 has d + 1 coups and a result of d - 5 (the 6th has 0).
        t.appendRecord({Value(casino), Value("T 01"), Value(erster.addDays(d)), Value(),
                        Value(d - 5), Value(d - 3), Value(d - 8), Value(d + 1), Value(1)});
    }
    waehleTag(erster.addDays(14));
    auto& fenster = dm.TdbTable_Permanenz_Tag_Zusammenfassung;
    EXPECT_EQ(fenster.recordCount(), 10);
    fenster.first();
    EXPECT_EQ(fenster.date("Datum"), erster.addDays(5));
    fenster.last();
    EXPECT_EQ(fenster.date("Datum"), erster.addDays(14));

    // The reset of the selection change cleared the results of the window's days.
    auto& g = dm.TdbTable_Permanenz_Tag_Zusammenfassung_G;
    EXPECT_EQ(g.integer("Tage"), 10);
    EXPECT_EQ(g.integer("Coups_Anzahl"), 6 + 7 + 8 + 9 + 10 + 11 + 12 + 13 + 14 + 15);
    EXPECT_TRUE(g.isNull("Gewinn_Verlust"));
    EXPECT_TRUE(g.isNull("Gewinn_Maximal"));
    EXPECT_TRUE(g.isNull("Verlust_Maximal"));
    EXPECT_TRUE(g.isNull("Angriffe"));

    // With results in the window the totals sum them; Max + never below 0, Max - never above.
    for (fenster.first(); !fenster.eof(); fenster.next()) {
        const int d = fenster.date("Datum").day();
        fenster.setInteger("Gewinn_Verlust", d - 10);
        fenster.setInteger("Gewinn_Maximal", -d);
        fenster.setInteger("Verlust_Maximal", d);
        fenster.setInteger("Angriffe", 2);
        fenster.post();
    }
    kern::Tag_Gesamt_Berechnen(k);
    EXPECT_EQ(g.integer("Gewinn_Verlust"), (6 + 15) * 10 / 2 - 100);
    EXPECT_EQ(g.integer("Gewinn_Maximal"), 0);
    EXPECT_EQ(g.integer("Verlust_Maximal"), 0);
    EXPECT_EQ(g.integer("Angriffe"), 20);
    EXPECT_TRUE(g.isNull("ID_System_aktuell"));
}

TEST_F(EingabeTest, ADayOutsideTheWindowGetsNoSecondDayRow) {
    MenuItem_Permanenzen_EingabeClick(k);
    tippe(Value(4));
    auto& w = dm.TdbTable_Wahl;
    w.edit();
    w.setInteger("System_Tage_Anzahl", 0);  // an empty day window
    w.post();
    dm.TdbTable_Permanenz_Tag_Zusammenfassung.setFiltered(true);
    EXPECT_EQ(dm.TdbTable_Permanenz_Tag_Zusammenfassung.recordCount(), 0);
    tippe(Value(5));
    EXPECT_EQ(tagesCoups(), 2);
}

// Storing a number writes the coup, the next coup about to be played, the day row, the totals and
// the selection; when any of these writes fails, none of them is stored and the cursors show
// what the tables hold.
TEST_F(EingabeTest, ANumberIsStoredWithAllItsRowsOrNotAtAll) {
    MenuItem_Permanenzen_EingabeClick(k);
    tippe(Value(7));
    ASSERT_EQ(coups(dm.TdbTable_Permanenz), "7 -");
    auto& verbindung = dm.TdbDatabase_Roulette.connection();
    const auto gespeichert = [&] {
        store::Statement s(
            verbindung,
            "SELECT (SELECT group_concat(IFNULL(Zahl, '-'), ' ') FROM Permanenz), "
            "(SELECT group_concat(Coups_Anzahl) FROM Permanenz_Tag_Zusammenfassung), "
            "(SELECT group_concat(Coups_Anzahl) FROM "
            "Permanenz_Tag_Zusammenfassung_G), "
            "(SELECT IFNULL(Permanenz_Zahl, '-') FROM Wahl)");
        s.step();
        return s.text(0) + " | " + s.text(1) + " | " + s.text(2) + " | " + s.text(3);
    };
    const std::string vorher = gespeichert();
    EXPECT_EQ(vorher, "7 - | 1 | 1 | -");

    // Each of the writes fails in turn, as a full disk would refuse it.
    for (const char* schritt :
         {"BEFORE UPDATE ON main.Permanenz", "BEFORE INSERT ON main.Permanenz",
          "BEFORE UPDATE ON main.Permanenz_Tag_Zusammenfassung",
          "BEFORE UPDATE ON main.Permanenz_Tag_Zusammenfassung_G",
          "BEFORE UPDATE OF Permanenz_Zahl ON main.Wahl WHEN "
          "NEW.Permanenz_Zahl IS NULL"}) {
        SCOPED_TRACE(schritt);
        verbindung.exec(std::string("CREATE TEMP TRIGGER fehlschlag ") + schritt +
                        " BEGIN SELECT RAISE(ABORT, 'disk full'); END");
        auto& w = dm.TdbTable_Wahl;
        w.edit();
        w.setValue("Permanenz_Zahl", Value(12));
        EXPECT_THROW(BitBtn_Permanenz_ZahlClick(k), store::StoreError);
        verbindung.exec("DROP TRIGGER temp.fehlschlag");
        EXPECT_EQ(gespeichert(), vorher);
        EXPECT_EQ(coups(dm.TdbTable_Permanenz), "7 -");
        EXPECT_EQ(dm.TdbTable_Permanenz_Tag_Zusammenfassung_G.integer("Coups_Anzahl"), 1);
    }

    // The entry goes on as before.
    tippe(Value(12));
    EXPECT_EQ(gespeichert(), "7 12 - | 2 | 2 | -");
    EXPECT_EQ(coups(dm.TdbTable_Permanenz), "7 12 -");
}

// Without a stored casino of the selection a typed number is refused with a message in the
// session's language: no coup, no coup about to be played, no day row and no totals are written,
// and a casino created later starts without days.
class EingabeOhneCasinoTest : public testing::KontextTest {};

TEST_F(EingabeOhneCasinoTest, ANumberWithoutAStoredCasinoIsRefusedAndStoresNothing) {
    Permanenz_Hooks_Installieren(k);
    auto& verbindung = dm.TdbDatabase_Roulette.connection();
    const auto gespeichert = [&] {
        store::Statement s(verbindung,
                           "SELECT (SELECT count(*) FROM Permanenz), "
                           "(SELECT count(*) FROM Permanenz_Tag_Zusammenfassung), "
                           "(SELECT IFNULL(group_concat(IFNULL(Coups_Anzahl, '-')), '') FROM "
                           "Permanenz_Tag_Zusammenfassung_G), "
                           "(SELECT IFNULL(Permanenz_Zahl, '-') FROM Wahl)");
        s.step();
        return s.text(0) + " | " + s.text(1) + " | " + s.text(2) + " | " + s.text(3);
    };
    const struct {
        const char* fall;
        bool casinoAnlegen;  // a casino exists, but the selection names another one
        store::Sprache sprache;
        const char* meldung;
    } faelle[] = {
        {"no casino", false, store::Sprache::Deutsch,
         "Keine Zahl gespeichert: das gewählte Casino gibt es nicht.\n"
         "Bitte zuerst ein Casino anlegen und wählen!"},
        {"selection names a missing casino", true, store::Sprache::Englisch,
         "No number stored: the selected casino does not exist.\n"
         "Please create and choose a casino first!"},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.fall);
        sitzung.sprache = f.sprache;
        auto& w = dm.TdbTable_Wahl;
        if (f.casinoAnlegen) {
            const int id = BitBtn_NeuClick(k);
            BitBtn_OKClick(k);
            w.edit();
            w.setInteger("ID_Casino", id + 1);
            w.post();
        }
        const std::string vorher = gespeichert();
        ui.informed.clear();
        ansicht.calls.clear();

        MenuItem_Permanenzen_EingabeClick(k);
        for (int zahl : {7, 0}) {
            w.edit();
            w.setValue("Permanenz_Zahl", Value(zahl));
            BitBtn_Permanenz_ZahlClick(k);
        }
        EXPECT_EQ(gespeichert(), vorher);
        EXPECT_EQ(dm.TdbTable_Permanenz.recordCount(), 0);
        EXPECT_EQ(ui.informed, (std::vector<std::string>{f.meldung, f.meldung}));
        EXPECT_TRUE(w.isNull("Permanenz_Zahl"));  // the refused number is not kept
        EXPECT_EQ(std::count(ansicht.calls.begin(), ansicht.calls.end(), "zahlfeldLeeren"), 2);
        Deaktiviere_manuellen_Eingabemodus(k);
    }

    // The casino created now has no day of the refused numbers.
    BitBtn_NeuClick(k);
    BitBtn_OKClick(k);
    store::Statement tage(verbindung,
                          "SELECT (SELECT count(*) FROM Permanenz) + "
                          "(SELECT count(*) FROM Permanenz_Tag_Zusammenfassung)");
    ASSERT_TRUE(tage.step());
    EXPECT_EQ(tage.int64(0), 0);
    MenuItem_Permanenzen_EingabeClick(k);
    EXPECT_EQ(dm.TdbTable_Permanenz.recordCount(), 0);
}

}  // namespace
}  // namespace spinalyst::capture
