#include "mining/fenster_daten.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mining/kandidaten.h"
#include "systems/system.h"
#include "tests/support/kontext_fixture.h"

namespace spinalyst::mining {
namespace {

using store::Value;

class FensterDatenTest : public spinalyst::testing::KontextTest {
  protected:
    FensterDatenTest() { systems::Systemhaken_Installieren(k); }

    // A new system of the kind and chance class, made current as the panel's "Neu" does.
    std::int64_t SystemAnlegen(int art, int chancen = 1) {
        systems::System_Art_Chancen_Waehlen(k, art, chancen);
        return systems::MenuItem_Systeme_AufnahmeClick(k);
    }

    // Fills the filters of the current system's instance-1 data row: frequency complete on
    // event 3, series without its longest series, absence complete on event 130.
    void FilterSetzen() {
        store::TableCursor& d = dm.TdbTable_System_Daten;
        for (const char* f :
             {"Haeufigkeit_Anzahl_von", "Haeufigkeit_Anzahl_bis", "Haeufigkeit_Coups_zurueck_von",
              "Haeufigkeit_Coups_zurueck_bis", "Serien_Anzahl_von", "Serien_Anzahl_bis",
              "Serien_von", "Serien_Coups_zurueck_von", "Serien_Coups_zurueck_bis",
              "Rueckstaendigkeit_Anzahl_von", "Rueckstaendigkeit_Anzahl_bis",
              "Rueckstaendigkeit_Coups_zurueck_von", "Rueckstaendigkeit_Coups_zurueck_bis"}) {
            d.setInteger(f, 2);
        }
        d.setInteger("ID_Ereignis_Haeufigkeit", 3);
        d.setText("Ereignis_Haeufigkeit_Info", "Rot");
        d.setInteger("ID_Ereignis_Serien", 5);
        d.setText("Ereignis_Serien_Info", "Gerade");
        d.setInteger("ID_Ereignis_Rueckstaendigkeit", 130);
        d.setText("Ereignis_Rueckstaendigkeit_Info", "13");
        // Left pending: the menu check posts it.
    }
};

TEST_F(FensterDatenTest, MenueOeffnetNurBeiDataMiningSystemInInstanz1) {
    struct Fall {
        const char* name;
        int art;          // kind chosen (a system is created in it unless `ohneSystem`)
        bool ohneSystem;  // the list of that kind is left empty
        int instanz;      // instance chosen afterwards
        bool englisch;
        bool oeffnet;
    };
    const std::vector<Fall> faelle = {
        {"data mining, instance 1", systems::kArtDataMining, false, 1, false, true},
        {"standard system", systems::kArtStandard, false, 1, false, false},
        {"individual system", systems::kArtIndividuell, false, 1, true, false},
        {"no system selected", systems::kArtDataMining, true, 1, false, false},
        {"instance 2", systems::kArtDataMining, false, 2, true, false},
        {"instance 3", systems::kArtDataMining, false, 3, false, false},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.name);
        sitzung.sprache = f.englisch ? store::Sprache::Englisch : store::Sprache::Deutsch;
        if (f.ohneSystem) {
            systems::System_Art_Chancen_Waehlen(k, f.art, 35);
        } else {
            SystemAnlegen(f.art);
        }
        systems::Instanz_Waehlen(k, f.instanz);
        ui.informed.clear();
        EXPECT_EQ(MenuItem_DataMiningClick(k), f.oeffnet);
        const std::vector<std::string> erwartet =
            f.oeffnet ? std::vector<std::string>{}
            : f.englisch
                ? std::vector<std::string>{"System Group Data Mining / System (Instance = 1) "
                                           "selected!?"}
                : std::vector<std::string>{
                      "Systemgruppe Data Mining / System (Instanz = 1) wählen oder anlegen!"};
        EXPECT_EQ(ui.informed, erwartet);
    }
}

TEST_F(FensterDatenTest, OeffnenStelltZweitenCursorAufDasSystemUndGibtZeilenFrei) {
    const std::int64_t anderes = SystemAnlegen(systems::kArtDataMining);
    const std::int64_t system = SystemAnlegen(systems::kArtDataMining);
    ASSERT_NE(anderes, system);
    FilterSetzen();
    store::TableCursor& w = dm.TdbTable_Wahl;
    w.setDate("DM_Datum_von", store::Date::fromYmd(2026, 3, 2));
    w.setValue("DM_Datum_bis", Value());
    w.post();
    ASSERT_TRUE(MenuItem_DataMiningClick(k));
    dm.TdbTable_Systeme_2.first();

    const std::optional<Parameterseite> seite = Data_Mining_FormShow(k);
    ASSERT_TRUE(seite);
    EXPECT_EQ(seite->system, system);
    EXPECT_EQ(seite->datumVon, store::Date::fromYmd(2026, 3, 2));
    EXPECT_EQ(seite->datumBis, std::nullopt);
    // The series lacks its longest series: its row stays closed.
    EXPECT_EQ(seite->zeileFrei, (std::array<bool, 3>{true, false, true}));
    EXPECT_EQ(seite->beschriftung, (std::array<std::string, 3>{"Rot ...", "Gerade ...", "13 ..."}));
    EXPECT_EQ(dm.TdbTable_Systeme_2.value("ID_System_AutoInc").toInt64(), system);
    EXPECT_EQ(dm.TdbTable_System_Daten_2.integer("ID_Ereignis_Haeufigkeit"), 3);
    EXPECT_EQ(dm.TdbTable_System_Daten_2.integer("ID_Instanz"), 1);
}

TEST_F(FensterDatenTest, OeffnenOhneFilterLaesstAlleZeilenZu) {
    SystemAnlegen(systems::kArtDataMining);
    const std::optional<Parameterseite> seite = Data_Mining_FormShow(k);
    ASSERT_TRUE(seite);
    EXPECT_EQ(seite->zeileFrei, (std::array<bool, 3>{false, false, false}));
    EXPECT_EQ(seite->beschriftung, (std::array<std::string, 3>{" ...", " ...", " ..."}));
    // Without a system selected the window has nothing to show.
    systems::System_Art_Chancen_Waehlen(k, systems::kArtDataMining, 35);
    EXPECT_FALSE(Data_Mining_FormShow(k));
}

TEST_F(FensterDatenTest, SchliessenSpeichertDenZeitraumUndDieOptionen) {
    const std::int64_t system = SystemAnlegen(systems::kArtDataMining);
    store::TableCursor& w = dm.TdbTable_Wahl;
    w.setText("DM_Serien_aktiv", "t");
    Data_Mining_FormClose(k, store::Date::fromYmd(2026, 1, 5), store::Date::fromYmd(2026, 2, 6));
    EXPECT_FALSE(w.isEditing());
    const std::optional<Parameter> p = Parameter_Laden(dm.TdbDatabase_Roulette, system);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->datumVon, store::Date::fromYmd(2026, 1, 5));
    EXPECT_EQ(p->datumBis, store::Date::fromYmd(2026, 2, 6));
    EXPECT_TRUE(p->option(Filterart::Serien).aktiv);
    Data_Mining_FormClose(k, std::nullopt, std::nullopt);
    EXPECT_EQ(Parameter_Laden(dm.TdbDatabase_Roulette, system)->datumVon, std::nullopt);
}

// The count follows the controls before anything is posted, and is exact beyond 32 bits.
TEST_F(FensterDatenTest, AnzahlAusDenUngespeichertenOptionen) {
    const std::int64_t system = SystemAnlegen(systems::kArtDataMining);
    FilterSetzen();
    ASSERT_TRUE(MenuItem_DataMiningClick(k));
    const Parameter gespeichert = *Parameter_Laden(dm.TdbDatabase_Roulette, system);
    store::TableCursor& w = dm.TdbTable_Wahl;
    // From a stored state without sequences (the shipped one has sequences of one 1:1 event).
    w.setInteger("DM_Ereignisfolge_Anzahl", 0);
    w.setText("DM_Ereignisfolge_11", "f");
    w.post();

    struct Fall {
        const char* name;
        std::vector<std::pair<const char*, Value>> felder;
        std::int64_t anzahl;
        const char* deutsch;
        const char* englisch;
    };
    const std::vector<Fall> faelle = {
        {"nothing varied, no sequence", {}, 1, "1 Kombinationen", "1 Combinations"},
        {"frequency on its event",
         {{"DM_Haeufigkeit_aktiv", Value("t")}},
         3,
         "3 Kombinationen",
         "3 Combinations"},
        {"frequency over the class of event 3",
         {{"DM_Haeufigkeit_Ereignisse_alle", Value("t")}},
         13,
         "13 Kombinationen",
         "13 Combinations"},
        {"and sequences of one 1:1 event",
         {{"DM_Ereignisfolge_Anzahl", Value(std::int64_t{1})}, {"DM_Ereignisfolge_11", Value("t")}},
         78,
         "78 Kombinationen",
         "78 Combinations"},
        {"5:1 with negation, length 5",
         {{"DM_Ereignisfolge_Anzahl", Value(std::int64_t{5})},
          {"DM_Ereignisfolge_51", Value("t")},
          {"DM_Ereignisfolge_ungleich", Value("t")}},
         std::int64_t{13} * 205962976,
         "2677518688 Kombinationen",
         "2677518688 Combinations"},
        {"no sequence class left",
         {{"DM_Ereignisfolge_11", Value("f")}, {"DM_Ereignisfolge_51", Value("f")}},
         13,
         "13 Kombinationen",
         "13 Combinations"},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.name);
        for (const auto& [feld, wert] : f.felder) {
            w.setValue(feld, wert);
        }
        EXPECT_EQ(w.isEditing(), !f.felder.empty());
        const std::int64_t n = Kombinationen_Anzahl(Parameter_Aus_Wahl(w, gespeichert));
        EXPECT_EQ(n, f.anzahl);
        EXPECT_EQ(Kombinationen_Text(n, false), f.deutsch);
        EXPECT_EQ(Kombinationen_Text(n, true), f.englisch);
    }
    EXPECT_EQ(Kombinationen_Frage(13, false), "13 Kombinationen!\nBerechnung Starten?");
    EXPECT_EQ(Kombinationen_Frage(13, true), "13 Combinations!\nCalculations start?");
}

TEST_F(FensterDatenTest, TitelMitDemLetztenLauf) {
    const auto datum = [](store::Date d) { return d.german(); };
    store::TableCursor& w = dm.TdbTable_Wahl;
    w.setValue("DM_Coups_letztes_DM", Value());
    EXPECT_EQ(Data_Mining_Titel(w, false, datum), "  Data Mining");
    w.setText("DM_Casino_letztes_DM", "Casino Nord");
    w.setText("DM_Tisch_letztes_DM", "T 01");
    w.setDate("DM_Datum_von_letztes_DM", store::Date::fromYmd(2026, 3, 1));
    w.setDate("DM_Datum_bis_letztes_DM", store::Date::fromYmd(2026, 3, 30));
    w.setInteger("DM_Tage_letztes_DM", 30);
    w.setInteger("DM_Coups_letztes_DM", 201);
    EXPECT_EQ(Data_Mining_Titel(w, false, datum),
              "  Data Mining (letzte Mustererkennung: Casino Nord, T 01, 01.03.2026 - 30.03.2026, "
              "30 Tage, 200 Coups)");
    EXPECT_EQ(Data_Mining_Titel(w, true, datum),
              "  Data Mining (last Pattern Recognition: Casino Nord, T 01, 01.03.2026 - "
              "30.03.2026, 30 Days, 200 Coups)");
}

TEST(EreignisfolgeAnzeige, KlickZeigtKleinereKlassenMitOhneIhreFlaggen) {
    using K = Folgeklasse;
    struct Klick {
        K box;
        bool angehakt;
    };
    struct Fall {
        const char* name;
        std::vector<Klick> klicks;
        std::array<bool, 3> gespeichert;  // flags after the clicks, order 1:1, 2:1, 5:1
        std::array<bool, 3> angezeigt;
    };
    const std::vector<Fall> faelle = {
        {"nothing clicked", {}, {false, false, true}, {false, false, true}},
        {"5:1 checked", {{K::K51, true}}, {false, false, true}, {true, true, true}},
        {"2:1 checked", {{K::K21, true}}, {false, true, false}, {true, true, false}},
        {"5:1 checked then unchecked",
         {{K::K51, true}, {K::K51, false}},
         {false, false, false},
         {true, true, false}},
        {"2:1 shown by 5:1, then unchecked by the user",
         {{K::K51, true}, {K::K21, false}},
         {false, false, true},
         {true, false, true}},
        {"2:1 unchecked leaves 1:1 as 5:1 showed it",
         {{K::K51, true}, {K::K21, true}, {K::K21, false}},
         {false, false, true},
         {true, false, true}},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.name);
        Ereignisfolge_Anzeige anzeige;
        for (const Klick& klick : f.klicks) {
            anzeige.DBCheckBox_EreignisfolgeClick(klick.box, klick.angehakt);
        }
        EXPECT_EQ(anzeige.angezeigt(f.gespeichert), f.angezeigt);
    }
}

}  // namespace
}  // namespace spinalyst::mining
