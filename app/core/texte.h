#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "kern/sitzung.h"

// The fixed texts of the application shell: titles, messages, the main menu as shipped and the
// language-dependent captions of the main window. Kept as data so that the window, the language
// switch and the tests read the same table.
namespace spinalyst::app {

inline constexpr const char* kAnwendungstitel = "Molvane's Spinalyst Q/XA";
inline constexpr const char* kSperrname = "Molvanes_Spinalyst.exe";
inline constexpr const char* kMeldungLaeuftBereits = "Anwendung läuft bereits!";
inline constexpr const char* kStatusFirma = "Molvane´s Software";

// Caption of the main window in the given language.
const char* Hauptfenster_Titel(store::Sprache sprache);

// The help question (two lines) and the help file of the given language.
const char* Hilfe_Frage(store::Sprache sprache);
const char* Hilfe_Datei(store::Sprache sprache);
// The message when the help file could not be opened (no PDF viewer, or the file is missing):
// names the file and the directory it is expected in.
std::string Hilfe_Nicht_Geoeffnet(store::Sprache sprache, const std::string& verzeichnis);

// One entry of the main menu `HauptMenue` or of a pop-up menu, in display order. `oberpunkt` is
// the item it belongs to (nullptr for the menu bar, or the name of a pop-up menu); a separator
// has the name "-". `deutsch` is the caption as shipped.
struct Menuepunkt {
    const char* name;
    const char* oberpunkt;
    const char* deutsch;
};
inline constexpr const char* kHauptmenue = "HauptMenue";
inline constexpr const char* kPopupEreignisfolge = "PopupMenu_Ereignisfolge";
inline constexpr const char* kTrenner = "-";
const std::vector<Menuepunkt>& Menuepunkte();

// The menu items whose captions the language switch fetches from `Deutsch_Englisch`, in the
// order it fetches them. "Data Mining" is not among them: it keeps its caption.
const std::vector<const char*>& Sprachabhaengige_Menuepunkte();

// A control of the main window whose own caption depends on the language (labels, buttons,
// check boxes). Grid headings live with the grid columns.
struct FesterText {
    const char* objekt;
    const char* deutsch;
    const char* englisch;
};
const std::vector<FesterText>& Feste_Texte();

// The tool tips of the main window's terse controls ("vEf", "A", "<>", "I", "Σ", "x (A)", the
// coups-back window), in both languages. An `objekt` that starts with "*" names every control
// whose object name ends with the rest (the same box in each filter row).
const std::vector<FesterText>& Kurzhilfen();
// Whether the entry of Kurzhilfen() belongs to the control of that object name.
bool Kurzhilfe_Gilt(const FesterText& hilfe, std::string_view objektname);

}  // namespace spinalyst::app
