#include "store/datenverzeichnis.h"

#include <unistd.h>

#include <system_error>

#include "store/database.h"

namespace spinalyst::store {

namespace fs = std::filesystem;

namespace {

constexpr DatabaseFile kDateien[] = {DatabaseFile::Roulette, DatabaseFile::DmModul};

bool istDatei(const fs::path& pfad) {
    std::error_code ec;
    return fs::is_regular_file(pfad, ec);
}

// Copies one file under a temporary name and renames it into place.
std::string kopieren(const fs::path& quelle, const fs::path& ziel) {
    const fs::path zwischen = fs::path(ziel).concat(".kopie");
    std::error_code ec;
    fs::remove(zwischen, ec);
    if (!fs::copy_file(quelle, zwischen, fs::copy_options::overwrite_existing, ec)) {
        fs::remove(zwischen, ec);
        return quelle.string() + ": cannot be copied to " + ziel.parent_path().string() + " (" +
               ec.message() + ")";
    }
    fs::rename(zwischen, ziel, ec);
    if (ec) {
        const std::string text = ziel.string() + ": cannot be written (" + ec.message() + ")";
        fs::remove(zwischen, ec);
        return text;
    }
    return {};
}

}  // namespace

Datenverzeichnis_Wahl Datenverzeichnis_Waehlen(const Datenverzeichnis_Eingaben& eingaben) {
    Datenverzeichnis_Wahl wahl;
    if (eingaben.option) {
        wahl.verzeichnis = *eingaben.option;
        wahl.ort = Datenort::Option;
        return wahl;
    }
    const fs::path& programm = eingaben.programmverzeichnis;
    std::error_code ec;
    const bool installiert = fs::is_directory(programm / kInstallierteDaten, ec);
    const auto beschreibbar =
        eingaben.beschreibbar ? eingaben.beschreibbar : Verzeichnis_Beschreibbar;
    if (!installiert && beschreibbar(programm)) {
        wahl.verzeichnis = programm;
        wahl.ort = Datenort::Programmverzeichnis;
        return wahl;
    }
    wahl.verzeichnis = eingaben.benutzerverzeichnis;
    wahl.ort = Datenort::Benutzerverzeichnis;
    wahl.grund = installiert ? Programmordner::Installiert : Programmordner::NichtBeschreibbar;
    wahl.kopieAnbieten = !wahl.verzeichnis.empty() && Datenbanken_Vorhanden(programm) &&
                         !Datenbanken_Vorhanden(wahl.verzeichnis);
    return wahl;
}

fs::path Benutzerdatenverzeichnis(const char* xdgDataHome, const char* home) {
    if (xdgDataHome != nullptr && *xdgDataHome != '\0' && fs::path(xdgDataHome).is_absolute()) {
        return fs::path(xdgDataHome) / kBenutzerordner;
    }
    if (home != nullptr && *home != '\0') {
        return fs::path(home) / ".local" / "share" / kBenutzerordner;
    }
    return {};
}

bool Verzeichnis_Beschreibbar(const fs::path& verzeichnis) {
    std::error_code ec;
    return fs::is_directory(verzeichnis, ec) && ::access(verzeichnis.c_str(), W_OK | X_OK) == 0;
}

bool Datenbanken_Vorhanden(const fs::path& verzeichnis) {
    for (DatabaseFile datei : kDateien) {
        if (istDatei(verzeichnis / Database::fileName(datei))) {
            return true;
        }
    }
    return false;
}

std::string Datenbanken_Kopieren(const fs::path& von, const fs::path& nach) {
    std::error_code ec;
    fs::create_directories(nach, ec);
    if (ec) {
        return nach.string() + ": cannot be created (" + ec.message() + ")";
    }
    for (DatabaseFile datei : kDateien) {
        const std::string name = Database::fileName(datei);
        if (!istDatei(von / name) || istDatei(nach / name)) {
            continue;
        }
        // A journal left beside a database belongs to it: copied along, SQLite finishes or
        // rolls back the interrupted write on the copy as it would have on the original.
        for (const char* zusatz : {"-journal", "-wal", ""}) {
            const fs::path quelle = von / (name + zusatz);
            if (!istDatei(quelle)) {
                continue;
            }
            if (std::string fehler = kopieren(quelle, nach / (name + zusatz)); !fehler.empty()) {
                return fehler;
            }
        }
    }
    return {};
}

}  // namespace spinalyst::store
