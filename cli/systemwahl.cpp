#include "cli/systemwahl.h"

#include <filesystem>
#include <limits>

#include "capture/aufnahme.h"
#include "capture/auswahl.h"
#include "cli/argumente.h"
#include "store/sqlite.h"
#include "systems/system.h"

namespace spinalyst::cli {

namespace {

using store::Value;

kern::Sitzung englisch(const std::filesystem::path& dir) {
    kern::Sitzung sitzung;
    sitzung.sprache = store::Sprache::Englisch;
    sitzung.programmverzeichnis = dir.string();
    return sitzung;
}

}  // namespace

nlohmann::ordered_json alsJson(const Value& v) {
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

void auswahlArgumente(CLI::App& befehl, std::string& dir, Systemauswahl& a,
                      const std::string& tag) {
    verzeichnisArgument(befehl, dir);
    zahlArgument(befehl, "CASINO_ID", a.casino, 1, std::numeric_limits<int>::max(),
                 "the key of the casino");
    tischArgument(befehl, a.tisch);
    tagArgument(befehl, a.tag, tag);
    zahlArgument(befehl, "--system", a.system, std::int64_t{1},
                 std::numeric_limits<std::int64_t>::max(),
                 "the selected system (its ID_System_AutoInc);\nits kind and chance class are "
                 "shown",
                 "ID")
        ->required();
    befehl.add_flag("--all", a.alle, "also every marked system of that kind\nand chance class");
}

CLI::Option* uebergreifendArgument(CLI::App& befehl, Systemauswahl& a) {
    return befehl.add_flag("--across", a.uebergreifend,
                           "attacks look back across the days;\nthe day before is loaded");
}

Programmlauf::Programmlauf(const std::string& dir, std::ostream& err)
    : err_(err),
      sitzung_(englisch(verzeichnis(dir))),
      ui_(err),
      dm_(verzeichnis(dir), sitzung_),
      k_{dm_, sitzung_, ui_, ansicht_} {
    systems::Systemhaken_Installieren(k_);
    dm_.open();
}

bool Programmlauf::waehlen(const Systemauswahl& a) {
    const auto art = zeilen(dm_.TdbDatabase_Roulette,
                            "SELECT IFNULL(ID_System_Art, 0), IFNULL(ID_System_Chancen, 0) FROM "
                            "Systeme WHERE ID_System_AutoInc = ?",
                            {Value(a.system)});
    if (art.empty()) {
        err_ << "spinalyst-cli: there is no system with ID_System_AutoInc " << a.system << "\n";
        return false;
    }
    auto& w = dm_.TdbTable_Wahl;
    if (!vorher_) {
        vorher_ = {w.value("ID_Casino"), w.value("Tisch"), w.value("Datum")};
    }
    w.edit();
    w.setInteger("ID_Casino", a.casino);
    w.setText("Tisch", a.tisch);
    w.post();
    if (!capture::Casino_Der_Auswahl(k_).vorhanden) {
        zuruecksetzen();
        err_ << "spinalyst-cli: unknown casino " << a.casino << "\n";
        return false;
    }
    sitzung_.gewaehlter_tag = a.tag;
    capture::Casino_Tisch_DatumChange(k_, capture::Ausloeser::Hauptfenster);
    w.setInteger("System_Tage_Anzahl", a.tage);
    w.setText("System_Online_Alle", a.alle ? "t" : "f");
    w.setText("System_Online_Tage_uebergreifend", a.uebergreifend ? "t" : "f");
    w.post();
    // The kind and chance class of the system are shown, and the system is the selected one.
    systems::System_Art_Chancen_Waehlen(k_, art[0][0].toInt(), art[0][1].toInt());
    dm_.TdbTable_Systeme.locate("ID_System_AutoInc", {Value(a.system)});
    systems::DataSource_Tdb_SystemeDataChange(k_);
    return true;
}

void Programmlauf::zuruecksetzen() {
    if (!vorher_) {
        return;
    }
    auto& w = dm_.TdbTable_Wahl;
    if (w.isEditing()) {
        w.post();
    }
    w.edit();
    w.setValue("ID_Casino", (*vorher_)[0]);
    w.setValue("Tisch", (*vorher_)[1]);
    w.setValue("Datum", (*vorher_)[2]);
    w.post();
}

}  // namespace spinalyst::cli
