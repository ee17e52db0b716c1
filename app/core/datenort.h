#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "store/datenverzeichnis.h"
#include "store/zustand.h"

// The texts and look-ups of the shell about where its files are: the directory of the databases
// shown in the status bar, the start-up messages about it, and the place of the help files.
namespace spinalyst::app {

// The status bar's note of the database directory: "Daten: DIR" / "Data: DIR".
std::string Status_Datenverzeichnis(store::Sprache sprache, const std::string& verzeichnis);

// The start-up question when database files lie beside the program and the program works in
// the user's data directory: names both places and why the program's folder is not used, and
// asks whether to copy the files over. German and English in one text: it is asked before a
// language is chosen.
std::string Kopie_Anbieten(store::Programmordner grund, const std::string& programmverzeichnis,
                           const std::string& datenverzeichnis);
// The copy failed: what failed and that the originals are unchanged, German and English.
std::string Kopie_Fehlgeschlagen(const std::string& fehler);
// The directory of the databases cannot be made or is unknown; the program ends.
std::string Datenverzeichnis_Unbrauchbar(const std::string& verzeichnis, const std::string& fehler);

// The help file `datei` for a program in `programmverzeichnis`: beside the program when it is
// there, else in the installed share folder (../share/spinalyst), else beside the program (where
// the message about a missing file then points).
std::string Hilfe_Pfad(const std::string& programmverzeichnis, const std::string& datei,
                       const std::function<bool(const std::filesystem::path&)>& vorhanden);

}  // namespace spinalyst::app
