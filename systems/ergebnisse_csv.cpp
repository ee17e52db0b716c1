#include "systems/ergebnisse_csv.h"

#include <string>
#include <vector>

#include "kern/csv_export.h"
#include "kern/wahl.h"
#include "store/sqlite.h"

namespace spinalyst::systems {

using store::Value;

namespace {

void Kopf(kern::Kontext& k, store::CsvWriter& w,
          std::initializer_list<std::pair<const char*, const char*>> spalten) {
    for (const auto& [de, en] : spalten) {
        w.text(k.text(de, en));
    }
    w.endRow();
}

int Zeilen_Schreiben(store::Statement& q, store::CsvWriter& w) {
    int zeilen = 0;
    while (q.step()) {
        for (int i = 0; i < q.columnCount(); ++i) {
            kern::Wert_Schreiben(w, q.value(i));
        }
        w.endRow();
        ++zeilen;
    }
    return zeilen;
}

}  // namespace

int Systemergebnisse_Exportieren(kern::Kontext& k, Systemteil teil, store::CsvWriter& w) {
    kern::Wahl_Uebernehmen(k);
    auto& wahl = k.dm.TdbTable_Wahl;
    const Value casino = wahl.value("ID_Casino");
    const Value tisch = wahl.value("Tisch");
    const store::Date bis = k.sitzung.gewaehlter_tag;
    const store::Date von = bis.addDays(-wahl.integer("System_Tage_Anzahl") + 1);
    auto& db = k.dm.TdbDatabase_Roulette.connection();

    store::Statement gesamt(db,
                            "SELECT Tage, Gewinn_Verlust, Gewinn_Maximal, Verlust_Maximal, "
                            "Coups_Anzahl, Angriffe FROM Permanenz_Tag_Zusammenfassung_G "
                            "WHERE ID_Casino = ? AND Tisch = ? ORDER BY rowid LIMIT 1");
    gesamt.bind(1, casino);
    gesamt.bind(2, tisch);
    // A run without a bet leaves the results empty: such rows are written as they are; only a
    // stretch without totals row, without days (or without bets, for the bets) is refused.
    if (!gesamt.step()) {
        throw kern::KeinErgebnis(
            k.text("Keine Systemauswertung zum Exportieren.", "No system evaluation to export."));
    }
    switch (teil) {
        case Systemteil::Gesamt: {
            Kopf(k, w,
                 {{"Tage", "days"},
                  {"G/V", "win/loss"},
                  {"Max +", "max +"},
                  {"Max -", "max -"},
                  {"Coups", "coups"},
                  {"Angriffe", "attacks"}});
            for (int i = 0; i < 6; ++i) {
                kern::Wert_Schreiben(w, gesamt.value(i));
            }
            w.endRow();
            return 1;
        }
        case Systemteil::Tage: {
            store::Statement q(db,
                               "SELECT Datum, Gewinn_Verlust, Gewinn_Maximal, Verlust_Maximal, "
                               "Coups_Anzahl, Angriffe, ID_System_aktuell "
                               "FROM Permanenz_Tag_Zusammenfassung WHERE ID_Casino = ? AND "
                               "Tisch = ? AND Datum >= ? AND Datum <= ? ORDER BY Datum");
            q.bind(1, casino);
            q.bind(2, tisch);
            q.bind(3, Value(von));
            q.bind(4, Value(bis));
            Kopf(k, w,
                 {{"Tag", "day"},
                  {"G/V", "win/loss"},
                  {"Max +", "max +"},
                  {"Max -", "max -"},
                  {"Coups", "coups"},
                  {"Angriffe", "attacks"},
                  {"System", "system"}});
            const int n = Zeilen_Schreiben(q, w);
            if (n == 0) {
                throw kern::KeinErgebnis(
                    k.text("Keine Tage in diesem Zeitraum.", "No days in this range."));
            }
            return n;
        }
        case Systemteil::Saetze: {
            // The bets hang on their coups; the coups of a day are counted in entry order.
            store::Statement q(
                db,
                std::string("SELECT p.Datum, p.Coup, p.Zahl, a.ID_System, a.ID_Instanz, "
                            "a.ID_Ereignis, e.") +
                    k.text("Ereignis", "Ereignis_Englisch") +
                    ", a.Satz, a.Gewinn_Verlust FROM Systeme_Abarbeitung a "
                    "JOIN (SELECT ID_Zahl, Datum, Zahl, ROW_NUMBER() OVER (PARTITION BY Datum "
                    "ORDER BY ID_Zahl) AS Coup FROM Permanenz WHERE ID_Casino = ? AND Tisch = ?) "
                    "p ON p.ID_Zahl = a.Permanenz_ID_Zahl "
                    "LEFT JOIN Ereignisse e ON e.ID_Ereignis = a.ID_Ereignis "
                    "ORDER BY p.Datum, p.Coup, a.ID_System, a.ID_Instanz, a.rowid");
            q.bind(1, casino);
            q.bind(2, tisch);
            Kopf(k, w,
                 {{"Tag", "day"},
                  {"Coup", "coup"},
                  {"Zahl", "number"},
                  {"System", "system"},
                  {"Instanz", "instance"},
                  {"Ereignis", "event"},
                  {"Name", "name"},
                  {"Satz", "stake"},
                  {"G/V", "win/loss"}});
            const int n = Zeilen_Schreiben(q, w);
            if (n == 0) {
                throw kern::KeinErgebnis(
                    k.text("Keine Sätze einer Systemauswertung zum Exportieren.",
                           "No bets of a system evaluation to export."));
            }
            return n;
        }
    }
    return 0;
}

void MenuItem_Export_SystemClick(kern::Kontext& k, Systemteil teil) {
    const char* name = teil == Systemteil::Tage ? k.text("System_Tage.csv", "System_days.csv")
                       : teil == Systemteil::Gesamt
                           ? k.text("System_Gesamt.csv", "System_totals.csv")
                           : k.text("System_Saetze.csv", "System_bets.csv");
    kern::Csv_Export_Dialog(k, name, [&k, teil](store::CsvWriter& w) {
        return Systemergebnisse_Exportieren(k, teil, w);
    });
}

}  // namespace spinalyst::systems
