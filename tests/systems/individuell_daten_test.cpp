// The parameter rows of the individual rules as their windows work them: the menu check of the
// current system and the empty row created on the first opening.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "systems/individuell.h"
#include "tests/systems/system_fixture.h"

namespace spinalyst::systems {
namespace {

using store::Value;

class IndividuellDatenTest : public testing::SystemTest {};

TEST_F(IndividuellDatenTest, MenuOpensTheWindowOnlyForTheIndividualSystemOfItsNumber) {
    const int standard = neu(kArtStandard, 1);
    const int eins = neu(kArtIndividuell, 1);
    const int zwei = neu(kArtIndividuell, 1);
    ASSERT_EQ(dm.TdbTable_Systeme.integer("ID_System_Nummer"), 2);

    const struct {
        const char* was;
        int art, system, menue;
        store::Sprache sprache;
        const char* meldung;  // nullptr: the window opens
    } faelle[] = {
        {"rule 1, system 1", kArtIndividuell, eins, 1, store::Sprache::Deutsch, nullptr},
        {"rule 2, system 2", kArtIndividuell, zwei, 2, store::Sprache::Deutsch, nullptr},
        {"rule 1 asked for system 2", kArtIndividuell, zwei, 1, store::Sprache::Deutsch,
         "Richtiges System \"Individuell\" wählen!"},
        {"rule 2 asked for system 1", kArtIndividuell, eins, 2, store::Sprache::Englisch,
         "Correct system \"Individual\" selected!?"},
        {"a standard system numbered 1", kArtStandard, standard, 1, store::Sprache::Deutsch,
         "Richtiges System \"Individuell\" wählen!"},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.was);
        System_Art_Chancen_Waehlen(k, f.art, 1);
        ASSERT_TRUE(dm.TdbTable_Systeme.locate("ID_System_AutoInc", {Value(f.system)}));
        sitzung.sprache = f.sprache;
        ui.informed.clear();
        const bool offen = f.menue == 1 ? MenuItem_Individuell_Satzsignale_1Click(k)
                                        : MenuItem_Individuell_Satzsignale_2Click(k);
        EXPECT_EQ(offen, f.meldung == nullptr);
        EXPECT_EQ(ui.informed, f.meldung == nullptr ? std::vector<std::string>{}
                                                    : std::vector<std::string>{f.meldung});
    }
}

TEST_F(IndividuellDatenTest, FirstOpeningCreatesAnEmptyRowOnceAndClosingPostsTheEdit) {
    const int eins = neu(kArtIndividuell, 1);
    const int zwei = neu(kArtIndividuell, 1);
    auto& d1 = dm.TdbTable_Individuell_Daten_1;
    auto& d2 = dm.TdbTable_Individuell_Daten_2;

    // System 2 shown: window (1) would be refused by the menu and creates nothing.
    Individuell_Fenster_Zeigen(k, 1);
    EXPECT_EQ(zeilen("Individuell_1_Daten", zwei), 0);

    for (int mal = 0; mal < 2; ++mal) {
        Individuell_Fenster_Zeigen(k, 2);
        EXPECT_EQ(zeilen("Individuell_2_Daten", zwei), 1);
        EXPECT_EQ(d2.recordCount(), 1);
        EXPECT_EQ(d2.integer("ID_System"), zwei);
        EXPECT_TRUE(d2.isNull("Anzahl_Ereignisse"));
        EXPECT_TRUE(d2.isNull("Chance"));
        Individuell_Fenster_Schliessen(k, 2);
    }

    ASSERT_TRUE(dm.TdbTable_Systeme.locate("ID_System_AutoInc", {Value(eins)}));
    Individuell_Fenster_Zeigen(k, 1);
    Individuell_Fenster_Zeigen(k, 1);
    EXPECT_EQ(zeilen("Individuell_1_Daten", eins), 1);
    EXPECT_EQ(zeilen("Individuell_2_Daten", eins), 0);
    for (const char* feld :
         {"Anzahl_Ereignisse", "Chance", "Anzahl_Coups_zurueck", "Anzahl_Coups_rueckstaendig"}) {
        EXPECT_TRUE(d1.isNull(feld)) << feld;
    }
    d1.setInteger("Anzahl_Ereignisse", 2);
    d1.setInteger("Anzahl_Coups_zurueck", 10);
    d1.setInteger("Anzahl_Coups_rueckstaendig", 2);
    Individuell_Fenster_Schliessen(k, 1);
    EXPECT_FALSE(d1.isEditing());

    store::QueryCursor q("q", dm.TdbDatabase_Roulette);
    q.setSql(
        "SELECT Anzahl_Ereignisse, Chance, Anzahl_Coups_zurueck, Anzahl_Coups_rueckstaendig "
        "FROM Individuell_1_Daten WHERE ID_System = ?",
        {Value(eins)});
    q.open();
    EXPECT_EQ(q.value(0).toInt(), 2);
    EXPECT_TRUE(q.value(1).isNull());
    EXPECT_EQ(q.value(2).toInt(), 10);
    EXPECT_EQ(q.value(3).toInt(), 2);
}

}  // namespace
}  // namespace spinalyst::systems
