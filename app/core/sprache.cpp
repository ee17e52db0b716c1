#include "app/core/sprache.h"

#include <vector>

namespace spinalyst::app {

namespace {

struct Filterereignis {
    const char* id;
    const char* info;
};

constexpr Filterereignis kFilterereignisse[] = {
    {"ID_Ereignis_Haeufigkeit", "Ereignis_Haeufigkeit_Info"},
    {"ID_Ereignis_Serien", "Ereignis_Serien_Info"},
    {"ID_Ereignis_Rueckstaendigkeit", "Ereignis_Rueckstaendigkeit_Info"},
};

// Makes an info field writable for the lifetime of the object.
class Schreibfreigabe {
  public:
    Schreibfreigabe(store::TableCursor& cursor, const char* feld) : cursor_(cursor), feld_(feld) {
        cursor_.setReadOnly(feld_, false);
    }
    ~Schreibfreigabe() { cursor_.setReadOnly(feld_, true); }
    Schreibfreigabe(const Schreibfreigabe&) = delete;
    Schreibfreigabe& operator=(const Schreibfreigabe&) = delete;

  private:
    store::TableCursor& cursor_;
    const char* feld_;
};

}  // namespace

void Systemtexte_Sprache_Anwenden(store::DataModule_Roulette& dm, store::Sprache sprache) {
    store::TableCursor& daten = dm.TdbTable_System_Daten;
    store::QueryCursor& ereignisse = dm.TdbQuery_Ereignisse;
    const char* infoFeld =
        sprache == store::Sprache::Englisch ? "Ereignis_Info_Englisch" : "Ereignis_Info";

    if (daten.isOpen() && !daten.isEmpty() && ereignisse.isOpen()) {
        for (const Filterereignis& f : kFilterereignisse) {
            if (daten.isNull(f.id) ||
                !ereignisse.locate("ID_Ereignis",
                                   std::vector<store::Value>{store::Value(daten.integer(f.id))})) {
                continue;
            }
            Schreibfreigabe freigabe(daten, f.info);
            if (!daten.isEditing()) {
                daten.edit();
            }
            daten.setText(f.info, ereignisse.text(infoFeld));
            daten.post();
        }
    }
    // The info texts are written only through the event choice and this switch.
    for (const Filterereignis& f : kFilterereignisse) {
        daten.setReadOnly(f.info, true);
    }

    for (store::TableCursor* berechnet :
         {&dm.TdbTable_System_Ereignisse, &dm.TdbTable_Systeme_Abarbeitung}) {
        if (berechnet->isOpen()) {
            berechnet->refresh();
        }
    }
}

void Systemwahl_Startwerte(store::TableCursor& wahl) {
    if (!wahl.isOpen() || wahl.isEmpty()) {
        return;
    }
    if (!wahl.isEditing()) {
        wahl.edit();
    }
    wahl.setInteger("ID_System_Art", 1);
    wahl.setInteger("ID_System_Chancen", 1);
    wahl.setInteger("ID_Instanz", 1);
    wahl.post();
}

}  // namespace spinalyst::app
