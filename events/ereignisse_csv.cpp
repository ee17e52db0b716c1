#include "events/ereignisse_csv.h"

#include "kern/csv_export.h"
#include "store/sqlite.h"

namespace spinalyst::events {

namespace {

// The standard events of the single numbers: each coup hits exactly one of them, so their hits
// add up to the coups evaluated.
constexpr int kEinzelzahlVon = 117;
constexpr int kEinzelzahlBis = 153;

}  // namespace

std::vector<Csv_Ereignisspalte> Csv_Ereignisspalten() {
    return {
        {"Ereignis", "event", [](store::CsvWriter& w, const Ereigniszeile& e) { w.integer(e.id); }},
        {"Chance", "chance",
         [](store::CsvWriter& w, const Ereigniszeile& e) { w.integer(e.klasse); }},
        {"Name", "name", [](store::CsvWriter& w, const Ereigniszeile& e) { w.text(e.name); }},
        {"Zahlen", "numbers",
         [](store::CsvWriter& w, const Ereigniszeile& e) { w.text(e.zahlen); }},
        {"Treffer", "hits",
         [](store::CsvWriter& w, const Ereigniszeile& e) { w.integer(e.treffer); }},
        {"Prozent", "percent",
         [](store::CsvWriter& w, const Ereigniszeile& e) {
             w.decimal(e.coups > 0
                           ? static_cast<double>(e.treffer) * 100.0 / static_cast<double>(e.coups)
                           : 0.0,
                       1);
         }},
        {"Erwartet", "expected",
         [](store::CsvWriter& w, const Ereigniszeile& e) { w.decimal(e.statistik.erwartet, 2); }},
        {"z", "z",
         [](store::CsvWriter& w, const Ereigniszeile& e) { w.decimal(e.statistik.z, 3); }},
        {"p", "p",
         [](store::CsvWriter& w, const Ereigniszeile& e) { w.decimal(e.statistik.p, 6); }},
        {"q", "q", [](store::CsvWriter& w, const Ereigniszeile& e) { w.decimal(e.q, 6); }},
    };
}

int Ereignisse_Exportieren(kern::Kontext& k, store::CsvWriter& w) {
    const bool en = k.sitzung.englisch();
    store::Statement q(
        k.dm.TdbDatabase_Roulette.connection(),
        en ? "SELECT e.ID_Ereignis, e.ID_Gruppe_Ereignis, e.Ereignis_Englisch, "
             "e.Ereignis_Info_Englisch, COALESCE(e.Zahlen_Anzahl, 0), "
             "(SELECT COUNT(*) FROM Ereignis_Zahl z WHERE z.ID_Ereignis = e.ID_Ereignis) "
             "FROM Ereignisse e ORDER BY e.ID_Ereignis"
           : "SELECT e.ID_Ereignis, e.ID_Gruppe_Ereignis, e.Ereignis, e.Ereignis_Info, "
             "COALESCE(e.Zahlen_Anzahl, 0), "
             "(SELECT COUNT(*) FROM Ereignis_Zahl z WHERE z.ID_Ereignis = e.ID_Ereignis) "
             "FROM Ereignisse e ORDER BY e.ID_Ereignis");
    std::vector<Ereigniszeile> zeilen;
    long long coups = 0;
    while (q.step()) {
        Ereigniszeile e;
        e.id = static_cast<int>(q.int64(0));
        e.klasse = static_cast<int>(q.int64(1));
        e.name = std::string(q.textView(2));
        e.zahlen = std::string(q.textView(3));
        e.treffer = q.int64(4);
        e.zahlenAnzahl = static_cast<int>(q.int64(5));
        if (e.id >= kEinzelzahlVon && e.id <= kEinzelzahlBis) {
            coups += e.treffer;
        }
        zeilen.push_back(std::move(e));
    }
    if (coups == 0) {
        throw kern::KeinErgebnis(k.text("Keine Permanenzauswertung zum Exportieren.",
                                        "No permanence evaluation to export."));
    }
    std::vector<double> p;
    p.reserve(zeilen.size());
    for (Ereigniszeile& e : zeilen) {
        e.coups = coups;
        e.statistik = Treffer_Statistik(e.treffer, coups, e.zahlenAnzahl);
        p.push_back(e.statistik.p);
    }
    const std::vector<double> bereinigt = Benjamini_Hochberg(p);
    for (std::size_t i = 0; i < zeilen.size(); ++i) {
        zeilen[i].q = bereinigt[i];
    }
    const auto spalten = Csv_Ereignisspalten();
    for (const auto& s : spalten) {
        w.text(en ? s.englisch : s.deutsch);
    }
    w.endRow();
    for (const Ereigniszeile& e : zeilen) {
        for (const auto& s : spalten) {
            s.schreiben(w, e);
        }
        w.endRow();
    }
    return static_cast<int>(zeilen.size());
}

void MenuItem_Export_EreignisseClick(kern::Kontext& k) {
    kern::Csv_Export_Dialog(k, k.text("Ereignisse.csv", "Events.csv"),
                            [&k](store::CsvWriter& w) { return Ereignisse_Exportieren(k, w); });
}

}  // namespace spinalyst::events
