#pragma once

#include <cstdint>
#include <string>

#include "kern/katalog.h"
#include "store/sqlite.h"
#include "systems/system.h"
#include "tests/support/kontext_fixture.h"

// The tables a run leaves, written straight into the data-mining database, and a data-mining
// system of chance class 1, for the tests of the results and the take-over.
namespace spinalyst::mining::testing {

class ErgebnisTest : public spinalyst::testing::KontextTest {
  protected:
    ErgebnisTest() {
        systems::Systemhaken_Installieren(k);
        katalog = kern::Ereigniskatalog::laden(dm);
    }

    store::Connection& dmModul() { return dm.TdbDatabase_DM_Modul.connection(); }
    store::Connection& roulette() { return dm.TdbDatabase_Roulette.connection(); }

    // A `DM_HSR` row: per filter event, "ungleich", "aktiv".
    void Kombination(int id, int h, const char* hu, const char* ha, int s, const char* su,
                     const char* sa, int r, const char* ru, const char* ra) {
        store::execute(
            dmModul(), "INSERT INTO DM_HSR VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
            {store::Value(std::int64_t{id}), store::Value(std::int64_t{h}), store::Value(hu),
             store::Value(ha), store::Value(std::int64_t{s}), store::Value(su), store::Value(sa),
             store::Value(std::int64_t{r}), store::Value(ru), store::Value(ra)});
    }
    // A `DM_Folge` row with its codes; returns its `ID_Folge`.
    std::int64_t Folge(int art, int c1, int c2 = 0, int anzahl = 0) {
        store::execute(dmModul(),
                       "INSERT INTO DM_Folge (Gleiche_Art, Gleiche_Art_Ansicht, "
                       "Ereignis_1_vor_Angriff, Ereignis_2_vor_Angriff, Ereignis_3_vor_Angriff, "
                       "Ereignis_4_vor_Angriff, Ereignis_5_vor_Angriff, Anzahl) "
                       "VALUES (?, ?, ?, ?, 0, 0, 0, ?)",
                       {store::Value(std::int64_t{art}), store::Value("Art " + std::to_string(art)),
                        store::Value(std::int64_t{c1}), store::Value(std::int64_t{c2}),
                        store::Value(std::int64_t{anzahl})});
        return dmModul().lastInsertRowid();
    }
    // A `DM_Gewinn_Verlust` row.
    void Ergebnis(int hsr, std::int64_t folge, const char* art, int ereignis, int laenge,
                  int anzahl, int ok, double prozent, int gv) {
        store::execute(dmModul(),
                       "INSERT INTO DM_Gewinn_Verlust VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                       {store::Value(std::int64_t{hsr}), store::Value(folge), store::Value(art),
                        store::Value(std::int64_t{ereignis}), store::Value(std::int64_t{laenge}),
                        store::Value(std::int64_t{anzahl}), store::Value(std::int64_t{ok}),
                        store::Value(prozent), store::Value("x"), store::Value(std::int64_t{gv})});
    }
    void Auffrischen() {
        for (store::TableCursor* c :
             {&dm.TdbTable_DM_HSR, &dm.TdbTable_DM_Folge, &dm.TdbTable_DM_Gewinn_Verlust}) {
            c->refresh();
        }
    }
    // The result selection and the run's coup counter in `Wahl`.
    void Auswahl(int chance, int laenge, const char* art, const char* sortierung, int minimum,
                 int coups = 201) {
        store::TableCursor& w = dm.TdbTable_Wahl;
        w.setInteger("DM_Chance", chance);
        w.setInteger("DM_Anzahl_Angriffe", laenge);
        w.setText("DM_Art_Angriff", art);
        w.setText("DM_Sortierung", sortierung);
        w.setInteger("DM_Sortierung_G_V_Minimum", minimum);
        w.setInteger("DM_Coups_letztes_DM", coups);
        w.post();
    }

    // Every row of a query, fields separated by "|" (null as "~"), rows by spaces.
    static std::string Zeilen(store::Connection& verbindung, const std::string& sql) {
        store::Statement s(verbindung, sql);
        std::string text;
        while (s.step()) {
            for (int c = 0; c < s.columnCount(); ++c) {
                text += (c == 0 ? "" : "|") + (s.isNull(c) ? std::string("~") : s.text(c));
            }
            text += " ";
        }
        return text;
    }
    // The rows of a cursor, the named fields separated by "|", rows by spaces.
    static std::string Zeilen(store::Cursor& c, std::initializer_list<const char*> felder) {
        std::string text;
        if (!c.isOpen()) {
            return "(zu)";
        }
        for (int i = 0; i < c.recordCount(); ++i) {
            const store::Row* row = c.rowAt(i);
            bool erstes = true;
            for (const char* f : felder) {
                const store::Value& v = row->values[static_cast<std::size_t>(c.fieldIndex(f))];
                text += (erstes ? "" : "|") + (v.isNull() ? std::string("~") : v.toText());
                erstes = false;
            }
            text += " ";
        }
        return text;
    }
    std::string Anzeige() {
        return Zeilen(
            dmModul(),
            "SELECT Nr_Ereignis, ID_Ereignis, Angriff FROM DM_Folge_Anzeige ORDER BY rowid");
    }

    kern::Ereigniskatalog katalog;
};

}  // namespace spinalyst::mining::testing
