#include "capture/auswahl.h"

#include <gtest/gtest.h>

#include "capture/eingabe.h"
#include "tests/support/kontext_fixture.h"

namespace spinalyst::capture {
namespace {

using store::Date;
using store::Value;

class AuswahlTest : public testing::KontextTest {
  protected:
    // Creates a casino through the casino window and selects it; returns its key.
    int neuesCasino() {
        Casino_Fenster_Zeigen(k);
        const int id = BitBtn_NeuClick(k);
        BitBtn_OKClick(k);
        return id;
    }

    void tagesZeile(int casino, const char* tisch, Date datum) {
        store::TableCursor t("t", dm.TdbDatabase_Roulette, "Permanenz_Tag_Zusammenfassung");
        t.open();
        t.appendRecord({Value(casino), Value(tisch), Value(datum), Value(), Value(), Value(),
                        Value(), Value(0)});
    }

    void waehleCasino(int casino) {
        auto& w = dm.TdbTable_Wahl;
        w.edit();
        w.setInteger("ID_Casino", casino);
        Casino_Tisch_DatumChange(k, Ausloeser::CasinoListe);
    }

    const Date tag = Date::fromYmd(2012, 3, 1);
};

TEST_F(AuswahlTest, ACasinoChangeChoosesTheTableOfItsFirstStretch) {
    const int a = neuesCasino();
    const int b = neuesCasino();
    tagesZeile(b, "T 07", tag);
    tagesZeile(b, "T 03", tag);
    auto& w = dm.TdbTable_Wahl;
    w.edit();
    w.setInteger("ID_Casino", b);
    w.setText("Tisch", "T 07");
    w.post();
    Tisch_Datum_Aktualisieren(k);
    w.edit();
    w.setText("Tisch", "T 03");
    w.post();
    Tisch_Datum_Aktualisieren(k);

    struct Case {
        int casino;
        const char* vorher;
        const char* tisch;
    } cases[] = {
        {a, "T 12", "T 01"}, {b, "T 12", "T 07"}, {b, "T 03", "T 07"}, {a, "T 07", "T 01"}};
    for (const auto& c : cases) {
        w.edit();
        w.setText("Tisch", c.vorher);
        w.post();
        waehleCasino(c.casino);
        EXPECT_EQ(w.integer("ID_Casino"), c.casino);
        EXPECT_EQ(w.text("Tisch"), c.tisch) << c.casino << " " << c.vorher;
    }
    // Changing only the gaming table or the day keeps the rest.
    w.edit();
    w.setText("Tisch", "T 09");
    Casino_Tisch_DatumChange(k, Ausloeser::TischListe);
    EXPECT_EQ(w.text("Tisch"), "T 09");
    EXPECT_EQ(w.integer("ID_Casino"), a);
    sitzung.gewaehlter_tag = tag.addDays(3);
    Casino_Tisch_DatumChange(k, Ausloeser::Datumsauswahl);
    EXPECT_EQ(w.text("Tisch"), "T 09");
    EXPECT_EQ(w.date("Datum"), tag.addDays(3));
}

TEST_F(AuswahlTest, EverySelectionChangeResetsTheSettingsAndEmptiesTheBets) {
    neuesCasino();
    auto& w = dm.TdbTable_Wahl;
    for (auto ausloeser : {Ausloeser::Hauptfenster, Ausloeser::CasinoListe, Ausloeser::TischListe,
                           Ausloeser::Datumsauswahl}) {
        w.edit();
        w.setText("Auswertung_H_S_R", "A");
        w.setInteger("Auswertung_Coups_Anzahl", 7);
        w.setInteger("Auswertung_Tage_Anzahl", 4);
        w.setText("Auswertung_Tage_uebergreifend", "t");
        w.setInteger("ID_Chancen_Auswertung", 35);
        w.setInteger("System_Tage_Anzahl", 3);
        w.setText("System_Online_Alle", "t");
        w.setText("System_Online_Tage_uebergreifend", "t");
        w.setInteger("Permanenz_Zahl", 12);
        w.post();
        dm.TdbTable_Systeme_Abarbeitung.clearMasterLink();
        dm.TdbTable_Systeme_Abarbeitung.appendRecord({Value(1), Value(1), Value(1), Value(1)});
        ansicht.calls.clear();

        Casino_Tisch_DatumChange(k, ausloeser);

        EXPECT_EQ(w.text("Auswertung_H_S_R"), "H");
        EXPECT_EQ(w.integer("Auswertung_Coups_Anzahl"), 100);
        EXPECT_EQ(w.integer("Auswertung_Tage_Anzahl"), 1);
        EXPECT_EQ(w.text("Auswertung_Tage_uebergreifend"), "f");
        EXPECT_EQ(w.integer("ID_Chancen_Auswertung"), 1);
        EXPECT_EQ(w.integer("System_Tage_Anzahl"), 10);
        EXPECT_EQ(w.text("System_Online_Alle"), "f");
        EXPECT_EQ(w.text("System_Online_Tage_uebergreifend"), "f");
        EXPECT_TRUE(w.isNull("Permanenz_Zahl"));
        EXPECT_EQ(dm.TdbDatabase_Roulette.rowCount("Systeme_Abarbeitung"), 0);
        EXPECT_EQ(w.state(), store::CursorState::Edit);
        EXPECT_EQ(ansicht.calls.front(), "systemdetailsAus");
        EXPECT_EQ(ansicht.calls.back(), "neuZeichnen");
        dm.TdbTable_Systeme_Abarbeitung.setMasterLink(&dm.TdbTable_Permanenz,
                                                      {{"ID_Zahl", "Permanenz_ID_Zahl"}});
    }
}

TEST_F(AuswahlTest, NewCasinosAreNumberedAfterAllAndListedAtOnce) {
    const int first = neuesCasino();
    auto& casino = dm.TdbTable_Casino;
    Casino_Fenster_Zeigen(k);
    EXPECT_EQ(casino.integer("ID_Casino_AutoInc"), first);
    casino.edit();
    casino.setText("Casino_In_Liste", "");  // leaves the main list
    casino.setText("Casino_Name", "Versteckt");
    Casino_Fenster_Schliessen(k);
    EXPECT_EQ(casino.recordCount(), 0);

    Casino_Fenster_Zeigen(k);
    const int second = BitBtn_NeuClick(k);
    EXPECT_EQ(casino.integer("ID_Casino"), 2);
    EXPECT_EQ(casino.text("Casino_Name"), "Casino");
    EXPECT_EQ(casino.text("Zufallsgenerator"), "f");
    EXPECT_EQ(casino.integer("Zufallsgenerator_Coups"), 0);
    Casino_Fenster_Schliessen(k);
    EXPECT_EQ(casino.recordCount(), 1);
    EXPECT_EQ(casino.integer("ID_Casino_AutoInc"), second);
    // Closing without OK left the selection as it was; the edit in the grid is stored.
    EXPECT_EQ(dm.TdbTable_Wahl.integer("ID_Casino"), first);
    store::TableCursor all("all", dm.TdbDatabase_Roulette, "Casino");
    all.open();
    EXPECT_TRUE(all.locate("Casino_Name", {Value("Versteckt")}));
}

TEST_F(AuswahlTest, TheStretchFollowsTheDayRowsAndStaysWhenTheyAreGone) {
    const int casino = neuesCasino();
    for (int d : {9, 2, 5}) {
        tagesZeile(casino, "T 01", tag.addDays(d));
    }
    tagesZeile(casino, "T 02", tag);
    Tisch_Datum_Aktualisieren(k);
    auto& s = dm.TdbTable_Casino_Tisch_Datum;
    ASSERT_EQ(s.recordCount(), 1);
    EXPECT_EQ(s.date("Datum_von"), tag.addDays(2));
    EXPECT_EQ(s.date("Datum_bis"), tag.addDays(9));
    EXPECT_EQ(s.integer("Tage"), 3);
    EXPECT_EQ(s.master(), &dm.TdbTable_Casino);

    dm.TdbDatabase_Roulette.connection().exec("DELETE FROM Permanenz_Tag_Zusammenfassung");
    Tisch_Datum_Aktualisieren(k);
    s.refresh();
    ASSERT_EQ(s.recordCount(), 1);
    EXPECT_TRUE(s.isNull("Datum_von"));
    EXPECT_TRUE(s.isNull("Datum_bis"));
    EXPECT_TRUE(s.isNull("Tage"));
}

}  // namespace
}  // namespace spinalyst::capture
