#include "cli/permanenz.h"

#include <charconv>
#include <filesystem>
#include <optional>

#include "capture/aufnahme.h"
#include "capture/auswahl.h"
#include "capture/zufall.h"
#include "kern/kontext.h"
#include "store/datamodule.h"
#include "store/textimport.h"

namespace spinalyst::cli {

namespace {

namespace fs = std::filesystem;

constexpr const char* kUsageCasinoAdd =
    "usage: spinalyst-cli casino-add DIR NAME [--random-coups N]\n";
constexpr const char* kUsageImport =
    "usage: spinalyst-cli import DIR CASINO_ID TABLE YYYY-MM [FILE]\n";

// Largest number of generated coups a day the command line accepts.
constexpr int kMaxZufallsCoups = 100000;

// A wrong argument: reported with the command's usage, exit code 2.
struct Argumentfehler {
    std::string meldung;
};

// The data module on the databases of DIR with a Kontext of its own, in English, with the views
// that do nothing.
class Arbeitssitzung {
  public:
    Arbeitssitzung(const fs::path& dir, std::ostream& out) : ui_(&out), dm_(dir, sitzung_) {
        sitzung_.sprache = store::Sprache::Englisch;
        sitzung_.programmverzeichnis = dir.string();
        dm_.open();
        sitzung_.gewaehlter_tag = dm_.TdbTable_Wahl.date("Datum");
    }
    kern::Kontext& kontext() { return k_; }
    store::DataModule_Roulette& dm() { return dm_; }
    kern::Sitzung& sitzung() { return sitzung_; }

  private:
    kern::Sitzung sitzung_;
    kern::UnattendedUserInterface ui_;
    kern::Ansicht ansicht_;
    store::DataModule_Roulette dm_;
    kern::Kontext k_{dm_, sitzung_, ui_, ansicht_};
};

std::optional<int> ganzeZahl(std::string_view text) {
    int v = 0;
    const char* ende = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), ende, v);
    if (text.empty() || ec != std::errc() || ptr != ende) {
        return std::nullopt;
    }
    return v;
}

fs::path verzeichnis(const std::string& arg) {
    std::error_code ec;
    if (!fs::is_directory(arg, ec)) {
        throw Argumentfehler{arg + " is not a directory"};
    }
    return arg;
}

// Runs a subcommand; a wrong argument ends it with exit code 2 and the usage.
template <class F>
int mitArgumentpruefung(const char* usage, std::ostream& err, F&& f) {
    try {
        return f();
    } catch (const Argumentfehler& e) {
        err << "spinalyst-cli: " << e.meldung << "\n" << usage;
        return 2;
    }
}

int casinoAnlegen(const std::vector<std::string>& args, std::ostream& out) {
    if (args.size() != 3 && args.size() != 5) {
        throw Argumentfehler{"wrong number of arguments"};
    }
    std::optional<int> coups;
    if (args.size() == 5) {
        if (args[3] != "--random-coups") {
            throw Argumentfehler{"unknown option '" + args[3] + "'"};
        }
        coups = ganzeZahl(args[4]);
        if (!coups || *coups < 0 || *coups > kMaxZufallsCoups) {
            throw Argumentfehler{"--random-coups must be a whole number from 0 to " +
                                 std::to_string(kMaxZufallsCoups) + ", not '" + args[4] + "'"};
        }
    }
    if (args[2].empty()) {
        throw Argumentfehler{"the casino needs a name"};
    }
    Arbeitssitzung s(verzeichnis(args[1]), out);
    auto& k = s.kontext();
    capture::Casino_Fenster_Zeigen(k);
    const int id = capture::BitBtn_NeuClick(k);
    auto& casino = s.dm().TdbTable_Casino;
    casino.edit();
    casino.setText("Casino_Name", args[2]);
    if (coups) {
        casino.setText("Zufallsgenerator", "t");
        casino.setInteger("Zufallsgenerator_Coups", *coups);
    }
    capture::Casino_Fenster_Schliessen(k);
    out << id << "\n";
    return 0;
}

int importieren(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 5 && args.size() != 6) {
        throw Argumentfehler{"wrong number of arguments"};
    }
    const auto casinoId = ganzeZahl(args[2]);
    if (!casinoId || *casinoId < 1) {
        throw Argumentfehler{"CASINO_ID must be a casino key, not '" + args[2] + "'"};
    }
    const std::string& tisch = args[3];
    const bool tischForm = tisch.size() == 4 && tisch.compare(0, 2, "T ") == 0 && tisch[2] >= '0' &&
                           tisch[2] <= '9' && tisch[3] >= '0' && tisch[3] <= '9';
    const auto tischNummer = tischForm ? ganzeZahl(tisch.substr(2)) : std::nullopt;
    if (!tischNummer || *tischNummer < 1 || *tischNummer > capture::kTischAnzahl) {
        throw Argumentfehler{"TABLE must be \"T 01\" to \"T 25\", not '" + tisch + "'"};
    }
    const auto tag = store::Date::parseIso(args[4] + "-01");
    if (args[4].size() != 7 || !tag) {
        throw Argumentfehler{"the month must be given as YYYY-MM, not '" + args[4] + "'"};
    }

    Arbeitssitzung s(verzeichnis(args[1]), out);
    auto& k = s.kontext();
    auto& w = s.dm().TdbTable_Wahl;
    // The import works on the selection; the stored one is put back afterwards, so that the
    // program opens where its user left it.
    const std::vector<store::Value> vorher = {w.value("ID_Casino"), w.value("Tisch"),
                                              w.value("Datum")};
    w.edit();
    w.setInteger("ID_Casino", *casinoId);
    w.setText("Tisch", tisch);
    w.setDate("Datum", *tag);
    w.post();
    s.sitzung().gewaehlter_tag = *tag;

    const auto casino = capture::Casino_Der_Auswahl(k);
    int code = 0;
    if (!casino.vorhanden) {
        err << "spinalyst-cli: unknown casino " << *casinoId << "\n";
        code = 1;
    } else if (casino.zufallsgenerator == "f" && args.size() == 5) {
        err << "spinalyst-cli: casino " << *casinoId
            << " is not a random generator: give the FILE to import\n"
            << kUsageImport;
        code = 2;
    } else if (casino.zufallsgenerator == "t" && args.size() == 6) {
        err << "spinalyst-cli: casino " << *casinoId
            << " is a random generator: its coups are generated, give no FILE\n"
            << kUsageImport;
        code = 2;
    } else {
        capture::ImportAuftrag auftrag;
        if (args.size() == 6) {
            auftrag.datei = args[5];
        }
        auto zufall = capture::Zufallsgenerator::ausDerUhr();
        try {
            const auto bericht = capture::Permanenz_Aufnehmen(k, zufall, auftrag);
            out << capture::Aufnahme_Meldung(k, bericht) << "\n";
        } catch (const store::ImportFileError&) {
            err << "spinalyst-cli: File cannot be read: "
                << capture::Importdatei(*auftrag.datei).string() << "\n";
            code = 1;
        }
    }
    w.edit();
    w.setValue("ID_Casino", vorher[0]);
    w.setValue("Tisch", vorher[1]);
    w.setValue("Datum", vorher[2]);
    w.post();
    return code;
}

}  // namespace

int casinoAdd(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    return mitArgumentpruefung(kUsageCasinoAdd, err, [&] { return casinoAnlegen(args, out); });
}

int permanenzImport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    return mitArgumentpruefung(kUsageImport, err, [&] { return importieren(args, out, err); });
}

}  // namespace spinalyst::cli
