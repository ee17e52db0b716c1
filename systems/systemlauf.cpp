#include "systems/systemlauf.h"

#include <exception>
#include <string>

#include "store/bulk_writer.h"
#include "systems/ergebnisse.h"
#include "systems/pruefung.h"
#include "systems/system.h"

namespace spinalyst::systems {

using kern::Kontext;
using store::Value;

namespace {

// More marked systems than this are not run together.
constexpr int kHoechstensAktiv = 7;

}  // namespace

void System_Wieder_Zeigen(Kontext& k, std::int64_t system) {
    auto& systeme = k.dm.TdbTable_Systeme;
    if (system != 0 && systeme.isOpen()) {
        systeme.locate("ID_System_AutoInc", {Value(system)});
    }
    if (!systeme.isOpen() || systeme.isEmpty()) {
        return;
    }
    Instanz_Waehlen(k, 1);
}

std::int64_t Gewaehltes_System(const Kontext& k) {
    const auto& systeme = k.dm.TdbTable_Systeme;
    return systeme.isOpen() && !systeme.isEmpty() &&
                   systeme.state() != store::CursorState::Insert
               ? systeme.value("ID_System_AutoInc").toInt64()
               : 0;
}

namespace {

// Stores the summary of the evaluation of one system: one row per system, casino, gaming table
// and range of result days, written anew when the same evaluation runs again.
void Ueberblick_Speichern(Kontext& k, std::int64_t system) {
    auto& dm = k.dm;
    auto& w = dm.TdbTable_Wahl;
    auto& db = dm.TdbDatabase_Roulette;
    const Value casino = w.value("ID_Casino");
    const Value tisch = w.value("Tisch");
    const store::Date bis = k.sitzung.gewaehlter_tag;
    const store::Date von = bis.addDays(1 - w.integer("System_Tage_Anzahl"));

    store::Statement& positiv = db.cached(
        "SELECT COUNT(*) FROM Permanenz_Tag_Zusammenfassung WHERE ID_Casino = ? AND Tisch = ? "
        "AND Datum >= ? AND Datum <= ? AND Gewinn_Verlust > 0");
    positiv.reset();
    positiv.bind(1, casino);
    positiv.bind(2, tisch);
    positiv.bind(3, Value(von));
    positiv.bind(4, Value(bis));
    const std::int64_t tagePositiv = positiv.step() ? positiv.int64(0) : 0;
    positiv.reset();

    store::Statement& name =
        db.cached("SELECT Casino_Name FROM Casino WHERE ID_Casino_AutoInc = ?");
    name.reset();
    name.bind(1, casino);
    const Value casinoName = name.step() ? name.value(0) : Value();
    name.reset();

    store::Statement& gesamt = db.cached(
        "SELECT Tage, Gewinn_Verlust, Gewinn_Maximal, Verlust_Maximal, Coups_Anzahl, Angriffe "
        "FROM Permanenz_Tag_Zusammenfassung_G WHERE ID_Casino = ? AND Tisch = ? ORDER BY rowid");
    gesamt.reset();
    gesamt.bind(1, casino);
    gesamt.bind(2, tisch);
    std::vector<Value> summe(6);
    if (gesamt.step()) {
        for (int i = 0; i < 6; ++i) {
            summe[static_cast<std::size_t>(i)] = gesamt.value(i);
        }
    }
    gesamt.reset();

    store::Statement& vorhanden = db.cached(
        "SELECT rowid FROM Systeme_Auswertungen_Ueberblick WHERE ID_System = ? AND ID_Casino = ? "
        "AND Tisch = ? AND Datum_von = ? AND Datum_bis = ? ORDER BY rowid");
    vorhanden.reset();
    vorhanden.bind(1, system);
    vorhanden.bind(2, casino);
    vorhanden.bind(3, tisch);
    vorhanden.bind(4, Value(von));
    vorhanden.bind(5, Value(bis));
    const std::int64_t zeile = vorhanden.step() ? vorhanden.int64(0) : 0;
    vorhanden.reset();

    store::BulkWriter schreiber(db);
    if (zeile != 0) {
        schreiber.execute(
            "UPDATE Systeme_Auswertungen_Ueberblick SET Casino_Name = ?, Tage = ?, "
            "Tage_positiv = ?, Gewinn_Verlust = ?, Gewinn_Maximal = ?, Verlust_Maximal = ?, "
            "Coups_Anzahl = ?, Angriffe = ? WHERE rowid = ?",
            {casinoName, summe[0], Value(tagePositiv), summe[1], summe[2], summe[3], summe[4],
             summe[5], Value(zeile)});
    } else {
        schreiber
            .insert("Systeme_Auswertungen_Ueberblick",
                    {"ID_System", "ID_Casino", "Tisch", "Datum_von", "Datum_bis", "Casino_Name",
                     "Tage", "Tage_positiv", "Gewinn_Verlust", "Gewinn_Maximal", "Verlust_Maximal",
                     "Coups_Anzahl", "Angriffe"})
            .write({Value(system), casino, tisch, Value(von), Value(bis), casinoName, summe[0],
                    Value(tagePositiv), summe[1], summe[2], summe[3], summe[4], summe[5]});
    }
    schreiber.refreshAfterCommit(dm.TdbTable_Systeme_Auswertungen_Ueberblick);
    schreiber.commit();
}

}  // namespace

Systemlauf BitBtn_Berechnung_System_AuswertungClick(Kontext& k,
                                                    const kern::Ereigniskatalog& katalog) {
    Systemlauf lauf;
    auto& dm = k.dm;
    const std::int64_t system = Gewaehltes_System(k);
    try {
        if (system != 0 && !System_Pruefen(k).ok() &&
            !k.ui.confirm(k.text("Angriffsereignisse, Systemeinsätze möglichweise fehlerhaft!\n"
                                 "Trotzdem berechnen?",
                                 "Attack events, system operations as possible errors!\n"
                                 "Nevertheless, calculated?"))) {
            System_Wieder_Zeigen(k, system);
            return lauf;
        }
        System_Wieder_Zeigen(k, system);
        Systemdetails_Aus(k);
        Vorherige_Ergebnisse_Zuruecksetzen(k);
        auto& w = dm.TdbTable_Wahl;
        Laufparameter p;
        p.modus = w.text("System_Online_Alle") == "t" ? 'A' : 'E';
        p.uebergreifend = w.text("System_Online_Tage_uebergreifend") == "t";
        p.system = system;
        if (Systeme_Vorbereiten(k, false) > kHoechstensAktiv && p.modus == 'A') {
            k.ui.inform("Mehr als 7 aktive Systeme!");
            System_Wieder_Zeigen(k, system);
            return lauf;
        }
        k.ui.setBusy(true);
        try {
            lauf.auswertung = Systemauswertung_Berechnen(k, katalog, p);
        } catch (...) {
            k.ui.setBusy(false);
            throw;
        }
        k.ui.setBusy(false);
        lauf.gelaufen = true;
        if (p.modus == 'E' && system != 0) {
            Ueberblick_Speichern(k, system);
        }
    } catch (const std::exception& e) {
        // Nothing is reported; the window shows what was stored (the command line reports it).
        lauf.auswertung.fehler = e.what();
    }
    try {
        System_Wieder_Zeigen(k, system);
    } catch (const std::exception&) {
    }
    k.ansicht.neuZeichnen();
    return lauf;
}

void DBEdit_Tage_SystemChange(Kontext& k) {
    auto& w = k.dm.TdbTable_Wahl;
    if (w.isEditing()) {
        w.post();
    }
    Vorherige_Ergebnisse_Zuruecksetzen(k);
    // The selection row stays in edit state, as the main window keeps it.
    if (!w.isEditing()) {
        w.edit();
    }
}

}  // namespace spinalyst::systems
