#include "cli/mine_results.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "cli/systemwahl.h"
#include "kern/katalog.h"
#include "mining/ergebnisse.h"

namespace spinalyst::cli {

namespace {

using store::Value;

struct Auftrag {
    std::string dir;
    std::optional<int> chance;
    std::optional<std::string> art;
    std::optional<int> laenge;
    std::optional<std::string> sortierung;
    std::optional<std::int64_t> minimum;
    std::optional<std::int64_t> limit;
};

// A field of a CSV line: quoted when it holds a comma, a quote or a line break, quotes doubled.
std::string csvFeld(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string feld = "\"";
    for (const char c : text) {
        feld += c == '"' ? std::string("\"\"") : std::string(1, c);
    }
    return feld + "\"";
}

int mineResults(const Auftrag& a, std::ostream& out, std::ostream& err) {
    Programmlauf programm(a.dir, err);
    store::DataModule_Roulette& dm = programm.dm();
    mining::Ergebnisauswahl auswahl = mining::Ergebnisauswahl_Lesen(dm.TdbTable_Wahl);
    auswahl.chance = a.chance.value_or(auswahl.chance);
    auswahl.art = a.art.value_or(auswahl.art);
    auswahl.laenge = a.laenge.value_or(auswahl.laenge);
    auswahl.sortierung = a.sortierung.value_or(auswahl.sortierung);
    auswahl.minimum = a.minimum.value_or(auswahl.minimum);
    mining::Abfrage abfrage = mining::Ergebnisliste_Abfrage(auswahl);
    if (a.limit) {
        abfrage.sql += " LIMIT ?";
        abfrage.parameter.push_back(Value(*a.limit));
    }
    const kern::Ereigniskatalog katalog = kern::Ereigniskatalog::laden(dm);
    store::Database& db = dm.TdbDatabase_DM_Modul;
    store::Statement s(db.connection(), abfrage.sql);
    for (std::size_t i = 0; i < abfrage.parameter.size(); ++i) {
        s.bind(static_cast<int>(i) + 1, abfrage.parameter[i]);
    }
    const auto spalte = [&s](const char* name) {
        for (int c = 0; c < s.columnCount(); ++c) {
            if (s.columnName(c) == name) {
                return c;
            }
        }
        throw store::StoreError(std::string("no column ") + name);
    };
    const int hsr = spalte("ID_HSR");
    const int folge = spalte("ID_Folge");
    const int ereignis = spalte("ID_Ereignis");
    const int anzahl = spalte("Anzahl");
    const int ok = spalte("Anzahl_OK");
    const int prozent = spalte("Anzahl_OK_Prozent");
    const int gv = spalte("Gewinn_Verlust");
    const auto zahl = [&s](int c) { return s.isNull(c) ? std::int64_t{0} : s.int64(c); };
    out << "pattern,count,successes,percentage,win_loss\r\n";
    while (s.step()) {
        const std::string muster = mining::Muster_Text(
            mining::HSR_Zeile_Lesen(db, zahl(hsr)), mining::Folge_Zeile_Lesen(db, zahl(folge)),
            static_cast<int>(zahl(ereignis)), katalog, store::Sprache::Englisch);
        char anteil[48];
        std::snprintf(anteil, sizeof anteil, "%.1f%%", s.isNull(prozent) ? 0.0 : s.real(prozent));
        out << csvFeld(muster) << "," << zahl(anzahl) << "," << zahl(ok) << "," << anteil << ","
            << zahl(gv) << "\r\n";
    }
    return 0;
}

}  // namespace

void mineResultsBefehl(CLI::App& programm, Befehle& befehle) {
    auto* befehl = programm.add_subcommand("mine-results",
                                           "the result list of the last data-mining run as CSV");
    auto a = std::make_shared<Auftrag>();
    verzeichnisArgument(*befehl, a->dir);
    befehl
        ->add_option("--chance", a->chance,
                     "chance class of the attacked event (1,2,5,8,11,17,35; 0: any)")
        ->check(CLI::IsMember({0, 1, 2, 5, 8, 11, 17, 35}))
        ->option_text("C");
    befehl->add_option("--kind", a->art, "kind of attack")
        ->check(CLI::IsMember({"E", "K", "P"}))
        ->option_text("E|K|P");
    befehl->add_option("--length", a->laenge, "attack length (1 to 10)")
        ->check(CLI::Range(1, 10))
        ->option_text("J");
    befehl->add_option("--order", a->sortierung, "order by win/loss (W) or success rate (%)")
        ->check(CLI::IsMember({"W", "%"}))
        ->option_text("W|%");
    befehl->add_option("--min", a->minimum, "only rows with a win/loss above G")->option_text("G");
    befehl->add_option("--limit", a->limit, "at most N rows")
        ->check(CLI::PositiveNumber)
        ->option_text("N");
    befehle[befehl] = [a](std::ostream& out, std::ostream& err) {
        return mineResults(*a, out, err);
    };
}

}  // namespace spinalyst::cli
