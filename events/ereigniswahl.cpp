#include "events/ereigniswahl.h"

#include <utility>
#include <vector>

#include "systems/ereignisfolge.h"

namespace spinalyst::events {

namespace {

using kern::Kontext;
using store::TableCursor;

// The fields of one filter of `System_Daten`.
struct Filterfelder {
    const char* ereignis;
    const char* info;
    std::vector<const char*> leeren;  // emptied when the filter is removed
    std::vector<const char*> aus;     // set to "f" when the filter is removed
};

const Filterfelder kHaeufigkeit = {
    "ID_Ereignis_Haeufigkeit",
    "Ereignis_Haeufigkeit_Info",
    {"Haeufigkeit_Anzahl_von", "Haeufigkeit_Anzahl_bis", "Haeufigkeit_Coups_zurueck_von",
     "Haeufigkeit_Coups_zurueck_bis"},
    {"Haeufigkeit_ungleich", "Haeufigkeit_vor_Ereignisfolge", "Haeufigkeit_Filterung_aktiv"}};
const Filterfelder kSerien = {
    "ID_Ereignis_Serien",
    "Ereignis_Serien_Info",
    {"Serien_Anzahl_von", "Serien_Anzahl_bis", "Serien_von", "Serien_bis",
     "Serien_Coups_zurueck_von", "Serien_Coups_zurueck_bis"},
    {"Serien_ungleich", "Serien_vor_Ereignisfolge", "Serien_Filterung_aktiv"}};
const Filterfelder kRueckstaendigkeit = {
    "ID_Ereignis_Rueckstaendigkeit",
    "Ereignis_Rueckstaendigkeit_Info",
    {"Rueckstaendigkeit_Anzahl_von", "Rueckstaendigkeit_Anzahl_bis",
     "Rueckstaendigkeit_Coups_zurueck_von", "Rueckstaendigkeit_Coups_zurueck_bis"},
    {"Rueckstaendigkeit_ungleich", "Rueckstaendigkeit_vor_Ereignisfolge",
     "Rueckstaendigkeit_Filterung_aktiv"}};

// The info texts of the filter events are read-only for everyone but the event choice.
class Schreibfreigabe {
  public:
    Schreibfreigabe(TableCursor& c, const char* feld) : c_(c), feld_(feld) {
        c_.setReadOnly(feld_, false);
    }
    ~Schreibfreigabe() { c_.setReadOnly(feld_, true); }
    Schreibfreigabe(const Schreibfreigabe&) = delete;
    Schreibfreigabe& operator=(const Schreibfreigabe&) = delete;

  private:
    TableCursor& c_;
    const char* feld_;
};

void bearbeiten(TableCursor& c) {
    if (!c.isEditing()) {
        c.edit();
    }
}

void Filter_Setzen(Kontext& k, const Filterfelder& f, bool aufnahme, int ereignis,
                   const std::string& info) {
    auto& daten = k.dm.TdbTable_System_Daten;
    Schreibfreigabe freigabe(daten, f.info);
    bearbeiten(daten);
    if (aufnahme) {
        daten.setInteger(f.ereignis, ereignis);
        daten.setText(f.info, info);
    } else {
        daten.setNull(f.ereignis);
        daten.setNull(f.info);
        for (const char* feld : f.leeren) {
            daten.setNull(feld);
        }
        for (const char* feld : f.aus) {
            daten.setText(feld, "f");
        }
    }
    daten.post();
}

void Folgefilter_Entfernen(Kontext& k) {
    auto& daten = k.dm.TdbTable_System_Daten;
    bearbeiten(daten);
    for (const char* feld : {"Ereignisfolge_Angriff_OK_von", "Ereignisfolge_Angriff_OK_bis",
                             "Ereignisfolgen_zurueck_von", "Ereignisfolgen_zurueck_bis"}) {
        daten.setNull(feld);
    }
    daten.setText("Ereignisfolge_ungleich", "f");
    daten.setText("Ereignisfolge_Filterung_aktiv", "f");
    daten.post();
}

void Ereignis_Uebernehmen(Kontext& k, char modus, bool aufnahme, int ereignis,
                          const std::string& info) {
    switch (modus) {
        case 'H':
            Filter_Setzen(k, kHaeufigkeit, aufnahme, ereignis, info);
            break;
        case 'S':
            Filter_Setzen(k, kSerien, aufnahme, ereignis, info);
            break;
        case 'R':
            Filter_Setzen(k, kRueckstaendigkeit, aufnahme, ereignis, info);
            break;
        case 'E':
            if (aufnahme) {
                systems::Ereignisfolge_Anfuegen(k, ereignis);
            } else {
                Folgefilter_Entfernen(k);
            }
            break;
        default:
            break;
    }
}

// Identifier and numbers text (current language) of the current row of an event cursor; 0 and
// an empty text when it shows none.
std::pair<int, std::string> Gewaehltes_Ereignis(Kontext& k, store::Cursor& c) {
    if (!c.isOpen() || c.isEmpty()) {
        return {0, std::string()};
    }
    return {c.integer("ID_Ereignis"),
            c.text(k.sitzung.englisch() ? "Ereignis_Info_Englisch" : "Ereignis_Info")};
}

}  // namespace

void BitBtn_Aufnahme_EreignisClick(Kontext& k, bool aufnahme) {
    const auto [ereignis, info] = Gewaehltes_Ereignis(k, k.dm.TdbTable_Ereignisse);
    Ereignis_Uebernehmen(k, k.sitzung.ereigniswahl_modus, aufnahme, ereignis, info);
}

void MenuItem_Ereignis_AufnehmenClick(Kontext& k) {
    k.sitzung.ereigniswahl_modus = 'E';
    const auto [ereignis, info] = Gewaehltes_Ereignis(k, k.dm.TdbQuery_Ereignisse_Haeufigkeit);
    Ereignis_Uebernehmen(k, 'E', true, ereignis, info);
}

}  // namespace spinalyst::events
