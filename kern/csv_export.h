#pragma once

#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>

#include "kern/kontext.h"
#include "store/csv.h"
#include "store/value.h"

// What the CSV exports of the subsystems share: the refusal when there is nothing to export, the
// file written whole or not at all, and the menu's way from the choice of file to the report.
namespace spinalyst::kern {

// There is nothing to export (no evaluation since the last reset, an empty stretch). what() is
// the message in the language of the Kontext it was made with.
class KeinErgebnis : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Writes one table (header and rows) and returns the number of rows below the header; throws
// KeinErgebnis when there is nothing to export, and what it wrote until then is to be dropped:
// the exports are written to memory first and only then to their file or stream.
using Csv_Tabelle = std::function<int(store::CsvWriter&)>;

// A stored value as a field: empty for null, a day as YYYY-MM-DD, a real number with the given
// decimals.
void Wert_Schreiben(store::CsvWriter& w, const store::Value& v, int dezimalen = 2);

// Writes text to the file: first to a file beside it, which then replaces it, so that a failing
// write leaves an existing file as it was. Throws std::runtime_error naming the file.
void Datei_Schreiben(const std::filesystem::path& datei, std::string_view text);

// The menu's export: runs the table into memory (a KeinErgebnis is shown as it is, and no file
// dialog appears), offers the save dialog with two filters, CSV with semicolons (for
// spreadsheets with a decimal comma, first in German) and CSV with commas (first in English),
// writes the file (".csv" added to a name without extension) and reports the rows written, or
// that the file cannot be written. `name` is the file name suggested.
void Csv_Export_Dialog(Kontext& k, const std::string& name, const Csv_Tabelle& tabelle);

}  // namespace spinalyst::kern
