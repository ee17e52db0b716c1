#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "store/files.h"

// Text import of permanence files into the one-column work table: one row per non-empty line,
// holding the line's first comma-separated field.
namespace spinalyst::store {

class TableCursor;

// The file could not be read (missing, a directory, no permission). what() names the file.
class ImportFileError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Width of the work table's text column; longer first fields are cut to it.
inline constexpr std::size_t kImportFieldWidth = 35;

// Splits file contents into the first fields of its non-empty lines, in file order. Lines end
// at CR or LF; a field may be enclosed in double quotes (two double quotes inside stand for one);
// an unquoted field has its surrounding blanks removed; a NUL reads as a blank. Texts are
// returned as UTF-8 (input that is not valid UTF-8 is read as Windows-1252; a UTF-8 byte-order
// mark is dropped), cut to kImportFieldWidth characters. Contents that start with a UTF-16
// byte-order mark (little or big endian) are read as UTF-16 and give the same fields as the
// same text in UTF-8; malformed UTF-16 (an unpaired surrogate, an odd last byte) reads as U+FFFD.
std::vector<std::string> importFields(std::string_view contents);

// What importTextFile read: the rows it appended, and whether the file's text (after UTF-16 is
// converted) held bytes no text file holds (a NUL or a control character other than tab, line and
// page breaks and the end-of-file mark 0x1A), as a binary file or text in an encoding not
// recognised does.
struct ImportedText {
    int rows = 0;
    bool binary = false;
};

// Reads the file and appends one row per field to the work table cursor (its first field),
// inside one transaction. Returns the number of rows appended and what the file looked like. Throws
// ImportFileError when the file cannot be read, also when reading fails part-way; the table is then
// left as it was. The file is found and read through `files`.
ImportedText importTextFile(const std::filesystem::path& file, TableCursor& workTable,
                            const FileSystem& files = realFileSystem());

// A whole text file as UTF-8 (a UTF-16 file converted, a UTF-8 byte-order mark dropped; other
// bytes as they are), and whether it held bytes no text file holds (see ImportedText).
struct TextFile {
    std::string text;
    bool binary = false;
};

// Largest file readTextFile reads; a number list of this size holds millions of coups.
inline constexpr std::size_t kMaxTextFileBytes = 256u << 20;

// Reads the whole file through `files`. Throws ImportFileError when it cannot be read (missing,
// a directory, not a plain file, no permission, a read error part-way) or is larger than
// kMaxTextFileBytes.
TextFile readTextFile(const std::filesystem::path& file,
                      const FileSystem& files = realFileSystem());

}  // namespace spinalyst::store
