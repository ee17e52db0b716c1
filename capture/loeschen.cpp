#include "capture/loeschen.h"

#include <cstdio>
#include <exception>
#include <string>

#include "capture/aufnahme.h"
#include "capture/auswahl.h"
#include "kern/wahl.h"
#include "store/sqlite.h"

namespace spinalyst::capture {

using kern::Kontext;
using store::Date;
using store::Value;

namespace {

// The coups and the day row of one day of the selected casino and gaming table.
void Tag_Loeschen(Kontext& k, const Value& casino, const Value& tisch, Date tag) {
    auto& verbindung = k.dm.TdbDatabase_Roulette.connection();
    for (const char* sql :
         {"DELETE FROM Permanenz WHERE ID_Casino = ? AND Tisch = ? AND Datum = ?",
          "DELETE FROM Permanenz_Tag_Zusammenfassung WHERE ID_Casino = ? AND Tisch = ? AND "
          "Datum = ?"}) {
        store::execute(verbindung, sql, {casino, tisch, Value(tag)});
    }
}

// Asks, then deletes the days from `von` to `bis` one by one and brings the views up to date.
void Loeschen(Kontext& k, const std::string& was, Date von, Date bis) {
    auto& w = k.dm.TdbTable_Wahl;
    const std::string kopf = Casino_Der_Auswahl(k).name + ", " + w.text("Tisch") + ", " + was;
    if (!k.ui.confirmDeletion(k.sitzung.englisch() ? "Permanences " + kopf + " delete?"
                                                   : "Permanenzen " + kopf + " löschen?")) {
        return;
    }
    k.ui.setBusy(true);
    try {
        const Value casino = w.value("ID_Casino");
        const Value tisch = w.value("Tisch");
        for (Date tag = von; tag <= bis; tag = tag.addDays(1)) {
            Tag_Loeschen(k, casino, tisch, tag);
        }
        k.dm.TdbTable_Permanenz.refresh();
        k.dm.TdbTable_Permanenz_Tag_Zusammenfassung.refresh();
        Tisch_Datum_Aktualisieren(k);
        Casino_Tisch_DatumChange(k, Ausloeser::Hauptfenster);
    } catch (const std::exception&) {
        k.ui.setBusy(false);
        k.ui.inform(
            k.text("Fehler beim Löschen der Permanenz(en)!", "Error deleting the permanence!"));
        return;
    }
    k.ui.setBusy(false);
    k.ui.inform(k.text("Permanenz(en) gelöscht!", "Permanence(s) deleted!"));
}

}  // namespace

void MenuItem_Permanenzen_Loeschen_TagClick(Kontext& k) {
    kern::Wahl_Uebernehmen(k);
    const Date tag = k.dm.TdbTable_Wahl.date("Datum");
    Loeschen(k, tag.german(), tag, tag);
}

void MenuItem_Permanenzen_Loeschen_MonatClick(Kontext& k) {
    kern::Wahl_Uebernehmen(k);
    const Date tag = k.dm.TdbTable_Wahl.date("Datum");
    const Date erster = Date::fromYmd(tag.year(), tag.month(), 1);
    Date letzter = erster;
    while (letzter.addDays(1).month() == tag.month()) {
        letzter = letzter.addDays(1);
    }
    char monat[16];
    std::snprintf(monat, sizeof monat, "%02d/%d", tag.month(), tag.year());
    Loeschen(k, k.text("Monat ", "Month ") + std::string(monat), erster, letzter);
}

}  // namespace spinalyst::capture
