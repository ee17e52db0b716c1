#include "events/ereignisse.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/events/permanenz_fixture.h"

namespace spinalyst::events {
namespace {

using testing::PermanenzTest;

class EreignisseTest : public PermanenzTest {
  protected:
    // A field of `Wahl` as stored.
    std::string feldAusWahl(const char* name) {
        store::TableCursor t("Testwahl", dm.TdbDatabase_Roulette, "Wahl");
        t.open();
        return t.text(name);
    }

    // Identifiers of the rows `TdbTable_Ereignisse` shows.
    std::string sichtbar() {
        auto& e = dm.TdbTable_Ereignisse;
        std::string s;
        for (int i = 0; const store::Row* r = e.rowAt(i); ++i) {
            s += (s.empty() ? "" : " ") +
                 r->values[static_cast<std::size_t>(e.fieldIndex("ID_Ereignis"))].toText();
        }
        return s;
    }
};

TEST_F(EreignisseTest, ChanceClassChangeShowsThatClassAndTheFrequencyList) {
    EXPECT_EQ(sichtbar(), "1 2 3 4 5 6");
    auto& w = dm.TdbTable_Wahl;
    w.edit();
    w.setText("Auswertung_H_S_R", "S");
    w.setInteger("ID_Chancen_Auswertung", 5);  // what the list writes
    ansicht.calls.clear();
    DBLookupComboBox_Chancen_PermanenzCloseUp(k);

    EXPECT_FALSE(w.isEditing());
    EXPECT_EQ(feldAusWahl("Auswertung_H_S_R"), "H");
    EXPECT_EQ(feldAusWahl("ID_Chancen_Auswertung"), "5");
    EXPECT_EQ(sichtbar(), "13 14 15 16 17 18 19 20 21 22 23");
    EXPECT_EQ(dm.TdbTable_Ereignisse.integer("ID_Ereignis"), 13);
    EXPECT_EQ(ansicht.calls, std::vector<std::string>{"auswertungAnzeigen"});
    EXPECT_EQ(ansicht.gezeigt, Auswertungsliste::Haeufigkeit);
    auto& h = dm.TdbQuery_Ereignisse_Haeufigkeit;
    EXPECT_EQ(h.recordCount(), 11);
    EXPECT_EQ(h.integer("ID_Ereignis"), 13);
}

TEST_F(EreignisseTest, OverviewLinksTheMembersOnlyWhileOpen) {
    auto& zahlen = dm.TdbTable_Ereignis_Zahl;
    const int alle = zahlen.recordCount();
    Ereignisse_Fenster_Zeigen(k);
    auto& e = dm.TdbTable_Ereignisse;
    e.first();
    EXPECT_EQ(zahlen.recordCount(), 18);  // red
    e.next();
    e.next();
    EXPECT_EQ(e.integer("ID_Ereignis"), 3);
    EXPECT_EQ(zahlen.recordCount(), 18);
    EXPECT_EQ(zahlen.integer("Zahl"), 2);  // even numbers: 0 is not among them
    Ereignisse_Fenster_Schliessen(k);
    EXPECT_EQ(zahlen.master(), nullptr);
    EXPECT_EQ(zahlen.recordCount(), alle);
}

}  // namespace
}  // namespace spinalyst::events
