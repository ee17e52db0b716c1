#include "capture/auswahl.h"

#include "kern/wahl.h"
#include "store/sqlite.h"

#include "events/auswertung.h"
#include "systems/ergebnisse.h"
#include "systems/system.h"

namespace spinalyst::capture {

using kern::Kontext;
using store::Date;
using store::Value;

void Casino_Tisch_DatumChange(Kontext& k, Ausloeser ausloeser) {
    auto& w = k.dm.TdbTable_Wahl;
    systems::Systemdetails_Aus(k);

    if (ausloeser == Ausloeser::CasinoListe) {
        kern::Wahl_Uebernehmen(k);
        std::string tisch = "T 01";
        auto& casino = k.dm.TdbTable_Casino;
        if (casino.locate("ID_Casino_AutoInc", {w.value("ID_Casino")})) {
            auto& strecken = k.dm.TdbTable_Casino_Tisch_Datum;
            if (!strecken.isEmpty()) {
                strecken.first();
                tisch = strecken.text("Tisch");
            }
        }
        w.edit();
        w.setText("Tisch", tisch);
        w.post();
    }

    w.edit();
    w.setText("Auswertung_H_S_R", "H");
    w.setInteger("Auswertung_Coups_Anzahl", 100);
    w.setInteger("Auswertung_Tage_Anzahl", 1);
    w.setText("Auswertung_Tage_uebergreifend", "f");
    w.setInteger("ID_Chancen_Auswertung", 1);
    w.setInteger("System_Tage_Anzahl", 10);
    w.setText("System_Online_Alle", "f");
    w.setText("System_Online_Tage_uebergreifend", "f");
    w.setDate("Datum", k.sitzung.gewaehlter_tag);
    w.setNull("Permanenz_Zahl");
    w.post();
    w.edit();
    // The day window depends on the day and on N: apply its filter afresh.
    k.dm.TdbTable_Permanenz_Tag_Zusammenfassung.setFiltered(true);

    events::Auswertung_Zuruecksetzen(k, true);
    k.ansicht.auswertungAnzeigen();
    systems::Vorherige_Ergebnisse_Zuruecksetzen(k);

    auto& bets = k.dm.TdbTable_Systeme_Abarbeitung;
    bets.close();
    bets.emptyTable();
    bets.open();
    k.ansicht.neuZeichnen();
}

void Tisch_Datum_Aktualisieren(Kontext& k) {
    auto& w = k.dm.TdbTable_Wahl;
    auto& strecken = k.dm.TdbTable_Casino_Tisch_Datum;
    try {
        const Value casino = w.value("ID_Casino");
        const Value tisch = w.value("Tisch");
        store::Statement q(k.dm.TdbDatabase_Roulette.connection(),
                           "SELECT MIN(Datum), MAX(Datum), COUNT(*) FROM "
                           "Permanenz_Tag_Zusammenfassung WHERE ID_Casino = ? AND Tisch = ?");
        q.bind(1, casino);
        q.bind(2, tisch);
        q.step();
        const int anzahl = static_cast<int>(q.int64(2));
        Value von;
        Value bis;
        if (anzahl > 0) {
            von = Value(Date::parse(q.textView(0)).value_or(Date()));
            bis = Value(Date::parse(q.textView(1)).value_or(Date()));
        }
        q.reset();

        strecken.clearMasterLink();
        if (!strecken.locate("ID_Casino;Tisch", {casino, tisch})) {
            strecken.append();
            strecken.setValue("ID_Casino", casino);
            strecken.setValue("Tisch", tisch);
        }
        strecken.setValue("Datum_von", von);
        strecken.setValue("Datum_bis", bis);
        strecken.setValue("Tage", anzahl > 0 ? Value(anzahl) : Value());
        strecken.post();
    } catch (const std::exception&) {
        if (strecken.isEditing()) {
            strecken.cancel();
        }
    }
    try {
        strecken.close();
        strecken.setMasterLink(&k.dm.TdbTable_Casino, {{"ID_Casino_AutoInc", "ID_Casino"}});
        strecken.open();
    } catch (const std::exception&) {
    }
}

void Casino_Fenster_Zeigen(Kontext& k) {
    kern::Wahl_Uebernehmen(k);
    auto& casino = k.dm.TdbTable_Casino;
    casino.setFiltered(false);
    casino.locate("ID_Casino_AutoInc", {k.dm.TdbTable_Wahl.value("ID_Casino")});
}

void Casino_Fenster_Schliessen(Kontext& k) {
    auto& casino = k.dm.TdbTable_Casino;
    if (casino.isEditing()) {
        casino.post();
    }
    const Value current = casino.value("ID_Casino_AutoInc");
    casino.setFiltered(true);
    // Stay on the casino the window showed where the list still offers it.
    if (!current.isNull()) {
        casino.locate("ID_Casino_AutoInc", {current});
    }
}

int BitBtn_NeuClick(Kontext& k) {
    auto& casino = k.dm.TdbTable_Casino;
    const int alle = k.dm.TdbDatabase_Roulette.rowCount("Casino");
    casino.append();
    casino.setInteger("ID_Casino", alle + 1);
    casino.setText("Casino_Name", "Casino");
    casino.setText("Casino_In_Liste", "x");
    casino.setNull("Casino_Bemerkungen");
    casino.setInteger("Zufallsgenerator_Coups", 0);
    casino.setText("Zufallsgenerator", "f");
    casino.post();
    return casino.integer("ID_Casino_AutoInc");
}

void BitBtn_OKClick(Kontext& k) {
    auto& casino = k.dm.TdbTable_Casino;
    if (casino.isEditing()) {
        casino.post();
    }
    auto& w = k.dm.TdbTable_Wahl;
    if (!casino.isEmpty()) {
        w.edit();
        w.setValue("ID_Casino", casino.value("ID_Casino_AutoInc"));
        w.post();
        w.edit();
    }
    Casino_Fenster_Schliessen(k);
    Casino_Tisch_DatumChange(k, Ausloeser::CasinoListe);
}

}  // namespace spinalyst::capture
