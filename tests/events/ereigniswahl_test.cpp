#include "events/ereigniswahl.h"

#include <gtest/gtest.h>

#include "systems/system.h"
#include "tests/events/permanenz_fixture.h"

namespace spinalyst::events {
namespace {

using store::Value;

struct Filter {
    const char* name;
    char modus;
    const char* ereignis;
    const char* info;
    std::vector<const char*> werte;    // emptied when the filter is removed
    std::vector<const char*> flaggen;  // "f" when the filter is removed
};

const Filter kFilter[] = {
    {"frequency",
     'H',
     "ID_Ereignis_Haeufigkeit",
     "Ereignis_Haeufigkeit_Info",
     {"Haeufigkeit_Anzahl_von", "Haeufigkeit_Anzahl_bis", "Haeufigkeit_Coups_zurueck_von",
      "Haeufigkeit_Coups_zurueck_bis"},
     {"Haeufigkeit_ungleich", "Haeufigkeit_vor_Ereignisfolge", "Haeufigkeit_Filterung_aktiv"}},
    {"series",
     'S',
     "ID_Ereignis_Serien",
     "Ereignis_Serien_Info",
     {"Serien_Anzahl_von", "Serien_Anzahl_bis", "Serien_von", "Serien_bis",
      "Serien_Coups_zurueck_von", "Serien_Coups_zurueck_bis"},
     {"Serien_ungleich", "Serien_vor_Ereignisfolge", "Serien_Filterung_aktiv"}},
    {"absence",
     'R',
     "ID_Ereignis_Rueckstaendigkeit",
     "Ereignis_Rueckstaendigkeit_Info",
     {"Rueckstaendigkeit_Anzahl_von", "Rueckstaendigkeit_Anzahl_bis",
      "Rueckstaendigkeit_Coups_zurueck_von", "Rueckstaendigkeit_Coups_zurueck_bis"},
     {"Rueckstaendigkeit_ungleich", "Rueckstaendigkeit_vor_Ereignisfolge",
      "Rueckstaendigkeit_Filterung_aktiv"}},
};

const char* const kFolgefilterWerte[] = {
    "Ereignisfolge_Angriff_OK_von", "Ereignisfolge_Angriff_OK_bis", "Ereignisfolgen_zurueck_von",
    "Ereignisfolgen_zurueck_bis"};

// A current system with its default rows; the event grid on the events of chance class 1.
class EreigniswahlTest : public testing::PermanenzTest {
  protected:
    EreigniswahlTest() {
        systems::Systemhaken_Installieren(k);
        systems::MenuItem_Systeme_AufnahmeClick(k);
    }

    // Every filter of the data row set, as a user would have built them.
    void filterBelegen() {
        auto& d = dm.TdbTable_System_Daten;
        d.edit();
        for (const Filter& f : kFilter) {
            d.setReadOnly(f.info, false);
            d.setInteger(f.ereignis, 7);
            d.setText(f.info, "gesetzt");
            for (const char* w : f.werte) {
                d.setInteger(w, 3);
            }
            for (const char* w : f.flaggen) {
                d.setText(w, "t");
            }
        }
        for (const char* w : kFolgefilterWerte) {
            d.setInteger(w, 4);
        }
        d.setText("Ereignisfolge_ungleich", "t");
        d.setText("Ereignisfolge_Filterung_aktiv", "t");
        d.post();
    }

    // The fields of a filter as stored: "event|info|values...|flags...".
    std::string gespeichert(const Filter& f) {
        store::TableCursor t("Testdaten", dm.TdbDatabase_Roulette, "System_Daten");
        t.open();
        EXPECT_EQ(t.recordCount(), 1);
        std::string s = t.value(f.ereignis).toText() + "|" + t.text(f.info);
        for (const char* w : f.werte) {
            s += "|" + t.value(w).toText();
        }
        for (const char* w : f.flaggen) {
            s += "|" + t.text(w);
        }
        return s;
    }

    // The event of a filter as stored: "event|info".
    std::string auswahl(const Filter& f) {
        store::TableCursor t("Testdaten", dm.TdbDatabase_Roulette, "System_Daten");
        t.open();
        return t.value(f.ereignis).toText() + "|" + t.text(f.info);
    }

    // The event sequence of the system: "event:mark ...".
    std::string folge() {
        auto& f = dm.TdbTable_System_Ereignisse;
        std::string s;
        for (f.first(); !f.eof(); f.next()) {
            s += (s.empty() ? "" : " ") + f.value("ID_Ereignis").toText() + ":" + f.text("Angriff");
        }
        return s;
    }

    void waehleEreignis(int id) {
        ASSERT_TRUE(dm.TdbTable_Ereignisse.locate("ID_Ereignis", {id})) << id;
    }
};

TEST_F(EreigniswahlTest, TakingAFilterEventWritesItsIdentifierAndNumbersText) {
    for (const Filter& f : kFilter) {
        for (store::Sprache sprache : {store::Sprache::Deutsch, store::Sprache::Englisch}) {
            SCOPED_TRACE(f.name);
            sitzung.sprache = sprache;
            sitzung.ereigniswahl_modus = f.modus;
            waehleEreignis(testing::kRot);
            BitBtn_Aufnahme_EreignisClick(k, true);
            const bool en = sprache == store::Sprache::Englisch;
            EXPECT_EQ(auswahl(f), std::string("1|") + (en ? "18 red numbers" : "18 rote Zahlen"));
            // The text stays read-only for everyone else.
            EXPECT_THROW(dm.TdbTable_System_Daten.setText(f.info, "x"), store::StoreError);
        }
    }
}

TEST_F(EreigniswahlTest, UntickedRemovesTheWholeFilterAndOnlyThatOne) {
    for (const Filter& weg : kFilter) {
        SCOPED_TRACE(weg.name);
        filterBelegen();
        sitzung.ereigniswahl_modus = weg.modus;
        BitBtn_Aufnahme_EreignisClick(k, false);
        for (const Filter& f : kFilter) {
            std::string erwartet = &f == &weg ? "|" : "7|gesetzt";
            for (std::size_t i = 0; i < f.werte.size(); ++i) {
                erwartet += &f == &weg ? "|" : "|3";
            }
            for (std::size_t i = 0; i < f.flaggen.size(); ++i) {
                erwartet += &f == &weg ? "|f" : "|t";
            }
            EXPECT_EQ(gespeichert(f), erwartet) << f.name;
        }
    }
}

TEST_F(EreigniswahlTest, SequenceEventsAppendAndTheLastOneIsAttacked) {
    sitzung.ereigniswahl_modus = 'E';
    waehleEreignis(3);
    BitBtn_Aufnahme_EreignisClick(k, true);
    EXPECT_EQ(folge(), "3:x");
    waehleEreignis(3);
    BitBtn_Aufnahme_EreignisClick(k, true);
    EXPECT_EQ(folge(), "3: 3:x");

    // Unticked: the sequence stays, its filter goes.
    filterBelegen();
    BitBtn_Aufnahme_EreignisClick(k, false);
    EXPECT_EQ(folge(), "3: 3:x");
    store::TableCursor t("Testdaten", dm.TdbDatabase_Roulette, "System_Daten");
    t.open();
    for (const char* w : kFolgefilterWerte) {
        EXPECT_TRUE(t.isNull(w)) << w;
    }
    EXPECT_EQ(t.text("Ereignisfolge_ungleich"), "f");
    EXPECT_EQ(t.text("Ereignisfolge_Filterung_aktiv"), "f");
    EXPECT_EQ(t.integer("Haeufigkeit_Anzahl_von"), 3);  // the other filters stay

    // The popup of the absence list takes the event of the frequency list.
    sitzung.ereigniswahl_modus = 'H';
    auto& h = dm.TdbQuery_Ereignisse_Haeufigkeit;
    h.setSql("SELECT * FROM Ereignisse WHERE ID_Gruppe_Ereignis = ? ORDER BY ID_Ereignis", {35});
    h.open();
    ASSERT_TRUE(h.locate("ID_Ereignis", {testing::plein(5)}));
    MenuItem_Ereignis_AufnehmenClick(k);
    EXPECT_EQ(sitzung.ereigniswahl_modus, 'E');
    EXPECT_EQ(folge(), "3: 3: 122:x");
}

TEST_F(EreigniswahlTest, AnEmptyGridStoresIdentifierZeroAndNoText) {
    auto& w = dm.TdbTable_Wahl;
    w.edit();
    w.setInteger("ID_Chancen_Auswertung", 3);  // no event has class 3
    w.post();
    dm.TdbTable_Ereignisse.setFiltered(true);
    ASSERT_TRUE(dm.TdbTable_Ereignisse.isEmpty());
    sitzung.ereigniswahl_modus = 'H';
    BitBtn_Aufnahme_EreignisClick(k, true);
    EXPECT_EQ(auswahl(kFilter[0]), "0|");
}

}  // namespace
}  // namespace spinalyst::events
