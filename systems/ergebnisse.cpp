#include "systems/ergebnisse.h"

#include "capture/eingabe.h"

namespace spinalyst::systems {

using store::Kontext;
using store::TableCursor;

namespace {

// Sets the named fields of every shown row to null, writing only rows that hold a value, and
// leaves the cursor on the row it stood on.
void Felder_Leeren(TableCursor& c, std::initializer_list<const char*> felder) {
    if (c.isEmpty()) {
        return;
    }
    const auto gemerkt = c.rowid();
    const store::ControlsSuspended angehalten(c);
    for (c.first(); !c.eof(); c.next()) {
        bool belegt = false;
        for (const char* f : felder) {
            belegt = belegt || !c.isNull(f);
        }
        if (belegt) {
            for (const char* f : felder) {
                c.setNull(f);
            }
            c.post();
        }
    }
    for (c.first(); !c.eof() && c.rowid() != gemerkt; c.next()) {
    }
    if (c.eof()) {
        c.first();
    }
}

}  // namespace

void Vorherige_Ergebnisse_Zuruecksetzen(Kontext& k) {
    Felder_Leeren(k.dm.TdbTable_Permanenz, {"Angriff_Satz", "Gewinn_Verlust"});
    auto& tage = k.dm.TdbTable_Permanenz_Tag_Zusammenfassung;
    tage.setFiltered(true);
    Felder_Leeren(tage, {"ID_System_aktuell", "Gewinn_Verlust", "Gewinn_Maximal", "Verlust_Maximal",
                         "Angriffe"});
    capture::Tag_Gesamt_Berechnen(k);
}

}  // namespace spinalyst::systems
