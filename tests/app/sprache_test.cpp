#include "app/core/sprache.h"

#include <gtest/gtest.h>

#include "store/datamodule.h"
#include "store/referenzdaten.h"
#include "tests/store/store_fixture.h"

namespace spinalyst::app {
namespace {

using store::Sprache;
using store::StoreError;
using store::Value;

// A fresh program directory with one system whose instance 1 has a frequency filter on event 1,
// a series filter on an event that does not exist and no absence filter, and a sequence of one
// event.
class SpracheTest : public ::testing::Test {
  protected:
    SpracheTest() {
        dm.open();
        auto& systeme = dm.TdbTable_Systeme;
        systeme.appendRecord(store::makeRow(systeme.table(), {{"ID_Instanz", 1},
                                                              {"ID_System_Nummer", 1},
                                                              {"ID_System_Art", 1},
                                                              {"ID_System_Chancen", 1},
                                                              {"System_Name", "Test"}}));
        auto& daten = dm.TdbTable_System_Daten;
        daten.append();
        daten.setInteger("ID_Ereignis_Haeufigkeit", 1);
        daten.setText("Ereignis_Haeufigkeit_Info", "alt H");
        daten.setInteger("ID_Ereignis_Serien", 9999);
        daten.setText("Ereignis_Serien_Info", "alt S");
        daten.setText("Ereignis_Rueckstaendigkeit_Info", "alt R");
        daten.setText("Setzart", "E");
        daten.post();
        auto& folge = dm.TdbTable_System_Ereignisse;
        folge.append();
        folge.setInteger("ID_Ereignis", 2);
        folge.setText("Angriff", "x");
        folge.post();
    }
    ~SpracheTest() override { dm.close(); }

    // Text of an event of the catalogue.
    std::string ereignis(int id, const char* feld) {
        EXPECT_TRUE(dm.TdbQuery_Ereignisse.locate("ID_Ereignis", {Value(id)}));
        return dm.TdbQuery_Ereignisse.text(feld);
    }

    void umschalten(Sprache sprache) {
        sitzung.sprache = sprache;
        Systemtexte_Sprache_Anwenden(dm, sprache);
    }

    store::testing::TempDir dir;
    kern::Sitzung sitzung;
    store::DataModule_Roulette dm{dir.path(), sitzung};
};

TEST_F(SpracheTest, infoTextsOfFoundEventsFollowTheLanguageOthersStay) {
    auto& daten = dm.TdbTable_System_Daten;
    umschalten(Sprache::Englisch);
    EXPECT_EQ(daten.text("Ereignis_Haeufigkeit_Info"), ereignis(1, "Ereignis_Info_Englisch"));
    EXPECT_EQ(daten.text("Ereignis_Serien_Info"), "alt S");
    EXPECT_EQ(daten.text("Ereignis_Rueckstaendigkeit_Info"), "alt R");
    EXPECT_FALSE(daten.isEditing());

    umschalten(Sprache::Deutsch);
    EXPECT_EQ(daten.text("Ereignis_Haeufigkeit_Info"), ereignis(1, "Ereignis_Info"));
    EXPECT_NE(ereignis(1, "Ereignis_Info"), ereignis(1, "Ereignis_Info_Englisch"));

    // Stored, not only in the cursor.
    daten.refresh();
    EXPECT_EQ(daten.text("Ereignis_Haeufigkeit_Info"), ereignis(1, "Ereignis_Info"));
}

TEST_F(SpracheTest, infoFieldsAreReadOnlyAfterTheSwitch) {
    umschalten(Sprache::Englisch);
    auto& daten = dm.TdbTable_System_Daten;
    for (const char* feld :
         {"Ereignis_Haeufigkeit_Info", "Ereignis_Serien_Info", "Ereignis_Rueckstaendigkeit_Info"}) {
        EXPECT_THROW(daten.setText(feld, "x"), StoreError) << feld;
    }
}

TEST_F(SpracheTest, calculatedEventNamesOfTheSequenceFollowTheLanguage) {
    auto& folge = dm.TdbTable_System_Ereignisse;
    umschalten(Sprache::Englisch);
    EXPECT_EQ(folge.text("Ereignis"), ereignis(2, "Ereignis_Englisch"));
    umschalten(Sprache::Deutsch);
    EXPECT_EQ(folge.text("Ereignis"), ereignis(2, "Ereignis"));
}

TEST_F(SpracheTest, withoutDataRowNothingIsWrittenAndNothingFails) {
    dm.TdbTable_System_Daten.close();
    EXPECT_NO_THROW(umschalten(Sprache::Englisch));
}

TEST_F(SpracheTest, startValuesOfTheSystemSelectionArePosted) {
    auto& wahl = dm.TdbTable_Wahl;
    wahl.edit();
    wahl.setInteger("ID_System_Art", 2);
    wahl.setInteger("ID_System_Chancen", 5);
    wahl.setInteger("ID_Instanz", 3);
    wahl.post();

    Systemwahl_Startwerte(wahl);
    EXPECT_FALSE(wahl.isEditing());
    wahl.refresh();
    EXPECT_EQ(wahl.integer("ID_System_Art"), 1);
    EXPECT_EQ(wahl.integer("ID_System_Chancen"), 1);
    EXPECT_EQ(wahl.integer("ID_Instanz"), 1);
}

}  // namespace
}  // namespace spinalyst::app
