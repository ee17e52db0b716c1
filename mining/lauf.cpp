#include "mining/lauf.h"

#include <utility>
#include <vector>

#include "kern/katalog.h"
#include "kern/strecke.h"
#include "mining/bewertung.h"
#include "mining/ergebnistabellen.h"
#include "mining/kandidaten.h"
#include "mining/kandidatentabellen.h"
#include "store/sqlite.h"

namespace spinalyst::mining {

namespace {

// The kind of a system, nothing when it does not exist.
std::optional<std::int64_t> systemart(store::Database& roulette, std::int64_t system) {
    store::Statement s(roulette.connection(),
                       "SELECT ID_System_Art FROM Systeme WHERE ID_System_AutoInc = ?");
    s.bind(1, store::Value(system));
    if (!s.step()) {
        return std::nullopt;
    }
    return s.isNull(0) ? std::int64_t{0} : s.int64(0);
}

std::string casinoName(store::Database& roulette, std::int64_t casino) {
    store::Statement s(roulette.connection(), "SELECT Casino_Name FROM Casino WHERE ID_Casino = ?");
    s.bind(1, store::Value(casino));
    return s.step() && !s.isNull(0) ? s.text(0) : std::string();
}

}  // namespace

Laufergebnis Data_Mining_Lauf(store::DataModule_Roulette& dm, const Laufauftrag& auftrag) {
    Laufergebnis ergebnis;
    const std::optional<std::int64_t> art = systemart(dm.TdbDatabase_Roulette, auftrag.system);
    if (!art) {
        ergebnis.status = Laufergebnis::Status::KeinSystem;
        return ergebnis;
    }
    if (*art != systems::kArtDataMining) {
        ergebnis.status = Laufergebnis::Status::KeinDataMiningSystem;
        return ergebnis;
    }
    std::optional<Parameter> geladen = Parameter_Laden(dm.TdbDatabase_Roulette, auftrag.system);
    if (!geladen) {
        ergebnis.status = Laufergebnis::Status::KeinSystem;
        return ergebnis;
    }
    Parameter p = std::move(*geladen);
    p.datumVon = auftrag.von;
    p.datumBis = auftrag.bis;
    if (auftrag.anpassen) {
        auftrag.anpassen(p);
    }

    ergebnis.kombinationen = HSR_Kombinationen_Schreiben(dm, p, false);
    const Folgen_Geschrieben folgen = Folgen_Schreiben(dm, p, false);
    ergebnis.folgen = folgen.anzahl;

    kern::Streckenauswahl auswahl;
    auswahl.casino = auftrag.casino;
    auswahl.tisch = auftrag.tisch;
    auswahl.von = auftrag.von;
    auswahl.bis = auftrag.bis;
    auswahl.nurMitZahl = true;
    const std::vector<kern::Coup> bereich = kern::Strecke_Laden(dm.TdbDatabase_Roulette, auswahl);
    ergebnis.coupsImBereich = bereich.size();

    const std::vector<HSR_Kombination> kombinationen = HSR_Kombinationen_Bilden(p);
    const std::vector<Folge> folgenliste = Folgen_Bilden(p);
    const kern::Ereigniskatalog katalog = kern::Ereigniskatalog::laden(dm);
    const Auszahlungen auszahlungen = Auszahlungen_Laden(dm.TdbDatabase_DM_Modul);

    Bewertungsauftrag b;
    b.bereich = bereich;
    b.parameter = &p;
    b.katalog = &katalog;
    b.auszahlungen = &auszahlungen;
    b.kombinationen = kombinationen;
    b.folgen = folgenliste;
    b.ersteFolgeId = folgen.ersteId;
    const std::size_t n = bereich.size();
    b.nachCoup = [&](std::size_t fertig) {
        if (auftrag.fortschritt && auftrag.fortschritt(fertig, n)) {
            ergebnis.abgebrochen = fertig < n;
            return true;
        }
        return false;
    };
    const Bewertung bewertung = Bewerten(b);

    Ergebnisse_Schreiben(dm, bewertung, folgen.ersteId, auftrag.dezimaltrenner);
    Zusammenfassung_Schreiben(dm,
                              Laufangaben{casinoName(dm.TdbDatabase_Roulette, auftrag.casino),
                                          auftrag.tisch, auftrag.von, auftrag.bis},
                              bewertung, p);
    ergebnis.zeilen = static_cast<std::int64_t>(bewertung.zeilen.size());
    ergebnis.tage = bewertung.tage;
    ergebnis.coups = bewertung.coups;
    return ergebnis;
}

}  // namespace spinalyst::mining
