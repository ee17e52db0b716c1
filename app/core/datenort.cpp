#include "app/core/datenort.h"

namespace spinalyst::app {

namespace fs = std::filesystem;

std::string Status_Datenverzeichnis(store::Sprache sprache, const std::string& verzeichnis) {
    return (sprache == store::Sprache::Englisch ? "Data: " : "Daten: ") + verzeichnis;
}

std::string Kopie_Anbieten(store::Programmordner grund, const std::string& programmverzeichnis,
                           const std::string& datenverzeichnis) {
    const bool installiert = grund == store::Programmordner::Installiert;
    return std::string("Neben dem Programm liegen Datenbanken in einem Ordner, ") +
           (installiert ? "in den das installierte Programm nichts schreibt:\n"
                        : "in den nicht geschrieben werden kann:\n") +
           programmverzeichnis +
           "\n\nDas Programm arbeitet mit den Datenbanken in Ihrem Datenordner:\n" +
           datenverzeichnis +
           "\n\nSollen die vorhandenen Datenbanken dorthin kopiert werden? Die Dateien neben dem "
           "Programm bleiben unverändert. Ohne Kopie beginnt der Datenordner mit leeren "
           "Datenbanken.\n\n"
           "Databases lie beside the program in a folder " +
           (installiert ? "the installed program writes nothing into:\n"
                        : "that cannot be written:\n") +
           programmverzeichnis + "\n\nThe program works with the databases in your data folder:\n" +
           datenverzeichnis +
           "\n\nCopy the existing databases there? The files beside the program stay unchanged. "
           "Without a copy the data folder starts with empty databases.";
}

std::string Kopie_Fehlgeschlagen(const std::string& fehler) {
    return "Die Datenbanken konnten nicht kopiert werden; die Dateien neben dem Programm sind "
           "unverändert.\n" +
           fehler +
           "\n\nThe databases could not be copied; the files beside the program are "
           "unchanged.";
}

std::string Datenverzeichnis_Unbrauchbar(const std::string& verzeichnis,
                                         const std::string& fehler) {
    return "Der Datenordner kann nicht angelegt werden:\n" + verzeichnis + "\n" + fehler +
           "\n\nThe data folder cannot be created. Start the program with --data-dir DIR to "
           "choose another one.";
}

std::string Hilfe_Pfad(const std::string& programmverzeichnis, const std::string& datei,
                       const std::function<bool(const fs::path&)>& vorhanden) {
    const std::string daneben = programmverzeichnis + datei;
    if (vorhanden(daneben)) {
        return daneben;
    }
    const fs::path geteilt =
        (fs::path(programmverzeichnis) / store::kInstallierteDaten / datei).lexically_normal();
    if (vorhanden(geteilt)) {
        return geteilt.string();
    }
    return daneben;
}

}  // namespace spinalyst::app
