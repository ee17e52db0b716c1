#include "capture/permanenz_csv.h"

#include <chrono>

#include "kern/csv_export.h"
#include "kern/wahl.h"
#include "store/sqlite.h"

namespace spinalyst::capture {

using store::Date;
using store::Value;

int Permanenz_Exportieren(kern::Kontext& k, const Permanenzstrecke& s, store::CsvWriter& w) {
    // Days are stored as ISO text, which sorts as the days do; the bounds outside every day
    // stand for a missing one.
    store::Statement q(k.dm.TdbDatabase_Roulette.connection(),
                       "SELECT Datum, Zahl FROM Permanenz WHERE ID_Casino = ? AND Tisch = ? "
                       "AND Datum >= ? AND Datum <= ? AND Zahl IS NOT NULL "
                       "ORDER BY Datum, ID_Zahl");
    q.bind(1, Value(s.casino));
    q.bind(2, Value(s.tisch));
    q.bind(3, Value(s.von ? s.von->iso() : std::string()));
    q.bind(4, Value(s.bis ? s.bis->iso() : std::string("\x7F")));
    int zeilen = 0;
    std::string tag;
    int coup = 0;
    while (q.step()) {
        if (zeilen == 0) {
            w.text(k.text("Datum", "date"))
                .text(k.text("Coup", "coup"))
                .text(k.text("Zahl", "number"));
            w.endRow();
        }
        const std::string datum(q.textView(0));
        if (datum != tag) {
            tag = datum;
            coup = 0;
        }
        w.text(datum).integer(++coup).integer(q.int64(1));
        w.endRow();
        ++zeilen;
    }
    if (zeilen == 0) {
        throw kern::KeinErgebnis(
            k.text("Keine Coups in diesem Zeitraum.", "No coups in this range of days."));
    }
    return zeilen;
}

Permanenzstrecke Permanenzstrecke_Der_Auswahl(kern::Kontext& k) {
    kern::Wahl_Uebernehmen(k);
    auto& w = k.dm.TdbTable_Wahl;
    const Date tag = k.sitzung.gewaehlter_tag;
    const auto letzter = std::chrono::year_month_day_last(
        std::chrono::year(tag.year()),
        std::chrono::month_day_last(std::chrono::month(static_cast<unsigned>(tag.month()))));
    Permanenzstrecke s;
    s.casino = w.value("ID_Casino").toInt64();
    s.tisch = w.text("Tisch");
    s.von = Date::fromYmd(tag.year(), tag.month(), 1);
    s.bis = Date::fromYmd(tag.year(), tag.month(),
                          static_cast<int>(static_cast<unsigned>(letzter.day())));
    return s;
}

void MenuItem_Export_PermanenzClick(kern::Kontext& k, const Permanenzstrecke& strecke) {
    std::string name = k.text("Permanenz", "Permanence");
    if (strecke.von) {
        name += "_" + strecke.von->iso();
    }
    if (strecke.bis) {
        name += "_" + strecke.bis->iso();
    }
    kern::Csv_Export_Dialog(k, name + ".csv", [&](store::CsvWriter& w) {
        return Permanenz_Exportieren(k, strecke, w);
    });
}

}  // namespace spinalyst::capture
