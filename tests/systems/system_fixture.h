#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kern/kontext.h"
#include "systems/system.h"
#include "tests/support/kontext_fixture.h"

namespace spinalyst::testing {

// Records what the operations ask of the system panel besides the steps RecordingAnsicht knows.
class PanelAnsicht : public RecordingAnsicht {
  public:
    void systemdetailsFreigeben(bool filterUndFolge, bool einsaetze) override {
        calls.push_back(std::string("systemdetailsFreigeben ") + (filterUndFolge ? "1" : "0") +
                        (einsaetze ? "1" : "0"));
    }
    void systemdetailsKastenFreigeben(bool an) override { kasten = an; }
    void ungleichEreignisZeigen(bool angehakt) override {
        ungleich = angehakt;
        ++ungleichGezeigt;
    }
    bool kasten = false;
    bool ungleich = false;
    int ungleichGezeigt = 0;
};

// An opened data module with the system hooks installed and kind 1, chance class 1 shown.
class SystemTest : public ::testing::Test {
  protected:
    SystemTest() : dm(dir.path(), sitzung), k{dm, sitzung, ui, ansicht} {
        systems::Systemhaken_Installieren(k);
        dm.open();
        sitzung.gewaehlter_tag = dm.TdbTable_Wahl.date("Datum");
        systems::System_Art_Chancen_Waehlen(k, 1, 1);
    }
    // The hooks reach the view: close the store while the view still exists.
    ~SystemTest() override { dm.close(); }

    // A new system of the kind and chance class, which are shown afterwards.
    int neu(int art = 1, int chancen = 1) {
        systems::System_Art_Chancen_Waehlen(k, art, chancen);
        return systems::MenuItem_Systeme_AufnahmeClick(k);
    }

    // Gives the current system another number, as information mode does.
    void nummer(int n) {
        auto& s = dm.TdbTable_Systeme;
        s.setInteger("ID_System_Nummer", n);
        s.post();
    }

    // Sets the stakes of steps 1, 2, ... of the shown instance.
    void einsaetze(const std::vector<int>& saetze) {
        auto& a = dm.TdbTable_System_Angriffe;
        for (std::size_t i = 0; i < saetze.size(); ++i) {
            ASSERT_TRUE(a.locate("ID_Angriff", {store::Value(std::to_string(i + 1))}));
            a.setInteger("Satz", saetze[i]);
            a.post();
        }
    }

    // The sequence of the shown instance, as "event mark|event mark|...".
    std::string folge() {
        auto& f = dm.TdbTable_System_Ereignisse;
        std::string s;
        for (int i = 0; const store::Row* r = f.rowAt(i); ++i) {
            if (i > 0) {
                s += "|";
            }
            s += std::to_string(
                r->values[static_cast<std::size_t>(f.fieldIndex("ID_Ereignis"))].toInt());
            const std::string marke =
                r->values[static_cast<std::size_t>(f.fieldIndex("Angriff"))].toText();
            if (!marke.empty()) {
                s += " " + marke;
            }
        }
        return s;
    }

    // Stored rows of a table that belong to a system (and instance, when given).
    int zeilen(const char* tabelle, int idSystem, int instanz = 0) {
        store::QueryCursor q("q", dm.TdbDatabase_Roulette);
        std::string sql = std::string("SELECT COUNT(*) FROM ") + tabelle + " WHERE ID_System = ?";
        std::vector<store::Value> p = {store::Value(idSystem)};
        if (instanz > 0) {
            sql += " AND ID_Instanz = ?";
            p.emplace_back(instanz);
        }
        q.setSql(sql, p);
        q.open();
        return q.value(0).toInt();
    }

    store::testing::TempDir dir;
    kern::Sitzung sitzung;
    store::DataModule_Roulette dm;
    ScriptedUi ui;
    PanelAnsicht ansicht;
    kern::Kontext k;
};

}  // namespace spinalyst::testing
