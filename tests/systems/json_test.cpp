#include "systems/austausch.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

namespace spinalyst::systems {
namespace {

using Json = nlohmann::ordered_json;

TEST(JsonTest, WrittenDocumentsReadBackAsTheSameValue) {
    Json doc = Json::object();
    doc["Name"] = "Rot \"nach\" Schwarz\\\n\tÄußerst \x01";
    doc["Leer"] = nullptr;
    doc["Zahlen"] = std::int64_t{-9223372036854775807 - 1};
    doc["Bruch"] = 0.1;
    doc["Ja"] = true;
    Json liste = Json::array();
    for (int i = 0; i < 30; ++i) {
        Json e = Json::object();
        e["ID_Ereignis"] = i;
        e["Angriff"] = i % 2 ? Json("<>") : Json();
        liste.push_back(std::move(e));
    }
    doc["Folge"] = std::move(liste);
    doc["Leere_Liste"] = Json::array();
    doc["Leeres_Objekt"] = Json::object();

    const std::string text = Json_Text(doc);
    EXPECT_EQ(Json_Lesen(text), doc);
    EXPECT_EQ(Json_Text(Json_Lesen(text)), text);
    // Short containers of scalars stay on one line; members keep their order.
    EXPECT_NE(text.find("    {\"ID_Ereignis\": 1, \"Angriff\": \"<>\"},\n"), std::string::npos)
        << text;
    EXPECT_LT(text.find("\"Name\""), text.find("\"Leer\""));
    EXPECT_NE(text.find("\\u0001"), std::string::npos);
    EXPECT_NE(text.find("\"Zahlen\": -9223372036854775808,\n  \"Bruch\": 0.10000000000000001,"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("\"Leere_Liste\": [],\n  \"Leeres_Objekt\": {}\n}"), std::string::npos)
        << text;
}

TEST(JsonTest, AContainerOfScalarsStaysOnOneLineWithinEightyColumns) {
    // ["x…x"] is 4 columns wider than its text; a member's value starts at its indentation.
    const auto x = [](std::size_t n) { return std::string(n, 'x'); };
    const auto liste = [&](std::size_t n) { return Json::array({x(n)}); };
    const struct {
        Json wert;
        std::string text;
    } faelle[] = {
        {liste(76), "[\"" + x(76) + "\"]"},
        {liste(77), "[\n  \"" + x(77) + "\"\n]"},
        {Json{{"a", liste(74)}}, "{\n  \"a\": [\"" + x(74) + "\"]\n}"},
        {Json{{"a", liste(75)}}, "{\n  \"a\": [\n    \"" + x(75) + "\"\n  ]\n}"},
        {Json{{"a", Json{{"b", 1}, {"c", nullptr}}}}, "{\n  \"a\": {\"b\": 1, \"c\": null}\n}"},
        {Json{{"a", Json{{"b", Json::array()}}}}, "{\n  \"a\": {\n    \"b\": []\n  }\n}"},
    };
    for (const auto& f : faelle) {
        EXPECT_EQ(Json_Text(f.wert), f.text);
        EXPECT_EQ(Json_Lesen(f.text), f.wert) << f.text;
    }
}

TEST(JsonTest, TextThatIsNotUtf8IsWrittenSoThatItReadsBack) {
    const std::string text = Json_Text(Json("Z\xfcrich"));
    EXPECT_EQ(text, "\"Z\xef\xbf\xbdrich\"");
    EXPECT_EQ(Json_Lesen(text), Json("Z\xef\xbf\xbdrich"));
}

TEST(JsonTest, EscapesBecomeUtf8) {
    EXPECT_EQ(Json_Lesen(R"("\u00e4\u20ac\ud83c\udfb2\/\"")"), "ä€🎲/\"");
    EXPECT_EQ(Json_Lesen("\"Zürich\""), "Zürich");
}

TEST(JsonTest, MalformedTextIsRejectedWithItsPosition) {
    const struct {
        std::string text;
        int line;
        int column;
        const char* message;
    } faelle[] = {
        {"", 1, 1, "unexpected end of input"},
        {" \n  ", 2, 3, "unexpected end of input"},
        {"{", 1, 2, "unexpected end of input"},
        {"{\"a\": 1,}", 1, 9, "object key - unexpected '}'"},
        {"[1, 2,]", 1, 7, "unexpected ']'"},
        {"{\"a\": 1, \"a\": 2}", 1, 10, "duplicate member \"a\""},
        {"{\"b\": [{\"a\\\"\": 1,\n \"a\\\"\": 2}]}", 2, 2, "duplicate member \"a\"\""},
        {"{\"a\" 1}", 1, 6, "expected ':'"},
        {"[1]\n x", 2, 2, "unexpected text after the end of the document"},
        {"01", 1, 2, "unexpected text after the end of the document"},
        {std::string("{}\0{}", 5), 1, 3, "unexpected text after the end of the document"},
        {"-", 1, 2, "expected digit after '-'"},
        {"1.", 1, 3, "expected digit after '.'"},
        {"\"a\nb\"", 1, 3, "control character U+000A (LF) must be escaped"},
        {"\"\\ud800x\"", 1, 8, "surrogate"},
        {"\"\\udc00\"", 1, 7, "surrogate"},
        {"\"\\q\"", 1, 3, "forbidden character after backslash"},
        {"\"\\u12zz\"", 1, 6, "must be followed by 4 hex digits"},
        {"\"offen", 1, 7, "missing closing quote"},
        {"tru", 1, 4, "invalid literal"},
        {"1e999", 1, 1, "number out of range"},
        {"[0, -1e999]", 1, 5, "number out of range"},
        {"{\"ä\": x}", 1, 7, "invalid literal"},
        {"\"Z\xfcrich\"", 1, 3, "ill-formed UTF-8 byte"},
        {std::string(65, '[') + std::string(65, ']'), 1, 65, "nested too deeply"},
        {std::string(100000, '{'), 1, 2, "object key"},
        {std::string(100000, '['), 1, 65, "nested too deeply"},
    };
    for (const auto& f : faelle) {
        const std::string stelle = "not valid JSON: line " + std::to_string(f.line) + ", column " +
                                   std::to_string(f.column) + ": ";
        try {
            Json_Lesen(f.text);
            ADD_FAILURE() << "accepted: " << f.text;
        } catch (const ImportFehler& e) {
            const std::string meldung = e.what();
            EXPECT_EQ(meldung.substr(0, stelle.size()), stelle) << f.text << ": " << meldung;
            EXPECT_NE(meldung.find(f.message), std::string::npos) << f.text << ": " << meldung;
            // The text read last, which may be long or broken, is not repeated.
            EXPECT_EQ(meldung.find("last read"), std::string::npos) << meldung;
        }
    }
    EXPECT_NO_THROW(Json_Lesen(std::string(64, '[') + std::string(64, ']')));
    EXPECT_NO_THROW(Json_Lesen(" {\"a\": 1, \"b\": {\"a\": 2}, \"c\": [{\"a\": 3}]}\n"));
}

}  // namespace
}  // namespace spinalyst::systems
