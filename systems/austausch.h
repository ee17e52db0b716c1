#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "store/datamodule.h"

// Systems as text, so that players can pass them on: one JSON document per system.
//
// The document is an object with the `Systeme` fields that define the system
// (`ID_System_Art`, `ID_System_Chancen`, `System_Name`, `System_Informationen`,
// `System_Online_Aktiv`, `Systemangriff_Beendung_Einzeln_Alle`) and "Instanzen", a list of the
// instances 1 to 3, each an object with `ID_Instanz`, `System_Daten` (the data row's fields
// without its owner fields, or null when the instance has no data row), `System_Ereignisse` (the
// sequence in order, each {"ID_Ereignis": …, "Angriff": …}) and `System_Angriffe` (the stakes by
// step, {"1": …, …, "50": …, "G": …, "V": …}). A kind-2 system also carries its
// `Individuell_1_Daten` and `Individuell_2_Daten` rows (null when it has none). Keys are the field
// names; null fields are written as null. Identity, number, view state and run state are not part
// of a system's text.
namespace spinalyst::systems {

// A document that cannot become a system; the message says why. Nothing was stored.
class ImportFehler : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// One system as the systems list of the command line shows it.
struct Systemzeile {
    int id;
    int art;
    int chancen;
    int nummer;
    std::string name;
};

// Every stored system, by kind, chance class and number.
std::vector<Systemzeile> Systeme_Auflisten(store::DataModule_Roulette& dm);

// The document of the system with the given `ID_System_AutoInc`; nullopt when there is none.
std::optional<std::string> System_Exportieren(store::DataModule_Roulette& dm, int idSystem);

// Creates a new system from a document, as a new system is created in the main window: numbered
// one above the highest number of its kind and chance class, shown instance 1, run state and
// `Systemaenderung_erfolgt` at their creation values. Fields the document leaves out take their
// creation values or defaults (a data row's flags "f" and settlement "E"; the stake rows
// "1".."50" empty, "G" 100, "V" -100); an instance left out gets no rows, as one never selected;
// an empty stake object creates no stake rows. The last sequence row is the attacked one ("x").
//
// The whole document is checked before anything is written, and everything is written in one
// transaction. Throws ImportFehler for a text that is not JSON, an unknown field, a value of the
// wrong type or too long, an unknown kind, chance class or event, a stake that is not an integer.
// Returns the new `ID_System_AutoInc`. The data module's system cursors are read again afterwards.
int System_Importieren(store::DataModule_Roulette& dm, std::string_view dokument);

// Reads exactly one JSON document (white space around it allowed), members in the order of the
// text. Besides text that is not JSON it refuses a member name given twice in one object, anything
// after the document and nesting deeper than 64 levels. Throws ImportFehler "not valid JSON: line
// L, column C: ..." with line and column counted from 1 (columns in characters).
nlohmann::ordered_json Json_Lesen(std::string_view text);

// Writes a value indented by two spaces per level; a list or object of scalars that fits in a
// short line is written on one line. No trailing newline. Numbers with a fraction or exponent get
// 17 significant digits; text that is not UTF-8 is written with U+FFFD in place of the broken
// bytes, so that every written document reads back. The command line writes its other documents
// the same way.
std::string Json_Text(const nlohmann::ordered_json& wert);

}  // namespace spinalyst::systems
