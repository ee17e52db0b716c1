#include "online/online_spiel.h"

#include <exception>

#include "capture/eingabe.h"
#include "systems/system.h"
#include "systems/systemauswertung.h"
#include "systems/systemlauf.h"

namespace spinalyst::online {

using kern::Kontext;
using store::Value;

namespace {

// More marked systems than this are not played together.
constexpr int kHoechstensAktiv = 7;

// The run settings of the main window's check boxes.
systems::Laufparameter Parameter(Kontext& k, const Onlinespiel& spiel) {
    auto& w = k.dm.TdbTable_Wahl;
    systems::Laufparameter p;
    p.modus = w.text("System_Online_Alle") == "t" ? 'A' : 'E';
    p.uebergreifend = w.text("System_Online_Tage_uebergreifend") == "t";
    p.nurGewaehlterTag = true;
    p.system = spiel.system;
    return p;
}

// The permanence cursor on the day's last coup (the coup about to be played).
void Auf_Letzten_Coup(Kontext& k) {
    auto& p = k.dm.TdbTable_Permanenz;
    if (p.isOpen() && !p.isEmpty()) {
        p.last();
    }
}

// Whether the coup with this `ID_Zahl` has a number.
bool Hat_Zahl(Kontext& k, const Value& idZahl) {
    store::Statement& s = k.dm.TdbDatabase_Roulette.cached(
        "SELECT Zahl IS NOT NULL FROM Permanenz WHERE ID_Zahl = ?");
    s.reset();
    s.bind(1, idZahl);
    const bool hat = s.step() && s.int64(0) != 0;
    s.reset();
    return hat;
}

}  // namespace

Onlinespiel MenuItem_Online_SpielClick(Kontext& k, const kern::Ereigniskatalog& katalog) {
    Onlinespiel spiel;
    auto& w = k.dm.TdbTable_Wahl;
    if (w.isEditing()) {
        w.post();
    }
    spiel.system = systems::Gewaehltes_System(k);
    systems::Systemdetails_Aus(k);
    k.ui.setBusy(true);
    try {
        const systems::Laufparameter p = Parameter(k, spiel);
        const int markiert = systems::Systeme_Vorbereiten(k, false);
        if (p.modus == 'A' && markiert > kHoechstensAktiv) {
            k.ui.setBusy(false);
            k.ui.inform("Mehr als 7 aktive Systeme!");
            return spiel;
        }
        spiel.aktiveSysteme = p.modus == 'A' ? markiert : 1;
        capture::MenuItem_Permanenzen_EingabeClick(k);
        systems::Systemauswertung_Berechnen(k, katalog, p);
        Auf_Letzten_Coup(k);
        if (!w.isEditing()) {
            w.edit();
        }
    } catch (...) {
        k.ui.setBusy(false);
        throw;
    }
    k.ui.setBusy(false);
    spiel.geoeffnet = true;
    return spiel;
}

bool BitBtn_Permanenz_ZahlClick(Kontext& k, const kern::Ereigniskatalog& katalog,
                                const Onlinespiel& spiel) {
    auto& p = k.dm.TdbTable_Permanenz;
    // The coup the number goes into: the one the cursor stands on, or the day's first.
    const Value coup = p.isOpen() && !p.isEmpty() ? p.value("ID_Zahl") : Value();
    capture::BitBtn_Permanenz_ZahlClick(k);
    bool gespeichert = false;
    if (!coup.isNull()) {
        gespeichert = Hat_Zahl(k, coup);
    } else if (p.isOpen() && !p.isEmpty()) {
        p.first();
        gespeichert = !p.isNull("Zahl");
    }
    if (!gespeichert) {
        return false;
    }
    systems::Laufparameter parameter = Parameter(k, spiel);
    parameter.nurLetzterCoup = true;
    systems::Systemauswertung_Berechnen(k, katalog, parameter);
    Auf_Letzten_Coup(k);
    auto& w = k.dm.TdbTable_Wahl;
    if (!w.isEditing()) {
        w.edit();
    }
    return true;
}

void Online_Spiel_Schliessen(Kontext& k, const Onlinespiel& spiel) {
    k.ui.setBusy(false);
    try {
        systems::System_Wieder_Zeigen(k, spiel.system);
    } catch (const std::exception&) {
        // The window closes whatever the systems list does.
    }
    capture::Deaktiviere_manuellen_Eingabemodus(k);
}

std::string Online_Titel(const Kontext& k, const std::string& casino, const std::string& datum,
                         int aktiveSysteme) {
    const std::string n = std::to_string(aktiveSysteme);
    if (k.sitzung.englisch()) {
        return "  Molvane's Online Game,  " + casino + ",  " + datum + " - " + n +
               " Active systems";
    }
    return "  Molvane's Online Spiel,  " + casino + ",  " + datum + " - " + n + " System(e) aktiv";
}

std::string Casino_Name(Kontext& k) {
    store::Statement& s = k.dm.TdbDatabase_Roulette.cached(
        "SELECT Casino_Name FROM Casino WHERE ID_Casino_AutoInc = ?");
    s.reset();
    s.bind(1, k.dm.TdbTable_Wahl.value("ID_Casino"));
    std::string name = s.step() && !s.isNull(0) ? s.text(0) : std::string();
    s.reset();
    return name;
}

std::optional<int> Satz_Gesamt(Kontext& k) {
    auto& p = k.dm.TdbTable_Permanenz;
    if (!p.isOpen() || p.isEmpty()) {
        return std::nullopt;
    }
    const int n = p.recordCount();
    const store::Row* letzter = p.rowAt(n - 1);
    if (letzter == nullptr) {
        return std::nullopt;
    }
    const Value& zahl = letzter->values[static_cast<std::size_t>(p.fieldIndex("Zahl"))];
    const Value& satz = letzter->values[static_cast<std::size_t>(p.fieldIndex("Angriff_Satz"))];
    if (!zahl.isNull() || satz.isNull()) {
        return std::nullopt;
    }
    return satz.toInt();
}

}  // namespace spinalyst::online
