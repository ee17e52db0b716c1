#include "systems/system.h"

#include <algorithm>
#include <exception>
#include <stdexcept>

#include "systems/ereignisfolge.h"
#include "systems/ergebnisse.h"

namespace spinalyst::systems {

using kern::Kontext;
using store::CursorState;
using store::TableCursor;
using store::Value;

namespace {

// The flags of a data row; a new row has them all "f".
constexpr const char* kFlaggen[] = {
    "Haeufigkeit_ungleich",
    "Haeufigkeit_vor_Ereignisfolge",
    "Haeufigkeit_Filterung_aktiv",
    "Serien_ungleich",
    "Serien_vor_Ereignisfolge",
    "Serien_Filterung_aktiv",
    "Rueckstaendigkeit_ungleich",
    "Rueckstaendigkeit_vor_Ereignisfolge",
    "Rueckstaendigkeit_Filterung_aktiv",
    "Ereignisfolge_ungleich",
    "Ereignisfolge_Filterung_aktiv",
};

// The tables whose rows belong to one system through `ID_System`.
constexpr const char* kSystemtabellen[] = {
    "System_Daten",        "System_Ereignisse",   "System_Angriffe",
    "Individuell_1_Daten", "Individuell_2_Daten", "Systeme_Auswertungen_Ueberblick",
    "Systeme_Abarbeitung",
};

bool hatZeile(const TableCursor& c) {
    return c.isOpen() && (c.isEditing() || !c.isEmpty());
}

// The default rows of the shown instance: the data row and, when asked, the 52 stake rows. One
// transaction, so an instance never keeps half of them.
void Standardzeilen_Anlegen(Kontext& k, bool mitEinsaetzen) {
    auto& daten = k.dm.TdbTable_System_Daten;
    auto& angriffe = k.dm.TdbTable_System_Angriffe;
    try {
        store::Transaction tx(k.dm.TdbDatabase_Roulette.connection());
        daten.append();
        const auto werte = System_Daten_Standardwerte();
        for (std::size_t i = 0; i < werte.size(); ++i) {
            if (!werte[i].isNull()) {
                daten.setValue(daten.fieldNames()[i], werte[i]);
            }
        }
        daten.post();
        if (mitEinsaetzen) {
            // The views are detached while the rows are written and reset once afterwards.
            const store::ControlsSuspended angehalten(angriffe);
            for (const auto& id : Angriff_Zeilen()) {
                angriffe.append();
                angriffe.setText("ID_Angriff", id);
                if (id == "G") {
                    angriffe.setInteger("Satz", 100);
                } else if (id == "V") {
                    angriffe.setInteger("Satz", -100);
                }
                angriffe.post();
            }
            angriffe.first();
        }
        tx.commit();
    } catch (...) {
        if (daten.isEditing()) {
            daten.cancel();
        }
        if (angriffe.isEditing()) {
            angriffe.cancel();
        }
        daten.refresh();
        angriffe.refresh();
        throw;
    }
}

// Empties the engine's work table of bets (close, empty, open again).
void Wetten_Leeren(Kontext& k) {
    auto& wetten = k.dm.TdbTable_Systeme_Abarbeitung;
    const bool offen = wetten.isOpen();
    wetten.close();
    wetten.emptyTable();
    if (offen) {
        wetten.open();
    }
}

// When the totals row holds the result of a system evaluation, that result is cleared.
void Systemauswertung_Auffrischen(Kontext& k) {
    auto& gesamt = k.dm.TdbTable_Permanenz_Tag_Zusammenfassung_G;
    if (gesamt.isOpen() && !gesamt.isEmpty() && !gesamt.isNull("Gewinn_Verlust")) {
        Vorherige_Ergebnisse_Zuruecksetzen(k);
    }
}

void Wahl_Posten(Kontext& k) {
    auto& w = k.dm.TdbTable_Wahl;
    if (w.isEditing()) {
        w.post();
    }
}

}  // namespace

const std::vector<std::string>& Angriff_Zeilen() {
    static const std::vector<std::string> zeilen = [] {
        std::vector<std::string> z;
        for (int i = 1; i <= kStufen; ++i) {
            z.push_back(std::to_string(i));
        }
        z.emplace_back("G");
        z.emplace_back("V");
        return z;
    }();
    return zeilen;
}

std::vector<Value> System_Daten_Standardwerte() {
    const store::TableDef& t = *store::findTable("System_Daten");
    std::vector<Value> werte(t.fields.size());
    for (const char* f : kFlaggen) {
        werte[static_cast<std::size_t>(t.fieldIndex(f))] = Value("f");
    }
    werte[static_cast<std::size_t>(t.fieldIndex("Setzart"))] = Value("E");
    return werte;
}

void Systemcursoren_Auffrischen(store::DataModule_Roulette& dm) {
    // After a rolled-back write the cursors still hold rows the database no longer has (or lack
    // rows it has again). A hook that fails on one cursor (its rows are read by then) does not
    // keep the others stale; the first error is passed on at the end.
    std::exception_ptr fehler;
    for (TableCursor* c :
         {&dm.TdbTable_Systeme, &dm.TdbTable_Systeme_2, &dm.TdbTable_System_Daten,
          &dm.TdbTable_System_Ereignisse, &dm.TdbTable_System_Angriffe, &dm.TdbTable_System_Daten_2,
          &dm.TdbTable_System_Ereignisse_2, &dm.TdbTable_System_Angriffe_2,
          &dm.TdbTable_Individuell_Daten_1, &dm.TdbTable_Individuell_Daten_2,
          &dm.TdbTable_Systeme_Auswertungen_Ueberblick, &dm.TdbTable_Systeme_Abarbeitung}) {
        try {
            c->refresh();
        } catch (...) {
            if (!fehler) {
                fehler = std::current_exception();
            }
        }
    }
    if (fehler) {
        std::rethrow_exception(fehler);
    }
}

void Systemhaken_Installieren(Kontext& k) {
    // The hooks keep their own copy of the references.
    Kontext kk = k;
    auto& dm = k.dm;
    for (TableCursor* s : {&dm.TdbTable_Systeme, &dm.TdbTable_Systeme_2}) {
        s->setFilter(
            [kk](const store::RowView& row) { return TdbTable_SystemeFilterRecord(kk, row); });
        s->setBeforePostHook(TdbTable_SystemeBeforePost);
    }
    dm.TdbTable_Systeme.setDataChangeHook(
        [kk](store::Cursor&) mutable { DataSource_Tdb_SystemeDataChange(kk); });
    dm.TdbTable_System_Ereignisse.setDataChangeHook(
        [kk](store::Cursor& c) mutable { DataSource_Tdb_System_EreignisseDataChange(kk, c); });
    for (TableCursor* s : {&dm.TdbTable_Systeme, &dm.TdbTable_Systeme_2}) {
        if (s->isOpen()) {
            s->setFiltered(true);
        }
    }
}

bool TdbTable_SystemeFilterRecord(const Kontext& k, const store::RowView& row) {
    const auto& w = k.dm.TdbTable_Wahl;
    return row.integer("ID_System_Art") == w.integer("ID_System_Art") &&
           row.integer("ID_System_Chancen") == w.integer("ID_System_Chancen");
}

void TdbTable_SystemeBeforePost(TableCursor& systeme) {
    if (systeme.isNull("ID_System_Nummer")) {
        systeme.cancel();
        throw store::PostCancelled();
    }
}

bool Systeme_Posten(TableCursor& systeme) {
    try {
        systeme.post();
    } catch (const store::PostCancelled&) {
        return false;
    }
    return true;
}

void DataSource_Tdb_SystemeDataChange(Kontext& k) {
    auto& s = k.dm.TdbTable_Systeme;
    if (!s.isOpen()) {
        return;
    }
    // A stored system whose number was cleared goes back to what is stored. Cancelling runs this
    // hook again for the restored row, which does the rest.
    if (s.state() == CursorState::Edit && s.isNull("ID_System_Nummer")) {
        s.cancel();
        return;
    }
    const bool nummeriert = hatZeile(s) && s.integer("ID_System_Nummer") >= 1;
    k.ansicht.systemdetailsKastenFreigeben(nummeriert);
    if (!nummeriert || s.state() != CursorState::Browse) {
        return;
    }
    auto& folge = k.dm.TdbTable_System_Ereignisse;
    auto& daten = k.dm.TdbTable_System_Daten;
    auto& angriffe = k.dm.TdbTable_System_Angriffe;
    // The system cursor tells its details only after this hook: let them follow first.
    for (TableCursor* d : {&folge, &daten, &angriffe}) {
        d->masterChanged();
    }
    if (folge.isOpen()) {
        folge.last();
    }
    if (daten.isOpen() && daten.isEmpty()) {
        Standardzeilen_Anlegen(k, angriffe.isOpen() && angriffe.isEmpty());
    }
}

int MenuItem_Systeme_AufnahmeClick(Kontext& k) {
    auto& s = k.dm.TdbTable_Systeme;
    auto& w = k.dm.TdbTable_Wahl;
    if (s.isEditing()) {
        Systeme_Posten(s);
    }
    int hoechste = 0;
    const int nummer = s.fieldIndex("ID_System_Nummer");
    for (int i = 0; const store::Row* r = s.rowAt(i); ++i) {
        hoechste = std::max(hoechste, r->values[static_cast<std::size_t>(nummer)].toInt());
    }
    // In one step, so that the row is never seen without its number.
    s.appendRecord({Value(), Value(1), Value(hoechste + 1), w.value("ID_System_Art"),
                    w.value("ID_System_Chancen"), Value("(Neues System)"), Value(), Value(),
                    Value("f"), Value("t"), Value(0), Value("f"), Value("f"), Value("f"),
                    Value("t")});
    return s.integer("ID_System_AutoInc");
}

void DBComboBox_Instanz_System_DatenChange(Kontext& k) {
    Wahl_Posten(k);
    auto& s = k.dm.TdbTable_Systeme;
    if (!hatZeile(s)) {
        return;
    }
    s.setValue("ID_Instanz", k.dm.TdbTable_Wahl.value("ID_Instanz"));
    if (!Systeme_Posten(s)) {
        return;
    }
    // A system numbered below 1 gets no default rows from the data-change hook; it needs at
    // least its data row for the panel.
    auto& daten = k.dm.TdbTable_System_Daten;
    daten.masterChanged();
    if (daten.isOpen() && daten.isEmpty()) {
        Standardzeilen_Anlegen(k, false);
    }
}

void Instanz_Waehlen(Kontext& k, int instanz) {
    if (instanz < 1 || instanz > 3) {
        throw std::invalid_argument("instance " + std::to_string(instanz) + " is not 1, 2 or 3");
    }
    k.dm.TdbTable_Wahl.setInteger("ID_Instanz", instanz);
    DBComboBox_Instanz_System_DatenChange(k);
}

void DBGrid_SystemeEnter(Kontext& k) {
    auto& w = k.dm.TdbTable_Wahl;
    w.setInteger("ID_Instanz", 1);
    w.post();
    auto& s = k.dm.TdbTable_Systeme;
    if (!hatZeile(s) || s.integer("ID_System_Nummer") < 1) {
        return;
    }
    s.setInteger("ID_Instanz", 1);
    if (!Systeme_Posten(s)) {
        return;
    }
    Wetten_Leeren(k);
    Systemauswertung_Auffrischen(k);
}

void DBLookupComboBox_System_Art_ChancenCloseUp(Kontext& k) {
    Systemdetails_Aus(k);
    Wahl_Posten(k);
    auto& s = k.dm.TdbTable_Systeme;
    if (s.isEditing()) {
        Systeme_Posten(s);
    }
    k.dm.TdbTable_Systeme_2.refresh();
    if (s.isOpen()) {
        s.refresh();
        s.first();
    }
    DBGrid_SystemeEnter(k);
    Wetten_Leeren(k);
    Systemauswertung_Auffrischen(k);
}

void System_Art_Chancen_Waehlen(Kontext& k, int art, int chancen) {
    auto& w = k.dm.TdbTable_Wahl;
    w.setInteger("ID_System_Art", art);
    w.setInteger("ID_System_Chancen", chancen);
    DBLookupComboBox_System_Art_ChancenCloseUp(k);
}

void MenuItem_Systeme_InformationClick(Kontext& k, bool an) {
    auto& s = k.dm.TdbTable_Systeme;
    if (!an && s.isEditing()) {
        Systeme_Posten(s);
    }
}

void CheckBox_SystemdetailsClick(Kontext& k, bool an) {
    auto& dm = k.dm;
    if (an) {
        auto& s = dm.TdbTable_Systeme;
        int art = dm.TdbTable_Wahl.integer("ID_System_Art");
        if (hatZeile(s)) {
            art = s.integer("ID_System_Art");
            s.setText("Systemaenderung_erfolgt", "t");
            Systeme_Posten(s);
        }
        k.ansicht.systemdetailsFreigeben(art != kArtIndividuell, true);
        return;
    }
    for (TableCursor* c : {&dm.TdbTable_System_Daten, &dm.TdbTable_System_Ereignisse,
                           &dm.TdbTable_System_Angriffe}) {
        if (c->isEditing()) {
            c->post();
        }
    }
    k.ansicht.systemdetailsFreigeben(false, false);
}

void Systemdetails_Aus(Kontext& k) {
    k.ansicht.systemdetailsAus();
    CheckBox_SystemdetailsClick(k, false);
}

bool MenuItem_Systeme_LoeschenClick(Kontext& k) {
    auto& s = k.dm.TdbTable_Systeme;
    if (!s.isOpen()) {
        return false;
    }
    if (s.state() == CursorState::Insert) {
        s.cancel();
    }
    if (s.isEmpty()) {
        return false;
    }
    if (!k.ui.confirmDeletion(k.text("System wirklich löschen?", "System delete?"))) {
        return false;
    }
    const Value id = s.value("ID_System_AutoInc");
    s.cancel();
    try {
        store::Transaction tx(k.dm.TdbDatabase_Roulette.connection());
        for (const char* tabelle : kSystemtabellen) {
            store::execute(k.dm.TdbDatabase_Roulette.connection(),
                           std::string("DELETE FROM ") + tabelle + " WHERE ID_System = ?", {id});
        }
        s.remove();
        tx.commit();
    } catch (...) {
        try {
            Systemcursoren_Auffrischen(k.dm);
        } catch (...) {
        }
        throw;
    }
    Systemcursoren_Auffrischen(k.dm);
    return true;
}

}  // namespace spinalyst::systems
