#include "mining/uebernahme.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mining/ergebnisse.h"
#include "tests/mining/ergebnis_fixture.h"

namespace spinalyst::mining {

namespace {

using store::Value;

// A data-mining system of chance class 1 in instance 1, with stakes in the rows "5", "G" and
// "V", and a result: frequency plain on event 4, series off with event 7, absence not varied;
// the sequence 3 (one coup before) and not 9 (two coups before); attacked event 4; kind "E",
// length 3. The snapshot of the run in `Wahl` counts 0 to 2 hits over 1 to 5 coups.
class UebernahmeTest : public testing::ErgebnisTest {
  protected:
    UebernahmeTest() {
        systems::System_Art_Chancen_Waehlen(k, systems::kArtDataMining, 1);
        system = systems::MenuItem_Systeme_AufnahmeClick(k);
        store::execute(roulette(),
                       "UPDATE System_Angriffe SET Satz = CASE ID_Angriff WHEN 'G' THEN 70 "
                       "WHEN 'V' THEN 80 WHEN '5' THEN 99 ELSE NULL END WHERE ID_System = ?",
                       {Value(system)});
        store::execute(roulette(),
                       "UPDATE System_Daten SET Ereignisfolge_Angriff_OK_von = 1, "
                       "Ereignisfolge_Filterung_aktiv = 't', Setzart = 'P', "
                       "ID_Ereignis_Rueckstaendigkeit = 5, Ereignis_Rueckstaendigkeit_Info = 'alt' "
                       "WHERE ID_System = ?",
                       {Value(system)});
        systems::Systemcursoren_Auffrischen(dm);
        store::TableCursor& w = dm.TdbTable_Wahl;
        const std::vector<std::pair<const char*, int>> zahlen = {
            {"DM_Haeufigkeit_Anzahl_von", 0},
            {"DM_Haeufigkeit_Anzahl_bis", 2},
            {"DM_Haeufigkeit_Coups_zurueck_von", 1},
            {"DM_Haeufigkeit_Coups_zurueck_bis", 5},
            {"DM_Serien_Anzahl_von", 1},
            {"DM_Serien_Anzahl_bis", 1},
            {"DM_Serien_von", 2},
            {"DM_Serien_bis", 3},
            {"DM_Serien_Coups_zurueck_von", 0},
            {"DM_Serien_Coups_zurueck_bis", 9},
            {"DM_Rueckstaendigkeit_Anzahl_von", 0},
            {"DM_Rueckstaendigkeit_Anzahl_bis", 0},
            {"DM_Rueckstaendigkeit_Coups_zurueck_von", 0},
            {"DM_Rueckstaendigkeit_Coups_zurueck_bis", 0}};
        for (const auto& [feld, wert] : zahlen) {
            w.setInteger(feld, wert);
        }
        w.setText("DM_Haeufigkeit_vor_Ereignisfolge", "t");
        w.setText("DM_Serien_vor_Ereignisfolge", "f");
        w.setText("DM_Rueckstaendigkeit_vor_Ereignisfolge", "f");
        w.post();
        Kombination(1, 4, "f", "t", 7, "f", "f", 0, "f", "f");
        const std::int64_t f = Folge(10001, 3, 109);
        Ergebnis(1, f, "E", 4, 3, 5, 3, 60.0, 9);
        Ergebnis(1, f, "1", 4, 1, 5, 3, 60.0, 2);
        Auffrischen();
        Auswahl(1, 3, "E", "W", 0);
    }

    std::string Daten() {
        return Zeilen(roulette(),
                      "SELECT ID_Ereignis_Haeufigkeit, Ereignis_Haeufigkeit_Info, "
                      "Haeufigkeit_Anzahl_von, Haeufigkeit_Anzahl_bis, Haeufigkeit_ungleich, "
                      "Haeufigkeit_Coups_zurueck_von, Haeufigkeit_Coups_zurueck_bis, "
                      "Haeufigkeit_vor_Ereignisfolge, Haeufigkeit_Filterung_aktiv FROM "
                      "System_Daten WHERE ID_Instanz = 1 AND ID_System = " +
                          std::to_string(system)) +
               "/ " +
               Zeilen(roulette(),
                      "SELECT ID_Ereignis_Serien, Ereignis_Serien_Info, Serien_Anzahl_von, "
                      "Serien_Anzahl_bis, Serien_von, Serien_bis, Serien_ungleich, "
                      "Serien_Coups_zurueck_von, Serien_Coups_zurueck_bis, "
                      "Serien_vor_Ereignisfolge, Serien_Filterung_aktiv FROM System_Daten WHERE "
                      "ID_Instanz = 1 AND ID_System = " +
                          std::to_string(system)) +
               "/ " +
               Zeilen(roulette(),
                      "SELECT ID_Ereignis_Rueckstaendigkeit, Ereignis_Rueckstaendigkeit_Info, "
                      "Rueckstaendigkeit_Filterung_aktiv, Ereignisfolge_Angriff_OK_von, "
                      "Ereignisfolge_Angriff_OK_bis, Ereignisfolgen_zurueck_von, "
                      "Ereignisfolgen_zurueck_bis, Ereignisfolge_ungleich, "
                      "Ereignisfolge_Filterung_aktiv, Setzart FROM System_Daten WHERE "
                      "ID_Instanz = 1 AND ID_System = " +
                          std::to_string(system));
    }
    std::string Ereignisse() {
        return Zeilen(roulette(),
                      "SELECT ID_Ereignis, Angriff FROM System_Ereignisse WHERE ID_Instanz = 1 "
                      "AND ID_System = " +
                          std::to_string(system) + " ORDER BY Nr_Ereignis");
    }
    std::string Einsaetze() {
        return Zeilen(roulette(),
                      "SELECT ID_Angriff, Satz FROM System_Angriffe WHERE ID_Instanz = 1 AND "
                      "ID_System = " +
                          std::to_string(system) + " AND Satz IS NOT NULL ORDER BY rowid");
    }
    std::string Alles() {
        return Zeilen(roulette(), "SELECT * FROM System_Daten") +
               Zeilen(roulette(), "SELECT * FROM System_Ereignisse") +
               Zeilen(roulette(), "SELECT * FROM System_Angriffe");
    }
    std::string Einsatz(int schritt) {
        return Zeilen(dmModul(),
                      "SELECT Satz FROM DM_Angriff WHERE ID_Chance = 1 AND "
                      "Art_Angriff = 'E' AND ID_Angriff = " +
                          std::to_string(schritt));
    }
    std::string Info(int e) { return katalog.info(e, store::Sprache::Deutsch); }

    std::int64_t system = 0;
};

TEST_F(UebernahmeTest, TakesFiltersSequenceStakesAndKindOver) {
    BitBtn_Anzeige_ErgebnisseClick(k, '.');
    ASSERT_EQ(BitBtn_UebernahmeClick(k, system, katalog), Uebernahmeergebnis::Uebernommen);
    EXPECT_EQ(Daten(), "4|" + Info(4) + "|0|2|f|1|5|t|t / 7|" + Info(7) +
                           "|1|1|2|3|f|0|9|f|f / ~|~|f|~|~|~|~|f|f|E ");
    EXPECT_EQ(Ereignisse(), "9|<> 3|~ 4|x ");
    // The stakes of the rows (1, "E", 1..3); "5" cleared, "G" and "V" kept.
    const auto satz = [this](int s) {
        std::string t = Einsatz(s);
        return t.substr(0, t.size() - 1);
    };
    EXPECT_EQ(Einsaetze(), "1|" + satz(1) + " 2|" + satz(2) + " 3|" + satz(3) + " G|70 V|80 ");
    EXPECT_TRUE(ui.informed.empty());
    // The cursors show it.
    EXPECT_EQ(dm.TdbTable_System_Daten.text("Setzart"), "E");
    EXPECT_EQ(dm.TdbTable_System_Ereignisse.recordCount(), 3);
}

TEST_F(UebernahmeTest, MinusOneClearsAFieldAMissingStakeRowOfTheSystemIsAdded) {
    store::TableCursor& w = dm.TdbTable_Wahl;
    w.setInteger("DM_Haeufigkeit_Coups_zurueck_von", -1);
    w.post();
    store::execute(roulette(), "DELETE FROM System_Angriffe WHERE ID_Angriff = '2'");
    systems::Systemcursoren_Auffrischen(dm);
    BitBtn_Anzeige_ErgebnisseClick(k, '.');
    ASSERT_EQ(BitBtn_UebernahmeClick(k, system, katalog), Uebernahmeergebnis::Uebernommen);
    EXPECT_EQ(Daten().substr(0, Daten().find(" /")), "4|" + Info(4) + "|0|2|f|~|5|t|t");
    EXPECT_NE(Einsaetze().find("2|"), std::string::npos);
}

TEST_F(UebernahmeTest, FromTheSingleCoupProfileKindAndStakesComeFromTheSelection) {
    BitBtn_Anzeige_ErgebnisseClick(k, '.');
    DBGrid_AuswertungDblClick(k, '.');
    ASSERT_EQ(dm.TdbQuery_DM_Ergebnisse.text("Art"), "1");
    ASSERT_EQ(BitBtn_UebernahmeClick(k, system, katalog), Uebernahmeergebnis::Uebernommen);
    EXPECT_EQ(Ereignisse(), "9|<> 3|~ 4|x ");
    EXPECT_EQ(dm.TdbTable_System_Daten.text("Setzart"), "E");
    EXPECT_EQ(Zeilen(roulette(),
                     "SELECT count(*) FROM System_Angriffe WHERE Satz IS NOT NULL "
                     "AND ID_Angriff NOT IN ('G', 'V')"),
              "3 ");
}

TEST_F(UebernahmeTest, RefusalsChangeNothing) {
    const std::string vorher = Alles();
    // The list is not open.
    EXPECT_EQ(BitBtn_UebernahmeClick(k, system, katalog), Uebernahmeergebnis::Nichts);
    BitBtn_Anzeige_ErgebnisseClick(k, '.');
    DBLookup_AuswertungEnter(k);
    EXPECT_EQ(BitBtn_UebernahmeClick(k, system, katalog), Uebernahmeergebnis::Nichts);
    EXPECT_TRUE(ui.informed.empty());

    // The chance class of the main window differs from the selection's, in both languages; the
    // candidate tables were counted again; `DM_Angriff` lacks a stake.
    const auto systemchance = [this](int chance) {
        dm.TdbTable_Wahl.setInteger("ID_System_Chancen", chance);
        dm.TdbTable_Wahl.post();
    };
    struct Fall {
        const char* name;
        std::function<void()> vorbereiten;
        std::function<void()> aufraeumen;
        std::string meldung;
    };
    const std::vector<Fall> faelle = {
        {"chance class of the main window", [&] { systemchance(2); }, [&] { systemchance(1); },
         "Chance Angriff <> Chance System Hauptdialog!"},
        {"in English",
         [&] {
             sitzung.sprache = store::Sprache::Englisch;
             systemchance(5);
         },
         [&] {
             sitzung.sprache = store::Sprache::Deutsch;
             systemchance(1);
         },
         "Chance attack <> Chance System main dialog!"},
        {"combination gone", [this] { store::execute(dmModul(), "DELETE FROM DM_HSR"); },
         [this] { Kombination(1, 4, "f", "t", 7, "f", "f", 0, "f", "f"); },
         "Das Muster ist nicht mehr vorhanden: die Kombinationen wurden seit der "
         "Mustererkennung neu gezählt!"},
        {"stake row gone",
         [this] {
             store::execute(dmModul(),
                            "DELETE FROM DM_Angriff WHERE ID_Chance = 1 AND "
                            "Art_Angriff = 'E' AND ID_Angriff = 3");
         },
         [] {}, "Kein Einsatz in DM_Angriff für Chance 1, Art E, Angriff 3!"},
    };
    for (const Fall& f : faelle) {
        ui.informed.clear();
        f.vorbereiten();
        BitBtn_Anzeige_ErgebnisseClick(k, '.');
        EXPECT_EQ(BitBtn_UebernahmeClick(k, system, katalog), Uebernahmeergebnis::Abgelehnt)
            << f.name;
        EXPECT_EQ(ui.informed, std::vector<std::string>{f.meldung}) << f.name;
        EXPECT_EQ(Alles(), vorher) << f.name;
        f.aufraeumen();
    }
}

}  // namespace
}  // namespace spinalyst::mining
