#include "mining/kandidatentabellen.h"

#include <string>

#include "mining/kandidaten.h"
#include "store/bulk_writer.h"
#include "store/field_value.h"
#include "store/schema.h"

namespace spinalyst::mining {

using store::Value;

namespace {

Value flag(bool an) {
    return Value(an ? "t" : "f");
}

Value zahl(int z) {
    return Value(std::int64_t{z});
}

}  // namespace

std::int64_t HSR_Kombinationen_Schreiben(store::DataModule_Roulette& dm, const Parameter& p,
                                         bool nurZaehlen) {
    store::BulkWriter schreiber(dm.TdbDatabase_DM_Modul);
    schreiber.execute("DELETE FROM DM_HSR");
    std::int64_t anzahl = HSR_Kombinationen_Zaehlen(p);
    if (!nurZaehlen) {
        auto& zeile = schreiber.insert(
            "DM_HSR", {"ID_HSR", "ID_Ereignis_Haeufigkeit", "Haeufigkeit_ungleich",
                       "Haeufigkeit_aktiv", "ID_Ereignis_Serien", "Serien_ungleich", "Serien_aktiv",
                       "ID_Ereignis_Rueckstaendigkeit", "Rueckstaendigkeit_ungleich",
                       "Rueckstaendigkeit_aktiv"});
        const std::vector<HSR_Kombination> kombinationen = HSR_Kombinationen_Bilden(p);
        for (const HSR_Kombination& k : kombinationen) {
            const Filterstellung& h = k.stellung(Filterart::Haeufigkeit);
            const Filterstellung& s = k.stellung(Filterart::Serien);
            const Filterstellung& r = k.stellung(Filterart::Rueckstaendigkeit);
            zeile.write({zahl(k.id), zahl(h.ereignis), flag(h.ungleich), flag(h.aktiv),
                         zahl(s.ereignis), flag(s.ungleich), flag(s.aktiv), zahl(r.ereignis),
                         flag(r.ungleich), flag(r.aktiv)});
        }
        anzahl = static_cast<std::int64_t>(kombinationen.size());
    }
    schreiber.refreshAfterCommit(dm.TdbTable_DM_HSR);
    schreiber.commit();
    return anzahl;
}

Folgen_Geschrieben Folgen_Schreiben(store::DataModule_Roulette& dm, const Parameter& p,
                                    bool nurZaehlen) {
    store::BulkWriter schreiber(dm.TdbDatabase_DM_Modul);
    schreiber.execute("DELETE FROM DM_Folge");
    Folgen_Geschrieben ergebnis;
    ergebnis.anzahl = Folgen_Zaehlen(p);
    if (!nurZaehlen && ergebnis.anzahl > 0) {
        const store::FieldDef* textfeld =
            store::findTable("DM_Folge")->field("Gleiche_Art_Ansicht");
        auto& zeile = schreiber.insert(
            "DM_Folge", {"Gleiche_Art", "Gleiche_Art_Ansicht", "Ereignis_1_vor_Angriff",
                         "Ereignis_2_vor_Angriff", "Ereignis_3_vor_Angriff",
                         "Ereignis_4_vor_Angriff", "Ereignis_5_vor_Angriff", "Anzahl"});
        store::Connection& verbindung = dm.TdbDatabase_DM_Modul.connection();
        // The kinds repeat from row to row: their texts are made once per code.
        int letzterCode = -1;
        Value text;
        Folgen_Durchlaufen(p, [&](const Folge& f) {
            if (f.gleicheArt != letzterCode) {
                letzterCode = f.gleicheArt;
                text = store::toFieldType(*textfeld, Value(Gleiche_Art_Text(f.gleicheArt)));
            }
            zeile.write({zahl(f.gleicheArt), text, zahl(f.codes[0]), zahl(f.codes[1]),
                         zahl(f.codes[2]), zahl(f.codes[3]), zahl(f.codes[4]), zahl(0)});
            if (ergebnis.ersteId == 0) {
                ergebnis.ersteId = verbindung.lastInsertRowid();
            }
        });
    }
    schreiber.refreshAfterCommit(dm.TdbTable_DM_Folge);
    schreiber.commit();
    return ergebnis;
}

}  // namespace spinalyst::mining
