#include "store/textimport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "store/cursor.h"
#include "store/database.h"
#include "tests/support/fault_injection.h"
#include "tests/support/utf16.h"

namespace spinalyst::store {
namespace {

using namespace std::string_literals;
using Fields = std::vector<std::string>;

std::string repeat(std::string_view piece, int times) {
    std::string s;
    for (int i = 0; i < times; ++i) {
        s += piece;
    }
    return s;
}

// Number of code points of a UTF-8 text.
std::size_t characters(std::string_view s) {
    std::size_t n = 0;
    for (char c : s) {
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }
    return n;
}

// Whether s decodes as UTF-8 into shortest-form scalar values.
bool isUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto lead = static_cast<unsigned char>(s[i]);
        const int length = lead < 0x80       ? 1
                           : lead >> 5 == 6  ? 2
                           : lead >> 4 == 14 ? 3
                           : lead >> 3 == 30 ? 4
                                             : 0;
        if (length == 0 || i + length > s.size()) {
            return false;
        }
        char32_t cp = length == 1 ? lead : lead & (0x7F >> length);
        for (int k = 1; k < length; ++k) {
            const auto c = static_cast<unsigned char>(s[i + k]);
            if ((c & 0xC0) != 0x80) {
                return false;
            }
            cp = cp << 6 | (c & 0x3F);
        }
        const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < least[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            return false;
        }
        i += length;
    }
    return true;
}

using spinalyst::testing::utf16;

struct FieldCase {
    const char* name;
    std::string contents;
    Fields expected;
};

// Keeps test names readable in test listings.
void PrintTo(const FieldCase& c, std::ostream* os) {
    *os << c.name;
}

class ImportFieldsTest : public ::testing::TestWithParam<FieldCase> {};

TEST_P(ImportFieldsTest, SplitsFirstFields) {
    EXPECT_EQ(importFields(GetParam().contents), GetParam().expected);
}

const FieldCase kFieldCases[] = {
    // Line ends and empty lines.
    {"LfLines", "01.03.2012\n17\n5\n", {"01.03.2012", "17", "5"}},
    {"CrLfLines", "17\r\n5\r\n", {"17", "5"}},
    {"CrOnlyLines", "17\r5\r", {"17", "5"}},
    {"MixedEndsAndNoFinalEnd", "1\r\n2\n3\r4", {"1", "2", "3", "4"}},
    {"EmptyLinesSkipped", "\n\r\n1\r\n\r\n\r\r\n\n2\n\n", {"1", "2"}},
    {"EmptyContents", "", {}},
    {"OnlyLineEnds", "\r\n\r\n\n\r", {}},
    // A line that is not empty always gives a row, even when its first field is empty.
    {"BlankLineGivesEmptyField", "   \n\t\n1", {"", "", "1"}},
    {"EmptyFirstFieldGivesEmptyField", ",5\n\"\",5\n", {"", ""}},
    // Only the first field counts.
    {"FirstFieldOnly", "17,word\na,b,c", {"17", "a"}},
    {"QuotesAfterFirstFieldIgnored", "1,\"x\r\n2", {"1", "2"}},
    // Blanks around an unquoted field are removed, inner blanks kept.
    {"UnquotedTrimmed", "  12  \n\t7\t,x\n a  b ,c", {"12", "7", "a  b"}},
    // Quoted fields.
    {"QuotedKeepsBlanks", "\" 12 \",x", {" 12 "}},
    {"QuotedComma", "\"a,b\",c", {"a,b"}},
    {"DoubledQuote", "\"say \"\"hi\"\"\",x\n\"\"\"\"", {"say \"hi\"", "\""}},
    {"BlanksAroundQuotes", "  \"x y\"  ,z", {"x y"}},
    {"TextAfterClosingQuote", "\"ab\"cd,e", {"abcd"}},
    {"QuoteInsideUnquotedIsText", "ab\"c,d\"", {"ab\"c"}},
    {"UnterminatedQuoteEndsAtLineEnd", "\"a,b\r\nc", {"a,b", "c"}},
    {"UnterminatedQuoteAtEnd", "\"a b ", {"a b "}},
    // A NUL reads as a blank: trimmed outside quotes, kept as a space inside.
    {"NulTrimmed",
     "\0"s
     "5\0\0\n1\0"s
     "2",
     {"5", "1 2"}},
    {"NulInQuotes", "\"\0\",x"s, {" "}},
    {"NulOnlyLine", "\0\0\0\n"s, {""}},
    // Byte-order mark.
    {"BomDropped",
     "\xEF\xBB\xBF"
     "01.03.2012\r\n5",
     {"01.03.2012", "5"}},
    {"BomAlone", "\xEF\xBB\xBF", {}},
    {"BomOnlyAtStart",
     "a\n\xEF\xBB\xBF"
     "b",
     {"a",
      "\xEF\xBB\xBF"
      "b"}},
    {"PartialBomIsText", "\xEF\xBB", {"\xC3\xAF\xC2\xBB"}},
    // Valid UTF-8 is kept; anything else is Windows-1252.
    {"Cp1252Umlaut",
     "M\xFC"
     "nchen\n\xE4",
     {"M\xC3\xBC"
      "nchen",
      "\xC3\xA4"}},
    {"Cp1252Euro", "\x80", {"\xE2\x82\xAC"}},
    {"Cp1252HighRange", "\x9F\x8A\x99", {"\xC5\xB8\xC5\xA0\xE2\x84\xA2"}},
    {"Cp1252UndefinedAsLatin1",
     "\x81\x8D\x8F\x90\x9D",
     {"\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"}},
    {"Cp1252Latin1", "\xA0\xFF", {"\xC2\xA0\xC3\xBF"}},
    {"Utf8Kept",
     "M\xC3\xBC"
     "nchen\n\xE2\x82\xAC\n\xF0\x9F\x8E\xB2",
     {"M\xC3\xBC"
      "nchen",
      "\xE2\x82\xAC", "\xF0\x9F\x8E\xB2"}},
    {"MixedEncodingIsCp1252", "\xC3\xA4\xE4", {"\xC3\x83\xC2\xA4\xC3\xA4"}},
    {"OverlongIsCp1252", "\xC0\xAF", {"\xC3\x80\xC2\xAF"}},
    {"SurrogateIsCp1252", "\xED\xA0\x80", {"\xC3\xAD\xC2\xA0\xE2\x82\xAC"}},
    {"TruncatedSequenceIsCp1252", "a\xC3", {"a\xC3\x83"}},
    {"EachFieldJudgedAlone", "\xE4\n\xC3\xA4", {"\xC3\xA4", "\xC3\xA4"}},
    // Cut to 35 characters, never inside a UTF-8 sequence.
    {"CutAscii", repeat("x", 40), {repeat("x", 35)}},
    {"ExactWidthKept", repeat("x", 35) + "\n", {repeat("x", 35)}},
    {"CutUtf8TwoByte", repeat("\xC3\xA4", 40), {repeat("\xC3\xA4", 35)}},
    {"CutUtf8FourByte", repeat("\xF0\x9F\x8E\xB2", 40), {repeat("\xF0\x9F\x8E\xB2", 35)}},
    {"CutCp1252", repeat("\xE4", 40), {repeat("\xC3\xA4", 35)}},
    {"CutQuoted", "\"" + repeat("ab", 30) + "\"", {repeat("ab", 17) + "a"}},
    // Validity is judged over the whole field, not only the part that is kept.
    {"InvalidByteAfterCut",
     repeat("\xC3\xA4", 40) + "\xE4",
     {repeat("\xC3\x83\xC2\xA4", 17) + "\xC3\x83"}},
    // Only blanks at the very end are trailing; a long run of inner blanks is kept up to the cut.
    {"LongInnerBlanks", "abc" + repeat(" ", 100) + "x", {"abc" + repeat(" ", 32)}},
    {"LongTrailingBlanks", "abc" + repeat(" ", 100) + ",x", {"abc"}},
};

INSTANTIATE_TEST_SUITE_P(Cases, ImportFieldsTest, ::testing::ValuesIn(kFieldCases),
                         [](const auto& c) { return std::string(c.param.name); });

TEST(ImportFieldsLarge, HugeLineGivesItsFirstCharacters) {
    std::string contents = repeat("0123456789", 2'000'000);  // 20 MB without a line end
    contents += ",tail\nnext";
    EXPECT_EQ(importFields(contents), (Fields{repeat("0123456789", 3) + "01234", "next"}));
}

TEST(ImportFieldsLarge, HugeUnterminatedQuoteAndHugeSkippedTail) {
    const std::string big(20'000'000, 'q');
    const std::string contents = "\"" + big + "\n1," + big + "\r2";
    EXPECT_EQ(importFields(contents), (Fields{std::string(35, 'q'), "1", "2"}));
}

TEST(ImportFieldsLarge, NulsEverywhere) {
    const std::string nuls(5'000'000, '\0');
    EXPECT_EQ(importFields(nuls), (Fields{""}));
    EXPECT_EQ(importFields(nuls + "7" + nuls + "\n" + nuls), (Fields{"7", ""}));
}

// UTF-16 in either byte order, and UTF-8 with its mark, give the fields of the same text in UTF-8,
// also for characters outside the basic plane (surrogate pairs).
TEST(ImportFieldsUtf16, ReadsLikeTheSameTextInUtf8) {
    const std::u16string text =
        u"\"K\u00f6ln\",x\r\n01.03.2012\r\n  17  \n\n\U0001F3B2 W\u00fcrfel\r\"a\"\"b\"\n\u20ac";
    const std::string utf8 =
        "\"K\xC3\xB6ln\",x\r\n01.03.2012\r\n  17  \n\n\xF0\x9F\x8E\xB2 W\xC3\xBCrfel\r\"a\"\"b\"\n"
        "\xE2\x82\xAC";
    const Fields expected = importFields(utf8);
    ASSERT_EQ(expected, (Fields{"K\xC3\xB6ln", "01.03.2012", "17", "\xF0\x9F\x8E\xB2 W\xC3\xBCrfel",
                                "a\"b", "\xE2\x82\xAC"}));
    EXPECT_EQ(importFields(utf16(text, false)), expected);
    EXPECT_EQ(importFields(utf16(text, true)), expected);
    EXPECT_EQ(importFields("\xEF\xBB\xBF" + utf8), expected);
}

// Malformed UTF-16 reads as U+FFFD where it is broken and the rest of the text is kept.
TEST(ImportFieldsUtf16, MalformedInputReadsAsReplacementCharacters) {
    const std::string r = "\xEF\xBF\xBD";
    const struct {
        const char* name;
        std::string bytes;
        Fields expected;
    } cases[] = {
        {"high surrogate before another character",
         "\xFF\xFE"
         "a\0\n\0\0\xD8"
         "b\0"s,
         {"a", r + "b"}},
        {"low surrogate alone",
         "\xFF\xFE"
         "a\0\0\xDC"
         "b\0"s,
         {"a" + r + "b"}},
        {"high surrogate at the end",
         "\xFF\xFE"
         "a\0\0\xD8"s,
         {"a" + r}},
        {"two high surrogates, then a pair",
         "\xFE\xFF\xD8\0\xD8\0\xD8\x3C\xDF\xB2"s,
         {r + r + "\xF0\x9F\x8E\xB2"}},
        {"odd last byte, little endian",
         "\xFF\xFE"
         "a\0"
         "b"s,
         {"a" + r}},
        {"odd last byte, big endian",
         "\xFE\xFF\0"
         "a\0"s,
         {"a" + r}},
        {"odd last byte after a line end",
         "\xFF\xFE"
         "a\0\n\0\x01"s,
         {"a", r}},
        {"only the mark", "\xFF\xFE", {}},
        {"mark and one byte",
         "\xFE\xFF"
         "a",
         {r}},
        {"one byte, no mark", "\xFF", {"\xC3\xBF"}},
        {"reversed mark is Windows-1252",
         "\xFE"
         "a",
         {"\xC3\xBE"
          "a"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(importFields(c.bytes), c.expected);
    }
}

TEST(ImportFieldsLarge, BinaryGarbageGivesShortUtf8Fields) {
    std::mt19937 random(12345);
    std::string garbage(4'000'000, '\0');
    for (char& c : garbage) {
        c = static_cast<char>(random() & 0xFF);
    }
    const Fields fields = importFields(garbage);
    EXPECT_FALSE(fields.empty());
    for (const std::string& f : fields) {
        ASSERT_TRUE(isUtf8(f)) << ::testing::PrintToString(f);
        ASSERT_LE(characters(f), kImportFieldWidth);
        ASSERT_EQ(f.find_first_of("\r\n"), std::string::npos);
    }
}

// importTextFile against a fresh database in a temporary directory.
class ImportTextFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::random_device seed;
        const auto base = std::filesystem::temp_directory_path();
        do {
            dir_ = base / ("spinalyst_textimport_" + std::to_string(seed()));
        } while (!std::filesystem::create_directory(dir_));
        db_.setLocation(dir_ / Database::fileName(DatabaseFile::Roulette));
        db_.connect();
        table_ =
            std::make_unique<TableCursor>("TdbTable_Permanenz_Aufnahme", db_, "Permanenz_Aufnahme");
        table_->open();
    }

    void TearDown() override {
        table_.reset();
        db_.disconnect();
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }

    std::filesystem::path write(const std::string& name, const std::string& contents) {
        const auto path = dir_ / name;
        std::ofstream(path, std::ios::binary) << contents;
        return path;
    }

    Fields rows() {
        table_->refresh();
        Fields out;
        for (table_->first(); !table_->isEmpty() && !table_->eof(); table_->next()) {
            out.push_back(table_->text("Aufnahme_String_txt"));
        }
        return out;
    }

    std::filesystem::path dir_;
    Database db_{DatabaseFile::Roulette};
    std::unique_ptr<TableCursor> table_;
};

TEST_F(ImportTextFileTest, AppendsOneRowPerNonEmptyLineAfterExistingRows) {
    table_->appendRecord({Value("alt")});
    const auto file = write("perm.txt",
                            "\xEF\xBB\xBF"
                            "01.03.2012\r\n17\r\n\r\n\"5\",x\r\n  \r\nK\xF6ln");
    EXPECT_EQ(importTextFile(file, *table_).rows, 5);
    EXPECT_EQ(rows(), (Fields{"alt", "01.03.2012", "17", "5", "", "K\xC3\xB6ln"}));
}

TEST_F(ImportTextFileTest, EmptyFileAppendsNothing) {
    EXPECT_EQ(importTextFile(write("leer.txt", ""), *table_).rows, 0);
    EXPECT_EQ(rows(), Fields{});
}

// Bytes no text file holds mark the file as binary; tabs, line and page breaks and the DOS
// end-of-file mark do not, nor do bytes above 0x7F.
TEST_F(ImportTextFileTest, TellsWhetherTheFileHeldBytesNoTextHolds) {
    const struct {
        std::string contents;
        bool binary;
    } cases[] = {
        {"", false},
        {"01.03.2012\t\r\n17\v\f\n\x1A", false},
        {"K\xF6ln \xC3\xA4\n", false},
        {"17\n\0\n"s, true},
        {"\x01", true},
        {"17\x1B[0m\n", true},
        {"\x89PNG\r\n\x1A\n", false},  // no control bytes in what is read
        {"\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR"s, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.contents));
        EXPECT_EQ(importTextFile(write("datei.txt", c.contents), *table_).binary, c.binary);
    }
}

TEST_F(ImportTextFileTest, UnreadableFileThrowsAndLeavesTable) {
    table_->appendRecord({Value("alt")});
    const auto missing = dir_ / "fehlt.txt";
    const auto directory = dir_ / "ordner";
    std::filesystem::create_directory(directory);
    for (const auto& path : {missing, directory}) {
        SCOPED_TRACE(path.string());
        try {
            importTextFile(path, *table_);
            ADD_FAILURE() << "no ImportFileError";
        } catch (const ImportFileError& e) {
            EXPECT_NE(std::string(e.what()).find(path.string()), std::string::npos) << e.what();
        }
        EXPECT_EQ(rows(), Fields{"alt"});
    }
}

// A file the program may not read, and one whose reading fails after rows were appended, give the
// error that names the file and leave the table as it was.
TEST_F(ImportTextFileTest, AFileThatCannotBeReadLeavesTheTable) {
    table_->appendRecord({Value("alt")});
    const auto locked = write("gesperrt.txt", "01.03.2012\n17\n");
    // More than one read buffer of lines, so that the first piece is appended before the error.
    std::string lines;
    while (lines.size() < (3u << 20) / 2) {
        lines += "17," + repeat("x", 200) + "\n";
    }
    const auto failing = write("abbrechend.txt", lines);
    spinalyst::testing::FaultFileSystem files;
    files.refuseOpening(locked);
    files.failReadingAfter(failing, 1u << 20);
    for (const auto& path : {locked, failing}) {
        SCOPED_TRACE(path.string());
        try {
            importTextFile(path, *table_, files);
            ADD_FAILURE() << "no ImportFileError";
        } catch (const ImportFileError& e) {
            EXPECT_EQ(e.what(), "Import file cannot be read: " + path.string());
        }
        EXPECT_EQ(rows(), Fields{"alt"});
    }
    // Through the real file system both files are read.
    EXPECT_EQ(importTextFile(locked, *table_).rows, 2);
    EXPECT_EQ(importTextFile(failing, *table_).rows, static_cast<int>(lines.size() / 204));
}

// A file larger than any read buffer gives the same rows as splitting its whole contents, so
// no field, quote or line end is lost where one read ends and the next begins.
TEST_F(ImportTextFileTest, LargeFileReadInPiecesMatchesWholeContents) {
    const char* const ends[] = {"\r\n", "\n", "\r"};
    std::string contents = "\xEF\xBB\xBF";
    for (int i = 0; contents.size() < 2'300'000; ++i) {
        const std::string field = repeat(i % 2 ? "a\"\"" : "\xE4 ", i % 17);
        contents += i % 3 ? "\"" + field + "\"" : " " + std::to_string(i) + field;
        contents += i % 5 ? "," + repeat("x", i % 11 * 20) : "";
        contents += ends[i % 3];
    }
    const Fields expected = importFields(contents);
    EXPECT_EQ(importTextFile(write("gross.txt", contents), *table_).rows,
              static_cast<int>(expected.size()));
    EXPECT_EQ(rows(), expected);
}

// A UTF-16 file larger than one read buffer gives the rows of the same text in UTF-8, also when
// a read ends between the two halves of a surrogate pair.
TEST_F(ImportTextFileTest, Utf16FileReadInPiecesMatchesUtf8) {
    // The mark takes two bytes: unit i starts at byte 2 + 2i, so the pair starts at unit
    // (2^20 - 4) / 2 and ends the first read buffer of 2^20 bytes with its high half.
    const std::size_t paar = ((1u << 20) - 4) / 2;
    std::u16string text = u"01.03.2012\n17\n";
    while (text.size() < paar - 1) {
        text += u"x\u00e4," + std::u16string(200, u'y') + u"\n";
    }
    text.resize(paar - 1);
    text += u"\n\U0001F3B2,5\n";
    for (int i = 0; i < 2'000; ++i) {
        text += u"17\r\n";
    }
    text += u"\u20ac";
    const auto expectedFrom = [](std::u16string_view t) {
        std::string out;
        for (const char16_t u : t) {
            if (u < 0x80) {
                out += static_cast<char>(u);
            } else if (u == 0xE4) {
                out += "\xC3\xA4";
            } else if (u == 0x20AC) {
                out += "\xE2\x82\xAC";
            } else if (u == 0xD83C) {
                out += "\xF0\x9F\x8E\xB2";
            }  // the low half 0xDFB2 is written with the high one
        }
        return out;
    };
    const Fields expected = importFields(expectedFrom(text));
    ASSERT_EQ(expected[expected.size() - 2'002], "\xF0\x9F\x8E\xB2");
    for (const bool bigEndian : {false, true}) {
        SCOPED_TRACE(bigEndian ? "big endian" : "little endian");
        table_->emptyTable();
        const auto result = importTextFile(write("utf16.txt", utf16(text, bigEndian)), *table_);
        EXPECT_EQ(result.rows, static_cast<int>(expected.size()));
        EXPECT_FALSE(result.binary);
        EXPECT_EQ(rows(), expected);
    }
}

}  // namespace
}  // namespace spinalyst::store
