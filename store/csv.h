#pragma once

#include <cstdint>
#include <ostream>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// CSV files as spreadsheets read and write them: fields quoted as RFC 4180 describes, UTF-8
// text (no byte-order mark), one header row, rows ended by CR LF, days as YYYY-MM-DD.
//
// The separator is a comma or a semicolon. Spreadsheets set to a decimal comma (German and most
// European locales) take the semicolon as their list separator and read "1,5" as one and a half;
// so a file with semicolons writes decimals with a comma, a file with commas with a point.
namespace spinalyst::store {

enum class CsvSeparator { Comma, Semicolon };

inline char separatorChar(CsvSeparator s) {
    return s == CsvSeparator::Semicolon ? ';' : ',';
}
inline char decimalChar(CsvSeparator s) {
    return s == CsvSeparator::Semicolon ? ',' : '.';
}

// The field as it is written: enclosed in double quotes (a double quote inside doubled) when it
// holds the separator, a double quote, CR or LF, or begins or ends with a blank; as it is
// otherwise.
std::string csvField(std::string_view text, char separator);

// Writes rows to a stream. Numbers are never quoted; a decimal takes the separator's decimal
// character (see above).
class CsvWriter {
  public:
    CsvWriter(std::ostream& out, CsvSeparator separator) : out_(out), separator_(separator) {}

    CsvWriter& text(std::string_view value);
    CsvWriter& integer(std::int64_t value);
    // Fixed notation with the given number of decimals.
    CsvWriter& decimal(double value, int decimals);
    // An empty field (a value that is not there).
    CsvWriter& empty();
    // Ends the row (CR LF). A row without fields writes an empty line.
    void endRow();
    // A whole row of texts (the header).
    void row(std::span<const std::string> texts);

    CsvSeparator separator() const { return separator_; }

  private:
    void next();

    std::ostream& out_;
    CsvSeparator separator_;
    bool first_ = true;
};

// A record of a CSV text with the line it starts on (1 for the first line).
struct CsvRecord {
    int line = 0;
    std::vector<std::string> fields;
};

// The text is not CSV: a quoted field is not closed before the end. what() names the line.
class CsvError : public std::runtime_error {
  public:
    CsvError(int line, const std::string& message) : std::runtime_error(message), line_(line) {}
    int line() const { return line_; }

  private:
    int line_;
};

// Reads a CSV text into its records. Records end at CR LF, LF or CR; a quoted field may hold
// separators, line breaks and doubled quotes; text after a closing quote is added to the field
// as it stands. Fields are not trimmed. Empty lines give no record. A UTF-8 byte-order mark at
// the start is dropped. Throws CsvError for a quote that is never closed.
std::vector<CsvRecord> readCsv(std::string_view text, char separator);

}  // namespace spinalyst::store
