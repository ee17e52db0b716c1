#include "capture/eingabe.h"

#include <algorithm>

#include "capture/auswahl.h"

namespace spinalyst::capture {

using store::Kontext;
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
    if (!p.isEmpty() && !p.isNull("Zahl")) {
        Naechsten_Coup_Anhaengen(k);
    }
}

void BitBtn_Permanenz_ZahlClick(Kontext& k) {
    Wahl_Uebernehmen(k);
    auto& w = k.dm.TdbTable_Wahl;
    auto& p = k.dm.TdbTable_Permanenz;
    const Value zahl = w.value("Permanenz_Zahl");
    if (!zahl.isNull() && zahl.toInt64() >= 0 && zahl.toInt64() <= 36) {
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
    Tageszeile_Pflegen(k, Coups_mit_Zahl(k));
    Tag_Gesamt_Berechnen(k);
    // The typed number is consumed: the field is empty for the next one.
    w.edit();
    w.setNull("Permanenz_Zahl");
    k.ansicht.zahlfeldLeeren();
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
    Tag_Gesamt_Berechnen(k);
}

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

}  // namespace spinalyst::capture
