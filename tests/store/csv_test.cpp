#include "store/csv.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace spinalyst::store {
namespace {

TEST(CsvFieldTest, QuotesOnlyWhatASpreadsheetWouldMisread) {
    const struct {
        std::string feld;
        char trenner;
        std::string geschrieben;
    } faelle[] = {
        {"Rot", ',', "Rot"},
        {"", ',', ""},
        {"1/2/3", ',', "1/2/3"},
        {"a,b", ',', "\"a,b\""},
        {"a,b", ';', "a,b"},  // a comma is plain text in a file with semicolons
        {"a;b", ';', "\"a;b\""},
        {"a;b", ',', "a;b"},
        {"sagt \"x\"", ',', "\"sagt \"\"x\"\"\""},
        {"\"", ';', "\"\"\"\""},
        {"zwei\nZeilen", ',', "\"zwei\nZeilen\""},
        {"cr\rallein", ',', "\"cr\rallein\""},
        {" vorn", ',', "\" vorn\""},
        {"hinten\t", ',', "\"hinten\t\""},
        {"Rückständigkeit", ';', "Rückständigkeit"},
    };
    for (const auto& f : faelle) {
        EXPECT_EQ(csvField(f.feld, f.trenner), f.geschrieben) << f.feld;
    }
}

TEST(CsvWriterTest, RowsEndInCrLfAndDecimalsFollowTheSeparator) {
    for (const auto& [trenner, erwartet] :
         {std::pair{CsvSeparator::Comma, "Tag,G/V,Prozent,leer\r\n2012-03-01,-17,33.3,\r\n"},
          std::pair{CsvSeparator::Semicolon, "Tag;G/V;Prozent;leer\r\n2012-03-01;-17;33,3;\r\n"}}) {
        std::ostringstream out;
        CsvWriter w(out, trenner);
        const std::vector<std::string> kopf = {"Tag", "G/V", "Prozent", "leer"};
        w.row(kopf);
        w.text("2012-03-01").integer(-17).decimal(100.0 / 3.0, 1).empty();
        w.endRow();
        EXPECT_EQ(out.str(), erwartet);
    }
}

// "|" separates the fields of a record and "/" the records in the rendering below.
std::string gelesen(std::string_view text, char trenner) {
    std::string s;
    for (const CsvRecord& r : readCsv(text, trenner)) {
        s += (s.empty() ? "" : " / ") + std::to_string(r.line) + ":";
        for (std::size_t i = 0; i < r.fields.size(); ++i) {
            s += (i == 0 ? "" : "|") + r.fields[i];
        }
    }
    return s;
}

TEST(CsvReaderTest, RecordsFieldsAndTheirLines) {
    const struct {
        std::string text;
        char trenner;
        std::string erwartet;
    } faelle[] = {
        {"a,b,c\r\n1,2,3\r\n", ',', "1:a|b|c / 2:1|2|3"},
        {"a;b\n1;2", ';', "1:a|b / 2:1|2"},
        {"a,b\r1,2\r", ',', "1:a|b / 2:1|2"},
        {"\n\na\n\n\nb\n", ',', "3:a / 6:b"},
        {"a,,c,\n", ',', "1:a||c|"},
        {"\"a,b\",c\n", ',', "1:a,b|c"},
        {"\"zwei\nZeilen\",x\nnächste\n", ',', "1:zwei\nZeilen|x / 3:nächste"},
        {"\"sagt \"\"x\"\"\"\n", ',', "1:sagt \"x\""},
        {"\"\"\n", ',', "1:"},
        {" a , b \n", ',', "1: a | b "},  // blanks are kept; callers trim as they need
        {"\xEF\xBB\xBF"
         "a,b\n",
         ',', "1:a|b"},
        {"a;b,c\n", ',', "1:a;b|c"},
        {"", ',', ""},
    };
    for (const auto& f : faelle) {
        EXPECT_EQ(gelesen(f.text, f.trenner), f.erwartet) << f.text;
    }
}

TEST(CsvReaderTest, AQuoteThatIsNeverClosedNamesItsLine) {
    try {
        readCsv("a,b\n1,\"offen\n2,3\n", ',');
        FAIL() << "no error";
    } catch (const CsvError& e) {
        EXPECT_EQ(e.line(), 2);
        EXPECT_NE(std::string(e.what()).find("line 2"), std::string::npos);
    }
}

TEST(CsvTest, WhatTheWriterWritesTheReaderReadsBack) {
    const std::vector<std::string> felder = {"",      " ",       "a",       "a,b", "a;b",
                                             "\"",    "\"\"",    "x\r\ny",  "\n",  "ä ö ü",
                                             "ende,", ",anfang", "  zwei  "};
    for (CsvSeparator trenner : {CsvSeparator::Comma, CsvSeparator::Semicolon}) {
        std::ostringstream out;
        CsvWriter w(out, trenner);
        w.row(felder);
        w.row(felder);
        const auto saetze = readCsv(out.str(), separatorChar(trenner));
        ASSERT_EQ(saetze.size(), 2u);
        EXPECT_EQ(saetze[0].fields, felder);
        EXPECT_EQ(saetze[1].fields, felder);
    }
}

}  // namespace
}  // namespace spinalyst::store
