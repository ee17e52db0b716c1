#include "cli/systeme.h"

#include <charconv>
#include <filesystem>
#include <fstream>
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

std::optional<int> Ganzzahl(const std::string& text) {
    int v = 0;
    const auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || p != text.data() + text.size()) {
        return std::nullopt;
    }
    return v;
}

}  // namespace

int systemListe(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 2) {
        err << "usage: spinalyst-cli systems DIR\n";
        return 2;
    }
    const auto dir = Datenbankverzeichnis(args[1], err);
    if (!dir) {
        return 1;
    }
    store::Modulzustand zustand;
    store::DataModule_Roulette dm(*dir, zustand);
    dm.open();
    for (const auto& s : systems::Systeme_Auflisten(dm)) {
        out << s.id << '\t' << s.art << '\t' << s.chancen << '\t' << s.nummer << '\t' << s.name
            << '\n';
    }
    return 0;
}

int systemExport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const auto id = args.size() == 3 ? Ganzzahl(args[2]) : std::nullopt;
    if (!id) {
        err << "usage: spinalyst-cli system-export DIR SYSTEM_ID\n";
        return 2;
    }
    const auto dir = Datenbankverzeichnis(args[1], err);
    if (!dir) {
        return 1;
    }
    store::Modulzustand zustand;
    store::DataModule_Roulette dm(*dir, zustand);
    dm.open();
    const auto dokument = systems::System_Exportieren(dm, *id);
    if (!dokument) {
        err << "spinalyst-cli: there is no system with ID_System_AutoInc " << *id << "\n";
        return 1;
    }
    out << *dokument;
    return 0;
}

int systemImport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 3) {
        err << "usage: spinalyst-cli system-import DIR FILE\n";
        return 2;
    }
    const auto dir = Datenbankverzeichnis(args[1], err);
    if (!dir) {
        return 1;
    }
    std::ifstream in(args[2], std::ios::binary);
    if (!in) {
        err << "spinalyst-cli: cannot read " << args[2] << "\n";
        return 1;
    }
    std::ostringstream text;
    text << in.rdbuf();
    store::Modulzustand zustand;
    store::DataModule_Roulette dm(*dir, zustand);
    dm.open();
    try {
        out << systems::System_Importieren(dm, text.str()) << "\n";
    } catch (const systems::ImportFehler& e) {
        err << "spinalyst-cli: " << args[2] << ": " << e.what() << "; nothing was stored\n";
        return 1;
    }
    return 0;
}

}  // namespace spinalyst::cli
