#include "cli/permanenz.h"

#include <filesystem>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "capture/aufnahme.h"
#include "capture/auswahl.h"
#include "capture/zufall.h"
#include "kern/kontext.h"
#include "store/datamodule.h"
#include "store/textimport.h"

namespace spinalyst::cli {

namespace {

namespace fs = std::filesystem;

// Largest number of generated coups a day the command line accepts.
constexpr int kMaxZufallsCoups = 100000;

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

struct NeuesCasino {
    std::string dir;
    std::string name;
    int coups = 0;
    bool zufall = false;
};

int casinoAnlegen(const NeuesCasino& a, std::ostream& out) {
    Arbeitssitzung s(verzeichnis(a.dir), out);
    auto& k = s.kontext();
    capture::Casino_Fenster_Zeigen(k);
    const int id = capture::BitBtn_NeuClick(k);
    auto& casino = s.dm().TdbTable_Casino;
    casino.edit();
    casino.setText("Casino_Name", a.name);
    if (a.zufall) {
        casino.setText("Zufallsgenerator", "t");
        casino.setInteger("Zufallsgenerator_Coups", a.coups);
    }
    capture::Casino_Fenster_Schliessen(k);
    out << id << "\n";
    return 0;
}

struct Import {
    std::string dir;
    int casino = 0;
    std::string tisch;
    store::Date monat;
    std::optional<std::string> datei;
};

int importieren(const Import& a, std::ostream& out, std::ostream& err) {
    Arbeitssitzung s(verzeichnis(a.dir), out);
    auto& k = s.kontext();
    auto& w = s.dm().TdbTable_Wahl;
    // The import works on the selection; the stored one is put back afterwards, so that the
    // program opens where its user left it.
    const std::vector<store::Value> vorher = {w.value("ID_Casino"), w.value("Tisch"),
                                              w.value("Datum")};
    w.edit();
    w.setInteger("ID_Casino", a.casino);
    w.setText("Tisch", a.tisch);
    w.setDate("Datum", a.monat);
    w.post();
    s.sitzung().gewaehlter_tag = a.monat;

    const auto casino = capture::Casino_Der_Auswahl(k);
    int code = 0;
    std::optional<std::string> falsch;
    if (!casino.vorhanden) {
        err << "spinalyst-cli: unknown casino " << a.casino << "\n";
        code = 1;
    } else if (casino.zufallsgenerator == "f" && !a.datei) {
        falsch = "casino " + std::to_string(a.casino) +
                 " is not a random generator: give the FILE to import";
    } else if (casino.zufallsgenerator == "t" && a.datei) {
        falsch = "casino " + std::to_string(a.casino) +
                 " is a random generator: its coups are generated, give no FILE";
    } else {
        capture::ImportAuftrag auftrag;
        if (a.datei) {
            auftrag.datei = *a.datei;
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
    if (falsch) {
        throw Argumentfehler(*falsch);
    }
    return code;
}

}  // namespace

void permanenzBefehle(CLI::App& programm, Befehle& befehle) {
    auto* casinoAdd = programm.add_subcommand(
        "casino-add", "add a casino (a random generator with N coups a day) and print its key");
    auto neu = std::make_shared<NeuesCasino>();
    verzeichnisArgument(*casinoAdd, neu->dir);
    casinoAdd->add_option("NAME", neu->name, "the name of the casino")
        ->required()
        ->check(CLI::Validator(
            [](std::string& name) {
                if (name.empty()) {
                    throw Argumentfehler("the casino needs a name");
                }
                return std::string();
            },
            ""));
    const CLI::Option* zufall =
        zahlArgument(*casinoAdd, "--random-coups", neu->coups, 0, kMaxZufallsCoups,
                     "make it a random generator with N coups a day");
    befehle[casinoAdd] = [neu, zufall](std::ostream& out, std::ostream&) {
        neu->zufall = zufall->count() > 0;
        return casinoAnlegen(*neu, out);
    };

    auto* einlesen = programm.add_subcommand(
        "import",
        "import a month of permanence from FILE, or generate it for a random-generator casino");
    auto auftrag = std::make_shared<Import>();
    verzeichnisArgument(*einlesen, auftrag->dir);
    zahlArgument(*einlesen, "CASINO_ID", auftrag->casino, 1, std::numeric_limits<int>::max(),
                 "the key of the casino");
    tischArgument(*einlesen, auftrag->tisch);
    monatArgument(*einlesen, auftrag->monat, "the month");
    einlesen->add_option_function<std::string>(
        "FILE", [auftrag](const std::string& datei) { auftrag->datei = datei; },
        "the text file to import (\".txt\" is added to a name\nwithout extension); none for a "
        "random-generator casino");
    befehle[einlesen] = [auftrag](std::ostream& out, std::ostream& err) {
        return importieren(*auftrag, out, err);
    };
}

}  // namespace spinalyst::cli
