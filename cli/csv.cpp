#include "cli/csv.h"

#include <iostream>
#include <limits>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

#include "capture/aufnahme.h"
#include "capture/auswahl.h"
#include "capture/import_liste.h"
#include "capture/permanenz_csv.h"
#include "cli/systemwahl.h"
#include "events/ereignisse_csv.h"
#include "kern/csv_export.h"
#include "mining/ergebnisliste_csv.h"
#include "store/textimport.h"
#include "systems/ergebnisse_csv.h"

namespace spinalyst::cli {

namespace {

using store::Date;
using store::Value;

// Largest number of coups a day the list import takes from the command line.
constexpr int kMaxCoupsProTag = 100000;

CLI::Option* tischOption(CLI::App& befehl, std::optional<std::string>& ziel) {
    const auto istTisch = [](const std::string& t) {
        if (t.size() != 4 || !t.starts_with("T ") || t[2] < '0' || t[2] > '9' || t[3] < '0' ||
            t[3] > '9') {
            return false;
        }
        const int n = (t[2] - '0') * 10 + (t[3] - '0');
        return n >= 1 && n <= capture::kTischAnzahl;
    };
    return befehl
        .add_option_function<std::string>(
            "--table", [&ziel](const std::string& t) { ziel = t; },
            "the gaming table, \"T 01\" to \"T 25\"")
        ->type_name("T")
        ->check(pruefung("--table", "\"T 01\" to \"T 25\"", istTisch));
}

CLI::Option* tagOption(CLI::App& befehl, const std::string& name, std::optional<Date>& ziel,
                       const std::string& beschreibung) {
    return befehl
        .add_option_function<std::string>(
            name, [&ziel](const std::string& t) { ziel = *Date::parseIso(t); }, beschreibung)
        ->type_name("YYYY-MM-DD")
        ->check(pruefung(name, "a day given as YYYY-MM-DD",
                         [](const std::string& t) { return Date::parseIso(t).has_value(); }));
}

// The selection of `Wahl` set for a subcommand and put back afterwards, so that the program
// opens where its user left it.
class Auswahlwechsel {
  public:
    explicit Auswahlwechsel(store::TableCursor& wahl) : w_(wahl) {
        for (const char* feld : kFelder) {
            vorher_.push_back(w_.value(feld));
        }
    }
    ~Auswahlwechsel() {
        try {
            if (w_.isEditing()) {
                w_.post();
            }
            w_.edit();
            for (std::size_t i = 0; i < vorher_.size(); ++i) {
                w_.setValue(kFelder[i], vorher_[i]);
            }
            w_.post();
        } catch (const std::exception&) {
            // The subcommand's own result counts; the selection stays as the run left it.
        }
    }
    Auswahlwechsel(const Auswahlwechsel&) = delete;
    Auswahlwechsel& operator=(const Auswahlwechsel&) = delete;

  private:
    static constexpr const char* kFelder[] = {"ID_Casino", "Tisch", "Datum", "System_Tage_Anzahl"};
    store::TableCursor& w_;
    std::vector<Value> vorher_;
};

struct Export {
    std::string dir;
    std::string was;
    std::optional<std::int64_t> casino;
    std::optional<std::string> tisch;
    std::optional<Date> von;
    std::optional<Date> bis;
    std::string teil = "days";
    std::string trenner = "comma";
    std::optional<std::string> datei;
};

int exportieren(const Export& a, std::ostream& out, std::ostream& err) {
    Programmlauf lauf(a.dir, err);
    auto& k = lauf.kontext();
    auto& w = lauf.dm().TdbTable_Wahl;
    Auswahlwechsel wechsel(w);
    const std::int64_t casino = a.casino.value_or(w.value("ID_Casino").toInt64());
    const std::string tisch = a.tisch.value_or(w.text("Tisch"));

    std::ostringstream text;
    store::CsvWriter csv(text, a.trenner == "semicolon" ? store::CsvSeparator::Semicolon
                                                        : store::CsvSeparator::Comma);
    try {
        if (a.was == "permanence") {
            capture::Permanenz_Exportieren(k, {casino, tisch, a.von, a.bis}, csv);
        } else if (a.was == "events") {
            events::Ereignisse_Exportieren(k, csv);
        } else if (a.was == "mining") {
            mining::Ergebnisliste_Exportieren(k, csv);
        } else {
            const Date bis = a.bis.value_or(w.date("Datum"));
            const int tage = a.von ? static_cast<int>(bis.days() - a.von->days()) + 1
                                   : static_cast<int>(w.integer("System_Tage_Anzahl"));
            if (tage < 0) {
                throw Argumentfehler("--from must not lie after --to");
            }
            w.edit();
            w.setInteger("ID_Casino", casino);
            w.setText("Tisch", tisch);
            w.setDate("Datum", bis);
            w.setInteger("System_Tage_Anzahl", tage);
            w.post();
            k.sitzung.gewaehlter_tag = bis;
            const auto teil = a.teil == "totals" ? systems::Systemteil::Gesamt
                              : a.teil == "bets" ? systems::Systemteil::Saetze
                                                 : systems::Systemteil::Tage;
            systems::Systemergebnisse_Exportieren(k, teil, csv);
        }
    } catch (const kern::KeinErgebnis& e) {
        err << "spinalyst-cli: " << e.what() << "\n";
        return 1;
    }
    if (a.datei) {
        kern::Datei_Schreiben(*a.datei, text.str());
    } else {
        out << text.str();
    }
    return 0;
}

struct Listenimport {
    std::string dir;
    std::string datei;
    std::int64_t casino = 0;
    std::optional<std::string> tisch;
    std::optional<Date> ersterTag;
    int coupsProTag = 0;
};

int listeImportieren(const Listenimport& a, std::ostream& out, std::ostream& err) {
    Programmlauf lauf(a.dir, err);
    auto& k = lauf.kontext();
    auto& w = lauf.dm().TdbTable_Wahl;
    Auswahlwechsel wechsel(w);
    w.edit();
    w.setInteger("ID_Casino", a.casino);
    w.setText("Tisch", *a.tisch);
    w.post();
    if (!capture::Casino_Der_Auswahl(k).vorhanden) {
        err << "spinalyst-cli: unknown casino " << a.casino << "\n";
        return 1;
    }
    capture::Listenvorgabe vorgabe;
    vorgabe.ersterTag = a.ersterTag;
    vorgabe.coupsProTag = a.coupsProTag;
    capture::Listenbericht bericht;
    try {
        bericht = capture::Liste_Importieren(k, a.datei, vorgabe);
    } catch (const store::ImportFileError&) {
        err << "spinalyst-cli: File cannot be read: " << a.datei << "\n";
        return 1;
    }
    const std::string meldung = capture::Liste_Meldung(k, bericht);
    const bool gut = bericht.grund == capture::Listengrund::Keiner ||
                     bericht.grund == capture::Listengrund::TageSchonVorhanden;
    (gut ? out : err) << (gut ? "" : "spinalyst-cli: ") << meldung << "\n";
    return gut ? 0 : 1;
}

}  // namespace

void csvBefehle(CLI::App& programm, Befehle& befehle) {
    auto* aus = programm.add_subcommand(
        "export", "write the permanence or the results of an evaluation as CSV");
    auto e = std::make_shared<Export>();
    verzeichnisArgument(*aus, e->dir);
    aus->add_option("WHAT", e->was,
                    "permanence, events (the last permanence evaluation),\nsystem (the last "
                    "system evaluation) or mining\n(the data-mining result list)")
        ->required()
        ->check(pruefung("WHAT", "permanence, events, system or mining", [](const std::string& t) {
            return t == "permanence" || t == "events" || t == "system" || t == "mining";
        }));
    aus->add_option_function<std::int64_t>(
           "--casino", [e](std::int64_t c) { e->casino = c; },
           "the key of the casino (default: the selected one)")
        ->type_name("ID")
        ->check(CLI::PositiveNumber);
    tischOption(*aus, e->tisch);
    tagOption(*aus, "--from", e->von, "the first day (permanence, system)");
    tagOption(*aus, "--to", e->bis, "the last day (permanence, system)");
    aus->add_option("--part", e->teil,
                    "days, totals or bets of the system evaluation\n(default: days)")
        ->type_name("P")
        ->check(pruefung("--part", "days, totals or bets", [](const std::string& t) {
            return t == "days" || t == "totals" || t == "bets";
        }));
    aus->add_option("--separator", e->trenner,
                    "comma (decimal point, the default) or semicolon\n(decimal comma)")
        ->type_name("S")
        ->check(pruefung("--separator", "comma or semicolon",
                         [](const std::string& t) { return t == "comma" || t == "semicolon"; }));
    aus->add_option_function<std::string>(
           "--out", [e](const std::string& f) { e->datei = f; },
           "the file to write (default: stdout)")
        ->type_name("FILE");
    befehle[aus] = [e](std::ostream& out, std::ostream& err) { return exportieren(*e, out, err); };

    auto* liste = programm.add_subcommand(
        "import-list", "import a list of numbers (CSV or plain) for a casino and gaming table");
    auto l = std::make_shared<Listenimport>();
    verzeichnisArgument(*liste, l->dir);
    liste->add_option("FILE", l->datei, "the list file")->required();
    zahlArgument(*liste, "--casino", l->casino, std::int64_t{1},
                 std::numeric_limits<std::int64_t>::max(), "the key of the casino", "ID")
        ->required();
    tischOption(*liste, l->tisch)->required();
    tagOption(*liste, "--first-day", l->ersterTag, "the first day of a list without dates");
    zahlArgument(*liste, "--per-day", l->coupsProTag, 0, kMaxCoupsProTag,
                 "coups per day of a list without dates; 0 (the\ndefault): days end at lines "
                 "of dashes only");
    befehle[liste] = [l](std::ostream& out, std::ostream& err) {
        return listeImportieren(*l, out, err);
    };
}

}  // namespace spinalyst::cli
