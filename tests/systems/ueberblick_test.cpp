// The overview of a system's past evaluations: the share of positive days and the average per
// day, their texts in both languages, the change warning and the reset.
#include "systems/ueberblick.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store/sqlite.h"
#include "systems/system.h"
#include "tests/systems/system_fixture.h"

namespace spinalyst::systems {
namespace {

using store::Value;

struct Auswertung {
    int tage;
    int positiv;
    int gewinnVerlust;
};

class UeberblickTest : public testing::SystemTest {
  protected:
    // Stores summary rows of a system as its evaluations leave them (one per date range) and lets
    // the overview cursor read them.
    void auswertungen(int idSystem, const std::vector<Auswertung>& zeilen) {
        int n = 0;
        for (const Auswertung& a : zeilen) {
            const store::Date bis = store::Date::fromYmd(2026, 3, 10 + n++);
            store::execute(dm.TdbDatabase_Roulette.connection(),
                           "INSERT INTO Systeme_Auswertungen_Ueberblick (ID_System, ID_Casino, "
                           "Tisch, Datum_von, Datum_bis, Casino_Name, Tage, Tage_positiv, "
                           "Gewinn_Verlust, Gewinn_Maximal, Verlust_Maximal, Coups_Anzahl, "
                           "Angriffe) VALUES (?, 1, 'T 01', ?, ?, 'Casino Nord', ?, ?, ?, 0, 0, "
                           "0, 0)",
                           {Value(idSystem), Value(bis.addDays(1 - a.tage)), Value(bis),
                            Value(a.tage), Value(a.positiv), Value(a.gewinnVerlust)});
        }
        dm.TdbTable_Systeme_Auswertungen_Ueberblick.refresh();
    }
    void waehlen(int idSystem) {
        ASSERT_TRUE(dm.TdbTable_Systeme.locate("ID_System_AutoInc", {Value(idSystem)}));
    }
};

TEST(UeberblickProzent, NearestIntegerWithExactHalvesToTheEvenNeighbour) {
    const struct {
        std::int64_t positiv, tage;
        int erwartet;
    } faelle[] = {
        {5, 8, 62},   // 62.5: down to the even 62
        {7, 8, 88},   // 87.5: up to the even 88
        {1, 8, 12},   // 12.5
        {3, 8, 38},   // 37.5
        {1, 3, 33},   // 33.33
        {2, 3, 67},   // 66.67
        {1, 200, 0},  // 0.5: down to 0
        {3, 200, 2},  // 1.5: up to 2
        {8, 8, 100}, {0, 8, 0}, {0, 0, 0}, {3, 0, 0},
    };
    for (const auto& f : faelle) {
        EXPECT_EQ(Prozent_Positiv(f.positiv, f.tage), f.erwartet) << f.positiv << "/" << f.tage;
    }
}

TEST_F(UeberblickTest, SharesAndAveragesOfTheSelectedSystemInBothLanguages) {
    const int a = neu();
    auswertungen(a, {{5, 3, 40}, {3, 2, -16}});
    const int b = neu();
    auswertungen(b, {{10, 1, -30}});

    const struct {
        const char* was;
        int system;  // 0: a system without evaluations
        store::Sprache sprache;
        char trenner;
        int prozent;
        const char* text;
    } faelle[] = {
        {"no evaluation stored", 0, store::Sprache::Deutsch, ',', 0,
         "0% der Tage positiv (+) - Durchschnitt 0,0 Stücke Gewinn (Verlust) / Tag"},
        {"5 of 8 days positive, 24 over 8 days", a, store::Sprache::Deutsch, ',', 62,
         "62% der Tage positiv (+) - Durchschnitt 3,0 Stücke Gewinn (Verlust) / Tag"},
        {"the same in English", a, store::Sprache::Englisch, '.', 62,
         "62% Days positive (+) - Average 3.0 Units profit (loss) / Day"},
        {"only the other system's row", b, store::Sprache::Deutsch, ',', 10,
         "10% der Tage positiv (+) - Durchschnitt -3,0 Stücke Gewinn (Verlust) / Tag"},
    };
    const int leer = neu();
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.was);
        waehlen(f.system == 0 ? leer : f.system);
        sitzung.sprache = f.sprache;
        const Ueberblick_Summen s = Ueberblick_Berechnen(k);
        EXPECT_EQ(s.prozent, f.prozent);
        EXPECT_EQ(Gesamtinfo_Text(k, s, f.trenner), f.text);
    }
    waehlen(a);
    const Ueberblick_Summen s = Ueberblick_Berechnen(k);
    EXPECT_EQ(s.tage, 8);
    EXPECT_EQ(s.tagePositiv, 5);
    EXPECT_EQ(s.gewinnVerlust, 24);
    EXPECT_DOUBLE_EQ(s.durchschnitt, 3.0);
}

TEST_F(UeberblickTest, AverageIsShownWithOneDecimalRounded) {
    Ueberblick_Summen s;
    s.prozent = 85;
    s.durchschnitt = 9.56;
    EXPECT_EQ(Gesamtinfo_Text(k, s, ','),
              "85% der Tage positiv (+) - Durchschnitt 9,6 Stücke Gewinn (Verlust) / Tag");
    // Halves away from zero, also for averages that binary fractions only come close to.
    const struct {
        double a;
        const char* text;
    } faelle[] = {{0.25, "0,3"},   {-0.25, "-0,3"}, {3.0 / 20, "0,2"}, {-0.04, "0,0"},
                  {-1.96, "-2,0"}, {12.04, "12,0"}, {0.0, "0,0"}};
    for (const auto& f : faelle) {
        s.durchschnitt = f.a;
        EXPECT_EQ(Gesamtinfo_Text(k, s, ','),
                  std::string("85% der Tage positiv (+) - Durchschnitt ") + f.text +
                      " Stücke Gewinn (Verlust) / Tag")
            << f.a;
    }
    s.durchschnitt = 9.56;
    sitzung.sprache = store::Sprache::Englisch;
    EXPECT_EQ(Gesamtinfo_Text(k, s, '.'),
              "85% Days positive (+) - Average 9.6 Units profit (loss) / Day");
}

TEST_F(UeberblickTest, CaptionNamesTheSelectedSystem) {
    neu();
    auto& s = dm.TdbTable_Systeme;
    s.setText("System_Name", "Rot nach Schwarz");
    s.post();
    EXPECT_EQ(Ueberblick_Titel(k), "   Systeme - Auswertungen Überblick  /  Rot nach Schwarz");
    sitzung.sprache = store::Sprache::Englisch;
    EXPECT_EQ(Ueberblick_Titel(k), "   Systems - Evaluations Overview  /  Rot nach Schwarz");
}

TEST_F(UeberblickTest, WarningAfterDetailsModeUntilTheResetWhichDeletesOnlyThisSystemsRows) {
    const int a = neu();
    auswertungen(a, {{5, 3, 40}, {3, 2, -16}});
    const int b = neu();
    auswertungen(b, {{10, 1, -30}});
    // B was switched to details mode too and keeps its warning.
    CheckBox_SystemdetailsClick(k, true);
    CheckBox_SystemdetailsClick(k, false);

    waehlen(a);
    EXPECT_FALSE(Systemaenderung_Hinweis(k));
    CheckBox_SystemdetailsClick(k, true);
    CheckBox_SystemdetailsClick(k, false);
    EXPECT_TRUE(Systemaenderung_Hinweis(k));

    BitBtn_LoeschenClick(k);
    EXPECT_TRUE(ui.asked.empty());
    EXPECT_FALSE(Systemaenderung_Hinweis(k));
    EXPECT_EQ(dm.TdbTable_Systeme_Auswertungen_Ueberblick.recordCount(), 0);
    EXPECT_EQ(zeilen("Systeme_Auswertungen_Ueberblick", a), 0);
    EXPECT_EQ(zeilen("Systeme_Auswertungen_Ueberblick", b), 1);
    const Ueberblick_Summen s = Ueberblick_Berechnen(k);
    EXPECT_EQ(s.prozent, 0);
    EXPECT_EQ(s.durchschnitt, 0.0);
    EXPECT_EQ(Gesamtinfo_Text(k, s, ','),
              "0% der Tage positiv (+) - Durchschnitt 0,0 Stücke Gewinn (Verlust) / Tag");

    // Stored, not only in the cursor.
    dm.TdbTable_Systeme.refresh();
    EXPECT_EQ(dm.TdbTable_Systeme.text("Systemaenderung_erfolgt"), "f");
    waehlen(b);
    EXPECT_TRUE(Systemaenderung_Hinweis(k));
    EXPECT_EQ(Ueberblick_Berechnen(k).tage, 10);

    // The warning comes back with the next switch to details mode.
    waehlen(a);
    CheckBox_SystemdetailsClick(k, true);
    EXPECT_TRUE(Systemaenderung_Hinweis(k));
}

}  // namespace
}  // namespace spinalyst::systems
