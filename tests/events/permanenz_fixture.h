#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "capture/auswahl.h"
#include "events/auswertung.h"
#include "kern/katalog.h"
#include "store/sqlite.h"
#include "tests/support/kontext_fixture.h"

namespace spinalyst::events::testing {

// The main window's view as far as the evaluation needs it: the display step runs the display
// of the results, as the main window's Ansicht does.
class AuswertungsAnsicht : public spinalyst::testing::RecordingAnsicht {
  public:
    void auswertungAnzeigen() override {
        RecordingAnsicht::auswertungAnzeigen();
        if (kontext != nullptr && auswertung != nullptr) {
            gezeigt = DBComboBox_Haufigkeit_Serien_RueckstaendigkeitChange(*kontext, *auswertung);
        }
    }
    kern::Kontext* kontext = nullptr;
    Permanenzauswertung* auswertung = nullptr;
    Auswertungsliste gezeigt = Auswertungsliste::Haeufigkeit;
};

// An opened data module with one casino selected, the catalogue loaded and the evaluation's
// display state; coups are written straight into `Permanenz`.
class PermanenzTest : public ::testing::Test {
  protected:
    PermanenzTest() : dm(dir.path(), sitzung), k{dm, sitzung, ui, ansicht}, auswertung(dm, ",") {
        dm.open();
        sitzung.gewaehlter_tag = heute();
        ansicht.kontext = &k;
        ansicht.auswertung = &auswertung;
        katalog = kern::Ereigniskatalog::laden(dm);
        capture::BitBtn_NeuClick(k);
        capture::BitBtn_OKClick(k);
        casino = dm.TdbTable_Wahl.integer("ID_Casino");
    }

    static store::Date heute() { return store::Date::fromYmd(2024, 3, 15); }

    // Appends the coups of a day in the order given (the last one is the newest); a null
    // number is a coup about to be played. Returns the `ID_Zahl` of each.
    std::vector<std::int64_t> coupsAnfuegen(store::Date tag,
                                            const std::vector<store::Value>& zahlen,
                                            int casinoId = 0, const char* tisch = "T 01") {
        store::TableCursor p("Testpermanenz", dm.TdbDatabase_Roulette, "Permanenz");
        p.open();
        std::vector<std::int64_t> ids;
        store::Transaction tx(dm.TdbDatabase_Roulette.connection());
        for (const store::Value& z : zahlen) {
            p.appendRecord({casinoId == 0 ? casino : casinoId, tisch, tag, store::Value(), z});
            ids.push_back(p.value("ID_Zahl").toInt64());
        }
        tx.commit();
        dm.TdbTable_Permanenz.refresh();
        return ids;
    }

    // Numbers oldest first; the helper for plain integer lists.
    std::vector<std::int64_t> tagAnfuegen(store::Date tag, const std::vector<int>& zahlen) {
        std::vector<store::Value> v(zahlen.begin(), zahlen.end());
        return coupsAnfuegen(tag, v);
    }

    // Selects the day and sets the evaluation parameters of `Wahl` (as the bound controls do).
    void waehle(store::Date tag, int tage, int coups, bool uebergreifend) {
        sitzung.gewaehlter_tag = tag;
        capture::Casino_Tisch_DatumChange(k, capture::Ausloeser::Datumsauswahl);
        auto& w = dm.TdbTable_Wahl;
        w.edit();
        w.setInteger("Auswertung_Tage_Anzahl", tage);
        w.setInteger("Auswertung_Coups_Anzahl", coups);
        w.setText("Auswertung_Tage_uebergreifend", uebergreifend ? "t" : "f");
        w.post();
        w.edit();
    }

    Auswertungslauf lauf(char modus) {
        return Permanenz_Auswertung_Modus(k, auswertung, katalog, modus);
    }

    // "length:count ..." of the rows of a result table for an event (0: the class totals of
    // gruppe), in ascending length.
    std::string zeilen(const char* tabelle, int ereignis, int gruppe = 0) {
        const bool serien = std::string(tabelle) == "Ereignisse_Serien";
        const char* laenge = serien ? "Serie" : "Rueckstaendigkeit";
        const char* anzahl = serien ? "Serie_Anzahl" : "Rueckstaendigkeit_Anzahl";
        store::TableCursor t("Testergebnis", dm.TdbDatabase_Roulette, tabelle);
        t.setIndexName(serien ? "Index_Serie" : "Index_Rueckstaendigkeit");
        t.open();
        std::string s;
        for (t.first(); !t.eof(); t.next()) {
            if (t.integer("ID_Ereignis") != ereignis ||
                (ereignis == 0 && t.integer("ID_Ereignis_Gruppe") != gruppe)) {
                continue;
            }
            s += (s.empty() ? "" : " ") + t.text(laenge) + ":" + t.text(anzahl);
        }
        return s;
    }

    // The `Ereignisse` row of an event as the table holds it.
    store::Value feld(int ereignis, const char* name) {
        store::TableCursor t("Testereignisse", dm.TdbDatabase_Roulette, "Ereignisse");
        t.open();
        EXPECT_TRUE(t.locate("ID_Ereignis", {ereignis})) << ereignis;
        return t.value(name);
    }

    store::testing::TempDir dir;
    kern::Sitzung sitzung;
    store::DataModule_Roulette dm;
    spinalyst::testing::ScriptedUi ui;
    AuswertungsAnsicht ansicht;
    kern::Kontext k;
    Permanenzauswertung auswertung;
    kern::Ereigniskatalog katalog;
    int casino = 0;
};

// Identifiers of the standard catalogue.
inline int plein(int zahl) {
    return 117 + zahl;
}
inline constexpr int kRot = 1;

}  // namespace spinalyst::events::testing
