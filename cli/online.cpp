#include "cli/online.h"

#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/systemwahl.h"
#include "kern/katalog.h"
#include "online/online_spiel.h"

namespace spinalyst::cli {

namespace {

using Json = nlohmann::ordered_json;
using store::Value;

struct Auftrag : Systemauswahl {
    std::string dir;
    std::vector<std::int64_t> zahlen;
};

// What the online window shows: the coup about to be played, the total to place on it and its
// bets.
Json signale(kern::Kontext& k) {
    auto& p = k.dm.TdbTable_Permanenz;
    Value coup;
    if (p.isOpen() && !p.isEmpty()) {
        const store::Row* letzter = p.rowAt(p.recordCount() - 1);
        if (letzter != nullptr &&
            letzter->values[static_cast<std::size_t>(p.fieldIndex("Zahl"))].isNull()) {
            coup = letzter->values[static_cast<std::size_t>(p.fieldIndex("ID_Zahl"))];
        }
    }
    Json wetten = Json::array();
    if (!coup.isNull()) {
        for (const auto& z : zeilen(k.dm.TdbDatabase_Roulette,
                                    "SELECT ID_System, ID_Instanz, ID_Ereignis, Satz FROM "
                                    "Systeme_Abarbeitung WHERE Permanenz_ID_Zahl = ? ORDER BY "
                                    "rowid",
                                    {coup})) {
            Json w = Json::array();
            for (const Value& v : z) {
                w.push_back(alsJson(v));
            }
            wetten.push_back(std::move(w));
        }
    }
    const auto satz = online::Satz_Gesamt(k);
    Json zeile = Json::object();
    zeile["coup"] = alsJson(coup);
    zeile["stake"] = satz ? Json(*satz) : Json(nullptr);
    zeile["signals"] = std::move(wetten);
    return zeile;
}

int onlinespiel(const Auftrag& a, std::ostream& out, std::ostream& err) {
    Programmlauf programm(a.dir, err);
    if (!programm.waehlen(a)) {
        return 1;
    }
    kern::Kontext& k = programm.kontext();
    const kern::Ereigniskatalog katalog = kern::Ereigniskatalog::laden(programm.dm());
    online::Onlinespiel spiel;
    // Whatever fails, online play is closed and the selection put back before the error ends
    // the run.
    const auto schliessen = [&] {
        online::Online_Spiel_Schliessen(k, spiel);
        programm.zuruecksetzen();
    };
    try {
        spiel = online::MenuItem_Online_SpielClick(k, katalog);
        if (!spiel.geoeffnet) {
            // The refusal (more than 7 marked systems) went to stderr as its message.
            programm.zuruecksetzen();
            return 1;
        }
        out << signale(k).dump() << "\n";
        auto& w = k.dm.TdbTable_Wahl;
        for (const std::int64_t zahl : a.zahlen) {
            // As the window's number field writes what was typed.
            w.setValue("Permanenz_Zahl", Value(zahl));
            online::BitBtn_Permanenz_ZahlClick(k, katalog, spiel);
            out << signale(k).dump() << "\n";
        }
    } catch (...) {
        try {
            schliessen();
        } catch (const std::exception&) {
            // The first error is the one reported.
        }
        throw;
    }
    schliessen();
    return 0;
}

}  // namespace

void onlineBefehl(CLI::App& programm, Befehle& befehle) {
    auto* befehl = programm.add_subcommand(
        "online", "play online: enter numbers, see the bets of the active systems");
    auto a = std::make_shared<Auftrag>();
    auswahlArgumente(*befehl, a->dir, *a, "the day played");
    uebergreifendArgument(*befehl, *a);
    zahlenArgument(*befehl, "NUMBER", a->zahlen,
                   "the numbers entered one by one; one below 0 or\nabove 36 is not stored (after "
                   "--, numbers may\nbe negative)");
    befehle[befehl] = [a](std::ostream& out, std::ostream& err) {
        return onlinespiel(*a, out, err);
    };
}

}  // namespace spinalyst::cli
