#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

// Where the two database files live. The desktop program and the command-line tool's `where`
// make the same decision with these functions; the candidate directories come in as arguments,
// so that the decision is tested without touching the user's home.
namespace spinalyst::store {

// The folder of the installed share files, relative to the directory of the executable
// (bin/../share/spinalyst). Its presence marks an installed program.
inline constexpr const char* kInstallierteDaten = "../share/spinalyst";
// The name of the program's folder in the user's data directory.
inline constexpr const char* kBenutzerordner = "Spinalyst";

// Why the chosen directory holds the databases.
enum class Datenort {
    Option,               // named on the command line (--data-dir)
    Programmverzeichnis,  // the program directory, which can be written (portable use)
    Benutzerverzeichnis,  // the user's data directory
};

// Why the program directory was not taken (only for Datenort::Benutzerverzeichnis).
enum class Programmordner {
    Installiert,        // an installed program: nothing is written into its folder
    NichtBeschreibbar,  // the folder cannot be written
};

struct Datenverzeichnis_Eingaben {
    std::filesystem::path programmverzeichnis;  // the directory of the executable
    std::filesystem::path benutzerverzeichnis;  // see Benutzerdatenverzeichnis()
    std::optional<std::filesystem::path> option;
    // Whether the program may write into a directory; Verzeichnis_Beschreibbar unless a test
    // replaces it (as root every directory of a local file system can be written).
    std::function<bool(const std::filesystem::path&)> beschreibbar;
};

struct Datenverzeichnis_Wahl {
    std::filesystem::path verzeichnis;
    Datenort ort = Datenort::Programmverzeichnis;
    Programmordner grund = Programmordner::Installiert;
    // True when database files lie beside the program, that directory is not used and the
    // chosen directory holds neither database yet: the program offers to copy them over.
    bool kopieAnbieten = false;
};

// The decision, in this order: the directory named by the option; the user's data directory for
// an installed program (the program directory has kInstallierteDaten beside it); the program
// directory when it can be written; the user's data directory otherwise. Reads the file system
// only to look for the database files and the installed share folder; writes nothing.
Datenverzeichnis_Wahl Datenverzeichnis_Waehlen(const Datenverzeichnis_Eingaben& eingaben);

// The user's data directory of this program as the freedesktop base directories define it:
// $XDG_DATA_HOME/Spinalyst when that variable holds an absolute path, else
// $HOME/.local/share/Spinalyst. Empty when neither is set. Both arguments may be null.
std::filesystem::path Benutzerdatenverzeichnis(const char* xdgDataHome, const char* home);

// Whether this process may create and change files in `verzeichnis`: it exists, is a directory
// and access(2) grants write and search (which also reports a read-only mount, even to root).
bool Verzeichnis_Beschreibbar(const std::filesystem::path& verzeichnis);

// Whether a database file of either name lies in `verzeichnis`.
bool Datenbanken_Vorhanden(const std::filesystem::path& verzeichnis);

// Copies the database files found in `von` into `nach` (created when missing). Each copy is
// written under a temporary name first and renamed into place, so a failed copy leaves no half
// file; a database file already in `nach` is not overwritten. The files in `von` are only read.
// Returns an empty text on success, otherwise what failed, naming the file.
std::string Datenbanken_Kopieren(const std::filesystem::path& von,
                                 const std::filesystem::path& nach);

}  // namespace spinalyst::store
