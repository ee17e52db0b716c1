#include "cli/datenort.h"

#include <cstdlib>
#include <memory>
#include <stdexcept>

#include "store/datenverzeichnis.h"

namespace spinalyst::cli {

namespace fs = std::filesystem;

void whereBefehl(CLI::App& programm, Befehle& befehle) {
    auto* befehl = programm.add_subcommand(
        "where", "print the directory of the database files the desktop program would use");
    struct Optionen {
        std::string programm;
        std::string daten;
    };
    auto o = std::make_shared<Optionen>();
    befehl->add_option("--program-dir", o->programm,
                       "the directory of the desktop program (default: that of this program)");
    befehl->add_option("--data-dir", o->daten, "the directory named to the desktop program");
    befehle[befehl] = [o](std::ostream& out, std::ostream&) {
        store::Datenverzeichnis_Eingaben eingaben;
        std::error_code ec;
        eingaben.programmverzeichnis = o->programm.empty()
                                           ? fs::read_symlink("/proc/self/exe", ec).parent_path()
                                           : fs::absolute(o->programm, ec);
        eingaben.benutzerverzeichnis =
            store::Benutzerdatenverzeichnis(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
        if (!o->daten.empty()) {
            eingaben.option = fs::absolute(o->daten, ec);
        }
        const store::Datenverzeichnis_Wahl wahl = store::Datenverzeichnis_Waehlen(eingaben);
        if (wahl.verzeichnis.empty()) {
            throw std::runtime_error(
                "the user's data directory is unknown: neither XDG_DATA_HOME nor HOME is set");
        }
        out << wahl.verzeichnis.lexically_normal().string() << "\n";
        return 0;
    };
}

}  // namespace spinalyst::cli
