#include "cli/systemlauf.h"

#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/systemwahl.h"
#include "kern/katalog.h"
#include "kern/kontext.h"
#include "store/datamodule.h"
#include "systems/austausch.h"
#include "systems/pruefung.h"
#include "systems/system.h"
#include "systems/systemlauf.h"

namespace spinalyst::cli {

namespace {

using Json = nlohmann::ordered_json;
using store::Date;
using store::Value;

// More result days than this (about 270 years) are refused.
constexpr int kHoechstensTage = 100'000;

struct Auftrag : Systemauswahl {
    std::string dir;
};

// The first row of a query as an object of its fields by name, or null when it has none.
Json zeileNachNamen(store::Database& db, const std::string& sql,
                    const std::vector<Value>& parameter) {
    store::Statement s(db.connection(), sql);
    for (std::size_t i = 0; i < parameter.size(); ++i) {
        s.bind(static_cast<int>(i) + 1, parameter[i]);
    }
    if (!s.step()) {
        return nullptr;
    }
    Json o = Json::object();
    for (int c = 0; c < s.columnCount(); ++c) {
        o[s.columnName(c)] = alsJson(s.value(c));
    }
    return o;
}

Json ergebnis(store::Database& db, const Systemauswahl& a, char modus,
              const std::vector<std::int64_t>& gelaufen) {
    const Value casino(std::int64_t{a.casino});
    const Value tisch(a.tisch);
    // The stretch the engine loaded and the result days, as it computes them.
    const Date erster = a.tag.addDays(-a.tage);
    const Date geladenAb = a.uebergreifend ? erster.addDays(-1) : erster;
    const Date ergebnisAb = a.tag.addDays(1 - a.tage);

    Json wetten = Json::array();
    for (const auto& z :
         zeilen(db,
                "SELECT Permanenz_ID_Zahl, ID_System, ID_Instanz, ID_Ereignis, Satz, "
                "Gewinn_Verlust FROM Systeme_Abarbeitung ORDER BY rowid",
                {})) {
        Json w = Json::array();
        for (const Value& v : z) {
            w.push_back(alsJson(v));
        }
        wetten.push_back(std::move(w));
    }

    Json coups = Json::object();
    for (const auto& z :
         zeilen(db,
                "SELECT ID_Zahl, Angriff_Satz, Gewinn_Verlust FROM Permanenz WHERE ID_Casino = ? "
                "AND Tisch = ? AND Datum >= ? AND Datum <= ? AND (Angriff_Satz IS NOT NULL OR "
                "Gewinn_Verlust IS NOT NULL) ORDER BY Datum, ID_Zahl",
                {casino, tisch, Value(geladenAb), Value(a.tag)})) {
        coups[std::to_string(z[0].toInt64())] = Json::array({alsJson(z[1]), alsJson(z[2])});
    }

    Json tage = Json::object();
    for (const auto& z : zeilen(db,
                                "SELECT Datum, Gewinn_Verlust, Gewinn_Maximal, Verlust_Maximal, "
                                "Angriffe FROM Permanenz_Tag_Zusammenfassung WHERE ID_Casino = ? "
                                "AND Tisch = ? AND Datum >= ? AND Datum <= ? ORDER BY Datum",
                                {casino, tisch, Value(ergebnisAb), Value(a.tag)})) {
        const auto datum = Date::parse(z[0].toText());
        tage[datum ? datum->iso() : z[0].toText()] =
            Json::array({alsJson(z[1]), alsJson(z[2]), alsJson(z[3]), alsJson(z[4])});
    }

    Json zustand = Json::object();
    for (const std::int64_t id : gelaufen) {
        for (const auto& z : zeilen(db,
                                    "SELECT Systemangriff, Systemangriff_Instanz_1, "
                                    "Systemangriff_Instanz_2, Systemangriff_Instanz_3 FROM "
                                    "Systeme WHERE ID_System_AutoInc = ?",
                                    {Value(id)})) {
            Json s = Json::array();
            for (const Value& v : z) {
                s.push_back(alsJson(v));
            }
            zustand[std::to_string(id)] = std::move(s);
        }
    }

    Json dokument = Json::object();
    dokument["bets"] = std::move(wetten);
    dokument["coups"] = std::move(coups);
    dokument["days"] = std::move(tage);
    dokument["totals"] = zeileNachNamen(
        db,
        "SELECT * FROM Permanenz_Tag_Zusammenfassung_G WHERE ID_Casino = ? AND Tisch = ? "
        "ORDER BY rowid",
        {casino, tisch});
    dokument["summary"] =
        modus == 'A'
            ? Json(nullptr)
            : zeileNachNamen(db,
                             "SELECT * FROM Systeme_Auswertungen_Ueberblick WHERE "
                             "ID_System = ? AND ID_Casino = ? AND Tisch = ? AND "
                             "Datum_von = ? AND Datum_bis = ? ORDER BY rowid",
                             {Value(a.system), casino, tisch, Value(ergebnisAb), Value(a.tag)});
    dokument["state"] = std::move(zustand);
    return dokument;
}

int systemlauf(const Auftrag& a, std::ostream& out, std::ostream& err) {
    Programmlauf programm(a.dir, err);
    if (!programm.waehlen(a)) {
        return 1;
    }
    kern::Kontext& k = programm.kontext();
    auto& dm = programm.dm();
    auto& db = dm.TdbDatabase_Roulette;

    const auto pruefung = systems::System_Pruefen(k);
    for (const systems::Befund& b : pruefung.befunde) {
        err << "spinalyst-cli: warning: system " << a.system << ": " << systems::Befund_Text(k, b)
            << "\n";
    }
    if (!pruefung.ok()) {
        err << "spinalyst-cli: warning: evaluating system " << a.system << " anyway\n";
    }

    const kern::Ereigniskatalog katalog = kern::Ereigniskatalog::laden(dm);
    const systems::Systemlauf lauf = systems::BitBtn_Berechnung_System_AuswertungClick(k, katalog);
    if (lauf.auswertung.fehler) {
        programm.zuruecksetzen();
        err << "spinalyst-cli: the evaluation stopped: " << *lauf.auswertung.fehler << "\n";
        return 1;
    }
    if (!lauf.gelaufen) {
        // The reason (more than 7 marked systems) went to stderr as the message of the run.
        programm.zuruecksetzen();
        return 1;
    }
    out << systems::Json_Text(ergebnis(db, a, a.alle ? 'A' : 'E', lauf.auswertung.systeme)) << "\n";
    programm.zuruecksetzen();
    return 0;
}

}  // namespace

void systemlaufBefehl(CLI::App& programm, Befehle& befehle) {
    auto* befehl = programm.add_subcommand(
        "system-run", "evaluate betting systems over the stored permanence, as JSON");
    auto a = std::make_shared<Auftrag>();
    auswahlArgumente(*befehl, a->dir, *a, "the last day evaluated");
    zahlArgument(*befehl, "--days", a->tage, 0, kHoechstensTage,
                 "result days ending with the day, default 1;\nthe day before them is evaluated "
                 "too");
    uebergreifendArgument(*befehl, *a);
    befehle[befehl] = [a](std::ostream& out, std::ostream& err) {
        return systemlauf(*a, out, err);
    };
}

}  // namespace spinalyst::cli
