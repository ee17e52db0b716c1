#include "systems/json.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace spinalyst::json {

const Value* Value::find(std::string_view key) const {
    for (std::size_t i = 0; i < keys_.size(); ++i) {
        if (keys_[i] == key) {
            return &items_[i];
        }
    }
    return nullptr;
}

void Value::set(std::string key, Value v) {
    for (std::size_t i = 0; i < keys_.size(); ++i) {
        if (keys_[i] == key) {
            items_[i] = std::move(v);
            return;
        }
    }
    keys_.push_back(std::move(key));
    items_.push_back(std::move(v));
}

ParseError::ParseError(const std::string& message, int line, int column)
    : std::runtime_error("line " + std::to_string(line) + ", column " + std::to_string(column) +
                         ": " + message),
      line_(line),
      column_(column) {}

const char* typeName(const Value& v) {
    switch (v.type()) {
        case Value::Type::Null:
            return "null";
        case Value::Type::Bool:
            return "a boolean";
        case Value::Type::Integer:
            return "an integer";
        case Value::Type::Number:
            return "a number with a fraction or exponent";
        case Value::Type::String:
            return "a string";
        case Value::Type::Array:
            return "a list";
        case Value::Type::Object:
            return "an object";
    }
    return "a value";
}

namespace {

constexpr int kMaxDepth = 64;

class Parser {
  public:
    explicit Parser(std::string_view text) : text_(text) {}

    Value document() {
        skipSpace();
        Value v = value(0);
        skipSpace();
        if (pos_ < text_.size()) {
            fail("unexpected text after the end of the document");
        }
        return v;
    }

  private:
    [[noreturn]] void fail(const std::string& message) const { failAt(pos_, message); }

    [[noreturn]] void failAt(std::size_t at, const std::string& message) const {
        int line = 1;
        int column = 1;
        for (std::size_t i = 0; i < at && i < text_.size(); ++i) {
            if (text_[i] == '\n') {
                ++line;
                column = 1;
            } else if ((static_cast<unsigned char>(text_[i]) & 0xC0) != 0x80) {
                ++column;
            }
        }
        throw ParseError(message, line, column);
    }

    bool atEnd() const { return pos_ >= text_.size(); }
    char peek() const { return atEnd() ? '\0' : text_[pos_]; }

    void skipSpace() {
        while (!atEnd() && (peek() == ' ' || peek() == '\t' || peek() == '\n' || peek() == '\r')) {
            ++pos_;
        }
    }

    void expect(char c) {
        if (peek() != c) {
            fail(std::string("expected '") + c + "'");
        }
        ++pos_;
    }

    void literal(std::string_view word) {
        if (text_.substr(pos_, word.size()) != word) {
            fail("unknown word; expected a value");
        }
        pos_ += word.size();
    }

    Value value(int depth) {
        if (depth >= kMaxDepth) {
            fail("nested too deeply");
        }
        if (atEnd()) {
            fail("unexpected end of the document; expected a value");
        }
        switch (peek()) {
            case '{':
                return object(depth);
            case '[':
                return array(depth);
            case '"':
                return Value(string());
            case 't':
                literal("true");
                return Value(true);
            case 'f':
                literal("false");
                return Value(false);
            case 'n':
                literal("null");
                return Value();
            default:
                if (peek() == '-' || (peek() >= '0' && peek() <= '9')) {
                    return number();
                }
                fail("unexpected character; expected a value");
        }
    }

    Value object(int depth) {
        expect('{');
        Value obj = Value::object();
        skipSpace();
        if (peek() == '}') {
            ++pos_;
            return obj;
        }
        while (true) {
            skipSpace();
            if (peek() != '"') {
                fail("expected a member name in double quotes");
            }
            const std::size_t keyAt = pos_;
            std::string key = string();
            if (obj.find(key)) {
                failAt(keyAt, "duplicate member \"" + key + "\"");
            }
            skipSpace();
            expect(':');
            skipSpace();
            Value v = value(depth + 1);
            obj.set(std::move(key), std::move(v));
            skipSpace();
            if (peek() == ',') {
                ++pos_;
                continue;
            }
            if (peek() == '}') {
                ++pos_;
                return obj;
            }
            fail("expected ',' or '}'");
        }
    }

    Value array(int depth) {
        expect('[');
        Value arr = Value::array();
        skipSpace();
        if (peek() == ']') {
            ++pos_;
            return arr;
        }
        while (true) {
            skipSpace();
            arr.push(value(depth + 1));
            skipSpace();
            if (peek() == ',') {
                ++pos_;
                continue;
            }
            if (peek() == ']') {
                ++pos_;
                return arr;
            }
            fail("expected ',' or ']'");
        }
    }

    unsigned hex4() {
        if (pos_ + 4 > text_.size()) {
            fail("incomplete \\u escape");
        }
        unsigned v = 0;
        const auto [p, ec] = std::from_chars(text_.data() + pos_, text_.data() + pos_ + 4, v, 16);
        if (ec != std::errc() || p != text_.data() + pos_ + 4) {
            fail("\\u must be followed by four hex digits");
        }
        pos_ += 4;
        return v;
    }

    static void appendUtf8(std::string& out, unsigned cp) {
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }

    std::string string() {
        expect('"');
        std::string out;
        while (true) {
            if (atEnd()) {
                fail("unterminated string");
            }
            const char c = text_[pos_];
            if (c == '"') {
                ++pos_;
                return out;
            }
            if (static_cast<unsigned char>(c) < 0x20) {
                fail("control character in a string (write it as an escape)");
            }
            if (c != '\\') {
                out += c;
                ++pos_;
                continue;
            }
            const std::size_t escapeAt = pos_;
            ++pos_;
            if (atEnd()) {
                fail("unterminated string");
            }
            const char e = text_[pos_++];
            switch (e) {
                case '"':
                case '\\':
                case '/':
                    out += e;
                    break;
                case 'b':
                    out += '\b';
                    break;
                case 'f':
                    out += '\f';
                    break;
                case 'n':
                    out += '\n';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'u': {
                    unsigned cp = hex4();
                    if (cp >= 0xDC00 && cp <= 0xDFFF) {
                        failAt(escapeAt, "lone low surrogate in \\u escape");
                    }
                    if (cp >= 0xD800 && cp <= 0xDBFF) {
                        if (text_.substr(pos_, 2) != "\\u") {
                            failAt(escapeAt, "high surrogate without its low half");
                        }
                        pos_ += 2;
                        const unsigned low = hex4();
                        if (low < 0xDC00 || low > 0xDFFF) {
                            failAt(escapeAt, "high surrogate without its low half");
                        }
                        cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                    }
                    appendUtf8(out, cp);
                    break;
                }
                default:
                    failAt(escapeAt, std::string("unknown escape \\") + e);
            }
        }
    }

    Value number() {
        const std::size_t start = pos_;
        if (peek() == '-') {
            ++pos_;
        }
        if (peek() == '0') {
            ++pos_;
        } else if (peek() >= '1' && peek() <= '9') {
            while (peek() >= '0' && peek() <= '9') {
                ++pos_;
            }
        } else {
            fail("expected a digit");
        }
        bool integral = true;
        if (peek() == '.') {
            integral = false;
            ++pos_;
            if (!(peek() >= '0' && peek() <= '9')) {
                fail("expected a digit after the decimal point");
            }
            while (peek() >= '0' && peek() <= '9') {
                ++pos_;
            }
        }
        if (peek() == 'e' || peek() == 'E') {
            integral = false;
            ++pos_;
            if (peek() == '+' || peek() == '-') {
                ++pos_;
            }
            if (!(peek() >= '0' && peek() <= '9')) {
                fail("expected a digit in the exponent");
            }
            while (peek() >= '0' && peek() <= '9') {
                ++pos_;
            }
        }
        const char* first = text_.data() + start;
        const char* last = text_.data() + pos_;
        if (integral) {
            std::int64_t i = 0;
            const auto [p, ec] = std::from_chars(first, last, i);
            if (ec == std::errc() && p == last) {
                return Value(i);
            }
        }
        // from_chars reads the JSON form whatever the locale's decimal separator.
        double d = 0;
        const auto [p, ec] = std::from_chars(first, last, d);
        if (ec != std::errc() || p != last || !std::isfinite(d)) {
            failAt(start, "number out of range");
        }
        return Value(d);
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

void writeString(std::string& out, const std::string& s) {
    out += '"';
    for (const char c : s) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\f':
                out += "\\f";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned char>(c));
                    out += buf;
                } else {
                    out += c;
                }
        }
    }
    out += '"';
}

void writeScalar(std::string& out, const Value& v) {
    switch (v.type()) {
        case Value::Type::Null:
            out += "null";
            break;
        case Value::Type::Bool:
            out += v.boolean() ? "true" : "false";
            break;
        case Value::Type::Integer:
            out += std::to_string(v.integer());
            break;
        case Value::Type::Number: {
            char buf[32];
            std::snprintf(buf, sizeof buf, "%.17g", v.number());
            out += buf;
            break;
        }
        case Value::Type::String:
            writeString(out, v.string());
            break;
        case Value::Type::Array:
        case Value::Type::Object:
            break;
    }
}

bool isContainer(const Value& v) {
    return v.isArray() || v.isObject();
}

constexpr std::size_t kLineWidth = 80;

void writeValue(std::string& out, const Value& v, int indent);

// The one-line form of a container of scalars, or "" when it has a nested container.
std::string inlineForm(const Value& v) {
    std::string s(1, v.isObject() ? '{' : '[');
    for (std::size_t i = 0; i < v.size(); ++i) {
        if (isContainer(v.items()[i])) {
            return {};
        }
        if (i > 0) {
            s += ", ";
        }
        if (v.isObject()) {
            writeString(s, v.keys()[i]);
            s += ": ";
        }
        writeScalar(s, v.items()[i]);
    }
    s += v.isObject() ? '}' : ']';
    return s;
}

void writeValue(std::string& out, const Value& v, int indent) {
    if (!isContainer(v)) {
        writeScalar(out, v);
        return;
    }
    if (v.size() == 0) {
        out += v.isObject() ? "{}" : "[]";
        return;
    }
    const std::string line = inlineForm(v);
    if (!line.empty() && static_cast<std::size_t>(indent) + line.size() <= kLineWidth) {
        out += line;
        return;
    }
    out += v.isObject() ? '{' : '[';
    const std::string pad(static_cast<std::size_t>(indent + 2), ' ');
    for (std::size_t i = 0; i < v.size(); ++i) {
        out += i > 0 ? ",\n" : "\n";
        out += pad;
        if (v.isObject()) {
            writeString(out, v.keys()[i]);
            out += ": ";
        }
        writeValue(out, v.items()[i], indent + 2);
    }
    out += '\n';
    out += std::string(static_cast<std::size_t>(indent), ' ');
    out += v.isObject() ? '}' : ']';
}

}  // namespace

Value parse(std::string_view text) {
    return Parser(text).document();
}

std::string write(const Value& value) {
    std::string out;
    writeValue(out, value, 0);
    return out;
}

}  // namespace spinalyst::json
