#include "systems/ergebnisse.h"

#include "kern/tagessumme.h"
#include "store/bulk_writer.h"

namespace spinalyst::systems {

using kern::Kontext;
using store::Value;

void Vorherige_Ergebnisse_Zuruecksetzen(Kontext& k) {
    auto& w = k.dm.TdbTable_Wahl;
    auto& tage = k.dm.TdbTable_Permanenz_Tag_Zusammenfassung;
    const Value casino = w.value("ID_Casino");
    const Value tisch = w.value("Tisch");
    // The day window: the N days up to the selected day, as the day-row cursor's filter shows it.
    const store::Date tag = k.sitzung.gewaehlter_tag;
    const int n = w.integer("System_Tage_Anzahl");
    {
        // One UPDATE per table; only rows that hold a result are written.
        store::BulkWriter schreiber(k.dm.TdbDatabase_Roulette);
        schreiber.execute(
            "UPDATE Permanenz SET Angriff_Satz = NULL, Gewinn_Verlust = NULL "
            "WHERE ID_Casino = ? AND Tisch = ? AND Datum = ? "
            "AND (Angriff_Satz IS NOT NULL OR Gewinn_Verlust IS NOT NULL)",
            {casino, tisch, w.value("Datum")});
        schreiber.execute(
            "UPDATE Permanenz_Tag_Zusammenfassung SET ID_System_aktuell = NULL, "
            "Gewinn_Verlust = NULL, Gewinn_Maximal = NULL, Verlust_Maximal = NULL, Angriffe = NULL "
            "WHERE ID_Casino = ? AND Tisch = ? AND Datum >= ? AND Datum <= ? "
            "AND (ID_System_aktuell IS NOT NULL OR Gewinn_Verlust IS NOT NULL OR "
            "Gewinn_Maximal IS NOT NULL OR Verlust_Maximal IS NOT NULL OR Angriffe IS NOT NULL)",
            {casino, tisch, Value(tag.addDays(-n + 1)), Value(tag)});
        schreiber.refreshAfterCommit(k.dm.TdbTable_Permanenz);
        schreiber.refreshAfterCommit(tage);
        schreiber.commit();
    }
    tage.setFiltered(true);
    kern::Tag_Gesamt_Berechnen(k);
}

}  // namespace spinalyst::systems
