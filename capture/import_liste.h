#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "kern/kontext.h"
#include "store/files.h"
#include "store/value.h"

// Import of number lists as public archives of casino tables publish them, for the selected
// casino and gaming table.
//
// The list: numbers 0 to 36 separated by commas, semicolons, tabs or blanks, several on a line
// or one a line. Commas and semicolons do not mix in one file (a file with both is refused: one
// of them would be a decimal or a date separator); blanks and tabs may stand beside either. A
// field may be quoted as in CSV. A line may begin with a day, YYYY-MM-DD or dd.mm.yyyy: the
// numbers after it, and on the lines below up to the next day, are that day's coups. A first
// line of words only (none begins with a digit or a sign) is a header and skipped; when it names a
// column "Datum" / "date" and a column "Zahl" / "number" (as the program's own permanence export
// does), only those two columns are read.
//
// Without any day in the file the player gives the first day and the coups per day: the numbers
// fill the first day up to that count, then the next calendar day, and so on. A line of dashes
// only ("-", "---") closes a day early, whatever the count; with coups per day 0 only these lines
// close days (and a list without them is one day).
//
// As with the month import: a day that already has a day row is not stored again; a number
// outside 0 to 36 and a line that cannot be read are reported with their line numbers; nothing is
// stored unless the whole list reads; the days are stored in one transaction, and the report
// counts what was stored.
namespace spinalyst::capture {

// What the player chose for a list without days.
struct Listenvorgabe {
    std::optional<store::Date> ersterTag;
    int coupsProTag = 0;  // 0: days end only at lines of dashes
};

enum class Listenfehlerart {
    Unlesbar,        // a text that is neither a number nor a day
    ZahlAusserhalb,  // a whole number outside 0 to 36
    DatumUngueltig,  // a day that the calendar does not have (31.02.2012)
    OhneTag,         // numbers before the first day of a list with days
    Trennzeichen,    // commas and semicolons mixed
    Anfuehrung,      // a quotation mark not closed
};

// One line that does not read, with the text that was not understood.
struct Listenfehler {
    int zeile = 0;
    Listenfehlerart art = Listenfehlerart::Unlesbar;
    std::string text;
    int andereZeile = 0;  // Trennzeichen: the line with the other separator
};

struct Listentag {
    store::Date datum;
    std::vector<int> zahlen;
};

// A list as read, before anything is stored. The days in ascending order.
struct Liste {
    std::vector<Listentag> tage;
    std::vector<Listenfehler> fehler;
    bool mitDatum = false;       // the days come from the file
    int zahlen = 0;              // numbers read
    bool ohneErstenTag = false;  // numbers without days, and no first day given: no days formed
};

// Reads the text of a list file (UTF-8). Pure; the line numbers count from 1.
Liste Liste_Lesen(std::string_view text, const Listenvorgabe& vorgabe);

// Why an import stored nothing.
enum class Listengrund {
    Keiner,              // days were stored
    KeinCasino,          // the selection names no casino
    KeinText,            // the file holds bytes no text file holds
    KeineZahlen,         // the file holds no number
    Fehler,              // lines that do not read (Listenbericht::fehler)
    KeinErsterTag,       // a list without days, and no first day given
    TageSchonVorhanden,  // every day of the list is stored already
};

struct Listenbericht {
    int tage = 0;           // days stored
    int coups = 0;          // their coups
    int tageVorhanden = 0;  // days of the list skipped because they are stored already
    Listengrund grund = Listengrund::Keiner;
    std::vector<Listenfehler> fehler;
};

// Imports the list file for the selection of `Wahl` (casino, gaming table). Throws
// store::ImportFileError when the file cannot be read; nothing is stored then, nor when the
// list does not read as a whole. The bulk write is prepared and ended as for the month import;
// afterwards the stretch of the selection is updated and the previous system results are reset.
// A store error rolls back every day of the list and is passed on.
Listenbericht Liste_Importieren(kern::Kontext& k, const std::filesystem::path& datei,
                                const Listenvorgabe& vorgabe,
                                const store::FileSystem& dateien = store::realFileSystem());

// The report in the current language: the days and coups stored, the days skipped; or why
// nothing was stored, with the faulty lines (the first 10 of them).
std::string Liste_Meldung(const kern::Kontext& k, const Listenbericht& bericht);

// The menu entry after the player's choice of first day and coups per day: the file dialog, the
// import, the report (also when the file cannot be read).
void MenuItem_Liste_ImportierenClick(kern::Kontext& k, const Listenvorgabe& vorgabe,
                                     const store::FileSystem& dateien = store::realFileSystem());

}  // namespace spinalyst::capture
