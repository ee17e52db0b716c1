#include "kern/tagessumme.h"

#include <algorithm>

namespace spinalyst::kern {

void Tag_Gesamt_Berechnen(Kontext& k) {
    auto& w = k.dm.TdbTable_Wahl;
    auto& g = k.dm.TdbTable_Permanenz_Tag_Zusammenfassung_G;
    auto& t = k.dm.TdbTable_Permanenz_Tag_Zusammenfassung;
    // The totals cursor shows the one row of the selected casino and gaming table.
    if (!g.locate("ID_Casino;Tisch", {w.value("ID_Casino"), w.value("Tisch")})) {
        g.append();
        g.setValue("ID_Casino", w.value("ID_Casino"));
        g.setValue("Tisch", w.value("Tisch"));
        g.post();
    }
    g.edit();
    for (const char* f : {"Tage", "ID_System_aktuell", "Gewinn_Verlust", "Gewinn_Maximal",
                          "Verlust_Maximal", "Coups_Anzahl", "Angriffe"}) {
        g.setNull(f);
    }
    g.post();

    int tage = 0;
    int gv = 0;
    int max = 0;
    int min = 0;
    int coups = 0;
    int angriffe = 0;
    {
        const store::ControlsSuspended angehalten(t);
        for (t.first(); !t.eof(); t.next()) {
            ++tage;
            gv += t.integer("Gewinn_Verlust");
            max = std::max(max, t.integer("Gewinn_Maximal"));
            min = std::min(min, t.integer("Verlust_Maximal"));
            coups += t.integer("Coups_Anzahl");
            angriffe += t.integer("Angriffe");
        }
        t.first();
    }

    g.edit();
    g.setInteger("Tage", tage);
    if (gv != 0 || max != 0 || min != 0) {
        g.setInteger("Gewinn_Verlust", gv);
        g.setInteger("Gewinn_Maximal", max);
        g.setInteger("Verlust_Maximal", min);
        g.setInteger("Angriffe", angriffe);
    }
    g.setInteger("Coups_Anzahl", coups);
    g.post();
}

}  // namespace spinalyst::kern
