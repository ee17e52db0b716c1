#include "events/ereignisse.h"

namespace spinalyst::events {

void DBLookupComboBox_Chancen_PermanenzCloseUp(kern::Kontext& k) {
    auto& w = k.dm.TdbTable_Wahl;
    if (!w.isEditing()) {
        w.edit();
    }
    w.setText("Auswertung_H_S_R", "H");
    w.post();
    k.ansicht.auswertungAnzeigen();
    auto& ereignisse = k.dm.TdbTable_Ereignisse;
    ereignisse.setFiltered(true);
    ereignisse.first();
}

void Ereignisse_Fenster_Zeigen(kern::Kontext& k) {
    auto& ereignisse = k.dm.TdbTable_Ereignisse;
    auto& zahlen = k.dm.TdbTable_Ereignis_Zahl;
    zahlen.setMasterLink(&ereignisse, {{"ID_Ereignis", "ID_Ereignis"}});
    ereignisse.refresh();
    zahlen.refresh();
}

void Ereignisse_Fenster_Schliessen(kern::Kontext& k) {
    k.dm.TdbTable_Ereignis_Zahl.clearMasterLink();
}

}  // namespace spinalyst::events
