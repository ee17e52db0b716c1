#include "store/textimport.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <system_error>

#include "store/cursor.h"
#include "store/database.h"
#include "store/sqlite.h"

namespace spinalyst::store {

namespace {

// Streaming check that a byte sequence is well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF), so a field of any length is judged without being held.
class Utf8Check {
  public:
    void feed(unsigned char c) {
        if (need_ == 0) {
            if (c < 0x80) {
                return;
            }
            lo_ = 0x80;
            hi_ = 0xBF;
            if (c >= 0xC2 && c <= 0xDF) {
                need_ = 1;
            } else if (c >= 0xE0 && c <= 0xEF) {
                need_ = 2;
                lo_ = c == 0xE0 ? 0xA0 : 0x80;
                hi_ = c == 0xED ? 0x9F : 0xBF;
            } else if (c >= 0xF0 && c <= 0xF4) {
                need_ = 3;
                lo_ = c == 0xF0 ? 0x90 : 0x80;
                hi_ = c == 0xF4 ? 0x8F : 0xBF;
            } else {
                bad_ = true;
            }
            return;
        }
        if (c < lo_ || c > hi_) {
            bad_ = true;
            need_ = 0;
            return;
        }
        --need_;
        lo_ = 0x80;
        hi_ = 0xBF;
    }
    bool valid() const { return !bad_ && need_ == 0; }

  private:
    int need_ = 0;
    unsigned char lo_ = 0x80;
    unsigned char hi_ = 0xBF;
    bool bad_ = false;
};

// Code points of the bytes 0x80 to 0x9F in Windows-1252. The five bytes the code page leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) keep their Latin-1 code points; 0xA0 to 0xFF are
// Latin-1 anyway.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// Hands the bytes of a file on as UTF-8: a file that starts with a UTF-16 byte-order mark (little
// or big endian) is converted, without the mark; any other file is handed on unchanged. Fed in
// pieces of any size; converts one piece at a time, so it never holds more than the converted
// piece. Malformed UTF-16 (a surrogate without its partner, an odd byte at the end) reads as
// U+FFFD.
class Utf16Decoder {
  public:
    // The text of the next piece; valid until the next call.
    std::string_view decode(std::string_view piece) {
        if (kind_ == Kind::Unknown) {
            // The mark may be split across pieces: hold the first bytes back until two are known.
            const std::size_t taken = std::min(piece.size(), 2 - start_.size());
            start_.append(piece.substr(0, taken));
            piece.remove_prefix(taken);
            if (start_.size() < 2) {
                return {};
            }
            return decideAndDecode(piece);
        }
        if (kind_ == Kind::Bytes) {
            return piece;
        }
        out_.clear();
        convert(piece);
        return out_;
    }

    // What is left at the end of the input.
    std::string_view finish() {
        if (kind_ == Kind::Unknown) {
            return decideAndDecode({});
        }
        out_.clear();
        if (kind_ != Kind::Bytes && (odd_ || high_ != 0)) {
            appendUtf8(out_, kReplacement);
            odd_.reset();
            high_ = 0;
        }
        return out_;
    }

  private:
    enum class Kind { Unknown, Bytes, Utf16Le, Utf16Be };
    static constexpr char32_t kReplacement = 0xFFFD;

    std::string_view decideAndDecode(std::string_view piece) {
        out_.clear();
        if (start_ == "\xFF\xFE") {
            kind_ = Kind::Utf16Le;
        } else if (start_ == "\xFE\xFF") {
            kind_ = Kind::Utf16Be;
        } else {
            // The held bytes go back before the rest: only the first piece is copied.
            kind_ = Kind::Bytes;
            out_.assign(start_);
            out_.append(piece);
            return out_;
        }
        convert(piece);
        return out_;
    }

    void convert(std::string_view piece) {
        out_.reserve(piece.size() / 2 * 3 + 4);
        std::size_t i = 0;
        if (odd_ && !piece.empty()) {
            unit(*odd_, static_cast<unsigned char>(piece[0]));
            odd_.reset();
            i = 1;
        }
        for (; i + 1 < piece.size(); i += 2) {
            unit(static_cast<unsigned char>(piece[i]), static_cast<unsigned char>(piece[i + 1]));
        }
        if (i < piece.size()) {
            odd_ = static_cast<unsigned char>(piece[i]);
        }
    }

    void unit(unsigned char first, unsigned char second) {
        const char16_t u = kind_ == Kind::Utf16Le ? static_cast<char16_t>(first | second << 8)
                                                  : static_cast<char16_t>(first << 8 | second);
        if (high_ != 0) {
            if (u >= 0xDC00 && u <= 0xDFFF) {
                appendUtf8(out_, 0x10000 + ((char32_t{high_} - 0xD800) << 10) + (u - 0xDC00));
                high_ = 0;
                return;
            }
            appendUtf8(out_, kReplacement);
            high_ = 0;
        }
        if (u >= 0xD800 && u <= 0xDBFF) {
            high_ = u;
        } else if (u >= 0xDC00 && u <= 0xDFFF) {
            appendUtf8(out_, kReplacement);
        } else {
            appendUtf8(out_, u);
        }
    }

    Kind kind_ = Kind::Unknown;
    std::string start_;
    std::string out_;
    std::optional<unsigned char> odd_;
    char16_t high_ = 0;  // a high surrogate waiting for its low one
};

bool isBlank(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\0';
}
bool isLineEnd(unsigned char c) {
    return c == '\r' || c == '\n';
}

// Whether the bytes hold one that no text file holds (see ImportedText).
bool holdsBinary(std::string_view s) {
    return std::any_of(s.begin(), s.end(), [](char ch) {
        const auto c = static_cast<unsigned char>(ch);
        return c < 0x20 && (c < '\t' || c > '\r') && c != 0x1A;
    });
}

// The first field of one line as it is read: only its head is kept (enough bytes for
// kImportFieldWidth characters in either encoding), while its length, the end of its last
// byte that is not a trailing blank, and its UTF-8 validity are tracked over all of it.
class FieldBuilder {
  public:
    // Appends one byte of the field; a trimmable byte is dropped when nothing but trimmable
    // bytes follow it (the blanks around an unquoted field).
    void add(unsigned char c, bool trimmable) {
        if (c == '\0') {
            c = ' ';
        }
        if (head_.size() < kHeadBytes) {
            head_.push_back(static_cast<char>(c));
        }
        ++length_;
        if (!trimmable) {
            kept_ = length_;
        }
        utf8_.feed(c);
    }

    // The field as UTF-8, cut to kImportFieldWidth characters; resets the builder.
    std::string take() {
        const std::string_view raw(head_.data(), std::min(head_.size(), kept_));
        std::string out;
        if (utf8_.valid()) {
            std::size_t chars = 0;
            std::size_t end = 0;
            for (; end < raw.size(); ++end) {
                const auto c = static_cast<unsigned char>(raw[end]);
                if ((c & 0xC0) != 0x80 && chars++ == kImportFieldWidth) {
                    break;
                }
            }
            out.assign(raw.substr(0, end));
        } else {
            for (std::size_t i = 0; i < raw.size() && i < kImportFieldWidth; ++i) {
                const auto c = static_cast<unsigned char>(raw[i]);
                appendUtf8(out, c >= 0x80 && c < 0xA0 ? kCp1252High[c - 0x80] : c);
            }
        }
        head_.clear();  // keeps its capacity for the next line
        length_ = 0;
        kept_ = 0;
        utf8_ = Utf8Check();
        return out;
    }

  private:
    // A character takes at most 4 bytes in UTF-8.
    static constexpr std::size_t kHeadBytes = 4 * kImportFieldWidth;

    std::string head_;
    std::size_t length_ = 0;
    std::size_t kept_ = 0;
    Utf8Check utf8_;
};

// Splits a byte stream, fed in chunks of any size, into the first fields of its non-empty
// lines. Each byte is looked at once; after the first field the rest of the line is skipped
// with a search for the line end.
class FieldReader {
  public:
    template <class Emit>
    void feed(std::string_view chunk, Emit&& emit) {
        if (!bomChecked_) {
            // The byte-order mark may be split across chunks: hold the first bytes back until
            // three are known or the input ends.
            const std::size_t taken = std::min(chunk.size(), 3 - start_.size());
            start_.append(chunk.substr(0, taken));
            chunk.remove_prefix(taken);
            if (start_.size() < 3) {
                return;
            }
            releaseStart(emit);
        }
        scan(chunk, emit);
    }

    template <class Emit>
    void finish(Emit&& emit) {
        if (!bomChecked_) {
            releaseStart(emit);
        }
        if (state_ != State::LineStart && state_ != State::SkipLine) {
            emit(field_.take());
        }
        state_ = State::LineStart;
    }

  private:
    enum class State {
        LineStart,  // nothing of the current line seen yet
        Leading,    // only blanks so far
        Unquoted,   // in an unquoted field, or after the closing quote of a quoted one
        Quoted,     // inside double quotes
        QuoteSeen,  // a double quote inside quotes: closing, or the first of a doubled pair
        SkipLine,   // the first field is done; waiting for the line end
    };

    template <class Emit>
    void releaseStart(Emit& emit) {
        bomChecked_ = true;
        std::string_view head(start_);
        if (head == "\xEF\xBB\xBF") {
            head = {};
        }
        scan(head, emit);
        start_.clear();
    }

    template <class Emit>
    void scan(std::string_view s, Emit& emit) {
        std::size_t i = 0;
        while (i < s.size()) {
            if (state_ == State::SkipLine) {
                const std::size_t end = s.find_first_of("\r\n", i);
                if (end == std::string_view::npos) {
                    return;
                }
                state_ = State::LineStart;
                i = end + 1;
                continue;
            }
            step(static_cast<unsigned char>(s[i]), emit);
            ++i;
        }
    }

    template <class Emit>
    void step(unsigned char c, Emit& emit) {
        if (state_ == State::QuoteSeen) {
            if (c == '"') {
                field_.add(c, false);
                state_ = State::Quoted;
                return;
            }
            state_ = State::Unquoted;  // the quote closed the field; c is read after it
        }
        if (isLineEnd(c)) {
            if (state_ != State::LineStart) {
                emit(field_.take());
            }
            state_ = State::LineStart;
            return;
        }
        switch (state_) {
            case State::LineStart:
            case State::Leading:
                if (isBlank(c)) {
                    state_ = State::Leading;
                } else if (c == '"') {
                    state_ = State::Quoted;
                } else if (c == ',') {
                    endField(emit);
                } else {
                    field_.add(c, false);
                    state_ = State::Unquoted;
                }
                return;
            case State::Unquoted:
                if (c == ',') {
                    endField(emit);
                } else {
                    field_.add(c, isBlank(c));
                }
                return;
            case State::Quoted:
                if (c == '"') {
                    state_ = State::QuoteSeen;
                } else {
                    field_.add(c, false);
                }
                return;
            case State::QuoteSeen:
            case State::SkipLine:
                return;  // handled above
        }
    }

    template <class Emit>
    void endField(Emit& emit) {
        emit(field_.take());
        state_ = State::SkipLine;
    }

    State state_ = State::LineStart;
    FieldBuilder field_;
    bool bomChecked_ = false;
    std::string start_;
};

}  // namespace

// Details of the reading beyond the declaration:
//  - A line that is not empty always gives a row, also when its first field is empty (",5",
//    a line of blanks, ""), so the work table has exactly one row per non-empty line.
//  - Blanks are spaces, tabs and NULs. Blanks before an opening quote are skipped; text after
//    the closing quote, up to the comma, is added to the field with its trailing blanks
//    removed ("ab"cd reads as abcd). A quote inside an unquoted field is an ordinary character.
//  - A quote that is never closed runs to the end of its line; quotes never span lines.
//  - UTF-8 validity is judged per field over the whole field, before it is cut.
std::vector<std::string> importFields(std::string_view contents) {
    std::vector<std::string> fields;
    Utf16Decoder decoder;
    FieldReader reader;
    auto emit = [&fields](std::string field) { fields.push_back(std::move(field)); };
    reader.feed(decoder.decode(contents), emit);
    reader.feed(decoder.finish(), emit);
    reader.finish(emit);
    return fields;
}

namespace {

// Opens an import file for reading; throws ImportFileError when it cannot be read.
std::unique_ptr<InputFile> openImportFile(const std::filesystem::path& file,
                                          const FileSystem& files) {
    const std::string name = file.string();
    std::error_code ec;
    const auto status = files.status(file, ec);
    if (status.type() == std::filesystem::file_type::not_found) {
        throw ImportFileError("Import file not found: " + name);
    }
    if (ec) {
        throw ImportFileError("Import file cannot be read: " + name + " (" + ec.message() + ")");
    }
    if (std::filesystem::is_directory(status)) {
        throw ImportFileError("Import file is a directory: " + name);
    }
    // A pipe or device would block the program or never end: only plain files are read.
    if (!std::filesystem::is_regular_file(status)) {
        throw ImportFileError("Import file is not a plain file: " + name);
    }
    std::unique_ptr<InputFile> in = files.openForReading(file);
    if (!in) {
        throw ImportFileError("Import file cannot be read: " + name);
    }
    return in;
}

}  // namespace

ImportedText importTextFile(const std::filesystem::path& file, TableCursor& workTable,
                            const FileSystem& files) {
    const std::string name = file.string();
    const std::unique_ptr<InputFile> in = openImportFile(file, files);

    // Rows are appended as the file streams in; a read error part-way rolls every row back, and
    // the cursor then drops the rows it had shown.
    ImportedText result;
    try {
        Transaction transaction(workTable.database().connection());
        Utf16Decoder decoder;
        FieldReader reader;
        auto emit = [&](std::string field) {
            workTable.appendRecord({Value(std::move(field))});
            ++result.rows;
        };
        std::string chunk(1 << 20, '\0');
        for (;;) {
            const std::optional<std::size_t> got = in->read(chunk);
            if (!got) {
                throw ImportFileError("Import file cannot be read: " + name);
            }
            const std::string_view text = decoder.decode(std::string_view(chunk.data(), *got));
            result.binary = result.binary || holdsBinary(text);
            reader.feed(text, emit);
            if (*got < chunk.size()) {
                break;
            }
        }
        const std::string_view rest = decoder.finish();
        result.binary = result.binary || holdsBinary(rest);
        reader.feed(rest, emit);
        reader.finish(emit);
        transaction.commit();
    } catch (...) {
        workTable.refresh();
        throw;
    }
    return result;
}

TextFile readTextFile(const std::filesystem::path& file, const FileSystem& files) {
    const std::string name = file.string();
    const std::unique_ptr<InputFile> in = openImportFile(file, files);
    TextFile result;
    Utf16Decoder decoder;
    std::string chunk(1 << 20, '\0');
    for (;;) {
        const std::optional<std::size_t> got = in->read(chunk);
        if (!got) {
            throw ImportFileError("Import file cannot be read: " + name);
        }
        result.text.append(decoder.decode(std::string_view(chunk.data(), *got)));
        if (result.text.size() > kMaxTextFileBytes) {
            throw ImportFileError("Import file is too large: " + name);
        }
        if (*got < chunk.size()) {
            break;
        }
    }
    result.text.append(decoder.finish());
    if (result.text.starts_with("\xEF\xBB\xBF")) {
        result.text.erase(0, 3);
    }
    result.binary = holdsBinary(result.text);
    return result;
}

}  // namespace spinalyst::store
