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

Laufdaten Data_Mining_Laden(store::DataModule_Roulette& dm, const Laufauftrag& auftrag) {
    Laufdaten daten;
    const std::optional<std::int64_t> art = systemart(dm.TdbDatabase_Roulette, auftrag.system);
    if (!art) {
        daten.status = Laufergebnis::Status::KeinSystem;
        return daten;
    }
    if (*art != systems::kArtDataMining) {
        daten.status = Laufergebnis::Status::KeinDataMiningSystem;
        return daten;
    }
    std::optional<Parameter> geladen = Parameter_Laden(dm.TdbDatabase_Roulette, auftrag.system);
    if (!geladen) {
        daten.status = Laufergebnis::Status::KeinSystem;
        return daten;
    }
    daten.parameter = std::move(*geladen);
    daten.parameter.datumVon = auftrag.von;
    daten.parameter.datumBis = auftrag.bis;
    if (auftrag.anpassen) {
        auftrag.anpassen(daten.parameter);
    }

    kern::Streckenauswahl auswahl;
    auswahl.casino = auftrag.casino;
    auswahl.tisch = auftrag.tisch;
    auswahl.von = auftrag.von;
    auswahl.bis = auftrag.bis;
    auswahl.nurMitZahl = true;
    daten.bereich = kern::Strecke_Laden(dm.TdbDatabase_Roulette, auswahl);
    daten.katalog = kern::Ereigniskatalog::laden(dm);
    daten.auszahlungen = Auszahlungen_Laden(dm.TdbDatabase_DM_Modul);
    daten.angaben = Laufangaben{casinoName(dm.TdbDatabase_Roulette, auftrag.casino), auftrag.tisch,
                                auftrag.von, auftrag.bis};
    daten.dezimaltrenner = auftrag.dezimaltrenner;
    return daten;
}

void Kandidaten_Schreiben(store::DataModule_Roulette& dm, Laufdaten& daten) {
    HSR_Kombinationen_Schreiben(dm, daten.parameter, false);
    const Folgen_Geschrieben folgen = Folgen_Schreiben(dm, daten.parameter, false);
    daten.kombinationen = HSR_Kombinationen_Bilden(daten.parameter);
    daten.folgen = Folgen_Bilden(daten.parameter);
    daten.ersteFolgeId = folgen.ersteId;
}

Bewertung Data_Mining_Bewerten(const Laufdaten& daten,
                               const std::function<bool(std::size_t, std::size_t)>& fortschritt,
                               std::size_t faeden) {
    Bewertungsauftrag b;
    b.bereich = daten.bereich;
    b.parameter = &daten.parameter;
    b.katalog = &daten.katalog;
    b.auszahlungen = &daten.auszahlungen;
    b.kombinationen = daten.kombinationen;
    b.folgen = daten.folgen;
    b.ersteFolgeId = daten.ersteFolgeId;
    b.faeden = faeden;
    const std::size_t n = daten.bereich.size();
    if (fortschritt) {
        b.nachCoup = [&](std::size_t fertig) { return fortschritt(fertig, n); };
    }
    return Bewerten(b);
}

Laufergebnis Data_Mining_Schreiben(store::DataModule_Roulette& dm, const Laufdaten& daten,
                                   const Bewertung& bewertung) {
    Ergebnisse_Schreiben(dm, bewertung, daten.ersteFolgeId, daten.dezimaltrenner);
    Zusammenfassung_Schreiben(dm, daten.angaben, bewertung, daten.parameter);
    Laufergebnis ergebnis;
    ergebnis.kombinationen = static_cast<std::int64_t>(daten.kombinationen.size());
    ergebnis.folgen = static_cast<std::int64_t>(daten.folgen.size());
    ergebnis.zeilen = static_cast<std::int64_t>(bewertung.zeilen.size());
    ergebnis.coupsImBereich = daten.bereich.size();
    ergebnis.tage = bewertung.tage;
    ergebnis.coups = bewertung.coups;
    ergebnis.abgebrochen = bewertung.coups - 1 < static_cast<std::int64_t>(daten.bereich.size());
    return ergebnis;
}

Laufergebnis Data_Mining_Lauf(store::DataModule_Roulette& dm, const Laufauftrag& auftrag) {
    Laufdaten daten = Data_Mining_Laden(dm, auftrag);
    if (daten.status != Laufergebnis::Status::Gelaufen) {
        Laufergebnis ergebnis;
        ergebnis.status = daten.status;
        return ergebnis;
    }
    Kandidaten_Schreiben(dm, daten);
    const Bewertung bewertung = Data_Mining_Bewerten(daten, auftrag.fortschritt);
    return Data_Mining_Schreiben(dm, daten, bewertung);
}

Hintergrundbewertung::Hintergrundbewertung(const Laufdaten& daten, std::size_t faeden)
    : coups_(daten.bereich.size()) {
    faden_ = std::thread([this, &daten, faeden] {
        try {
            bewertung_ = Data_Mining_Bewerten(
                daten,
                [this](std::size_t fertig, std::size_t) {
                    erledigt_.store(fertig, std::memory_order_relaxed);
                    return abbrechen_.load(std::memory_order_relaxed);
                },
                faeden);
        } catch (...) {
            fehler_ = std::current_exception();
        }
        fertig_.store(true, std::memory_order_release);
    });
}

Hintergrundbewertung::~Hintergrundbewertung() {
    if (faden_.joinable()) {
        abbrechen();
        faden_.join();
    }
}

Bewertung Hintergrundbewertung::ergebnis() {
    if (faden_.joinable()) {
        faden_.join();
    }
    if (fehler_) {
        std::rethrow_exception(std::exchange(fehler_, nullptr));
    }
    return std::move(bewertung_);
}

}  // namespace spinalyst::mining
