#include "capture/eingabe.h"

#include "capture/auswahl.h"
#include "kern/tagessumme.h"
#include "kern/wahl.h"
#include "store/sqlite.h"

namespace spinalyst::capture {

using kern::Kontext;
using store::TableCursor;
using store::Value;

namespace {

// Appends the coup about to be played: a coup of the selection without a number.
void Naechsten_Coup_Anhaengen(Kontext& k) {
    auto& w = k.dm.TdbTable_Wahl;
    auto& p = k.dm.TdbTable_Permanenz;
    p.append();
    p.setValue("ID_Casino", w.value("ID_Casino"));
    p.setValue("Tisch", w.value("Tisch"));
    p.setValue("Datum", w.value("Datum"));
    p.setNull("Zahl");
    p.post();
}

// After a rolled-back store: every cursor the store writes through gives up its edit and reads
// its rows again, so that none shows a row the table does not hold. Errors here are not the
// ones to report.
void Nach_Rueckrollen_Lesen(Kontext& k) {
    for (store::TableCursor* c :
         {&k.dm.TdbTable_Wahl, &k.dm.TdbTable_Permanenz,
          &k.dm.TdbTable_Permanenz_Tag_Zusammenfassung,
          &k.dm.TdbTable_Permanenz_Tag_Zusammenfassung_G, &k.dm.TdbTable_Casino_Tisch_Datum}) {
        try {
            if (c->isEditing()) {
                c->cancel();
            }
            if (c->isOpen()) {
                c->refresh();
            }
        } catch (const std::exception&) {
        }
    }
}

// Whether the selection names a stored casino. Without one a number would be stored under a
// casino nobody created, and the first casino created later would inherit the day.
bool Casino_Der_Auswahl_Vorhanden(Kontext& k) {
    const Value id = k.dm.TdbTable_Wahl.value("ID_Casino");
    if (id.isNull()) {
        return false;
    }
    store::Statement q(k.dm.TdbDatabase_Roulette.connection(),
                       "SELECT 1 FROM Casino WHERE ID_Casino_AutoInc = ?");
    q.bind(1, id);
    return q.step();
}

}  // namespace

void Permanenz_Hooks_Installieren(Kontext& k) {
    k.dm.TdbTable_Permanenz.setAfterDeleteHook(
        [&k](TableCursor&) { TdbTable_PermanenzAfterDelete(k); });
}

int Coups_mit_Zahl(Kontext& k) {
    auto& p = k.dm.TdbTable_Permanenz;
    const int zahl = p.fieldIndex("Zahl");
    int n = 0;
    for (int i = 0; const store::Row* row = p.rowAt(i); ++i) {
        n += row->values[static_cast<std::size_t>(zahl)].isNull() ? 0 : 1;
    }
    return n;
}

void Tageszeile_Pflegen(Kontext& k, int coupsAnzahl) {
    auto& w = k.dm.TdbTable_Wahl;
    auto& t = k.dm.TdbTable_Permanenz_Tag_Zusammenfassung;
    const std::vector<Value> schluessel = {w.value("ID_Casino"), w.value("Tisch"),
                                           w.value("Datum")};
    const char* felder = "ID_Casino;Tisch;Datum";
    if (t.locate(felder, schluessel)) {
        t.edit();
        t.setInteger("Coups_Anzahl", coupsAnzahl);
        t.post();
        return;
    }
    // Outside the day window (or N below 1): look the day up among all day rows of the casino
    // and gaming table, so that a day never gets a second row.
    bool angelegt = false;
    t.setFiltered(false);
    try {
        if (!t.locate(felder, schluessel)) {
            t.append();
            t.setValue("ID_Casino", schluessel[0]);
            t.setValue("Tisch", schluessel[1]);
            t.setValue("Datum", schluessel[2]);
            angelegt = true;
        } else {
            t.edit();
        }
        t.setInteger("Coups_Anzahl", coupsAnzahl);
        t.post();
    } catch (...) {
        t.cancel();
        t.setFiltered(true);
        throw;
    }
    t.setFiltered(true);
    t.locate(felder, schluessel);
    if (angelegt) {
        Tisch_Datum_Aktualisieren(k);
    }
}

void MenuItem_Permanenzen_EingabeClick(Kontext& k) {
    if (k.sitzung.eingabemodus) {
        return;
    }
    k.sitzung.eingabemodus = true;
    k.ansicht.eingabemodusGeaendert();
    auto& p = k.dm.TdbTable_Permanenz;
    p.last();
    if (!p.isEmpty() && !p.isNull("Zahl") && Casino_Der_Auswahl_Vorhanden(k)) {
        Naechsten_Coup_Anhaengen(k);
    }
}

void BitBtn_Permanenz_ZahlClick(Kontext& k) {
    auto& w = k.dm.TdbTable_Wahl;
    auto& p = k.dm.TdbTable_Permanenz;
    // The coup, the coup about to be played, the day row, the totals and the selection are
    // stored together or not at all. When anything fails the cursors drop what they showed of
    // the rolled-back rows and read the table again.
    bool casinoVorhanden = false;
    try {
        store::Transaction tx(k.dm.TdbDatabase_Roulette.connection());
        kern::Wahl_Uebernehmen(k);
        casinoVorhanden = Casino_Der_Auswahl_Vorhanden(k);
        const Value zahl = w.value("Permanenz_Zahl");
        if (!casinoVorhanden) {
            // Refused: nothing but the cleared number field is written.
        } else if (!zahl.isNull() && zahl.toInt64() >= 0 && zahl.toInt64() <= 36) {
            if (p.isEmpty()) {
                p.append();
                p.setValue("ID_Casino", w.value("ID_Casino"));
                p.setValue("Tisch", w.value("Tisch"));
                p.setValue("Datum", w.value("Datum"));
            } else {
                p.edit();
            }
            p.setValue("Zahl", zahl);
            p.post();
            p.next();
            if (p.eof()) {
                Naechsten_Coup_Anhaengen(k);
            }
        }
        if (casinoVorhanden) {
            Tageszeile_Pflegen(k, Coups_mit_Zahl(k));
            kern::Tag_Gesamt_Berechnen(k);
        }
        // The typed number is consumed: the field is empty for the next one.
        w.edit();
        w.setNull("Permanenz_Zahl");
        w.post();
        tx.commit();
    } catch (...) {
        Nach_Rueckrollen_Lesen(k);
        throw;
    }
    w.edit();
    k.ansicht.zahlfeldLeeren();
    if (!casinoVorhanden) {
        k.ui.inform(
            k.text("Keine Zahl gespeichert: das gewählte Casino gibt es nicht.\n"
                   "Bitte zuerst ein Casino anlegen und wählen!",
                   "No number stored: the selected casino does not exist.\n"
                   "Please create and choose a casino first!"));
    }
}

void Deaktiviere_manuellen_Eingabemodus(Kontext& k) {
    k.sitzung.loeschpflege = false;
    try {
        k.sitzung.eingabemodus = false;
        k.ansicht.eingabemodusGeaendert();
        auto& p = k.dm.TdbTable_Permanenz;
        if (p.isOpen() && !p.isEmpty()) {
            const Value gemerkt = p.value("ID_Zahl");
            p.last();
            if (p.isNull("Zahl")) {
                p.remove();
            }
            p.first();
            if (!gemerkt.isNull()) {
                p.locate("ID_Zahl", {gemerkt});
            }
        }
    } catch (const std::exception&) {
        // Ending the mode never fails visibly.
    }
    k.sitzung.loeschpflege = true;
}

void TdbTable_PermanenzAfterDelete(Kontext& k) {
    if (!k.sitzung.loeschpflege) {
        return;
    }
    Tageszeile_Pflegen(k, Coups_mit_Zahl(k));
    kern::Tag_Gesamt_Berechnen(k);
}

}  // namespace spinalyst::capture
