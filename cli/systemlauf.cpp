#include "cli/systemlauf.h"

#include <cstdint>
#include <filesystem>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "capture/aufnahme.h"
#include "capture/auswahl.h"
#include "kern/katalog.h"
#include "kern/kontext.h"
#include "store/datamodule.h"
#include "systems/austausch.h"
#include "systems/pruefung.h"
#include "systems/system.h"
#include "systems/systemlauf.h"

namespace spinalyst::cli {

namespace {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;
using store::Date;
using store::Value;

// More result days than this (about 270 years) are refused.
constexpr int kHoechstensTage = 100'000;

struct Auftrag {
    std::string dir;
    int casino = 0;
    std::string tisch;
    Date tag;
    std::int64_t system = 0;
    bool alle = false;
    int tage = 1;
    bool uebergreifend = false;
};

// The user of the command line: every question is answered yes, every message goes to stderr.
class Kommandozeile : public kern::UserInterface {
  public:
    explicit Kommandozeile(std::ostream& err) : err_(err) {}
    void inform(const std::string& text) override { err_ << "spinalyst-cli: " << text << "\n"; }
    bool confirm(const std::string&) override { return true; }
    std::optional<std::string> chooseFile(const std::string&) override { return std::nullopt; }
    void setBusy(bool) override {}
    bool processEventsAndCheckEscape() override { return false; }

  private:
    std::ostream& err_;
};

Json alsJson(const Value& v) {
    if (v.isNull()) {
        return nullptr;
    }
    if (v.isInteger()) {
        return v.toInt64();
    }
    if (v.isDouble()) {
        return v.toDouble();
    }
    if (v.isDate()) {
        return v.toDate().iso();
    }
    return v.toText();
}

// The rows of a query, each as a list of its columns.
std::vector<std::vector<Value>> zeilen(store::Database& db, const std::string& sql,
                                       const std::vector<Value>& parameter) {
    store::Statement s(db.connection(), sql);
    for (std::size_t i = 0; i < parameter.size(); ++i) {
        s.bind(static_cast<int>(i) + 1, parameter[i]);
    }
    std::vector<std::vector<Value>> alle;
    while (s.step()) {
        std::vector<Value> zeile;
        for (int c = 0; c < s.columnCount(); ++c) {
            zeile.push_back(s.value(c));
        }
        alle.push_back(std::move(zeile));
    }
    return alle;
}

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

Json ergebnis(store::Database& db, const Auftrag& a, char modus,
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
    const fs::path dir = verzeichnis(a.dir);
    kern::Sitzung sitzung;
    sitzung.sprache = store::Sprache::Englisch;
    sitzung.programmverzeichnis = dir.string();
    Kommandozeile ui(err);
    kern::Ansicht ansicht;
    store::DataModule_Roulette dm(dir, sitzung);
    kern::Kontext k{dm, sitzung, ui, ansicht};
    systems::Systemhaken_Installieren(k);
    dm.open();
    auto& db = dm.TdbDatabase_Roulette;

    const auto art = zeilen(db,
                            "SELECT IFNULL(ID_System_Art, 0), IFNULL(ID_System_Chancen, 0) FROM "
                            "Systeme WHERE ID_System_AutoInc = ?",
                            {Value(a.system)});
    if (art.empty()) {
        err << "spinalyst-cli: there is no system with ID_System_AutoInc " << a.system << "\n";
        return 1;
    }

    auto& w = dm.TdbTable_Wahl;
    // The stored selection is put back afterwards, so that the program opens where its user
    // left it.
    const std::vector<Value> vorher = {w.value("ID_Casino"), w.value("Tisch"), w.value("Datum")};
    auto zuruecksetzen = [&] {
        if (w.isEditing()) {
            w.post();
        }
        w.edit();
        w.setValue("ID_Casino", vorher[0]);
        w.setValue("Tisch", vorher[1]);
        w.setValue("Datum", vorher[2]);
        w.post();
    };
    w.edit();
    w.setInteger("ID_Casino", a.casino);
    w.setText("Tisch", a.tisch);
    w.post();
    if (!capture::Casino_Der_Auswahl(k).vorhanden) {
        zuruecksetzen();
        err << "spinalyst-cli: unknown casino " << a.casino << "\n";
        return 1;
    }
    sitzung.gewaehlter_tag = a.tag;
    capture::Casino_Tisch_DatumChange(k, capture::Ausloeser::Hauptfenster);
    w.setInteger("System_Tage_Anzahl", a.tage);
    w.setText("System_Online_Alle", a.alle ? "t" : "f");
    w.setText("System_Online_Tage_uebergreifend", a.uebergreifend ? "t" : "f");
    w.post();
    // The kind and chance class of the system are shown, and the system is the selected one.
    systems::System_Art_Chancen_Waehlen(k, art[0][0].toInt(), art[0][1].toInt());
    dm.TdbTable_Systeme.locate("ID_System_AutoInc", {Value(a.system)});
    systems::DataSource_Tdb_SystemeDataChange(k);

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
        zuruecksetzen();
        err << "spinalyst-cli: the evaluation stopped: " << *lauf.auswertung.fehler << "\n";
        return 1;
    }
    if (!lauf.gelaufen) {
        // The reason (more than 7 marked systems) went to stderr as the message of the run.
        zuruecksetzen();
        return 1;
    }
    out << systems::Json_Text(ergebnis(db, a, a.alle ? 'A' : 'E', lauf.auswertung.systeme)) << "\n";
    zuruecksetzen();
    return 0;
}

}  // namespace

void systemlaufBefehl(CLI::App& programm, Befehle& befehle) {
    auto* befehl = programm.add_subcommand(
        "system-run", "evaluate betting systems over the stored permanence, as JSON");
    auto a = std::make_shared<Auftrag>();
    verzeichnisArgument(*befehl, a->dir);
    zahlArgument(*befehl, "CASINO_ID", a->casino, 1, std::numeric_limits<int>::max(),
                 "the key of the casino");
    tischArgument(*befehl, a->tisch);
    tagArgument(*befehl, a->tag, "the last day evaluated");
    zahlArgument(*befehl, "--system", a->system, std::int64_t{1},
                 std::numeric_limits<std::int64_t>::max(),
                 "the selected system (its ID_System_AutoInc);\nits kind and chance class are "
                 "shown",
                 "ID")
        ->required();
    befehl->add_flag("--all", a->alle, "also every marked system of that kind\nand chance class");
    zahlArgument(*befehl, "--days", a->tage, 0, kHoechstensTage,
                 "result days ending with the day, default 1;\nthe day before them is evaluated "
                 "too");
    befehl->add_flag("--across", a->uebergreifend,
                     "attacks look back across the days;\nthe day before is loaded");
    befehle[befehl] = [a](std::ostream& out, std::ostream& err) {
        return systemlauf(*a, out, err);
    };
}

}  // namespace spinalyst::cli
