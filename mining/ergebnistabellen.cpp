#include "mining/ergebnistabellen.h"

#include <string>

#include "store/bulk_writer.h"
#include "store/field_value.h"
#include "store/schema.h"

namespace spinalyst::mining {

using store::Value;

namespace {

Value zahl(const std::optional<int>& z) {
    return Value(std::int64_t{z.value_or(0)});
}

Value flag(bool an) {
    return Value(an ? "t" : "f");
}

}  // namespace

Auszahlungen Auszahlungen_Laden(store::Database& dmModul) {
    Auszahlungen a;
    store::Statement& s = dmModul.cached(
        "SELECT ID_Chance, Art_Angriff, ID_Angriff, Gewinn, Verlust FROM DM_Angriff");
    s.reset();
    while (s.step()) {
        const std::string art = s.text(1);
        if (s.isNull(0) || s.isNull(2) || art.size() != 1) {
            continue;
        }
        a.setzen(static_cast<int>(s.int64(0)), art[0], static_cast<int>(s.int64(2)),
                 {s.isNull(3) ? 0 : static_cast<int>(s.int64(3)),
                  s.isNull(4) ? 0 : static_cast<int>(s.int64(4))});
    }
    s.reset();
    return a;
}

void Ergebnisse_Schreiben(store::DataModule_Roulette& dm, const Bewertung& bewertung,
                          std::int64_t ersteFolgeId, char dezimaltrenner) {
    store::BulkWriter schreiber(dm.TdbDatabase_DM_Modul);
    schreiber.execute("DELETE FROM DM_Gewinn_Verlust");
    auto& zeile = schreiber.insert(
        "DM_Gewinn_Verlust",
        {"ID_HSR", "ID_Folge", "Art", "ID_Ereignis", "ID_Angriff", "Anzahl", "Anzahl_OK",
         "Anzahl_OK_Prozent", "Anzahl_OK_Prozent_String", "Gewinn_Verlust"});
    for (const Ergebniszeile& z : bewertung.zeilen) {
        zeile.write({Value(std::int64_t{z.idHsr}), Value(z.idFolge), Value(std::string(1, z.art)),
                     Value(std::int64_t{z.ereignis}), Value(std::int64_t{z.angriff}),
                     Value(z.anzahl), Value(z.anzahlOk), Value(z.prozent()),
                     Value(z.prozentText(dezimaltrenner)), Value(z.gewinnVerlust)});
    }
    auto& anzahl = schreiber.statement("UPDATE DM_Folge SET Anzahl = ? WHERE ID_Folge = ?");
    for (std::size_t i = 0; i < bewertung.folgeAnzahl.size(); ++i) {
        anzahl.write(
            {Value(bewertung.folgeAnzahl[i]), Value(ersteFolgeId + static_cast<std::int64_t>(i))});
    }
    schreiber.refreshAfterCommit(dm.TdbTable_DM_Gewinn_Verlust);
    schreiber.refreshAfterCommit(dm.TdbTable_DM_Folge);
    schreiber.commit();
}

void Zusammenfassung_Schreiben(store::DataModule_Roulette& dm, const Laufangaben& angaben,
                               const Bewertung& bewertung, const Parameter& p) {
    const auto text = [](const char* feld, const std::string& wert) {
        return store::toFieldType(*store::findTable("Wahl")->field(feld), Value(wert));
    };
    const auto datum = [](const std::optional<store::Date>& d) { return d ? Value(*d) : Value(); };
    const systems::Zaehlfilter& h = p.instanz.haeufigkeit;
    const systems::Serienfilter& s = p.instanz.serien;
    const systems::Zaehlfilter& r = p.instanz.rueckstaendigkeit;
    store::BulkWriter schreiber(dm.TdbDatabase_Roulette);
    schreiber.execute(
        "UPDATE Wahl SET DM_Casino_letztes_DM = ?, DM_Tisch_letztes_DM = ?, "
        "DM_Datum_von_letztes_DM = ?, DM_Datum_bis_letztes_DM = ?, DM_Tage_letztes_DM = ?, "
        "DM_Coups_letztes_DM = ?, "
        "DM_Haeufigkeit_Anzahl_von = ?, DM_Haeufigkeit_Anzahl_bis = ?, "
        "DM_Haeufigkeit_Coups_zurueck_von = ?, DM_Haeufigkeit_Coups_zurueck_bis = ?, "
        "DM_Haeufigkeit_vor_Ereignisfolge = ?, "
        "DM_Serien_Anzahl_von = ?, DM_Serien_Anzahl_bis = ?, DM_Serien_von = ?, "
        "DM_Serien_bis = ?, DM_Serien_Coups_zurueck_von = ?, DM_Serien_Coups_zurueck_bis = ?, "
        "DM_Serien_vor_Ereignisfolge = ?, "
        "DM_Rueckstaendigkeit_Anzahl_von = ?, DM_Rueckstaendigkeit_Anzahl_bis = ?, "
        "DM_Rueckstaendigkeit_Coups_zurueck_von = ?, DM_Rueckstaendigkeit_Coups_zurueck_bis = ?, "
        "DM_Rueckstaendigkeit_vor_Ereignisfolge = ?",
        {text("DM_Casino_letztes_DM", angaben.casino),
         text("DM_Tisch_letztes_DM", angaben.tisch),
         datum(angaben.von),
         datum(angaben.bis),
         Value(std::int64_t{bewertung.tage}),
         Value(bewertung.coups),
         zahl(h.anzahlVon),
         zahl(h.anzahlBis),
         zahl(h.coupsVon),
         zahl(h.coupsBis),
         flag(h.vorEreignisfolge),
         zahl(s.anzahlVon),
         zahl(s.anzahlBis),
         zahl(s.laengeVon),
         zahl(s.laengeBis),
         zahl(s.coupsVon),
         zahl(s.coupsBis),
         flag(s.vorEreignisfolge),
         zahl(r.anzahlVon),
         zahl(r.anzahlBis),
         zahl(r.coupsVon),
         zahl(r.coupsBis),
         flag(r.vorEreignisfolge)});
    schreiber.refreshAfterCommit(dm.TdbTable_Wahl);
    schreiber.commit();
}

}  // namespace spinalyst::mining
