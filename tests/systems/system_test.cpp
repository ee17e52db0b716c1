#include "systems/system.h"

#include <gtest/gtest.h>

#include "capture/auswahl.h"
#include "systems/ereignisfolge.h"
#include "tests/systems/system_fixture.h"

namespace spinalyst::systems {
namespace {

using store::Value;

class SystemeTest : public testing::SystemTest {
  protected:
    // The stake rows of the shown instance as "id:stake,..." ("_" for none).
    std::string angriffe() {
        auto& a = dm.TdbTable_System_Angriffe;
        std::string s;
        for (int i = 0; const store::Row* r = a.rowAt(i); ++i) {
            const auto& satz = r->values[static_cast<std::size_t>(a.fieldIndex("Satz"))];
            s += (i ? "," : "") +
                 r->values[static_cast<std::size_t>(a.fieldIndex("ID_Angriff"))].toText() + ":" +
                 (satz.isNull() ? "_" : satz.toText());
        }
        return s;
    }

    void wette(int idSystem) {
        store::TableCursor b("b", dm.TdbDatabase_Roulette, "Systeme_Abarbeitung");
        b.open();
        b.appendRecord({Value(1), Value(idSystem), Value(1), Value(1), Value(5)});
    }
};

TEST_F(SystemeTest, ANewSystemIsNumberedAfterTheShownSystemsOfItsKindAndChanceClass) {
    // Shown in (1, 1): 1, 2, 7. Other kinds and classes hold higher numbers.
    for (int n : {1, 2, 7}) {
        neu(1, 1);
        nummer(n);
    }
    neu(2, 1);
    nummer(9);
    neu(1, 5);
    nummer(12);

    const struct {
        int art;
        int chancen;
        int nummer;
    } faelle[] = {{1, 1, 8}, {2, 1, 10}, {1, 5, 13}, {3, 1, 1}, {1, 35, 1}};
    for (const auto& f : faelle) {
        const int id = neu(f.art, f.chancen);
        auto& s = dm.TdbTable_Systeme;
        EXPECT_EQ(s.integer("ID_System_AutoInc"), id);
        EXPECT_EQ(s.integer("ID_System_Nummer"), f.nummer) << f.art << "/" << f.chancen;
        EXPECT_EQ(s.integer("ID_System_Art"), f.art);
        EXPECT_EQ(s.integer("ID_System_Chancen"), f.chancen);
    }
}

TEST_F(SystemeTest, ANewSystemHasTheDefaultRowsOfInstanceOneAndTheOthersWhenFirstSelected) {
    const int id = neu();
    auto& s = dm.TdbTable_Systeme;
    const struct {
        const char* feld;
        Value wert;
    } anlage[] = {{"ID_Instanz", Value(1)},
                  {"System_Name", Value("(Neues System)")},
                  {"System_Informationen", Value()},
                  {"System_Online_Aktiv", Value()},
                  {"Systemaenderung_erfolgt", Value("f")},
                  {"Systemangriff_Beendung_Einzeln_Alle", Value("t")},
                  {"Systemangriff", Value(0)},
                  {"Systemangriff_Instanz_1", Value("f")},
                  {"Systemangriff_Instanz_2", Value("f")},
                  {"Systemangriff_Instanz_3", Value("f")},
                  {"Systemangriff_Beendung_Einzeln", Value("t")}};
    for (const auto& a : anlage) {
        EXPECT_EQ(s.value(a.feld), a.wert) << a.feld;
    }
    EXPECT_TRUE(ansicht.kasten);

    std::string erwartet;
    for (int i = 1; i <= 50; ++i) {
        erwartet += std::to_string(i) + ":_,";
    }
    erwartet += "G:100,V:-100";
    auto& d = dm.TdbTable_System_Daten;
    ASSERT_EQ(d.recordCount(), 1);
    for (const auto& f : d.table().fields) {
        const std::string n = f.name;
        if (n == "ID_System" || n == "ID_Instanz") {
            continue;
        }
        const bool flagge = n.ends_with("_ungleich") || n.ends_with("_vor_Ereignisfolge") ||
                            n.ends_with("_Filterung_aktiv");
        EXPECT_EQ(d.value(n), n == "Setzart" ? Value("E") : flagge ? Value("f") : Value()) << n;
    }
    EXPECT_EQ(angriffe(), erwartet);
    EXPECT_EQ(dm.TdbTable_System_Angriffe.recordIndex(), 0);
    for (int i : {2, 3}) {
        EXPECT_EQ(zeilen("System_Daten", id, i) + zeilen("System_Angriffe", id, i), 0) << i;
    }

    Instanz_Waehlen(k, 2);
    EXPECT_EQ(dm.TdbTable_Wahl.integer("ID_Instanz"), 2);
    EXPECT_EQ(s.integer("ID_Instanz"), 2);
    EXPECT_EQ(d.integer("ID_Instanz"), 2);
    EXPECT_EQ(angriffe(), erwartet);
    // Coming back creates nothing twice.
    Instanz_Waehlen(k, 1);
    Instanz_Waehlen(k, 2);
    for (int i : {1, 2}) {
        EXPECT_EQ(zeilen("System_Daten", id, i), 1) << i;
        EXPECT_EQ(zeilen("System_Angriffe", id, i), 52) << i;
    }
    EXPECT_EQ(zeilen("System_Daten", id, 3), 0);
}

TEST_F(SystemeTest, ASystemNumberedBelowOneGetsNoDetailsBoxAndOnlyADataRow) {
    const int id = neu();
    nummer(0);
    EXPECT_FALSE(ansicht.kasten);
    Instanz_Waehlen(k, 2);
    EXPECT_EQ(zeilen("System_Daten", id, 2), 1);
    EXPECT_EQ(zeilen("System_Angriffe", id, 2), 0);
    EXPECT_EQ(dm.TdbTable_System_Daten.text("Setzart"), "E");
    nummer(3);
    EXPECT_TRUE(ansicht.kasten);
}

TEST_F(SystemeTest, TheAttackMarkStaysOnTheLastEventOfTheSequence) {
    const int id = neu();
    const struct {
        const char* schritt;
        int ereignis;  // appended; 0: delete the current row, -1: delete the first row
        const char* folge;
    } schritte[] = {
        {"append", 1, "1 x"},        {"append", 2, "1|2 x"},   {"append", 3, "1|2|3 x"},
        {"delete last", 0, "1|2 x"}, {"append", 5, "1|2|5 x"}, {"delete first", -1, "2|5 x"},
        {"delete last", 0, "2 x"},   {"delete only", 0, ""},   {"delete empty", 0, ""},
    };
    for (const auto& s : schritte) {
        if (s.ereignis > 0) {
            Ereignisfolge_Anfuegen(k, s.ereignis);
        } else {
            if (s.ereignis < 0) {
                dm.TdbTable_System_Ereignisse.first();
            }
            MenuItem_Ereignis_LoeschenClick(k);
        }
        EXPECT_EQ(folge(), s.folge) << s.schritt;
    }
    // Another instance has a sequence of its own.
    Ereignisfolge_Anfuegen(k, 4);
    Instanz_Waehlen(k, 2);
    Ereignisfolge_Anfuegen(k, 6);
    EXPECT_EQ(folge(), "6 x");
    Instanz_Waehlen(k, 1);
    EXPECT_EQ(folge(), "4 x");
    EXPECT_EQ(zeilen("System_Ereignisse", id), 2);
}

TEST_F(SystemeTest, TheNegationBoxNeverMarksTheAttackedEventAndMirrorsTheCurrentRow) {
    neu();
    EXPECT_FALSE(CheckBox_ungleich_EreignisClick(k, true));  // empty sequence
    for (int e : {1, 2, 3}) {
        Ereignisfolge_Anfuegen(k, e);
    }
    auto& f = dm.TdbTable_System_Ereignisse;
    const struct {
        int zeile;
        bool angehakt;
        bool zeigt;
        const char* folge;
    } faelle[] = {
        {0, true, true, "1 <>|2|3 x"},    {2, true, false, "1 <>|2|3 x"},
        {1, true, true, "1 <>|2 <>|3 x"}, {0, false, false, "1|2 <>|3 x"},
        {2, false, false, "1|2 <>|3 x"},
    };
    for (const auto& c : faelle) {
        ASSERT_TRUE(f.moveTo(c.zeile));
        const int gezeigt = ansicht.ungleichGezeigt;
        EXPECT_EQ(CheckBox_ungleich_EreignisClick(k, c.angehakt), c.zeigt) << c.zeile;
        EXPECT_EQ(folge(), c.folge) << c.zeile;
        // The box's own write does not come back to it; the guard is off again.
        EXPECT_EQ(ansicht.ungleichGezeigt, gezeigt);
        EXPECT_FALSE(sitzung.negationssperre);
    }
    // Moving through the sequence shows the mark of each row.
    const struct {
        int zeile;
        bool zeigt;
    } zeilen[] = {{1, true}, {2, false}, {0, false}, {1, true}};
    for (const auto& z : zeilen) {
        ASSERT_TRUE(f.moveTo(z.zeile));
        EXPECT_EQ(ansicht.ungleich, z.zeigt) << z.zeile;
        EXPECT_EQ(CheckBox_ungleich_Ereignis_Angehakt(k), z.zeigt) << z.zeile;
    }
    // Deleting the attacked event makes the negated one the attacked one.
    f.last();
    MenuItem_Ereignis_LoeschenClick(k);
    EXPECT_EQ(folge(), "1|2 x");
}

TEST_F(SystemeTest, ASystemRowWithoutNumberIsNeverStored) {
    const int id = neu();
    auto& s = dm.TdbTable_Systeme;
    s.setText("System_Name", "Gespeichert");
    s.post();
    const int systeme = dm.TdbDatabase_Roulette.rowCount("Systeme");

    auto gespeichert = [&] {
        store::QueryCursor q("q", dm.TdbDatabase_Roulette);
        q.setSql("SELECT System_Name, ID_System_Nummer FROM Systeme WHERE ID_System_AutoInc = ?",
                 {Value(id)});
        q.open();
        return q.text("System_Name") + "/" + q.text("ID_System_Nummer");
    };
    const struct {
        const char* weg;
        void (*aendern)(store::TableCursor&);
    } wege[] = {
        // Information mode: the cleared number cancels the edit as it is typed.
        {"typed",
         [](store::TableCursor& c) {
             c.setText("System_Name", "Verworfen");
             c.setNull("ID_System_Nummer");
             EXPECT_FALSE(c.isEditing());
         }},
        // With the views detached the edit survives until it is posted, and is dropped then.
        {"posted",
         [](store::TableCursor& c) {
             c.disableControls();
             c.setText("System_Name", "Verworfen");
             c.setNull("ID_System_Nummer");
             EXPECT_FALSE(Systeme_Posten(c));
             c.enableControls();
         }},
        // A row appended without number.
        {"appended",
         [](store::TableCursor& c) {
             c.append();
             c.setText("System_Name", "Verworfen");
             EXPECT_THROW(c.post(), store::PostCancelled);
         }},
    };
    for (const auto& w : wege) {
        s.locate("ID_System_AutoInc", {Value(id)});
        w.aendern(s);
        EXPECT_FALSE(s.isEditing()) << w.weg;
        EXPECT_EQ(s.text("System_Name"), "Gespeichert") << w.weg;
        EXPECT_EQ(gespeichert(), "Gespeichert/1") << w.weg;
        EXPECT_EQ(dm.TdbDatabase_Roulette.rowCount("Systeme"), systeme) << w.weg;
    }
    // Leaving information mode posts what was typed.
    s.setText("System_Name", "Umbenannt");
    MenuItem_Systeme_InformationClick(k, false);
    EXPECT_EQ(gespeichert(), "Umbenannt/1");
}

TEST_F(SystemeTest, DetailsModeMarksTheSystemChangedAndPostsThePendingDetails) {
    for (int art : {1, 2}) {
        const int id = neu(art, 1);
        ansicht.calls.clear();
        CheckBox_SystemdetailsClick(k, true);
        EXPECT_EQ(dm.TdbTable_Systeme.text("Systemaenderung_erfolgt"), "t");
        ASSERT_FALSE(ansicht.calls.empty());
        EXPECT_EQ(ansicht.calls.back(),
                  art == 2 ? "systemdetailsFreigeben 01" : "systemdetailsFreigeben 11");

        dm.TdbTable_System_Daten.setInteger("Haeufigkeit_Anzahl_von", 4);
        dm.TdbTable_System_Angriffe.setInteger("Satz", 7);
        CheckBox_SystemdetailsClick(k, false);
        EXPECT_EQ(ansicht.calls.back(), "systemdetailsFreigeben 00");
        store::QueryCursor q("q", dm.TdbDatabase_Roulette);
        q.setSql(
            "SELECT Haeufigkeit_Anzahl_von, (SELECT Satz FROM System_Angriffe WHERE ID_System = ? "
            "AND ID_Angriff = '1'), (SELECT Systemaenderung_erfolgt FROM Systeme WHERE "
            "ID_System_AutoInc = ?) FROM System_Daten WHERE ID_System = ?",
            {Value(id), Value(id), Value(id)});
        q.open();
        EXPECT_EQ(q.value(0), Value(4)) << art;
        EXPECT_EQ(q.value(1), Value(7)) << art;
        EXPECT_EQ(q.value(2), Value("t")) << art;
    }
}

TEST_F(SystemeTest, SelectionAndKindChangesSwitchDetailsModeOff) {
    neu();
    CheckBox_SystemdetailsClick(k, true);
    dm.TdbTable_System_Daten.setInteger("Serien_von", 2);
    const struct {
        const char* ausloeser;
        void (*ausloesen)(kern::Kontext&);
    } faelle[] = {
        {"selection change",
         [](kern::Kontext& kk) {
             capture::Casino_Tisch_DatumChange(kk, capture::Ausloeser::Datumsauswahl);
         }},
        {"kind change", [](kern::Kontext& kk) { System_Art_Chancen_Waehlen(kk, 1, 1); }},
    };
    for (const auto& f : faelle) {
        ansicht.calls.clear();
        f.ausloesen(k);
        ASSERT_GE(ansicht.calls.size(), 2u) << f.ausloeser;
        EXPECT_EQ(ansicht.calls[0], "systemdetailsAus") << f.ausloeser;
        EXPECT_EQ(ansicht.calls[1], "systemdetailsFreigeben 00") << f.ausloeser;
        EXPECT_FALSE(dm.TdbTable_System_Daten.isEditing()) << f.ausloeser;
    }
    EXPECT_EQ(dm.TdbTable_System_Daten.integer("Serien_von"), 2);
}

TEST_F(SystemeTest, AKindOrChanceChangeShowsThatClassFromItsFirstSystemInInstanceOne) {
    const int a1 = neu(1, 1);
    nummer(5);
    const int a2 = neu(1, 1);
    nummer(2);
    const int b = neu(2, 1);
    Instanz_Waehlen(k, 3);
    wette(a1);

    auto& s = dm.TdbTable_Systeme;
    auto& s2 = dm.TdbTable_Systeme_2;
    const struct {
        int art;
        int chancen;
        int anzahl;
        int erstes;
    } faelle[] = {{1, 1, 2, a2}, {2, 1, 1, b}, {1, 2, 0, 0}, {1, 1, 2, a2}};
    for (const auto& f : faelle) {
        wette(a1);
        System_Art_Chancen_Waehlen(k, f.art, f.chancen);
        EXPECT_EQ(s.recordCount(), f.anzahl) << f.art << "/" << f.chancen;
        EXPECT_EQ(s2.recordCount(), f.anzahl) << f.art << "/" << f.chancen;
        EXPECT_EQ(s.integer("ID_System_AutoInc"), f.erstes) << f.art << "/" << f.chancen;
        EXPECT_EQ(dm.TdbTable_Wahl.integer("ID_Instanz"), 1);
        EXPECT_EQ(dm.TdbDatabase_Roulette.rowCount("Systeme_Abarbeitung"), 0);
        EXPECT_EQ(ansicht.kasten, f.anzahl > 0);
    }
    System_Art_Chancen_Waehlen(k, 2, 1);
    EXPECT_EQ(s.integer("ID_Instanz"), 1);  // it was left at instance 3
}

TEST_F(SystemeTest, EnteringTheSystemsListShowsInstanceOneAndEmptiesTheBets) {
    const int id = neu();
    Instanz_Waehlen(k, 2);
    wette(id);
    DBGrid_SystemeEnter(k);
    EXPECT_EQ(dm.TdbTable_Wahl.integer("ID_Instanz"), 1);
    EXPECT_EQ(dm.TdbTable_Systeme.integer("ID_Instanz"), 1);
    EXPECT_EQ(dm.TdbTable_System_Daten.integer("ID_Instanz"), 1);
    EXPECT_EQ(dm.TdbDatabase_Roulette.rowCount("Systeme_Abarbeitung"), 0);
    // A system without number keeps its instance and the bets.
    Instanz_Waehlen(k, 2);
    nummer(0);
    wette(id);
    DBGrid_SystemeEnter(k);
    EXPECT_EQ(dm.TdbTable_Systeme.integer("ID_Instanz"), 2);
    EXPECT_EQ(dm.TdbDatabase_Roulette.rowCount("Systeme_Abarbeitung"), 1);
}

// Two systems with rows in every table that belongs to a system.
class LoeschenTest : public SystemeTest {
  protected:
    LoeschenTest() {
        for (int* id : {&a, &b}) {
            *id = neu(2, 1);
            Ereignisfolge_Anfuegen(k, 1);
            Instanz_Waehlen(k, 2);
            Ereignisfolge_Anfuegen(k, 2);
            Ereignisfolge_Anfuegen(k, 3);
            Instanz_Waehlen(k, 1);
        }
        // After the systems: a kind change empties the bets.
        for (int* id : {&a, &b}) {
            for (const char* t : {"Individuell_1_Daten", "Individuell_2_Daten"}) {
                store::TableCursor c("c", dm.TdbDatabase_Roulette, t);
                c.open();
                c.appendRecord({Value(*id), Value(3)});
            }
            store::TableCursor u("u", dm.TdbDatabase_Roulette, "Systeme_Auswertungen_Ueberblick");
            u.open();
            u.appendRecord({Value(*id), Value(1), Value("T 01"),
                            Value(store::Date::fromYmd(2012, 3, 1)),
                            Value(store::Date::fromYmd(2012, 3, 1))});
            wette(*id);
            wette(*id);
        }
        dm.TdbTable_Systeme.locate("ID_System_AutoInc", {Value(a)});
    }

    // Rows per table of a system, in the order of kTabellen.
    std::vector<int> bestand(int id) {
        std::vector<int> n;
        for (const char* t : kTabellen) {
            n.push_back(zeilen(t, id));
        }
        return n;
    }

    static constexpr const char* kTabellen[] = {
        "System_Daten",        "System_Ereignisse",   "System_Angriffe",
        "Individuell_1_Daten", "Individuell_2_Daten", "Systeme_Auswertungen_Ueberblick",
        "Systeme_Abarbeitung"};
    const std::vector<int> voll = {2, 3, 104, 1, 1, 1, 2};
    int a = 0;
    int b = 0;
};

TEST_F(LoeschenTest, DeletingASystemRemovesAllItsRowsAndNothingOfOthers) {
    ASSERT_EQ(bestand(a), voll);
    ASSERT_EQ(bestand(b), voll);

    ui.answers = {false};
    EXPECT_FALSE(MenuItem_Systeme_LoeschenClick(k));
    EXPECT_EQ(bestand(a), voll);
    EXPECT_EQ(dm.TdbTable_Systeme.integer("ID_System_AutoInc"), a);

    sitzung.sprache = store::Sprache::Englisch;
    EXPECT_TRUE(MenuItem_Systeme_LoeschenClick(k));
    EXPECT_EQ(ui.asked, (std::vector<std::string>{"System wirklich löschen?", "System delete?"}));
    EXPECT_EQ(ui.askedDeletion, ui.asked);  // asked with No as the default
    EXPECT_EQ(bestand(a), std::vector<int>(7, 0));
    EXPECT_EQ(bestand(b), voll);
    // The cursors show what is left: the other system with its rows, and no stale bets.
    auto& s = dm.TdbTable_Systeme;
    EXPECT_EQ(s.recordCount(), 1);
    EXPECT_EQ(s.integer("ID_System_AutoInc"), b);
    EXPECT_EQ(dm.TdbTable_System_Angriffe.recordCount(), 52);
    EXPECT_EQ(dm.TdbTable_Individuell_Daten_1.integer("ID_System"), b);
    dm.TdbTable_Systeme_Abarbeitung.clearMasterLink();
    EXPECT_EQ(dm.TdbTable_Systeme_Abarbeitung.recordCount(), 2);

    EXPECT_TRUE(MenuItem_Systeme_LoeschenClick(k));
    EXPECT_EQ(bestand(b), std::vector<int>(7, 0));
    EXPECT_TRUE(s.isEmpty());
    EXPECT_FALSE(ansicht.kasten);
    EXPECT_FALSE(MenuItem_Systeme_LoeschenClick(k));  // nothing left to ask about
    EXPECT_EQ(ui.asked.size(), 3u);
}

TEST_F(LoeschenTest, AFailedDeletionLeavesTheSystemWholeAndTheCursorsShowingIt) {
    // A system without rows of its own, shown right after a: deleting a makes it current, and
    // its default rows are written inside the deletion.
    store::TableCursor c("c", dm.TdbDatabase_Roulette, "Systeme");
    c.open();
    c.appendRecord({Value(), Value(1), Value(1), Value(2), Value(1), Value("ohne Zeilen")});
    dm.TdbTable_Systeme.refresh();
    const struct {
        const char* wo;
        const char* ausloeser;
    } faelle[] = {
        {"deleting the system row", "BEFORE DELETE ON Systeme"},
        {"after the row left the cursor", "BEFORE INSERT ON System_Daten"},
    };
    auto& s = dm.TdbTable_Systeme;
    for (const auto& f : faelle) {
        ASSERT_TRUE(s.locate("ID_System_AutoInc", {Value(a)}));
        auto& db = dm.TdbDatabase_Roulette.connection();
        db.exec(std::string("CREATE TRIGGER gesperrt ") + f.ausloeser +
                " BEGIN SELECT RAISE(ABORT, 'gesperrt'); END");
        EXPECT_THROW(MenuItem_Systeme_LoeschenClick(k), store::StoreError) << f.wo;
        db.exec("DROP TRIGGER gesperrt");
        EXPECT_EQ(bestand(a), voll) << f.wo;
        EXPECT_EQ(bestand(b), voll) << f.wo;
        EXPECT_EQ(s.recordCount(), 3) << f.wo;
        ASSERT_TRUE(s.locate("ID_System_AutoInc", {Value(a)})) << f.wo;
        EXPECT_EQ(dm.TdbTable_System_Angriffe.recordCount(), 52) << f.wo;
        EXPECT_EQ(folge(), "1 x") << f.wo;
        EXPECT_EQ(dm.TdbTable_Individuell_Daten_2.recordCount(), 1) << f.wo;
        dm.TdbTable_Systeme_Abarbeitung.clearMasterLink();
        EXPECT_EQ(dm.TdbTable_Systeme_Abarbeitung.recordCount(), 4) << f.wo;
        dm.TdbTable_Systeme_Abarbeitung.setMasterLink(&dm.TdbTable_Permanenz,
                                                      {{"ID_Zahl", "Permanenz_ID_Zahl"}});
    }
}

}  // namespace
}  // namespace spinalyst::systems
