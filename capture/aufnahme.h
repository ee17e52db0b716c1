#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "capture/zufall.h"
#include "kern/kontext.h"
#include "store/files.h"
#include "store/value.h"

// Permanence import: one month of coups with their day rows for the selected casino and gaming
// table, read from a text file or, for a random-generator casino, generated.
namespace spinalyst::capture {

// What an import is asked to do beyond the selection of `Wahl`: the file for a casino whose
// permanences come from files (ignored for a random-generator casino), and the file system it is
// read from.
struct ImportAuftrag {
    std::optional<std::filesystem::path> datei;
    const store::FileSystem* dateien = &store::realFileSystem();
};

// Why an import from a file stored no day.
enum class Leergrund {
    Keiner,              // a day was stored, or the coups were generated
    LeereDatei,          // the file holds no line
    KeinText,            // no day of the month, and bytes no text file holds
    KeinTagDesMonats,    // no line holds a day of the month
    TageSchonVorhanden,  // the file's days of the month are stored already or hold no numbers
};

// What an import stored: the days that got their coups and day row, and those coups; when a file
// gave no day, why, and the month that was looked for.
struct ImportBericht {
    int tage = 0;
    int coups = 0;
    Leergrund grund = Leergrund::Keiner;
    int monat = 0;
    int jahr = 0;
};

// The date search on one line of an import file: the day the line carries as its last text,
// dd.mm.yyyy or (only when no window of that form held a day of the month) yyyy-mm-dd, starting
// within the first 25 characters, when it lies in the given month; nullopt otherwise.
std::optional<store::Date> Datum_Suchen(std::string_view zeile, int monat, int jahr);

// The line read as a whole as a decimal integer (optional sign, digits only), or -1 when it is
// none or lies outside the int range. So "-1" reads as no integer.
int Zeile_Als_Zahl(std::string_view zeile);

// The walk over the lines of an import file for one month: decides which numbers become coups of
// which day. Holds the day it is in with its numbers; a day is handed out when two lines that
// are not integers close it, or at the end of the file when it has numbers. A day is lost (none
// of its numbers handed out) at the sixth line after its date line or its last stored number;
// that line is read as if no day were open, so a number there is not stored either.
class Permanenz_Dateilauf {
  public:
    struct Tag {
        store::Date datum;
        std::vector<int> zahlen;
    };
    // tagVorhanden says whether a day already has a day row; such a day is skipped. It is asked
    // on every line while a day is open, so a day handed out and stored is skipped from then on.
    Permanenz_Dateilauf(int monat, int jahr, std::function<bool(store::Date)> tagVorhanden);

    // Reads the next line; returns the day it closes, if any.
    std::optional<Tag> zeile(std::string_view text);
    // The end of the file: returns the open day if it holds numbers.
    std::optional<Tag> ende();
    // Whether a line read so far carried a day of the month (also one skipped or lost).
    bool tagGefunden() const { return tagGefunden_; }

  private:
    int monat_;
    int jahr_;
    std::function<bool(store::Date)> tagVorhanden_;
    std::optional<store::Date> tag_;
    std::vector<int> zahlen_;
    int l_ = 0;  // lines since the date line or the last stored number
    int j_ = 0;  // lines that are not integers since the last stored number
    bool tagGefunden_ = false;
};

// The casino of the selection as the import and the deletions need it. Positions the casino
// cursor on it (so that its stretches are shown); a casino that the list does not offer is read
// from its row all the same.
struct Casinoangaben {
    bool vorhanden = false;
    std::string name;
    std::string zufallsgenerator;  // "t" generated, "f" from files
    int zufallsgenerator_coups = 0;
};
Casinoangaben Casino_Der_Auswahl(kern::Kontext& k);

// Writes one day: its coups (in order) and its day row in one transaction, nested in an open
// one. The cursors learn of the rows when the bulk write ends.
void Tag_Schreiben(kern::Kontext& k, const store::Value& casino, const store::Value& tisch,
                   store::Date datum, const std::vector<int>& zahlen);

// The bulk write of the imports: grids detached, master links and the day-row filter removed,
// the bulk-write flag on. Returns the order of the day-row cursor, which Massenschreiben_Beenden
// puts back together with the links, the grids and the flag.
std::string Massenschreiben_Vorbereiten(kern::Kontext& k);
void Massenschreiben_Beenden(kern::Kontext& k, const std::string& tageszeilenOrdnung);

// The name the import reads: the chosen name with ".txt" appended when it has no extension.
std::filesystem::path Importdatei(const std::filesystem::path& gewaehlt);

// The import without questions, for the selection of `Wahl` and the month of its day: prepares
// the bulk write (grids, master links and filters off, bulk-write flag on), reads the file (for a
// casino with `Zufallsgenerator` "f") or generates the coups (for "t"), restores links, grids and
// flags, updates the stretch of the selection and resets the previous system results.
//
// Each day is written with its coups and its day row in one transaction, so a day is stored
// wholly or not at all; the report counts only stored days. The days' transactions are nested in
// one for the month, committed at the end and also after a failing day (so the days before it
// stay); if the program ends before, the month is left as it was. Days that already have a day
// row and days of other months are skipped.
//
// Throws store::ImportFileError when the file cannot be read (nothing is stored), and passes on
// any store error; in both cases links, grids and flags are restored first, and the days stored
// before the error stay stored.
ImportBericht Permanenz_Aufnehmen(kern::Kontext& k, Zufallsgenerator& zufall,
                                  const ImportAuftrag& auftrag);

// The report message of an import in the current language; when a file gave no day, a second
// line says why.
std::string Aufnahme_Meldung(const kern::Kontext& k, const ImportBericht& bericht);

// "Permanenzen" / "Aufnahme": asks, lets the user choose the file (ordinary casinos), runs the
// import and reports what it stored, or that the file cannot be read. The file is read through
// `dateien`.
void MenuItem_Permanenzen_AufnahmeClick(kern::Kontext& k, Zufallsgenerator& zufall,
                                        const store::FileSystem& dateien = store::realFileSystem());

}  // namespace spinalyst::capture
