#include "mining/ergebnisliste_csv.h"

#include "kern/csv_export.h"
#include "store/sqlite.h"

namespace spinalyst::mining {

int Ergebnisliste_Exportieren(kern::Kontext& k, store::CsvWriter& w) {
    store::Statement q(k.dm.TdbDatabase_DM_Modul.connection(),
                       "SELECT ID_HSR, ID_Folge, Art, ID_Ereignis, ID_Angriff, Anzahl, Anzahl_OK, "
                       "Gewinn_Verlust FROM DM_Gewinn_Verlust "
                       "ORDER BY Gewinn_Verlust DESC, ID_HSR, ID_Folge, Art, ID_Ereignis, "
                       "ID_Angriff");
    int zeilen = 0;
    while (q.step()) {
        if (zeilen == 0) {
            for (const auto& [de, en] : {std::pair{"HSR", "hsr"},
                                         {"Folge", "sequence"},
                                         {"Art", "kind"},
                                         {"Ereignis", "event"},
                                         {"Angriff", "attack"},
                                         {"Anzahl", "count"},
                                         {"OK", "successes"},
                                         {"Prozent", "percent"},
                                         {"G/V", "win/loss"}}) {
                w.text(k.text(de, en));
            }
            w.endRow();
        }
        for (int i = 0; i < 7; ++i) {
            kern::Wert_Schreiben(w, q.value(i));
        }
        const auto anzahl = q.isNull(5) ? 0 : q.int64(5);
        const auto ok = q.isNull(6) ? 0 : q.int64(6);
        if (anzahl > 0) {
            w.decimal(static_cast<double>(ok) * 100.0 / static_cast<double>(anzahl), 1);
        } else {
            w.empty();
        }
        kern::Wert_Schreiben(w, q.value(7));
        w.endRow();
        ++zeilen;
    }
    if (zeilen == 0) {
        throw kern::KeinErgebnis(k.text("Keine Data-Mining-Ergebnisse zum Exportieren.",
                                        "No data-mining results to export."));
    }
    return zeilen;
}

void MenuItem_Export_Data_MiningClick(kern::Kontext& k) {
    kern::Csv_Export_Dialog(k, k.text("Data_Mining.csv", "Data_mining.csv"),
                            [&k](store::CsvWriter& w) { return Ergebnisliste_Exportieren(k, w); });
}

}  // namespace spinalyst::mining
