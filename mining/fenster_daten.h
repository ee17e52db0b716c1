#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "kern/kontext.h"
#include "mining/parameter.h"
#include "store/cursor.h"

// The data-mining window's parameter side as operations on the data: the menu check that opens
// it, what opening and closing it do to `Wahl` and to the second systems cursor, which option rows
// may be changed, what the sequence boxes show, and the count of patterns shown before a run. The
// window (app/) only shows what these return.
namespace spinalyst::mining {

// Menu "Data Mining": posts pending edits of the system tables, then tells whether the window may
// open: `Wahl.ID_System_Art` is 3 (Data Mining), a system is selected (the current `Systeme` row
// has an `ID_System_Nummer`) and `Wahl.ID_Instanz` is 1. Otherwise the user is told
// "Systemgruppe Data Mining / System (Instanz = 1) wählen oder anlegen!" / "System Group Data
// Mining / System (Instance = 1) selected!?" and the result is false.
bool MenuItem_DataMiningClick(kern::Kontext& k);

// What the window shows of its parameters when it opens.
struct Parameterseite {
    std::int64_t system = 0;              // `ID_System_AutoInc` of the data-mining system
    std::optional<store::Date> datumVon;  // `DM_Datum_von`, for the first date picker
    std::optional<store::Date> datumBis;  // `DM_Datum_bis`
    // Whether the option rows H, S, R may be changed (Optionszeile_Frei of instance 1).
    std::array<bool, 3> zeileFrei{};
    // The labels of the rows H, S, R: the system's event text of that filter and " ...".
    std::array<std::string, 3> beschriftung;
};

// Opening the window (`FormShow`, parameter side): the second systems cursor
// (`TdbTable_Systeme_2`) is put on the system selected in the main window, so that its
// `TdbTable_System_Daten_2` holds the data-mining system's row; the dates, the free rows and the
// labels are read. Pending edits of the system tables are posted first. Nothing
// when no system is selected or it cannot be found.
std::optional<Parameterseite> Data_Mining_FormShow(kern::Kontext& k);

// Closing the window: the date pickers' days stored into `DM_Datum_von` and `DM_Datum_bis`, and
// `Wahl` posted with every option changed in the window.
void Data_Mining_FormClose(kern::Kontext& k, std::optional<store::Date> von,
                           std::optional<store::Date> bis);

// The parameters as the window's controls hold them: the options of `Wahl` from the cursor's
// current row (also before it is posted), the system part taken from `system`.
Parameter Parameter_Aus_Wahl(const store::Cursor& wahl, Parameter system);

// The sequence classes "1:1", "2:1", "5:1" (`DM_Ereignisfolge_11`, `_21`, `_51`).
enum class Folgeklasse { K11 = 0, K21 = 1, K51 = 2 };

// What the three sequence boxes show. A click that checks "5:1" shows "2:1" and "1:1" checked
// too, one that checks "2:1" shows "1:1" checked; their stored flags keep their values (the search
// takes the largest class whose flag is set). Unchecking changes nothing else. Kept by the window
// while it is open.
class Ereignisfolge_Anzeige {
  public:
    // Shown states from the stored flags, indexed by Folgeklasse.
    std::array<bool, 3> angezeigt(const std::array<bool, 3>& gespeichert) const;

    // `DBCheckBox_EreignisfolgeClick`: the user set the box to `angehakt` (and its flag with it).
    void DBCheckBox_EreignisfolgeClick(Folgeklasse box, bool angehakt);

  private:
    std::array<bool, 3> zusaetzlich_{};  // shown checked although the flag may not be set
};

// A check box of an option row shows its flag only while the row may be changed.
inline bool Optionskasten_Angezeigt(bool zeileFrei, bool gespeichert) {
    return zeileFrei && gespeichert;
}

// The window title with the summary of the last run in `Wahl`: "  Data Mining (letzte
// Mustererkennung: " casino ", " table ", " from " - " to ", " days " Tage, " coups - 1 " Coups)" /
// "  Data Mining (last Pattern Recognition: " ... " Days, " ... " Coups)"; days through `datum`
// (the short date format of the locale). Before any run (no coup count stored) only
// "  Data Mining".
std::string Data_Mining_Titel(const store::Cursor& wahl, bool englisch,
                              const std::function<std::string(store::Date)>& datum);

// The count of patterns as the window shows it before a run: "13 Kombinationen" /
// "13 Combinations" (decimal, 64-bit).
std::string Kombinationen_Text(std::int64_t anzahl, bool englisch);

// The question before a run: the count, " Kombinationen!", a line break and
// "Berechnung Starten?" / " Combinations!", a line break and "Calculations start?".
std::string Kombinationen_Frage(std::int64_t anzahl, bool englisch);

}  // namespace spinalyst::mining
