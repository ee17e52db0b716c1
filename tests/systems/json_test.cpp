#include "systems/json.h"

#include <gtest/gtest.h>

namespace spinalyst::json {
namespace {

TEST(JsonTest, WrittenDocumentsReadBackAsTheSameValue) {
    Value doc = Value::object();
    doc.set("Name", "Rot \"nach\" Schwarz\\\n\tÄußerst \x01");
    doc.set("Leer", Value());
    doc.set("Zahlen", Value(std::int64_t{-9223372036854775807 - 1}));
    doc.set("Bruch", Value(0.1));
    doc.set("Ja", Value(true));
    Value liste = Value::array();
    for (int i = 0; i < 30; ++i) {
        Value e = Value::object();
        e.set("ID_Ereignis", Value(i));
        e.set("Angriff", i % 2 ? Value("<>") : Value());
        liste.push(std::move(e));
    }
    doc.set("Folge", std::move(liste));
    doc.set("Leere_Liste", Value::array());
    doc.set("Leeres_Objekt", Value::object());

    const std::string text = write(doc);
    EXPECT_EQ(parse(text), doc);
    EXPECT_EQ(write(parse(text)), text);
    // Short containers of scalars stay on one line; members keep their order.
    EXPECT_NE(text.find("    {\"ID_Ereignis\": 1, \"Angriff\": \"<>\"},\n"), std::string::npos)
        << text;
    EXPECT_LT(text.find("\"Name\""), text.find("\"Leer\""));
    EXPECT_NE(text.find("\\u0001"), std::string::npos);
}

TEST(JsonTest, NumbersAreIntegersOnlyWhenWrittenAsWholeNumbersThatFit) {
    const struct {
        const char* text;
        Value::Type type;
    } faelle[] = {
        {"0", Value::Type::Integer},
        {"-17", Value::Type::Integer},
        {"3.0", Value::Type::Number},
        {"1e2", Value::Type::Number},
        {"2.5", Value::Type::Number},
        {"9223372036854775807", Value::Type::Integer},
        {"9223372036854775808", Value::Type::Number},
    };
    for (const auto& f : faelle) {
        EXPECT_EQ(parse(f.text).type(), f.type) << f.text;
    }
    EXPECT_EQ(parse("2.5").number(), 2.5);
    EXPECT_EQ(parse(" [1, -2] ").items()[1].integer(), -2);
}

TEST(JsonTest, EscapesBecomeUtf8) {
    EXPECT_EQ(parse(R"("\u00e4\u20ac\ud83c\udfb2\/\"")").string(), "ä€🎲/\"");
    EXPECT_EQ(parse("\"Zürich\"").string(), "Zürich");
}

TEST(JsonTest, MalformedTextIsRejectedWithItsPosition) {
    const struct {
        std::string text;
        int line;
        int column;
        const char* message;
    } faelle[] = {
        {"", 1, 1, "unexpected end"},
        {"{", 1, 2, "member name"},
        {"{\"a\": 1,}", 1, 9, "member name"},
        {"[1, 2,]", 1, 7, "expected a value"},
        {"{\"a\": 1, \"a\": 2}", 1, 10, "duplicate member \"a\""},
        {"{\"a\" 1}", 1, 6, "expected ':'"},
        {"[1]\n x", 2, 2, "after the end"},
        {"01", 1, 2, "after the end"},
        {"-", 1, 2, "expected a digit"},
        {"1.", 1, 3, "decimal point"},
        {"\"a\nb\"", 1, 3, "control character"},
        {"\"\\ud800x\"", 1, 2, "low half"},
        {"\"\\udc00\"", 1, 2, "lone low surrogate"},
        {"\"\\q\"", 1, 2, "unknown escape"},
        {"\"\\u12zz\"", 1, 4, "hex digits"},
        {"\"offen", 1, 7, "unterminated"},
        {"tru", 1, 1, "unknown word"},
        {"1e999", 1, 1, "out of range"},
        {"{\"ä\": x}", 1, 7, "expected a value"},
        {std::string(65, '[') + std::string(65, ']'), 1, 65, "nested too deeply"},
    };
    for (const auto& f : faelle) {
        try {
            parse(f.text);
            ADD_FAILURE() << "accepted: " << f.text;
        } catch (const ParseError& e) {
            EXPECT_EQ(e.line(), f.line) << f.text << ": " << e.what();
            EXPECT_EQ(e.column(), f.column) << f.text << ": " << e.what();
            EXPECT_NE(std::string(e.what()).find(f.message), std::string::npos)
                << f.text << ": " << e.what();
        }
    }
    EXPECT_NO_THROW(parse(std::string(64, '[') + std::string(64, ']')));
}

}  // namespace
}  // namespace spinalyst::json
