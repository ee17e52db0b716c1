#include "cli/systeme.h"

#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <optional>
#include <sstream>

#include "store/datamodule.h"
#include "systems/austausch.h"

namespace spinalyst::cli {

namespace {

namespace fs = std::filesystem;

// The data module over the databases in DIR, opened; nullopt (with a message) when DIR holds no
// main database: reading commands never create one.
std::optional<fs::path> Datenbankverzeichnis(const std::string& dir, std::ostream& err) {
    std::error_code ec;
    if (!fs::is_directory(dir, ec)) {
        err << "spinalyst-cli: " << dir << " is not a directory\n";
        return std::nullopt;
    }
    const fs::path datei = fs::path(dir) / store::Database::fileName(store::DatabaseFile::Roulette);
    if (!fs::exists(datei, ec)) {
        err << "spinalyst-cli: " << dir << " holds no " << datei.filename().string()
            << " (create it with: spinalyst-cli init DIR)\n";
        return std::nullopt;
    }
    return fs::path(dir);
}

int systemListe(const std::string& dir, std::ostream& out, std::ostream& err) {
    const auto pfad = Datenbankverzeichnis(dir, err);
    if (!pfad) {
        return 1;
    }
    store::Modulzustand zustand;
    store::DataModule_Roulette dm(*pfad, zustand);
    dm.open();
    for (const auto& s : systems::Systeme_Auflisten(dm)) {
        out << s.id << '\t' << s.art << '\t' << s.chancen << '\t' << s.nummer << '\t' << s.name
            << '\n';
    }
    return 0;
}

int systemExport(const std::string& dir, int id, std::ostream& out, std::ostream& err) {
    const auto pfad = Datenbankverzeichnis(dir, err);
    if (!pfad) {
        return 1;
    }
    store::Modulzustand zustand;
    store::DataModule_Roulette dm(*pfad, zustand);
    dm.open();
    const auto dokument = systems::System_Exportieren(dm, id);
    if (!dokument) {
        err << "spinalyst-cli: there is no system with ID_System_AutoInc " << id << "\n";
        return 1;
    }
    out << *dokument;
    return 0;
}

int systemImport(const std::string& dir, const std::string& datei, std::ostream& out,
                 std::ostream& err) {
    const auto pfad = Datenbankverzeichnis(dir, err);
    if (!pfad) {
        return 1;
    }
    std::ifstream in(datei, std::ios::binary);
    if (!in) {
        err << "spinalyst-cli: cannot read " << datei << "\n";
        return 1;
    }
    std::ostringstream text;
    text << in.rdbuf();
    store::Modulzustand zustand;
    store::DataModule_Roulette dm(*pfad, zustand);
    dm.open();
    try {
        out << systems::System_Importieren(dm, text.str()) << "\n";
    } catch (const systems::ImportFehler& e) {
        err << "spinalyst-cli: " << datei << ": " << e.what() << "; nothing was stored\n";
        return 1;
    }
    return 0;
}

}  // namespace

void systemBefehle(CLI::App& programm, Befehle& befehle) {
    auto* liste = programm.add_subcommand("systems", "list the betting systems");
    auto listeDir = std::make_shared<std::string>();
    verzeichnisArgument(*liste, *listeDir);
    befehle[liste] = [listeDir](std::ostream& out, std::ostream& err) {
        return systemListe(*listeDir, out, err);
    };

    struct Export {
        std::string dir;
        int id = 0;
    };
    auto* exportieren =
        programm.add_subcommand("system-export", "print a system as a JSON document");
    auto ex = std::make_shared<Export>();
    verzeichnisArgument(*exportieren, ex->dir);
    zahlArgument(*exportieren, "SYSTEM_ID", ex->id, 1, std::numeric_limits<int>::max(),
                 "the system's ID_System_AutoInc, as `systems` lists it");
    befehle[exportieren] = [ex](std::ostream& out, std::ostream& err) {
        return systemExport(ex->dir, ex->id, out, err);
    };

    struct Import {
        std::string dir;
        std::string datei;
    };
    auto* importieren =
        programm.add_subcommand("system-import", "create a system from such a document");
    auto im = std::make_shared<Import>();
    verzeichnisArgument(*importieren, im->dir);
    importieren->add_option("FILE", im->datei, "the JSON document, as system-export writes it")
        ->required();
    befehle[importieren] = [im](std::ostream& out, std::ostream& err) {
        return systemImport(im->dir, im->datei, out, err);
    };
}

}  // namespace spinalyst::cli
