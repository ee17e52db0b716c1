#include "cli/mine.h"

#include <chrono>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/systemwahl.h"
#include "mining/kandidaten.h"
#include "mining/lauf.h"
#include "mining/parameter.h"

namespace spinalyst::cli {

namespace {

using Json = nlohmann::ordered_json;
using store::Value;

struct Auftrag {
    std::string dir;
    std::int64_t casino = 0;
    std::string tisch;
    store::Date von;
    store::Date bis;
    std::int64_t system = 0;
    std::vector<int> klassen;
    bool klassenGegeben = false;
    std::optional<int> folgeLaenge;
    std::string folgeKlassen;  // "11|21|51", any of them
    bool folgeKlassenGegeben = false;
    bool ungleich = false;
    std::string variiert;  // "H,S,R", any of them
    bool variiertGegeben = false;
    std::string alle;
    bool alleGegeben = false;
    bool uebergreifend = false;
};

// The filters named in a list of the letters H, S, R.
std::array<bool, 3> filterliste(const std::string& text) {
    std::array<bool, 3> f{};
    for (const char c : text) {
        f[0] = f[0] || c == 'H';
        f[1] = f[1] || c == 'S';
        f[2] = f[2] || c == 'R';
    }
    return f;
}

bool filtertext(const std::string& t) {
    if (t.empty()) {
        return true;
    }
    for (std::size_t i = 0; i < t.size(); ++i) {
        const bool buchstabe = i % 2 == 0;
        if (buchstabe ? (t[i] != 'H' && t[i] != 'S' && t[i] != 'R') : t[i] != ',') {
            return false;
        }
    }
    return t.size() % 2 == 1;
}

bool folgetext(const std::string& t) {
    if (t.empty()) {
        return true;
    }
    std::size_t anfang = 0;
    while (true) {
        const std::size_t ende = t.find('|', anfang);
        const std::string teil = t.substr(anfang, ende - anfang);
        if (teil != "11" && teil != "21" && teil != "51") {
            return false;
        }
        if (ende == std::string::npos) {
            return true;
        }
        anfang = ende + 1;
    }
}

void anpassen(const Auftrag& a, mining::Parameter& p) {
    if (a.klassenGegeben) {
        p.chancen = {};
        for (const int k : a.klassen) {
            for (std::size_t i = 0; i < mining::kChancen.size(); ++i) {
                if (mining::kChancen[i] == k) {
                    p.chancen[i] = true;
                }
            }
        }
    }
    if (a.folgeLaenge) {
        p.folgeAnzahl = *a.folgeLaenge;
    }
    if (a.folgeKlassenGegeben) {
        p.folge11 = a.folgeKlassen.find("11") != std::string::npos;
        p.folge21 = a.folgeKlassen.find("21") != std::string::npos;
        p.folge51 = a.folgeKlassen.find("51") != std::string::npos;
    }
    if (a.ungleich) {
        p.folgeUngleich = true;
    }
    if (a.variiertGegeben) {
        const std::array<bool, 3> f = filterliste(a.variiert);
        for (std::size_t i = 0; i < 3; ++i) {
            p.filter[i].aktiv = f[i];
        }
    }
    if (a.alleGegeben) {
        const std::array<bool, 3> f = filterliste(a.alle);
        for (std::size_t i = 0; i < 3; ++i) {
            p.filter[i].alle = f[i];
        }
    }
    if (a.uebergreifend) {
        p.uebergreifend = true;
    }
}

int mine(const Auftrag& a, std::ostream& out, std::ostream& err) {
    Programmlauf programm(a.dir, err);
    store::DataModule_Roulette& dm = programm.dm();
    if (zeilen(dm.TdbDatabase_Roulette, "SELECT 1 FROM Casino WHERE ID_Casino = ?",
               {Value(a.casino)})
            .empty()) {
        err << "spinalyst-cli: no casino " << a.casino << "\n";
        return 1;
    }
    const auto start = std::chrono::steady_clock::now();
    mining::Laufauftrag auftrag;
    auftrag.casino = a.casino;
    auftrag.tisch = a.tisch;
    auftrag.von = a.von;
    auftrag.bis = a.bis;
    auftrag.system = a.system;
    auftrag.anpassen = [&a](mining::Parameter& p) { anpassen(a, p); };
    auftrag.fortschritt = [&err](std::size_t fertig, std::size_t n) {
        const std::size_t schritt = n < 100 ? 1 : n / 100;
        if (fertig % schritt == 0 || fertig == n) {
            err << "mine: " << fertig << " of " << n << " coups\n";
        }
        return false;
    };
    const mining::Laufergebnis e = mining::Data_Mining_Lauf(dm, auftrag);
    switch (e.status) {
        case mining::Laufergebnis::Status::KeinSystem:
            err << "spinalyst-cli: no system " << a.system << "\n";
            return 1;
        case mining::Laufergebnis::Status::KeinDataMiningSystem:
            err << "spinalyst-cli: system " << a.system << " is not a data-mining system\n";
            return 1;
        case mining::Laufergebnis::Status::Gelaufen:
            break;
    }
    const double sekunden =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const std::vector<std::vector<Value>> w =
        zeilen(dm.TdbDatabase_Roulette,
               "SELECT DM_Casino_letztes_DM, DM_Tisch_letztes_DM, DM_Datum_von_letztes_DM, "
               "DM_Datum_bis_letztes_DM, DM_Tage_letztes_DM, DM_Coups_letztes_DM FROM Wahl",
               {});
    Json summary = Json::object();
    const char* namen[] = {"casino", "table", "from", "to", "days", "coups"};
    for (std::size_t i = 0; i < 6; ++i) {
        summary[namen[i]] = w.empty() ? Json(nullptr) : alsJson(w.front()[i]);
    }
    Json j = Json::object();
    j["summary"] = summary;
    j["combinations"] = e.kombinationen;
    j["sequences"] = e.folgen;
    j["rows"] = e.zeilen;
    j["seconds"] = sekunden;
    out << j.dump() << "\n";
    return 0;
}

}  // namespace

void mineBefehl(CLI::App& programm, Befehle& befehle) {
    auto* befehl = programm.add_subcommand(
        "mine", "data mining: score every candidate attack over a range of days");
    auto a = std::make_shared<Auftrag>();
    verzeichnisArgument(*befehl, a->dir);
    zahlArgument(*befehl, "CASINO_ID", a->casino, std::int64_t{1},
                 std::numeric_limits<std::int64_t>::max(), "the key of the casino");
    tischArgument(*befehl, a->tisch);
    tagArgument(*befehl, a->von, "the first day of the range");
    tagArgument(*befehl, a->bis, "the last day of the range");
    zahlArgument(*befehl, "--system", a->system, std::int64_t{1},
                 std::numeric_limits<std::int64_t>::max(),
                 "the data-mining system (its ID_System_AutoInc)", "ID")
        ->required();
    befehl->add_option("--classes", a->klassen, "the chance classes attacked (1,2,5,8,11,17,35)")
        ->delimiter(',')
        ->check(CLI::IsMember({1, 2, 5, 8, 11, 17, 35}))
        ->each([a](const std::string&) { a->klassenGegeben = true; });
    befehl->add_option("--sequence-length", a->folgeLaenge, "events in the sequences (0 to 5)")
        ->check(CLI::Range(0, 5));
    befehl
        ->add_option("--sequence-events", a->folgeKlassen,
                     "the event classes of the sequences (11|21|51)")
        ->check(pruefung("--sequence-events", "some of 11|21|51", folgetext))
        ->each([a](const std::string&) { a->folgeKlassenGegeben = true; });
    befehl->add_flag("--negate-sequences", a->ungleich, "sequences with negated events too");
    befehl->add_option("--vary", a->variiert, "the filters varied (H,S,R)")
        ->check(pruefung("--vary", "some of H,S,R", filtertext))
        ->each([a](const std::string&) { a->variiertGegeben = true; });
    befehl->add_option("--all-events", a->alle, "filters varied over every event of their class")
        ->check(pruefung("--all-events", "some of H,S,R", filtertext))
        ->each([a](const std::string&) { a->alleGegeben = true; });
    befehl->add_flag("--across", a->uebergreifend, "attacks play across the days");
    befehle[befehl] = [a](std::ostream& out, std::ostream& err) { return mine(*a, out, err); };
}

}  // namespace spinalyst::cli
