#include "mining/uebernahme.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "mining/ergebnisse.h"
#include "store/bulk_writer.h"
#include "store/field_value.h"
#include "store/schema.h"
#include "systems/system.h"
#include "systems/systemauswertung.h"

namespace spinalyst::mining {

using store::Value;

namespace {

// The fields of one filter: the event, its text, the numbers copied from the run's snapshot in
// `Wahl` (system field, `Wahl` field), the negation, the "before the sequence" flag and the
// on/off flag.
struct Filterfelder {
    const char* ereignis;
    const char* info;
    std::vector<std::pair<const char*, const char*>> zahlen;
    const char* ungleich;
    const char* vorFolge;
    const char* vorFolgeWahl;
    const char* aktiv;
};

const std::array<Filterfelder, 3>& filterfelder() {
    static const std::array<Filterfelder, 3> felder = {
        Filterfelder{"ID_Ereignis_Haeufigkeit",
                     "Ereignis_Haeufigkeit_Info",
                     {{"Haeufigkeit_Anzahl_von", "DM_Haeufigkeit_Anzahl_von"},
                      {"Haeufigkeit_Anzahl_bis", "DM_Haeufigkeit_Anzahl_bis"},
                      {"Haeufigkeit_Coups_zurueck_von", "DM_Haeufigkeit_Coups_zurueck_von"},
                      {"Haeufigkeit_Coups_zurueck_bis", "DM_Haeufigkeit_Coups_zurueck_bis"}},
                     "Haeufigkeit_ungleich",
                     "Haeufigkeit_vor_Ereignisfolge",
                     "DM_Haeufigkeit_vor_Ereignisfolge",
                     "Haeufigkeit_Filterung_aktiv"},
        Filterfelder{"ID_Ereignis_Serien",
                     "Ereignis_Serien_Info",
                     {{"Serien_Anzahl_von", "DM_Serien_Anzahl_von"},
                      {"Serien_Anzahl_bis", "DM_Serien_Anzahl_bis"},
                      {"Serien_von", "DM_Serien_von"},
                      {"Serien_bis", "DM_Serien_bis"},
                      {"Serien_Coups_zurueck_von", "DM_Serien_Coups_zurueck_von"},
                      {"Serien_Coups_zurueck_bis", "DM_Serien_Coups_zurueck_bis"}},
                     "Serien_ungleich",
                     "Serien_vor_Ereignisfolge",
                     "DM_Serien_vor_Ereignisfolge",
                     "Serien_Filterung_aktiv"},
        Filterfelder{
            "ID_Ereignis_Rueckstaendigkeit",
            "Ereignis_Rueckstaendigkeit_Info",
            {{"Rueckstaendigkeit_Anzahl_von", "DM_Rueckstaendigkeit_Anzahl_von"},
             {"Rueckstaendigkeit_Anzahl_bis", "DM_Rueckstaendigkeit_Anzahl_bis"},
             {"Rueckstaendigkeit_Coups_zurueck_von", "DM_Rueckstaendigkeit_Coups_zurueck_von"},
             {"Rueckstaendigkeit_Coups_zurueck_bis", "DM_Rueckstaendigkeit_Coups_zurueck_bis"}},
            "Rueckstaendigkeit_ungleich",
            "Rueckstaendigkeit_vor_Ereignisfolge",
            "DM_Rueckstaendigkeit_vor_Ereignisfolge",
            "Rueckstaendigkeit_Filterung_aktiv"},
    };
    return felder;
}

Value flag(bool an) {
    return Value(an ? "t" : "f");
}

std::int64_t zahl(const store::Cursor& c, std::string_view feld) {
    return c.isNull(feld) ? 0 : c.value(feld).toInt64();
}

// A value for a field of a table of the layout, as a cursor would store it.
Value feldwert(const char* tabelle, const char* feld, const Value& v) {
    return store::toFieldType(*store::findTable(tabelle)->field(feld), v);
}

// The stake `Satz` of a `DM_Angriff` row; nothing when the row does not exist (a row with an
// empty stake gives the null value).
std::optional<Value> Einsatz(store::Database& dmModul, int chance, const std::string& art,
                             int schritt) {
    store::Statement& s = dmModul.cached(
        "SELECT Satz FROM DM_Angriff WHERE ID_Chance = ? AND Art_Angriff = ? AND ID_Angriff = ?");
    s.reset();
    s.clearBindings();
    s.bind(1, std::int64_t{chance});
    s.bind(2, std::string_view(art));
    s.bind(3, std::int64_t{schritt});
    std::optional<Value> satz;
    if (s.step()) {
        satz = s.isNull(0) ? Value() : Value(s.int64(0));
    }
    s.reset();
    return satz;
}

}  // namespace

Uebernahmeergebnis BitBtn_UebernahmeClick(kern::Kontext& k, std::int64_t system,
                                          const kern::Ereigniskatalog& katalog) {
    store::DataModule_Roulette& dm = k.dm;
    store::QueryCursor& q = dm.TdbQuery_DM_Ergebnisse;
    const store::TableCursor& wahl = dm.TdbTable_Wahl;
    if (!q.isOpen() || q.isEmpty() || !wahl.isOpen() || wahl.isEmpty()) {
        return Uebernahmeergebnis::Nichts;
    }
    const Ergebnisauswahl auswahl = Ergebnisauswahl_Lesen(wahl);
    if (zahl(wahl, "DM_Chance") != zahl(wahl, "ID_System_Chancen")) {
        k.ui.inform(k.text("Chance Angriff <> Chance System Hauptdialog!",
                           "Chance attack <> Chance System main dialog!"));
        return Uebernahmeergebnis::Abgelehnt;
    }

    // Everything the system is given is read before anything is written.
    store::Database& dmModul = dm.TdbDatabase_DM_Modul;
    const std::optional<HSR_Kombination> kombination =
        HSR_Zeile_Lesen(dmModul, q.value("ID_HSR").toInt64());
    const std::optional<std::array<int, 5>> codes =
        Folge_Zeile_Lesen(dmModul, q.value("ID_Folge").toInt64());
    if (!kombination || !codes) {
        k.ui.inform(
            k.text("Das Muster ist nicht mehr vorhanden: die Kombinationen wurden seit "
                   "der Mustererkennung neu gezählt!",
                   "The pattern no longer exists: the combinations were counted again "
                   "since the pattern recognition!"));
        return Uebernahmeergebnis::Abgelehnt;
    }
    const std::vector<Anzeigeereignis> ereignisse =
        Folge_Ereignisse(*codes, q.integer("ID_Ereignis"));
    const Musteranzeige beschriftung = Filter_Anzeigen(kombination, katalog);
    std::vector<Value> einsaetze;
    for (int schritt = 1; schritt <= std::min(auswahl.laenge, systems::kStufen); ++schritt) {
        const std::optional<Value> satz = Einsatz(dmModul, auswahl.chance, auswahl.art, schritt);
        if (!satz) {
            k.ui.inform(std::string(k.text("Kein Einsatz in DM_Angriff für Chance ",
                                           "No stake in DM_Angriff for chance ")) +
                        std::to_string(auswahl.chance) + k.text(", Art ", ", kind ") + auswahl.art +
                        k.text(", Angriff ", ", attack ") + std::to_string(schritt) + "!");
            return Uebernahmeergebnis::Abgelehnt;
        }
        einsaetze.push_back(*satz);
    }

    systems::Systemaenderungen_Speichern(k);
    const Value id(system);
    const Value instanz(std::int64_t{1});
    try {
        store::BulkWriter schreiber(dm.TdbDatabase_Roulette);

        // The filters, then the sequence filter off and the kind of attack.
        std::string sql = "UPDATE System_Daten SET ";
        std::vector<Value> werte;
        const auto setzen = [&](const char* feld, const Value& v) {
            sql += (werte.empty() ? "" : ", ") + std::string(feld) + " = ?";
            werte.push_back(feldwert("System_Daten", feld, v));
        };
        for (std::size_t i = 0; i < 3; ++i) {
            const Filterfelder& f = filterfelder()[i];
            const Filterstellung& s = kombination->filter[i];
            setzen(f.ereignis, s.ereignis < 1 ? Value() : Value(std::int64_t{s.ereignis}));
            setzen(f.info, s.ereignis < 1 ? Value() : Value(beschriftung[i].text));
            for (const auto& [feld, wahlfeld] : f.zahlen) {
                const Value& v = wahl.value(wahlfeld);
                setzen(feld, !v.isNull() && v.toInt64() == -1 ? Value() : v);
            }
            setzen(f.ungleich, flag(s.ungleich));
            setzen(f.vorFolge, wahl.value(f.vorFolgeWahl));
            setzen(f.aktiv, flag(s.aktiv));
        }
        for (const char* feld : {"Ereignisfolge_Angriff_OK_von", "Ereignisfolge_Angriff_OK_bis",
                                 "Ereignisfolgen_zurueck_von", "Ereignisfolgen_zurueck_bis"}) {
            setzen(feld, Value());
        }
        setzen("Ereignisfolge_ungleich", flag(false));
        setzen("Ereignisfolge_Filterung_aktiv", flag(false));
        setzen("Setzart", Value(auswahl.art));
        sql += " WHERE ID_System = ? AND ID_Instanz = ?";
        werte.push_back(id);
        werte.push_back(instanz);
        if (schreiber.statement(sql).write(werte) == 0) {
            throw store::StoreError(k.text("Das System hat keine Daten in Instanz 1!",
                                           "The system has no data in instance 1!"));
        }

        // The events: the sequence from the oldest position, then the attacked event.
        schreiber.execute("DELETE FROM System_Ereignisse WHERE ID_System = ? AND ID_Instanz = ?",
                          {id, instanz});
        auto& ereignis = schreiber.insert("System_Ereignisse",
                                          {"ID_System", "ID_Instanz", "ID_Ereignis", "Angriff"});
        for (const Anzeigeereignis& e : ereignisse) {
            ereignis.write({id, instanz, Value(std::int64_t{e.ereignis}),
                            feldwert("System_Ereignisse", "Angriff", Value(e.angriff))});
        }

        // The stakes.
        schreiber.execute(
            "UPDATE System_Angriffe SET Satz = NULL WHERE ID_System = ? AND ID_Instanz = ? AND "
            "ID_Angriff NOT IN ('G', 'V')",
            {id, instanz});
        auto& satz = schreiber.statement(
            "UPDATE System_Angriffe SET Satz = ? WHERE ID_System = ? AND ID_Instanz = ? AND "
            "ID_Angriff = ?");
        auto& neu =
            schreiber.insert("System_Angriffe", {"ID_System", "ID_Instanz", "ID_Angriff", "Satz"});
        for (std::size_t i = 0; i < einsaetze.size(); ++i) {
            const Value schritt(std::to_string(i + 1));
            if (satz.write({einsaetze[i], id, instanz, schritt}) == 0) {
                neu.write({id, instanz, schritt, einsaetze[i]});
            }
        }
        schreiber.commit();
    } catch (...) {
        systems::Systemcursoren_Auffrischen(dm);
        throw;
    }
    systems::Systemcursoren_Auffrischen(dm);
    return Uebernahmeergebnis::Uebernommen;
}

}  // namespace spinalyst::mining
